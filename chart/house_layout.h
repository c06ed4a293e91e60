// Where the lines of a house box stand in the chart wheel: the house's bodies
// one per line inside the house's sector, in smaller type down to a legible
// floor, then in two columns, and only for a house too crowded even for that
// reaching over the house's lines. Plain geometry: the window measures the
// texts (HouseLines) and draws the lines where this puts them.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace qv {

// Designed pixels, times the wheel's scale: between a line of text and the
// house's lines, between two columns, and on each side of a line's text.
inline constexpr double kHouseLineAir = 2.0;
inline constexpr double kHouseColumnGap = 6.0;
inline constexpr double kHouseLinePad = 1.0;

// A point and a rectangle in the wheel's pixels, y pointing down.
struct WheelPoint {
    double x = 0.0, y = 0.0;
    bool operator==(const WheelPoint&) const = default;
};
struct WheelRect {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool operator==(const WheelRect&) const = default;
};

// The wheel the houses lie in: the houses' sectors run between the hub and
// the inner rim of the sign ring, house 1 just below the left horizontal and
// the houses counter-clockwise, 30 degrees each.
struct WheelFrame {
    WheelPoint centre;
    double ring = 0.0;   // inner rim of the sign ring, the sectors' outer edge
    double hub = 0.0;    // radius of the small circle in the middle
    double scale = 1.0;  // times the designed size

    // The point at `radius` from the centre in direction `degrees`,
    // counter-clockwise from the right-hand horizontal.
    WheelPoint Polar(double radius, double degrees) const;
};

// Angle of the middle of house 1..12 in degrees, counter-clockwise from the
// right-hand horizontal.
constexpr double HouseMidAngle(int house) { return 180.0 + 30.0 * (house - 1) + 15.0; }

// A house box's lines as the window measures them.
struct HouseLines {
    std::size_t count = 0;   // lines shown
    int largestPixels = 0;   // the boxes' type, in pixels
    int smallestPixels = 0;  // the smallest type a crowded house is given
    // Each line's text width in the type `pixels` high, count of them.
    std::function<std::vector<double>(int pixels)> widths;
    // The distance from one line to the next in that type.
    std::function<double(int pixels)> spacing;
};

// How a house box's lines stand: their type, in one column or two (the
// first column read top to bottom, then the second), and the place of each
// line, its padding included.
struct HouseLayout {
    int pixels = 0;                // type size of the lines, in pixels
    int columns = 1;               // 1, or 2 for a crowded house
    std::vector<WheelRect> lines;  // one per shown line
    bool insideSector = true;      // no line reaches over the house's lines
    bool operator==(const HouseLayout&) const = default;
};

// Where the lines go in house `house` (1..12): the largest type from
// largestPixels down to smallestPixels in one column, then in two, at which
// every line keeps clear of the house's lines, nearest the middle of the
// sector. When none does, two columns in the smallest type at the place that
// reaches least over the lines. No lines: no places, in the largest type.
HouseLayout ArrangeHouse(const WheelFrame& wheel, int house, const HouseLines& lines);

// How far, in pixels summed over its corners, `rect` reaches out of the
// sector of house `house` (1..12) between the hub and the ring; 0 inside.
double SectorOverreach(const WheelFrame& wheel, const WheelRect& rect, int house);

}  // namespace qv
