#include "platform/images/ImageOrientation.h"

#include <QTransform>

QImage ImageOrientation::apply(const QImage &image, int orientation)
{
    if (image.isNull())
        return image;
    const QTransform quarter = QTransform().rotate(90);
    const QTransform half = QTransform().rotate(180);
    const QTransform threeQuarters = QTransform().rotate(270);
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.transformed(half);
    case 4:
        return image.mirrored(false, true);
    case 5: // transpose: mirrored, then turned a quarter anticlockwise
        return image.mirrored(true, false).transformed(threeQuarters);
    case 6:
        return image.transformed(quarter);
    case 7: // transverse: mirrored, then turned a quarter clockwise
        return image.mirrored(true, false).transformed(quarter);
    case 8:
        return image.transformed(threeQuarters);
    default:
        return image;
    }
}
