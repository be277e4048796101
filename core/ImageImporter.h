#pragma once

#include "core/Expected.h"
#include "core/PhotoItem.h"

#include <QSet>
#include <QString>

// Copies one image file into a collage folder under a free, sanitised name and returns
// the new item that shows the copy. Never decodes the image.
class ImageImporter {
public:
    enum class ImportError { unsupportedType };

    explicit ImageImporter(QString libraryDir);

    static const QSet<QString> &supportedExtensions();

    // Error.message is "unsupportedType" for an unsupported extension, else the
    // file-system error's description.
    Expected<PhotoItem> importImage(const QString &source, QPointF at, QSizeF defaultSize) const;

    const QString &libraryDir() const { return m_libraryDir; }

private:
    QString m_libraryDir;
};
