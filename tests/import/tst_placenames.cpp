#include "app/import/PlaceNameQueue.h"
#include "platform/fake/FakeGeocoder.h"

#include <QTest>

// Place names become captions one lookup at a time, in import order.
class TestPlaceNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeName_data()
    {
        QTest::addColumn<QStringList>("fields"); // locality, sub-area, name, country, area; "-" = absent
        QTest::addColumn<QString>("expected");   // "-" = no name
        QTest::newRow("town and country") << QStringList{"Lyon", "-", "-", "France", "-"} << "Lyon, France";
        QTest::newRow("sub-area alone") << QStringList{"-", "Somerset", "-", "-", "-"} << "Somerset";
        QTest::newRow("name and region") << QStringList{"-", "-", "Big Sur", "-", "California"} << "Big Sur, California";
        QTest::newRow("empty locality is not replaced") << QStringList{"", "Somerset", "-", "France", "-"} << "France";
        QTest::newRow("country over region") << QStringList{"Lyon", "-", "-", "France", "Rhône"} << "Lyon, France";
        QTest::newRow("nothing") << QStringList{"-", "-", "-", "", "-"} << "-";
    }

    void placeName()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        const auto field = [&](int i) { return fields[i] == u"-" ? std::nullopt : std::optional<QString>(fields[i]); };
        const Placemark place{field(0), field(1), field(2), field(3), field(4)};
        QCOMPARE(PlaceNameQueue::placeName(place).value_or(QStringLiteral("-")), expected);
        QVERIFY(!PlaceNameQueue::placeName(std::nullopt));
    }

    void lookupsOneAtATimeInImportOrder()
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
    }
};

QTEST_GUILESS_MAIN(TestPlaceNames)
#include "tst_placenames.moc"
