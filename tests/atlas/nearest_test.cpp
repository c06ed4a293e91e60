// The atlas's places near a point: the distance, and the index by latitude
// judged against measuring every place.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "atlas/nearest.h"

namespace qv {
namespace {

TEST(DistanceKm, GreatCircleDistances) {
    struct Case {
        double lat1, lon1, lat2, lon2, km;
    };
    const Case cases[] = {
        {48.8566, 2.3522, 51.5074, -0.1278, 343.56},       // Paris to London
        {40.7128, -74.0060, 34.0522, -118.2437, 3935.75},  // New York to Los Angeles
        {-16.8, 179.9, -16.8, -179.9, 21.29},              // across the antimeridian
        {89.9, 0, 89.9, 180, 22.24},                       // over the pole
        {0, 0, 0, 180, 20015.11},                          // half the globe
        {47.5, 11.1, 47.5, 11.1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(DistanceKm(c.lat1, c.lon1, c.lat2, c.lon2), c.km, 0.01) << c.lat1 << " " << c.lon1;
        EXPECT_DOUBLE_EQ(DistanceKm(c.lat1, c.lon1, c.lat2, c.lon2), DistanceKm(c.lat2, c.lon2, c.lat1, c.lon1));
    }
}

bool SameAnswer(const std::vector<NearbyPlace>& a, const std::vector<NearbyPlace>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].place != b[i].place || a[i].distanceKm != b[i].distanceKm) return false;
    return true;
}

// Points near cities (where the answers are many), anywhere, and at the
// edges: the poles, the antimeridian; limits and radii of every size.
TEST(NearbyIndex, AnswersAsMeasuringEveryPlace) {
    const PlaceIndex& atlas = Atlas();
    ASSERT_GT(atlas.size(), 1000u);
    const NearbyIndex& index = AtlasNearby();
    std::mt19937 random(21);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<std::size_t> city(0, atlas.size() - 1);
    std::vector<std::array<double, 2>> points = {{90, 0}, {-90, 0}, {-16.8, 180}, {-16.8, -180}, {64.2, -51.7}};
    for (int k = 0; k < 60; ++k) {
        const Place p = atlas.at(city(random));
        points.push_back({std::clamp(p.latitude + unit(random) - 0.5, -90.0, 90.0), p.longitude + unit(random) - 0.5});
        points.push_back({unit(random) * 180 - 90, unit(random) * 360 - 180});
    }
    const double radii[] = {0.5, 10, 100, 400};
    const std::size_t limits[] = {1, 5, 50};
    std::size_t found = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double radius = radii[i % std::size(radii)];
        const std::size_t limit = limits[i % std::size(limits)];
        const auto fast = index.Nearest(points[i][0], points[i][1], limit, radius);
        const auto slow = NearestPlacesByScanning(atlas, points[i][0], points[i][1], limit, radius);
        EXPECT_TRUE(SameAnswer(fast, slow)) << points[i][0] << " " << points[i][1] << " " << radius;
        for (std::size_t k = 1; k < fast.size(); ++k) EXPECT_LE(fast[k - 1].distanceKm, fast[k].distanceKm);
        for (const NearbyPlace& n : fast) EXPECT_LE(n.distanceKm, radius);
        found += fast.size();
    }
    EXPECT_GT(found, points.size());  // the judge saw places, not only empty answers
}

TEST(NearestAtlasPlaces, TheNearestCitiesWithinAHundredKilometres) {
    const auto garmisch = NearestAtlasPlaces(47 + 35 / 60.0, 11 + 4 / 60.0, 3);
    ASSERT_EQ(garmisch.size(), 3u);
    EXPECT_EQ(garmisch[0].place.name, "Garmisch-Partenkirchen");
    EXPECT_NEAR(garmisch[0].distanceKm, 10.4, 0.05);
    EXPECT_TRUE(NearestAtlasPlaces(0, -30, 10).empty());  // the Atlantic
}

}  // namespace
}  // namespace qv
