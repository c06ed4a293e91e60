// The house boxes' layout in the wheel, without a window: texts measured by a
// type of fixed proportions, in wheels of the display form's sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "chart/house_layout.h"

namespace qv {
namespace {

// The wheel of a window `width` by `height` at `scale`, as the chart window
// draws it, with its house type in pixels (8.25 and 7 points at 96 dots an
// inch, whole pixels).
struct Wheel {
    WheelFrame frame;
    int largest, smallest;
};

Wheel WheelOf(double width, double height, double scale) {
    const double outer = std::max(10.0, std::min(width, height) / 2.0 - 6.0 * scale);
    return {{{width / 2.0, height / 2.0}, outer * 0.82, outer * 0.19, scale},
            int(std::lround(8.25 * scale * 96.0 / 72.0)),
            int(std::ceil(7.0 * scale * 96.0 / 72.0 - 1e-6))};
}

// Lines of `texts` in a type whose letters are 0.6 of its height wide.
HouseLines LinesOf(const std::vector<std::string>& texts, const Wheel& wheel) {
    HouseLines lines;
    lines.count = texts.size();
    lines.largestPixels = wheel.largest;
    lines.smallestPixels = wheel.smallest;
    lines.widths = [texts](int pixels) {
        std::vector<double> widths;
        for (const std::string& t : texts) widths.push_back(0.6 * pixels * double(t.size()));
        return widths;
    };
    lines.spacing = [](int pixels) { return 1.17 * pixels; };
    return lines;
}

constexpr double kDeg = std::numbers::pi / 180.0;

// How far `p` lies inside the sector of `house` from its two cusps and the
// ring; negative outside.
double ClearanceFromCuspsAndRing(const WheelFrame& w, WheelPoint p, int house) {
    const double dx = p.x - w.centre.x, dy = p.y - w.centre.y;
    const double r = std::hypot(dx, dy);
    const double from = std::fmod(std::atan2(-dy, dx) / kDeg - (180.0 + 30.0 * (house - 1)) + 720.0, 360.0);
    if (from > 30.0) return -1.0;
    return std::min(r * std::sin(std::min(from, 30.0 - from) * kDeg), w.ring - r);
}

// How far the rectangle keeps from the hub.
double ClearanceFromHub(const WheelFrame& w, const WheelRect& r) {
    const double x = std::clamp(w.centre.x, r.x, r.right()), y = std::clamp(w.centre.y, r.y, r.bottom());
    return std::hypot(x - w.centre.x, y - w.centre.y) - w.hub;
}

// Every line's rectangle inside the house's sector, `air` clear of its lines.
void ExpectInsideTheSector(const WheelFrame& w, const HouseLayout& layout, int house, const std::string& what) {
    const double air = kHouseLineAir * w.scale - 1e-6;
    for (const WheelRect& r : layout.lines) {
        for (const WheelPoint corner : {WheelPoint{r.x, r.y}, WheelPoint{r.right(), r.y}, WheelPoint{r.x, r.bottom()},
                                        WheelPoint{r.right(), r.bottom()}})
            EXPECT_GE(ClearanceFromCuspsAndRing(w, corner, house), air) << what;
        EXPECT_GE(ClearanceFromHub(w, r), air) << what;
        EXPECT_EQ(SectorOverreach(w, r, house), 0.0) << what;
    }
}

// Whether two rectangles overlap by more than rounding (lines one under the
// other touch).
bool Meet(const WheelRect& a, const WheelRect& b) {
    constexpr double kRounding = 1e-9;
    return a.x + kRounding < b.right() && b.x + kRounding < a.right() && a.y + kRounding < b.bottom() &&
           b.y + kRounding < a.bottom();
}

WheelRect Covered(const HouseLayout& layout) {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (const WheelRect& r : layout.lines) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.right());
        bottom = std::max(bottom, r.bottom());
    }
    return {left, top, right - left, bottom - top};
}

