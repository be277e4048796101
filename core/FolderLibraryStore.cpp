#include "core/FolderLibraryStore.h"

#include "core/CollageJson.h"
#include "core/FileNames.h"
#include "core/FileOps.h"
#include "core/Log.h"
#include "core/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <utility>

namespace {

// Saving follows symbolic links, so a linked collage folder or layout file would send the
// write somewhere outside the library root, possibly over a file of the same name there.
Status refuseSymLink(const QString &path)
{
    if (QFileInfo(path).isSymLink())
        return Error{QStringLiteral("refusing to write through the symbolic link %1").arg(path)};
    return {};
}

// A save rewrites every collage; most of them have not changed since the last one, and
// skipping those spares a flush to disk per collage.
Status writeLayoutIfChanged(const QString &path, const QByteArray &bytes)
{
    if (const Expected<QByteArray> current = FileOps::readAll(path); current && *current == bytes)
        return {};
    return FileOps::writeAtomically(path, bytes);
}

} // namespace

FolderLibraryStore::FolderLibraryStore(QString root, std::optional<LibraryStore> legacyStore,
                                       std::optional<QString> legacyPhotoDir)
    : m_root(std::move(root)), m_legacyStore(std::move(legacyStore)),
      m_legacyPhotoDir(std::move(legacyPhotoDir))
{
}

FolderLibraryStore FolderLibraryStore::standard()
{
    const Expected<QString> pictures = Paths::picturesLibraryRoot();
    QString root = pictures ? *pictures : Paths::temporaryLibraryRoot();

    std::optional<LibraryStore> legacyStore;
    if (const Expected<QString> appSupport = Paths::appSupportDir()) {
        legacyStore = LibraryStore(FileOps::join(*appSupport, Paths::legacyLibraryFileName),
                                   FileOps::join(*appSupport, Paths::legacyCollageFileName));
    }
    std::optional<QString> legacyPhotoDir;
    if (const Expected<QString> photos = Paths::libraryDir())
        legacyPhotoDir = *photos;

    return FolderLibraryStore(std::move(root), std::move(legacyStore), std::move(legacyPhotoDir));
}

QString FolderLibraryStore::collageDir(const QString &name) const
{
    return FileOps::join(m_root, FileNames::sanitize(name));
}

Library FolderLibraryStore::load() const
{
    FileOps::makePath(m_root);
    if (std::optional<Library> library = scan())
        return std::move(*library);
    if (migrateLegacyIfPresent()) {
        if (std::optional<Library> library = scan())
            return std::move(*library);
    }
    Library fresh = Library::single(CollageModel(), Library::defaultCollageName);
    save(fresh);
    return fresh;
}

Status FolderLibraryStore::save(const Library &library) const
{
    if (Status made = FileOps::makePath(m_root); !made)
        return made;

    std::optional<Error> firstError;
    const auto note = [&firstError](const Error &error) {
        if (!firstError)
            firstError = error;
    };
    // Two names can sanitise to one folder; the second would overwrite the first's layout.
    QHash<QString, QString> ownerByFolder;
    // One collage that cannot be written must not keep the others from being saved.
    for (const Collage &collage : library.collages()) {
        const QString folder = FileNames::sanitize(collage.name);
        if (const auto owner = ownerByFolder.constFind(folder); owner != ownerByFolder.cend()) {
            note(Error{QStringLiteral("not saving the collage %1: its folder %2 belongs to the collage %3")
                           .arg(collage.name, folder, *owner)});
            continue;
        }
        ownerByFolder.insert(folder, collage.name);
        const QString dir = FileOps::join(m_root, folder);
        const QString layoutPath = FileOps::join(dir, layoutFileName);
        if (Status safe = refuseSymLink(dir); !safe) {
            note(safe.error());
            continue;
        }
        if (Status made = FileOps::makePath(dir); !made) {
            note(made.error());
            continue;
        }
        if (Status safe = refuseSymLink(layoutPath); !safe) {
            note(safe.error());
            continue;
        }
        const Expected<QByteArray> bytes =
            CollageJson::layoutToBytes(collage.model.items(), CollageJson::Format::Pretty);
        if (!bytes) {
            note(Error{QStringLiteral("cannot encode the collage %1: %2").arg(collage.name, bytes.error().message)});
            continue;
        }
        if (Status written = writeLayoutIfChanged(layoutPath, *bytes); !written)
            note(written.error());
    }
    if (firstError)
        return *firstError;
    return {};
}

