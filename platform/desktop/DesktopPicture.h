#pragma once

#include <QString>

class PortalSettings;

// The file of the desktop picture, where the desktop says which it is (GNOME publishes its
// background settings through the portal, a dark-mode picture of its own included).
class DesktopPicture {
public:
    static QString path(const PortalSettings &portal);
};
