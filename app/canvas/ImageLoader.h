#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

// Reading a print's photo from the collage folder. Safe to call from any thread.
namespace ImageLoader {

// Longest side of any decoded image.
inline constexpr int maxPixelSize = 4096;
// Extra detail decoded beyond what the print needs now, so small growth needs no new decode.
inline constexpr double headroom = 1.25;

// The file inside baseDir, or nothing when the name is not one plain path component
// (names come from layout files and are not trusted).
std::optional<QString> pathFor(const QString &fileName, const QString &baseDir);

// The whole image, turned upright, reduced to at most maxPixelSize on its longer side.
QImage fullImage(const QString &fileName, const QString &baseDir);
// fullImage with the crop cut out (the uncut image if cutting fails).
QImage cgImage(const QString &fileName, const QRectF &crop, const QString &baseDir);

// The longest side to decode an image of `orientedSize` at, so that its crop covers
// `targetPixels` (aspect fill) with headroom; never above maxPixelSize nor the original.
int decodeLimit(QSize orientedSize, const QRectF &crop, QSizeF targetPixels);

struct Fit {
    QImage image;
    // No more detail is to be had: the original or the maxPixelSize limit was reached.
    bool fullDetail = false;
};
// The cropped image at the detail a photo area of `targetPixels` device pixels needs.
Fit imageForDisplay(const QString &fileName, const QRectF &crop, const QString &baseDir, QSizeF targetPixels);

// Whether an image of `decoded` pixels, filling a photo area of `targetPixels` with its
// aspect kept, would be enlarged.
bool tooSmallFor(QSize decoded, QSizeF targetPixels);

} // namespace ImageLoader
