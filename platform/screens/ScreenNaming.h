#pragma once

#include "platform/screens/ScreenInfo.h"

// Names for screens as a user would recognise them in a menu: "Dell U2720Q", "Built-in
// Display", or the connector as a last resort. Equal names get " (1)", " (2)", … in list order.
class ScreenNaming {
public:
    static QString displayName(const QString &manufacturer, const QString &model, const QString &connector);
    static void makeUnique(ScreenList &screens);
};
