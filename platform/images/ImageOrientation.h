#pragma once

#include <QImage>

// Exif orientation values (1 to 8): how the stored pixels must be turned to be seen upright.
class ImageOrientation {
public:
    static bool isValid(int orientation) { return orientation >= 1 && orientation <= 8; }
    // Orientations 5 to 8 turn the image by a quarter: width and height trade places.
    static bool swapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }
    static QImage apply(const QImage &image, int orientation);
};
