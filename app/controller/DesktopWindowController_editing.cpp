// The editing mode: raising the windows, the dimming backdrop and the control bar.
#include "app/controller/DesktopWindowController.h"

#include "app/canvas/CollageView.h"
#include "app/controller/Backdrop.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/accessibility/AccessibilitySettings.h"
#include "platform/screens/ScreenService.h"
#include "platform/symbols/Symbols.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QPushButton>

void DesktopWindowController::setEditing(bool editing)
{
    if (m_windows.isEmpty())
        return;
    const bool wasEditing = m_isEditing;
    m_isEditing = editing;
    if (!editing)
        closeCropEditor();

    // Only a change of mode moves the keyboard between applications: activating again
    // would take our own window for the one to give the keyboard back to.
    DesktopWindowing &windowing = Platform::instance().windowing();
    if (editing && !wasEditing)
        windowing.activateApplication();
    for (DesktopWindow *window : std::as_const(m_windows)) {
        windowing.setClickThrough(window, !editing);
        if (editing) {
            windowing.setLevel(window, DesktopWindow::floatingLevel);
            windowing.makeKeyAndOrderFront(window);
        } else {
            windowing.setLevel(window, DesktopWindow::desktopLevel);
        }
    }
    if (!editing && wasEditing)
        windowing.deactivateApplication();

    for (CollageView *view : std::as_const(m_views)) {
        view->setEditing(editing);
        view->updateEmptyHint();
    }
    Log::edit().info(QStringLiteral("edit mode: ") + (editing ? QStringLiteral("ON") : QStringLiteral("off")));

    // Entering twice must never stack two bars.
    removeEditingChrome();

    if (!editing) {
        for (CollageView *view : std::as_const(m_views)) {
            view->clearSelection();
            view->hideChrome();
        }
        return;
    }

    const bool reduceTransparency = Platform::instance().accessibility().reduceTransparency();
    for (int i = 0; i < m_windows.size(); ++i) {
        QWidget *content = m_windows[i]->contentView();
        if (!content)
            continue;
        auto *backdrop = new Backdrop(content, reduceTransparency);
        if (i < m_views.size())
            backdrop->stackUnder(m_views[i]);
        backdrop->show();
        m_backdrops.append(backdrop);

        m_controlBars.append(makeControlBar(content));

        if (i < m_views.size())
            m_views[i]->setFocus(Qt::OtherFocusReason);
    }
}

void DesktopWindowController::removeEditingChrome()
{
    DesktopWindowing &windowing = Platform::instance().windowing();
    if (windowing.canBlurBehind() && !m_controlBars.isEmpty()) {
        for (DesktopWindow *window : std::as_const(m_windows))
            windowing.setBlurBehind(window, false);
    }
    // Deleted later: the bar's own "Done" button may be what is running now.
    for (QWidget *backdrop : std::as_const(m_backdrops)) {
        backdrop->hide();
        backdrop->deleteLater();
    }
    for (ControlBar *bar : std::as_const(m_controlBars)) {
        bar->hide();
        bar->deleteLater();
    }
    m_backdrops.clear();
    m_controlBars.clear();
}

void DesktopWindowController::doneEditing()
{
    setEditing(false);
}

ControlBar *DesktopWindowController::makeControlBar(QWidget *contentView)
{
    auto *bar = new ControlBar(contentView);
    bar->addButton(barButton(QStringLiteral("Add Photos"), QStringLiteral("photo.badge.plus"), nullptr));
    bar->addButton(barButton(QStringLiteral("Tidy Up"), QStringLiteral("square.grid.2x2"),
                             &DesktopWindowController::tidyUp));
    bar->addButton(barButton(QStringLiteral("Scatter"), QStringLiteral("sparkles"),
                             &DesktopWindowController::scatterPhotos));
    bar->addButton(barButton(QStringLiteral("Done"), QStringLiteral("checkmark"),
                             &DesktopWindowController::doneEditing));

    // "Add Photos" opens a menu under itself, so it needs to know the button.
    if (auto *add = bar->findChild<QPushButton *>(QStringLiteral("Add Photos"))) {
        connect(add, &QPushButton::clicked, this, [this, add] { addPhotos(add); });
    }

    // The window's own screen, else the main screen; a dock at the bottom edge is cleared.
    std::optional<ScreenInfo> screen;
    const int index = int(m_windows.indexOf(qobject_cast<DesktopWindow *>(contentView->window())));
    if (index >= 0 && index < m_screens.size())
        screen = m_screens[index];
    else
        screen = Platform::instance().screens().mainScreen();
    bar->setBottomInset(screen ? screen->bottomInset() + 20 : 20);

    bar->show();
    bar->raise();
    blurBehindBar(bar);
    connect(bar, &ControlBar::placed, this, [this, bar] {
        if (m_controlBars.contains(bar)) // not one that is on its way out
            blurBehindBar(bar);
    });
    return bar;
}

void DesktopWindowController::blurBehindBar(ControlBar *bar)
{
    DesktopWindowing &windowing = Platform::instance().windowing();
    if (windowing.canBlurBehind() && bar->parentWidget())
        windowing.setBlurBehind(bar->parentWidget()->window(), true, bar->outline());
}

QPushButton *DesktopWindowController::barButton(const QString &title, const QString &symbol,
                                                void (DesktopWindowController::*action)())
{
    auto *button = new QPushButton(title);
    button->setObjectName(title);
    button->setIcon(Platform::instance().symbols().symbolIcon(symbol, QColor(Qt::white)));
    button->setIconSize(QSize(18, 18));
    button->setAccessibleDescription(title);
    button->setFocusPolicy(Qt::NoFocus); // the keyboard stays with the canvas
    button->setCursor(Qt::ArrowCursor);
    if (action)
        connect(button, &QPushButton::clicked, this, action);
    return button;
}
