#pragma once

#include "platform/screens/ScreenInfo.h"

#include <QObject>
#include <QTimer>

#include <optional>

// The attached screens, in the window system's order, and the pointer.
class ScreenService : public QObject {
    Q_OBJECT
public:
    // Screen changes arrive in bursts (a monitor plugged in moves every other one); listeners
    // rebuild their windows, so they hear of a burst once, this long after its last event.
    static constexpr int coalesceIntervalMs = 150;

    ~ScreenService() override;

    virtual ScreenList screens() const = 0;
    // The primary screen, or else the first one.
    virtual std::optional<ScreenInfo> mainScreen() const;
    virtual QPoint pointerPosition() const = 0;

    // The first screen in list order whose frame contains the point.
    std::optional<ScreenInfo> screenAt(QPoint globalPoint) const;
    std::optional<ScreenInfo> screenWithKey(const QString &displayKey) const;
    std::optional<ScreenInfo> screenFor(const QScreen *screen) const;

signals:
    // The list, a frame, a visible frame, a pixel ratio or the primary screen changed.
    void changed();

protected:
    explicit ScreenService(QObject *parent = nullptr);
    // Called for every low-level change; emits changed() once per burst.
    void noteChange();

private:
    QTimer m_coalesce;
};
