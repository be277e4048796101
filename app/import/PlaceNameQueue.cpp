#include "app/import/PlaceNameQueue.h"

#include "platform/geocoding/Geocoder.h"

PlaceNameQueue::PlaceNameQueue(Geocoder &geocoder, QObject *parent) : QObject(parent), m_geocoder(geocoder) {}

void PlaceNameQueue::enqueue(const Entry &entry)
{
    m_queue.append(entry);
    process();
}

void PlaceNameQueue::process()
{
    if (m_geocoding || m_queue.isEmpty())
        return;
    m_geocoding = true;
    const Entry entry = m_queue.takeFirst();
    m_geocoder.reverseGeocode(entry.latitude, entry.longitude, this,
                              [this, entry](const std::optional<Placemark> &place) { answered(entry, place); });
}

void PlaceNameQueue::answered(const Entry &entry, const std::optional<Placemark> &place)
{
    if (const std::optional<QString> name = placeName(place); name && onCaption)
        onCaption(entry.id, caption(*name, entry.date));
    m_geocoding = false;
    process();
}

std::optional<QString> PlaceNameQueue::placeName(const std::optional<Placemark> &place)
{
    if (!place)
        return std::nullopt;
    // Presence decides, not content: an empty locality is kept and then dropped as empty.
    const std::optional<QString> local =
        place->locality ? place->locality : place->subAdministrativeArea ? place->subAdministrativeArea : place->name;
    const std::optional<QString> region = place->country ? place->country : place->administrativeArea;
    QStringList parts;
    for (const std::optional<QString> &part : {local, region}) {
        if (part && !part->isEmpty())
            parts.append(*part);
    }
    if (parts.isEmpty())
        return std::nullopt;
    return parts.join(QStringLiteral(", "));
}

QString PlaceNameQueue::caption(const QString &placeName, const std::optional<QString> &date)
{
    return date ? placeName + QStringLiteral("  \u00B7  ") + *date : placeName;
}
