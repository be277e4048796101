#pragma once

#include "platform/hotkey/GlobalHotKey.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <xcb/xcb.h>

// Passive key grabs on the root window of the application's own X connection. Caps Lock and
// Num Lock would otherwise silently disable the shortcut, so every combination of the two is
// grabbed as well. Off X11 (Wayland without XWayland, tests offscreen) registering fails.
class X11GlobalHotKey : public GlobalHotKey, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11GlobalHotKey(QObject *parent = nullptr);
    ~X11GlobalHotKey() override;

    Result registerBinding(const HotKeyBinding &binding) override;
    void unregister() override;
    bool isRegistered() const override { return !m_keycodes.isEmpty(); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void ungrab(const QList<xcb_keycode_t> &keycodes, const QList<uint16_t> &masks) const;

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    QList<xcb_keycode_t> m_keycodes;
    QList<uint16_t> m_masks; // the modifiers with each lock variant
    uint16_t m_modifiers = 0;
    uint16_t m_locks = 0;
    bool m_down = false; // pressed and not yet released: repeats are not presses
    xcb_timestamp_t m_releasedAt = 0;
    bool m_filterInstalled = false;
};
