#pragma once

#include <QColor>

// Colours and line widths of the selection chrome and snap guides, from the accent colour
// and the increased-contrast setting.
struct ChromeStyle {
    QColor accent;
    double outlineWidth = 1.5;
    double rotateLineWidth = 1.5;
    double handleBorderWidth = 2.0;
    double guideWidth = 1.0;

    static ChromeStyle make(const QColor &accent, bool increaseContrast);
};
