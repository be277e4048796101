// Loads and saves a library of 50 collages x 200 photos and compares with python3's
// json.load + json.dump over the same layout files; also times taking a save snapshot.
#include "core/FolderLibraryStore.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int collageCount = 50;
constexpr int photosPerCollage = 200;
constexpr int runs = 7;

Library makeLibrary()
{
    QRandomGenerator rng(42);
    QList<Collage> collages;
    for (int c = 0; c < collageCount; ++c) {
        QList<PhotoItem> items;
        for (int p = 0; p < photosPerCollage; ++p) {
            PhotoItem item(QUuid::createUuid(), QStringLiteral("IMG_%1.jpg").arg(p, 4, 10, QLatin1Char('0')),
                           QPointF(rng.bounded(2560.0), rng.bounded(1440.0)),
                           QSizeF(180 + rng.bounded(200.0), 120 + rng.bounded(200.0)), rng.bounded(0.5) - 0.25,
                           QRectF(rng.bounded(0.2), rng.bounded(0.2), 0.8, 0.75), p,
                           p % 3 ? std::optional<QString>(QStringLiteral("July 2024 · Lisbon")) : std::nullopt,
                           p % 7 == 0, false);
            items.append(item);
        }
        collages.append(Collage{QUuid::createUuid(), QStringLiteral("Collage %1").arg(c + 1), CollageModel(items)});
    }
    return Library(collages, QUuid());
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

qint64 layoutBytes(const QString &root)
{
    qint64 total = 0;
    QDirIterator it(root, {QStringLiteral("collage.json")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

// python3's own figures for reading and writing every layout file once, median of runs.
std::pair<double, double> pythonReference(const QString &root)
{
    const QString script = QStringLiteral(R"(
import glob, json, sys, time, statistics
files = sorted(glob.glob(sys.argv[1] + '/*/collage.json'))
loads, dumps = [], []
for _ in range(int(sys.argv[2])):
    t = time.perf_counter(); docs = [json.load(open(f, encoding='utf-8')) for f in files]; loads.append(time.perf_counter() - t)
    t = time.perf_counter()
    for f, d in zip(files, docs):
        with open(f + '.py', 'w', encoding='utf-8') as out: json.dump(d, out, indent=2, sort_keys=True)
    dumps.append(time.perf_counter() - t)
print(statistics.median(loads) * 1000, statistics.median(dumps) * 1000)
)");
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, root, QString::number(runs)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        return {-1, -1};
    const QList<QByteArray> parts = python.readAllStandardOutput().trimmed().split(' ');
    return {parts.value(0).toDouble(), parts.value(1).toDouble()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Veloran.collagelibrary"));
    const FolderLibraryStore store(root, std::nullopt, std::nullopt);
    Library library = makeLibrary();

    std::vector<double> saves, loads;
    int loadedItems = 0;
    for (int i = 0; i < runs; ++i) {
        // Change every collage so each save really rewrites every layout file.
        QList<Collage> changed = library.collages();
        for (Collage &collage : changed)
            collage.model.move(collage.model.items().first().id, QPointF(i, i));
        library = Library(changed, library.activeID());

        QElapsedTimer timer;
        timer.start();
        const Status saved = store.save(library);
        saves.push_back(timer.nsecsElapsed() / 1e6);
        if (!saved) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.error().message));
            return 1;
        }
        timer.restart();
        const Library loaded = store.load();
        loads.push_back(timer.nsecsElapsed() / 1e6);
        loadedItems = 0;
        for (const Collage &c : loaded.collages())
            loadedItems += int(c.model.items().size());
    }

    QElapsedTimer unchangedTimer;
    unchangedTimer.start();
    (void)store.save(library);
    const double unchangedSave = unchangedTimer.nsecsElapsed() / 1e6;

    // A save snapshot is a value copy of the library; it must not copy the items.
    constexpr int copies = 100000;
    QElapsedTimer timer;
    timer.start();
    qsizetype sink = 0;
    for (int i = 0; i < copies; ++i) {
        const Library snapshot = library;
        sink += snapshot.collages().size();
    }
    const double snapshotMs = timer.nsecsElapsed() / 1e6 / copies;

    const auto [pyLoad, pySave] = pythonReference(root);
    const double ourLoad = median(loads), ourSave = median(saves);
    std::printf("items: %d in %d collages (loaded back: %d)\n", collageCount * photosPerCollage, collageCount,
                loadedItems);
    std::printf("layout bytes: %lld\n", static_cast<long long>(layoutBytes(root)));
    std::printf("load: %.1f ms   python3 json.load: %.1f ms   ratio %.2f (goal <= 1.5)\n", ourLoad, pyLoad,
                ourLoad / pyLoad);
    std::printf("save: %.1f ms   python3 json.dump: %.1f ms   ratio %.2f (goal <= 1.5)\n", ourSave, pySave,
                ourSave / pySave);
    std::printf("save with nothing changed (layouts compared, not rewritten): %.1f ms\n", unchangedSave);
    std::printf("snapshot copy: %.6f ms (goal < 0.1 ms) [%lld]\n", snapshotMs, static_cast<long long>(sink % 2));
    return 0;
}
