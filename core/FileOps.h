#pragma once

#include "core/Expected.h"

#include <QByteArray>
#include <QString>

// Small file-system helpers shared by the stores, the paths and the importer.
namespace FileOps {

// path/name without normalising either side: ".." in name is the caller's to reject.
QString join(const QString &folder, const QString &name);

// True when anything is at path, a dangling symbolic link included.
bool entryExists(const QString &path);

// Creates folder and its missing parents; succeeds when it already is a folder.
Status makePath(const QString &folder);

Expected<QByteArray> readAll(const QString &path);

// Readers see the old file or the new one, never a partial write.
Status writeAtomically(const QString &path, const QByteArray &bytes);

// Leaves a copy of an undecodable file beside it as "<name>.corrupt", replacing an older
// copy. Best effort: the original is never touched and failures are ignored.
void backUpCorrupt(const QString &path);

} // namespace FileOps
