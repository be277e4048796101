#include "app/controller/DisplayAssignments.h"

#include "platform/Platform.h"
#include "platform/preferences/Preferences.h"

std::optional<QString> DisplayAssignments::uuid(const ScreenInfo &screen)
{
    if (screen.displayKey.isEmpty())
        return std::nullopt;
    return screen.displayKey;
}

StringMap DisplayAssignments::map()
{
    return Platform::instance().preferences().value(PreferenceKeys::displayCollageAssignments);
}

void DisplayAssignments::store(const StringMap &map)
{
    Platform::instance().preferences().setValue(PreferenceKeys::displayCollageAssignments, map);
}

void DisplayAssignments::set(const std::optional<QString> &collageName, const ScreenInfo &screen)
{
    const std::optional<QString> key = uuid(screen);
    if (!key)
        return;
    StringMap assignments = map();
    assignments.insert(*key, collageName.value_or(QString()));
    store(assignments);
}

std::optional<QString> DisplayAssignments::assignedName(const ScreenInfo &screen)
{
    const std::optional<QString> key = uuid(screen);
    if (!key)
        return std::nullopt;
    const QString name = map().value(*key);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

void DisplayAssignments::collageDeleted(const QString &name)
{
    StringMap assignments = map();
    for (auto it = assignments.begin(); it != assignments.end();) {
        if (it.value() == name)
            it = assignments.erase(it);
        else
            ++it;
    }
    store(assignments);
}

void DisplayAssignments::collageRenamed(const QString &from, const QString &to)
{
    StringMap assignments = map();
    for (auto it = assignments.begin(); it != assignments.end(); ++it) {
        if (it.value() == from)
            it.value() = to;
    }
    store(assignments);
}
