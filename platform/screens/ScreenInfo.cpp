#include "platform/screens/ScreenInfo.h"

#include <algorithm>
#include <cmath>

int ScreenInfo::bottomInset() const
{
    // QRect::bottom() is the last row inside; compare the edges one past it.
    const int frameEdge = frame.y() + frame.height();
    const int visibleEdge = visibleFrame.y() + visibleFrame.height();
    return std::max(0, frameEdge - visibleEdge);
}

QSize ScreenInfo::pixelSize() const
{
    return QSize(int(std::floor(frame.width() * devicePixelRatio + 1e-9)),
                 int(std::floor(frame.height() * devicePixelRatio + 1e-9)));
}
