#include "core/CollageJson.h"
#include "core/FolderLibraryStore.h"
#include "core/LibraryStore.h"

#include "support/ModelFactory.h"
#include "support/Sandbox.h"

#include <QFileInfo>
#include <QTest>

#include <limits>

namespace {

PhotoItem photo(const QString &fileName)
{
    return ModelFactory::item(fileName, {100, 100}, {200, 150});
}

Collage collage(const QString &name, QList<PhotoItem> items = {})
{
    return Collage{QUuid::createUuid(), name, CollageModel(std::move(items))};
}

QByteArray libraryBytes(const QList<Collage> &collages, QUuid activeID = {})
{
    if (activeID.isNull() && !collages.isEmpty())
        activeID = collages.first().id;
    return CollageJson::libraryToBytes(Library::decoded(collages, activeID)).value();
}

QByteArray modelBytes(const QList<PhotoItem> &items)
{
    return CollageJson::modelToBytes(CollageModel(items)).value();
}

QStringList names(const Library &library)
{
    QStringList result;
    for (const Collage &c : library.collages())
        result.append(c.name);
    return result;
}

bool isFreshLibrary(const Library &library)
{
    return library.collages().size() == 1 && library.active().name == QStringLiteral("My Collage")
        && library.active().model.isEmpty();
}

// The application-support folder with its legacy files, and a library root, in a sandbox.
struct Legacy {
    Sandbox sandbox;
    QString appSupport = sandbox.appSupport();
    QString libraryFile = appSupport + "/library.json";
    QString collageFile = appSupport + "/collage.json";
    QString photos = appSupport + "/Library";
    QString root = sandbox.pictures() + "/Veloran.collagelibrary";

    LibraryStore libraryStore() const { return LibraryStore(libraryFile, collageFile); }
    FolderLibraryStore folderStore() const { return FolderLibraryStore(root, libraryStore(), photos); }
};

} // namespace

