#include "platform/images/HeifReader.h"

#include <QFile>

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

void initialiseOnce()
{
    static std::once_flag once;
    // Never balanced by heif_deinit(): decoding may still run on a worker thread at exit.
    std::call_once(once, [] { heif_init(nullptr); });
}

struct ContextDeleter {
    void operator()(heif_context *c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(heif_image_handle *h) const { heif_image_handle_release(h); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options *o) const { heif_decoding_options_free(o); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;

Handle primaryImage(const QString &path, Context &context)
{
    initialiseOnce();
    context.reset(heif_context_alloc());
    if (!context)
        return {};
    // Far beyond any camera, small enough that a hostile header cannot ask for gigabytes.
    heif_context_set_maximum_image_size_limit(context.get(), 16384);
    const QByteArray file = QFile::encodeName(path);
    if (heif_context_read_from_file(context.get(), file.constData(), nullptr).code != heif_error_Ok)
        return {};
    heif_image_handle *handle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return {};
    return Handle(handle);
}

void releaseImage(void *image)
{
    heif_image_release(static_cast<heif_image *>(image));
}

} // namespace

bool HeifReader::isHeif(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(64);
    if (head.size() < 12)
        return false;
    const heif_filetype_result type
        = heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()));
    return type == heif_filetype_yes_supported;
}

QSize HeifReader::size(const QString &path)
{
    Context context;
    const Handle handle = primaryImage(path, context);
    if (!handle)
        return {};
    const QSize size(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    return size.isEmpty() ? QSize() : size;
}

QImage HeifReader::read(const QString &path, int maxPixelSize)
{
    Context context;
    const Handle handle = primaryImage(path, context);
    if (!handle)
        return {};
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (options)
        options->convert_hdr_to_8bit = 1;
    heif_image *decoded = nullptr;
    const heif_error error = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                                               heif_chroma_interleaved_RGBA, options.get());
    if (error.code != heif_error_Ok || !decoded) {
        if (decoded)
            heif_image_release(decoded);
        return {};
    }
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0 || stride < width * 4) {
        heif_image_release(decoded);
        return {};
    }
    // Wraps libheif's buffer without a copy; the image releases it when the last copy goes.
    QImage image(plane, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888,
                 releaseImage, decoded);
    if (maxPixelSize > 0 && std::max(width, height) > maxPixelSize)
        return image.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}
