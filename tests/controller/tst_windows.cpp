#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/Backdrop.h"
#include "app/controller/ControlBar.h"
#include "app/controller/DesktopWindow.h"
#include "platform/fake/FakeAccessibilitySettings.h"
#include "platform/fake/FakeDesktopWindowing.h"
#include "platform/fake/FakeScreenService.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

// One window and canvas per screen, the editing mode with its backdrop and bar, rebuilt as screens change.
class TestWindows : public QObject {
    Q_OBJECT

    static void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private Q_SLOTS:
    void oneWindowPerScreenOnTheDesktopLevelAndEnteringOrLeavingTwiceActsOnce()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.windowing().setDesktopBackground(QImage(16, 10, QImage::Format_RGB32));
        DesktopWindowController &c = f.controllerWith({"Trip"}, {2});
        QCOMPARE(c.windows().size(), 2);
        for (int i = 0; i < 2; ++i) {
            DesktopWindow *window = c.windows()[i];
            QCOMPARE(window->geometry(), c.screens()[i].frame);
            QVERIFY(window->desktopBackground().isNull()); // composited: the desktop shows through
            QVERIFY(window->isVisible());
            QVERIFY(f.windowing().state(window).prepared);
            QCOMPARE(f.windowing().state(window).level, WindowLevel::Desktop);
            QVERIFY(f.windowing().state(window).clickThrough);
            QCOMPARE(c.views()[i]->window(), window);
            QCOMPARE(c.views()[i]->geometry(), QRect(QPoint(0, 0), c.screens()[i].frame.size()));
        }
        QVERIFY(!f.windowing().isApplicationActive());

