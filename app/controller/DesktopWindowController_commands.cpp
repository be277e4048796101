// Entry points of the control bar's and the canvases' commands: adding photos by every road
// (menu, file panel, gallery, drops, the clipboard) into one import, and the place names
// that follow it; tidying, scattering and the crop editor. Each ends on the one apply road.
#include "app/controller/DesktopWindowController.h"

#include "app/arrange/Arrangement.h"
#include "app/canvas/CollageView.h"
#include "app/canvas/PhotoDecoder.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "app/controller/DisplayAssignments.h"
#include "app/crop/CropEditorView.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "app/import/ImportProgress.h"
#include "app/import/ImportSources.h"
#include "app/gallery/PhotoGalleryWindow.h"
#include "app/import/PhotoImport.h"
#include "app/import/PlaceNameQueue.h"
#include "app/shell/WindowPlacement.h"
#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/haptics/Haptics.h"
#include "platform/images/ImageDecoder.h"
#include "platform/preferences/PreferenceKeys.h"
#include "platform/preferences/Preferences.h"
#include "platform/screens/ScreenService.h"
#include "platform/symbols/Symbols.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QThreadPool>

#include <cmath>

void DesktopWindowController::addPhotos(QPushButton *button)
{
    auto *menu = new QMenu(button);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QColor ink = menu->palette().color(QPalette::Text);
    const Symbols &symbols = Platform::instance().symbols();
    menu->addAction(symbols.symbolIcon(QStringLiteral("photo.on.rectangle"), ink), QStringLiteral("From Photos…"), this,
                    &DesktopWindowController::addPhotosFromLibrary);
    menu->addAction(symbols.symbolIcon(QStringLiteral("folder"), ink), QStringLiteral("From Files…"), this,
                    &DesktopWindowController::addPhotosFromFiles);
    menu->popup(button->mapToGlobal(QPoint(0, button->height() + 4)));
}

QWidget *DesktopWindowController::panelParent(const ScreenInfo &screen) const
{
    if (!m_isEditing)
        return nullptr;
    for (int i = 0; i < m_screens.size() && i < m_windows.size(); ++i) {
        if (m_screens[i].name == screen.name)
            return m_windows[i];
    }
    return nullptr;
}

void DesktopWindowController::addPhotosFromFiles()
{
    const std::optional<ScreenInfo> target = cursorScreen();
    if (!target)
        return;
    if (m_filePanel) {
        m_filePanel->raise();
        m_filePanel->activateWindow();
        return;
    }
    Preferences &prefs = Platform::instance().preferences();
    QString folder = prefs.value(PreferenceKeys::lastPhotoFolder);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);

    // Parented to the editing window (kept on top) and on top itself, so it is never hidden.
    auto *panel = new QFileDialog(panelParent(*target), QStringLiteral("Add Photos"), folder);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowFlag(Qt::WindowStaysOnTopHint);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setNameFilters(ImportSources::fileDialogFilters());
    m_filePanel = panel;
    QPointer<DesktopWindowController> self(this);
    connect(panel, &QFileDialog::filesSelected, this, [self, panel, target](const QStringList &files) {
        if (!self || files.isEmpty())
            return;
        Platform::instance().preferences().setValue(PreferenceKeys::lastPhotoFolder, panel->directory().absolutePath());
        self->ensureCollage(*target);
        const std::optional<Collage> collage = self->collageOn(*target);
        if (!collage)
            return;
        self->m_library.setActiveID(collage->id);
        self->importImages(files, *target);
    });
    Platform::instance().windowing().activateApplication();
    panel->open();
    panel->raise();
    panel->activateWindow();
}

