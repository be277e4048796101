#pragma once

#include "platform/screens/ScreenService.h"

// Screens that a test lays out. Every change emits changed() like the real service does
// (coalesced).
class FakeScreenService : public ScreenService {
    Q_OBJECT
public:
    explicit FakeScreenService(QObject *parent = nullptr);

    // A screen with the key and name the real service would give a monitor on that connector.
    static ScreenInfo makeScreen(const QString &connector, const QRect &frame, const QRect &visibleFrame = QRect(),
                                 qreal devicePixelRatio = 1.0);

    ScreenList screens() const override;
    QPoint pointerPosition() const override;

    void setScreens(const ScreenList &screens);
    void setPointerPosition(QPoint position);

private:
    ScreenList m_screens;
    QPoint m_pointer;
};
