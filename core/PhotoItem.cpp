#include "core/PhotoItem.h"

#include "core/Geometry.h"

PhotoItem::PhotoItem(QUuid id_, QString imageFileName_, QPointF center_, QSizeF size_, double rotation_,
                     QRectF cropRect_, qint64 zIndex_, std::optional<QString> caption_, bool flipH_,
                     bool flipV_)
    : id(id_),
      imageFileName(std::move(imageFileName_)),
      center(center_),
      size(size_),
      rotation(rotation_),
      cropRect(cropRect_),
      zIndex(zIndex_),
      caption(std::move(caption_)),
      flipH(flipH_),
      flipV(flipV_)
{
}

bool operator==(const PhotoItem &a, const PhotoItem &b)
{
    return a.id == b.id && a.imageFileName == b.imageFileName && exactlyEqual(a.center, b.center)
        && exactlyEqual(a.size, b.size) && a.rotation == b.rotation && exactlyEqual(a.cropRect, b.cropRect)
        && a.zIndex == b.zIndex && a.caption == b.caption && a.flipH == b.flipH && a.flipV == b.flipV;
}