void DesktopWindowController::addPhotosFromLibrary()
{
    m_importTargetScreen = cursorScreen();
    // One gallery at a time: asking again brings it forward, aimed at the pointer's screen.
    if (m_photoPickerWindow) {
        m_photoPickerWindow->raise();
        m_photoPickerWindow->activateWindow();
        return;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    auto *window = new PhotoGalleryWindow(pictures, m_store.root(), Platform::instance().images(), ThumbnailCache(),
                                          m_importTargetScreen ? panelParent(*m_importTargetScreen) : nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    connect(window, &PhotoGalleryWindow::photosPicked, this, &DesktopWindowController::pickedPhotos);
    m_photoPickerWindow = window;
    Platform::instance().windowing().activateApplication();
    QScreen *screen = m_importTargetScreen ? m_importTargetScreen->screen.data() : nullptr;
    WindowPlacement::present(window, screen ? screen->availableGeometry() : QRect());
}

void DesktopWindowController::pickedPhotos(const QStringList &files)
{
    // The gallery tells as it closes itself.
    m_photoPickerWindow = nullptr;
    if (files.isEmpty())
        return;
    const std::optional<ScreenInfo> target = m_importTargetScreen ? m_importTargetScreen : cursorScreen();
    if (!target)
        return;
    ensureCollage(*target);
    const std::optional<Collage> collage = collageOn(*target);
    if (!collage)
        return;
    m_library.setActiveID(collage->id);
    importImages(files, *target);
}

void DesktopWindowController::handleDrop(const QStringList &files, int screenIndex)
{
    if (files.isEmpty() || screenIndex < 0 || screenIndex >= m_screens.size())
        return;
    const ScreenInfo target = m_screens[screenIndex];
    const std::optional<Collage> collage = ensureCollage(target);
    if (!collage)
        return;
    m_library.setActiveID(collage->id);
    importImages(files, target);
}

void DesktopWindowController::pasteImageFromClipboard()
{
    const QMimeData *clipboard = QApplication::clipboard()->mimeData();
    const std::optional<ScreenInfo> screen = cursorScreen();
    if (!clipboard || !screen || (!clipboard->hasUrls() && !clipboard->hasImage()))
        return;
    const QList<QUrl> urls = clipboard->urls();
    const QImage image = clipboard->hasImage() ? qvariant_cast<QImage>(clipboard->imageData()) : QImage();
    ensureCollage(*screen);
    focusCursorCollage();
    const QUuid collageID = m_library.activeID();
    // Encoding a large screenshot as PNG would stall the GUI thread: it is written on a
    // worker. The file is left behind on purpose: the import copies it into the collage.
    QPointer<DesktopWindowController> self(this);
    QThreadPool::globalInstance()->start([self, urls, image, collageID, screen = *screen] {
        const QStringList files = ImportSources::clipboardFiles(urls, image, QDir::tempPath());
        QMetaObject::invokeMethod(qApp, [self, files, collageID, screen] {
            if (!self || files.isEmpty() || !self->m_library.find(collageID))
                return;
            self->m_library.setActiveID(collageID);
            self->importImages(files, screen);
        }, Qt::QueuedConnection);
    });
}

void DesktopWindowController::importImages(const QStringList &files, const ScreenInfo &screen)
{
    const Collage *active = m_library.find(m_library.activeID());
    if (!active || files.isEmpty())
        return;
    PhotoImport::Batch batch;
    batch.files = files;
    batch.collageName = active->name;
    batch.collageDir = m_store.collageDir(active->name);
    batch.screenSize = screen.frame.size();
    batch.occupied = PhotoImport::occupiedBy(active->model);
    batch.lookUpPlaces = Platform::instance().preferences().value(PreferenceKeys::locationLookup);

    QPointer<ImportProgress> progress;
    for (int i = 0; i < m_screens.size() && i < m_views.size(); ++i) {
        if (m_screens[i].name == screen.name) {
            progress = new ImportProgress(m_views[i]);
            progress->start(int(files.size()));
        }
    }
    const QUuid collageID = active->id;
    ++m_importsInFlight[collageID];
    m_photoImport->run(
        batch,
        [this, collageID, progress](const PhotoImport::Result &result) {
            delete progress.data();
            if (--m_importsInFlight[collageID] <= 0)
                m_importsInFlight.remove(collageID);
            const Collage *collage = m_library.find(collageID);
            if (!collage) {
                Log::importing().error(QStringLiteral("the collage \"%1\" went away during the import; %2 photo(s) not added")
                                           .arg(result.collageName).arg(result.items.size()));
                return;
            }
            if (result.items.isEmpty())
                return;
            // Onto the collage as it is now: edits made while the files were copied stay.
            m_library.setActiveID(collageID);
            apply(PhotoImport::withPhotos(collage->model, result.items), QStringLiteral("Add Photos"), false);
            for (const PlaceNameQueue::Entry &place : result.places)
                m_placeNames->enqueue(place);
        },
        [progress](int done, int total) {
            if (progress)
                progress->setProgress(done, total);
        });
}

bool DesktopWindowController::isImporting() const
{
    return m_photoImport->isBusy();
}

bool DesktopWindowController::isImportingInto(const Collage &collage) const
{
    if (!m_importsInFlight.contains(collage.id))
        return false;
    Log::importing().info(QStringLiteral("\"%1\" is still receiving photos; try again when they are in").arg(collage.name));
    Platform::instance().haptics().beep();
    return true;
}

void DesktopWindowController::placeNameFound(const QUuid &photoID, const QString &caption)
{
    // Only into the collage the user is working on, and never as an undo step: the name is
    // a late part of the import, not an edit of its own.
    const Collage *active = m_library.find(m_library.activeID());
    if (!active || !active->model.find(photoID))
        return;
    CollageModel model = active->model;
    model.update(photoID, [&](PhotoItem &item) { item.caption = caption; });
    const QString name = active->name;
    m_library.updateActive(model);
    refreshViews(name, false);
    scheduleSave();
}

void DesktopWindowController::tidyUp()
{
    const std::optional<Collage> collage = focusCursorCollage();
    const std::optional<ScreenInfo> screen = cursorScreen();
    if (!collage || !screen || collage->model.items().isEmpty())
        return;
    apply(Arrangement::tidyUp(collage->model, screen->frame.size()), QStringLiteral("Tidy Up"), true);
}

void DesktopWindowController::scatterPhotos()
{
    const std::optional<Collage> collage = focusCursorCollage();
    const std::optional<ScreenInfo> screen = cursorScreen();
    if (!collage || !screen)
        return;
    if (const std::optional<CollageModel> scattered =
            Arrangement::scatter(collage->model, screen->frame.size(), *QRandomGenerator::global()))
        apply(*scattered, QStringLiteral("Scatter"), true);
}

void DesktopWindowController::beginCrop(const QUuid &photoID, int screenIndex)
{
    if (screenIndex < 0 || screenIndex >= m_screens.size() || screenIndex >= m_windows.size())
        return;
    const std::optional<Collage> collage = collageOn(m_screens[screenIndex]);
    if (!collage)
        return;
    m_library.setActiveID(collage->id);
    const PhotoItem *item = collage->model.find(photoID);
    if (!item)
        return;
    const QString path = QDir(m_store.collageDir(collage->name)).filePath(item->imageFileName);
    ImageDecoder *images = &Platform::instance().images();
    const QSize pixels = images->orientedSize(path);
    // No editor over nothing: its commit would store a crop of an image nobody saw.
    if (!pixels.isValid() || pixels.isEmpty()) {
        Log::edit().error(QStringLiteral("cannot crop %1: the image cannot be read").arg(item->imageFileName));
        return;
    }
    closeCropEditor();

    QImage standIn;
    if (screenIndex < m_views.size()) {
        if (PrintItem *print = m_views[screenIndex]->layersByID().value(photoID))
            standIn = print->photo()->image();
    }
    DesktopWindow *window = m_windows[screenIndex];
    auto *editor = new CropEditorView(pixels, CropGeometry::sanitised(item->cropRect), standIn, window);
    editor->setBottomInset(m_screens[screenIndex].bottomInset());
    m_cropEditor = editor;
    m_cropPhotoID = photoID;
    m_cropCollageID = collage->id;
    QPointer<DesktopWindowController> self(this);
    editor->onCommit = [self, photoID, pixels](const QRectF &crop) {
        if (self)
            self->commitCrop(photoID, crop, pixels);
    };
    editor->onCancel = [self] {
        if (self)
            self->closeCropEditor();
    };
    // Its own buttons take the bar's place on that screen.
    for (ControlBar *bar : std::as_const(m_controlBars)) {
        if (bar->window() == window)
            bar->hide();
    }
    editor->show();
    editor->raise();
    Platform::instance().windowing().makeKeyAndOrderFront(window);
    editor->setFocus(Qt::OtherFocusReason);

    // Sharp on this screen's pixels, decoded off the GUI thread; the print's own image stands
    // in meanwhile, so the editor opens at once.
    const qreal ratio = m_screens[screenIndex].devicePixelRatio;
    const QSizeF shown = editor->imageRect().size() * ratio;
    const int limit = std::min(4096, int(std::ceil(std::max(shown.width(), shown.height()))));
    QPointer<CropEditorView> target(editor);
    PhotoDecoder::pool()->start([images, path, limit, target] {
        const QImage image = images->decode(path, limit);
        QMetaObject::invokeMethod(qApp, [target, image] {
            if (target && !image.isNull())
                target->setImage(image);
        }, Qt::QueuedConnection);
    });
}

void DesktopWindowController::commitCrop(const QUuid &photoID, const QRectF &normalisedCrop, QSize imagePixels)
{
    const QUuid collageID = m_cropCollageID;
    closeCropEditor();
    const Collage *collage = m_library.find(collageID);
    if (!collage || !collage->model.find(photoID))
        return;
    CollageModel model = collage->model;
    model.update(photoID, [&](PhotoItem &item) {
        item.cropRect = normalisedCrop;
        item.size = CropGeometry::committedSize(item.size, normalisedCrop, imagePixels);
    });
    m_library.setActiveID(collageID);
    apply(model, QStringLiteral("Crop"), false);
}

void DesktopWindowController::closeCropEditor()
{
    if (CropEditorView *editor = m_cropEditor) {
        m_cropEditor = nullptr;
        editor->hide();
        for (ControlBar *bar : std::as_const(m_controlBars))
            bar->setVisible(m_isEditing);
        // Later: its own button or key may be what closes it.
        editor->deleteLater();
    }
}

QHash<QUuid, QImage> DesktopWindowController::shownPhotos(const ScreenInfo &screen, const QString &collageName) const
{
    QHash<QUuid, QImage> photos;
    for (int i = 0; i < m_screens.size() && i < m_views.size(); ++i) {
        if (m_screens[i].name != screen.name || DisplayAssignments::assignedName(m_screens[i]) != collageName)
            continue;
        for (auto it = m_views[i]->layersByID().constBegin(); it != m_views[i]->layersByID().constEnd(); ++it) {
            const PrintPhotoItem *photo = it.value()->photo();
            if (photo->content() == PrintPhotoItem::Content::image && !photo->image().isNull())
                photos.insert(it.key(), photo->image());
        }
    }
    return photos;
}

void DesktopWindowController::exportImage()
{
    const std::optional<Collage> collage = focusCursorCollage();
    const std::optional<ScreenInfo> screen = cursorScreen();
    if (!collage || !screen)
        return;
    CollageRenderer::Request request;
    request.model = collage->model;
    request.size = QSizeF(screen->frame.size());
    request.scale = screen->devicePixelRatio > 0 ? screen->devicePixelRatio : 1.0;
    request.baseDir = m_store.collageDir(collage->name);
    // What the canvas shows is already decoded at this screen's resolution.
    request.shownPhotos = shownPhotos(*screen, collage->name);
    Platform::instance().windowing().activateApplication();
    m_pictures->exportCollage(request, collage->name, panelParent(*screen));
}

std::optional<CollagePictures::Thumbnail> DesktopWindowController::thumbnailJob(const QString &name, int maxWidth)
{
    const Collage *collage = m_library.findNamed(name);
    if (!collage)
        return std::nullopt;
    std::optional<ScreenInfo> screen;
    for (const ScreenInfo &candidate : m_screens) {
        if (DisplayAssignments::assignedName(candidate) == name) {
            screen = candidate;
            break;
        }
    }
    if (!screen)
        screen = Platform::instance().screens().mainScreen();
    if (!screen && !m_screens.isEmpty())
        screen = m_screens.first();

    CollagePictures::Thumbnail job;
    job.request.model = collage->model;
    job.request.size = screen ? QSizeF(screen->frame.size()) : QSizeF(1600, 1000);
    job.request.scale = std::max(maxWidth / job.request.size.width(), 0.04);
    job.request.baseDir = m_store.collageDir(collage->name);
    if (screen)
        m_pictures->setBackdrop(job, *screen);
    return job;
}

QImage DesktopWindowController::thumbnail(const QString &name, int maxWidth)
{
    const std::optional<CollagePictures::Thumbnail> job = thumbnailJob(name, maxWidth);
    return job ? m_pictures->thumbnail(*job) : QImage();
}

void DesktopWindowController::requestThumbnail(const QString &name, int maxWidth, QObject *context,
                                               std::function<void(const QImage &)> done)
{
    const std::optional<CollagePictures::Thumbnail> job = thumbnailJob(name, maxWidth);
    if (!job) {
        QMetaObject::invokeMethod(context, [done] { done(QImage()); }, Qt::QueuedConnection);
        return;
    }
    m_pictures->requestThumbnail(*job, context, std::move(done));
}
