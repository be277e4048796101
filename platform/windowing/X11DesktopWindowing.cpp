#include "platform/windowing/X11DesktopWindowing.h"

#include "platform/desktop/DesktopPicture.h"
#include "platform/desktop/PortalSettings.h"
#include "platform/windowing/X11RootBackground.h"
#include "platform/windowing/X11Session.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace {

const char *const kDesktopProperty = "_veloran_desktopWindow";
const char *const kLevelProperty = "_veloran_windowLevel";
const char *const kClickThroughProperty = "_veloran_clickThrough";

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The current native window. QWidget::winId() is not it after Qt's xcb plugin re-created the
// window (it does when shown again after a stacking hint changed), and QWindow::winId() would
// create one where there is none yet.
quint32 nativeId(const QWidget *window)
{
    const QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle && handle->handle() ? quint32(handle->winId()) : 0;
}

Qt::WindowFlags currentFlags(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->flags() : window->windowFlags();
}

// A shown window's flags change through its QWindow only: QWidget::setWindowFlags would
// unmap and remap it (flicker, a new frame, EWMH states lost). The widget is told afterwards.
void changeFlags(QWidget *window, Qt::WindowFlags flags)
{
    QWindow *handle = window->windowHandle();
    if (handle && window->isVisible()) {
        handle->setFlags(flags);
        window->overrideWindowFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

QRect nativeFrame(const ScreenInfo &screen)
{
    // Qt's xcb screens keep their native top-left and divide only the size by the scale.
    const qreal dpr = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0;
    return QRect(screen.frame.topLeft(),
                 QSize(int(std::lround(screen.frame.width() * dpr)), int(std::lround(screen.frame.height() * dpr))));
}

constexpr quint32 kAllDesktops = 0xFFFFFFFFu;

// ABOVE or BELOW as the flags say, without the other. Qt asks a mapped window's manager for
// ABOVE before it drops BELOW, and xfwm4 refuses ABOVE while BELOW is set; on a window not
// mapped yet Qt adds the new state to the old one, and a window manager already mapping it
// reads neither. So this follows Qt's requests, and runs again once the window is mapped.
void settleStackingState(const QWidget *window, Qt::WindowFlags flags)
{
    const auto x11 = X11Session::current();
    const quint32 id = nativeId(window);
    const bool up = flags & Qt::WindowStaysOnTopHint;
    if (!x11 || !id || !(up || flags & Qt::WindowStaysOnBottomHint))
        return;
    const xcb_atom_t state = x11->atom("_NET_WM_STATE");
    const xcb_atom_t wanted = x11->atom(up ? "_NET_WM_STATE_ABOVE" : "_NET_WM_STATE_BELOW");
    const xcb_atom_t other = x11->atom(up ? "_NET_WM_STATE_BELOW" : "_NET_WM_STATE_ABOVE");
    if (x11->isMapped(id)) {
        x11->sendToRoot(id, state, {0u /* remove */, other, 0u, 2u /* from a pager */, 0u});
        x11->sendToRoot(id, state, {1u /* add */, wanted, 0u, 2u, 0u});
    } else {
        QList<quint32> states = x11->property32(id, state, XCB_ATOM_ATOM);
        states.removeAll(other);
        if (!states.contains(wanted))
            states.append(wanted);
        x11->setProperty32(id, state, XCB_ATOM_ATOM, states);
    }
    x11->flush();
}

QList<const char *> desktopStates(const X11Session &x11)
{
    QList<const char *> states{"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_STICKY"};
    // openbox takes an undecorated window that fills a monitor for a full-screen one, and lifts
    // it above every window there whenever the focus is on another monitor or nowhere. A window
    // maximized in either direction is exempt; horizontally keeps the height of the monitor.
    if (x11.windowManagerName() == "Openbox")
        states.append("_NET_WM_STATE_MAXIMIZED_HORZ");
    return states;
}

} // namespace

X11DesktopWindowing::X11DesktopWindowing(std::shared_ptr<PortalSettings> portal, QObject *parent)
    : QObject(parent), m_portal(std::move(portal))
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11DesktopWindowing::~X11DesktopWindowing()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11DesktopWindowing::canClickThrough() const
{
    if (const auto x11 = X11Session::current())
        return x11->hasExtension("SHAPE");
    return onWayland();
}

bool X11DesktopWindowing::canKeepBelow() const
{
    if (const auto x11 = X11Session::current())
        return x11->windowManagerSupports("_NET_WM_STATE_BELOW");
    return false;
}

bool X11DesktopWindowing::isCompositing() const
{
    if (const auto x11 = X11Session::current()) {
        const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(x11->screenNumber());
        return x11->hasSelectionOwner(x11->atom(selection.constData()));
    }
    return onWayland();
}

bool X11DesktopWindowing::canBlurBehind() const
{
    const auto x11 = X11Session::current();
    if (!x11)
        return false;
    // KWin announces the blur effect with a root window property named after the atom.
    const xcb_atom_t blur = x11->atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
    return x11->windowManagerSupports("_KDE_NET_WM_BLUR_BEHIND_REGION") || x11->hasProperty(x11->root(), blur);
}

void X11DesktopWindowing::prepareDesktopWindow(QWidget *window)
{
    if (!window)
        return;
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint
                           | Qt::WindowStaysOnBottomHint);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setProperty(kDesktopProperty, true);
    window->setProperty(kLevelProperty, int(WindowLevel::Desktop));
    window->installEventFilter(this);
    m_desktopWindows.removeAll(nullptr);
    if (!m_desktopWindows.contains(window))
        m_desktopWindows.append(window);
    // The states go onto the native window when it is created (see eventFilter); one that
    // exists already gets them now.
    if (nativeId(window)) {
        if (isMapped(window))
            ensureDesktopStates(window);
        else
            writeDesktopProperties(window);
    }
}

