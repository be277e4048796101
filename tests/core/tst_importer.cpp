#include "core/ImageImporter.h"

#include "support/Sandbox.h"

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
    // Failures write nothing; a photo is copied into the collage folder under a safe name.
    void copiesIntoTheCollageFolderUnderASafeName()
    {
        Fixture f;
        for (const char *name : {"README", "notes.txt", "photo.", "album.jpg/photo"}) {
            const Expected<PhotoItem> failure = f.importer.importImage(f.source(name), {}, {});
            QVERIFY2(!failure.ok() && ImageImporter::isUnsupportedType(failure.error()), name);
        }
        QVERIFY(!QFileInfo::exists(f.collage));
        QVERIFY(TestFiles::makeDir(f.sources + "/folder.png"));
        QVERIFY(TestFiles::write(f.sandbox.path("root/File"), "x"));
        const QList<Expected<PhotoItem>> failed{f.importer.importImage(f.sources + "/gone.jpg", {}, {}),
                                                f.importer.importImage(f.sources + "/folder.png", {}, {}),
                                                ImageImporter(f.sandbox.path("root/File/Trip")).importImage(f.source("a.jpg"), {}, {})};
        for (const Expected<PhotoItem> &failure : failed)
            QVERIFY(!failure.ok() && !ImageImporter::isUnsupportedType(failure.error()));
        QVERIFY(TestFiles::entries(f.collage).isEmpty());
        QCOMPARE(TestFiles::read(f.sandbox.path("root/File")), QByteArray("x"));
        const QByteArray bytes("\x89PNG\r\n\x1a\n\0\xff binary", 17);
        const QString source = f.source("Holiday.JPG", bytes);
        const Expected<PhotoItem> item = f.importer.importImage(source, {10.5, -3}, {200, 150});
        QVERIFY(item.ok() && !item->id.isNull());
        QCOMPARE(*item, PhotoItem(item->id, QStringLiteral("Holiday.jpg"), {10.5, -3}, {200, 150}, 0.0,
                                  PhotoItem::fullCrop(), 0));
        QCOMPARE(TestFiles::read(f.collage + "/Holiday.jpg"), bytes);
        QCOMPARE(TestFiles::read(source), bytes);

        const Expected<PhotoItem> again = f.importer.importImage(source, {}, {});
        QVERIFY(again->id != item->id);
        QCOMPARE(again->imageFileName, QStringLiteral("Holiday-2.jpg"));
        QCOMPARE(TestFiles::read(f.collage + "/Holiday.jpg"), bytes);
        // Every supported extension, in lower case; the base name sanitised.
        const QStringList extensions{"jpg", "jpeg", "png", "heic", "heif", "gif", "tiff", "tif", "bmp", "webp"};
        QCOMPARE(ImageImporter::supportedExtensions().size(), extensions.size());
        for (const QString &ext : extensions)
            QCOMPARE(f.importedName(f.source("a." + ext.toUpper())), "a." + ext);
        QCOMPARE(f.importedName(f.source(".a:b.png")), QStringLiteral("a-b.png"));
        QCOMPARE(f.importedName(f.source("a.b.webp")), QStringLiteral("a.b.webp"));
        QCOMPARE(f.importedName(f.source(".png")), QStringLiteral("Untitled.png"));
    }
};

QTEST_GUILESS_MAIN(TestImporter)
#include "tst_importer.moc"
