#pragma once

#include "core/CollageModel.h"
#include "core/Expected.h"
#include "core/Library.h"

#include <QString>

#include <optional>

// The older single-file library store, "library.json", kept to migrate its data.
class LibraryStore {
public:
    LibraryStore(QString fileURL, std::optional<QString> legacyModelURL);

    const QString &fileURL() const { return m_fileURL; }
    const std::optional<QString> &legacyModelURL() const { return m_legacyModelURL; }

    Library load() const; // never fails; a decoded library is returned exactly as read
    Status save(const Library &library) const;

private:
    QString m_fileURL;
    std::optional<QString> m_legacyModelURL;
};

// The oldest single-collage store, "collage.json" holding {"items": [...]}.
class Store {
public:
    explicit Store(QString fileURL);

    const QString &fileURL() const { return m_fileURL; }
    Expected<CollageModel> load() const;
    Status save(const CollageModel &model) const;

private:
    QString m_fileURL;
};
