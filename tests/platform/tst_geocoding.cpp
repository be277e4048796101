#include "platform/geocoding/CityIndex.h"
#include "platform/geocoding/GeonamesGeocoder.h"

#include <QSignalSpy>
#include <QTest>

// Place names from the table of cities on this computer.
class TestGeocoding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nearestCityWithinTheRadius_data()
    {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("radiusKm");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the nearer of two") << 48.80 << 2.30 << 50.0 << "Paris";
        QTest::newRow("just outside the radius") << 49.40 << 2.35 << 50.0 << "";
        QTest::newRow("across a cell border") << 48.99 << 2.99 << 200.0 << "Paris";
        QTest::newRow("across the antimeridian") << -16.5 << -179.9 << 100.0 << "Labasa";
        QTest::newRow("high north, far in longitude") << 89.5 << -100.0 << 150.0 << "Pole Camp";
        QTest::newRow("open sea") << 0.0 << -30.0 << 50.0 << "";
        QTest::newRow("not a place") << 120.0 << 0.0 << 50.0 << "";
    }

    void nearestCityWithinTheRadius()
    {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(double, radiusKm);
        QFETCH(QString, expected);
        const QStringList names{"Paris", "Strasbourg", "Labasa", "Pole Camp"};
        const CityIndex index({{48.8566, 2.3522}, {48.5734, 7.7521}, {-16.4333, 179.3667}, {89.9, 80.0}});
        const std::optional<int> city = index.nearest(latitude, longitude, radiusKm);
        QCOMPARE(city ? names[*city] : QString(), expected);
    }

    void distances()
    {
        QCOMPARE(qRound(CityIndex::distanceKm(48.8566, 2.3522, 51.5074, -0.1278)), 344); // Paris–London
        QCOMPARE(qRound(CityIndex::distanceKm(0, 179.5, 0, -179.5)), 111);
    }

    // The real table: a city's own coordinates name it, the open sea names nothing.
    void answersFromTheTableOnTheGuiThread()
    {
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
        QVERIFY(answers[0] && answers[0]->locality == QStringLiteral("Sydney"));
        QVERIFY(answers[0]->country == QStringLiteral("Australia") && !answers[1]);

        // An answer for a context that is gone is dropped.
        auto gone = std::make_unique<QObject>();
        geocoder.reverseGeocode(-33.8688, 151.2093, gone.get(), record);
        gone.reset();
        QTest::qWait(200);
        QCOMPARE(answers.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestGeocoding)
#include "tst_geocoding.moc"
