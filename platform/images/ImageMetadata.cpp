#include "platform/images/ImageMetadata.h"

#include "platform/images/ImageOrientation.h"

std::optional<QSize> ImageMetadata::orientedPixelSize() const
{
    if (!pixelSize)
        return std::nullopt;
    if (orientation && ImageOrientation::swapsAxes(*orientation))
        return pixelSize->transposed();
    return pixelSize;
}

std::optional<GeoCoordinate> ImageMetadata::coordinate() const
{
    if (!gpsLatitude || !gpsLongitude)
        return std::nullopt;
    GeoCoordinate c{*gpsLatitude, *gpsLongitude};
    if (gpsLatitudeRef && *gpsLatitudeRef == QLatin1String("S"))
        c.latitude = -c.latitude;
    if (gpsLongitudeRef && *gpsLongitudeRef == QLatin1String("W"))
        c.longitude = -c.longitude;
    return c;
}
