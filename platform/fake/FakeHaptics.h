#pragma once

#include "platform/haptics/Haptics.h"

#include <atomic>

class FakeHaptics : public Haptics {
public:
    void perform() override { ++m_performed; }
    void beep() override { ++m_beeps; }

    int performCount() const { return m_performed; }
    int beepCount() const { return m_beeps; }

private:
    std::atomic<int> m_performed{0};
    std::atomic<int> m_beeps{0};
};
