// Which collage each screen shows, and creating, renaming and deleting collages by name in
// step with the assignments, the undo histories and the folders on disk.
#include "app/controller/DesktopWindowController.h"

#include "app/controller/CollageHistory.h"
#include "app/controller/DisplayAssignments.h"
#include "app/controller/SerialQueue.h"
#include "core/FileNames.h"
#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/haptics/Haptics.h"
#include "platform/screens/ScreenService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// Removes a collage's own folder and nothing else: never the library root, never a path
// outside it, never what a symbolic link points to (a linked folder loses only the link).
void removeCollageFolder(const QString &root, const QString &name)
{
    const QString component = FileNames::sanitize(name);
    if (root.isEmpty() || !QDir::isAbsolutePath(root) || !FileNames::isPlainComponent(component))
        return;
    const QString cleanRoot = QDir::cleanPath(root);
    const QString folder = QDir(cleanRoot).filePath(component);
    const QFileInfo info(folder);
    if (QDir::cleanPath(info.absolutePath()) != cleanRoot || QDir::cleanPath(folder) == cleanRoot)
        return;
    if (info.isSymLink()) {
        QFile::remove(folder);
        return;
    }
    if (info.isDir())
        QDir(folder).removeRecursively(); // removes links inside, never follows them
}

} // namespace

std::optional<Collage> DesktopWindowController::collageOn(const ScreenInfo &screen) const
{
    const std::optional<QString> name = DisplayAssignments::assignedName(screen);
    if (!name)
        return std::nullopt;
    if (const Collage *collage = m_library.findNamed(*name))
        return *collage;
    return std::nullopt;
}

std::optional<Collage> DesktopWindowController::firstUnshownCollage() const
{
    const StringMap assignments = DisplayAssignments::map();
    QSet<QString> shown;
    for (const ScreenInfo &screen : m_screens) {
        if (const std::optional<QString> key = DisplayAssignments::uuid(screen)) {
            const QString name = assignments.value(*key);
            if (!name.isEmpty())
                shown.insert(name);
        }
    }
    for (const Collage &collage : m_library.collages()) {
        if (!shown.contains(collage.name))
            return collage;
    }
    return std::nullopt;
}

std::optional<Collage> DesktopWindowController::ensureCollage(const ScreenInfo &screen)
{
    if (std::optional<Collage> shown = collageOn(screen))
        return shown;

    if (const std::optional<Collage> unshown = firstUnshownCollage()) {
        DisplayAssignments::set(unshown->name, screen);
    } else {
        const QString name = uniqueCollageName();
        m_library.addCollage(name);
        // The folder must exist before photos are copied into it.
        const Library snapshot = m_library;
        runOnSaveQueue([this, store = m_store, snapshot] {
            store.save(snapshot);
            noteWrite();
        });
        DisplayAssignments::set(name, screen);
    }
    reloadAllViews();
    scheduleSave();
    return collageOn(screen);
}

void DesktopWindowController::bootstrapAssignmentsIfNeeded()
{
    ScreenService &service = Platform::instance().screens();
    std::optional<ScreenInfo> screen = service.mainScreen();
    if (!screen) {
        const ScreenList all = service.screens();
        if (all.isEmpty())
            return;
        screen = all.first();
    }
    if (m_library.collages().isEmpty())
        return;
    if (const std::optional<QString> key = DisplayAssignments::uuid(*screen);
        key && DisplayAssignments::map().contains(*key))
        return;
    DisplayAssignments::set(m_library.collages().first().name, *screen);
}

void DesktopWindowController::assign(const std::optional<QString> &collageName, const ScreenInfo &screen)
{
    DisplayAssignments::set(collageName, screen);
    if (collageName) {
        if (const Collage *collage = m_library.findNamed(*collageName))
            m_library.setActiveID(collage->id);
    }
    reloadAllViews();
}

std::optional<ScreenInfo> DesktopWindowController::cursorScreen() const
{
    ScreenService &service = Platform::instance().screens();
    if (std::optional<ScreenInfo> under = service.screenAt(service.pointerPosition()))
        return under;
    if (std::optional<ScreenInfo> main = service.mainScreen())
        return main;
    if (!m_screens.isEmpty())
        return m_screens.first();
    return std::nullopt;
}

