#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QString>

// Desktop pictures decoded once per file, turned upright and reduced, for drawing
// thumbnails over. A picture replaced by another file is found under its new path; one
// changed in place keeps its old decode for the rest of the run. Safe on any thread.
class WallpaperCache {
public:
    static constexpr int maxPixelSize = 1800;

    // Null when the file cannot be read (and then nothing is kept for it).
    QImage image(const QString &path);
    bool contains(const QString &path) const;

private:
    mutable QMutex m_mutex;
    QHash<QString, QImage> m_images;
};
