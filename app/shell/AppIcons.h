#pragma once

#include <QIcon>

// The program's own icons: the installed theme's, so the desktop may restyle them, else the
// copies built into the program (running from a build folder, or under a theme that lacks
// them).
namespace AppIcons {

QIcon application();
// The single-colour tray icon.
QIcon tray();

} // namespace AppIcons
