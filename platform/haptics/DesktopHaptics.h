#pragma once

#include "platform/haptics/Haptics.h"

// Linux desktops offer no haptic feedback for pointing devices: perform() does nothing.
// The alert is the window system's bell.
class DesktopHaptics : public Haptics {
public:
    void perform() override;
    void beep() override;
};
