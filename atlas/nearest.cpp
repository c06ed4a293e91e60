#include "atlas/nearest.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

constexpr double kEarthRadiusKm = 6371.0088;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// A place found, nearest first; equal distances by the index's order.
struct Candidate {
    double distanceKm;
    std::uint32_t entry;
    bool operator<(const Candidate& o) const {
        return distanceKm != o.distanceKm ? distanceKm < o.distanceKm : entry < o.entry;
    }
};

std::vector<NearbyPlace> PlacesOf(const PlaceIndex& index, std::vector<Candidate>& found, std::size_t limit) {
    const std::size_t n = std::min(limit, found.size());
    std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(n), found.end());
    std::vector<NearbyPlace> out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k) out.push_back({index.at(found[k].entry), found[k].distanceKm});
    return out;
}

}  // namespace

double DistanceKm(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double phi1 = latitude1 * kRadiansPerDegree, phi2 = latitude2 * kRadiansPerDegree;
    const double sinHalfDphi = std::sin((phi2 - phi1) / 2);
    const double sinHalfDlambda = std::sin((longitude2 - longitude1) * kRadiansPerDegree / 2);
    const double h = sinHalfDphi * sinHalfDphi + std::cos(phi1) * std::cos(phi2) * sinHalfDlambda * sinHalfDlambda;
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

std::vector<NearbyPlace> NearestPlacesByScanning(const PlaceIndex& index, double latitude, double longitude,
                                                 std::size_t limit, double radiusKm) {
    std::vector<Candidate> found;
    for (std::size_t i = 0; i < index.size(); ++i) {
        const auto [lat, lon] = index.CoordinatesAt(i);
        const double d = DistanceKm(latitude, longitude, lat, lon);
        if (d <= radiusKm) found.push_back({d, static_cast<std::uint32_t>(i)});
    }
    return PlacesOf(index, found, limit);
}

std::vector<NearbyPlace> NearbyIndex::Nearest(double latitude, double longitude, std::size_t limit,
                                              double radiusKm) const {
    // Two points `radiusKm` apart differ by at most this much in latitude;
    // a little more, so that rounding never leaves a place out of the band.
    const double band = radiusKm / (kEarthRadiusKm * kRadiansPerDegree) * (1 + 1e-9) + 1e-9;
    const std::span<const place_tables::Point> points = index_.Tables().points;
    const auto first = std::lower_bound(points.begin(), points.end(), latitude - band,
                                        [](const place_tables::Point& p, double lat) { return p.latitude < lat; });
    std::vector<Candidate> found;
    for (auto it = first; it != points.end() && it->latitude <= latitude + band; ++it) {
        const double d = DistanceKm(latitude, longitude, it->latitude, it->longitude);
        if (d <= radiusKm && it->city < index_.size()) found.push_back({d, it->city});
    }
    return PlacesOf(index_, found, limit);
}

const NearbyIndex& AtlasNearby() {
    static const NearbyIndex nearby(Atlas());
    return nearby;
}

std::vector<NearbyPlace> NearestAtlasPlaces(double latitude, double longitude, std::size_t limit) {
    return AtlasNearby().Nearest(latitude, longitude, limit, kNearbyRadiusKm);
}

}  // namespace qv
