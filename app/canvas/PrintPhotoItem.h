#pragma once

#include <QColor>
#include <QGraphicsItem>
#include <QImage>

// The photo set into a print: its image scaled to fill the photo rectangle (aspect kept,
// centred, the excess cut), with rounded corners and mirrored by the print's flips.
// Lives in the print's y-up frame space; its own origin is the photo's bottom-left corner.
class PrintPhotoItem : public QGraphicsItem {
public:
    enum { Type = UserType + 2 };
    // What the photo area shows: the faint placeholder until an image arrives or when none
    // can be read, the image, or nothing at all (the white card shows through).
    enum class Content { placeholder, image, none };

    explicit PrintPhotoItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    void setGeometry(QSizeF size, double cornerRadius, double flipX, double flipY);
    QSizeF size() const { return m_size; }
    double cornerRadius() const { return m_radius; }
    double flipX() const { return m_flipX; }
    double flipY() const { return m_flipY; }

    void setImage(const QImage &image);
    void showPlaceholder();
    void clearContents();
    Content content() const { return m_content; }
    const QImage &image() const { return m_image; }

    static QColor placeholderColor();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QSizeF m_size;
    double m_radius = 0;
    double m_flipX = 1;
    double m_flipY = 1;
    Content m_content = Content::placeholder;
    QImage m_image;
};
