#include "platform/windowing/X11Activation.h"

#include "platform/windowing/X11Session.h"

#include <QGuiApplication>
#include <QWindow>

bool X11Activation::isOwnWindow(quint32 windowId)
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow *window : windows) {
        if (window->handle() && window->winId() == windowId)
            return true;
    }
    return false;
}

void X11Activation::remember()
{
    const auto x11 = X11Session::current();
    if (!x11)
        return;
    const QList<quint32> active = x11->property32(x11->root(), x11->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (!active.isEmpty() && active.first() != 0 && !isOwnWindow(active.first()))
        m_previous = active.first();
}

void X11Activation::handBack()
{
    const quint32 previous = m_previous;
    m_previous = 0;
    const auto x11 = X11Session::current();
    if (!x11 || !previous || !x11->windowExists(previous))
        return;
    quint32 ours = 0;
    if (const QWindow *focus = QGuiApplication::focusWindow(); focus && focus->handle())
        ours = quint32(focus->winId());
    // Source 2 (a pager): the user asked for the switch, so focus-stealing prevention must not
    // refuse it.
    x11->sendToRoot(previous, x11->atom("_NET_ACTIVE_WINDOW"), {2u, XCB_CURRENT_TIME, ours, 0u, 0u});
    x11->flush();
}
