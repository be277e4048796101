#include "app/shell/AppController.h"

#include "app/collages/CollagesWindowController.h"
#include "app/controller/DesktopWindowController.h"
#include "app/controller/DisplayAssignments.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/AppIcons.h"
#include "app/shell/EditingShortcut.h"
#include "app/shell/SettingsWindow.h"
#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/preferences/PreferenceKeys.h"
#include "platform/preferences/Preferences.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QSystemTrayIcon>

AppController::AppController(DesktopWindowController *windows, QObject *parent) : QObject(parent), m_windows(windows)
{
    buildStatusMenu();
    connect(&m_collagesMenu, &QMenu::aboutToShow, this, &AppController::rebuildCollagesMenu);
    m_trayPoll.setInterval(trayPollMs);
    connect(&m_trayPoll, &QTimer::timeout, this, &AppController::waitForTray);
}

AppController::~AppController()
{
    delete m_settings;
    delete m_about;
}

void AppController::buildStatusMenu()
{
    const auto add = [this](QMenu *menu, const QString &title, void (AppController::*slot)()) {
        QAction *action = menu->addAction(title);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(&m_statusMenu, QStringLiteral("Edit Collage"), &AppController::toggleEdit);
    QMenu *addPhotos = m_statusMenu.addMenu(QStringLiteral("Add Photos"));
    connect(addPhotos->addAction(QStringLiteral("From Photos\u2026")), &QAction::triggered, this, [this] {
        if (m_windows)
            m_windows->addPhotosFromLibrary();
    });
    connect(addPhotos->addAction(QStringLiteral("From Files\u2026")), &QAction::triggered, this, [this] {
        if (m_windows)
            m_windows->addPhotosFromFiles();
    });
    connect(m_statusMenu.addAction(QStringLiteral("Export as Image\u2026")), &QAction::triggered, this, [this] {
        if (m_windows)
            m_windows->exportImage();
    });
    m_statusMenu.addSeparator();
    m_collagesMenu.setTitle(QStringLiteral("Collages"));
    m_statusMenu.addMenu(&m_collagesMenu);
    m_statusMenu.addSeparator();
    QAction *settings = add(&m_statusMenu, QStringLiteral("Settings\u2026"), &AppController::openSettings);
    settings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    add(&m_statusMenu, QStringLiteral("About Veloran"), &AppController::showAbout);
    m_statusMenu.addSeparator();
    QAction *quit = m_statusMenu.addAction(QStringLiteral("Quit Veloran"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    for (QAction *action : m_statusMenu.actions())
        action->setShortcutVisibleInContextMenu(true);
}

void AppController::start()
{
    waitForTray();
    if (!m_windows)
        return;
    m_windows->show();

    m_shortcut = std::make_unique<EditingShortcut>(Platform::instance().hotKey(), Platform::instance().preferences());
    // Queued: the press is handled after the grab's own event, never inside it.
    connect(m_shortcut.get(), &EditingShortcut::toggleRequested, this, &AppController::toggleEdit, Qt::QueuedConnection);
    m_shortcut->registerStored();

    Preferences &prefs = Platform::instance().preferences();
    if (!prefs.value(PreferenceKeys::didOnboard)) {
        prefs.setValue(PreferenceKeys::didOnboard, true);
        m_windows->setEditing(!m_windows->isEditing());
    }
    Log::app().info(QStringLiteral("launched (menu-bar ready, hotkey %1 registered)")
                        .arg(prefs.value(PreferenceKeys::hotkeyDisplay)));
}

void AppController::waitForTray()
{
    if (m_tray)
        return;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayPoll.stop();
        createTray();
        return;
    }
    if (!m_trayPoll.isActive() && m_trayWaitedMs == 0) {
        m_trayPoll.start();
        return;
    }
    m_trayWaitedMs += trayPollMs;
    if (m_trayWaitedMs >= trayWaitMs) {
        m_trayPoll.stop();
        Log::app().info(QStringLiteral("no system tray found: the shortcut %1, or starting veloran again, opens it")
                            .arg(Platform::instance().preferences().value(PreferenceKeys::hotkeyDisplay)));
    }
}

void AppController::createTray()
{
    m_tray = new QSystemTrayIcon(AppIcons::tray(), this);
    m_tray->setToolTip(QStringLiteral("Veloran"));
    m_tray->setContextMenu(&m_statusMenu);
    // A left click opens the menu too, as tray utilities do.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_statusMenu.popup(QCursor::pos());
    });
    m_tray->show();
}

void AppController::toggleEdit()
{
    if (m_windows)
        m_windows->setEditing(!m_windows->isEditing());
}

void AppController::openSettings()
{
    if (!m_settings) {
        m_settings = new SettingsWindow(Platform::instance().preferences());
        if (m_shortcut)
            m_shortcut->attach(m_settings);
    }
    m_settings->present();
}

void AppController::showAbout()
{
    if (!m_about)
        m_about = new AboutDialog;
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

CollagesWindowController &AppController::collagesWindow()
{
    if (!m_collagesWindow)
        m_collagesWindow = std::make_unique<CollagesWindowController>(m_windows);
    return *m_collagesWindow;
}

void AppController::manageCollages()
{
    collagesWindow().show();
}

void AppController::openRequested()
{
    manageCollages();
}

void AppController::pickCollage(const std::optional<QString> &name, const ScreenInfo &screen)
{
    if (m_windows)
        m_windows->assign(name, screen);
}

void AppController::addPicks(QMenu *menu, const ScreenInfo &screen)
{
    // The stored choice, read directly: a name no collage has marks nothing.
    const std::optional<QString> current = DisplayAssignments::assignedName(screen);
    for (const Collage &collage : m_windows->library().collages()) {
        QAction *item = menu->addAction(collage.name);
        item->setCheckable(true);
        item->setChecked(current == collage.name);
        const QString name = collage.name;
        connect(item, &QAction::triggered, this, [this, name, screen] { pickCollage(name, screen); });
    }
    QAction *none = menu->addAction(QStringLiteral("None"));
    none->setCheckable(true);
    none->setChecked(!current);
    connect(none, &QAction::triggered, this, [this, screen] { pickCollage(std::nullopt, screen); });
}

void AppController::rebuildCollagesMenu()
{
    for (QMenu *sub : m_collagesMenu.findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        sub->deleteLater();
    m_collagesMenu.clear();
    if (m_windows) {
        const ScreenList &screens = m_windows->screens();
        if (screens.size() >= 2) {
            for (const ScreenInfo &screen : screens) {
                QMenu *sub = new QMenu(screen.localizedName.isEmpty() ? screen.name : screen.localizedName, &m_collagesMenu);
                addPicks(sub, screen);
                m_collagesMenu.addMenu(sub);
            }
        } else if (screens.size() == 1) {
            addPicks(&m_collagesMenu, screens.first());
        }
    }
    m_collagesMenu.addSeparator();
    connect(m_collagesMenu.addAction(QStringLiteral("Manage Collages\u2026")), &QAction::triggered, this,
            &AppController::manageCollages);
}
