#include "app/canvas/CollageView.h"
#include "app/canvas/Cursors.h"
#include "app/canvas/EmptyHintItem.h"
#include "app/canvas/HandleItem.h"
#include "app/canvas/OutlineItem.h"
#include "canvas/support/CanvasFixture.h"
#include "platform/fake/FakeAccessibilitySettings.h"
#include "platform/fake/FakeAppearance.h"
#include "platform/fake/FakePlatform.h"
#include "support/ModelFactory.h"

#include <QApplication>
#include <QGraphicsPathItem>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

using CanvasFixture::near;

namespace {

// The points of an item's path in collage coordinates (the content layer's).
QList<QPointF> pathPoints(const QGraphicsPathItem *item)
{
    QList<QPointF> points;
    const QPainterPath path = item->path();
    for (int i = 0; i < path.elementCount(); ++i)
        points.append(item->mapToParent(QPointF(path.elementAt(i).x, path.elementAt(i).y)));
    return points;
}

} // namespace

// What the canvas shows for hover and selection, and what lies under the pointer.
class TestCollageViewChrome : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_platform = &CanvasFixture::installFakePlatform(); }

    void init()
    {
        m_view = CanvasFixture::makeView();
        m_model = CollageModel();
        m_a = m_model.add(ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150}));
        m_b = m_model.add(ModelFactory::item(QUuid::createUuid(), 0, {900, 400}, {200, 150}));
        CanvasFixture::show(*m_view, m_model);
    }

    void cleanup()
    {
        m_view.reset();
        m_platform->fakes().accessibility->setIncreaseContrast(false);
    }

    void chromeStartsHiddenIsDrawnOverPrintsAndClears()
    {
        QVERIFY(chromeHidden());
        QVERIFY(!m_view->emptyHint()->isVisible());
        select(m_a, std::nullopt);
        HandleItem *corner = m_view->cornerHandles()[2];
        QCOMPARE(m_view->scene()->itemAt(m_view->contentLayer()->mapToScene(corner->center()), QTransform()), corner);
        select(m_a, m_b);
        m_view->guideV()->show();
        m_view->guideH()->show();
        m_view->hudView()->show();
        m_view->clearSelection();
        QVERIFY(!m_view->selectedID() && !m_view->hoveredID());
        QCOMPARE(m_view->dragMode(), DragMode::none());
        QVERIFY(chromeHidden());
        // An empty collage shows nothing whatever is asked for.
        CanvasFixture::show(*m_view, CollageModel());
        select(m_a, m_b);
        QVERIFY(chromeHidden());
        QCOMPARE(m_view->hitTestItem({500, 400}), std::nullopt);
    }

    void hoverShowsTheOutlineOnly()
    {
        select(m_a, std::nullopt); // what a selection showed goes again
        select(std::nullopt, m_a);
        QVERIFY(m_view->chromeOutline()->isVisible());
        const QList<QPointF> outline = pathPoints(m_view->chromeOutline());
        QCOMPARE(outline, (QList<QPointF>{{392.5, 312.25}, {607.5, 312.25}, {607.5, 487.75}, {392.5, 487.75}, {392.5, 312.25}}));
        m_view->chromeOutline()->hide();
        QVERIFY(chromeHidden()); // no handles, no stem
    }

    void selectionShowsHandlesAndStemThatFollowIt()
    {
        select(m_a, std::nullopt);
        const QList<QPointF> corners{{392.5, 312.25}, {607.5, 312.25}, {607.5, 487.75}, {392.5, 487.75}};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(m_view->cornerHandles()[size_t(i)]->isVisible());
            QCOMPARE(m_view->cornerHandles()[size_t(i)]->center(), corners[i]);
        }
        QVERIFY(m_view->rotateHandle()->isVisible() && m_view->rotateLine()->isVisible());
        QCOMPARE(m_view->rotateHandle()->center(), QPointF(500, 513.75));
        QCOMPARE(pathPoints(m_view->rotateLine()), (QList<QPointF>{{500, 487.75}, {500, 513.75}}));
        // The chrome follows a synced target.
        m_model.move(m_a, {600, 450});
        m_view->setModel(m_model);
        m_view->syncLayer(m_a, false);
        QCOMPARE(m_view->rotateHandle()->center(), QPointF(600, 563.75));

        // A synced print that is not the target leaves the chrome alone.
        m_model.move(m_b, {1000, 450});
        m_view->setModel(m_model);
        m_view->syncLayer(m_b, false);
        QCOMPARE(m_view->rotateHandle()->center(), QPointF(600, 563.75));
    }

    void coloursAndWidthsFollowAccentAndContrast()
    {
        FakeAppearance *appearance = m_platform->fakes().appearance;
        const QColor accent = appearance->accentColor();
        QCOMPARE(m_view->chromeOutline()->pen().color(), accent);
        QCOMPARE(m_view->chromeOutline()->pen().widthF(), 1.5);

        m_platform->fakes().accessibility->setIncreaseContrast(true);
        QVERIFY(m_view->chromeOutline()->pen().widthF() == 2.5 && m_view->rotateLine()->pen().widthF() == 2.5);
        QVERIFY(m_view->cornerHandles()[0]->borderWidth() == 2.5 && m_view->rotateHandle()->borderWidth() == 2.5);
        QCOMPARE(m_view->guideH()->pen().widthF(), 1.5);

        appearance->setAccentColor(QColor(200, 40, 120));
        for (const QColor c : {m_view->chromeOutline()->pen().color(), m_view->guideV()->pen().color(), m_view->cornerHandles()[3]->borderColor()})
            QCOMPARE(c, QColor(200, 40, 120));
        appearance->setAccentColor(accent);
    }

    void pointerMovesSetHoverAndCursor()
    {
        QWidget *viewport = m_view->viewport();
        moveTo({100, 100});
        QCOMPARE(m_view->hoveredID(), std::nullopt);
        QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);

        moveTo({500, 400});
        QCOMPARE(m_view->hoveredID(), std::optional(m_a));
        QCOMPARE(viewport->cursor().shape(), Qt::OpenHandCursor);
        QVERIFY(m_view->chromeOutline()->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(m_view.get(), &leave);
        QCOMPARE(m_view->hoveredID(), std::nullopt);
        QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(chromeHidden());

        select(m_a, m_a);
        const QList<QPointF> outline = pathPoints(m_view->chromeOutline());
        moveTo({607.5 + 5, 312.25 - 5}); // beside corner 1, off the card
        QCOMPARE(viewport->cursor().pixmap().toImage(), Cursors::resize().pixmap().toImage());
        QCOMPARE(viewport->cursor().shape(), Cursors::resize().shape());
        moveTo({500, 513.75 + 12});
        QCOMPARE(viewport->cursor().pixmap().toImage(), Cursors::rotate().pixmap().toImage());
        QVERIFY(viewport->cursor().pixmap().toImage() != Cursors::resize().pixmap().toImage());
        // Hovering another print while one is selected leaves the selection's chrome alone.
        moveTo({900, 400});
        QCOMPARE(m_view->hoveredID(), std::optional(m_b));
        QCOMPARE(pathPoints(m_view->chromeOutline()), outline);
        QVERIFY(m_view->rotateHandle()->isVisible());
        QCOMPARE(viewport->cursor().shape(), Qt::OpenHandCursor);
        moveTo({100, 800});
        QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
    }


    void emptyHintOnlyWhenEditingAnEmptyCollage()
    {
        m_view->setEditing(true);
        m_view->updateEmptyHint();
        QVERIFY(!m_view->emptyHint()->isVisible()); // there are prints

        CanvasFixture::show(*m_view, CollageModel());
        QVERIFY(m_view->emptyHint()->isVisible());
        QCOMPARE(m_view->emptyHint()->sceneBoundingRect(), QRectF(440, 405, 560, 90));

        m_view->setEditing(false);
        m_view->updateEmptyHint();
        QVERIFY(!m_view->emptyHint()->isVisible());

        // The frame follows the view's size.
        m_view->setEditing(true);
        m_view->resize(1000, 600);
        QCOMPARE(m_view->emptyHint()->sceneBoundingRect(), QRectF(220, 255, 560, 90));

        // It draws only glyphs its font has.
        const EmptyHintItem *hint = m_view->emptyHint();
        const QFontMetricsF metrics(hint->font());
        const QString drawn = hint->displayText();
        QVERIFY(drawn.contains(QStringLiteral("Add Photos below.")));
        for (const QChar c : drawn)
            QVERIFY2(c == u'\n' || metrics.inFont(c), qPrintable(QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QChar(u'0'))));
    }

    // The panel keeps its width while a number changes, whatever the font's own figures are.
    void measurementDigitsAreTabular()
    {
        auto *label = qobject_cast<QLabel *>(m_view->hudText());
        for (const QString &family : {QStringLiteral("Dancing Script"), QStringLiteral("DejaVu Sans")}) {
            QFont font = label->font();
            font.setFamily(family);
            label->setFont(font);
            QList<int> widths;
            for (const QString &text : {QStringLiteral("111 × 111"), QStringLiteral("888 × 888"), QStringLiteral("470 × 352")}) {
                label->setText(text);
                widths.append(label->sizeHint().width());
            }
            QVERIFY2(widths.count(widths.first()) == widths.size(), qPrintable(family));
            QVERIFY(widths.first() > QFontMetrics(font).horizontalAdvance(QStringLiteral("111 × 111")) - 1);
        }
    }

private:
    void select(std::optional<QUuid> id, std::optional<QUuid> hover) { CanvasFixture::selectPrint(*m_view, id, hover); }
    void moveTo(QPointF p) { CanvasFixture::sendMouse(*m_view, QEvent::MouseMove, p, {}, Qt::NoButton); }

    // No selection chrome, guides or measurement panel on screen.
    bool chromeHidden() const
    {
        bool hidden = !m_view->chromeOutline()->isVisible() && !m_view->rotateLine()->isVisible()
            && !m_view->rotateHandle()->isVisible() && !m_view->guideV()->isVisible()
            && !m_view->guideH()->isVisible() && !m_view->hudView()->isVisible();
        for (HandleItem *handle : m_view->cornerHandles())
            hidden = hidden && !handle->isVisible();
        return hidden;
    }

    FakePlatform *m_platform = nullptr;
    std::unique_ptr<CollageView> m_view;
    CollageModel m_model;
    QUuid m_a; // centre (500, 400), 200 x 150, frame 215 x 175.5
    QUuid m_b; // centre (900, 400), on top
};

QTEST_MAIN(TestCollageViewChrome)
#include "tst_collageviewchrome.moc"
