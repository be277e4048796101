#pragma once

// Feedback that is felt or heard rather than seen: the tick of a trackpad when a print snaps
// to a guide, and the alert sound for a refused action.
class Haptics {
public:
    virtual ~Haptics();

    virtual void perform() = 0;
    virtual void beep() = 0;
};