void X11DesktopWindowing::writeDesktopProperties(QWidget *window) const
{
    const auto x11 = X11Session::current();
    const quint32 id = nativeId(window);
    if (!x11 || !id)
        return;
    // Read by the window manager when it maps the window; Qt adds BELOW to these itself.
    const xcb_atom_t state = x11->atom("_NET_WM_STATE");
    QList<quint32> states = x11->property32(id, state, XCB_ATOM_ATOM);
    for (const char *name : desktopStates(*x11)) {
        const xcb_atom_t a = x11->atom(name);
        if (a && !states.contains(a))
            states.append(a);
    }
    x11->setProperty32(id, state, XCB_ATOM_ATOM, states);
    // Some window managers ignore STICKY but honour "all desktops".
    x11->setProperty32(id, x11->atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, {kAllDesktops});
    x11->flush();
}

// A mapped window's states belong to the window manager: they are asked for, not written.
void X11DesktopWindowing::ensureDesktopStates(QWidget *window) const
{
    const auto x11 = X11Session::current();
    const quint32 id = nativeId(window);
    if (!x11 || !id)
        return;
    const xcb_atom_t state = x11->atom("_NET_WM_STATE");
    const QList<quint32> states = x11->property32(id, state, XCB_ATOM_ATOM);
    for (const char *name : desktopStates(*x11)) {
        const xcb_atom_t a = x11->atom(name);
        if (a && !states.contains(a) && x11->windowManagerSupports(name))
            x11->sendToRoot(id, state, {1u /* add */, a, 0u, 2u /* from a pager */, 0u});
    }
    const xcb_atom_t desktop = x11->atom("_NET_WM_DESKTOP");
    if (x11->property32(id, desktop, XCB_ATOM_CARDINAL) != QList<quint32>{kAllDesktops})
        x11->sendToRoot(id, desktop, {kAllDesktops, 2u, 0u, 0u, 0u});
    x11->flush();
}

void X11DesktopWindowing::setLevel(QWidget *window, WindowLevel level)
{
    if (!window)
        return;
    Qt::WindowFlags flags = currentFlags(window) & ~(Qt::WindowStaysOnBottomHint | Qt::WindowStaysOnTopHint);
    if (level == WindowLevel::Desktop)
        flags |= Qt::WindowStaysOnBottomHint;
    else if (level == WindowLevel::Floating || level == WindowLevel::Panel)
        flags |= Qt::WindowStaysOnTopHint;
    window->setProperty(kLevelProperty, int(level));
    if (flags != currentFlags(window)) {
        changeFlags(window, flags);
        settleStackingState(window, flags);
    }
    // Among the windows kept above, the last one raised is on top.
    if (level == WindowLevel::Panel && window->isVisible())
        window->raise();
}

WindowLevel X11DesktopWindowing::level(const QWidget *window) const
{
    if (!window)
        return WindowLevel::Normal;
    const QVariant stored = window->property(kLevelProperty);
    if (stored.isValid())
        return WindowLevel(stored.toInt());
    const Qt::WindowFlags flags = currentFlags(window);
    if (flags & Qt::WindowStaysOnBottomHint)
        return WindowLevel::Desktop;
    if (flags & Qt::WindowStaysOnTopHint)
        return WindowLevel::Floating;
    return WindowLevel::Normal;
}

bool X11DesktopWindowing::isMapped(QWidget *window) const
{
    if (!window->isVisible() || !nativeId(window))
        return false;
    if (const auto x11 = X11Session::current())
        return x11->isMapped(nativeId(window));
    return true;
}

