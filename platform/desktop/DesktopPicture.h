#pragma once

#include "platform/screens/ScreenInfo.h"

#include <QString>
#include <QStringList>

#include <functional>

class PortalSettings;

// The file of a screen's desktop picture, asked where each desktop keeps it: the settings
// portal (GNOME's background keys, a dark-mode picture included), then by the desktop named
// in XDG_CURRENT_DESKTOP: gsettings for GNOME, Cinnamon and MATE, Plasma's desktop
// configuration, Xfce's xfconf. Elsewhere there is no file; the X root background is read
// instead (DesktopWindowing::desktopBackground).
class DesktopPicture {
public:
    enum class Desktop { Gnome, Cinnamon, Mate, Plasma, Xfce, Other };
    // A program's standard output; empty when it cannot run or fails.
    using Runner = std::function<QString(const QString &program, const QStringList &arguments)>;

    static Desktop desktopFrom(const QByteArray &xdgCurrentDesktop);
    static QString runProgram(const QString &program, const QStringList &arguments);
    static QString defaultPlasmaConfig();

    explicit DesktopPicture(const PortalSettings *portal, Desktop desktop = desktopFrom(qgetenv("XDG_CURRENT_DESKTOP")),
                            Runner run = runProgram, QString plasmaConfig = defaultPlasmaConfig());

    // screenNumber: the screen's place in the desktop's own count (0 = the primary one).
    QString path(const ScreenInfo &screen, int screenNumber) const;

    // An existing file named by a settings value: "'file:///a%20b.jpg'", a quoted or bare path.
    static QString fileFrom(const QString &value);
    // Plasma: the image of the desktop containment on that screen (the only one if only one
    // has an image); a wallpaper package folder gives its largest picture.
    static QString plasmaImage(const QString &config, int screenNumber);
    // Xfce: the "last-image" property for the monitor (connector name), else the first one.
    static QString xfceProperty(const QStringList &properties, const QString &monitor);

private:
    QString fromPortal() const;
    QString fromGSettings(const QString &schema, const QStringList &keys) const;
    QString fromXfce(const QString &monitor) const;
    bool prefersDark() const;

    const PortalSettings *m_portal;
    Desktop m_desktop;
    Runner m_run;
    QString m_plasmaConfig;
};
