#pragma once

#include "platform/hotkey/GlobalHotKey.h"

#include <QObject>
#include <QPointer>

class Preferences;
class SettingsWindow;

// The global shortcut that switches the editing mode: the stored one, registered at launch
// and again after the Settings window has recorded another. While the window records, the
// grab is let go so that the current combination can be typed into it, and a press that was
// already on its way is the recorder's, not a toggle.
class EditingShortcut : public QObject {
    Q_OBJECT
public:
    EditingShortcut(GlobalHotKey &hotKey, Preferences &prefs, QObject *parent = nullptr);

    // Registers the stored shortcut in place of the current one. Anything but success is
    // logged, naming the combination, and an attached window shows when it is in use.
    GlobalHotKey::Result registerStored();
    GlobalHotKey::Result lastResult() const { return m_last; }

    void attach(SettingsWindow *window);

signals:
    void toggleRequested();

private:
    void pressed();

    GlobalHotKey &m_hotKey;
    Preferences &m_prefs;
    QPointer<SettingsWindow> m_window;
    GlobalHotKey::Result m_last = GlobalHotKey::Result::Failed;
};
