#pragma once

#include "platform/preferences/PreferenceKey.h"

#include <QtGlobal>

// Every user preference the program keeps, each declared here and nowhere else.
namespace PreferenceKeys {

// Display key → collage name; "" means the user chose no collage for that display.
inline const PreferenceKey<StringMap> displayCollageAssignments{"displayCollageAssignments", {}};
inline const PreferenceKey<bool> locationLookup{"prefs.locationLookup", false};
inline const PreferenceKey<bool> didOnboard{"didOnboard", false};
// Where "From Files…" last found photos; empty until it has.
inline const PreferenceKey<QString> lastPhotoFolder{"addPhotos.lastFolder", QString()};
// The editing shortcut: key code, modifier mask and the text shown for it (see HotKeyBinding).
inline const PreferenceKey<quint32> hotkeyKeyCode{"hotkey.keyCode", 14};
inline const PreferenceKey<quint32> hotkeyCarbonModifiers{"hotkey.carbonModifiers", 2304};
inline const PreferenceKey<QString> hotkeyDisplay{"hotkey.display", QStringLiteral("Ctrl+Alt+E")};

} // namespace PreferenceKeys
