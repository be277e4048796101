#include "app/canvas/CollageView.h"
#include "canvas/support/CanvasFixture.h"
#include "core/PhotoFrame.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakePlatform.h"
#include "support/ModelFactory.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QGraphicsPathItem>
#include <QLabel>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

// Points are given in collage coordinates (y up) and converted to the viewport's.
QPoint viewPoint(const CollageView &view, QPointF collage)
{
    return view.coords().toScene(collage).toPoint();
}

} // namespace

// Pointer, wheel and gesture input each end in exactly one edit with the right name.
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

    void dragMovesAndSnapsInOneEdit()
    {
        press({500, 400});
        QCOMPARE(m_view->selectedID(), m_a.id);
        // Proposed centre (724, 300): snaps to the screen's centre line x 720.
        move({600, 350});
        move({724, 300});
        QCOMPARE(m_view->model()[m_a.id]->center, QPointF(720, 300));
        QVERIFY(m_view->guideV()->isVisible());
        QVERIFY(!m_view->guideH()->isVisible());
        QVERIFY(m_edits.isEmpty()); // nothing leaves the canvas while dragging
        release({724, 300});
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Move"));
        QCOMPARE(m_edits[0].model[m_a.id]->center, QPointF(720, 300));
        QVERIFY(!m_view->guideV()->isVisible());
    }

    void pressWithoutMotionGivesNoEdit()
    {
        press({500, 400});
        release({500, 400});
        QVERIFY(m_edits.isEmpty());
        QCOMPARE(m_view->selectedID(), m_a.id);
        // A press on empty canvas clears the selection.
        press({100, 800});
        release({100, 800});
        QVERIFY(!m_view->selectedID());
        QVERIFY(m_edits.isEmpty());
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
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Move"));
        const CollageModel &model = m_edits[0].model;
        QCOMPARE(model.items().size(), 3);
        const PhotoItem copy = model.items().last();
        QVERIFY(copy.id != m_a.id);
        QCOMPARE(copy.center, m_a.center);
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
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Resize"));
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
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Rotate"));
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
        release({787, 700});
    }

    void pinchGestureScalesInOneEdit()
    {
        select(m_a.id);
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::ZoomNativeGesture, 0.25);
        gesture(Qt::ZoomNativeGesture, 0.25);
        QCOMPARE(m_view->model()[m_a.id]->size, QSizeF(300, 225));
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("300 × 225"));
        QVERIFY(m_edits.isEmpty());
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Resize"));
        QCOMPARE(m_edits[0].model[m_a.id]->center, m_a.center);

        // Pinching far in stops at the 20-point minimum.
        m_edits.clear();
        setModel(CollageModel({m_a, m_b}));
        select(m_a.id);
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::ZoomNativeGesture, -0.95);
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(m_edits[0].model[m_a.id]->size, QSizeF(20, 20));
    }

    void rotateGestureAndOrphanEnds()
    {
        select(m_a.id);
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::RotateNativeGesture, 10);
        gesture(Qt::RotateNativeGesture, 5);
        QCOMPARE(m_view->hudText()->text(), QStringLiteral("15°"));
        gesture(Qt::EndNativeGesture, 0);
        QCOMPARE(m_edits.size(), 1);
        QCOMPARE(m_edits[0].name, QStringLiteral("Rotate"));

        // An end without a beginning, or a gesture with nothing selected, edits nothing.
        m_edits.clear();
        gesture(Qt::EndNativeGesture, 0);
        m_view->clearSelection();
        gesture(Qt::BeginNativeGesture, 0);
        gesture(Qt::ZoomNativeGesture, 0.5);
        gesture(Qt::EndNativeGesture, 0);
        QVERIFY(m_edits.isEmpty());
    }

    void ctrlWheelIsAStepwisePinch()
    {
        select(m_a.id);
        wheel(120);
        wheel(120);
        QCOMPARE(m_view->model()[m_a.id]->size, QSizeF(240, 180));
        QVERIFY(m_edits.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_edits.size(), 1, 2000);
        QCOMPARE(m_edits[0].name, QStringLiteral("Resize"));
        QCOMPARE(m_edits[0].model[m_a.id]->size, QSizeF(240, 180));
    }

    // Pictures of a resize and of a snapped move in progress, for a person to look at.
    void grabsMidGesture()
    {
        QTemporaryDir dir;
        m_a.imageFileName = CanvasFixture::writeImage(dir, QStringLiteral("a.jpg"), CanvasFixture::testImage({800, 600}));
        m_b.imageFileName = CanvasFixture::writeImage(dir, QStringLiteral("b.jpg"),
                                                      CanvasFixture::testImage({600, 800}, QColor(200, 120, 80)));
        m_b.center = QPointF(1000, 450);
        m_view->setImageBaseDir(dir.path());
        setModel(CollageModel({m_a, m_b}));
        QVERIFY(CanvasFixture::waitForImages(*m_view));

        select(m_a.id);
        press({607.5, 487.75});
        move({700, 560});
        QVERIFY(m_view->hudView()->isVisible());
        const QImage resizing = m_view->grab().toImage();
        release({700, 560});

        press(m_view->model()[m_a.id]->center);
        move(QPointF(725, 452));
        QVERIFY(m_view->guideV()->isVisible() && m_view->guideH()->isVisible());
        const QImage snapping = m_view->grab().toImage();
        release(QPointF(725, 452));

        for (const auto &[image, name] : {std::pair{resizing, "resize"}, std::pair{snapping, "snap"}}) {
            const QString file = QStringLiteral("veloran-%1.png").arg(QLatin1String(name));
            QVERIFY(image.save(QDir::temp().filePath(file)));
            // The picture is not blank: prints and chrome were drawn.
            QVERIFY(image.pixelColor(viewPoint(*m_view, m_view->model()[m_a.id]->center)).alpha() > 0);
        }
    }

    void itemVanishingMidDragIsHarmless()
    {
        press({500, 400});
        setModel(CollageModel({m_b}));
        move({600, 450});
        release({600, 450});
        for (const CanvasFixture::Edit &edit : m_edits)
            QVERIFY(!edit.model[m_a.id]);
    }

private:
    void setModel(const CollageModel &model)
    {
        m_view->setModel(model);
        m_view->rebuild();
    }
    void select(const QUuid &id)
    {
        m_view->setSelectedID(id);
        m_view->updateChrome();
    }
    void press(QPointF p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, modifiers, viewPoint(*m_view, p));
    }
    void move(QPointF p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // Sub-pixel positions, so the numbers are exact.
        const QPointF local = m_view->coords().toScene(p);
        QMouseEvent event(QEvent::MouseMove, local, m_view->viewport()->mapToGlobal(local), Qt::NoButton,
                          Qt::LeftButton, modifiers);
        QApplication::sendEvent(m_view->viewport(), &event);
    }
    void release(QPointF p) { QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, viewPoint(*m_view, p)); }
    void gesture(Qt::NativeGestureType type, double value)
    {
        const QPointF at(700, 450);
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, at, at, at, value, QPointF());
        QApplication::sendEvent(m_view->viewport(), &event);
    }
    void wheel(int delta)
    {
        const QPointF at(700, 450);
        QWheelEvent event(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view->viewport(), &event);
    }

    std::unique_ptr<CollageView> m_view;
    QList<CanvasFixture::Edit> m_edits;
    PhotoItem m_a, m_b;
};

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
