#pragma once

#include <QList>

#include <optional>
#include <vector>

// The nearest of a list of places to a point, found through a grid of one-degree cells so
// that a lookup reads a few cells instead of every place.
class CityIndex {
public:
    struct Position {
        double latitude = 0;
        double longitude = 0;
    };

    explicit CityIndex(QList<Position> cities);

    // The position in the list of the nearest city within radiusKm along the earth's surface.
    std::optional<int> nearest(double latitude, double longitude, double radiusKm) const;
    qsizetype size() const { return m_cities.size(); }

    static double distanceKm(double lat1, double lon1, double lat2, double lon2);

private:
    static int cellOf(int latCell, int lonCell);

    QList<Position> m_cities;
    // Indices into m_cities, grouped by cell: m_cellStart[c] .. m_cellStart[c + 1].
    std::vector<int> m_cellStart;
    std::vector<int> m_byCell;
};
