#pragma once

#include "platform/screens/ScreenInfo.h"
#include "platform/windowing/WindowLevel.h"

#include <QImage>
#include <QRegion>
#include <QString>

class QWidget;

// What the window system does for the collage windows: keep them on the desktop, out of
// task bars and pagers and on every workspace, let clicks through, bring them forward for
// editing and hand the keyboard back afterwards. Every operation takes a top-level widget and
// is called on the GUI thread. Hosts that cannot do something say so through the capability
// queries; the operations then do what the host allows and nothing else.
class DesktopWindowing {
public:
    virtual ~DesktopWindowing();

    // Windows can be made transparent to the pointer.
    virtual bool canClickThrough() const = 0;
    // The window manager keeps windows below or above the ordinary ones on request.
    virtual bool canKeepBelow() const = 0;
    // A compositing manager runs: transparent window pixels show what lies behind them.
    // Without one they are black, and the desktop's background has to be painted in.
    virtual bool isCompositing() const = 0;
    virtual bool canBlurBehind() const = 0;

    // Frameless, translucent, not activated on show, at the desktop level, on all workspaces,
    // out of task bars and pagers. Call once, before the window is first shown.
    virtual void prepareDesktopWindow(QWidget *window) = 0;
    // Changes the level of a shown window in place: no flicker, no new frame, no state lost.
    virtual void setLevel(QWidget *window, WindowLevel level) = 0;
    virtual WindowLevel level(const QWidget *window) const = 0;
    // Pointer events pass through to whatever lies below. On a window that is not mapped yet
    // it takes effect once the window manager has mapped it.
    virtual void setClickThrough(QWidget *window, bool on) = 0;
    virtual bool isClickThrough(const QWidget *window) const = 0;

    // Entering the editing mode: remember which window of another application is active.
    virtual void activateApplication() = 0;
    // Raise the window and give it the keyboard.
    virtual void makeKeyAndOrderFront(QWidget *window) = 0;
    // Leaving the editing mode: give the keyboard back to the window remembered above.
    virtual void deactivateApplication() = 0;

    // The desktop background as drawn on the root window, for the part the screen covers,
    // at device resolution (device pixel ratio set). Null where there is none to read.
    virtual QImage desktopBackground(const ScreenInfo &screen) const = 0;
    // The file of the desktop picture the desktop environment shows, if it says; else empty.
    virtual QString desktopPicturePath(const ScreenInfo &screen) const = 0;
    // Ask the compositor to blur what lies behind the region (window coordinates; an empty
    // region means the whole window). Does nothing where canBlurBehind() is false.
    virtual void setBlurBehind(QWidget *window, bool on, const QRegion &region = QRegion()) = 0;
};
