#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "app/import/ImportProgress.h"
#include "app/import/ImportSources.h"
#include "app/gallery/PhotoGalleryWindow.h"
#include "platform/fake/FakeGeocoder.h"
#include "platform/fake/FakeImageDecoder.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/PreferenceKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

// Photos reach a collage from the menu, the file panel, drops and the clipboard, each batch copied
// into its folder and added in one "Add Photos" step; place names follow when asked for.
class TestAddPhotos : public QObject {
    Q_OBJECT
private:
    static QString photo(ControllerFixture &f, const QString &name, const ImageMetadata &metadata = {})
    {
        const QString path = f.sandbox().path(QStringLiteral("in/") + name);
        if (!TestFiles::write(path, {}) || !QImage(40, 30, QImage::Format_RGB32).save(path, "PNG"))
            qFatal("cannot write %s", qPrintable(path));
        f.platform().fakes().images->addImage(path, QImage(40, 30, QImage::Format_RGB32), metadata);
        return path;
    }
    static ImageMetadata tagged(double latitude, double longitude)
    {
        ImageMetadata metadata;
        metadata.pixelSize = QSize(4000, 3000);
        metadata.dateTimeOriginal = QStringLiteral("2021:07:04 12:00:00");
        metadata.gpsLatitude = latitude;
        metadata.gpsLongitude = longitude;
        return metadata;
    }
    static QStringList captions(const CollageModel &model)
    {
        QStringList list;
        for (const PhotoItem &item : model.items())
            list << item.caption.value_or(QStringLiteral("-"));
        return list;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void aDropIsOneUndoableBatchOnTopOfEditsAndKeepsItsFolder()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {1});
        const QStringList files{photo(f, "a.png"), f.sandbox().path("in/notes.txt"), photo(f, "b.png")};
        QVERIFY(TestFiles::write(files[1], "text"));
        c.views()[0]->onDropImage(files, QPointF(5, 5));
        const CollageModel moved = nudged(c.library().collages()[0].model, 30);
        c.views()[0]->onEdit(moved, "Move"); // made while the files are copied: kept
        QTRY_VERIFY(!c.isImporting());

        const CollageModel model = c.library().collages()[0].model;
        QCOMPARE(model.items().size(), 3);
        QCOMPARE(model.items()[0], moved.items()[0]);
        QCOMPARE(c.views()[0]->model(), model);
        QVERIFY(QFile::exists(f.path("Trip/a.png")) && QFile::exists(f.path("Trip/b.png")));
        CollageHistory *history = c.undoManager("Trip");
        QCOMPARE(history->undoText(), QStringLiteral("Add Photos"));
        history->undo();
        QCOMPARE(c.library().collages()[0].model, moved);

        c.handleDrop({files[1]}, 0); // nothing importable: no step at all
        QTRY_VERIFY(!c.isImporting());
        QCOMPARE(history->undoText(), QStringLiteral("Move"));

