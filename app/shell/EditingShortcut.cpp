#include "app/shell/EditingShortcut.h"

#include "app/shell/SettingsWindow.h"
#include "core/Log.h"
#include "platform/preferences/Preferences.h"

EditingShortcut::EditingShortcut(GlobalHotKey &hotKey, Preferences &prefs, QObject *parent)
    : QObject(parent), m_hotKey(hotKey), m_prefs(prefs)
{
    connect(&m_hotKey, &GlobalHotKey::pressed, this, &EditingShortcut::pressed);
}

GlobalHotKey::Result EditingShortcut::registerStored()
{
    using Result = GlobalHotKey::Result;
    m_hotKey.unregister();
    const HotKeyBinding binding = HotKeyBinding::fromPreferences(m_prefs);
    m_last = m_hotKey.registerBinding(binding);
    if (m_last == Result::InUse)
        Log::app().error(QStringLiteral("editing shortcut %1 is in use by another program; it does nothing "
                                        "until another one is chosen in Settings")
                             .arg(binding.combinationText()));
    else if (m_last == Result::Failed)
        Log::app().error(QStringLiteral("editing shortcut %1 could not be registered; it does nothing")
                             .arg(binding.combinationText()));
    if (m_window)
        m_window->setShortcutInUse(m_last == Result::InUse);
    return m_last;
}

void EditingShortcut::attach(SettingsWindow *window)
{
    if (m_window)
        disconnect(m_window, nullptr, this, nullptr);
    m_window = window;
    if (!window)
        return;
    connect(window, &SettingsWindow::recordingStarted, this, [this] { m_hotKey.unregister(); });
    connect(window, &SettingsWindow::recordingEnded, this, &EditingShortcut::registerStored);
    window->setShortcutInUse(m_last == GlobalHotKey::Result::InUse);
}

void EditingShortcut::pressed()
{
    if (m_window && m_window->isRecording())
        return;
    emit toggleRequested();
}
