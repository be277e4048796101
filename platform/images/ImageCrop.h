#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>

// Crops are fractions (0 to 1) of an image's width and height, measured from its top-left.
class ImageCrop {
public:
    static bool isFull(const QRectF &crop);
    // The smallest rectangle with whole-number edges enclosing the crop in pixels, clipped to
    // the image; empty when nothing of the image is left.
    static QRect pixelRect(QSize imageSize, const QRectF &crop);
    // The full crop returns the image itself; a crop that cuts nothing out returns it uncut too.
    static QImage cut(const QImage &image, const QRectF &crop);
};
