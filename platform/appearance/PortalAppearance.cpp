#include "platform/appearance/PortalAppearance.h"

#include "platform/desktop/PortalSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace {
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
}

PortalAppearance::PortalAppearance(std::shared_ptr<PortalSettings> portal, QObject *parent)
    : Appearance(parent), m_portal(std::move(portal))
{
    connect(m_portal.get(), &PortalSettings::settingChanged, this, [this](const QString &nameSpace, const QString &key) {
        if (nameSpace == kAppearance && (key == QLatin1String("accent-color") || key == QLatin1String("color-scheme")))
            emit changed();
    });
    if (qGuiApp)
        qGuiApp->installEventFilter(this);
}

PortalAppearance::~PortalAppearance()
{
    if (qGuiApp)
        qGuiApp->removeEventFilter(this);
}

bool PortalAppearance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange)
        emit changed();
    return Appearance::eventFilter(watched, event);
}

QColor PortalAppearance::accentFromPortal(const QVariant &value)
{
    const QVariantList rgb = value.toList();
    if (value.typeId() != QMetaType::QVariantList || rgb.size() != 3)
        return {};
    double c[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        c[i] = rgb[i].toDouble(&ok);
        if (!ok || !(c[i] >= 0.0 && c[i] <= 1.0))
            return {};
    }
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]));
}

QColor PortalAppearance::accentColor() const
{
    const QColor accent = accentFromPortal(m_portal->value(kAppearance, QStringLiteral("accent-color")));
    if (accent.isValid())
        return accent;
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

Appearance::ColorScheme PortalAppearance::colorScheme() const
{
    bool ok = false;
    const uint scheme = m_portal->value(kAppearance, QStringLiteral("color-scheme")).toUInt(&ok);
    if (ok && scheme == 1)
        return ColorScheme::Dark;
    if (ok && scheme == 2)
        return ColorScheme::Light;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness()
        ? ColorScheme::Dark
        : ColorScheme::Light;
}
