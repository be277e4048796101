#pragma once

#include <QtGlobal>

// The keyboard hand-over around the editing mode: which window of another application had the
// keyboard when we took it, and giving it back. Without the hand-back openbox keeps our
// window active, and so above everything, after it went back to the desktop.
class X11Activation {
public:
    // Remembers the active window unless it is one of ours.
    void remember();
    // Activates the remembered window if it still exists, then forgets it.
    void handBack();

private:
    static bool isOwnWindow(quint32 windowId);

    quint32 m_previous = 0;
};
