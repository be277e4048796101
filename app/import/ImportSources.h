#pragma once

#include <QString>
#include <QStringList>

class QImage;
class QMimeData;
class QUrl;

// What the clipboard and the file panel hand to an import, as plain functions over values.
namespace ImportSources {

// Local files named on the clipboard (a file manager's Copy), in their order; otherwise the
// image on it written as a PNG file of a fresh name into tempDir; otherwise nothing.
QStringList clipboardFiles(const QMimeData *mime, const QString &tempDir);
// The same from what was taken off the clipboard; safe on any thread.
QStringList clipboardFiles(const QList<QUrl> &urls, const QImage &image, const QString &tempDir);

// Name filters for the file panel: every extension the importer accepts, then all files.
QStringList fileDialogFilters();

} // namespace ImportSources
