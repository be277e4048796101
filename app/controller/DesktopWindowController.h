#pragma once

#include "app/crop/CropEditorView.h"
#include "app/export/CollagePictures.h"
#include "core/CollageModel.h"
#include "core/FolderLibraryStore.h"
#include "core/Library.h"
#include "platform/screens/ScreenInfo.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class CollageHistory;
class CollageView;
class ImportProgress;
class PhotoImport;
class PlaceNameQueue;
class ControlBar;
class DesktopWindow;
class QPushButton;
class SerialQueue;

// The hub: one desktop window and canvas per screen, the editing mode, the one road by
// which every change reaches the library (with an undo history per collage), debounced
// saving, and which collage each screen shows. Lives on the GUI thread.
//
// Its work is spread over several files by concern: windows and the editing mode; apply,
// undo and refreshing the canvases; saving; assignments and collage management.
class DesktopWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr int saveDelayMs = 400;
    static inline const QString saveQueueLabel = QStringLiteral("com.veloran.save");

    // The application's own library store.
    explicit DesktopWindowController(QObject *parent = nullptr);
    DesktopWindowController(FolderLibraryStore store, QObject *parent = nullptr);
    ~DesktopWindowController() override;

    // --- Windows and the editing mode -------------------------------------------------
    void show();
    void buildWindows();
    void teardownWindows();
    void screensChanged();

    bool isEditing() const { return m_isEditing; }
    void setEditing(bool editing);
    void doneEditing();
    ControlBar *makeControlBar(QWidget *contentView);
    QPushButton *barButton(const QString &title, const QString &symbol,
                           void (DesktopWindowController::*action)());

    const QList<DesktopWindow *> &windows() const { return m_windows; }
    const QList<CollageView *> &views() const { return m_views; }
    const ScreenList &screens() const { return m_screens; }
    const QList<QWidget *> &backdrops() const { return m_backdrops; }
    const QList<ControlBar *> &controlBars() const { return m_controlBars; }

    // --- Apply, undo and refreshing the canvases ---------------------------------------
    void apply(const CollageModel &model, const QString &actionName, bool animated);
    // Undo and redo come back through here. Gives the model it replaced, or nothing when
    // no collage of that name exists.
    std::optional<CollageModel> reapply(const CollageModel &model, const QString &collageName,
                                        const QString &actionName);
    void applyEdit(const CollageModel &model, const QString &actionName, int screenIndex);
    CollageHistory *undoManager(const QString &collageName);
    bool hasUndoManager(const QString &collageName) const { return m_undoManagers.contains(collageName); }
    void performUndo(int screenIndex);
    void performRedo(int screenIndex);
    // The history of the collage a screen shows, made the active collage; none if it shows none.
    CollageHistory *historyOnScreen(int screenIndex);
    void reloadAllViews();
    void refreshViews(const QString &collageName, bool animated);

    // --- Saving --------------------------------------------------------------------------
    void scheduleSave();
    void performSave(const Library &snapshot);
    void flushSave();
    bool isSavePending() const { return m_pendingLibrary.has_value(); }
    // Library writes finished on the save queue so far, of every kind.
    int writesCompleted() const { return m_writesCompleted.load(); }

    // --- Assignments and collage management ------------------------------------------
    std::optional<Collage> collageOn(const ScreenInfo &screen) const;
    std::optional<Collage> ensureCollage(const ScreenInfo &screen);
    std::optional<Collage> firstUnshownCollage() const;
    void bootstrapAssignmentsIfNeeded();
    void assign(const std::optional<QString> &collageName, const ScreenInfo &screen);
    std::optional<ScreenInfo> cursorScreen() const;
    std::optional<Collage> focusCursorCollage();
    QString uniqueCollageName() const;
    // A new, empty collage under uniqueCollageName(), written at once; shown on no screen.
    QString addCollage();
    void deleteCollage(const QString &name);
    bool renameCollage(const QString &oldName, const QString &requestedName);

    // --- Commands of the control bar and the canvases --------------------------------
    void addPhotos(QPushButton *button);
    void addPhotosFromFiles();
    void addPhotosFromLibrary();
    void tidyUp();
    void scatterPhotos();
    void handleDrop(const QStringList &files, int screenIndex);
    void pasteImageFromClipboard();
    // Copies the files into the active collage's folder off the GUI thread, then adds them
    // to that collage as it is then, in one "Add Photos" step.
    void importImages(const QStringList &files, const ScreenInfo &screen);
    bool isImporting() const;
    // The open "From Files…" panel and photo gallery, if any.
    QWidget *filePanel() const { return m_filePanel; }
    QWidget *photoPickerWindow() const { return m_photoPickerWindow; }
    void beginCrop(const QUuid &photoID, int screenIndex);
    // The crop and a new size with the crop's aspect ratio, in one "Crop" step.
    void commitCrop(const QUuid &photoID, const QRectF &normalisedCrop, QSize imagePixels);
    void closeCropEditor();
    CropEditorView *cropEditor() const { return m_cropEditor; }

    // --- Pictures of collages ------------------------------------------------------------
    // The collage under the pointer, as a PNG file at its screen's full resolution.
    void exportImage();
    // A collage maxWidth pixels wide (never under 0.04 of its screen) over the desktop
    // picture of the screen that shows it; null for a name no collage has.
    QImage thumbnail(const QString &name, int maxWidth);
    void requestThumbnail(const QString &name, int maxWidth, QObject *context,
                          std::function<void(const QImage &)> done);
    CollagePictures &pictures() { return *m_pictures; }

    const Library &library() const { return m_library; }
    Library &library() { return m_library; }
    const FolderLibraryStore &store() const { return m_store; }