std::optional<Library> FolderLibraryStore::scan() const
{
    // Linked folders are not collages: saving one would write outside the root.
    const QFileInfoList entries = QDir(m_root).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::NoSort);

    QStringList names;
    names.reserve(entries.size());
    for (const QFileInfo &entry : entries) {
        if (!FileOps::entryExists(FileOps::join(entry.filePath(), layoutFileName)))
            continue;
        if (std::optional<QString> name = adoptFolder(entry.fileName()))
            names.append(*name);
    }
    if (names.isEmpty())
        return std::nullopt;
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return FileNames::localizedStandardCompare(a, b) < 0;
    });

    QList<Collage> collages;
    collages.reserve(names.size());
    for (const QString &name : std::as_const(names)) {
        const QString layoutPath = FileOps::join(FileOps::join(m_root, name), layoutFileName);
        const Expected<QByteArray> bytes = FileOps::readAll(layoutPath);
        if (!bytes)
            continue;
        Expected<QList<PhotoItem>> photos = CollageJson::layoutFromBytes(*bytes);
        if (!photos) {
            FileOps::backUpCorrupt(layoutPath);
            continue;
        }
        collages.append(Collage{QUuid::createUuid(), name, CollageModel(std::move(photos).value())});
    }
    if (collages.isEmpty())
        return std::nullopt;
    const QUuid first = collages.first().id;
    return Library(std::move(collages), first);
}

std::optional<QString> FolderLibraryStore::adoptFolder(const QString &name) const
{
    // Every later lookup goes to the sanitised name, so a folder made by hand as "Trip: Rome"
    // would lose its photos and gain a twin at the first save unless it takes that name.
    const QString sanitized = FileNames::sanitize(name);
    if (sanitized == name)
        return name;
    const QString target = FileNames::deduplicatedDir(sanitized, m_root);
    if (!QDir(m_root).rename(name, target)) {
        Log::store().error(QStringLiteral("cannot rename the collage folder \"%1\" to \"%2\"; skipping it").arg(name, target));
        return std::nullopt;
    }
    Log::store().info(QStringLiteral("renamed the collage folder \"%1\" to \"%2\"").arg(name, target));
    return target;
}

bool FolderLibraryStore::migrateLegacyIfPresent() const
{
    if (!m_legacyStore || !m_legacyPhotoDir)
        return false;
    if (!FileOps::entryExists(m_legacyStore->fileURL()))
        return false;

    const Library legacy = m_legacyStore->load();
    for (const Collage &collage : legacy.collages()) {
        const QString dirName = FileNames::deduplicatedDir(FileNames::sanitize(collage.name), m_root);
        const QString dir = FileOps::join(m_root, dirName);
        FileOps::makePath(dir);

        for (const PhotoItem &item : collage.model.items()) {
            // The name comes from a file: one that is not a plain component could read
            // or write outside the two folders. The item itself is kept in the layout.
            if (!FileNames::isPlainComponent(item.imageFileName))
                continue;
            const QString source = FileOps::join(*m_legacyPhotoDir, item.imageFileName);
            const QString target = FileOps::join(dir, item.imageFileName);
            if (QFileInfo(source).isFile() && !FileOps::entryExists(target))
                QFile::copy(source, target);
        }

        const Expected<QByteArray> bytes =
            CollageJson::layoutToBytes(collage.model.items(), CollageJson::Format::Pretty);
        if (bytes)
            FileOps::writeAtomically(FileOps::join(dir, layoutFileName), *bytes);
    }
    return !legacy.collages().isEmpty();
}
