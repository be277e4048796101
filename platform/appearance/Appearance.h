#pragma once

#include <QColor>
#include <QObject>

// The desktop's accent colour and light or dark preference.
class Appearance : public QObject {
    Q_OBJECT
public:
    enum class ColorScheme { Light, Dark };

    ~Appearance() override;

    virtual QColor accentColor() const = 0;
    virtual ColorScheme colorScheme() const = 0;

signals:
    void changed();

protected:
    explicit Appearance(QObject *parent = nullptr);
};
