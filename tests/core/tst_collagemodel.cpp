#include "core/CollageModel.h"
#include "support/ModelFactory.h"

#include <QTest>

#include <cmath>
#include <limits>

using ModelFactory::item;

namespace {
QList<QUuid> ids(const QList<PhotoItem> &items)
{
    QList<QUuid> out;
    for (const PhotoItem &i : items)
        out.append(i.id);
    return out;
}
QUuid uid() { return QUuid::createUuid(); }
} // namespace

class TestCollageModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyModelIgnoresEveryOperation()
    {
        CollageModel model;
        QCOMPARE(model.nextZ(), 0);
        QVERIFY(model.drawOrder().isEmpty());
        const QUuid ghost = uid();
        model.remove(ghost);
        model.move(ghost, {1, 2});
        bool called = false;
        model.update(ghost, [&](PhotoItem &) { called = true; });
        model.bringToFront(ghost);
        model.sendToBack(ghost);
        model.bringForward(ghost);
        model.sendBackward(ghost);
        model.swapZ(ghost, uid());
        QVERIFY(!called);
        QCOMPARE(model, CollageModel());
        QVERIFY(!model[ghost].has_value());

        const QUuid added = model.add(item(uid(), 42));
        QCOMPARE(model[added]->zIndex, 0);
    }

    void addReplacesZWithNextZ()
    {
        CollageModel model({item(uid(), 3), item(uid(), -2)});
        const QUuid id = model.add(item(uid(), 99));
        QCOMPARE(model[id]->zIndex, 4);
        QCOMPARE(model.items().last().id, id);
    }

    void drawOrderIsStableAndLeavesListAlone()
    {
        const QUuid p1 = uid(), p2 = uid(), p3 = uid(), p4 = uid();
        CollageModel model({item(p1, 2), item(p2, 0), item(p3, 2), item(p4, 0)});
        QCOMPARE(ids(model.drawOrder()), (QList<QUuid>{p2, p4, p1, p3}));
        QCOMPARE(ids(model.items()), (QList<QUuid>{p1, p2, p3, p4}));
    }

    void equalZExchangesChangeNothing()
    {
        const QUuid p1 = uid(), p2 = uid(), p3 = uid();
        CollageModel model({item(p1, 0), item(p2, 0), item(p3, 0)});
        const CollageModel before = model;
        model.bringForward(p1);
        QCOMPARE(model, before);
        model.bringToFront(p1);
        QCOMPARE(model[p1]->zIndex, 1);
        QCOMPARE(ids(model.drawOrder()), (QList<QUuid>{p2, p3, p1}));
    }

    void stepwiseRestacking_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("target");
        QTest::addColumn<QList<qint64>>("expectedZ");
        // Starting model: P1 1, P2 2, P3 3.
        QTest::newRow("sendBackward top") << 0 << 2 << QList<qint64>{1, 3, 2};
        QTest::newRow("sendBackward bottom is a no-op") << 0 << 0 << QList<qint64>{1, 2, 3};
        QTest::newRow("bringForward top is a no-op") << 1 << 2 << QList<qint64>{1, 2, 3};
        QTest::newRow("bringForward bottom") << 1 << 0 << QList<qint64>{2, 1, 3};
        QTest::newRow("sendToBack middle") << 2 << 1 << QList<qint64>{1, 0, 3};
        QTest::newRow("bringToFront top still rises") << 3 << 2 << QList<qint64>{1, 2, 4};
        QTest::newRow("sendToBack bottom still falls") << 2 << 0 << QList<qint64>{0, 2, 3};
    }

    void stepwiseRestacking()
    {
        QFETCH(int, op);
        QFETCH(int, target);
        QFETCH(QList<qint64>, expectedZ);
        const QList<QUuid> p{uid(), uid(), uid()};
        CollageModel model({item(p[0], 1), item(p[1], 2), item(p[2], 3)});
        switch (op) {
        case 0: model.sendBackward(p[target]); break;
        case 1: model.bringForward(p[target]); break;
        case 2: model.sendToBack(p[target]); break;
        case 3: model.bringToFront(p[target]); break;
        }
        QList<qint64> z;
        for (const PhotoItem &i : model.items())
            z.append(i.zIndex);
        QCOMPARE(z, expectedZ);
        QCOMPARE(ids(model.items()), p);
    }

    void duplicateIdsTouchOnlyTheFirst()
    {
        const QUuid dup = uid(), other = uid();
        CollageModel model({item(dup, 0), item(other, 5), item(dup, 1)});
        model.move(dup, {7, 8});
        QCOMPARE(model.items()[0].center, QPointF(7, 8));
        QCOMPARE(model.items()[2].center, QPointF(100, 100));
        model.update(dup, [](PhotoItem &i) { i.caption = QStringLiteral("first"); });
        QVERIFY(!model.items()[2].caption);
        model.bringToFront(dup);
        QCOMPARE(model.items()[0].zIndex, 6);
        QCOMPARE(model.items()[2].zIndex, 1);
        model.sendToBack(dup);
        QCOMPARE(model.items()[0].zIndex, 0);
        QCOMPARE(model[dup]->center, QPointF(7, 8));
        model.remove(dup);
        QCOMPARE(ids(model.items()), (QList<QUuid>{other}));
    }

    void zIndexSaturatesAtTheLimits()
    {
        constexpr qint64 max = std::numeric_limits<qint64>::max();
        constexpr qint64 min = std::numeric_limits<qint64>::min();
        const QUuid top = uid(), bottom = uid();
        CollageModel model({item(top, max), item(bottom, min)});
        QCOMPARE(model.nextZ(), max);
        model.sendToBack(bottom);
        QCOMPARE(model[bottom]->zIndex, min);
        const QUuid added = model.add(item(uid(), 0));
        QCOMPARE(model[added]->zIndex, max);
        model.bringToFront(bottom);
        QCOMPARE(model[bottom]->zIndex, max);
        QCOMPARE(model[top]->zIndex, max);
    }

    void copiesNeverShareChanges()
    {
        const QUuid id = uid();
        CollageModel a({item(id, 0)});
        CollageModel b = a;
        b.move(id, {1, 1});
        QCOMPARE(a[id]->center, QPointF(100, 100));
        QVERIFY(a != b);
    }

    void equalityIsExact()
    {
        PhotoItem a = item(uid(), 0);
        PhotoItem b = a;
        QCOMPARE(a, b);
        b.center.setX(b.center.x() + 1e-9);
        QVERIFY(a != b); // Qt's fuzzy point comparison would call these equal
        b = a;
        b.caption = QString();
        QVERIFY(a != b); // an empty caption is not an absent one
        b = a;
        b.rotation = std::nan("");
        QVERIFY(!(b == b));
        b = a;
        b.cropRect = QRectF(0, 0, 1, 0.999999999);
        QVERIFY(a != b);
    }
};

QTEST_GUILESS_MAIN(TestCollageModel)
#include "tst_collagemodel.moc"
