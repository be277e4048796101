#include "app/canvas/PinPalette.h"

#include "core/PhotoFrame.h"

namespace PinPalette {

const QList<QColor> &colors()
{
    static const QList<QColor> palette{
        QColor::fromRgbF(0.9f, 0.24f, 0.24f),
        QColor::fromRgbF(0.2f, 0.52f, 0.9f),
        QColor::fromRgbF(0.96f, 0.76f, 0.2f),
        QColor::fromRgbF(0.3f, 0.72f, 0.42f),
    };
    return palette;
}

QColor colorFor(const QUuid &id)
{
    const QList<QColor> &palette = colors();
    return palette.at(PhotoFrame::pinColorIndex(id, int(palette.size())));
}

} // namespace PinPalette
