#pragma once

#include <QCursor>

// The canvas's pointer shapes, each made once on first use.
namespace Cursors {

// Over a corner handle of the selected print, whatever the corner and rotation.
const QCursor &resize();
// Over the rotate handle.
const QCursor &rotate();
// Over any print, and over empty canvas.
const QCursor &openHand();
const QCursor &arrow();

} // namespace Cursors
