// The single road by which changes reach the library, the undo histories, and pushing the
// library into the canvases.
#include "app/controller/DesktopWindowController.h"

#include "app/canvas/CollageView.h"
#include "app/controller/ApplyCommand.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/Platform.h"
#include "platform/accessibility/AccessibilitySettings.h"

#include <QPointer>

void DesktopWindowController::apply(const CollageModel &model, const QString &actionName, bool animated)
{
    // The cursor must name a collage: updateActive would otherwise change nothing while
    // the history recorded a step for the fallback collage.
    if (!m_library.find(m_library.activeID()))
        return;
    const Collage active = m_library.active();

    CollageHistory *history = undoManager(active.name);
    QPointer<DesktopWindowController> self(this);
    history->push(new ApplyCommand(
        history, active.model, model, actionName,
        [self](const CollageModel &target, const QString &name, const QString &action) -> std::optional<CollageModel> {
            if (!self)
                return std::nullopt;
            return self->reapply(target, name, action);
        }));

    m_library.updateActive(model);
    refreshViews(active.name, animated);
    scheduleSave();
}

std::optional<CollageModel> DesktopWindowController::reapply(const CollageModel &model,
                                                             const QString &collageName,
                                                             const QString &actionName)
{
    Q_UNUSED(actionName);
    const std::optional<int> index = collageIndexNamed(collageName);
    if (!index)
        return std::nullopt;
    const Collage &collage = m_library.collages()[*index];
    CollageModel replaced = collage.model;
    m_library.setActiveID(collage.id);
    m_library.updateActive(model);
    refreshViews(collageName, false);
    scheduleSave();
    return replaced;
}

void DesktopWindowController::applyEdit(const CollageModel &model, const QString &actionName, int screenIndex)
{
    if (screenIndex < 0 || screenIndex >= m_screens.size())
        return;
    const std::optional<Collage> collage = collageOn(m_screens[screenIndex]);
    if (!collage)
        return;
    m_library.setActiveID(collage->id);
    apply(model, actionName, false);
}

CollageHistory *DesktopWindowController::undoManager(const QString &collageName)
{
    if (CollageHistory *existing = m_undoManagers.value(collageName))
        return existing;
    auto *history = new CollageHistory(collageName, this);
    m_undoManagers.insert(collageName, history);
    return history;
}

CollageHistory *DesktopWindowController::historyOnScreen(int screenIndex)
{
    if (screenIndex < 0 || screenIndex >= m_screens.size())
        return nullptr;
    const std::optional<Collage> collage = collageOn(m_screens[screenIndex]);
    if (!collage)
        return nullptr;
    m_library.setActiveID(collage->id);
    return undoManager(collage->name);
}

void DesktopWindowController::performUndo(int screenIndex)
{
    if (CollageHistory *history = historyOnScreen(screenIndex))
        history->undo();
}

void DesktopWindowController::performRedo(int screenIndex)
{
    if (CollageHistory *history = historyOnScreen(screenIndex))
        history->redo();
}

void DesktopWindowController::reloadAllViews()
{
    for (int i = 0; i < m_screens.size() && i < m_views.size(); ++i) {
        CollageView *view = m_views[i];
        view->clearSelection();
        if (const std::optional<Collage> collage = collageOn(m_screens[i])) {
            view->setImageBaseDir(m_store.collageDir(collage->name));
            view->setModel(collage->model);
        } else {
            view->setImageBaseDir(std::nullopt);
            view->setModel(CollageModel());
        }
        view->rebuild();
    }
}

void DesktopWindowController::refreshViews(const QString &collageName, bool animated)
{
    const std::optional<int> index = collageIndexNamed(collageName);
    if (!index)
        return;
    const CollageModel &model = m_library.collages()[*index].model;
    // An undo elsewhere took away the print being cropped.
    if (m_cropEditor && m_library.collages()[*index].id == m_cropCollageID && !model.find(m_cropPhotoID))
        closeCropEditor();
    const bool animate = animated && !Platform::instance().accessibility().reduceMotion();
    const StringMap assignments = DisplayAssignments::map();
    for (int i = 0; i < m_screens.size() && i < m_views.size(); ++i) {
        const std::optional<QString> key = DisplayAssignments::uuid(m_screens[i]);
        if (!key || collageName.isEmpty() || assignments.value(*key) != collageName)
            continue;
        CollageView *view = m_views[i];
        view->setModel(model);
        view->applyModelToLayers(animate);
        view->updateChrome();
        view->updateEmptyHint();
    }
}

std::optional<int> DesktopWindowController::collageIndexNamed(const QString &name) const
{
    const QList<Collage> &collages = m_library.collages();
    for (int i = 0; i < collages.size(); ++i) {
        if (collages[i].name == name)
            return i;
    }
    return std::nullopt;
}
