#include "platform/hotkey/X11GlobalHotKey.h"

#include "platform/windowing/X11Session.h"

#include <QCoreApplication>

#include <xcb/xcb_keysyms.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;

struct ModifierBits {
    uint16_t alt = 0;
    uint16_t super = 0;
    uint16_t numLock = 0;
};

// Shift, Lock and Control have fixed bits; Alt, Super and Num Lock sit on whichever of
// Mod1…Mod5 the server's modifier mapping puts them.
ModifierBits modifierBits(xcb_connection_t *connection, xcb_key_symbols_t *symbols)
{
    ModifierBits bits;
    Reply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!reply)
        return bits;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    const auto take = [](uint16_t &slot, uint16_t bit) {
        if (!slot)
            slot = bit;
    };
    for (int modifier = 3; modifier < 8; ++modifier) {
        const auto bit = uint16_t(1u << modifier);
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            for (int column = 0; code && column < 4; ++column) {
                const xcb_keysym_t sym = xcb_key_symbols_get_keysym(symbols, code, column);
                if (sym == XK_Alt_L || sym == XK_Alt_R)
                    take(bits.alt, bit);
                else if (sym == XK_Super_L || sym == XK_Super_R)
                    take(bits.super, bit);
                else if (sym == XK_Num_Lock)
                    take(bits.numLock, bit);
            }
        }
    }
    return bits;
}

void ungrabAll(xcb_connection_t *connection, xcb_window_t root, const QList<xcb_keycode_t> &keycodes,
               const QList<uint16_t> &masks)
{
    for (xcb_keycode_t keycode : keycodes)
        for (uint16_t mask : masks)
            xcb_ungrab_key(connection, keycode, root, mask);
    xcb_flush(connection);
}

} // namespace

X11GlobalHotKey::X11GlobalHotKey(QObject *parent) : GlobalHotKey(parent) {}

X11GlobalHotKey::~X11GlobalHotKey()
{
    unregister();
}

GlobalHotKey::Result X11GlobalHotKey::registerBinding(const HotKeyBinding &binding)
{
    unregister();
    const auto x11 = X11Session::current();
    const quint32 keysym = HotKeyBinding::keysym(binding.keyCode);
    const Qt::KeyboardModifiers wanted = HotKeyBinding::qtModifiers(binding.modifiers);
    // A key without modifiers taken from every application would be a key lost to them.
    if (!x11 || !keysym || !wanted)
        return Result::Failed;
    xcb_connection_t *connection = x11->connection();
    const KeySymbols symbols(xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    if (!symbols)
        return Result::Failed;

    const ModifierBits bits = modifierBits(connection, symbols.get());
    if ((wanted & Qt::AltModifier && !bits.alt) || (wanted & Qt::MetaModifier && !bits.super))
        return Result::Failed;
    uint16_t modifiers = 0;
    modifiers |= wanted & Qt::ShiftModifier ? XCB_MOD_MASK_SHIFT : 0;
    modifiers |= wanted & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0;
    modifiers |= wanted & Qt::AltModifier ? bits.alt : 0;
    modifiers |= wanted & Qt::MetaModifier ? bits.super : 0;

    QList<xcb_keycode_t> keycodes;
    if (const Reply<xcb_keycode_t> found{xcb_key_symbols_get_keycode(symbols.get(), keysym)})
        for (const xcb_keycode_t *k = found.get(); *k != XCB_NO_SYMBOL; ++k)
            if (!keycodes.contains(*k))
                keycodes.append(*k);
    if (keycodes.isEmpty())
        return Result::Failed;
    QList<uint16_t> masks;
    const auto lock = uint16_t(XCB_MOD_MASK_LOCK);
    for (uint16_t locks : {uint16_t(0), lock, bits.numLock, uint16_t(lock | bits.numLock)})
        if (!masks.contains(modifiers | locks))
            masks.append(modifiers | locks);

    QList<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t keycode : keycodes)
        for (uint16_t mask : masks)
            cookies.append(xcb_grab_key_checked(connection, 0, x11->root(), mask, keycode, XCB_GRAB_MODE_ASYNC,
                                                XCB_GRAB_MODE_ASYNC));
    Result result = Result::Registered;
    for (xcb_void_cookie_t cookie : cookies) {
        if (const Reply<xcb_generic_error_t> error{xcb_request_check(connection, cookie)}) {
            if (error->error_code == XCB_ACCESS)
                result = Result::InUse;
            else if (result == Result::Registered)
                result = Result::Failed;
        }
    }
    if (result != Result::Registered) {
        // Half a shortcut (say, only with Caps Lock off) would puzzle more than none.
        ungrabAll(connection, x11->root(), keycodes, masks);
        return result;
    }

    m_connection = connection;
    m_root = x11->root();
    m_keycodes = keycodes;
    m_masks = masks;
    m_modifiers = modifiers;
    m_locks = uint16_t(lock | bits.numLock);
    m_down = false;
    if (!m_filterInstalled && QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return Result::Registered;
}

void X11GlobalHotKey::unregister()
{
    if (m_keycodes.isEmpty())
        return;
    // While the application goes down its X connection may already be gone.
    if (const auto x11 = X11Session::current(); x11 && x11->connection() == m_connection)
        ungrabAll(m_connection, m_root, m_keycodes, m_masks);
    m_keycodes.clear();
    m_masks.clear();
    m_down = false;
    m_releasedAt = 0;
}

bool X11GlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_keycodes.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const uint8_t type = static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Release and press events have the same layout.
    const auto *key = static_cast<xcb_key_press_event_t *>(message);
    if (key->event != m_root || !m_keycodes.contains(key->detail))
        return false;
    if (type == XCB_KEY_RELEASE) {
        m_down = false;
        m_releasedAt = key->time;
        return true;
    }
    if ((key->state & 0xff & ~m_locks) != m_modifiers)
        return false;
    // A held key repeats either as presses alone or, unless the client asked the server
    // otherwise, as release and press pairs sharing one time stamp.
    const bool repeat = m_down || (m_releasedAt && key->time == m_releasedAt);
    m_down = true;
    if (!repeat)
        emit pressed();
    return true;
}
