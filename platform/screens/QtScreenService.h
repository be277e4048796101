#pragma once

#include "platform/screens/ScreenService.h"

// Screens as Qt's platform plugin reports them (xcb: one per RandR monitor).
class QtScreenService : public ScreenService {
    Q_OBJECT
public:
    explicit QtScreenService(QObject *parent = nullptr);

    ScreenList screens() const override;
    QPoint pointerPosition() const override;

    static ScreenInfo describe(QScreen &screen, int index);

private:
    void watch(QScreen *screen);
};
