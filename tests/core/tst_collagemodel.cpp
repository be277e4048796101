#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace ModelFactory;

namespace {

constexpr qint64 zMax = std::numeric_limits<qint64>::max(), zMin = std::numeric_limits<qint64>::min();
using Restack = void (CollageModel::*)(const QUuid &);

QUuid uid() { return QUuid::createUuid(); }

QList<QUuid> ids(const QList<PhotoItem> &items)
{
    QList<QUuid> out;
    for (const PhotoItem &i : items)
        out.append(i.id);
    return out;
}

// Each item's zIndex in list order after one restacking of items[target]; the list order
// itself must stay as it was.
QList<qint64> zAfter(const QList<qint64> &start, Restack op, int target)
{
    QList<PhotoItem> items;
    for (qint64 z : start)
        items.append(item(uid(), z));
    CollageModel model(items);
    (model.*op)(items[target].id);
    QList<qint64> z;
    for (const PhotoItem &i : model.items())
        z.append(i.zIndex);
    return ids(model.items()) == ids(items) ? z : QList<qint64>();
}

} // namespace

class TestCollageModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unknownIdsChangeNothingAndDuplicatesTouchOnlyTheFirst()
    {
        const QUuid real = uid(), ghost = uid();
        CollageModel model({item(real, 3)});
        const CollageModel before = model;
        bool called = false;
        model.remove(ghost);
        model.move(ghost, {1, 2});
        model.update(ghost, [&](PhotoItem &) { called = true; });
        for (Restack op : {&CollageModel::sendBackward, &CollageModel::bringForward, &CollageModel::sendToBack,
                           &CollageModel::bringToFront})
            (model.*op)(ghost);
        model.swapZ(ghost, real);
        model.swapZ(real, ghost);
        QVERIFY(!called && !model[ghost]);
        QCOMPARE(model, before);

        const QUuid dup = uid(), other = uid();
        const PhotoItem later = item(dup, 1);
        CollageModel dups({item(dup, 0), item(other, 5), later});
        dups.move(dup, {7, 8});
        dups.update(dup, [](PhotoItem &i) { i.caption = QStringLiteral("first"); });
        dups.bringToFront(dup);
        QCOMPARE(dups.items()[0].zIndex, 6);
        dups.sendToBack(dup);
        QCOMPARE(dups.items()[0].zIndex, 0);
        QCOMPARE(dups[dup]->center, QPointF(7, 8));
        QVERIFY(dups[dup]->caption);
        QCOMPARE(dups.items()[2], later);
        dups.remove(dup);
        QCOMPARE(ids(dups.items()), (QList<QUuid>{other}));
    }

    // A new photo goes on top; drawing is by z, stable, and leaves the list's order alone.
    void stacking()
    {
        QCOMPARE(CollageModel().nextZ(), 0);
        CollageModel model({item(uid(), 3), item(uid(), -2)});
        const QUuid id = model.add(item(uid(), 99));
        QCOMPARE(model[id]->zIndex, 4);
        QCOMPARE(model.items().last().id, id);
        CollageModel top({item(uid(), zMax)}); // a value read from a file may sit at the limit
        QCOMPARE(top[top.add(item())]->zIndex, zMax);
        const QUuid p1 = uid(), p2 = uid(), p3 = uid(), p4 = uid();
        const CollageModel stack({item(p1, 2), item(p2, 0), item(p3, 2), item(p4, 0)});
        QCOMPARE(ids(stack.drawOrder()), (QList<QUuid>{p2, p4, p1, p3}));
        QCOMPARE(ids(stack.items()), (QList<QUuid>{p1, p2, p3, p4}));

        // Restacking one photo.
        using M = CollageModel;
        const QList<qint64> z123{1, 2, 3}, zeros{0, 0, 0}, limits{zMax, zMin};
        QCOMPARE(zAfter(z123, &M::sendBackward, 2), QList<qint64>({1, 3, 2}));
        QCOMPARE(zAfter(z123, &M::sendBackward, 0), z123); // the bottom one stays
        QCOMPARE(zAfter(z123, &M::bringForward, 0), QList<qint64>({2, 1, 3}));
        QCOMPARE(zAfter(z123, &M::bringForward, 2), z123); // the top one stays
        QCOMPARE(zAfter(z123, &M::sendToBack, 1), QList<qint64>({1, 0, 3}));
        QCOMPARE(zAfter(z123, &M::sendToBack, 0), QList<qint64>({0, 2, 3})); // the bottom one still falls
        QCOMPARE(zAfter(z123, &M::bringToFront, 2), QList<qint64>({1, 2, 4})); // the top one still rises
        QCOMPARE(zAfter(zeros, &M::bringForward, 0), zeros); // among equals nothing moves
        QCOMPARE(zAfter(zeros, &M::bringToFront, 0), QList<qint64>({1, 0, 0}));
        QCOMPARE(zAfter(limits, &M::sendToBack, 1), limits); // saturates rather than overflows
        QCOMPARE(zAfter(limits, &M::bringToFront, 1), QList<qint64>({zMax, zMax}));
    }

    void equalityIsExactAndPhotoFrameMeasures()
    {
        const PhotoItem a = item(uid(), 0);
        const auto differs = [&a](const std::function<void(PhotoItem &)> &change) {
            PhotoItem b = a;
            change(b);
            return a != b;
        };
        QVERIFY(!differs([](PhotoItem &) {}));
        QVERIFY(differs([](PhotoItem &b) { b.center.rx() += 1e-9; })); // Qt's fuzzy comparison calls these equal
        QVERIFY(differs([](PhotoItem &b) { b.cropRect.setHeight(0.999999999); }));
        QVERIFY(differs([](PhotoItem &b) { b.caption = QString(); })); // an empty caption is not an absent one
        QVERIFY(differs([](PhotoItem &b) { b.rotation = std::nan(""); }));

        // Frame measures.
        struct Row { QSizeF size; double mat; QSizeF frame; QRectF photo; double radius; QPointF pin; };
        for (const Row &r : {Row{{400, 300}, 15, {430, 351}, {15, 36, 400, 300}, 9, {215, 339}},
                             Row{{60, 80}, 5, {70, 97}, {5, 12, 60, 80}, 3, {35, 85}}, // raised to the minimum
                             Row{{-40, 30}, 5, {-30, 47}, {5, 12, -40, 30}, 3, {-15, 35}}}) {
            QCOMPARE(PhotoFrame::mat(r.size), (PhotoFrame::Insets{r.mat, r.mat, 2.4 * r.mat, r.mat}));
            QCOMPARE(PhotoFrame::frameSize(r.size), r.frame);
            QCOMPARE(PhotoFrame::photoRect(r.size), r.photo);
            QCOMPARE(PhotoFrame::cornerRadius(r.size), r.radius);
            QCOMPARE(PhotoFrame::pinCenter(r.size), r.pin);
        }
        QCOMPARE(PhotoFrame::pinColorIndex(uuidWithFirstByte(0xFF), 7), 3); // the byte is unsigned
        QCOMPARE(PhotoFrame::pinColorIndex(uuidWithFirstByte(0x06), 4), 2);
        QCOMPARE(PhotoFrame::pinColorIndex(uuidWithFirstByte(0x06), 0), 0);
    }

    void libraries()
    {
        const Library empty({}, uid()), one = Library::single(CollageModel(), QStringLiteral("Trip"));
        QCOMPARE(empty.collages(), QList<Collage>({{empty.activeID(), QStringLiteral("My Collage"), CollageModel()}}));
        QCOMPARE(one.collages(), QList<Collage>({{one.activeID(), QStringLiteral("Trip"), CollageModel()}}));
        QCOMPARE(Library({a, b}, uid()).activeID(), a.id);
        QCOMPARE(Library({a, b}, b.id).activeID(), b.id);

        // Changes reach only the active collage.
        Library library({a, b}, a.id);
        library.updateActive(CollageModel({PhotoItem()}));
        library.renameActive(QStringLiteral("  spaced "));
        QCOMPARE(library.collages(), QList<Collage>({{a.id, QStringLiteral("  spaced "), CollageModel({PhotoItem()})}, b}));
        const QUuid id = library.addCollage(QStringLiteral("B"));
        QCOMPARE(library.active(), (Collage{id, QStringLiteral("B"), CollageModel()}));
        QCOMPARE(library.find(id), &library.collages().last());
        QCOMPARE(library.findNamed(QStringLiteral("B"))->id, b.id);
        QVERIFY(!library.find(uid()) && !library.findNamed(QStringLiteral("C")));
        // Removing the active collage picks its neighbour, and the last one stays.
        Library last({a, b, c}, c.id), first({a, b}, a.id);
        last.removeActive();
        QCOMPARE(last.collages(), QList<Collage>({a, b}));
        QCOMPARE(last.activeID(), b.id);
        first.removeActive();
        QCOMPARE(first.collages(), QList<Collage>({b}));
        QCOMPARE(first.activeID(), b.id);
        first.removeActive();
        QCOMPARE(first.collages(), QList<Collage>({b}));

        // A decoded library with an unknown active id, or none at all, reads a fallback and ignores every
        // change to the active collage.
        Library decoded = Library::decoded({a, b}, uid()), none = Library::decoded({}, uid());
        QCOMPARE(decoded.active().id, a.id);
        QCOMPARE(none.active(), Collage());
        const Library before = decoded;
        for (Library *l : {&decoded, &none}) {
            l->updateActive(CollageModel({PhotoItem()}));
            l->renameActive(QStringLiteral("Z"));
            l->removeActive();
        }
        QCOMPARE(decoded, before);
        QVERIFY(none.collages().isEmpty());
    }

private:
    const Collage a = collage(QStringLiteral("A")), b = collage(QStringLiteral("B")), c = collage(QStringLiteral("C"));
};

QTEST_GUILESS_MAIN(TestCollageModel)
#include "tst_collagemodel.moc"
