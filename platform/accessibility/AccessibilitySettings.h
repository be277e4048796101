#pragma once

#include <QObject>

// The user's display accommodations. Off where the desktop does not publish them.
class AccessibilitySettings : public QObject {
    Q_OBJECT
public:
    ~AccessibilitySettings() override;

    virtual bool reduceMotion() const = 0;
    virtual bool reduceTransparency() const = 0;
    virtual bool increaseContrast() const = 0;

signals:
    void changed();

protected:
    explicit AccessibilitySettings(QObject *parent = nullptr);
};
