#include "controller/support/ControllerFixture.h"

#include "app/collages/CollagesWindow.h"
#include "app/collages/CollagesWindowController.h"
#include "app/collages/StageView.h"
#include "app/collages/StripButton.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/fake/FakeDesktopWindowing.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakeScreenService.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// Collages as pictures (thumbnails over the desktop picture, the exported file); the "Collages" window.
class TestCollagesWindow : public QObject {
    Q_OBJECT

    static int beeps(const ControllerFixture &f) { return f.platform().fakes().haptics->beepCount(); }
    static QList<QToolButton *> toggles(CollagesWindowController &w)
    {
        QList<QToolButton *> list;
        for (int i = 0; i < w.window()->showOnLayout()->count(); ++i)
            list.append(qobject_cast<QToolButton *>(w.window()->showOnLayout()->itemAt(i)->widget()));
        return list;
    }
    static QStringList stripNames(CollagesWindowController &w)
    {
        QStringList names;
        for (StripButton *b : w.stripButtons())
            names.append(b->collageName() + (b->isSelected() ? QStringLiteral("*") : QString()));
        return names;
    }
    // "Trip" (one photo) on the main screen, "Zoo" (none) on no screen; window shown.
    static DesktopWindowController &start(ControllerFixture &f, CollagesWindowController *&window)
    {
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {1, 0});
        c.assign(QStringLiteral("Trip"), f.screenAt(0));
        c.assign(std::nullopt, f.screenAt(1));
        window = new CollagesWindowController(&c, &c);
        window->show();
        return c;
    }

