#include "core/LibraryStore.h"

#include "core/CollageJson.h"
#include "core/FileOps.h"
#include "core/Log.h"

#include <QFileInfo>

#include <utility>

namespace {

Library freshLibrary()
{
    return Library::single(CollageModel(), Library::defaultCollageName);
}

} // namespace

LibraryStore::LibraryStore(QString fileURL, std::optional<QString> legacyModelURL)
    : m_fileURL(std::move(fileURL)), m_legacyModelURL(std::move(legacyModelURL))
{
}

Library LibraryStore::load() const
{
    if (FileOps::entryExists(m_fileURL)) {
        if (const Expected<QByteArray> bytes = FileOps::readAll(m_fileURL)) {
            Expected<Library> decoded = CollageJson::libraryFromBytes(*bytes);
            if (decoded)
                return std::move(decoded).value();
            FileOps::backUpCorrupt(m_fileURL);
            return freshLibrary();
        }
    }
    if (m_legacyModelURL && FileOps::entryExists(*m_legacyModelURL)) {
        if (const Expected<QByteArray> bytes = FileOps::readAll(*m_legacyModelURL)) {
            Expected<CollageModel> model = CollageJson::modelFromBytes(*bytes);
            if (model)
                return Library::single(std::move(model).value(), Library::defaultCollageName);
        }
    }
    return freshLibrary();
}

Status LibraryStore::save(const Library &library) const
{
    const Expected<QByteArray> bytes = CollageJson::libraryToBytes(library, CollageJson::Format::Compact);
    if (!bytes)
        return bytes.error();
    return FileOps::writeAtomically(m_fileURL, *bytes);
}

Store::Store(QString fileURL) : m_fileURL(std::move(fileURL)) {}

Expected<CollageModel> Store::load() const
{
    if (!FileOps::entryExists(m_fileURL)) {
        Log::store().info(QStringLiteral("no collage file yet, starting empty"));
        return CollageModel();
    }
    const Expected<QByteArray> bytes = FileOps::readAll(m_fileURL);
    if (!bytes)
        return bytes.error();
    Expected<CollageModel> model = CollageJson::modelFromBytes(*bytes);
    if (model) {
        Log::store().info(QStringLiteral("loaded %1 items").arg(model->items().size()));
        return model;
    }
    FileOps::backUpCorrupt(m_fileURL);
    const QString backupName = QFileInfo(m_fileURL).fileName() + QStringLiteral(".corrupt");
    Log::store().error(QStringLiteral("corrupt collage file, backed up to %1; starting empty").arg(backupName));
    return CollageModel();
}

Status Store::save(const CollageModel &model) const
{
    const Expected<QByteArray> bytes = CollageJson::modelToBytes(model, CollageJson::Format::Compact);
    if (!bytes)
        return bytes.error();
    if (Status written = FileOps::writeAtomically(m_fileURL, *bytes); !written)
        return written;
    Log::store().debug(QStringLiteral("saved %1 items to %2")
                           .arg(QString::number(model.items().size()), QFileInfo(m_fileURL).fileName()));
    return {};
}
