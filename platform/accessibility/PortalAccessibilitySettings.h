#pragma once

#include "platform/accessibility/AccessibilitySettings.h"

#include <memory>

class PortalSettings;

// Accommodations as GNOME and KDE publish them through the desktop portal:
// - reduce motion: GNOME's "enable-animations" off, or KDE's animation speed at zero;
// - increase contrast: the portal's "contrast" preference, or GNOME's "high-contrast";
// - reduce transparency: neither desktop has a switch of its own; high contrast implies it.
class PortalAccessibilitySettings : public AccessibilitySettings {
    Q_OBJECT
public:
    explicit PortalAccessibilitySettings(std::shared_ptr<PortalSettings> portal, QObject *parent = nullptr);
    ~PortalAccessibilitySettings() override;

    bool reduceMotion() const override;
    bool reduceTransparency() const override;
    bool increaseContrast() const override;

private:
    std::shared_ptr<PortalSettings> m_portal;
};
