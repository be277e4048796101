#include "platform/geocoding/CityIndex.h"
#include "platform/geocoding/GeonamesGeocoder.h"

#include "support/Sandbox.h"

#include <QtTest>

// Place names from the table of cities on this computer.
class TestGeocoding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void citiesNearby()
    {
        const QStringList names{"Paris", "Strasbourg", "Labasa", "Pole Camp"};
        const CityIndex index({{48.8566, 2.3522}, {48.5734, 7.7521}, {-16.4333, 179.3667}, {89.9, 80.0}});
        struct Row { double latitude, longitude, radiusKm; QString expected; };
        for (const Row &r : {Row{48.80, 2.30, 50, "Paris"}, {49.40, 2.35, 50, ""}, // the nearer of two; just outside
                             {48.99, 2.99, 200, "Paris"}, {-16.5, -179.9, 100, "Labasa"}, // cell border; antimeridian
                             {89.5, -100, 150, "Pole Camp"}, // high north, far in longitude
                             {0, -30, 50, ""}, {120, 0, 50, ""}}) { // the open sea; not a place
            const std::optional<int> city = index.nearest(r.latitude, r.longitude, r.radiusKm);
            QCOMPARE(city ? names[*city] : QString(), r.expected);
        }
        QCOMPARE(qRound(CityIndex::distanceKm(48.8566, 2.3522, 51.5074, -0.1278)), 344); // Paris–London
        QCOMPARE(qRound(CityIndex::distanceKm(0, 179.5, 0, -179.5)), 111);

        // The real table: a city's own coordinates name it, the open sea names nothing.
        Sandbox sandbox; // the positions are kept in the cache folder
        GeonamesGeocoder geocoder;
        QObject context;
        QList<std::optional<Placemark>> answers;
        const auto record = [&](const std::optional<Placemark> &place) {
            QCOMPARE(QThread::currentThread(), qApp->thread());
            answers.append(place);
        };
        geocoder.reverseGeocode(-33.8688, 151.2093, &context, record);
        geocoder.reverseGeocode(-40.0, -20.0, &context, record);
        QTRY_COMPARE(answers.size(), 2);
        QVERIFY(answers[0]);
        QCOMPARE(answers[0]->locality, QStringLiteral("Sydney"));
        QCOMPARE(answers[0]->country, QStringLiteral("Australia"));
        QVERIFY(!answers[1]);

        // An answer for a context that is gone is dropped.
        auto gone = std::make_unique<QObject>();
        geocoder.reverseGeocode(-33.8688, 151.2093, gone.get(), record);
        gone.reset();
        QTest::qWait(200);
        QCOMPARE(answers.size(), 2);
        QVERIFY(QFile::exists(GeonamesGeocoder::defaultCacheFile()));

        // Kept positions are used only while they belong to the same table; anything else in
        // that file is replaced by a fresh reading.
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("sub/positions.bin"));
        const QList<CityIndex::Position> table = GeonamesGeocoder::readPositions();
        const auto same = [&](const QList<CityIndex::Position> &list) {
            return list.size() == table.size() && list.last().latitude == table.last().latitude
                && list.first().longitude == table.first().longitude;
        };
        QVERIFY(same(GeonamesGeocoder::loadPositions(kept)));
        QVERIFY(QFile::exists(kept));
        QVERIFY(same(GeonamesGeocoder::loadPositions(kept)));

        // Positions kept for another library file, then a cut-off file.
        const QByteArray bytes = TestFiles::read(kept);
        QByteArray stale;
        QDataStream out(&stale, QIODevice::WriteOnly);
        out << QByteArray("/usr/lib/libgeonames.so.0 1 1") << qint32(table.size());
        for (int i = 0; i < table.size(); ++i)
            out << 0.0 << 0.0;
        for (const QByteArray &broken : {stale, bytes.left(bytes.size() / 2)}) {
            QVERIFY(TestFiles::write(kept, broken));
            QVERIFY(same(GeonamesGeocoder::loadPositions(kept)));
            QCOMPARE(TestFiles::read(kept), bytes);
        }
    }
};

QTEST_GUILESS_MAIN(TestGeocoding)
#include "tst_geocoding.moc"
