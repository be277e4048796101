#include "app/canvas/Cursors.h"

#include "platform/Platform.h"
#include "platform/symbols/Symbols.h"

namespace Cursors {

const QCursor &resize()
{
    static const QCursor cursor = Platform::instance().symbols().cursor(CursorShape::Resize);
    return cursor;
}

const QCursor &rotate()
{
    static const QCursor cursor = Platform::instance().symbols().cursor(CursorShape::Rotate);
    return cursor;
}

const QCursor &openHand()
{
    static const QCursor cursor(Qt::OpenHandCursor);
    return cursor;
}

const QCursor &arrow()
{
    static const QCursor cursor(Qt::ArrowCursor);
    return cursor;
}

} // namespace Cursors