class TestLegacyStores : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // LibraryStore

    void libraryStoreReturnsTheFileAsDecoded()
    {
        Legacy legacy;
        const Collage trip = collage("Trip", {photo("a.jpg")});
        const Collage home = collage("Home");
        const QUuid unknown = QUuid::createUuid();
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({trip, home}, unknown)));
        QVERIFY(TestFiles::write(legacy.collageFile, modelBytes({photo("old.jpg")})));

        const Library library = legacy.libraryStore().load();
        QCOMPARE(library.collages(), QList<Collage>({trip, home}));
        QCOMPARE(library.activeID(), unknown);

        // An empty list stays empty: nothing is made up for it.
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({}, unknown)));
        QVERIFY(legacy.libraryStore().load().collages().isEmpty());
    }

    void undecodableLibraryFileIsBackedUp()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.libraryFile, "{not json"));
        QVERIFY(TestFiles::write(legacy.libraryFile + ".corrupt", "older backup"));
        QVERIFY(TestFiles::write(legacy.collageFile, modelBytes({photo("old.jpg")})));

        const Library library = legacy.libraryStore().load();
        QVERIFY(isFreshLibrary(library)); // the oldest file is not consulted
        QCOMPARE(TestFiles::read(legacy.libraryFile + ".corrupt"), QByteArray("{not json"));
        QCOMPARE(TestFiles::read(legacy.libraryFile), QByteArray("{not json"));
    }

    void libraryStoreFallsBackToTheOldestFile()
    {
        Legacy legacy;
        const QList<PhotoItem> items{photo("a.jpg"), photo("b.jpg")};
        QVERIFY(TestFiles::write(legacy.collageFile, modelBytes(items)));
        Library library = legacy.libraryStore().load();
        QCOMPARE(library.collages().size(), 1);
        QCOMPARE(library.active().name, QStringLiteral("My Collage"));
        QCOMPARE(library.active().model.items(), items);

        // An unreadable library file counts as absent.
        QVERIFY(TestFiles::makeDir(legacy.libraryFile));
        QCOMPARE(legacy.libraryStore().load().active().model.items(), items);

        // An undecodable oldest file gives the fresh library and no backup.
        QVERIFY(TestFiles::write(legacy.collageFile, "[]"));
        QVERIFY(isFreshLibrary(legacy.libraryStore().load()));
        QVERIFY(!QFileInfo::exists(legacy.collageFile + ".corrupt"));

        QVERIFY(isFreshLibrary(LibraryStore(legacy.appSupport + "/none.json", std::nullopt).load()));
    }

    void libraryStoreSave()
    {
        Legacy legacy;
        const Library library = Library::single(CollageModel({photo("a.jpg")}), "Trip");
        QVERIFY(TestFiles::makeDir(legacy.appSupport));
        QVERIFY(legacy.libraryStore().save(library).ok());
        QVERIFY(!TestFiles::read(legacy.libraryFile).contains('\n'));
        QCOMPARE(legacy.libraryStore().load(), library);

        // The folder is not created for it.
        const LibraryStore elsewhere(legacy.sandbox.path("missing/library.json"), std::nullopt);
        QVERIFY(!elsewhere.save(library).ok());
        QVERIFY(!QFileInfo::exists(legacy.sandbox.path("missing")));
    }

    // Store

    void storeLoadsAndLogs()
    {
        Legacy legacy;
        QVERIFY(TestFiles::makeDir(legacy.appSupport));
        const Store store(legacy.collageFile);
        {
            StderrCapture capture;
            const Expected<CollageModel> model = store.load();
            QVERIFY(model.ok() && model->isEmpty());
            QCOMPARE(capture.take(), QByteArray("[store] INFO: no collage file yet, starting empty\n"));
        }
        const QList<PhotoItem> items{photo("a.jpg"), photo("b.jpg"), photo("c.jpg")};
        {
            StderrCapture capture;
            QVERIFY(store.save(CollageModel(items)).ok());
            QCOMPARE(capture.take(), QByteArray("[store] DEBUG: saved 3 items to collage.json\n"));
        }
        QVERIFY(!TestFiles::read(legacy.collageFile).contains('\n'));
        {
            StderrCapture capture;
            const Expected<CollageModel> model = store.load();
            QVERIFY(model.ok());
            QCOMPARE(model->items(), items);
            QCOMPARE(capture.take(), QByteArray("[store] INFO: loaded 3 items\n"));
        }
    }

    void storeBacksUpAnUndecodableFile()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.collageFile, "[]"));
        StderrCapture capture;
        const Expected<CollageModel> model = Store(legacy.collageFile).load();
        QVERIFY(model.ok() && model->isEmpty());
        QCOMPARE(capture.take(), QByteArray("[store] ERROR: corrupt collage file, backed up to "
                                            "collage.json.corrupt; starting empty\n"));
        QCOMPARE(TestFiles::read(legacy.collageFile + ".corrupt"), QByteArray("[]"));
        QCOMPARE(TestFiles::read(legacy.collageFile), QByteArray("[]"));
    }

    void storeReportsReadAndWriteFailures()
    {
        Legacy legacy;
        QVERIFY(TestFiles::makeDir(legacy.collageFile));
        StderrCapture capture;
        QVERIFY(!Store(legacy.collageFile).load().ok());

        const QString file = legacy.appSupport + "/model.json";
        QVERIFY(TestFiles::write(file, "keep"));
        PhotoItem broken = photo("a.jpg");
        broken.rotation = std::numeric_limits<double>::quiet_NaN();
        QVERIFY(!Store(file).save(CollageModel({broken})).ok());
        QCOMPARE(TestFiles::read(file), QByteArray("keep"));
        QCOMPARE(capture.take(), QByteArray()); // failures are the caller's to log
    }

    // Migration into the folder store

    void migrationCopiesCollagesAndPhotos()
    {
        Legacy legacy;
        const Collage first = collage("Trip", {photo("a.jpg"), photo("missing.jpg")});
        const Collage second = collage("Trip", {photo("b.jpg"), photo("a.jpg")});
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({first, second})));
        QVERIFY(TestFiles::write(legacy.photos + "/a.jpg", "A"));
        QVERIFY(TestFiles::write(legacy.photos + "/b.jpg", "B"));

        const Library library = legacy.folderStore().load();
        QCOMPARE(names(library), QStringList({"Trip", "Trip-2"}));
        QCOMPARE(library.collages().at(0).model.items(), first.model.items());
        QCOMPARE(library.collages().at(1).model.items(), second.model.items());
        QCOMPARE(TestFiles::tree(legacy.root),
                 QStringList({"Trip", "Trip-2", "Trip-2/a.jpg", "Trip-2/b.jpg", "Trip-2/collage.json",
                              "Trip/a.jpg", "Trip/collage.json"}));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip-2/b.jpg"), QByteArray("B"));

        // The legacy data stay where they were.
        QCOMPARE(TestFiles::entries(legacy.photos), QStringList({"a.jpg", "b.jpg"}));
        QVERIFY(QFileInfo::exists(legacy.libraryFile));

        // With collages in the root, nothing is migrated again.
        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip", "Trip-2"}));
    }

    void migrationNeverLandsInAnExistingFolder()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.root + "/Trip/a.jpg", "theirs"));
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({collage("Trip", {photo("a.jpg")})})));
        QVERIFY(TestFiles::write(legacy.photos + "/a.jpg", "mine"));

        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip-2"}));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip/a.jpg"), QByteArray("theirs"));
        QCOMPARE(TestFiles::entries(legacy.root + "/Trip"), QStringList({"a.jpg"}));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip-2/a.jpg"), QByteArray("mine"));
    }

    void migrationNeverCopiesUnsafeNames()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.sandbox.path("secret.jpg"), "secret"));
        QVERIFY(TestFiles::write(legacy.appSupport + "/Library.jpg", "beside"));
        const QList<PhotoItem> items{photo("../../../secret.jpg"), photo(legacy.sandbox.path("secret.jpg")),
                                     photo(".."), photo(""), photo("../Library.jpg"), photo("ok.jpg")};
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({collage("Trip", items)})));
        QVERIFY(TestFiles::write(legacy.photos + "/ok.jpg", "ok"));
        QVERIFY(TestFiles::makeDir(legacy.root));
        const QStringList before = TestFiles::tree(legacy.sandbox.path());

        const Library library = legacy.folderStore().load();
        QCOMPARE(library.active().model.items(), items); // no item is dropped
        QCOMPARE(TestFiles::entries(legacy.root + "/Trip"), QStringList({"collage.json", "ok.jpg"}));
        QStringList after = TestFiles::tree(legacy.sandbox.path());
        for (const char *entry : {"home/Pictures/Veloran.collagelibrary/Trip",
                                     "home/Pictures/Veloran.collagelibrary/Trip/collage.json",
                                     "home/Pictures/Veloran.collagelibrary/Trip/ok.jpg"})
            after.removeOne(entry);
        QCOMPARE(after, before);
    }

    void undecodableLibraryFileMigratesAFreshCollage()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.libraryFile, "garbage"));
        const Library library = legacy.folderStore().load();
        QCOMPARE(names(library), QStringList({"My Collage"}));
        QVERIFY(library.active().model.isEmpty());
        QCOMPARE(TestFiles::read(legacy.libraryFile + ".corrupt"), QByteArray("garbage"));
        QVERIFY(QFileInfo::exists(legacy.root + "/My Collage/collage.json"));
    }

    void nothingToMigrate()
    {
        // Only the oldest file: no migration, a fresh start.
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.collageFile, modelBytes({photo("a.jpg")})));
        QVERIFY(TestFiles::write(legacy.photos + "/a.jpg", "A"));
        const Library library = legacy.folderStore().load();
        QVERIFY(isFreshLibrary(library));
        QCOMPARE(TestFiles::tree(legacy.root), QStringList({"My Collage", "My Collage/collage.json"}));

        // A library file whose collage list is empty migrates nothing.
        Legacy empty;
        QVERIFY(TestFiles::write(empty.libraryFile, libraryBytes({}, QUuid::createUuid())));
        QVERIFY(isFreshLibrary(empty.folderStore().load()));
        QCOMPARE(TestFiles::tree(empty.root), QStringList({"My Collage", "My Collage/collage.json"}));

        // Without a legacy store or photo folder there is nothing to migrate from.
        Legacy partial;
        QVERIFY(TestFiles::write(partial.libraryFile, libraryBytes({collage("Trip")})));
        QVERIFY(isFreshLibrary(FolderLibraryStore(partial.root, partial.libraryStore(), std::nullopt).load()));
        QVERIFY(TestFiles::makeDir(partial.root + "/unused"));
        QVERIFY(isFreshLibrary(FolderLibraryStore(partial.root, std::nullopt, partial.photos).load()));
    }

    void migrationRunsAgainOnceEveryCollageIsGone()
    {
        Legacy legacy;
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({collage("Trip")})));
        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip"}));
        QVERIFY(QFile::remove(legacy.root + "/Trip/collage.json"));
        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip-2"}));
    }
};

QTEST_GUILESS_MAIN(TestLegacyStores)
#include "tst_legacystores.moc"