void X11DesktopWindowing::applyClickThrough(QWidget *window, bool on)
{
    Qt::WindowFlags flags = currentFlags(window);
    flags.setFlag(Qt::WindowTransparentForInput, on);
    if (flags == currentFlags(window))
        return;
    if (QWindow *handle = window->windowHandle()) {
        // Never through QWidget::setWindowFlags: that would re-create the window.
        handle->setFlags(flags);
        window->overrideWindowFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

void X11DesktopWindowing::setClickThrough(QWidget *window, bool on)
{
    if (!window)
        return;
    window->setProperty(kClickThroughProperty, on);
    m_pendingClickThrough.removeAll(nullptr);
    m_pendingClickThrough.removeAll(window);
    // openbox keeps a full input area on the frame of a window that was mapped with an empty
    // one; the empty input shape therefore waits until the window manager has mapped it.
    if (on && !isMapped(window)) {
        m_pendingClickThrough.append(window);
        window->installEventFilter(this);
        return;
    }
    applyClickThrough(window, on);
}

bool X11DesktopWindowing::isClickThrough(const QWidget *window) const
{
    if (!window)
        return false;
    const QVariant wanted = window->property(kClickThroughProperty);
    return wanted.isValid() ? wanted.toBool() : bool(currentFlags(window) & Qt::WindowTransparentForInput);
}

void X11DesktopWindowing::windowMapped(QWidget *window)
{
    if (!window)
        return;
    if (window->property(kDesktopProperty).toBool()) {
        ensureDesktopStates(window);
        settleStackingState(window, currentFlags(window));
    }
    if (m_pendingClickThrough.removeAll(window) > 0 && window->property(kClickThroughProperty).toBool())
        applyClickThrough(window, true);
}

QWidget *X11DesktopWindowing::desktopWindowWithId(quint32 windowId) const
{
    for (const QPointer<QWidget> &window : m_desktopWindows) {
        if (window && nativeId(window) == windowId)
            return window;
    }
    for (const QPointer<QWidget> &window : m_pendingClickThrough) {
        if (window && nativeId(window) == windowId)
            return window;
    }
    return nullptr;
}

bool X11DesktopWindowing::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
        return false;
    const quint32 id = reinterpret_cast<const xcb_map_notify_event_t *>(event)->window;
    if (QWidget *window = desktopWindowWithId(id)) {
        // Not from inside Qt's event dispatch: changing the window there would re-enter it.
        const QPointer<QWidget> guarded(window);
        QMetaObject::invokeMethod(this, [this, guarded] { windowMapped(guarded); }, Qt::QueuedConnection);
    }
    return false;
}

bool X11DesktopWindowing::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QWidget *>(watched);
    if (window && event->type() == QEvent::WinIdChange && window->property(kDesktopProperty).toBool()) {
        // A new native window, not mapped yet: the moment to give it its states.
        writeDesktopProperties(window);
    } else if (window && event->type() == QEvent::Show && !X11Session::current()) {
        // Without X11 there is no map notification to wait for: the shown window will do.
        const QPointer<QWidget> guarded(window);
        QMetaObject::invokeMethod(this, [this, guarded] { windowMapped(guarded); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void X11DesktopWindowing::activateApplication()
{
    m_activation.remember();
}

void X11DesktopWindowing::makeKeyAndOrderFront(QWidget *window)
{
    if (!window)
        return;
    if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
}

void X11DesktopWindowing::deactivateApplication()
{
    m_activation.handBack();
}

QImage X11DesktopWindowing::desktopBackground(const ScreenInfo &screen) const
{
    const auto x11 = X11Session::current();
    if (!x11)
        return {};
    QImage image = X11RootBackground::read(*x11, nativeFrame(screen));
    if (!image.isNull())
        image.setDevicePixelRatio(screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0);
    return image;
}

QString X11DesktopWindowing::desktopPicturePath(const ScreenInfo &screen) const
{
    // Desktops count the primary screen first, then the others in the window system's order.
    int number = 0;
    if (!screen.primary) {
        for (QScreen *other : QGuiApplication::screens()) {
            if (other == QGuiApplication::primaryScreen())
                continue;
            ++number;
            if (other == screen.screen)
                break;
        }
    }
    return DesktopPicture(m_portal.get()).path(screen, number);
}

void X11DesktopWindowing::setBlurBehind(QWidget *window, bool on, const QRegion &region)
{
    const auto x11 = X11Session::current();
    if (!window || !x11 || !canBlurBehind())
        return;
    const xcb_window_t id = nativeId(window);
    if (!id)
        return;
    const xcb_atom_t blur = x11->atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
    if (!on) {
        x11->deleteProperty(id, blur);
    } else {
        const qreal dpr = window->devicePixelRatioF();
        QList<quint32> rects; // x, y, width, height per rectangle, device pixels; none: the whole window
        for (const QRect &r : region) {
            rects << quint32(std::lround(r.x() * dpr)) << quint32(std::lround(r.y() * dpr))
                  << quint32(std::lround(r.width() * dpr)) << quint32(std::lround(r.height() * dpr));
        }
        x11->setProperty32(id, blur, XCB_ATOM_CARDINAL, rects);
    }
    x11->flush();
}
