#include "app/gallery/PhotoGalleryWindow.h"
#include "platform/fake/FakeImageDecoder.h"

#include "support/Sandbox.h"

#include <QDialogButtonBox>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestGallery : public QObject {
    Q_OBJECT
private:
    // Thumbnails are written after their windows are gone: all of them before the folder goes.
    struct GallerySandbox : Sandbox {
        ~GallerySandbox() { ThumbnailLoader::waitForCacheWrites(); }
    };

    // Real little images, each with its own modification time (days since 2020).
    static QString photo(const QString &path, int day = 0)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(16, 12, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(path);
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime(QDate(2020, 1, 1).addDays(day), QTime(12, 0)), QFileDevice::FileModificationTime);
        return path;
    }

    // Shown, with every photo listed and every capture date read.
    static std::unique_ptr<PhotoGalleryWindow> open(const Sandbox &sandbox, const ImageDecoder &decoder, int photos)
    {
        auto window = std::make_unique<PhotoGalleryWindow>(sandbox.pictures(), sandbox.pictures() + "/Library", decoder);
        QSignalSpy dates(&window->scanner(), &GalleryScanner::datesRead);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()) || !QTest::qWaitFor([&] { return !dates.isEmpty(); })
            || window->model().rowCount() != photos)
            return nullptr;
        return window;
    }

    static void click(PhotoGalleryWindow &window, int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = window.view()->visualRect(window.model().index(row));
        QTest::mouseClick(window.view()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

private Q_SLOTS:
    // Photos outside the library and hidden folders are listed, newest first, capture dates
    // before file times.
    void listsNewestFirstWithCaptureDatesBeforeFileTimes()
    {
        GallerySandbox sandbox;
        const QString tree = sandbox.path("tree");
        for (const char *name : {"a.jpg", "trip/b.PNG", "trip/deep/c.webp", ".cache/d.jpg", "trip/.e.jpg", "notes.txt",
                                 "Library/f.jpg", "trip/noext", "g.jpeg.txt"})
            QVERIFY(TestFiles::write(tree + '/' + name, "x"));
        QStringList found;
        GalleryScanner::walk(tree, tree + "/Library", [&](const GalleryPhoto &photo) {
            found.append(QDir(tree).relativeFilePath(photo.path));
            return true;
        });
        found.sort();
        QCOMPARE(found, (QStringList{"a.jpg", "trip/b.PNG", "trip/deep/c.webp"}));

        FakeImageDecoder decoder;
        const QString folder = sandbox.pictures();
        const QString old = photo(folder + "/old.jpg", 10), recent = photo(folder + "/recent.jpg", 40),
                      shot = photo(folder + "/shot.jpg", 1), scanned = photo(folder + "/sub/scan.png", 2);
        ImageMetadata original, tiffOnly;
        original.dateTimeOriginal = "2021:03:01 08:00:00";
        original.dateTime = "2019:01:01 00:00:00";
        tiffOnly.dateTime = "2020:01:20 00:00:00";
        decoder.addImage(shot, QImage(4, 4, QImage::Format_RGB32), original);
        decoder.addImage(scanned, QImage(4, 4, QImage::Format_RGB32), tiffOnly);

        ThumbnailLoader loader(decoder, ThumbnailCache(), ThumbnailCache::Flavor::normal);
        GalleryModel model(loader);
        GalleryScanner scanner(decoder);
        QSignalSpy dates(&scanner, &GalleryScanner::datesRead);
        connect(&scanner, &GalleryScanner::found, &model, &GalleryModel::addPhotos);
        scanner.start(folder, QString());
        QVERIFY(dates.wait());
        // First by file time alone.
        QCOMPARE(model.paths(), (QStringList{recent, old, scanned, shot}));
        const QPersistentModelIndex held = model.index(model.rowOf(old));
        model.setCaptureTimes(dates.first().first().value<QHash<QString, qint64>>());
        QCOMPARE(model.paths(), (QStringList{shot, recent, scanned, old}));
        QCOMPARE(held.data(GalleryModel::PathRole).toString(), old);
    }

    void picksInTheOrderPickedLeavingOutVanishedFiles()
    {
        GallerySandbox sandbox;
        FakeImageDecoder decoder;
        QStringList files;
        for (int i = 0; i < 5; ++i)
            files.append(photo(sandbox.pictures() + QStringLiteral("/p%1.jpg").arg(i), 10 - i));
        const auto window = open(sandbox, decoder, 5);
        QVERIFY(window);
        QSignalSpy picked(window.get(), &PhotoGalleryWindow::photosPicked);
        QPushButton *add = nullptr;
        for (QPushButton *button : window->findChildren<QPushButton *>())
            add = button->isDefault() ? button : add;
        QVERIFY(add && add->text() == "Add" && !add->isEnabled());

        for (int row : {2, 0, 3})
            click(*window, row, Qt::ControlModifier);
        QCOMPARE(window->pickedPaths(), (QStringList{files[2], files[0], files[3]}));
        click(*window, 0, Qt::ControlModifier);
        QCOMPARE(window->pickedPaths(), (QStringList{files[2], files[3]}));
        click(*window, 4);
        click(*window, 1, Qt::ShiftModifier);
        QCOMPARE(window->pickedPaths(), (QStringList{files[4], files[1], files[2], files[3]}));
        QVERIFY(add->isEnabled());

        QVERIFY(QFile::remove(files[2]));
        StderrCapture log;
        QTest::keyClick(window->view(), Qt::Key_Return);
        QVERIFY(log.take().contains("[import] ERROR: photos pick 2 failed: no such file\n"));
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.first().first().toStringList(), (QStringList{files[4], files[1], files[3]}));
        QVERIFY(!window->isVisible());
    }

    // Escape, Cancel and closing give nothing; a double click gives that photo alone.
    void leavingTheWindow()
    {
        GallerySandbox sandbox;
        FakeImageDecoder decoder;
        photo(sandbox.pictures() + "/a.jpg", 2);
        const QString second = photo(sandbox.pictures() + "/b.jpg", 1);
        for (int way = 0; way < 4; ++way) {
            const auto window = open(sandbox, decoder, 2);
            QVERIFY(window);
            QSignalSpy picked(window.get(), &PhotoGalleryWindow::photosPicked);
            click(*window, 0);
            QCOMPARE(window->pickedPaths().size(), 1);
            if (way == 0) {
                QTest::keyClick(window->view(), Qt::Key_Escape);
            } else if (way == 1) {
                window->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
            } else if (way == 2) {
                window->close();
            } else { // as the window system sends it: a click, then the double click
                click(*window, 1, Qt::ControlModifier);
                const QPoint centre = window->view()->visualRect(window->model().index(1)).center();
                QTest::mouseDClick(window->view()->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
                QCOMPARE(window->pickedPaths().size(), 2);
            }
            QCOMPARE(picked.size(), 1);
            QCOMPARE(picked.first().first().toStringList(), way < 3 ? QStringList() : QStringList{second});
        }
    }
    void thumbnailsOnScreenOnlyThroughTheSharedCache()
    {
        GallerySandbox sandbox;
        FakeImageDecoder decoder;
        QStringList files;
        for (int i = 0; i < 60; ++i)
            files.append(photo(sandbox.pictures() + QStringLiteral("/p%1.png").arg(i, 2, 10, QLatin1Char('0')), 100 - i));
        const ThumbnailCache shared; // $XDG_CACHE_HOME/thumbnails
        for (int round = 0; round < 2; ++round) {
            const auto window = open(sandbox, decoder, 60);
            QVERIFY(window);
            QTRY_VERIFY(window->model().isThumbnailSettled(0) && window->loader().running() == 0);
            QVERIFY(ThumbnailLoader::waitForCacheWrites(5000));
            // Photos below the fold are neither decoded nor looked up.
            QVERIFY(!window->model().isThumbnailSettled(59));
            QVERIFY(!QFile::exists(shared.thumbnailPath(files[59], ThumbnailCache::Flavor::normal)));
            QVERIFY(QFile::exists(shared.thumbnailPath(files[0], ThumbnailCache::Flavor::normal)));
            QCOMPARE(window->model().data(window->model().index(0), Qt::DecorationRole).value<QPixmap>().size(),
                     QSize(16, 12));
            // The second time the cached thumbnail serves.
            QCOMPARE(decoder.decodeCount(files[0]), 1);
            QCOMPARE(decoder.decodeCount(files[59]), 0);
        }

        // Requests no longer wanted are skipped.
        const QString a = photo(sandbox.path("loose/a.jpg")), b = photo(sandbox.path("loose/b.jpg"));
        ThumbnailLoader loader(decoder, ThumbnailCache(), ThumbnailCache::Flavor::normal);
        QString away = b; // scrolled out of sight before its turn
        loader.setStillWanted([&](const QString &path) { return path != away; });
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        for (const QString &path : {a, b, a})
            loader.request(path);
        QTRY_VERIFY(loader.running() == 0 && loader.queued() == 0 && loaded.size() == 1);
        QCOMPARE(decoder.decodeCount(a), 1);
        QCOMPARE(decoder.decodeCount(b), 0);
        // Back in sight, asked again: made this time.
        away.clear();
        loader.request(b);
        QTRY_COMPARE(loaded.size(), 2);
        QCOMPARE(loaded.last().first().toString(), b);
        QCOMPARE(decoder.decodeCount(b), 1);
    }
};

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
