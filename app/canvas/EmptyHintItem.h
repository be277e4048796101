#pragma once

#include <QGraphicsItem>
#include <QString>

// The hint on an empty collage in editing mode: wrapped, centred white text in a fixed box.
class EmptyHintItem : public QGraphicsItem {
public:
    enum { Type = UserType + 7 };
    static inline const QString text = QStringLiteral(
        "Drag photos here, or click \uFF0B Add Photos below.\nPress Esc when you're done.");
    static constexpr double width = 560;
    static constexpr double height = 90;
    static constexpr int fontPixelSize = 22;

    explicit EmptyHintItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }
    QFont font() const;
    // The text as drawn: without a glyph the font lacks.
    QString displayText() const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
};
