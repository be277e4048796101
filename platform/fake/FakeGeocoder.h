#pragma once

#include "platform/geocoding/Geocoder.h"

#include <QList>
#include <QObject>
#include <QPointer>

// Records each request and answers only when the test says so, like a slow service.
class FakeGeocoder : public Geocoder {
public:
    struct Request {
        double latitude;
        double longitude;
        QPointer<QObject> context;
        Completion done;
    };

    void reverseGeocode(double latitude, double longitude, QObject *context, Completion done) override
    {
        requests.append({latitude, longitude, context, std::move(done)});
    }

    // Answers the oldest unanswered request; false when there is none.
    bool answerNext(const std::optional<Placemark> &place)
    {
        if (answered >= requests.size())
            return false;
        Request &request = requests[answered++];
        if (request.context)
            request.done(place);
        return true;
    }

    QList<Request> requests;
    qsizetype answered = 0;
};
