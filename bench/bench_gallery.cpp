// The photo gallery window over 20,000 small JPEGs (half of them with an Exif capture date):
// time until the first screen of thumbnails is painted, with an empty and with a warm thumbnail
// cache, and resident memory after scrolling page by page through every photo. Photos and
// thumbnail cache live in a temporary folder that is removed afterwards.
#include "app/gallery/PhotoGalleryWindow.h"
#include "platform/images/FileImageDecoder.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QListView>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int photoCount = 20000;
constexpr double firstThumbnailsTargetMs = 500;
constexpr double memoryTargetMiB = 150;

QByteArray encodedPhoto()
{
    QImage image(64, 48, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 64, 48);
    gradient.setColorAt(0, QColor(250, 190, 90));
    gradient.setColorAt(1, QColor(40, 90, 160));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return buffer.data();
}

// An APP1 segment holding only Exif DateTimeOriginal, inserted right after the JPEG's SOI.
QByteArray withCaptureDate(const QByteArray &jpeg, const QDateTime &date)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    const auto u16 = [&](quint16 v) { tiff.append(char(v & 0xff)).append(char(v >> 8)); };
    const auto u32 = [&](quint32 v) { u16(quint16(v & 0xffff)); u16(quint16(v >> 16)); };
    u16(1), u16(0x8769), u16(4), u32(1), u32(26), u32(0);  // IFD0: pointer to the Exif IFD
    u16(1), u16(0x9003), u16(2), u32(20), u32(44), u32(0); // Exif IFD: DateTimeOriginal
    tiff.append(date.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1()).append('\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1", 2);
    segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xff)).append(payload);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

void makePhotos(const QString &root)
{
    const QByteArray plain = encodedPhoto();
    QRandomGenerator random(7);
    const QDateTime base(QDate(2015, 1, 1), QTime(0, 0));
    for (int i = 0; i < photoCount; ++i) {
        const QString folder = QStringLiteral("%1/%2").arg(root).arg(2015 + i / 2000);
        if (i % 2000 == 0)
            QDir().mkpath(folder);
        const QString path = QStringLiteral("%1/IMG_%2.jpg").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(i % 2 ? plain : withCaptureDate(plain, base.addSecs(random.bounded(10 * 365 * 86400))));
        file.close();
        const timespec when{qint64(base.toSecsSinceEpoch()) + random.bounded(10 * 365 * 86400), 0};
        const timespec times[2] = {when, when};
        utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
}


// True when every row on screen has its thumbnail (or is known to have none).
bool screenComplete(PhotoGalleryWindow &window)
{
    QListView *view = window.view();
    const QRect port = view->viewport()->rect();
    const QModelIndex first = view->indexAt(QPoint(view->gridSize().width() / 2, view->gridSize().height() / 2));
    if (!first.isValid())
        return false;
    for (int row = std::max(0, first.row() - 8); row < window.model().rowCount(); ++row) {
        const QRect cell = view->visualRect(window.model().index(row));
        if (cell.top() > port.bottom())
            break;
        if (cell.intersects(port) && !window.model().isThumbnailSettled(row))
            return false;
    }
    return true;
}

// Sees the first paint that happens once the screen is complete.
struct CompletePaint : QObject {
    PhotoGalleryWindow *window = nullptr;
    bool seen = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && screenComplete(*window))
            seen = true;
        return false;
    }
};

// The longest gap between ticks of a 1 ms timer on the GUI thread.
struct StallMeter {
    QTimer timer;
    QElapsedTimer since;
    double longest = 0;
    StallMeter()
    {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            longest = std::max(longest, since.nsecsElapsed() / 1e6);
            since.restart();
        });
        since.start();
        timer.start();
    }
};

