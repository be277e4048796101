#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

// One photo placed on a collage. Coordinates are collage points: origin at the
// bottom-left of the screen, y up; rotation in radians, positive is counter-clockwise.
// cropRect is in fractions of the image, measured from its top-left corner.
struct PhotoItem {
    QUuid id;
    QString imageFileName;
    QPointF center;
    QSizeF size;
    double rotation = 0.0;
    QRectF cropRect{0.0, 0.0, 1.0, 1.0};
    qint64 zIndex = 0;
    std::optional<QString> caption;
    bool flipH = false;
    bool flipV = false;

    PhotoItem() = default;
    PhotoItem(QUuid id, QString imageFileName, QPointF center, QSizeF size, double rotation,
              QRectF cropRect, qint64 zIndex, std::optional<QString> caption = std::nullopt,
              bool flipH = false, bool flipV = false);

    // Exact numeric comparison of every field (Qt's own point and rect operators are fuzzy).
    friend bool operator==(const PhotoItem &a, const PhotoItem &b);
    friend bool operator!=(const PhotoItem &a, const PhotoItem &b) { return !(a == b); }

    static QRectF fullCrop() { return QRectF(0.0, 0.0, 1.0, 1.0); }
};
