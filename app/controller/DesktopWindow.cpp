#include "app/controller/DesktopWindow.h"

#include "platform/Platform.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QPainter>

DesktopWindow::DesktopWindow(const QRect &frame)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint | Qt::WindowStaysOnBottomHint)
{
    setWindowTitle(QStringLiteral("Veloran"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Platform::instance().windowing().prepareDesktopWindow(this);
    setGeometry(frame);
    setFocusPolicy(Qt::NoFocus);
}

void DesktopWindow::setCanvas(QWidget *canvas)
{
    m_canvas = canvas;
    if (m_canvas) {
        m_canvas->setParent(this);
        m_canvas->setGeometry(rect());
    }
}

void DesktopWindow::setDesktopBackground(const QImage &image)
{
    m_background = image;
    update();
}

void DesktopWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_canvas)
        m_canvas->setGeometry(rect());
}

void DesktopWindow::paintEvent(QPaintEvent *event)
{
    if (m_background.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawImage(rect(), m_background);
}
