#include "app/canvas/CollageView.h"
#include "canvas/support/CanvasFixture.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakePlatform.h"
#include "support/ModelFactory.h"

#include <QApplication>
#include <QGraphicsPathItem>
#include <QLabel>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

// Pointer, wheel and gesture input each end in exactly one edit with the right name.
// Points are given in collage coordinates (y up) and converted to the viewport's.
class TestInteraction : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        CanvasFixture::installFakePlatform();
        m_view = CanvasFixture::makeView(QSize(1440, 900));
        m_edits.clear();
        CanvasFixture::recordEdits(*m_view, m_edits);
        m_view->setEditing(true);
        m_a = ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150});
        m_b = ModelFactory::item(QUuid::createUuid(), 1, {1000, 800}, {200, 150});
        setModel(CollageModel({m_a, m_b}));
    }

    void cleanup() { m_view.reset(); }

    void dragMovesAndSnapsInOneEditEvenIfThePrintVanishes()
    {
        press({500, 400});
        release({500, 400}); // selects, and without motion edits nothing
        QCOMPARE(m_view->selectedID(), m_a.id);
        press({500, 400});
        // Proposed centre (724, 300): snaps to the screen's centre line x 720.
        move({600, 350});
        move({724, 300});
        QCOMPARE(m_view->model()[m_a.id]->center, QPointF(720, 300));
        QVERIFY(m_view->guideV()->isVisible() && !m_view->guideH()->isVisible());
        QVERIFY(m_edits.isEmpty()); // nothing leaves the canvas while dragging
        release({724, 300});
        QCOMPARE(editNames(), QStringList{"Move"});
        QCOMPARE(m_edits[0].model[m_a.id]->center, QPointF(720, 300));
        QVERIFY(!m_view->guideV()->isVisible());
        press({100, 800}); // on empty canvas: clears the selection
        release({100, 800});
        QVERIFY(!m_view->selectedID());
        QCOMPARE(m_edits.size(), 1);

        // An undo from elsewhere takes the print away mid-drag: the drag moves nothing, and its
        // end hands out the model as it now is.
        press({720, 300});
        setModel(CollageModel({m_b}));
        move({600, 450});
        QCOMPARE(m_view->model(), CollageModel({m_b}));
        release({600, 450});
        QCOMPARE(editNames(), (QStringList{"Move", "Move"}));
        QCOMPARE(m_edits[1].model, CollageModel({m_b}));
    }

    void copyPressAddsACopyOnTop_data()
    {
        QTest::addColumn<int>("modifier");
        QTest::newRow("alt") << int(Qt::AltModifier);
        QTest::newRow("ctrl") << int(Qt::ControlModifier);
    }

    void copyPressAddsACopyOnTop()
    {
        QFETCH(int, modifier);
        press({500, 400}, Qt::KeyboardModifiers(modifier));
        release({500, 400});
        QCOMPARE(editNames(), QStringList{"Move"});
        QCOMPARE(m_edits[0].model.items().size(), 3);
        const PhotoItem copy = m_edits[0].model.items().last();
        QVERIFY(copy.id != m_a.id && copy.center == m_a.center);
        QCOMPARE(copy.zIndex, 2);
        QCOMPARE(m_view->selectedID(), copy.id);
    }

    void cornerDragResizesAboutTheAnchor()
    {
        select(m_a.id);
        // Corner 2 (top-right) of a 215 x 175.5 frame centred at (500, 400).
        const QPointF anchor(392.5, 312.25);
        press({607.5, 487.75});
        move(anchor + QPointF(430, 100));
        QCOMPARE(m_view->model()[m_a.id]->size, QSizeF(400, 300));
        QVERIFY(m_view->hudView()->isVisible());
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("400 × 300"));
        release(anchor + QPointF(430, 100));
        QCOMPARE(editNames(), QStringList{"Resize"});
        QCOMPARE(m_edits[0].model[m_a.id]->center, anchor + QPointF(215, 175.5));
        QVERIFY(!m_view->hudView()->isVisible());
    }

    void rotateHandleTurnsAndStepsWithShift()
    {
        select(m_a.id);
        press({500, 513.75}); // the rotate handle
        move({300, 400});
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("90°"));
        QCOMPARE(m_view->model()[m_a.id]->rotation, M_PI / 2);
        // With Shift: 44 degrees left of up steps to 30.
        const double a = 44 * M_PI / 180;
        move(QPointF(500 - std::sin(a) * 200, 400 + std::cos(a) * 200), Qt::ShiftModifier);
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("30°"));
        release(QPointF(500 - std::sin(a) * 200, 400 + std::cos(a) * 200));
        QCOMPARE(editNames(), QStringList{"Rotate"});
        QCOMPARE(m_edits[0].model[m_a.id]->rotation, 2 * (M_PI / 12));
    }

    void hapticsOncePerNewGuideOrStep()
    {
        auto &haptics = static_cast<FakeHaptics &>(FakePlatform::current()->haptics());
        const int before = haptics.performCount();
        press({500, 400});
        move({723, 700});
        move({724, 700}); // the same guide: no second tick
        QCOMPARE(haptics.performCount() - before, 1);
        move({650, 700}); // away from every line
        QVERIFY(!m_view->guideV()->isVisible());
        move({787, 700}); // the right edge meets the other print's left edge: a new guide
        QCOMPARE(haptics.performCount() - before, 2);
        move({650, 452}); // the screen's middle line: a new horizontal guide
        QCOMPARE(haptics.performCount() - before, 3);
        move({651, 453});
        QCOMPARE(haptics.performCount() - before, 3);
        release({651, 453});
    }

    void touchpadGesturesEndInOneEdit()
    {
        select(m_a.id);
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::ZoomNativeGesture, 0.25);
        gesture(Qt::ZoomNativeGesture, 0.25);
        QCOMPARE(m_view->model()[m_a.id]->size, QSizeF(300, 225));
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("300 × 225"));
        // The panel sits 28 points above the print's top edge (collage y 531.625).
        QVERIFY((m_view->hudView()->geometry().center() - QPoint(500, 900 - 560)).manhattanLength() <= 2);
        QVERIFY(m_edits.isEmpty());
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(editNames(), QStringList{"Resize"});
        QCOMPARE(m_edits[0].model[m_a.id]->center, m_a.center);

        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::RotateNativeGesture, 10);
        gesture(Qt::RotateNativeGesture, 5);
        // Qt reports clockwise turns as positive; the print turns with the fingers.
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("345°"));
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(editNames(), (QStringList{"Resize", "Rotate"}));
        QCOMPARE(m_edits[1].model[m_a.id]->rotation, m_a.rotation - 15 * M_PI / 180);

        // An end without a beginning, a gesture that changed nothing, or one with nothing
        // selected, edits nothing.
        gesture(Qt::EndNativeGesture, 0);
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::EndNativeGesture, 0);
        m_view->clearSelection();
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::ZoomNativeGesture, 0.5);
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(m_edits.size(), 2);
    }

    void ctrlWheelPinchEndsAfterAPauseOrBeforeOtherInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("pause") << "pause" << QStringList{"Resize"};
        QTest::newRow("press") << "press" << QStringList{"Resize"};
        QTest::newRow("double-click") << "double-click" << QStringList{"Resize"};
        QTest::newRow("key") << "key" << QStringList{"Resize", "Move"};
        QTest::newRow("leave") << "leave" << QStringList{"Resize"};
    }

    void ctrlWheelPinchEndsAfterAPauseOrBeforeOtherInput()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, names);
        select(m_a.id);
        wheel(120);
        wheel(120);
        QCOMPARE(m_view->model()[m_a.id]->size, QSizeF(240, 180));
        QVERIFY(m_edits.isEmpty());
        if (input == u"pause") {
            QTRY_COMPARE_WITH_TIMEOUT(editNames(), names, 2000);
        } else if (input == u"press") {
            press(m_b.center);
            release(m_b.center);
        } else if (input == u"double-click") {
            doubleClick(m_b.center);
            release(m_b.center);
        } else if (input == u"key") {
            QTest::keyClick(m_view.get(), Qt::Key_Right);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(m_view.get(), &leave);
        }
        // Other input reports it at once, not after the pause; nothing reports it a second time.
        QCOMPARE(editNames(), names);
        QCOMPARE(m_edits[0].model[m_a.id]->size, QSizeF(240, 180));
        QTest::qWait(450);
        QCOMPARE(editNames(), names);
    }

    void doubleClickPressGrabsLikeAPress_data()
    {
        QTest::addColumn<bool>("pressDeliveredToo");
        QTest::newRow("double-click only") << false;
        QTest::newRow("press and double-click") << true;
    }

    void doubleClickPressGrabsLikeAPress()
    {
        QFETCH(bool, pressDeliveredToo);
        const auto secondPress = [&](QPointF p, Qt::KeyboardModifiers modifiers) {
            if (pressDeliveredToo)
                press(p, modifiers);
            doubleClick(p, modifiers);
        };
        press(m_b.center);
        release(m_b.center);
        m_view->clearSelection();
        secondPress(m_a.center, Qt::NoModifier);
        QCOMPARE(m_view->selectedID(), m_a.id);
        move(m_a.center + QPointF(40, 30));
        release(m_a.center + QPointF(40, 30));
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].model[m_a.id]->center, m_a.center + QPointF(40, 30));

        // An Alt double-press copies twice.
        setModel(m_edits[0].model);
        m_edits.clear();
        const QPointF at = m_view->model()[m_a.id]->center;
        press(at, Qt::AltModifier);
        release(at);
        setModel(m_edits.last().model);
        secondPress(at, Qt::AltModifier);
        release(at);
        QCOMPARE(m_edits.size(), 2);
        QCOMPARE(m_edits.last().model.items().size(), 4);
    }

    // Mid-move the guides run across the whole screen through the lines snapped to.
    void guidesAreDrawnAcrossTheScreen()
    {
        m_b.center = QPointF(1000, 450);
        setModel(CollageModel({m_a, m_b}));
        press(m_a.center);
        move(QPointF(725, 452)); // the screen's centre line x 720, the other print's bottom edge y 362.25
        const QImage image = m_view->grab().toImage();
        release(QPointF(725, 452));
        // The one-point lines straddle pixel rows and columns: 720 is 719.5 to 720.5, and
        // y 362.25 is 537.25 to 538.25 down from the top.
        const QRgb background = image.pixel(100, 100);
        const auto drawn = [&](QPoint a, QPoint b) { return image.pixel(a) != background || image.pixel(b) != background; };
        for (int y : {2, 897})
            QVERIFY(drawn({719, y}, {720, y}));
        for (int x : {2, 1437})
            QVERIFY(drawn({x, 537}, {x, 538}));
        QVERIFY(!drawn({700, 2}, {2, 500}));
    }


