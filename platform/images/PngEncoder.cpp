#include "platform/images/PngEncoder.h"

#include <QBuffer>
#include <QImageWriter>

QByteArray PngEncoder::encode(const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80);
    if (!writer.write(image))
        return {};
    return data;
}
