#pragma once

#include "platform/appearance/Appearance.h"

class FakeAppearance : public Appearance {
    Q_OBJECT
public:
    using Appearance::Appearance;

    QColor accentColor() const override { return m_accent; }
    ColorScheme colorScheme() const override { return m_scheme; }

    void setAccentColor(const QColor &color) { m_accent = color; emit changed(); }
    void setColorScheme(ColorScheme scheme) { m_scheme = scheme; emit changed(); }

private:
    QColor m_accent = QColor(0x30, 0x7a, 0xf0);
    ColorScheme m_scheme = ColorScheme::Light;
};
