#include "core/ImageImporter.h"

#include "core/FileNames.h"
#include "core/FileOps.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

// The error text of ImportError::unsupportedType. No file-system error reads like this,
// since those always name the path involved.
const QString unsupportedTypeMessage = QStringLiteral("unsupportedType");

} // namespace

ImageImporter::ImageImporter(QString libraryDir) : m_libraryDir(std::move(libraryDir)) {}

const QSet<QString> &ImageImporter::supportedExtensions()
{
    static const QSet<QString> extensions{
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),  QStringLiteral("heic"),
        QStringLiteral("heif"), QStringLiteral("gif"),  QStringLiteral("tiff"), QStringLiteral("tif"),
        QStringLiteral("bmp"),  QStringLiteral("webp"),
    };
    return extensions;
}

bool ImageImporter::isUnsupportedType(const Error &error)
{
    return error.message == unsupportedTypeMessage;
}

Expected<PhotoItem> ImageImporter::importImage(const QString &source, QPointF at, QSizeF defaultSize) const
{
    const QString fileName = QFileInfo(source).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
    if (!supportedExtensions().contains(ext))
        return Error{unsupportedTypeMessage};

    if (Status made = FileOps::makePath(m_libraryDir); !made)
        return made.error();

    const QString base = FileNames::sanitize(dot < 0 ? fileName : fileName.left(dot));
    const QString name = FileNames::deduplicated(base, ext, m_libraryDir);
    const QString target = FileOps::join(m_libraryDir, name);
    QFile file(source);
    if (!file.copy(target))
        return Error{QStringLiteral("cannot copy %1 to %2: %3").arg(source, target, file.errorString())};

    return PhotoItem(QUuid::createUuid(), name, at, defaultSize, 0.0, PhotoItem::fullCrop(), 0);
}
