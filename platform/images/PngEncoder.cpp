#include "platform/images/PngEncoder.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

void appendData(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

void noFlush(png_structp) {}

[[noreturn]] void fail(png_structp png, png_const_charp)
{
    longjmp(png_jmpbuf(png), 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Kept apart from the caller's objects: after an error libpng jumps back here.
bool writeRows(png_structp png, png_infop info, QSize size, const PngEncoder::RowSource &row, png_bytep line)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, png_uint_32(size.width()), png_uint_32(size.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size.height(); ++y) {
        const QRgb *source = row(y);
        for (int x = 0; x < size.width(); ++x) {
            const QRgb pixel = qUnpremultiply(source[x]);
            png_bytep out = line + 4 * x;
            out[0] = png_byte(qRed(pixel));
            out[1] = png_byte(qGreen(pixel));
            out[2] = png_byte(qBlue(pixel));
            out[3] = png_byte(qAlpha(pixel));
        }
        png_write_row(png, line);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

QByteArray PngEncoder::encodeRows(QSize size, const RowSource &row)
{
    if (size.isEmpty())
        return {};
    QByteArray data;
    std::vector<png_byte> line(size_t(size.width()) * 4);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, ignoreWarning);
    if (!png)
        return {};
    png_infop info = png_create_info_struct(png);
    bool written = false;
    if (info) {
        png_set_write_fn(png, &data, appendData, noFlush);
        written = writeRows(png, info, size, row, line.data());
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written ? data : QByteArray();
}

QByteArray PngEncoder::encode(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return encodeRows(pixels.size(), [&pixels](int y) { return reinterpret_cast<const QRgb *>(pixels.constScanLine(y)); });
}
