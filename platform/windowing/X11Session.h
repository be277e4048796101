#pragma once

#include <QByteArray>
#include <QList>

#include <xcb/xcb.h>

#include <array>
#include <optional>

// The application's own X connection (from Qt's xcb plugin) and the EWMH conversations with
// the window manager. Only valid on the GUI thread while the application runs on X11.
class X11Session {
public:
    // Absent unless the application runs on the xcb platform plugin.
    static std::optional<X11Session> current();

    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    int screenNumber() const { return m_screenNumber; }

    // Interned once per connection; 0 if the server did not answer.
    xcb_atom_t atom(const char *name) const;

    // A 32-bit property (CARDINAL, WINDOW, ATOM, PIXMAP…); empty if absent or of another type.
    QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    void setProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QList<quint32> &values) const;
    void deleteProperty(xcb_window_t window, xcb_atom_t property) const;
    bool hasProperty(xcb_window_t window, xcb_atom_t property) const;
    // An EWMH client message to the root window, as pagers and task bars send them.
    void sendToRoot(xcb_window_t window, xcb_atom_t messageType, const std::array<quint32, 5> &data) const;

    bool hasSelectionOwner(xcb_atom_t selection) const;
    // Whether the window manager lists the atom in _NET_SUPPORTED.
    bool windowManagerSupports(const char *atomName) const;
    // The name the running window manager gives itself ("Openbox", "Xfwm4"…), empty if none.
    QByteArray windowManagerName() const;
    bool hasExtension(const char *name) const;
    bool windowExists(xcb_window_t window) const;
    bool isMapped(xcb_window_t window) const;
    // Bits per pixel of images of the given depth, 0 if the server has no such format.
    int bitsPerPixel(int depth) const;
    bool isLittleEndianImageOrder() const;
    void flush() const;

private:
    X11Session(xcb_connection_t *connection, xcb_window_t root, int screenNumber)
        : m_connection(connection), m_root(root), m_screenNumber(screenNumber)
    {
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    int m_screenNumber;
};
