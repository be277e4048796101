// libgeonames pulls in GLib, whose headers use names that Qt's keywords would rewrite.
#include <geonames/geonames.h>

#include "platform/geocoding/GeonamesGeocoder.h"

#include "platform/threads/BackgroundPriority.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <dlfcn.h>

namespace {

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

std::optional<QString> nonEmpty(const QString &value)
{
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

// The table is compiled into the library: a new library file may hold other cities.
QByteArray libraryIdentity()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&geonames_get_n_cities), &info) || !info.dli_fname)
        return QByteArrayLiteral("unknown");
    const QFileInfo library(QString::fromLocal8Bit(info.dli_fname));
    return library.canonicalFilePath().toUtf8() + ' ' + QByteArray::number(library.size()) + ' '
        + QByteArray::number(library.lastModified().toMSecsSinceEpoch());
}

} // namespace

GeonamesGeocoder::GeonamesGeocoder(QObject *parent) : QObject(parent)
{
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(QStringLiteral("geocoder"));
}

GeonamesGeocoder::~GeonamesGeocoder()
{
    // Jobs post their answers to this object: none may outlive it.
    m_worker.waitForDone();
}

QString GeonamesGeocoder::defaultCacheFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/veloran/geonames-positions.bin");
}

QList<CityIndex::Position> GeonamesGeocoder::loadPositions(const QString &cacheFile)
{
    const QByteArray identity = libraryIdentity();
    if (!cacheFile.isEmpty()) {
        QFile file(cacheFile);
        if (file.open(QIODevice::ReadOnly)) {
            QDataStream in(&file);
            QByteArray stored;
            QList<CityIndex::Position> cached;
            in >> stored;
            qint32 count = 0;
            in >> count;
            if (stored == identity && count == geonames_get_n_cities()) {
                cached.resize(count);
                for (CityIndex::Position &position : cached)
                    in >> position.latitude >> position.longitude;
                if (in.status() == QDataStream::Ok)
                    return cached;
            }
        }
    }
    QList<CityIndex::Position> positions = readPositions();
    if (!cacheFile.isEmpty() && QDir().mkpath(QFileInfo(cacheFile).absolutePath())) {
        QSaveFile file(cacheFile);
        if (file.open(QIODevice::WriteOnly)) {
            QDataStream out(&file);
            out << identity << qint32(positions.size());
            for (const CityIndex::Position &position : std::as_const(positions))
                out << position.latitude << position.longitude;
            file.commit();
        }
    }
    return positions;
}

QList<CityIndex::Position> GeonamesGeocoder::readPositions()
{
    QList<CityIndex::Position> positions;
    const int count = geonames_get_n_cities();
    positions.reserve(count);
    for (int i = 0; i < count; ++i) {
        GeonamesCity *city = geonames_get_city(i);
        positions.append(city ? CityIndex::Position{geonames_city_get_latitude(city), geonames_city_get_longitude(city)}
                              : CityIndex::Position{1000, 1000}); // never near anything
        if (city)
            geonames_city_free(city);
    }
    return positions;
}

Placemark GeonamesGeocoder::placemarkOf(int index)
{
    Placemark place;
    if (GeonamesCity *city = geonames_get_city(index)) {
        place.locality = nonEmpty(text(geonames_city_get_name(city)));
        place.administrativeArea = nonEmpty(text(geonames_city_get_state(city)));
        place.country = nonEmpty(text(geonames_city_get_country(city)));
        geonames_city_free(city);
    }
    return place;
}

void GeonamesGeocoder::reverseGeocode(double latitude, double longitude, QObject *context, Completion done)
{
    const quint64 ticket = ++m_nextTicket;
    m_pending.insert(ticket, Pending{context, std::move(done)});
    m_worker.start([this, ticket, latitude, longitude] {
        lowerCurrentThreadPriority();
        if (!m_index)
            m_index = std::make_unique<CityIndex>(loadPositions());
        std::optional<Placemark> place;
        if (const std::optional<int> city = m_index->nearest(latitude, longitude, radiusKm))
            place = placemarkOf(*city);
        QMetaObject::invokeMethod(this, [this, ticket, place] { deliver(ticket, place); }, Qt::QueuedConnection);
    });
}

void GeonamesGeocoder::deliver(quint64 ticket, const std::optional<Placemark> &place)
{
    const Pending pending = m_pending.take(ticket);
    if (pending.context && pending.done)
        pending.done(place);
}