double openUntilPainted(PhotoGalleryWindow &window)
{
    CompletePaint paint;
    paint.window = &window;
    window.view()->viewport()->installEventFilter(&paint);
    QElapsedTimer clock;
    clock.start();
    window.show();
    while (!paint.seen && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    window.view()->viewport()->removeEventFilter(&paint);
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temp;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(temp.filePath(QStringLiteral("cache"))));
    QApplication app(argc, argv);
    const QString pictures = temp.filePath(QStringLiteral("Pictures"));

    QElapsedTimer clock;
    clock.start();
    makePhotos(pictures);
    std::printf("%d photos (64x48 JPEG, half with a capture date) written in %.1f s\n", photoCount,
                clock.elapsed() / 1000.0);
    const FileImageDecoder decoder;
    const QString library = pictures + QStringLiteral("/Veloran.collagelibrary");

    // Cold: nothing in the thumbnail cache; then scroll through everything.
    {
        const long before = Bench::residentKiB();
        PhotoGalleryWindow window(pictures, library, decoder);
        QElapsedTimer sinceOpen;
        sinceOpen.start();
        double scanned = 0, dated = 0;
        QObject::connect(&window.scanner(), &GalleryScanner::scanned, [&] { scanned = sinceOpen.nsecsElapsed() / 1e6; });
        QObject::connect(&window.scanner(), &GalleryScanner::datesRead, [&] { dated = sinceOpen.nsecsElapsed() / 1e6; });
        const double shown = openUntilPainted(window);
        const int listedThen = window.model().rowCount();
        std::printf("\ncold thumbnail cache, window %dx%d, %d worker threads\n", window.width(), window.height(),
                    QThread::idealThreadCount());
        std::printf("  first thumbnails painted    %8.1f ms   target %.0f ms: %s (%d photos listed by then)\n", shown,
                    firstThumbnailsTargetMs, shown <= firstThumbnailsTargetMs ? "met" : "MISSED", listedThen);

        StallMeter stalls;
        QScrollBar *bar = window.view()->verticalScrollBar();
        const int page = window.view()->viewport()->height();
        long peak = Bench::residentKiB();
        int pages = 0;
        clock.restart();
        for (int value = 0;; value += page) {
            bar->setValue(std::min(value, bar->maximum()));
            QElapsedTimer wait;
            wait.start();
            while (!screenComplete(window) && wait.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            ++pages;
            peak = std::max(peak, Bench::residentKiB());
            if (value >= bar->maximum())
                break;
        }
        const double scrolled = clock.elapsed() / 1000.0;
        while (dated == 0 && sinceOpen.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const long after = Bench::residentKiB();
        ThumbnailLoader::waitForCacheWrites();
        const qsizetype stored =
            QDir(temp.filePath(QStringLiteral("cache/thumbnails/normal"))).entryList(QDir::Files).size();
        std::printf("  walk finished                %8.1f ms (%d photos)\n", scanned, window.model().rowCount());
        std::printf("  capture dates applied        %8.1f ms\n", dated);
        std::printf("  scrolled %d pages in        %8.1f s, longest GUI-thread stall %.1f ms\n", pages, scrolled,
                    stalls.longest);
        std::printf("  thumbnails stored in cache   %8lld (the rest were skipped while the writer lagged)\n",
                    static_cast<long long>(stored));
        const double growth = (after - before) / 1024.0;
        std::printf("  resident memory growth       %8.1f MiB (peak %.1f MiB)   target %.0f MiB: %s\n", growth,
                    (peak - before) / 1024.0, memoryTargetMiB, std::max(growth, (peak - before) / 1024.0) <= memoryTargetMiB ? "met" : "MISSED");
    }

    // Warm: every thumbnail now comes from the cache.
    {
        PhotoGalleryWindow window(pictures, library, decoder);
        const double shown = openUntilPainted(window);
        std::printf("\nwarm thumbnail cache\n");
        std::printf("  first thumbnails painted    %8.1f ms   target %.0f ms: %s\n", shown, firstThumbnailsTargetMs,
                    shown <= firstThumbnailsTargetMs ? "met" : "MISSED");
    }
    return 0;
}
