// Loads a library whose files hold arbitrary bytes: a collage layout file, or a legacy
// "library.json" to migrate. Nothing may crash, and nothing may be written outside the root
// but the legacy store's own backup copy.
#include "core/FolderLibraryStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QSet<QString> filesUnder(const QString &dir)
{
    QSet<QString> out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out.insert(it.next());
    return out;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool legacy = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 0;
    const QString root = sandbox.filePath(QStringLiteral("root"));
    const QString support = sandbox.filePath(QStringLiteral("support"));
    const QString photos = sandbox.filePath(QStringLiteral("support/Library"));
    QDir().mkpath(photos);
    write(photos + QStringLiteral("/a.jpg"), "jpeg");
    // Decoys a path-traversing name would reach.
    write(sandbox.filePath(QStringLiteral("secret.jpg")), "secret");

    if (legacy) {
        write(support + QStringLiteral("/library.json"), bytes);
    } else {
        QDir().mkpath(root + QStringLiteral("/Trip"));
        write(root + QStringLiteral("/Trip/collage.json"), bytes);
    }

    const auto outsideRoot = [&] {
        QSet<QString> outside = filesUnder(sandbox.path()) - filesUnder(root);
        outside.remove(root);
        return outside;
    };
    const QSet<QString> outsideBefore = outsideRoot();
    const FolderLibraryStore store(root,
                                   LibraryStore(support + QStringLiteral("/library.json"),
                                                support + QStringLiteral("/collage.json")),
                                   photos);
    const Library library = store.load();
    if (library.collages().isEmpty())
        std::abort();
    (void)library.active();

    QSet<QString> outsideAfter = outsideRoot();
    // The one file the legacy store may write: a backup beside a library.json it cannot decode.
    outsideAfter.remove(support + QStringLiteral("/library.json.corrupt"));
    if (outsideAfter != outsideBefore) {
        for (const QString &f : outsideAfter - outsideBefore)
            std::fprintf(stderr, "written outside the root: %s\n", qPrintable(f));
        for (const QString &f : outsideBefore - outsideAfter)
            std::fprintf(stderr, "removed outside the root: %s\n", qPrintable(f));
        std::abort();
    }
    return 0;
}