private Q_SLOTS:
    void thumbnailsFollowTheScreenThatShowsTheCollage()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"});
        c.assign(QStringLiteral("Zoo"), f.screenAt(1));
        c.assign(std::nullopt, f.screenAt(0));
        QImage picture(64, 36, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        const QString file = f.sandbox().path(QStringLiteral("desk.png"));
        QVERIFY(picture.save(file));
        f.windowing().setDesktopPicturePath(file);
        QVERIFY(c.thumbnail(QStringLiteral("Nope"), 240).isNull());
        QCOMPARE(c.thumbnail(QStringLiteral("Zoo"), 256).size(), QSize(256, 204)); // its screen's shape
        // Shown nowhere: the main screen's (1920 × 1080), and never under 0.04 of it.
        QCOMPARE(c.thumbnail(QStringLiteral("Trip"), 10).size(), QSize(76, 43));

        QCOMPARE(c.thumbnail(QStringLiteral("Trip"), 192).pixelColor(2, 2), QColor(Qt::yellow));
        QVERIFY(c.pictures().wallpapers().contains(file)); // decoded once per file
        f.windowing().setDesktopPicturePath(QString()); // without a file, the root window's picture
        QImage root(32, 18, QImage::Format_RGB32);
        root.fill(Qt::cyan);
        f.windowing().setDesktopBackground(root);
        QTest::qWait(CollagePictures::backdropMemoMs + 50);
        QCOMPARE(c.thumbnail(QStringLiteral("Trip"), 192).pixelColor(2, 2), QColor(Qt::cyan));
    }

    void exportWritesTheScreenAtFullResolution()
    {
        ControllerFixture f;
        f.screens().setScreens({FakeScreenService::makeScreen("HI", QRect(0, 0, 1440, 900), QRect(), 2.0)});
        DesktopWindowController &c = f.controllerWith({"Trip"});
        f.screens().setPointerPosition(QPoint(100, 100));
        c.exportImage();
        auto *panel = qobject_cast<QFileDialog *>(c.pictures().savePanel());
        QVERIFY(panel);
        QCOMPARE(panel->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(panel->selectedFiles().value(0).endsWith(QStringLiteral("/Trip.png")));
        QSignalSpy exported(&c.pictures(), &CollagePictures::exported);
        const QString target = f.sandbox().path(QStringLiteral("out.png"));
        panel->selectFile(target);
        QMetaObject::invokeMethod(panel, "accept");
        QTRY_COMPARE(exported.count(), 1);
        QCOMPARE(exported[0][1].toBool(), true);
        const QImage written(target);
        QCOMPARE(written.size(), QSize(2880, 1800));
        QCOMPARE(written.pixelColor(10, 10).alpha(), 0);
    }

    void firstShowSelectsTheMainScreensCollageThenTogglesAndRemoves()
    {
        ControllerFixture f;
        CollagesWindowController *w = nullptr;
        DesktopWindowController &c = start(f, w);
        QCOMPARE(w->window()->windowTitle(), QStringLiteral("Collages"));
        QCOMPARE(w->window()->minimumSize(), QSize(560, 460));
        QCOMPARE(w->selected(), std::optional<QString>("Trip"));
        QCOMPARE(w->window()->nameField()->text(), QStringLiteral("Trip"));
        QVERIFY(w->window()->nameField()->isReadOnly());
        QCOMPARE(toggles(*w).size(), 2);
        QVERIFY(toggles(*w)[0]->isChecked() && !toggles(*w)[1]->isChecked());
        QCOMPARE(stripNames(*w), (QStringList{"Trip*", "Zoo"}));
        QVERIFY(w->window()->minusButton()->isEnabled());
        QVERIFY(w->window()->emptyHint()->isHidden());
        QTRY_VERIFY(!w->window()->stage()->image().isNull()); // filled in after the window is up
        QCOMPARE(w->window()->stage()->image().width(), CollagesWindowController::stageWidth);
        QTRY_VERIFY(!w->stripButtons()[1]->image().isNull());

        QTest::mouseClick(w->stripButtons()[1], Qt::LeftButton);
        QCOMPARE(stripNames(*w), (QStringList{"Trip", "Zoo*"}));
        QVERIFY(!w->window()->emptyHint()->isHidden());
        QCOMPARE(w->window()->emptyHint()->text(), QStringLiteral("No photos yet.\nAdd photos, or drag some onto the collage."));
        // Cached: a click back renders nothing new.
        QVERIFY(!w->cachedThumb(QStringLiteral("Trip"), CollagesWindowController::stageWidth).isNull());

        toggles(*w)[1]->setChecked(true); // on for the second screen
        QCOMPARE(DisplayAssignments::assignedName(f.screenAt(1)), std::optional<QString>("Zoo"));
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));
        QCOMPARE(DisplayAssignments::assignedName(f.screenAt(0)), std::optional<QString>("Trip"));
        QTRY_VERIFY(toggles(*w)[1]->isChecked());
        toggles(*w)[1]->setChecked(false); // off: that screen shows nothing, not another collage
        QCOMPARE(DisplayAssignments::map().value(f.screenAt(1).displayKey), QString());
        QVERIFY(!c.collageOn(f.screenAt(1)));
        w->stripClicked(QStringLiteral("Trip"));
        toggles(*w)[1]->setChecked(true);
        QCOMPARE(c.collageOn(f.screenAt(1))->name, QStringLiteral("Trip"));
        QCOMPARE(c.collageOn(f.screenAt(0))->name, QStringLiteral("Trip"));

        w->removeSelected();
        QMessageBox *question = w->removalQuestion();
        QVERIFY(question);
        QCOMPARE(question->text(), QStringLiteral("Delete \u201CTrip\u201D?"));
        QCOMPARE(question->informativeText(),
                 QStringLiteral("The photos on it are removed from the collage. Your original files are untouched."));
        QCOMPARE(question->buttons().size(), 2);
        QCOMPARE(question->defaultButton()->text(), QStringLiteral("Delete"));
        question->buttons()[1]->click();
        QCOMPARE(c.library().collages().size(), 2);

        w->removeSelected();
        w->removalQuestion()->defaultButton()->click();
        QCOMPARE(c.library().collages().size(), 1);
        QVERIFY(!c.library().findNamed(QStringLiteral("Trip")));
        QCOMPARE(w->selected(), std::optional<QString>("Zoo"));
        QVERIFY(w->cachedThumb(QStringLiteral("Trip"), CollagesWindowController::stripWidth).isNull());
        QVERIFY(!w->window()->minusButton()->isEnabled());
        const int before = beeps(f);
        w->removeSelected();
        QCOMPARE(beeps(f), before + 1);
    }

    void addingThenRenaming()
    {
        ControllerFixture f;
        CollagesWindowController *w = nullptr;
        DesktopWindowController &c = start(f, w);
        const int writes = c.writesCompleted();
        w->addCollage();
        QCOMPARE(c.writesCompleted(), writes + 1); // written at once
        QVERIFY(f.isDir(QStringLiteral("Collage 3")));
        QCOMPARE(w->selected(), std::optional<QString>("Collage 3"));
        QVERIFY(!toggles(*w)[0]->isChecked() && !toggles(*w)[1]->isChecked());
        QLineEdit *field = w->window()->nameField();
        QVERIFY(w->isRenaming() && !field->isReadOnly());
        QCOMPARE(field->selectedText(), QStringLiteral("Collage 3"));

        const auto rename = [&](const QString &text) {
            if (!w->isRenaming())
                w->beginRename();
            field->setText(text);
            w->endRename();
        };
        rename(QStringLiteral("  Rome \n"));
        QCOMPARE(w->selected(), std::optional<QString>("Rome"));
        QVERIFY(c.library().findNamed(QStringLiteral("Rome")) && !w->isRenaming() && field->isReadOnly());
        // Another collage's name, or one whose folder is another's: refused, with a beep.
        const int before = beeps(f);
        rename(QStringLiteral("Zoo"));
        QCOMPARE(field->text(), QStringLiteral("Rome"));
        rename(QStringLiteral(".Zoo"));
        QCOMPARE(field->text(), QStringLiteral("Rome"));
        QVERIFY(beeps(f) >= before + 1);
        QVERIFY(c.library().findNamed(QStringLiteral("Zoo")) && c.library().findNamed(QStringLiteral("Rome")));
        rename(QStringLiteral("   ")); // blank: the old name back
        QCOMPARE(field->text(), QStringLiteral("Rome"));
        w->beginRename();
        QTest::keyClicks(field, QStringLiteral("X"));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!w->isRenaming());
        QCOMPARE(field->text(), QStringLiteral("Rome"));
        QTest::mouseDClick(field, Qt::LeftButton);
        QVERIFY(w->isRenaming());
    }
};

QTEST_MAIN(TestCollagesWindow)
#include "tst_collageswindow.moc"