const std::vector<std::string> kOneBody = {"Sun"};
const std::vector<std::string> kTwoBodies = {"Sun", "Moon"};
const std::vector<std::string> kTwoLong = {"Neptune (R)", "Pluto (R)"};
const std::vector<std::string> kStellium = {"Sun", "Moon", "Mercury (R)", "Venus", "Mars", "Jupiter", "Saturn", "Asc"};
const std::vector<std::string> kEveryBody = {"Sun",         "Moon",        "Mercury (R)", "Venus",
                                             "Mars",        "Jupiter (R)", "Saturn (R)",  "Uranus (R)",
                                             "Neptune (R)", "Pluto (R)",   "Asc"};

struct SizeCase {
    double width, height, scale;
};
const SizeCase kSizes[] = {{450, 431, 1.0}, {900, 862, 2.0}, {300, 500, 1.0}, {653, 625, 1.45}};

// Every list in every house at every size: the lines keep clear of the
// house's lines where the layout says so, in type between the floor and the
// boxes' type, each line once, and no two lines of a box on each other.
TEST(HouseLayout, LinesStayInsideTheirSectorOrSaySo) {
    for (const SizeCase& size : kSizes) {
        const Wheel wheel = WheelOf(size.width, size.height, size.scale);
        for (const auto* list : {&kOneBody, &kTwoBodies, &kTwoLong, &kStellium, &kEveryBody}) {
            for (int house = 1; house <= 12; ++house) {
                const std::string what = std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)) +
                                         ", house " + std::to_string(house) + ", " + std::to_string(list->size()) +
                                         " lines";
                const HouseLayout layout = ArrangeHouse(wheel.frame, house, LinesOf(*list, wheel));
                ASSERT_EQ(layout.lines.size(), list->size()) << what;
                EXPECT_GE(layout.pixels, wheel.smallest) << what;
                EXPECT_LE(layout.pixels, wheel.largest) << what;
                for (std::size_t a = 0; a < layout.lines.size(); ++a) {
                    EXPECT_GT(layout.lines[a].width, 0.0) << what;
                    EXPECT_NEAR(layout.lines[a].height, 1.17 * layout.pixels, 1e-9) << what;
                    for (std::size_t b = a + 1; b < layout.lines.size(); ++b)
                        EXPECT_FALSE(Meet(layout.lines[a], layout.lines[b])) << what << ": " << a << ", " << b;
                }
                if (layout.insideSector) {
                    ExpectInsideTheSector(wheel.frame, layout, house, what);
                } else {
                    EXPECT_EQ(layout.pixels, wheel.smallest) << what;
                    EXPECT_GT(SectorOverreach(wheel.frame, Covered(layout), house), 0.0) << what;
                }
            }
        }
    }
}

// What the display form's sizes give: a body or two in the boxes' own type in
// one column; the Chicago stellium (seven bodies and the ascendant in house
// 1) in two columns, inside; every body in one house at the designed size
// reaching over the lines, drawn in the smallest type.
TEST(HouseLayout, TypeShrinksThenTwoColumnsThenOverTheLines) {
    struct Case {
        const char* what;
        SizeCase size;
        const std::vector<std::string>* lines;
        int house;
        int pixels;  // 1 the boxes' type, -1 the smallest, 0 any between
        int columns;
        bool inside;
    };
    const Case cases[] = {
        {"one body", {450, 431, 1.0}, &kOneBody, 1, 1, 1, true},
        {"two bodies at the top", {450, 431, 1.0}, &kTwoBodies, 10, 1, 1, true},
        {"stellium", {450, 431, 1.0}, &kStellium, 1, 0, 2, true},
        {"stellium, scaled", {1035, 991, 2.3}, &kStellium, 1, 0, 2, true},
        {"every body", {450, 431, 1.0}, &kEveryBody, 4, -1, 2, false},
    };
    for (const Case& c : cases) {
        const Wheel wheel = WheelOf(c.size.width, c.size.height, c.size.scale);
        const HouseLayout layout = ArrangeHouse(wheel.frame, c.house, LinesOf(*c.lines, wheel));
        if (c.pixels != 0) EXPECT_EQ(layout.pixels, c.pixels > 0 ? wheel.largest : wheel.smallest) << c.what;
        EXPECT_EQ(layout.columns, c.columns) << c.what;
        EXPECT_EQ(layout.insideSector, c.inside) << c.what;
    }
}

