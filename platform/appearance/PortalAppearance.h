#pragma once

#include "platform/appearance/Appearance.h"

#include <memory>

class PortalSettings;

// The portal's org.freedesktop.appearance accent colour and colour scheme where the desktop
// publishes them; otherwise the application palette's highlight and window lightness.
class PortalAppearance : public Appearance {
    Q_OBJECT
public:
    explicit PortalAppearance(std::shared_ptr<PortalSettings> portal, QObject *parent = nullptr);
    ~PortalAppearance() override;

    QColor accentColor() const override;
    ColorScheme colorScheme() const override;

    // The portal's "accent-color": three doubles in [0, 1]; anything else means "not set".
    static QColor accentFromPortal(const QVariant &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::shared_ptr<PortalSettings> m_portal;
};
