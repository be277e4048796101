#pragma once

#include "platform/geocoding/Placemark.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class Geocoder;

// Feeds imported photos that carry coordinates to the geocoder strictly one at a time, in
// import order, and hands each found place name back as the photo's new caption.
class PlaceNameQueue : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QUuid id;
        double latitude = 0;
        double longitude = 0;
        std::optional<QString> date; // the caption the photo got at import
    };

    explicit PlaceNameQueue(Geocoder &geocoder, QObject *parent = nullptr);

    // Receives each photo's caption with its place name, on the GUI thread; the next lookup
    // starts only after it returns.
    std::function<void(const QUuid &id, const QString &caption)> onCaption;

    void enqueue(const Entry &entry);
    qsizetype waiting() const { return m_queue.size(); }
    bool isBusy() const { return m_geocoding; }

    // "Town, Country": the locality (or the district, or the place's name) and the country
    // (or the region); nothing when neither is known.
    static std::optional<QString> placeName(const std::optional<Placemark> &place);
    static QString caption(const QString &placeName, const std::optional<QString> &date);

private:
    void process();
    void answered(const Entry &entry, const std::optional<Placemark> &place);

    Geocoder &m_geocoder;
    QList<Entry> m_queue;
    bool m_geocoding = false;
};
