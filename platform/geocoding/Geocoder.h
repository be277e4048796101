#pragma once

#include "platform/geocoding/Placemark.h"

#include <functional>
#include <optional>

class QObject;

// Turns a latitude and longitude (signed decimal degrees) into a place.
class Geocoder {
public:
    using Completion = std::function<void(const std::optional<Placemark> &place)>;

    virtual ~Geocoder() = default;

    // Answers once, on the GUI thread, with nothing where no place is known; never after
    // context is gone. Called on the GUI thread.
    virtual void reverseGeocode(double latitude, double longitude, QObject *context, Completion done) = 0;
};
