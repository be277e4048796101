#include "app/canvas/ChromeStyle.h"

ChromeStyle ChromeStyle::make(const QColor &accent, bool increaseContrast)
{
    if (increaseContrast)
        return ChromeStyle{accent, 2.5, 2.5, 2.5, 1.5};
    return ChromeStyle{accent, 1.5, 1.5, 2.0, 1.0};
}
