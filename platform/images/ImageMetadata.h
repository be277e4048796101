#pragma once

#include <QSize>
#include <QString>

#include <optional>

struct GeoCoordinate {
    double latitude = 0;  // degrees, south negative
    double longitude = 0; // degrees, west negative
};

// The metadata of a file's first image. Every entry is optional: a file may carry none of it.
struct ImageMetadata {
    // Pixel size as stored. Turning it by `orientation` gives the size as displayed; for HEIF,
    // whose transformations the decoder applies itself, the size is already the displayed
    // one and the orientation is 1.
    std::optional<QSize> pixelSize;
    std::optional<int> orientation;           // Exif orientation, 1 to 8
    std::optional<QString> dateTimeOriginal;  // Exif.Photo.DateTimeOriginal, "yyyy:MM:dd HH:mm:ss"
    std::optional<QString> dateTime;          // Exif.Image.DateTime (the TIFF date)
    std::optional<double> gpsLatitude;        // degrees as stored, without sign
    std::optional<QString> gpsLatitudeRef;    // "N" or "S"
    std::optional<double> gpsLongitude;
    std::optional<QString> gpsLongitudeRef;   // "E" or "W"

    // The displayed size: width and height swapped for orientations 5 to 8.
    std::optional<QSize> orientedPixelSize() const;
    // Signed decimal degrees: present when both latitude and longitude are; exactly "S" and
    // exactly "W" negate, a missing reference counts as north or east.
    std::optional<GeoCoordinate> coordinate() const;
};