        c.handleDrop({files[0], files[0], files[0]}, 0);
        QVERIFY(!c.renameCollage("Trip", "Rome")); // would strand the files still being copied
        c.deleteCollage("Trip");
        QVERIFY(c.library().findNamed("Trip"));
        QTRY_VERIFY(!c.isImporting());
        QTRY_COMPARE(c.library().findNamed("Trip")->model.items().size(), 4);
        QVERIFY(c.renameCollage("Trip", "Rome"));
        QCOMPARE(TestFiles::entries(f.path("Rome")).filter(QStringLiteral(".png")).size(), 5);
    }

    void aDropOnAScreenWithoutACollageMakesOne()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip"});
        c.handleDrop({photo(f, "a.png")}, 1);
        QTRY_VERIFY(!c.isImporting());
        const std::optional<Collage> made = c.collageOn(c.screens()[1]);
        QVERIFY(made && made->name != QStringLiteral("Trip"));
        QCOMPARE(made->model.items().size(), 1);
        QCOMPARE(c.collageOn(c.screens()[0])->model.items().size(), 0);
    }

    void theMenuTheFilePanelAndTheClipboard()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"});
        c.setEditing(true);
        auto *button = c.controlBars()[0]->findChild<QPushButton *>(QStringLiteral("Add Photos"));
        QVERIFY(button);
        button->click();
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QStringList titles;
        for (QAction *action : menu->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{"From Photos…", "From Files…"}));
        QVERIFY(!menu->actions()[0]->icon().isNull());
        // Under the button, 4 points down; the bar sits at the screen's foot, so Qt turns it up.
        const QPoint below = button->mapToGlobal(QPoint(0, button->height() + 4));
        QCOMPARE(menu->x(), below.x());
        QVERIFY(menu->y() == below.y() || menu->geometry().bottom() < button->mapToGlobal(QPoint(0, 0)).y());
        menu->close();

        const QString a = photo(f, "a.png"), b = photo(f, "b.png");
        f.platform().fakes().preferences->setValue(PreferenceKeys::lastPhotoFolder, QFileInfo(a).path());
        c.addPhotosFromFiles();
        auto *panel = qobject_cast<QFileDialog *>(c.filePanel());
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->directory().absolutePath(), QFileInfo(a).path());
        QCOMPARE(panel->fileMode(), QFileDialog::ExistingFiles);
        QCOMPARE(panel->parentWidget(), static_cast<QWidget *>(c.windows()[0]));
        panel->reject();
        QTRY_VERIFY(!c.filePanel());
        QCOMPARE(c.library().collages()[0].model.items().size(), 0);

        f.platform().fakes().preferences->setValue(PreferenceKeys::lastPhotoFolder, QString());
        c.addPhotosFromFiles();
        panel = qobject_cast<QFileDialog *>(c.filePanel());
        panel->setDirectory(QFileInfo(a).path());
        emit panel->filesSelected({b, a});
        QTRY_COMPARE(c.library().collages()[0].model.items().size(), 2);
        QCOMPARE(c.library().collages()[0].model.items()[0].imageFileName, QStringLiteral("b.png"));
        QCOMPARE(f.platform().fakes().preferences->value(PreferenceKeys::lastPhotoFolder), QFileInfo(a).path());

        QClipboard *clipboard = QApplication::clipboard();

        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        clipboard->setImage(red);
        c.pasteImageFromClipboard();
        QTRY_COMPARE(c.library().collages()[0].model.items().size(), 3);
        const PhotoItem pasted = c.library().collages()[0].model.items()[2];
        QVERIFY(pasted.imageFileName.endsWith(QLatin1String(".png")));
        QCOMPARE(QImage(f.path("Trip/") + pasted.imageFileName).pixelColor(3, 3), QColor(Qt::red));
        QCOMPARE(pasted.size, QSizeF(360, 270));

        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(a)}); // a file manager's Copy, twice
        clipboard->setMimeData(mime);
        c.pasteImageFromClipboard();
        QTRY_COMPARE(c.library().collages()[0].model.items().size(), 5);
        QCOMPARE(c.undoManager("Trip")->count(), 3);

        clipboard->setText(QStringLiteral("hello")); // text only: nothing happens
        c.pasteImageFromClipboard();
        QVERIFY(!c.isImporting());
        QCOMPARE(c.undoManager("Trip")->count(), 3);

        QTemporaryDir dir;
        QVERIFY(ImportSources::clipboardFiles(nullptr, dir.path()).isEmpty());
        QMimeData image;
        image.setImageData(QImage(5, 5, QImage::Format_ARGB32));
        const QStringList written = ImportSources::clipboardFiles(&image, dir.path());
        QCOMPARE(written.size(), 1);
        QCOMPARE(QImage(written[0]).size(), QSize(5, 5));
        QVERIFY(ImportSources::clipboardFiles(&image, dir.path()) != written); // a fresh name each time

        const QStringList filters = ImportSources::fileDialogFilters();
        QCOMPARE(filters.size(), 2);
        for (const char *pattern : {"*.heic", "*.JPG", "*.webp", "*.tif"})
            QVERIFY2(filters[0].contains(QLatin1String(pattern)), pattern);
        QCOMPARE(filters[1], QStringLiteral("All files (*)"));
    }

    void theGalleryAddsWhatWasPickedInPickedOrder()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        QVERIFY(TestFiles::makeDir(f.sandbox().pictures()));
        for (const char *name : {"a.png", "b.png", "c.png"})
            QVERIFY(QImage(40, 30, QImage::Format_RGB32).save(f.sandbox().pictures() + u'/' + QLatin1String(name)));
        c.addPhotosFromLibrary();
        auto *gallery = qobject_cast<PhotoGalleryWindow *>(c.photoPickerWindow());
        QVERIFY(gallery && gallery->isVisible());
        QCOMPARE(gallery->windowTitle(), QStringLiteral("Add Photos from Library"));
        QTRY_COMPARE(gallery->model().rowCount(), 3);
        c.addPhotosFromLibrary(); // asked again: the same window
        QCOMPARE(c.photoPickerWindow(), gallery);

        for (const char *name : {"c.png", "a.png"}) {
            for (int row = 0; row < 3; ++row) {
                if (gallery->model().path(row).endsWith(QLatin1String(name)))
                    gallery->view()->selectionModel()->select(gallery->model().index(row), QItemSelectionModel::Select);
            }
        }
        gallery->accept();
        QTRY_VERIFY(!c.photoPickerWindow());
        QTRY_COMPARE(c.library().collages()[0].model.items().size(), 3);
        QCOMPARE(c.library().collages()[0].model.items()[1].imageFileName, QStringLiteral("c.png"));
        QCOMPARE(c.library().collages()[0].model.items()[2].imageFileName, QStringLiteral("a.png"));

        c.addPhotosFromLibrary(); // cancelled: nothing changes
        qobject_cast<PhotoGalleryWindow *>(c.photoPickerWindow())->reject();
        QTRY_VERIFY(!c.photoPickerWindow());
        QCOMPARE(c.undoManager("Trip")->count(), 1);
    }

    void placeNamesArriveOneAtATimeWithoutAnUndoStep()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"});
        FakeGeocoder &geocoder = *f.platform().fakes().geocoder;
        const QStringList files{photo(f, "a.png", tagged(48.85, 2.35)), photo(f, "b.png"),
                                photo(f, "c.png", tagged(-33.9, 151.2)), photo(f, "d.png", tagged(1, 1))};

        c.handleDrop(files, 0); // switched off: nothing is looked up
        QTRY_VERIFY(!c.isImporting());
        QCOMPARE(geocoder.requests.size(), 0);
        c.undoManager("Trip")->undo();

        f.platform().fakes().preferences->setValue(PreferenceKeys::locationLookup, true);
        c.handleDrop(files, 0);
        QTRY_VERIFY(!c.isImporting());
        QCOMPARE(geocoder.requests.size(), 1); // one at a time
        QCOMPARE(geocoder.requests[0].latitude, 48.85);
        CollageView *view = c.views()[0];

        QVERIFY(geocoder.answerNext(Placemark{QStringLiteral("Paris"), {}, {}, QStringLiteral("France"), {}}));
        QCOMPARE(captions(c.library().collages()[0].model),
                 (QStringList{"Paris, France  ·  July 2021", "-", "July 2021", "July 2021"}));
        QCOMPARE(captions(view->model())[0], QStringLiteral("Paris, France  ·  July 2021"));
        QVERIFY(c.isSavePending());
        QCOMPARE(geocoder.requests.size(), 2);
        QCOMPARE(geocoder.requests[1].latitude, -33.9);

        CollageModel without = view->model();
        without.remove(without.items()[2].id);
        view->onEdit(without, "Delete"); // the photo being looked up: its answer changes nothing
        QVERIFY(geocoder.answerNext(Placemark{QStringLiteral("Sydney"), {}, {}, QStringLiteral("Australia"), {}}));
        QVERIFY(geocoder.answerNext(std::nullopt)); // nothing found: the date stays
        QCOMPARE(captions(c.library().collages()[0].model),
                 (QStringList{"Paris, France  ·  July 2021", "-", "July 2021"}));

        // The name is no step of its own: undo takes back the delete, then the batch; redo, named.
        CollageHistory *history = c.undoManager("Trip");
        history->undo();
        QCOMPARE(captions(c.library().collages()[0].model),
                 (QStringList{"Paris, France  ·  July 2021", "-", "July 2021", "July 2021"}));
        history->undo();
        QCOMPARE(c.library().collages()[0].model.items().size(), 0);
        history->redo();
        QCOMPARE(captions(c.library().collages()[0].model)[0], QStringLiteral("Paris, France  ·  July 2021"));
    }

    void aLongBatchShowsItsProgressAfterAMoment()
    {
        QWidget screen;
        screen.resize(800, 600);
        screen.show();
        ImportProgress progress(&screen);
        progress.start(200);
        QVERIFY(!progress.isVisible());
        QTRY_VERIFY(progress.isVisible());
        progress.setProgress(12, 200);
        QCOMPARE(progress.text(), QStringLiteral("Adding photos… 12 of 200"));
        QCOMPARE(progress.x(), (screen.width() - progress.width()) / 2);
    }
};

QTEST_MAIN(TestAddPhotos)
#include "tst_addphotos.moc"
