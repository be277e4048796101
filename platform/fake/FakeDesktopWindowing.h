#pragma once

#include "platform/windowing/DesktopWindowing.h"

#include <QHash>
#include <QStringList>

// Records what is asked of each window, for tests of the code that drives the windows.
class FakeDesktopWindowing : public DesktopWindowing {
public:
    struct WindowState {
        bool prepared = false;
        WindowLevel level = WindowLevel::Normal;
        bool clickThrough = false;
        bool blurBehind = false;
        QRegion blurRegion;
        int madeKey = 0;
    };

    bool canClickThrough() const override { return m_canClickThrough; }
    bool canKeepBelow() const override { return m_canKeepBelow; }
    bool isCompositing() const override { return m_compositing; }
    bool canBlurBehind() const override { return m_canBlur; }

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

    void setCanClickThrough(bool on) { m_canClickThrough = on; }
    void setCanKeepBelow(bool on) { m_canKeepBelow = on; }
    void setCompositing(bool on) { m_compositing = on; }
    void setCanBlurBehind(bool on) { m_canBlur = on; }
    void setDesktopBackground(const QImage &image) { m_background = image; }
    void setDesktopPicturePath(const QString &path) { m_picturePath = path; }

    WindowState state(const QWidget *window) const { return m_windows.value(window); }
    // "prepare", "level desktop|normal|floating|panel", "clickThrough on|off", "activateApplication",
    // "makeKey", "deactivateApplication", "blur on|off", in call order, each followed by the
    // window's objectName where there is a window.
    const QStringList &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    bool isApplicationActive() const { return m_active; }
    QWidget *keyWindow() const { return m_keyWindow; }

private:
    void record(const QString &call, const QWidget *window);

    bool m_canClickThrough = true;
    bool m_canKeepBelow = true;
    bool m_compositing = true;
    bool m_canBlur = false;
    QImage m_background;
    QString m_picturePath;
    QHash<const QWidget *, WindowState> m_windows;
    QStringList m_calls;
    bool m_active = false;
    QWidget *m_keyWindow = nullptr;
};
