#include "app/controller/DesktopWindowController.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/DesktopWindow.h"
#include "app/controller/SerialQueue.h"
#include "app/import/PhotoImport.h"
#include "app/import/PlaceNameQueue.h"
#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/images/ImageDecoder.h"
#include "platform/screens/ScreenService.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QPointer>

DesktopWindowController::DesktopWindowController(QObject *parent)
    : DesktopWindowController(FolderLibraryStore::standard(), parent)
{
}

DesktopWindowController::DesktopWindowController(FolderLibraryStore store, QObject *parent)
    : QObject(parent), m_store(std::move(store)),
      m_library(Library::single(CollageModel(), Library::defaultCollageName)),
      m_saveQueue(std::make_unique<SerialQueue>(saveQueueLabel))
{
    // Metadata is read on the import's worker thread; the decoder is safe there.
    ImageDecoder *images = &Platform::instance().images();
    m_photoImport = std::make_unique<PhotoImport>([images](const QString &path) { return images->metadata(path); });
    m_placeNames = std::make_unique<PlaceNameQueue>(Platform::instance().geocoder());
    m_placeNames->onCaption = [this](const QUuid &id, const QString &caption) { placeNameFound(id, caption); };
    m_pictures = std::make_unique<CollagePictures>();

    m_saveTimer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the quiet spell is a fixed 0.4 s.
    m_saveTimer.setTimerType(Qt::PreciseTimer);
    m_saveTimer.setInterval(saveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] {
        if (!m_pendingLibrary)
            return;
        Library snapshot = std::move(*m_pendingLibrary);
        m_pendingLibrary.reset();
        performSave(snapshot);
    });
}

DesktopWindowController::~DesktopWindowController()
{
    // A batch being copied finishes first; its photos are not added any more.
    m_photoImport.reset();
    // A snapshot still waiting for its delay is dropped; writes already queued finish.
    m_saveTimer.stop();
    m_saveQueue.reset();
    // Nothing of ours is running now, and the event loop may already be gone: no later.
    removeEditingChrome();
    qDeleteAll(m_windows);
    m_windows.clear();
    m_views.clear();
    m_screens.clear();
}

void DesktopWindowController::show()
{
    buildWindows();
    if (!m_subscribedToScreens) {
        connect(&Platform::instance().screens(), &ScreenService::changed, this,
                &DesktopWindowController::screensChanged);
        m_subscribedToScreens = true;
    }
    Log::app().info(QStringLiteral("library root: ") + m_store.root());
    m_library = m_store.load();
    bootstrapAssignmentsIfNeeded();
    reloadAllViews();
}

void DesktopWindowController::buildWindows()
{
    const ScreenList current = Platform::instance().screens().screens();
    if (current.isEmpty())
        return;
    DesktopWindowing &windowing = Platform::instance().windowing();
    const bool paintBackground = !windowing.isCompositing();
    if (paintBackground && !m_reportedNoCompositor) {
        Log::app().info(QStringLiteral("no compositing manager: painting the desktop background under the prints"));
        m_reportedNoCompositor = true;
    }

    for (const ScreenInfo &screen : current) {
        const int index = int(m_windows.size());
        auto *window = new DesktopWindow(screen.frame);
        window->setObjectName(QStringLiteral("desktop-") + screen.name);
        if (paintBackground)
            window->setDesktopBackground(windowing.desktopBackground(screen));

        // Each canvas works in coordinates local to its own screen.
        auto *view = new CollageView(window);
        view->setScreenOrigin(QPointF(0, 0));
        window->setCanvas(view);
        wireCanvas(view, index);

        window->show();
        windowing.setLevel(window, DesktopWindow::desktopLevel);
        windowing.setClickThrough(window, true);

        m_windows.append(window);
        m_views.append(view);
        m_screens.append(screen);
    }
}

void DesktopWindowController::wireCanvas(CollageView *view, int index)
{
    // The canvases may outlive the controller for a moment while the event loop unwinds.
    QPointer<DesktopWindowController> self(this);
    view->onDropImage = [self, index](const QStringList &files, QPointF) {
        if (self)
            self->handleDrop(files, index);
    };
    view->onEdit = [self, index](const CollageModel &model, const QString &actionName) {
        if (self)
            self->applyEdit(model, actionName, index);
    };
    view->onUndo = [self, index] {
        if (self)
            self->performUndo(index);
    };
    view->onRedo = [self, index] {
        if (self)
            self->performRedo(index);
    };
    view->onPasteFromClipboard = [self] {
        if (self)
            self->pasteImageFromClipboard();
    };
    view->onExport = [self] {
        if (self)
            self->exportImage();
    };
    view->onBeginCrop = [self, index](const QUuid &id) {
        if (self)
            self->beginCrop(id, index);
    };
    view->onExitEdit = [self] {
        if (self)
            self->setEditing(false);
    };
}

void DesktopWindowController::teardownWindows()
{
    closeCropEditor();
    removeEditingChrome();
    for (DesktopWindow *window : std::as_const(m_windows)) {
        window->hide();
        // Deleted later: a canvas callback may be what led here.
        window->deleteLater();
    }
    m_windows.clear();
    m_views.clear();
    m_screens.clear();
}

void DesktopWindowController::screensChanged()
{
    const bool wasEditing = m_isEditing;
    teardownWindows();
    buildWindows();
    bootstrapAssignmentsIfNeeded();
    reloadAllViews();
    if (wasEditing)
        setEditing(true);
    Log::app().info(QStringLiteral("screens changed → %1 display(s)").arg(m_windows.size()));
}
