#pragma once

#include <QColor>
#include <QIconEngine>

// Our symbol art as an icon: sharp at every size, in a fixed colour or in the palette's text
// colour for the icon's mode (dimmed when disabled, highlighted text when selected).
class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(const QString &name, const QColor &color);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine *clone() const override;
    QString key() const override;
    QString iconName() override;
    bool isNull() override;

private:
    QColor colorFor(QIcon::Mode mode) const;

    QString m_name;
    QColor m_color;
};
