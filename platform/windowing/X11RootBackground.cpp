#include "platform/windowing/X11RootBackground.h"

#include "platform/windowing/X11Session.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};

xcb_pixmap_t rootPixmap(const X11Session &session)
{
    for (const char *name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"}) {
        const QList<quint32> ids = session.property32(session.root(), session.atom(name), XCB_ATOM_PIXMAP);
        if (!ids.isEmpty() && ids.first() != 0)
            return ids.first();
    }
    return XCB_PIXMAP_NONE;
}

} // namespace

QImage X11RootBackground::read(const X11Session &session, const QRect &nativeRect)
{
    const xcb_pixmap_t pixmap = rootPixmap(session);
    if (!pixmap || nativeRect.isEmpty())
        return {};
    xcb_connection_t *c = session.connection();

    xcb_generic_error_t *error = nullptr;
    std::unique_ptr<xcb_get_geometry_reply_t, FreeDeleter> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), &error));
    std::free(error);
    if (!geometry)
        return {}; // the setter tool exited and its pixmap is gone
    const QRect area = nativeRect.intersected(QRect(0, 0, geometry->width, geometry->height));
    if (area.isEmpty())
        return {};

    const int depth = geometry->depth;
    const int bpp = session.bitsPerPixel(depth);
    QImage::Format format = QImage::Format_Invalid;
    if ((depth == 24 || depth == 32) && bpp == 32)
        format = QImage::Format_RGB32;
    else if (depth == 16 && bpp == 16)
        format = QImage::Format_RGB16;
    if (format == QImage::Format_Invalid || !session.isLittleEndianImageOrder())
        return {};

    error = nullptr;
    const xcb_get_image_cookie_t cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, int16_t(area.x()),
                                                        int16_t(area.y()), uint16_t(area.width()),
                                                        uint16_t(area.height()), ~0u);
    std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> reply(xcb_get_image_reply(c, cookie, &error));
    std::free(error);
    if (!reply)
        return {};
    const int length = xcb_get_image_data_length(reply.get());
    const int bytesPerLine = length / area.height();
    if (bytesPerLine * 8 < area.width() * bpp)
        return {};
    const uchar *data = xcb_get_image_data(reply.get());
    QImage image;
    if (format == QImage::Format_RGB32) {
        // Copied row by row with the padding byte set: Qt takes RGB32 pixels as 0xffRRGGBB.
        image = QImage(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y) {
            const auto *src = reinterpret_cast<const quint32 *>(data + qsizetype(y) * bytesPerLine);
            auto *dst = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0; x < area.width(); ++x)
                dst[x] = src[x] | 0xff000000u;
        }
    } else {
        image = QImage(data, area.width(), area.height(), bytesPerLine, format).convertToFormat(QImage::Format_RGB32);
    }

    if (area == nativeRect)
        return image;
    // The pixmap is smaller than the screen: what it does not cover stays black, as on screen.
    QImage whole(nativeRect.size(), QImage::Format_RGB32);
    whole.fill(Qt::black);
    for (int y = 0; y < image.height(); ++y) {
        const int row = area.y() - nativeRect.y() + y;
        auto *dst = reinterpret_cast<quint32 *>(whole.scanLine(row)) + (area.x() - nativeRect.x());
        std::copy_n(reinterpret_cast<const quint32 *>(image.constScanLine(y)), image.width(), dst);
    }
    return whole;
}
