#pragma once

#include "platform/geocoding/CityIndex.h"
#include "platform/geocoding/Geocoder.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <memory>
#include <optional>

// Place names without the network: the nearest city of libgeonames' table (over 24,000
// cities of more than 15,000 people, names in the user's language), within radiusKm.
// One worker thread builds the index on first use and then answers in order.
class GeonamesGeocoder : public QObject, public Geocoder {
    Q_OBJECT
public:
    // The listed cities lie about 80 km apart on average over inhabited land, so a photo
    // from a town's outskirts or the countryside around it is usually within 50 km of one;
    // farther out (open sea, desert, tundra) "near that city" would no longer be true.
    static constexpr double radiusKm = 50;

    explicit GeonamesGeocoder(QObject *parent = nullptr);
    ~GeonamesGeocoder() override;

    void reverseGeocode(double latitude, double longitude, QObject *context, Completion done) override;

    // Where the cities of the table lie, in table order. Their names are read only for a
    // city found: translating every name takes longer than all the rest. Reading them from
    // the library costs tens of milliseconds, so they are kept in cacheFile (when not empty)
    // for as long as the library file is the same.
    static QList<CityIndex::Position> loadPositions(const QString &cacheFile = defaultCacheFile());
    static QString defaultCacheFile();
    // The names of the table's city, in the user's language.
    static Placemark placemarkOf(int city);
    static QList<CityIndex::Position> readPositions();

private:
    void deliver(quint64 ticket, const std::optional<Placemark> &place);

    struct Pending {
        QPointer<QObject> context;
        Completion done;
    };
    QThreadPool m_worker;
    std::unique_ptr<CityIndex> m_index; // touched only on the worker
    QHash<quint64, Pending> m_pending;
    quint64 m_nextTicket = 0;
};
