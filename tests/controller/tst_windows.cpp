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
#include <QSignalSpy>
#include <QTest>

// One window and canvas per screen, the editing mode with its backdrop and control bar,
// and rebuilding when the screens change.
class TestWindows : public QObject {
    Q_OBJECT

    static void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    template <typename T>
    static QList<T *> visibleChildren(QWidget *window)
    {
        QList<T *> found;
        for (T *child : window->findChildren<T *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isHidden())
                found.append(child);
        }
        return found;
    }

    static void changeScreens(ControllerFixture &f, const ScreenList &list)
    {
        QSignalSpy changed(&f.screens(), &ScreenService::changed);
        f.screens().setScreens(list);
        QVERIFY(changed.wait(2000));
    }

    static QImage cyanDesktop()
    {
        QImage background(16, 10, QImage::Format_RGB32);
        background.fill(Qt::darkCyan);
        return background;
    }

    static ScreenInfo screenWithDock(const QString &name, const QRect &frame, const QRect &visible)
    {
        ScreenInfo screen = FakeScreenService::makeScreen(name, frame, visible);
        screen.primary = true;
        return screen;
    }

private Q_SLOTS:
    void oneWindowPerScreenOnTheDesktopLevel()
    {
        ControllerFixture f;
        f.useTwoScreens();
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        QVERIFY(capture.take().contains("[app] INFO: library root: " + f.root().toUtf8() + "\n"));

        QCOMPARE(c.windows().size(), 2);
        QCOMPARE(c.views().size(), 2);
        QCOMPARE(c.screens().size(), 2);
        for (int i = 0; i < 2; ++i) {
            DesktopWindow *window = c.windows()[i];
            QCOMPARE(window->geometry(), c.screens()[i].frame);
            QVERIFY(window->isVisible());
            QVERIFY(window->canBecomeKey());
            const FakeDesktopWindowing::WindowState state = f.windowing().state(window);
            QVERIFY(state.prepared);
            QCOMPARE(state.level, WindowLevel::Desktop);
            QVERIFY(state.clickThrough);
            QCOMPARE(state.madeKey, 0);
            CollageView *view = c.views()[i];
            QCOMPARE(view->window(), window);
            QCOMPARE(view->geometry(), QRect(QPoint(0, 0), c.screens()[i].frame.size()));
            QCOMPARE(view->screenOrigin(), QPointF(0, 0));
        }
        QVERIFY(!f.windowing().isApplicationActive());
        QVERIFY(!c.isEditing());
    }

    void withoutScreensNothingIsBuiltAndEditingStaysOff()
    {
        ControllerFixture f;
        f.screens().setScreens({});
        DesktopWindowController &c = f.controller();
        QVERIFY(c.windows().isEmpty());
        StderrCapture capture;
        c.setEditing(true);
        QVERIFY(!c.isEditing());
        QVERIFY(capture.take().isEmpty());
    }

    void enteringTheEditingModeRaisesEveryWindow()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controller();
        f.windowing().clearCalls();
        StderrCapture capture;
        c.setEditing(true);
        QCOMPARE(capture.take(), QByteArray("[edit] INFO: edit mode: ON\n"));

        QVERIFY(c.isEditing());
        QVERIFY(f.windowing().isApplicationActive());
        // Every window is made key in list order: the last one keeps the keyboard.
        QStringList keyed;
        for (const QString &call : f.windowing().calls()) {
            if (call.startsWith(QLatin1String("makeKey")))
                keyed.append(call);
        }
        QCOMPARE(keyed, (QStringList{QStringLiteral("makeKey desktop-LEFT"), QStringLiteral("makeKey desktop-RIGHT")}));
        QCOMPARE(f.windowing().keyWindow(), c.windows()[1]);

        QCOMPARE(c.backdrops().size(), 2);
        QCOMPARE(c.controlBars().size(), 2);
        for (int i = 0; i < 2; ++i) {
            DesktopWindow *window = c.windows()[i];
            const FakeDesktopWindowing::WindowState state = f.windowing().state(window);
            QCOMPARE(state.level, WindowLevel::Floating);
            QVERIFY(!state.clickThrough);
            QVERIFY(c.views()[i]->isEditing());

            // Backdrop under the canvas, bar above everything.
            const QObjectList children = window->children();
            const qsizetype backdrop = children.indexOf(c.backdrops()[i]);
            const qsizetype canvas = children.indexOf(c.views()[i]);
            QVERIFY(backdrop >= 0 && backdrop < canvas);
            QCOMPARE(children.last(), c.controlBars()[i]);
            QCOMPARE(c.backdrops()[i]->geometry(), window->rect());
            QCOMPARE(qobject_cast<Backdrop *>(c.backdrops()[i])->opacity(), 0.45);
            QCOMPARE(window->focusWidget(), c.views()[i]);

            QStringList titles;
            for (QPushButton *button : c.controlBars()[i]->findChildren<QPushButton *>())
                titles.append(button->text());
            QCOMPARE(titles, (QStringList{QStringLiteral("Add Photos"), QStringLiteral("Tidy Up"),
                                          QStringLiteral("Scatter"), QStringLiteral("Done")}));
            for (QPushButton *button : c.controlBars()[i]->findChildren<QPushButton *>())
                QVERIFY(!button->icon().isNull());
        }
    }

    void reducedTransparencyDarkensTheBackdrop()
    {
        ControllerFixture f;
        f.platform().fakes().accessibility->setReduceTransparency(true);
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        QCOMPARE(qobject_cast<Backdrop *>(c.backdrops()[0])->opacity(), 0.75);
    }

    void enteringTwiceLeavesOneBackdropAndOneBar()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        c.setEditing(true);
        processDeletes();
        QCOMPARE(c.backdrops().size(), 2);
        QCOMPARE(c.controlBars().size(), 2);
        QCOMPARE(f.windowing().calls().count(QStringLiteral("activateApplication")), 1);
        for (DesktopWindow *window : c.windows()) {
            QCOMPARE(visibleChildren<ControlBar>(window).size(), 1);
            QCOMPARE(visibleChildren<Backdrop>(window).size(), 1);
            QCOMPARE(window->findChildren<ControlBar *>().size(), 1);
        }
    }

    void leavingReturnsTheWindowsToTheDesktop()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip")}, {2});
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        CollageView *view = c.views()[0];
        view->setSelectedID(view->model().items().first().id);
        view->setHoveredID(view->model().items().last().id);

        StderrCapture capture;
        c.setEditing(false);
        QCOMPARE(capture.take(), QByteArray("[edit] INFO: edit mode: off\n"));
        processDeletes();

        QVERIFY(!c.isEditing());
        QVERIFY(!f.windowing().isApplicationActive());
        QVERIFY(c.backdrops().isEmpty());
        QVERIFY(c.controlBars().isEmpty());
        for (int i = 0; i < 2; ++i) {
            const FakeDesktopWindowing::WindowState state = f.windowing().state(c.windows()[i]);
            QCOMPARE(state.level, WindowLevel::Desktop);
            QVERIFY(state.clickThrough);
            QVERIFY(c.windows()[i]->findChildren<ControlBar *>().isEmpty());
            QVERIFY(c.windows()[i]->findChildren<Backdrop *>().isEmpty());
            QVERIFY(!c.views()[i]->isEditing());
        }
        QCOMPARE(view->selectedID(), std::nullopt);
        QCOMPARE(view->hoveredID(), std::nullopt);
    }

    void leavingWhenNotEditingHandsNoKeyboardAround()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controller();
        f.windowing().clearCalls();
        c.setEditing(false);
        QVERIFY(!f.windowing().calls().contains(QStringLiteral("deactivateApplication")));
        c.setEditing(true);
        c.setEditing(false);
        QCOMPARE(f.windowing().calls().count(QStringLiteral("deactivateApplication")), 1);
    }

    void theDoneButtonAndTheCanvasExitRequestLeave()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        QPushButton *done = c.controlBars()[0]->findChild<QPushButton *>(QStringLiteral("Done"));
        QVERIFY(done);
        QPointer<QPushButton> guard(done);
        QTest::mouseClick(done, Qt::LeftButton);
        QVERIFY(!c.isEditing());
        processDeletes();
        QVERIFY(guard.isNull());

        c.setEditing(true);
        c.views()[0]->onExitEdit();
        QVERIFY(!c.isEditing());
    }

    void theBarClearsADockAtTheBottomEdge_data()
    {
        QTest::addColumn<QRect>("visible");
        QTest::addColumn<int>("gap");
        QTest::newRow("bottom dock 70") << QRect(0, 0, 1440, 830) << 90;
        QTest::newRow("side dock") << QRect(70, 0, 1370, 900) << 20;
        QTest::newRow("top panel") << QRect(0, 25, 1440, 875) << 20;
        QTest::newRow("hidden dock") << QRect(0, 0, 1440, 900) << 20;
    }

    void theBarClearsADockAtTheBottomEdge()
    {
        QFETCH(QRect, visible);
        QFETCH(int, gap);
        ControllerFixture f;
        f.screens().setScreens({screenWithDock(QStringLiteral("DOCK"), QRect(0, 0, 1440, 900), visible)});
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        ControlBar *bar = c.controlBars()[0];
        QCOMPARE(c.windows()[0]->height() - bar->geometry().bottom() - 1, gap);
        QCOMPARE(bar->geometry().center().x(), c.windows()[0]->rect().center().x());
        // The bar stays in place when its window changes size.
        c.windows()[0]->resize(1000, 700);
        QCOMPARE(700 - bar->geometry().bottom() - 1, gap);
        QVERIFY(qAbs(bar->geometry().center().x() - 500) <= 1);
    }

    void aScreenChangeRebuildsAndKeepsTheEditingMode()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip")}, {2});
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        QPointer<DesktopWindow> oldWindow(c.windows()[0]);

        StderrCapture capture;
        changeScreens(f, {f.screens().screens().first()});
        const QByteArray log = capture.take();
        QVERIFY(log.endsWith("[app] INFO: screens changed → 1 display(s)\n"));
        QVERIFY(log.contains("[edit] INFO: edit mode: ON\n"));
        processDeletes();

        QVERIFY(oldWindow.isNull());
        QCOMPARE(c.windows().size(), 1);
        QVERIFY(c.isEditing());
        QCOMPARE(f.windowing().state(c.windows()[0]).level, WindowLevel::Floating);
        QCOMPARE(c.backdrops().size(), 1);
        QCOMPARE(c.controlBars().size(), 1);
        QCOMPARE(c.views()[0]->model().items().size(), 2);
    }

    void unplugEverythingThenPlugBackIn()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controller();
        const ScreenList original = f.screens().screens();
        c.setEditing(true);
        changeScreens(f, {});
        QVERIFY(c.windows().isEmpty());
        QVERIFY(c.backdrops().isEmpty());
        changeScreens(f, original);
        QCOMPARE(c.windows().size(), 1);
        QVERIFY(c.isEditing());
        QCOMPARE(c.controlBars().size(), 1);
    }

    void callbacksOutlivingTheControllerDoNothing()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controller();
        const auto onEdit = c.views()[0]->onEdit;
        const auto onUndo = c.views()[0]->onUndo;
        const auto onExit = c.views()[0]->onExitEdit;
        f.destroyController();
        onEdit(CollageModel(), QStringLiteral("Move"));
        onUndo();
        onExit();
    }

    void theBarAsksForBlurBehindItWhereOffered()
    {
        ControllerFixture f;
        f.windowing().setCanBlurBehind(true);
        DesktopWindowController &c = f.controller();
        c.setEditing(true);
        DesktopWindow *window = c.windows()[0];
        FakeDesktopWindowing::WindowState state = f.windowing().state(window);
        QVERIFY(state.blurBehind);
        const QRect bar = c.controlBars()[0]->geometry();
        QVERIFY(!state.blurRegion.isEmpty());
        QVERIFY(bar.contains(state.blurRegion.boundingRect()));
        QVERIFY(state.blurRegion.boundingRect().width() >= bar.width() - 2);
        QVERIFY(!state.blurRegion.contains(bar.topLeft())); // rounded corners
        // The region follows the bar when the window changes size.
        window->resize(1000, 700);
        QVERIFY(f.windowing().state(window).blurRegion.boundingRect().bottom() > 600);
        c.setEditing(false);
        QVERIFY(!f.windowing().state(window).blurBehind);
        window->resize(1200, 800); // a bar on its way out asks for nothing
        QVERIFY(!f.windowing().state(window).blurBehind);
    }

    void noBlurIsAskedForWhereNotOffered()
    {
        ControllerFixture g;
        g.controller().setEditing(true);
        QVERIFY(!g.windowing().calls().join(QLatin1Char(',')).contains(QLatin1String("blur")));
    }

    void withoutACompositorTheWindowPaintsTheDesktop()
    {
        const QImage background = cyanDesktop();
        ControllerFixture f;
        f.windowing().setCompositing(false);
        f.windowing().setDesktopBackground(background);
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        QCOMPARE(c.windows()[0]->desktopBackground(), background);
        changeScreens(f, f.screens().screens());
        QCOMPARE(c.windows()[0]->desktopBackground(), background);
        // Said once, not at every rebuild.
        QCOMPARE(capture.take().count("[app] INFO: no compositing manager"), 1);
    }

    void withACompositorTheDesktopShowsThrough()
    {
        ControllerFixture g;
        g.windowing().setDesktopBackground(cyanDesktop());
        QVERIFY(g.controller().windows()[0]->desktopBackground().isNull());
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
