#include "platform/geocoding/CityIndex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int latCells = 180;
constexpr int lonCells = 360;
constexpr double earthRadiusKm = 6371.0088;
constexpr double kmPerDegree = earthRadiusKm * M_PI / 180;

int latCellOf(double latitude)
{
    return std::clamp(int(std::floor(latitude + 90)), 0, latCells - 1);
}

int lonCellOf(double longitude)
{
    const int cell = int(std::floor(longitude + 180));
    return ((cell % lonCells) + lonCells) % lonCells;
}

} // namespace

CityIndex::CityIndex(QList<Position> cities) : m_cities(std::move(cities))
{
    std::vector<int> cellOfCity(m_cities.size());
    std::vector<int> counts(latCells * lonCells + 1, 0);
    for (qsizetype i = 0; i < m_cities.size(); ++i) {
        cellOfCity[i] = cellOf(latCellOf(m_cities[i].latitude), lonCellOf(m_cities[i].longitude));
        ++counts[cellOfCity[i] + 1];
    }
    m_cellStart.assign(counts.size(), 0);
    for (size_t c = 1; c < counts.size(); ++c)
        m_cellStart[c] = m_cellStart[c - 1] + counts[c];
    m_byCell.resize(m_cities.size());
    std::vector<int> next(m_cellStart.begin(), m_cellStart.end() - 1);
    for (qsizetype i = 0; i < m_cities.size(); ++i)
        m_byCell[next[cellOfCity[i]]++] = int(i);
}

int CityIndex::cellOf(int latCell, int lonCell)
{
    return latCell * lonCells + lonCell;
}

double CityIndex::distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    const auto rad = [](double degrees) { return degrees * M_PI / 180; };
    const double dLat = rad(lat2 - lat1);
    const double dLon = rad(lon2 - lon1);
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(rad(lat1)) * std::cos(rad(lat2)) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * earthRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
}

std::optional<int> CityIndex::nearest(double latitude, double longitude, double radiusKm) const
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90)
        return std::nullopt;
    const double latSpan = radiusKm / kmPerDegree;
    const int latFrom = latCellOf(latitude - latSpan);
    const int latTo = latCellOf(latitude + latSpan);
    // Near a pole a circle of that radius can span every longitude.
    const double widest = std::max(std::abs(latitude) + latSpan, 0.0);
    const double lonSpan = widest >= 89.9 ? 180 : latSpan / std::cos(widest * M_PI / 180);
    const int lonCount = lonSpan >= 180 ? lonCells : std::min(lonCells, 2 * int(std::ceil(lonSpan)) + 1);
    const int lonFrom = lonCount == lonCells ? 0 : lonCellOf(longitude) - lonCount / 2;

    std::optional<int> best;
    double bestKm = radiusKm;
    for (int latCell = latFrom; latCell <= latTo; ++latCell) {
        for (int step = 0; step < lonCount; ++step) {
            const int cell = cellOf(latCell, ((lonFrom + step) % lonCells + lonCells) % lonCells);
            for (int k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                const Position &city = m_cities[m_byCell[k]];
                // Farther in latitude alone than the best so far: no need for the full distance.
                if (std::abs(city.latitude - latitude) * kmPerDegree > bestKm)
                    continue;
                const double km = distanceKm(latitude, longitude, city.latitude, city.longitude);
                if (km <= bestKm) {
                    bestKm = km;
                    best = m_byCell[k];
                }
            }
        }
    }
    return best;
}
