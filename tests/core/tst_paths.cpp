#include "core/Paths.h"

#include "support/Sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class TestPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appSupportFolders()
    {
        Sandbox sandbox;
        QVERIFY(sandbox.isValid());
        QVERIFY(QDir(sandbox.dataHome()).removeRecursively());

        const Expected<QString> collage = Paths::collageFile();
        QVERIFY(collage.ok());
        QCOMPARE(*collage, sandbox.appSupport() + "/collage.json");
        QVERIFY(QFileInfo(sandbox.appSupport()).isDir());
        QVERIFY(!QFileInfo::exists(*collage));

        const Expected<QString> library = Paths::libraryFile();
        QVERIFY(library.ok());
        QCOMPARE(*library, sandbox.appSupport() + "/library.json");
        QVERIFY(!QFileInfo::exists(*library));
        QVERIFY(!QFileInfo::exists(sandbox.appSupport() + "/Library"));

        const Expected<QString> photos = Paths::libraryDir();
        QVERIFY(photos.ok());
        QCOMPARE(*photos, sandbox.appSupport() + "/Library");
        QVERIFY(QFileInfo(*photos).isDir());
        QCOMPARE(Paths::appSupportDir().value(), sandbox.appSupport());
    }

    void appSupportFailsWhenItCannotBeCreated()
    {
        Sandbox sandbox;
        QVERIFY(TestFiles::write(sandbox.appSupport(), "not a folder"));
        QVERIFY(!Paths::appSupportDir().ok());
        QVERIFY(!Paths::libraryDir().ok());
        QVERIFY(!Paths::collageFile().ok());
        QVERIFY(!Paths::libraryFile().ok());
        QVERIFY(!Paths::appSupportDir().error().message.isEmpty());
        QCOMPARE(TestFiles::read(sandbox.appSupport()), QByteArray("not a folder"));
    }

    void picturesRootIsCreated()
    {
        Sandbox sandbox;
        QVERIFY(!QFileInfo::exists(sandbox.pictures()));
        const Expected<QString> root = Paths::picturesLibraryRoot();
        QVERIFY(root.ok());
        QCOMPARE(*root, sandbox.pictures() + "/Veloran.collagelibrary");
        QVERIFY(QFileInfo(*root).isDir());
    }

    void picturesRootFailsWhenPicturesIsAFile()
    {
        Sandbox sandbox;
        QVERIFY(TestFiles::write(sandbox.pictures(), "x"));
        QVERIFY(!Paths::picturesLibraryRoot().ok());
        QCOMPARE(TestFiles::read(sandbox.pictures()), QByteArray("x"));
    }

    void olderRootIsMovedOnce()
    {
        Sandbox sandbox;
        const QString old = sandbox.pictures() + "/Veloran";
        QVERIFY(TestFiles::write(old + "/Trip/collage.json", "{\"photos\": []}"));
        QVERIFY(TestFiles::write(old + "/Trip/a.jpg", "jpeg"));
        QVERIFY(TestFiles::write(old + "/.hidden", "h"));

        const Expected<QString> root = Paths::picturesLibraryRoot();
        QVERIFY(root.ok());
        QCOMPARE(TestFiles::tree(*root),
                 QStringList({".hidden", "Trip", "Trip/a.jpg", "Trip/collage.json"}));
        QCOMPARE(TestFiles::read(*root + "/Trip/a.jpg"), QByteArray("jpeg"));
        QVERIFY(!QFileInfo::exists(old));

        // Once the root exists the older name is never looked at again.
        QVERIFY(TestFiles::write(old + "/Later/collage.json", "{}"));
        QVERIFY(Paths::picturesLibraryRoot().ok());
        QVERIFY(QFileInfo::exists(old + "/Later/collage.json"));
        QVERIFY(!QFileInfo::exists(*root + "/Later"));
    }

    void olderRootIsLeftAloneWhenBothExist()
    {
        Sandbox sandbox;
        const QString old = sandbox.pictures() + "/Veloran";
        QVERIFY(TestFiles::write(old + "/Trip/collage.json", "old"));
        QVERIFY(TestFiles::makeDir(sandbox.pictures() + "/Veloran.collagelibrary"));

        const Expected<QString> root = Paths::picturesLibraryRoot();
        QVERIFY(root.ok());
        QVERIFY(TestFiles::entries(*root).isEmpty());
        QCOMPARE(TestFiles::read(old + "/Trip/collage.json"), QByteArray("old"));
    }

    void aFileWithTheOlderNameIsNotDeleted()
    {
        Sandbox sandbox;
        QVERIFY(TestFiles::write(sandbox.pictures() + "/Veloran", "my own file"));
        QVERIFY(Paths::picturesLibraryRoot().ok());
        QCOMPARE(TestFiles::read(sandbox.pictures() + "/Veloran"), QByteArray("my own file"));
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
