#pragma once

#include <QString>

#include <optional>

// What a reverse-geocoding answer says of a place; any field may be missing.
struct Placemark {
    std::optional<QString> locality;
    std::optional<QString> subAdministrativeArea;
    std::optional<QString> name;
    std::optional<QString> country;
    std::optional<QString> administrativeArea;
};
