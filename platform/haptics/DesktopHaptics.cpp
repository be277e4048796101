#include "platform/haptics/DesktopHaptics.h"

#include <QApplication>

void DesktopHaptics::perform() {}

void DesktopHaptics::beep()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}
