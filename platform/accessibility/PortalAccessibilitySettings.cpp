#include "platform/accessibility/PortalAccessibilitySettings.h"

#include "platform/desktop/PortalSettings.h"

namespace {
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kGnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString kGnomeA11y = QStringLiteral("org.gnome.desktop.a11y.interface");
const QString kKde = QStringLiteral("org.kde.kdeglobals.KDE");

bool isBool(const QVariant &v)
{
    return v.typeId() == QMetaType::Bool;
}
} // namespace

PortalAccessibilitySettings::PortalAccessibilitySettings(std::shared_ptr<PortalSettings> portal, QObject *parent)
    : AccessibilitySettings(parent), m_portal(std::move(portal))
{
    connect(m_portal.get(), &PortalSettings::settingChanged, this, [this](const QString &nameSpace, const QString &key) {
        if ((nameSpace == kAppearance && key == QLatin1String("contrast"))
            || (nameSpace == kGnomeInterface && key == QLatin1String("enable-animations"))
            || (nameSpace == kGnomeA11y && key == QLatin1String("high-contrast"))
            || (nameSpace == kKde && key == QLatin1String("AnimationDurationFactor")))
            emit changed();
    });
}

PortalAccessibilitySettings::~PortalAccessibilitySettings() = default;

bool PortalAccessibilitySettings::reduceMotion() const
{
    const QVariant animations = m_portal->value(kGnomeInterface, QStringLiteral("enable-animations"));
    if (isBool(animations) && !animations.toBool())
        return true;
    const QVariant factor = m_portal->value(kKde, QStringLiteral("AnimationDurationFactor"));
    bool ok = false;
    const double speed = factor.toDouble(&ok);
    return factor.isValid() && ok && speed == 0;
}

bool PortalAccessibilitySettings::increaseContrast() const
{
    const QVariant contrast = m_portal->value(kAppearance, QStringLiteral("contrast"));
    bool ok = false;
    if (contrast.isValid() && contrast.toUInt(&ok) == 1 && ok)
        return true;
    const QVariant highContrast = m_portal->value(kGnomeA11y, QStringLiteral("high-contrast"));
    return isBool(highContrast) && highContrast.toBool();
}

bool PortalAccessibilitySettings::reduceTransparency() const
{
    return increaseContrast();
}