std::optional<Collage> DesktopWindowController::focusCursorCollage()
{
    const std::optional<ScreenInfo> screen = cursorScreen();
    if (!screen)
        return std::nullopt;
    std::optional<Collage> collage = collageOn(*screen);
    if (collage)
        m_library.setActiveID(collage->id);
    return collage;
}

QString DesktopWindowController::uniqueCollageName() const
{
    for (qsizetype n = m_library.collages().size() + 1;; ++n) {
        const QString candidate = QStringLiteral("Collage %1").arg(n);
        if (!m_library.findNamed(candidate))
            return candidate;
    }
}

QString DesktopWindowController::addCollage()
{
    const QString name = uniqueCollageName();
    m_library.addCollage(name);
    // Written now, by the store's one writer, so it can never cross a debounced save.
    Library snapshot = m_library;
    runOnSaveQueue([this, store = m_store, snapshot] {
        if (Status saved = store.save(snapshot); !saved)
            Log::store().error(QStringLiteral("save failed: ") + saved.error().message);
        noteWrite();
    });
    scheduleSave();
    return name;
}

void DesktopWindowController::deleteCollage(const QString &name)
{
    if (m_library.collages().size() < 2)
        return;
    const Collage *collage = m_library.findNamed(name);
    if (!collage || isImportingInto(*collage))
        return;
    m_library.setActiveID(collage->id);
    m_library.removeActive();

    // A folder another collage also maps to is that collage's too.
    bool shared = false;
    for (const Collage &other : m_library.collages())
        shared = shared || m_store.collageDir(other.name) == m_store.collageDir(name);
    // After the writes already queued, or one of them would bring the folder back.
    if (!shared)
        runOnSaveQueue([root = m_store.root(), name] { removeCollageFolder(root, name); });

    if (CollageHistory *history = m_undoManagers.take(name))
        history->deleteLater();
    DisplayAssignments::collageDeleted(name);
    reloadAllViews();
    scheduleSave();
}

bool DesktopWindowController::renameCollage(const QString &oldName, const QString &requestedName)
{
    const QString trimmed = requestedName.trimmed();
    if (trimmed.isEmpty())
        return false;
    // A collage is named after its folder when the library is loaded again; a name that
    // the folder cannot carry would lose its display assignments at the next start.
    const QString newName = FileNames::sanitize(trimmed);
    if (newName == oldName)
        return false;
    const Collage *collage = m_library.findNamed(oldName);
    if (!collage || isImportingInto(*collage))
        return false;

    const QString newFolder = m_store.collageDir(newName);
    for (const Collage &other : m_library.collages()) {
        if (other.name != oldName && m_store.collageDir(other.name) == newFolder) {
            Platform::instance().haptics().beep();
            return false;
        }
    }

    const QString oldFolder = m_store.collageDir(oldName);
    if (oldFolder != newFolder) {
        bool moved = true;
        runOnSaveQueue([&moved, oldFolder, newFolder] {
            if (!QFileInfo::exists(oldFolder))
                return; // never saved yet: the next save creates the new folder
            QDir().rmdir(newFolder); // a stray empty folder of that name is no obstacle
            moved = QDir().rename(oldFolder, newFolder);
        });
        // Renaming anyway would separate the collage from its images on disk.
        if (!moved) {
            Log::store().error(QStringLiteral("cannot move %1 to %2").arg(oldFolder, newFolder));
            Platform::instance().haptics().beep();
            return false;
        }
    }

    m_library.setActiveID(collage->id);
    m_library.renameActive(newName);
    const QString finalName = m_library.active().name;

    if (CollageHistory *history = m_undoManagers.take(oldName)) {
        if (CollageHistory *stale = m_undoManagers.take(finalName))
            stale->deleteLater();
        history->setCollageName(finalName);
        m_undoManagers.insert(finalName, history);
    }
    DisplayAssignments::collageRenamed(oldName, finalName);
    reloadAllViews();
    scheduleSave();
    return true;
}
