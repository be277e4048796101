#pragma once

#include "platform/windowing/WindowLevel.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

// A borderless, translucent top-level window covering one screen, lying just above the
// desktop picture. Its canvas fills it; the backdrop and control bar of the editing mode
// are added as further children.
class DesktopWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr WindowLevel desktopLevel = WindowLevel::Desktop;
    static constexpr WindowLevel floatingLevel = WindowLevel::Floating;

    explicit DesktopWindow(const QRect &frame);

    // The editing mode needs the keyboard, which a frameless window otherwise rarely gets.
    bool canBecomeKey() const { return true; }

    QWidget *contentView() { return this; }
    QWidget *canvas() const { return m_canvas; }
    void setCanvas(QWidget *canvas);

    // Without a compositing manager transparent pixels are black: the window then paints
    // the desktop background itself under the prints.
    void setDesktopBackground(const QImage &image);
    const QImage &desktopBackground() const { return m_background; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_canvas;
    QImage m_background;
};
