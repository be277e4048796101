#pragma once

#include <QImage>
#include <QRect>

class X11Session;

// The desktop background that the desktop or a setter tool (hsetroot, feh, nitrogen…) left on
// the root window, published as the pixmap in _XROOTPMAP_ID (or ESETROOT_PMAP_ID).
class X11RootBackground {
public:
    // The part inside nativeRect (root coordinates, device pixels); null if there is none.
    static QImage read(const X11Session &session, const QRect &nativeRect);
};
