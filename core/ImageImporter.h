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

    // Fails with an error for which isUnsupportedType() holds when the extension is not
    // supported (nothing is written then), else with the file-system error's description.
    Expected<PhotoItem> importImage(const QString &source, QPointF at, QSizeF defaultSize) const;

    // Tells ImportError::unsupportedType apart from file-system failures.
    static bool isUnsupportedType(const Error &error);

    const QString &libraryDir() const { return m_libraryDir; }

private:
    QString m_libraryDir;
};