private:
    void wireCanvas(CollageView *view, int screenIndex);
    void removeEditingChrome();
    void blurBehindBar(ControlBar *bar);
    std::optional<int> collageIndexNamed(const QString &name) const;
    // Runs a file-system change of the library on the save queue, after every write
    // queued before it, and waits for it: the store has a single writer.
    void runOnSaveQueue(const std::function<void()> &job);
    void noteWrite() { ++m_writesCompleted; }
    void pickedPhotos(const QStringList &files);
    // Files are still being copied into that collage's folder: moving or removing the
    // folder now would leave them behind or bring it back.
    bool isImportingInto(const Collage &collage) const;
    void placeNameFound(const QUuid &photoID, const QString &caption);
    // The editing window on that screen, to keep panels above it; none outside editing.
    QWidget *panelParent(const ScreenInfo &screen) const;
    std::optional<CollagePictures::Thumbnail> thumbnailJob(const QString &name, int maxWidth);
    // The photos a screen's canvas has decoded for that collage, by print.
    QHash<QUuid, QImage> shownPhotos(const ScreenInfo &screen, const QString &collageName) const;

    FolderLibraryStore m_store;
    Library m_library;
    bool m_isEditing = false;

    QList<DesktopWindow *> m_windows;
    QList<CollageView *> m_views;
    ScreenList m_screens;
    QList<QWidget *> m_backdrops;
    QList<ControlBar *> m_controlBars;
    bool m_subscribedToScreens = false;
    bool m_reportedNoCompositor = false;

    QHash<QString, CollageHistory *> m_undoManagers;

    std::unique_ptr<SerialQueue> m_saveQueue;
    QTimer m_saveTimer;
    std::optional<Library> m_pendingLibrary;
    std::atomic<int> m_writesCompleted{0};

    std::unique_ptr<PhotoImport> m_photoImport;
    std::unique_ptr<PlaceNameQueue> m_placeNames;
    std::optional<ScreenInfo> m_importTargetScreen;
    QHash<QUuid, int> m_importsInFlight; // collage id -> batches running
    QPointer<QWidget> m_filePanel;
    QPointer<QWidget> m_photoPickerWindow;

    std::unique_ptr<CollagePictures> m_pictures;
    QPointer<CropEditorView> m_cropEditor;
    QUuid m_cropPhotoID;
    QUuid m_cropCollageID;
};
