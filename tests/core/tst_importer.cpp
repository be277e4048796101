#include "core/FileNames.h"
#include "core/ImageImporter.h"

#include "support/Sandbox.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

struct Fixture {
    Sandbox sandbox;
    QString sources = sandbox.path("sources");
    QString collage = sandbox.path("root/Trip");
    ImageImporter importer{collage};

    QString source(const QString &name, const QByteArray &bytes = "image bytes")
    {
        const QString path = sources + '/' + name;
        return TestFiles::write(path, bytes) ? path : QString();
    }

    QString importedName(const QString &path)
    {
        const Expected<PhotoItem> item = importer.importImage(path, {1, 2}, {3, 4});
        return item ? item->imageFileName : QStringLiteral("error: ") + item.error().message;
    }
};

} // namespace

class TestImporter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesIntoTheCollageFolder()
    {
        Fixture f;
        const QByteArray bytes("\x89PNG\r\n\x1a\n\0\xff binary", 17);
        const QString source = f.source("Holiday.JPG", bytes);
        const Expected<PhotoItem> item = f.importer.importImage(source, {10.5, -3}, {200, 150});
        QVERIFY(item.ok());
        QCOMPARE(item->imageFileName, QStringLiteral("Holiday.jpg"));
        QCOMPARE(TestFiles::read(f.collage + "/Holiday.jpg"), bytes);
        QCOMPARE(TestFiles::read(source), bytes);
        QCOMPARE(item->center, QPointF(10.5, -3));
        QCOMPARE(item->size, QSizeF(200, 150));
        QCOMPARE(item->rotation, 0.0);
        QCOMPARE(item->cropRect, PhotoItem::fullCrop());
        QCOMPARE(item->zIndex, 0);
        QVERIFY(!item->caption);
        QVERIFY(!item->flipH && !item->flipV);
        QVERIFY(!item->id.isNull());

        const Expected<PhotoItem> again = f.importer.importImage(source, {}, {});
        QVERIFY(again.ok());
        QVERIFY(again->id != item->id);
        QCOMPARE(again->imageFileName, QStringLiteral("Holiday-2.jpg"));
        QCOMPARE(f.importedName(source), QStringLiteral("Holiday-3.jpg"));
        QCOMPARE(TestFiles::read(f.collage + "/Holiday.jpg"), bytes);
    }

    void names_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hidden") << ".hidden.png" << "hidden.png";
        QTest::newRow("colon") << "a:b.png" << "a-b.png";
        QTest::newRow("blank") << "   .jpg" << "Untitled.jpg";
        QTest::newRow("upper-case extension") << "scan.TIFF" << "scan.tiff";
        QTest::newRow("inner dots") << "a.b.webp" << "a.b.webp";
        QTest::newRow("extension only") << ".png" << "Untitled.png";
    }

    void names()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        Fixture f;
        QCOMPARE(f.importedName(f.source(source)), expected);
    }

    void similarNamesDoNotCollide()
    {
        Fixture f;
        QCOMPARE(f.importedName(f.source("photo.jpeg")), QStringLiteral("photo.jpeg"));
        QCOMPARE(f.importedName(f.source("photo.jpg")), QStringLiteral("photo.jpg"));
        // A folder or a dangling link under the name is taken as well.
        QVERIFY(TestFiles::makeDir(f.collage + "/x.png"));
        QVERIFY(QFile::link(f.sandbox.path("elsewhere.png"), f.collage + "/x-2.png"));
        QCOMPARE(f.importedName(f.source("x.png")), QStringLiteral("x-3.png"));
        QVERIFY(!QFileInfo::exists(f.sandbox.path("elsewhere.png")));
    }

    void supportedExtensions()
    {
        const QStringList extensions{"jpg", "jpeg", "png", "heic", "heif", "gif", "tiff", "tif", "bmp", "webp"};
        QCOMPARE(ImageImporter::supportedExtensions().size(), extensions.size());
        Fixture f;
        for (const QString &ext : extensions) {
            QCOMPARE(f.importedName(f.source("a." + ext.toUpper())), "a." + ext);
        }
    }

    void unsupportedTypesWriteNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("no extension") << "README";
        QTest::newRow("text") << "notes.txt";
        QTest::newRow("trailing dot") << "photo.";
        QTest::newRow("extension in the folder name") << "album.jpg/photo";
    }

    void unsupportedTypesWriteNothing()
    {
        QFETCH(QString, source);
        Fixture f;
        const Expected<PhotoItem> item = f.importer.importImage(f.source(source), {}, {});
        QVERIFY(!item.ok());
        QVERIFY(ImageImporter::isUnsupportedType(item.error()));
        QVERIFY(!QFileInfo::exists(f.collage));
    }

    void fileSystemFailures()
    {
        Fixture f;
        const Expected<PhotoItem> missing = f.importer.importImage(f.sources + "/gone.jpg", {}, {});
        QVERIFY(!missing.ok());
        QVERIFY(!ImageImporter::isUnsupportedType(missing.error()));
        QVERIFY(TestFiles::entries(f.collage).isEmpty());

        QVERIFY(TestFiles::makeDir(f.sources + "/folder.png"));
        QVERIFY(!f.importer.importImage(f.sources + "/folder.png", {}, {}).ok());
        QVERIFY(TestFiles::entries(f.collage).isEmpty());

        QVERIFY(TestFiles::write(f.sandbox.path("root/File"), "x"));
        const ImageImporter blocked(f.sandbox.path("root/File/Trip"));
        const Expected<PhotoItem> item = blocked.importImage(f.source("a.jpg"), {}, {});
        QVERIFY(!item.ok());
        QVERIFY(!ImageImporter::isUnsupportedType(item.error()));
    }

    void longNamesStillImport()
    {
        Fixture f;
        const QString name = QString(125, QChar(u'é')) + ".jpeg"; // 255 bytes: the counter must shorten it
        const QString first = f.importedName(f.source(name));
        const QString second = f.importedName(f.sources + '/' + name);
        QVERIFY2(first.endsWith(".jpeg") && second.endsWith("-2.jpeg"), qPrintable(first + " " + second));
        QCOMPARE(first, name);
        QVERIFY(second.toUtf8().size() <= FileNames::maxComponentBytes);
        QVERIFY(QFileInfo::exists(f.collage + '/' + second));
    }
};

QTEST_GUILESS_MAIN(TestImporter)
#include "tst_importer.moc"