private:
    QStringList editNames() const
    {
        QStringList got;
        for (const CanvasFixture::Edit &edit : m_edits)
            got.append(edit.name);
        return got;
    }
    void setModel(const CollageModel &model) { CanvasFixture::show(*m_view, model); }
    void select(const QUuid &id) { CanvasFixture::selectPrint(*m_view, id); }
    QPoint viewPoint(QPointF p) const { return m_view->coords().toScene(p).toPoint(); }
    void press(QPointF p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, modifiers, viewPoint(p));
    }
    void move(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseMove, p, m); }
    void doubleClick(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonDblClick, p, m); }
    void mouse(QEvent::Type type, QPointF p, Qt::KeyboardModifiers m) { CanvasFixture::sendMouse(*m_view, type, p, m); }
    void release(QPointF p) { QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, viewPoint(p)); }
    void gesture(Qt::NativeGestureType type, double value)
    {
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, m_at, m_at, m_at, value, QPointF());
        QApplication::sendEvent(m_view->viewport(), &event);
    }
    void wheel(int delta)
    {
        QWheelEvent event(m_at, m_at, {}, {0, delta}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view->viewport(), &event);
    }

    std::unique_ptr<CollageView> m_view;
    QList<CanvasFixture::Edit> m_edits;
    PhotoItem m_a, m_b;
    const QPointF m_at{700, 450}; // where gestures and the wheel point
};

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
