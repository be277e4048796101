#pragma once

#include "platform/windowing/DesktopWindowing.h"
#include "platform/windowing/X11Activation.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class PortalSettings;
class QWidget;
class QWindow;

// Desktop windows through Qt's window flags and EWMH on X11. Off X11 (Wayland without
// XWayland, offscreen) only the Qt flags are set and the capabilities say what is missing.
class X11DesktopWindowing : public QObject, public DesktopWindowing, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11DesktopWindowing(std::shared_ptr<PortalSettings> portal, QObject *parent = nullptr);
    ~X11DesktopWindowing() override;

    bool canClickThrough() const override;
    bool canKeepBelow() const override;
    bool isCompositing() const override;
    bool canBlurBehind() const override;

    void prepareDesktopWindow(QWidget *window) override;
    void setLevel(QWidget *window, WindowLevel level) override;
    WindowLevel level(const QWidget *window) const override;
    void setClickThrough(QWidget *window, bool on) override;
    bool isClickThrough(const QWidget *window) const override;

    void activateApplication() override;
    void makeKeyAndOrderFront(QWidget *window) override;
    void deactivateApplication() override;

    QImage desktopBackground(const ScreenInfo &screen) const override;
    QString desktopPicturePath(const ScreenInfo &screen) const override;
    void setBlurBehind(QWidget *window, bool on, const QRegion &region) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isMapped(QWidget *window) const;
    void applyClickThrough(QWidget *window, bool on);
    void windowMapped(QWidget *window);
    void writeDesktopProperties(QWidget *window) const;
    void ensureDesktopStates(QWidget *window) const;
    QWidget *desktopWindowWithId(quint32 windowId) const;

    std::shared_ptr<PortalSettings> m_portal;
    QList<QPointer<QWidget>> m_desktopWindows;
    // Windows waiting to be mapped before their input area can be emptied.
    QList<QPointer<QWidget>> m_pendingClickThrough;
    X11Activation m_activation;
};
