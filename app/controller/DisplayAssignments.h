#pragma once

#include "platform/preferences/PreferenceKey.h"
#include "platform/screens/ScreenInfo.h"

#include <QString>

#include <optional>

// Which collage each display shows, kept in the preferences as display key → collage name.
// Nothing is cached: every call reads the entry afresh and every change writes the whole map.
// An empty name means the user chose no collage; a display without an entry was never assigned.
class DisplayAssignments {
public:
    DisplayAssignments() = delete;

    static std::optional<QString> uuid(const ScreenInfo &screen);
    static StringMap map();
    // An absent name is stored as "". A screen without a key is left alone.
    static void set(const std::optional<QString> &collageName, const ScreenInfo &screen);
    // The non-empty name assigned to the screen, if any.
    static std::optional<QString> assignedName(const ScreenInfo &screen);

    static void collageDeleted(const QString &name);
    static void collageRenamed(const QString &from, const QString &to);

private:
    static void store(const StringMap &map);
};
