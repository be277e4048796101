#include "app/import/ImportSources.h"

#include "core/ImageImporter.h"

#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace ImportSources {

QStringList clipboardFiles(const QMimeData *mime, const QString &tempDir)
{
    if (!mime)
        return {};
    // Qt converts whatever image type the owner offers (image/png, image/jpeg, BMP…).
    return clipboardFiles(mime->urls(), mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage(),
                          tempDir);
}

QStringList clipboardFiles(const QList<QUrl> &urls, const QImage &image, const QString &tempDir)
{
    QStringList files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    if (!files.isEmpty() || image.isNull())
        return files;
    const QString path = QDir(tempDir).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()
                                                + QStringLiteral(".png"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return {};
    return {path};
}

QStringList fileDialogFilters()
{
    QStringList extensions(ImageImporter::supportedExtensions().begin(), ImageImporter::supportedExtensions().end());
    std::sort(extensions.begin(), extensions.end());
    QStringList patterns;
    // Both cases: cameras write "IMG_0001.JPG", and the portal's filters match case-sensitively.
    for (const QString &extension : std::as_const(extensions))
        patterns << QStringLiteral("*.") + extension << QStringLiteral("*.") + extension.toUpper();
    return {QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' '))), QStringLiteral("All files (*)")};
}

} // namespace ImportSources
