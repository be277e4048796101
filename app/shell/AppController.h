#pragma once

#include "app/shell/AboutDialog.h"
#include "app/shell/SettingsWindow.h"
#include "platform/screens/ScreenInfo.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class CollagesWindowController;
class DesktopWindowController;
class EditingShortcut;
class QAction;
class QSystemTrayIcon;

// The program as a tray utility: the tray icon and its menu, the global shortcut, the
// Settings, About and Collages windows, and the start-up sequence. It keeps no state of the
// collages itself; every command goes to the desktop controller.
class AppController : public QObject {
    Q_OBJECT
public:
    // How long to wait for a tray to appear at login before going on without one.
    static constexpr int trayWaitMs = 30000;
    static constexpr int trayPollMs = 250;

    explicit AppController(DesktopWindowController *windows, QObject *parent = nullptr);
    ~AppController() override;

    // The start-up sequence: tray (when one appears), desktop windows, shortcut, first run,
    // the launch line.
    void start();

    QMenu *statusMenu() { return &m_statusMenu; }
    QMenu *collagesMenu() { return &m_collagesMenu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    DesktopWindowController *windows() const { return m_windows; }
    SettingsWindow *settingsWindow() const { return m_settings; }
    CollagesWindowController &collagesWindow();
    EditingShortcut *editingShortcut() const { return m_shortcut.get(); }

    void toggleEdit();
    void openSettings();
    void showAbout();
    void manageCollages();
    // Another start of the program, or a request to open files: the Collages window.
    void openRequested();
    // A choice in the "Collages" submenu; no name means "None".
    void pickCollage(const std::optional<QString> &name, const ScreenInfo &screen);
    void rebuildCollagesMenu();

private:
    void buildStatusMenu();
    void addPicks(QMenu *menu, const ScreenInfo &screen);
    void waitForTray();
    void createTray();

    QPointer<DesktopWindowController> m_windows;
    QMenu m_statusMenu;
    QMenu m_collagesMenu;
    QSystemTrayIcon *m_tray = nullptr;
    QTimer m_trayPoll;
    int m_trayWaitedMs = 0;
    std::unique_ptr<EditingShortcut> m_shortcut;
    QPointer<SettingsWindow> m_settings;
    QPointer<AboutDialog> m_about;
    std::unique_ptr<CollagesWindowController> m_collagesWindow;
};
