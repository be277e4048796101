#include "app/import/PlaceNameQueue.h"
#include "platform/fake/FakeGeocoder.h"

#include <QTest>

// Place names become captions one lookup at a time, in import order.
class TestPlaceNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAndLookupsOneAtATimeInImportOrder()
    {
        FakeGeocoder geocoder;
        PlaceNameQueue queue(geocoder);
        QStringList captions;
        queue.onCaption = [&](const QUuid &, const QString &caption) {
            // The next request goes out only after this answer was applied.
            QCOMPARE(geocoder.requests.size(), geocoder.answered);
            captions.append(caption);
        };
        const QList<PlaceNameQueue::Entry> entries{{QUuid::createUuid(), 1, 2, QStringLiteral("July 2021")},
                                                   {QUuid::createUuid(), 3, 4, std::nullopt},
                                                   {QUuid::createUuid(), 5, 6, QStringLiteral("May 2020")}};
        for (const PlaceNameQueue::Entry &entry : entries)
            queue.enqueue(entry);
        QCOMPARE(geocoder.requests.size(), 1);
        QCOMPARE(queue.waiting(), 2);

        const Placemark lyon{QStringLiteral("Lyon"), {}, {}, QStringLiteral("France"), {}};
        QVERIFY(geocoder.answerNext(lyon));
        QVERIFY(geocoder.answerNext(lyon));
        QVERIFY(geocoder.answerNext(std::nullopt)); // no place: the caption stays as it is
        QVERIFY(!geocoder.answerNext(lyon));
        QCOMPARE(captions, (QStringList{"Lyon, France  ·  July 2021", "Lyon, France"}));
        QCOMPARE(geocoder.requests[1].latitude, 3.0);
        QCOMPARE(geocoder.requests[2].longitude, 6.0);
        QVERIFY(!queue.isBusy());

        // Fields: locality, sub-area, name, country, area, "-" when absent; an expected "-" is no name.
        const std::pair<QStringList, QString> rows[] = {{{"Lyon", "-", "-", "France", "-"}, "Lyon, France"},
            {{"-", "Somerset", "-", "-", "-"}, "Somerset"}, {{"-", "-", "Big Sur", "-", "Cal."}, "Big Sur, Cal."},
            {{"", "Somerset", "-", "France", "-"}, "France"}, // an empty locality is not replaced
            {{"Lyon", "-", "-", "France", "Rhône"}, "Lyon, France"}, {{"-", "-", "-", "", "-"}, "-"}};
        for (const auto &[fields, expected] : rows) {
            const auto field = [&f = fields](int i) { return f[i] == u"-" ? std::nullopt : std::optional(f[i]); };
            const Placemark place{field(0), field(1), field(2), field(3), field(4)};
            QCOMPARE(PlaceNameQueue::placeName(place).value_or(QStringLiteral("-")), expected);
        }
        QVERIFY(!PlaceNameQueue::placeName(std::nullopt));
    }
};

QTEST_GUILESS_MAIN(TestPlaceNames)
#include "tst_placenames.moc"
