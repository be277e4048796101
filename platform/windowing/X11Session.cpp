#include "platform/windowing/X11Session.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

std::optional<X11Session> X11Session::current()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;

    int screenNumber = 0;
    if (const char *display = std::getenv("DISPLAY")) {
        char *host = nullptr;
        int displayNumber = 0;
        if (xcb_parse_display(display, &host, &displayNumber, &screenNumber) == 0)
            screenNumber = 0;
        std::free(host);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0 && i < screenNumber; ++i)
        xcb_screen_next(&it);
    if (it.rem <= 0 || !it.data)
        return std::nullopt;
    return X11Session(connection, it.data->root, screenNumber);
}

xcb_atom_t X11Session::atom(const char *name) const
{
    static xcb_connection_t *cachedFor = nullptr;
    static QHash<QByteArray, xcb_atom_t> cache;
    if (cachedFor != m_connection) {
        cache.clear();
        cachedFor = m_connection;
    }
    const QByteArray key(name);
    if (const auto it = cache.constFind(key); it != cache.cend())
        return *it;
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(m_connection, 0, uint16_t(key.size()), key.constData());
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    cache.insert(key, reply->atom);
    return reply->atom;
}

QList<quint32> X11Session::property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const
{
    QList<quint32> values;
    if (!window || !property)
        return values;
    const xcb_get_property_cookie_t cookie = xcb_get_property(m_connection, 0, window, property, type, 0, 4096);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->type != type || reply->format != 32)
        return values;
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(data[i]);
    return values;
}

void X11Session::setProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                               const QList<quint32> &values) const
{
    if (!window || !property)
        return;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 32, uint32_t(values.size()),
                        values.constData());
}

void X11Session::deleteProperty(xcb_window_t window, xcb_atom_t property) const
{
    if (window && property)
        xcb_delete_property(m_connection, window, property);
}

bool X11Session::hasProperty(xcb_window_t window, xcb_atom_t property) const
{
    if (!window || !property)
        return false;
    const xcb_list_properties_cookie_t cookie = xcb_list_properties(m_connection, window);
    Reply<xcb_list_properties_reply_t> reply(xcb_list_properties_reply(m_connection, cookie, nullptr));
    if (!reply)
        return false;
    const xcb_atom_t *atoms = xcb_list_properties_atoms(reply.get());
    const int count = xcb_list_properties_atoms_length(reply.get());
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == property)
            return true;
    }
    return false;
}

void X11Session::sendToRoot(xcb_window_t window, xcb_atom_t messageType, const std::array<quint32, 5> &data) const
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = messageType;
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

bool X11Session::hasSelectionOwner(xcb_atom_t selection) const
{
    if (!selection)
        return false;
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(m_connection, selection);
    Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(m_connection, cookie, nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

bool X11Session::windowManagerSupports(const char *atomName) const
{
    const xcb_atom_t wanted = atom(atomName);
    return wanted && property32(m_root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM).contains(wanted);
}

QByteArray X11Session::windowManagerName() const
{
    // The check window names itself too; a stale one (its manager gone) does not.
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const QList<quint32> window = property32(m_root, check, XCB_ATOM_WINDOW);
    if (window.isEmpty() || property32(window.first(), check, XCB_ATOM_WINDOW) != window)
        return {};
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, window.first(), atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 64);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 8)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

bool X11Session::hasExtension(const char *name) const
{
    const xcb_query_extension_cookie_t cookie = xcb_query_extension(m_connection, uint16_t(std::strlen(name)), name);
    Reply<xcb_query_extension_reply_t> reply(xcb_query_extension_reply(m_connection, cookie, nullptr));
    return reply && reply->present;
}

namespace {

// The window's attributes, or none when the window is gone (the error is dropped).
Reply<xcb_get_window_attributes_reply_t> windowAttributes(xcb_connection_t *connection, xcb_window_t window)
{
    if (!window)
        return nullptr;
    const xcb_get_window_attributes_cookie_t cookie = xcb_get_window_attributes(connection, window);
    xcb_generic_error_t *error = nullptr;
    Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(connection, cookie, &error));
    std::free(error);
    return reply;
}

} // namespace

bool X11Session::windowExists(xcb_window_t window) const
{
    return windowAttributes(m_connection, window) != nullptr;
}

bool X11Session::isMapped(xcb_window_t window) const
{
    const Reply<xcb_get_window_attributes_reply_t> reply = windowAttributes(m_connection, window);
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

int X11Session::bitsPerPixel(int depth) const
{
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(m_connection));
    for (; it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    }
    return 0;
}

bool X11Session::isLittleEndianImageOrder() const
{
    return xcb_get_setup(m_connection)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
}

void X11Session::flush() const
{
    xcb_flush(m_connection);
}
