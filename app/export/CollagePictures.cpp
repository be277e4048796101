#include "app/export/CollagePictures.h"

#include "core/Log.h"
#include "platform/Platform.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

CollagePictures::CollagePictures(QObject *parent) : QObject(parent)
{
    // One export and the thumbnails of a window full of collages share two threads, so the
    // canvas's own decoders keep the rest of the machine.
    m_pool.setMaxThreadCount(2);
    CollageRenderer::prepare();
}

CollagePictures::~CollagePictures()
{
    m_pool.waitForDone();
}

QImage CollagePictures::render(Thumbnail job)
{
    if (job.request.background.isNull())
        job.request.background = m_wallpapers.image(job.wallpaperPath);
    return CollageRenderer::render(job.request, &m_photos);
}

void CollagePictures::setBackdrop(Thumbnail &job, const ScreenInfo &screen)
{
    Backdrop &known = m_backdrops[screen.name];
    if (!known.age.isValid() || known.age.elapsed() > backdropMemoMs) {
        const DesktopWindowing &windowing = Platform::instance().windowing();
        known.path = windowing.desktopPicturePath(screen);
        // Without a file, what the root window shows (a setter tool's picture) will do.
        known.root = known.path.isEmpty() ? windowing.desktopBackground(screen) : QImage();
        if (known.root.width() > WallpaperCache::maxPixelSize || known.root.height() > WallpaperCache::maxPixelSize)
            known.root = known.root.scaled(WallpaperCache::maxPixelSize, WallpaperCache::maxPixelSize, Qt::KeepAspectRatio,
                                           Qt::SmoothTransformation);
        known.age.start();
    }
    job.wallpaperPath = known.path;
    job.request.background = known.root;
}

QImage CollagePictures::thumbnail(const Thumbnail &job)
{
    return render(job);
}

void CollagePictures::requestThumbnail(const Thumbnail &job, QObject *context, std::function<void(const QImage &)> done)
{
    QPointer<QObject> target(context);
    m_pool.start([this, job, target, done = std::move(done)] {
        const QImage image = render(job);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [target, done, image] {
            if (target)
                done(image);
        }, Qt::QueuedConnection);
    });
}

QString CollagePictures::proposedFileName(const QString &collageName)
{
    QString name = collageName;
    // A slash would name a folder and a NUL cannot be passed to the system at all.
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QChar(0), QLatin1Char('-'));
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Collage");
    return name + QStringLiteral(".png");
}

void CollagePictures::exportCollage(const CollageRenderer::Request &request, const QString &collageName, QWidget *parent)
{
    if (m_savePanel) {
        m_savePanel->raise();
        m_savePanel->activateWindow();
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    auto *panel = new QFileDialog(parent, QStringLiteral("Export as Image"),
                                  QDir(folder).filePath(proposedFileName(collageName)));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowFlag(Qt::WindowStaysOnTopHint);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilter(QStringLiteral("PNG image (*.png)"));
    panel->setDefaultSuffix(QStringLiteral("png"));
    m_savePanel = panel;
    connect(panel, &QFileDialog::fileSelected, this, [this, request](const QString &path) {
        if (path.isEmpty())
            return;
        m_pool.start([this, request, path] {
            const bool ok = writePNG(request, path);
            QMetaObject::invokeMethod(this, [this, path, ok] { emit exported(path, ok); }, Qt::QueuedConnection);
        });
    });
    panel->open();
    panel->raise();
    panel->activateWindow();
}

bool CollagePictures::writePNG(const CollageRenderer::Request &request, const QString &path)
{
    const std::optional<QByteArray> data = CollageRenderer::renderPNG(request, &m_photos);
    if (!data)
        return false;
    // Written beside the target and renamed over it: a failed export never leaves half a
    // file where a good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*data) != data->size() || !file.commit()) {
        Log::app().error(QStringLiteral("export failed: ") + file.errorString());
        return false;
    }
    Log::app().info(QStringLiteral("exported image to ") + QFileInfo(path).fileName());
    return true;
}
