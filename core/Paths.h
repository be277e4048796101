#pragma once

#include "core/Expected.h"

#include <QString>

// The well-known folders and files. Every location is an absolute path.
// The application-support folder is $XDG_DATA_HOME/Veloran; Pictures is the XDG Pictures folder.
namespace Paths {

inline const QString appFolderName = QStringLiteral("Veloran");
inline const QString legacyPhotoFolderName = QStringLiteral("Library");
inline const QString legacyCollageFileName = QStringLiteral("collage.json");
inline const QString legacyLibraryFileName = QStringLiteral("library.json");
inline const QString libraryRootName = QStringLiteral("Veloran.collagelibrary");
inline const QString oldLibraryRootName = QStringLiteral("Veloran");

Expected<QString> appSupportDir();
Expected<QString> libraryDir();
Expected<QString> collageFile();
Expected<QString> libraryFile();
// Creates the root and, the first time only, moves the older root's entries into it.
Expected<QString> picturesLibraryRoot();
// Where the root goes when Pictures is unusable: "Veloran" in the temporary directory.
QString temporaryLibraryRoot();

} // namespace Paths
