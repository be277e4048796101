#pragma once

#include <QString>

class QScreen;

// The persistent key of a display: a name-based UUID (version 5) in upper-case text, 36
// characters. It follows the monitor, not its place in the screen list: built from the EDID
// identity (manufacturer, model, serial number) where the monitor reports one, from the
// connector name otherwise. Monitors without a serial number also mix in the connector, so
// two identical ones are still told apart.
class DisplayKey {
public:
    static QString fromIdentity(const QString &manufacturer, const QString &model, const QString &serialNumber,
                                const QString &connector);
    // fallbackIndex names a screen that reports neither identity nor name (its list position).
    static QString forScreen(const QScreen &screen, int fallbackIndex);
    static bool isWellFormed(const QString &key);
};
