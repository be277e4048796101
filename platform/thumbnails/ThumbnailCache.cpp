#include "platform/thumbnails/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");

QString modificationTime(const QString &file)
{
    const QFileInfo info(file);
    return info.exists() ? QString::number(info.lastModified().toSecsSinceEpoch()) : QString();
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::defaultRoot()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)).filePath(QStringLiteral("thumbnails"));
}

QByteArray ThumbnailCache::uriOf(const QString &file)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
}

QString ThumbnailCache::thumbnailPath(const QString &file, Flavor flavor) const
{
    const QByteArray hash = QCryptographicHash::hash(uriOf(file), QCryptographicHash::Md5).toHex();
    return QDir(m_root).filePath(QStringLiteral("%1/%2.png")
                                     .arg(flavor == Flavor::normal ? QStringLiteral("normal") : QStringLiteral("large"),
                                          QString::fromLatin1(hash)));
}

QImage ThumbnailCache::load(const QString &file, Flavor flavor) const
{
    // QImageReader::text() splits keys at the first colon, so "Thumb::URI" is read from the
    // image; a thumbnail is small enough for that not to matter.
    QImageReader reader(thumbnailPath(file, flavor), "png");
    const QImage image = reader.read();
    if (image.isNull() || image.text(mtimeKey) != modificationTime(file) || image.text(uriKey).toUtf8() != uriOf(file))
        return {};
    return image;
}

bool ThumbnailCache::save(const QString &file, Flavor flavor, const QImage &image) const
{
    const QString mtime = modificationTime(file);
    if (image.isNull() || mtime.isEmpty())
        return false;
    const int size = pixelSize(flavor);
    QImage thumbnail = image.width() > size || image.height() > size
        ? image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : image;
    thumbnail.setText(uriKey, QString::fromUtf8(uriOf(file)));
    thumbnail.setText(mtimeKey, mtime);
    thumbnail.setText(QStringLiteral("Software"), QStringLiteral("Veloran"));

    const QString path = thumbnailPath(file, flavor);
    // The cache is private to the user.
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile::setPermissions(m_root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A fresh file renamed over the old one: readers never see half a thumbnail. No sync to
    // disk, though: a cache entry lost in a crash is simply made again.
    QTemporaryFile out(path + QStringLiteral(".XXXXXX"));
    if (!out.open())
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&out, "png");
    if (!writer.write(thumbnail) || !out.flush())
        return false;
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    out.setAutoRemove(false);
    return true;
}
