#pragma once

#include "platform/autostart/Autostart.h"
#include "platform/hotkey/HotKeyBinding.h"

#include <QWidget>

class Preferences;
class QCheckBox;
class QLabel;
class ShortcutRecorderButton;

// "Veloran Settings": start at login, place names for imported photos, and the editing
// shortcut. Every control acts at once and shows the real state afterwards. The window is
// made once and hidden on close, to be shown again.
//
// It stores the location and shortcut preferences itself; registering the shortcut is its
// owner's business, told through the signals.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int contentWidth = 400;
    static constexpr int contentHeight = 210;

    explicit SettingsWindow(Preferences &prefs, Autostart autostart = Autostart(), QWidget *parent = nullptr);
    ~SettingsWindow() override;

    // Refreshes the controls, centres the window on the screen under the pointer, shows it
    // and gives it the keyboard.
    void present();
    // Sets the controls from the stored state (the autostart entry, the preferences).
    void refresh();

    bool isRecording() const;
    // Shows, or clears, the note that another program holds the stored shortcut. Recording a
    // new shortcut clears it.
    void setShortcutInUse(bool inUse);
    bool isShortcutInUse() const;

    QCheckBox *launchCheckbox() const { return m_launch; }
    QCheckBox *locationCheckbox() const { return m_location; }
    ShortcutRecorderButton *shortcutButton() const { return m_shortcut; }
    QLabel *inUseNote() const { return m_inUse; }
    const Autostart &autostart() const { return m_autostart; }

signals:
    void locationLookupChanged(bool on);
    // The global shortcut should be released: the user is about to type the current one.
    void recordingStarted();
    // A new shortcut has been stored.
    void shortcutChanged(const HotKeyBinding &binding);
    // Recording is over, whatever became of it: the stored shortcut may be registered again.
    void recordingEnded();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void toggleLaunch();
    void toggleLocation(bool on);
    void store(const HotKeyBinding &binding);

    Preferences &m_prefs;
    Autostart m_autostart;
    QCheckBox *m_launch = nullptr;
    QCheckBox *m_location = nullptr;
    ShortcutRecorderButton *m_shortcut = nullptr;
    QLabel *m_inUse = nullptr;
};