// Two long labels in every house: no two boxes meet, though at the designed
// size they are too wide for the slanting sectors and, placed in the middle
// of the band, houses 9 and 10 (and 3 and 4) would share the space by the
// vertical cusp. Each box lies in its house, house 1 at the left below the
// horizon, house 10 at the top. (A window far narrower than it is high
// squeezes them more.)
TEST(HouseLayout, NoTwoHouseBoxesMeet) {
    for (const SizeCase& size : {SizeCase{450, 431, 1.0}, SizeCase{900, 862, 2.0}, SizeCase{653, 625, 1.45}}) {
        const Wheel wheel = WheelOf(size.width, size.height, size.scale);
        std::vector<WheelRect> boxes;
        for (int house = 1; house <= 12; ++house)
            boxes.push_back(Covered(ArrangeHouse(wheel.frame, house, LinesOf(kTwoLong, wheel))));
        for (std::size_t a = 0; a < 12; ++a)
            for (std::size_t b = a + 1; b < 12; ++b)
                EXPECT_FALSE(Meet(boxes[a], boxes[b]))
                    << "houses " << a + 1 << " and " << b + 1 << " at " << size.width;
        const WheelPoint c = wheel.frame.centre;
        EXPECT_LT(boxes[0].right(), c.x);
        EXPECT_GT(boxes[0].y, c.y);
        EXPECT_GT(boxes[6].x, c.x);
        EXPECT_LT(boxes[6].bottom(), c.y);
        EXPECT_LT(boxes[9].bottom(), c.y - wheel.frame.ring / 4);
    }
}

TEST(HouseLayout, NoLinesNoPlaces) {
    const Wheel wheel = WheelOf(450, 431, 1.0);
    const HouseLayout layout = ArrangeHouse(wheel.frame, 5, LinesOf({}, wheel));
    EXPECT_TRUE(layout.lines.empty());
    EXPECT_EQ(layout.pixels, wheel.largest);
    EXPECT_TRUE(layout.insideSector);
}

// The overreach is zero inside, and grows with what crosses a cusp, the
// ring or the hub.
TEST(HouseLayout, OverreachCountsWhatCrossesTheLines) {
    const Wheel wheel = WheelOf(450, 431, 1.0);
    const WheelFrame& w = wheel.frame;
    const WheelPoint mid = w.Polar((w.hub + w.ring) / 2.0, HouseMidAngle(10));
    const WheelRect inside{mid.x - 5, mid.y - 5, 10, 10};
    EXPECT_EQ(SectorOverreach(w, inside, 10), 0.0);
    EXPECT_GT(SectorOverreach(w, inside, 9), 0.0);                  // the house beside it
    const WheelPoint cusp = w.Polar((w.hub + w.ring) / 2.0, 90.0);  // between houses 9 and 10
    const WheelRect across{cusp.x - 10, cusp.y - 5, 20, 10}, further{cusp.x - 20, cusp.y - 5, 40, 10};
    EXPECT_GT(SectorOverreach(w, across, 10), 0.0);
    EXPECT_GT(SectorOverreach(w, further, 10), SectorOverreach(w, across, 10));
    const WheelRect overHub{w.centre.x - 10, w.centre.y - 40, 20, 40};
    EXPECT_GT(SectorOverreach(w, overHub, 10), 0.0);
    const WheelPoint rim = w.Polar(w.ring, HouseMidAngle(10));
    EXPECT_GT(SectorOverreach(w, {rim.x - 5, rim.y - 5, 10, 10}, 10), 0.0);
}

}  // namespace
}  // namespace qv