        // Entering or leaving twice acts once; Done and the canvas's request leave.
        c.setEditing(false);
        c.setEditing(true);
        c.setEditing(true);
        processDeletes();
        for (DesktopWindow *window : c.windows()) {
            QCOMPARE(window->findChildren<ControlBar *>().size(), 1);
            QCOMPARE(window->findChildren<Backdrop *>().size(), 1);
        }
        CollageView *view = c.views()[0];
        view->setSelectedID(view->model().items().first().id);
        StderrCapture capture;
        QTest::mouseClick(c.controlBars()[0]->findChild<QPushButton *>(QStringLiteral("Done")), Qt::LeftButton);
        QVERIFY(!c.isEditing());
        c.setEditing(false);
        QVERIFY(capture.take().startsWith("[edit] INFO: edit mode: off\n"));
        processDeletes();
        QCOMPARE(f.windowing().calls().count(QStringLiteral("activateApplication")), 1);
        QCOMPARE(f.windowing().calls().count(QStringLiteral("deactivateApplication")), 1);
        QVERIFY(c.backdrops().isEmpty() && c.controlBars().isEmpty());
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(f.windowing().state(c.windows()[i]).level, WindowLevel::Desktop);
            QVERIFY(f.windowing().state(c.windows()[i]).clickThrough);
            QVERIFY(c.windows()[i]->findChildren<ControlBar *>().isEmpty());
            QVERIFY(c.windows()[i]->findChildren<Backdrop *>().isEmpty());
            QVERIFY(!c.views()[i]->isEditing());
        }
        QCOMPARE(view->selectedID(), std::nullopt);
        c.setEditing(true);
        c.views()[0]->onExitEdit();
        QVERIFY(!c.isEditing());

        // A change of screens rebuilds them all and keeps the editing mode.
        const ScreenInfo left = f.screenAt(0);
        c.setEditing(true);
        QPointer<DesktopWindow> oldWindow(c.windows()[0]);
        QVERIFY(f.changeScreens({}));
        QVERIFY(c.windows().isEmpty());
        QVERIFY(c.backdrops().isEmpty());
        StderrCapture rebuilt;
        QVERIFY(f.changeScreens({left}));
        const QByteArray log = rebuilt.take();
        QVERIFY(log.endsWith("[app] INFO: screens changed → 1 display(s)\n"));
        QVERIFY(log.contains("[edit] INFO: edit mode: ON\n"));
        processDeletes();
        QVERIFY(oldWindow.isNull());
        QCOMPARE(c.windows().size(), 1);
        QCOMPARE(f.windowing().state(c.windows()[0]).level, WindowLevel::Floating);
        QCOMPARE(c.controlBars().size(), 1);
        QCOMPARE(c.views()[0]->model().items().size(), 2);
    }

    void enteringTheEditingModeRaisesEveryWindow()
    {
        ControllerFixture f;
        // A dock 70 high at the bottom of the left screen; the bar clears it by 20.
        ScreenInfo left = FakeScreenService::makeScreen("LEFT", QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1010));
        left.primary = true;
        f.screens().setScreens({left, FakeScreenService::makeScreen("RIGHT", QRect(1920, 0, 1280, 1024))});
        DesktopWindowController &c = f.controller();
        f.windowing().clearCalls();
        StderrCapture capture;
        c.setEditing(true);
        QCOMPARE(capture.take(), QByteArray("[edit] INFO: edit mode: ON\n"));
        QVERIFY(!f.windowing().calls().join(QLatin1Char(',')).contains(QLatin1String("blur"))); // not offered
        QVERIFY(f.windowing().isApplicationActive());
        QCOMPARE(f.windowing().keyWindow(), c.windows()[1]); // each made key in turn: the last keeps it
        QCOMPARE(c.backdrops().size(), 2);
        QCOMPARE(c.controlBars().size(), 2);
        for (int i = 0; i < 2; ++i) {
            DesktopWindow *window = c.windows()[i];
            QCOMPARE(f.windowing().state(window).level, WindowLevel::Floating);
            QVERIFY(!f.windowing().state(window).clickThrough);
            QVERIFY(c.views()[i]->isEditing());
            QCOMPARE(window->focusWidget(), c.views()[i]);
            const QObjectList children = window->children();
            const qsizetype backdrop = children.indexOf(c.backdrops()[i]);
            QVERIFY(backdrop >= 0 && backdrop < children.indexOf(c.views()[i])); // under the canvas
            QCOMPARE(children.last(), c.controlBars()[i]); // the bar above everything
            const QRect bar = c.controlBars()[i]->geometry();
            QCOMPARE(window->height() - bar.bottom() - 1, i == 0 ? 90 : 20);
            QCOMPARE(bar.center().x(), window->rect().center().x());
            QStringList titles;
            for (QPushButton *button : c.controlBars()[i]->findChildren<QPushButton *>()) {
                titles.append(button->text());
                QVERIFY(!button->icon().isNull());
            }
            QCOMPARE(titles, (QStringList{"Add Photos", "Tidy Up", "Scatter", "Done"}));
        }
        const double normal = qobject_cast<Backdrop *>(c.backdrops()[0])->opacity();
        c.setEditing(false);
        f.platform().fakes().accessibility->setReduceTransparency(true);
        f.windowing().setCanBlurBehind(true);
        c.setEditing(true);
        QVERIFY(qobject_cast<Backdrop *>(c.backdrops()[0])->opacity() > normal); // reduced transparency
        DesktopWindow *window = c.windows()[1];
        const FakeDesktopWindowing::WindowState state = f.windowing().state(window);
        QVERIFY(state.blurBehind); // offered now: the bar asks for it
        const QRect bar = c.controlBars()[1]->geometry();
        QVERIFY(bar.contains(state.blurRegion.boundingRect()));
        QVERIFY(!state.blurRegion.contains(bar.topLeft())); // rounded corners
        window->resize(1000, 700); // the region follows the bar
        QVERIFY(f.windowing().state(window).blurRegion.boundingRect().bottom() > 600);
        c.setEditing(false);
        QVERIFY(!f.windowing().state(window).blurBehind);
        window->resize(1200, 800); // a bar on its way out asks for nothing
        QVERIFY(!f.windowing().state(window).blurBehind);
    }

    void callbacksOutlivingTheControllerDoNothing()
    {
        ControllerFixture f;
        const QString photo = f.sandbox().path(QStringLiteral("new.jpg"));
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(photo));
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        c.views()[0]->onEdit(nudged(c.views()[0]->model(), 5), "Move");
        c.flushSave(); // a step to undo and a snapshot on disk
        const auto onEdit = c.views()[0]->onEdit;
        const auto onUndo = c.views()[0]->onUndo;
        const auto onDrop = c.views()[0]->onDropImage;
        const auto onExit = c.views()[0]->onExitEdit;
        const QStringList tree = TestFiles::tree(f.root());
        const QByteArray layout = TestFiles::read(f.path("Trip/collage.json"));
        f.destroyController();
        onEdit(CollageModel(), QStringLiteral("Delete"));
        onUndo();
        onDrop({photo}, QPointF(100, 100));
        onExit();
        QTest::qWait(DesktopWindowController::saveDelayMs + 100);
        QCOMPARE(TestFiles::tree(f.root()), tree);
        QCOMPARE(TestFiles::read(f.path("Trip/collage.json")), layout);
    }

    void withoutACompositorTheWindowPaintsTheDesktopAndWithoutScreensNothingIsDone()
    {
        QImage background(16, 10, QImage::Format_RGB32);
        background.fill(Qt::darkCyan);
        ControllerFixture f;
        f.windowing().setCompositing(false);
        f.windowing().setDesktopBackground(background);
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        QVERIFY(f.changeScreens(f.screens().screens()));
        QCOMPARE(c.windows()[0]->desktopBackground(), background);
        QCOMPARE(capture.take().count("[app] INFO: no compositing manager"), 1); // not at every rebuild
        QVERIFY(f.changeScreens({})); // then none: no screen under the pointer, and editing stays off
        QCOMPARE(c.cursorScreen(), std::nullopt);
        QCOMPARE(c.focusCursorCollage(), std::nullopt);
        c.setEditing(true);
        QVERIFY(!c.isEditing());
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
