#pragma once

#include "core/Expected.h"
#include "core/Library.h"
#include "core/LibraryStore.h"

#include <QString>

#include <optional>

// One folder per collage under root, each with a "collage.json" layout and its images.
// A plain value holding three locations; every call goes to the file system.
class FolderLibraryStore {
public:
    static inline const QString layoutFileName = QStringLiteral("collage.json");

    FolderLibraryStore(QString root, std::optional<LibraryStore> legacyStore,
                       std::optional<QString> legacyPhotoDir);
    // The store the application uses: the Pictures root (or the temporary fallback) and
    // the legacy files in the application-support folder where they can be located.
    static FolderLibraryStore standard();

    const QString &root() const { return m_root; }
    const std::optional<LibraryStore> &legacyStore() const { return m_legacyStore; }
    const std::optional<QString> &legacyPhotoDir() const { return m_legacyPhotoDir; }

    QString collageDir(const QString &name) const;
    // Never fails: falls back to a fresh library holding "My Collage".
    Library load() const;
    // Writes every collage that can be written; reports the first error. Of two collages
    // whose names sanitise to the same folder only the first is written.
    Status save(const Library &library) const;

private:
    std::optional<Library> scan() const;
    // The name a found folder goes by: its own when already sanitised, else the free
    // sanitised name it was renamed to; nothing when the rename failed.
    std::optional<QString> adoptFolder(const QString &name) const;
    bool migrateLegacyIfPresent() const;

    QString m_root;
    std::optional<LibraryStore> m_legacyStore;
    std::optional<QString> m_legacyPhotoDir;
};
