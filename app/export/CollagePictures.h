#pragma once

#include "app/canvas/RecentPhotos.h"
#include "app/export/CollageRenderer.h"
#include "app/export/WallpaperCache.h"
#include "platform/screens/ScreenInfo.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>

class QWidget;

// Collages leaving the desktop as pictures: the "Export as Image…" panel and file, and the
// thumbnails of the Collages window. Drawing and encoding run on worker threads; the GUI
// thread only gathers what to draw. Owned by the desktop controller.
class CollagePictures : public QObject {
    Q_OBJECT
public:
    struct Thumbnail {
        CollageRenderer::Request request;
        // The desktop picture file to draw under the collage, decoded (once) on the worker;
        // request.background is used instead when set.
        QString wallpaperPath;
    };

    explicit CollagePictures(QObject *parent = nullptr);
    ~CollagePictures() override;

    // On the calling thread.
    QImage thumbnail(const Thumbnail &job);
    // On a worker; `done` runs on the GUI thread unless `context` is gone by then.
    void requestThumbnail(const Thumbnail &job, QObject *context, std::function<void(const QImage &)> done);

    // The name the save panel proposes: the collage's as typed, with what no file name may
    // hold replaced, and ".png".
    static QString proposedFileName(const QString &collageName);
    // Asks for a file (above `parent`), then draws and writes the picture off the GUI thread.
    void exportCollage(const CollageRenderer::Request &request, const QString &collageName, QWidget *parent);
    QWidget *savePanel() const { return m_savePanel; }
    // Draws, encodes and replaces `path` in one step; logs the outcome.
    bool writePNG(const CollageRenderer::Request &request, const QString &path);
    void waitForIdle() { m_pool.waitForDone(); }

    WallpaperCache &wallpapers() { return m_wallpapers; }
    // What to draw a screen's thumbnails over. Asking the desktop runs programs, and a window
    // of thumbnails asks once per collage: the answer is kept for a few seconds.
    void setBackdrop(Thumbnail &job, const ScreenInfo &screen);
    static constexpr int backdropMemoMs = 5000;

signals:
    void exported(const QString &path, bool ok);

private:
    QImage render(Thumbnail job);

    RecentPhotos m_photos{128 * 1024};
    WallpaperCache m_wallpapers;
    QThreadPool m_pool;
    QPointer<QWidget> m_savePanel;
    struct Backdrop {
        QString path;
        QImage root;
        QElapsedTimer age;
    };
    QHash<QString, Backdrop> m_backdrops; // by screen name
};
