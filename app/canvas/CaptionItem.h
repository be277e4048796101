#pragma once

#include "app/canvas/PrintGeometry.h"

#include <QColor>
#include <QGraphicsItem>
#include <QImage>
#include <QString>

// The handwritten caption on a print's bottom strip: one centred line in grey, cut with an
// ellipsis at the end when it does not fit. Lives in the print's y-up frame space.
class CaptionItem : public QGraphicsItem {
public:
    enum { Type = UserType + 4 };

    explicit CaptionItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // The line as drawn: the text, elided to the frame's width.
    QString displayedText() const;

    void setLayout(const PrintGeometry::CaptionLayout &layout);
    double fontSize() const { return m_layout.fontSize; }
    QRectF frame() const { return m_layout.frame; }
    // The face at its reference size; the painter scales it to fontSize.
    QFont font() const;
    static QColor textColor();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QImage renderLine(double scale) const;

    QString m_text;
    PrintGeometry::CaptionLayout m_layout;
    // Rasterised once per text, size and device scale, as a text layer keeps its backing
    // store: glyph caches per rotation angle would grow without bound while turning prints.
    mutable QImage m_cache;
    mutable double m_cacheScale = 0;
};
