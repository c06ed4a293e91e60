// The atlas's places near a point: the nearest city to coordinates typed by
// hand, and `quorvane-report --find-place 47:35N,11:04E`.
#pragma once

#include <cstddef>
#include <vector>

#include "atlas/places.h"

namespace qv {

// How far the form and the command look for a place near coordinates. Km.
inline constexpr double kNearbyRadiusKm = 100.0;

// Great-circle distance between two points given in degrees (north and
// east positive), on a sphere of the Earth's mean radius, 6371.0088 km
// (haversine formula). Km.
double DistanceKm(double latitude1, double longitude1, double latitude2, double longitude2);

struct NearbyPlace {
    Place place;
    double distanceKm = 0;
};

// The places of `index` within `radiusKm` of the point, nearest first (equal
// distances in the index's order), at most `limit`: every place measured in
// turn. Slow; the tests' judge of NearbyIndex.
std::vector<NearbyPlace> NearestPlacesByScanning(const PlaceIndex& index, double latitude, double longitude,
                                                 std::size_t limit, double radiusKm);

// The search over the index's coordinates sorted by latitude, so that it
// measures only the band of latitudes the radius reaches. The coordinates are
// one of the index's tables: nothing is built.
class NearbyIndex {
public:
    explicit NearbyIndex(const PlaceIndex& index) : index_(index) {}

    // As NearestPlacesByScanning, with the same answer.
    std::vector<NearbyPlace> Nearest(double latitude, double longitude, std::size_t limit, double radiusKm) const;

private:
    const PlaceIndex& index_;
};

// The atlas's NearbyIndex, over Atlas() (thread-safe).
const NearbyIndex& AtlasNearby();

// AtlasNearby().Nearest(latitude, longitude, limit, kNearbyRadiusKm).
std::vector<NearbyPlace> NearestAtlasPlaces(double latitude, double longitude, std::size_t limit);

}  // namespace qv
