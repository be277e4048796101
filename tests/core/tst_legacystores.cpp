#include "core/CollageJson.h"
#include "core/FolderLibraryStore.h"

#include "support/ModelFactory.h"
#include "support/Sandbox.h"

#include <QFileInfo>
#include <QTest>

using namespace ModelFactory;

namespace {

QByteArray libraryBytes(const QList<Collage> &collages)
{
    return CollageJson::libraryToBytes(Library::decoded(collages, QUuid::createUuid())).value();
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
    void libraryStoreFallsBackAndNothingToMigrate()
    {
        Legacy legacy;
        const QList<PhotoItem> items{photo("a.jpg"), photo("b.jpg")};
        QVERIFY(TestFiles::write(legacy.collageFile, CollageJson::modelToBytes(CollageModel(items)).value()));
        QVERIFY(TestFiles::makeDir(legacy.libraryFile)); // unreadable, so as good as absent
        const Library library = legacy.libraryStore().load();
        QCOMPARE(names(library), QStringList({"My Collage"}));
        QCOMPARE(library.active().model.items(), items);
        // An undecodable library file is backed up, and then the oldest file is not consulted.
        QVERIFY(QDir(legacy.libraryFile).removeRecursively());
        QVERIFY(TestFiles::write(legacy.libraryFile, "{not json"));
        QVERIFY(TestFiles::write(legacy.libraryFile + ".corrupt", "older backup"));
        QVERIFY(isFresh(legacy.libraryStore().load()));
        QCOMPARE(TestFiles::read(legacy.libraryFile + ".corrupt"), QByteArray("{not json"));
        QCOMPARE(TestFiles::read(legacy.libraryFile), QByteArray("{not json"));
        // An undecodable oldest file gives the fresh library and no backup.
        QVERIFY(QFile::remove(legacy.libraryFile));
        QVERIFY(TestFiles::write(legacy.collageFile, "[]"));
        QVERIFY(isFresh(legacy.libraryStore().load()));
        QVERIFY(!QFileInfo::exists(legacy.collageFile + ".corrupt"));

        const auto startsFresh = [](const FolderLibraryStore &store) {
            return isFresh(store.load())
                && TestFiles::tree(store.root()) == QStringList({"My Collage", "My Collage/collage.json"});
        };
        // Only the oldest file: no migration, a fresh start.
        Legacy oldest;
        QVERIFY(TestFiles::write(oldest.collageFile, CollageJson::modelToBytes(CollageModel({photo("a.jpg")})).value()));
        QVERIFY(TestFiles::write(oldest.photos + "/a.jpg", "A"));
        QVERIFY(startsFresh(oldest.folderStore()));
        // A library file whose collage list is empty migrates nothing, nor does an undecodable one.
        Legacy empty, garbage;
        QVERIFY(TestFiles::write(empty.libraryFile, libraryBytes({})));
        QVERIFY(startsFresh(empty.folderStore()));
        QVERIFY(TestFiles::write(garbage.libraryFile, "garbage"));
        QVERIFY(startsFresh(garbage.folderStore()));
        QCOMPARE(TestFiles::read(garbage.libraryFile + ".corrupt"), QByteArray("garbage"));
        // Without a legacy store or photo folder there is nothing to migrate from.
        Legacy partial;
        QVERIFY(TestFiles::write(partial.libraryFile, libraryBytes({collage("Trip")})));
        QVERIFY(startsFresh(FolderLibraryStore(partial.root, partial.libraryStore(), std::nullopt)));
        QVERIFY(startsFresh(FolderLibraryStore(partial.sandbox.path("other"), std::nullopt, partial.photos)));
    }

    void migrationCopiesCollagesAndPhotosButNeverUnsafeNames()
    {
        Legacy legacy;
        const Collage first = collage("Trip", {photo("a.jpg"), photo("missing.jpg")});
        const Collage second = collage("Trip", {photo("b.jpg"), photo("a.jpg")});
        QVERIFY(TestFiles::write(legacy.libraryFile, libraryBytes({first, second})));
        QVERIFY(TestFiles::write(legacy.photos + "/a.jpg", "A"));
        QVERIFY(TestFiles::write(legacy.photos + "/b.jpg", "B"));
        QVERIFY(TestFiles::write(legacy.root + "/Trip/a.jpg", "theirs")); // a folder, but no collage

        const Library library = legacy.folderStore().load();
        QCOMPARE(names(library), QStringList({"Trip-2", "Trip-3"}));
        QCOMPARE(library.collages().at(0).model, first.model);
        QCOMPARE(library.collages().at(1).model, second.model);
        QCOMPARE(TestFiles::tree(legacy.root),
                 QStringList({"Trip", "Trip-2", "Trip-2/a.jpg", "Trip-2/collage.json", "Trip-3", "Trip-3/a.jpg",
                              "Trip-3/b.jpg", "Trip-3/collage.json", "Trip/a.jpg"}));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip/a.jpg"), QByteArray("theirs"));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip-2/a.jpg"), QByteArray("A"));
        QCOMPARE(TestFiles::read(legacy.root + "/Trip-3/b.jpg"), QByteArray("B"));
        // The legacy data stay where they were; with collages in the root nothing is migrated
        // again, until every one of them is gone.
        QCOMPARE(TestFiles::entries(legacy.photos), QStringList({"a.jpg", "b.jpg"}));
        QVERIFY(QFileInfo::exists(legacy.libraryFile));
        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip-2", "Trip-3"}));
        QVERIFY(QFile::remove(legacy.root + "/Trip-2/collage.json") && QFile::remove(legacy.root + "/Trip-3/collage.json"));
        QCOMPARE(names(legacy.folderStore().load()), QStringList({"Trip-4", "Trip-5"}));

        Legacy unsafe;
        QVERIFY(TestFiles::write(unsafe.sandbox.path("secret.jpg"), "secret"));
        QVERIFY(TestFiles::write(unsafe.appSupport + "/Library.jpg", "beside"));
        const QList<PhotoItem> items{photo("../../../secret.jpg"), photo(unsafe.sandbox.path("secret.jpg")),
                                     photo(".."), photo(""), photo("../Library.jpg"), photo("ok.jpg")};
        QVERIFY(TestFiles::write(unsafe.libraryFile, libraryBytes({collage("Trip", items)})));
        QVERIFY(TestFiles::write(unsafe.photos + "/ok.jpg", "ok"));
        QVERIFY(TestFiles::makeDir(unsafe.root));
        const QStringList before = TestFiles::tree(unsafe.sandbox.path());

        const Library migrated = unsafe.folderStore().load();
        QCOMPARE(migrated.active().model.items(), items); // no item is dropped
        // Only the collage's own folder, its layout and the safe photo are new.
        const QString trip = QStringLiteral("home/Pictures/Veloran.collagelibrary/Trip");
        QStringList expected = before + QStringList{trip, trip + "/collage.json", trip + "/ok.jpg"};
        expected.sort();
        QCOMPARE(TestFiles::tree(unsafe.sandbox.path()), expected);
    }

};

QTEST_GUILESS_MAIN(TestLegacyStores)
#include "tst_legacystores.moc"
