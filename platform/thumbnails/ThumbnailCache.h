#pragma once

#include <QImage>
#include <QString>

// The desktop's shared thumbnail cache (the freedesktop.org thumbnail standard): PNG files
// named by the MD5 of the file's URI under $XDG_CACHE_HOME/thumbnails, carrying the URI and
// the file's modification time, so file managers and this program reuse each other's work.
class ThumbnailCache {
public:
    enum class Flavor { normal, large };

    // Safe to use from several threads: every call goes to the file system.
    explicit ThumbnailCache(QString root = defaultRoot());

    static QString defaultRoot();
    static int pixelSize(Flavor flavor) { return flavor == Flavor::normal ? 128 : 256; }
    // The file's URI as the thumbnail standard spells it (percent-encoded file:// URL).
    static QByteArray uriOf(const QString &file);

    QString thumbnailPath(const QString &file, Flavor flavor) const;
    // The cached thumbnail, or a null image when there is none or the file changed since.
    QImage load(const QString &file, Flavor flavor) const;
    // Stores image, reduced to fit the flavor's size, for the file as it is now.
    bool save(const QString &file, Flavor flavor, const QImage &image) const;

private:
    QString m_root;
};
