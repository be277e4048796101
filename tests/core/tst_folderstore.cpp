#include "core/CollageJson.h"
#include "core/FileNames.h"
#include "core/FolderLibraryStore.h"
#include "core/Paths.h"

#include "support/ModelFactory.h"
#include "support/Sandbox.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <limits>
#include <sys/stat.h>

using namespace ModelFactory;

namespace {

QList<PhotoItem> layoutAt(const QString &path)
{
    const Expected<QList<PhotoItem>> photos = CollageJson::layoutFromBytes(TestFiles::read(path));
    return photos ? *photos : QList<PhotoItem>{photo("undecodable")};
}

ino_t inode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// A store over a root in a sandbox, without legacy files.
struct Fixture {
    Sandbox sandbox;
    QString root = sandbox.path("root");
    FolderLibraryStore store{root, std::nullopt, std::nullopt};

    bool addCollage(const QString &name, const QList<PhotoItem> &items = {})
    {
        return TestFiles::write(root + '/' + name + "/collage.json", CollageJson::layoutToBytes(items).value());
    }
};

} // namespace

class TestFolderStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only folders with a layout are collages, ordered by name; hidden and linked ones are not.
    // An undecodable layout is backed up, on every load; one that cannot be read (a folder, or
    // a pipe that must not block the load) is skipped without a backup.
    void collagesAreFoldersWithALayout()
    {
        Fixture f;
        for (const char *name : {"trip 10", "Trip 2", "Album"})
            QVERIFY(f.addCollage(name));
        QVERIFY(TestFiles::makeDir(f.root + "/Trip"));
        QVERIFY(f.addCollage(".cache"));
        QVERIFY(TestFiles::write(f.root + "/notes.txt", "x"));
        QVERIFY(f.addCollage("../outside"));
        QVERIFY(QFile::link(f.sandbox.path("outside"), f.root + "/Linked"));
        const QString layout = f.root + "/Bad/collage.json";
        QVERIFY(TestFiles::write(layout, "{\"items\": []}"));
        QVERIFY(TestFiles::write(f.root + "/Bad/a.jpg", "A"));
        QVERIFY(TestFiles::makeDir(f.root + "/Odd/collage.json"));
        QVERIFY(TestFiles::makeDir(f.root + "/Pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(f.root + "/Pipe/collage.json").constData(), 0600), 0);

        const Library library = f.store.load();
        const QStringList found{"Album", "Trip 2", "trip 10"};
        QCOMPARE(names(library), found);
        QCOMPARE(library.activeID(), library.collages().first().id);
        QCOMPARE(TestFiles::read(layout + ".corrupt"), QByteArray("{\"items\": []}"));
        QCOMPARE(TestFiles::read(layout), QByteArray("{\"items\": []}"));
        QCOMPARE(TestFiles::read(f.root + "/Bad/a.jpg"), QByteArray("A"));
        QCOMPARE(TestFiles::tree(f.root).filter(".corrupt"), QStringList({"Bad/collage.json.corrupt"}));

        QVERIFY(TestFiles::write(layout, "still broken"));
        QCOMPARE(names(f.store.load()), found);
        QCOMPARE(TestFiles::read(layout + ".corrupt"), QByteArray("still broken"));
    }

    // A save rewrites only the layouts that changed, and leaves the other files alone.
    void saveAndLoadRoundTrip()
    {
        Fixture f;
        const Library library({collage("Paris: day 1", {photo("a.jpg"), photo("b.jpg")}), collage("Home")}, {});
        QVERIFY(f.store.save(library).ok());
        QVERIFY(TestFiles::write(f.root + "/Home/unused.jpg", "keep"));
        const ino_t paris = inode(f.root + "/Paris- day 1/collage.json"), home = inode(f.root + "/Home/collage.json");
        Library loaded = f.store.load();
        QCOMPARE(names(loaded), QStringList({"Home", "Paris- day 1"}));
        QCOMPARE(loaded.collages().at(1).model, library.collages().at(0).model);
        loaded.updateActive(CollageModel({photo("c.jpg")}));
        QVERIFY(f.store.save(loaded).ok());
        QCOMPARE(inode(f.root + "/Paris- day 1/collage.json"), paris);
        QVERIFY(inode(f.root + "/Home/collage.json") != home);
        QCOMPARE(layoutAt(f.root + "/Home/collage.json"), loaded.active().model.items());
        QVERIFY(TestFiles::read(f.root + "/Home/collage.json").contains("\n    "));
        QCOMPARE(TestFiles::read(f.root + "/Home/unused.jpg"), QByteArray("keep"));
        QCOMPARE(f.store.collageDir("Paris: day 1"), f.root + "/Paris- day 1");
    }

    // Each collage's folder is where its name leads, and stays its own after a save. A folder
    // name ending in '/' has no layout.
    void foldersNamedByHandTakeTheirSanitisedName()
    {
        const std::pair<QStringList, QStringList> rows[] = {{{"Trip: Rome"}, {"Trip- Rome"}}, {{" Trip "}, {"Trip"}},
            {{"a\\b"}, {"a-b"}}, {{"a:b", "a-b"}, {"a-b", "a-b-2"}}, {{"x:y", "x-y/"}, {"x-y-2"}}};
        for (const auto &[folders, expected] : rows) {
            Fixture f;
            for (const QString &folder : folders) {
                if (folder.endsWith('/'))
                    QVERIFY(TestFiles::makeDir(f.root + '/' + folder));
                else
                    QVERIFY(f.addCollage(folder, {photo(folder + ".jpg")}));
            }
            StderrCapture log;
            const Library library = f.store.load();
            const QByteArray lines = log.take();
            QCOMPARE(names(library), expected);
            QCOMPARE(lines.count("renamed the collage folder"), folders.filter(QRegularExpression("[:\\\\ ]")).size());
            for (const Collage &c : library.collages())
                QCOMPARE(layoutAt(f.store.collageDir(c.name) + "/collage.json"), c.model.items());
            QVERIFY(f.store.save(library).ok());
            QCOMPARE(names(f.store.load()), expected);
        }
    }

    void collagesThatCannotBeWrittenDoNotStopTheOthers()
    {
        Fixture f;
        PhotoItem broken = photo("a.jpg");
        broken.center.setX(std::numeric_limits<double>::infinity());
        QVERIFY(f.addCollage("Broken", {photo("before.jpg")}));
        QVERIFY(TestFiles::write(f.root + "/Blocked", "a file where a folder should be"));
        const Library library(
            {collage("First", {photo("1.jpg")}), collage("Broken", {broken}), collage("Blocked"), collage("Last", {photo("2.jpg")})}, {});

        const Status saved = f.store.save(library);
        QVERIFY(!saved.ok());
        QVERIFY(saved.error().message.contains("Broken"));
        QCOMPARE(layoutAt(f.root + "/First/collage.json"), library.collages().at(0).model.items());
        QCOMPARE(layoutAt(f.root + "/Last/collage.json"), library.collages().at(3).model.items());
        // The collage that could not be encoded keeps its previous layout.
        QCOMPARE(layoutAt(f.root + "/Broken/collage.json").first().imageFileName, QStringLiteral("before.jpg"));
        QCOMPARE(TestFiles::read(f.root + "/Blocked"), QByteArray("a file where a folder should be"));
        QVERIFY(!f.store.save(Library({collage("Blocked")}, {})).ok());

        // Names that sanitise alike never share a folder.
        Fixture alike;
        QVERIFY(alike.addCollage("A-B", {photo("kept.jpg")}));
        const Library clashing({collage("A/B", {photo("first.jpg")}), collage("A:B", {photo("second.jpg")})}, {});
        const Status clashed = alike.store.save(clashing);
        QVERIFY(!clashed.ok());
        QVERIFY(clashed.error().message.contains("A:B"));
        QCOMPARE(TestFiles::tree(alike.root), QStringList({"A-B", "A-B/collage.json"}));
        QCOMPARE(layoutAt(alike.root + "/A-B/collage.json"), clashing.collages().at(0).model.items());

        // A save stays inside the root.
        Fixture inside;
        const QString outside = inside.sandbox.path("outside");
        QVERIFY(TestFiles::write(outside + "/collage.json", "not ours"));
        QVERIFY(TestFiles::makeDir(inside.root));
        QVERIFY(QFile::link(outside, inside.root + "/Linked"));
        QVERIFY(TestFiles::makeDir(inside.root + "/LinkedFile"));
        QVERIFY(QFile::link(outside + "/collage.json", inside.root + "/LinkedFile/collage.json"));

        const QString longName(400, QChar(u'n'));
        const Library escaping({collage(".."), collage("../../escape"), collage("."), collage("Linked"),
                               collage("LinkedFile"), collage(longName), collage("Fine")},
                              {});
        QVERIFY(!inside.store.save(escaping).ok());
        // The linked ones are refused, each with an error of its own.
        for (const char *linked : {"Linked", "LinkedFile"})
            QVERIFY(!inside.store.save(Library({collage(linked)}, {})).ok());
        QCOMPARE(TestFiles::read(outside + "/collage.json"), QByteArray("not ours"));
        QCOMPARE(TestFiles::entries(outside), QStringList({"collage.json"}));
        QCOMPARE(TestFiles::entries(inside.sandbox.path()), QStringList({"cache", "config", "data", "home", "outside", "root", "tmp"}));
        for (const QString &name : {QStringLiteral("Untitled"), QStringLiteral("-..-escape"), QStringLiteral("Fine"),
                                    FileNames::sanitize(longName)})
            QVERIFY2(QFileInfo::exists(inside.root + '/' + name + "/collage.json"), qPrintable(name));
    }

    // The root in Pictures; the legacy files in the application folder, which is made but
    // gains no file; an older root is moved there once. A save fails where the root cannot be made.
    void standardStore()
    {
        Sandbox sandbox;
        QVERIFY(TestFiles::write(sandbox.path("file"), "x"));
        const FolderLibraryStore blocked(sandbox.path("file/root"), std::nullopt, std::nullopt);
        QVERIFY(!blocked.save(Library({collage("Trip")}, {})).ok());
        QVERIFY(isFresh(blocked.load())); // only in memory
        QCOMPARE(TestFiles::read(sandbox.path("file")), QByteArray("x"));
        // The root's older name is moved once.
        const QString old = sandbox.pictures() + "/Veloran";
        QVERIFY(TestFiles::write(old + "/Trip/collage.json", "{\"photos\": []}"));
        QVERIFY(TestFiles::write(old + "/Trip/a.jpg", "jpeg"));
        QVERIFY(TestFiles::write(old + "/.hidden", "h"));
        const QString root = Paths::picturesLibraryRoot().value();
        QCOMPARE(TestFiles::tree(root), QStringList({".hidden", "Trip", "Trip/a.jpg", "Trip/collage.json"}));
        QCOMPARE(TestFiles::read(root + "/Trip/a.jpg"), QByteArray("jpeg"));
        QVERIFY(!QFileInfo::exists(old));
        // Once the root exists the older name is never looked at again.
        QVERIFY(TestFiles::write(old + "/Later/collage.json", "{}"));
        QVERIFY(Paths::picturesLibraryRoot().ok());
        QCOMPARE(TestFiles::tree(old), QStringList({"Later", "Later/collage.json"}));
        QVERIFY(!QFileInfo::exists(root + "/Later"));
        FolderLibraryStore store = FolderLibraryStore::standard();
        QCOMPARE(store.root(), sandbox.pictures() + "/Veloran.collagelibrary");
        QCOMPARE(store.legacyStore().value().fileURL(), sandbox.appSupport() + "/library.json");
        QCOMPARE(store.legacyStore()->legacyModelURL().value(), sandbox.appSupport() + "/collage.json");
        QCOMPARE(store.legacyPhotoDir().value(), sandbox.appSupport() + "/Library");
        QCOMPARE(TestFiles::tree(sandbox.appSupport()), QStringList({"Library"}));
        // Where Pictures and the application folder are files, a temporary root and no legacy
        // files; the files stay as they were.
        QVERIFY(QDir(sandbox.pictures()).removeRecursively() && QDir(sandbox.appSupport()).removeRecursively());
        QVERIFY(TestFiles::write(sandbox.pictures(), "x") && TestFiles::write(sandbox.appSupport(), "y"));
        store = FolderLibraryStore::standard();
        QCOMPARE(store.root(), sandbox.temp() + "/Veloran");
        QVERIFY(!store.legacyStore() && !store.legacyPhotoDir());
        QCOMPARE(TestFiles::read(sandbox.pictures()) + TestFiles::read(sandbox.appSupport()), QByteArray("xy"));
        // A file that carries the older name is left alone.
        Sandbox other;
        QVERIFY(TestFiles::write(other.pictures() + "/Veloran", "my own file"));
        QVERIFY(Paths::picturesLibraryRoot().ok());
        QCOMPARE(TestFiles::read(other.pictures() + "/Veloran"), QByteArray("my own file"));
    }
};

QTEST_GUILESS_MAIN(TestFolderStore)
#include "tst_folderstore.moc"
