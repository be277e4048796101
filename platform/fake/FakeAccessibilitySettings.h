#pragma once

#include "platform/accessibility/AccessibilitySettings.h"

class FakeAccessibilitySettings : public AccessibilitySettings {
    Q_OBJECT
public:
    using AccessibilitySettings::AccessibilitySettings;

    bool reduceMotion() const override { return m_reduceMotion; }
    bool reduceTransparency() const override { return m_reduceTransparency; }
    bool increaseContrast() const override { return m_increaseContrast; }

    void setReduceMotion(bool on) { m_reduceMotion = on; emit changed(); }
    void setReduceTransparency(bool on) { m_reduceTransparency = on; emit changed(); }
    void setIncreaseContrast(bool on) { m_increaseContrast = on; emit changed(); }

private:
    bool m_reduceMotion = false;
    bool m_reduceTransparency = false;
    bool m_increaseContrast = false;
};
