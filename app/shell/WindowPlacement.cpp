#include "app/shell/WindowPlacement.h"

#include <QWidget>

namespace WindowPlacement {

void present(QWidget *window, const QRect &area)
{
    if (!area.isNull()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(area.center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace WindowPlacement
