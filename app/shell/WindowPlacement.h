#pragma once

#include <QRect>

class QWidget;

namespace WindowPlacement {

// Brings a utility window up in the middle of `area` (a screen's free area; a null area
// leaves it where it is), in front and with the keyboard.
void present(QWidget *window, const QRect &area);

} // namespace WindowPlacement
