#include "core/Paths.h"

#include "core/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

Expected<QString> locatedFolder(QStandardPaths::StandardLocation location, const QString &what)
{
    const QString folder = QStandardPaths::writableLocation(location);
    if (folder.isEmpty())
        return Error{QStringLiteral("cannot locate the %1 folder").arg(what)};
    if (Status made = FileOps::makePath(folder); !made)
        return made.error();
    return folder;
}

Expected<QString> subfolder(const Expected<QString> &parent, const QString &name)
{
    if (!parent)
        return parent.error();
    const QString folder = FileOps::join(*parent, name);
    if (Status made = FileOps::makePath(folder); !made)
        return made.error();
    return folder;
}

Expected<QString> fileIn(const Expected<QString> &parent, const QString &name)
{
    if (!parent)
        return parent.error();
    return FileOps::join(*parent, name);
}

// Moves the entries of the older root into the new one. Only an entry that could not be
// moved stays behind, and then the older folder stays too: it still holds user data.
void moveOldRoot(const QString &old, const QString &root)
{
    const QDir oldDir(old);
    const QStringList entries =
        oldDir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        QDir().rename(oldDir.filePath(entry), FileOps::join(root, entry));
    QDir().rmdir(old);
}

} // namespace

namespace Paths {

Expected<QString> appSupportDir()
{
    return subfolder(locatedFolder(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("application data")),
                     appFolderName);
}

Expected<QString> libraryDir()
{
    return subfolder(appSupportDir(), legacyPhotoFolderName);
}

Expected<QString> collageFile()
{
    return fileIn(appSupportDir(), legacyCollageFileName);
}

Expected<QString> libraryFile()
{
    return fileIn(appSupportDir(), legacyLibraryFileName);
}

Expected<QString> picturesLibraryRoot()
{
    const Expected<QString> pictures =
        locatedFolder(QStandardPaths::PicturesLocation, QStringLiteral("Pictures"));
    if (!pictures)
        return pictures.error();
    const QString root = FileOps::join(*pictures, libraryRootName);
    const QString old = FileOps::join(*pictures, oldLibraryRootName);

    const bool rootExisted = FileOps::entryExists(root);
    if (Status made = FileOps::makePath(root); !made)
        return made.error();
    // A plain file that happens to carry the old name is not ours to move or delete.
    if (!rootExisted && QFileInfo(old).isDir())
        moveOldRoot(old, root);
    return root;
}

QString temporaryLibraryRoot()
{
    return FileOps::join(QDir::tempPath(), appFolderName);
}

} // namespace Paths
