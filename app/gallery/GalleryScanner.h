#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ImageDecoder;
struct ImageMetadata;

// One image file found under the gallery's root. Times are milliseconds since the epoch.
struct GalleryPhoto {
    QString path;
    qint64 modified = 0;
    std::optional<qint64> captured; // from the file's tags, once they have been read

    qint64 sortTime() const { return captured.value_or(modified); }
};

// Finds the photos under a folder on a worker thread: first the files themselves, handed
// over in chunks as they turn up, then their capture dates, read from the tags of every
// file and handed over at once when all are read.
class GalleryScanner : public QObject {
    Q_OBJECT
public:
    // How often found files are handed to the GUI thread while the walk goes on.
    static constexpr int chunkMilliseconds = 50;

    explicit GalleryScanner(const ImageDecoder &decoder, QObject *parent = nullptr);
    ~GalleryScanner() override; // stops the worker and waits for it; nothing is delivered after

    // Starts the walk of root, never entering excluded (and its contents) or hidden folders.
    void start(const QString &root, const QString &excluded);
    // Ends the walk or the reading of dates soon; what is still on its way is delivered.
    void stop() { m_cancelled->store(true); }

    // Image files by their extension, the ones the importer accepts; hidden files are not.
    static bool isPhotoName(const QString &fileName);
    // Every photo below root, in no particular order; visit returning false ends the walk.
    static void walk(const QString &root, const QString &excluded, const std::function<bool(const GalleryPhoto &)> &visit);
    // The capture date of the tags, the original date before the TIFF one, in local time.
    static std::optional<qint64> captureTime(const ImageMetadata &metadata);

signals:
    void found(const QList<GalleryPhoto> &chunk);
    void scanned(int count);                                  // the walk is through
    void datesRead(const QHash<QString, qint64> &capturedByPath); // only files that have one

private:
    void run(const QString &root, const QString &excluded, const std::shared_ptr<std::atomic<bool>> &cancelled);

    const ImageDecoder &m_decoder;
    QThreadPool m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};
