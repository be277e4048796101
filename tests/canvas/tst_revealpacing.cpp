#include "app/canvas/RevealPacing.h"

#include <QTest>

namespace {

QList<QUuid> ids(int count)
{
    QList<QUuid> list;
    for (int i = 0; i < count; ++i)
        list.append(QUuid::createUuid());
    return list;
}

} // namespace

// Spreading the first appearance of many prints over frames that fit the budget.
class TestRevealPacing : public QObject {
    Q_OBJECT
private slots:
    void batchesFollowTheMeasuredCost()
    {
        QCOMPARE(RevealPacing::batchFor(RevealPacing::frameBudgetMs / 4), 4);
        QCOMPARE(RevealPacing::batchFor(RevealPacing::frameBudgetMs / 4 + 0.01), 3);
        // However dear a print, one a frame still moves the queue along.
        QCOMPARE(RevealPacing::batchFor(RevealPacing::frameBudgetMs * 10), 1);
        // Nothing measured yet (or nonsense): the cautious first batch.
        QCOMPARE(RevealPacing::batchFor(0), RevealPacing::firstBatch);
        QCOMPARE(RevealPacing::batchFor(qQNaN()), RevealPacing::firstBatch);
        // Dear frames count at once, cheap ones slowly.
        QCOMPARE(RevealPacing::nextEstimate(1, 4), 4.0);
        QCOMPARE(RevealPacing::nextEstimate(4, 1), 3.0);
    }

    void everyPrintIsShownOnceInOrder()
    {
        RevealPacing pacing;
        const QList<QUuid> crowd = ids(40);
        QList<QUuid> shown = pacing.start(crowd);
        QCOMPARE(shown.size(), RevealPacing::firstBatch);
        // Cheap frames: batches grow, at most twofold a frame.
        int previous = int(shown.size());
        while (pacing.pendingCount() > 0) {
            const QList<QUuid> batch = pacing.framePainted(0.01);
            QVERIFY(!batch.isEmpty());
            QVERIFY(batch.size() <= 2 * previous);
            previous = int(batch.size());
            shown += batch;
        }
        QCOMPARE(shown, crowd);
        // The last batch's frame is still to come; after it nothing is left to do.
        QVERIFY(pacing.isActive());
        QVERIFY(pacing.framePainted(1).isEmpty());
        QVERIFY(!pacing.isActive());
    }

    void aNewCrowdWaitsForTheFrameInFlight()
    {
        RevealPacing pacing;
        const QList<QUuid> first = ids(3);
        QCOMPARE(pacing.start(first), first.first(RevealPacing::firstBatch));
        QVERIFY(pacing.start(ids(3)).isEmpty());
        // A frame far over budget: one print a frame from then on.
        QCOMPARE(pacing.framePainted(RevealPacing::frameBudgetMs * 2 * RevealPacing::firstBatch).size(), 1);
        QCOMPARE(pacing.pendingCount(), 3);
        pacing.clear();
        QVERIFY(!pacing.isActive());
        QVERIFY(pacing.framePainted(1).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestRevealPacing)
#include "tst_revealpacing.moc"
