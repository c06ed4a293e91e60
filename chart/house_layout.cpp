#include "chart/house_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace qv {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

// Lines that cannot stand on one axis (each follows the sector's edge) are
// taken only where no arrangement on one axis fits.
constexpr double kStaircaseCost = 1.0e6;

// A range of x; empty when lo > hi.
struct Span {
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    bool empty() const { return lo > hi; }
    double width() const { return hi - lo; }
};

Span Intersect(Span a, Span b) { return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)}; }

// A house's sector between the hub and the ring, `air` pixels inside its
// lines, in coordinates centred on the wheel with y pointing up.
struct Sector {
    double firstCusp;  // degrees; the sector runs 30 degrees counter-clockwise from it
    double ring, hub, air;

    // The x range of the row of points at height v inside the sector,
    // without the hub. A sector of 30 degrees in a disc is convex, so this
    // is one range.
    Span slice(double v) const {
        Span s;
        const double r = ring - air;
        if (std::abs(v) > r) return {1, 0};
        const double half = std::sqrt(r * r - v * v);
        s = Intersect(s, {-half, half});
        // k * x >= rhs for each of the two cusps: a point lies `air` inside
        // the first cusp (counter-clockwise of it) and inside the second.
        auto keep = [&s](double k, double rhs) {
            if (std::abs(k) < 1e-12) {
                if (rhs > 0) s = {1, 0};
            } else if (k > 0) {
                s.lo = std::max(s.lo, rhs / k);
            } else {
                s.hi = std::min(s.hi, rhs / k);
            }
        };
        const double a1 = firstCusp * kDegToRad, a2 = (firstCusp + 30.0) * kDegToRad;
        keep(-std::sin(a1), air - std::cos(a1) * v);
        keep(std::sin(a2), air + std::cos(a2) * v);
        return s;
    }

    // The x range in which the whole strip between heights v0 <= v1 lies
    // inside the sector and outside the hub. Across a strip the ends of the
    // slices of a convex region are extreme at the strip's edges; where the
    // hub cuts the range in two, the wider part is kept.
    Span strip(double v0, double v1) const {
        Span s = Intersect(slice(v0), slice(v1));
        if (s.empty()) return s;
        const double h = hub + air;
        const double nearest = (v0 <= 0 && v1 >= 0) ? 0.0 : std::min(std::abs(v0), std::abs(v1));
        if (nearest >= h) return s;
        const double half = std::sqrt(h * h - nearest * nearest);
        const Span left = Intersect(s, {s.lo, -half}), right = Intersect(s, {half, s.hi});
        if (left.empty()) return right;
        if (right.empty()) return left;
        return left.width() >= right.width() ? left : right;
    }
};

// One line of a house box in its row: which shown line, where it starts from
// the row's anchor and how wide it is.
struct Cell {
    int line;
    double offset;
    double width;
};

// How the lines of a crowded house go into two columns.
struct TwoColumns {
    bool downFirst;  // the first column read down first, or each row left to right
    bool aligned;    // the second column starts at one place in every row
};

// The rows of lines of `widths`: one column centred on the row's anchor, or
// two starting from it, `gap` apart.
std::vector<std::vector<Cell>> Rows(const std::vector<double>& widths, int columns, TwoColumns two, double gap) {
    const int n = int(widths.size());
    std::vector<std::vector<Cell>> rows;
    if (columns == 1) {
        for (int i = 0; i < n; ++i) rows.push_back({{i, -widths[i] / 2.0, widths[i]}});
        return rows;
    }
    const int count = (n + 1) / 2;
    auto lineAt = [&](int row, int column) { return two.downFirst ? row + count * column : 2 * row + column; };
    double first = 0.0;
    for (int r = 0; r < count; ++r) first = std::max(first, widths[lineAt(r, 0)]);
    for (int r = 0; r < count; ++r) {
        const int left = lineAt(r, 0), right = lineAt(r, 1);
        rows.push_back({{left, 0.0, widths[left]}});
        if (right < n) rows.back().push_back({right, (two.aligned ? first : widths[left]) + gap, widths[right]});
    }
    return rows;
}

}  // namespace

WheelPoint WheelFrame::Polar(double radius, double degrees) const {
    return {centre.x + radius * std::cos(degrees * kDegToRad), centre.y - radius * std::sin(degrees * kDegToRad)};
}

double SectorOverreach(const WheelFrame& wheel, const WheelRect& rect, int house) {
    // Some air between the box and the cusps around it.
    const WheelRect r{rect.x - wheel.scale, rect.y - wheel.scale, rect.width + 2 * wheel.scale,
                      rect.height + 2 * wheel.scale};
    const WheelPoint c = wheel.centre;
    const double first = 180.0 + 30.0 * (house - 1);  // the sector's first cusp, counter-clockwise
    double reach = 0.0;
    for (const WheelPoint corner : {WheelPoint{r.x, r.y}, WheelPoint{r.right(), r.y}, WheelPoint{r.x, r.bottom()},
                                    WheelPoint{r.right(), r.bottom()}}) {
        const double dx = corner.x - c.x, dy = corner.y - c.y;
        const double distance = std::hypot(dx, dy);
        // Degrees past the sector's nearer cusp, 0 inside it.
        const double a = std::fmod(std::atan2(-dy, dx) / kDegToRad - first + 720.0, 360.0);
        const double past = a <= 30.0 ? 0.0 : std::min(a - 30.0, 360.0 - a);
        reach += distance * past * kDegToRad + std::max(0.0, distance - wheel.ring);
    }
    // The sector is convex; the hub may still reach into the box.
    const double nearestX = std::clamp(c.x, r.x, r.right()), nearestY = std::clamp(c.y, r.y, r.bottom());
    return reach + std::max(0.0, wheel.hub - std::hypot(nearestX - c.x, nearestY - c.y));
}

HouseLayout ArrangeHouse(const WheelFrame& wheel, int house, const HouseLines& lines) {
    HouseLayout result;
    result.pixels = lines.largestPixels;
    if (lines.count == 0) return result;

    const WheelPoint c = wheel.centre;
    const double mid = HouseMidAngle(house);
    const Sector sector{180.0 + 30.0 * (house - 1), wheel.ring, wheel.hub, kHouseLineAir * wheel.scale};
    // The place a box keeps to when it can: on the house's middle ray, a
    // little outside the middle of the band between hub and ring.
    const WheelPoint preferred = wheel.Polar((wheel.hub + wheel.ring) / 2.0 + 6.0 * wheel.scale, mid);
    const double rayCos = std::cos(mid * kDegToRad), raySin = std::sin(mid * kDegToRad);

    auto widthsAt = [&](int pixels) {
        std::vector<double> widths = lines.widths(pixels);
        widths.resize(lines.count);
        for (double& w : widths) w += 2 * kHouseLinePad * wheel.scale;
        return widths;
    };
    auto arrangement = [&](int pixels, int columns, const std::vector<std::vector<Cell>>& rows,
                           const std::vector<double>& anchors, double top, double step, bool inside) {
        HouseLayout a;
        a.pixels = pixels;
        a.columns = columns;
        a.insideSector = inside;
        a.lines.resize(lines.count);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (const Cell& cell : rows[r])
                a.lines[std::size_t(cell.line)] = {anchors[r] + cell.offset, top + step * double(r), cell.width, step};
        return a;
    };

    // The nearest place to `preferred` at which every row stays inside the
    // sector, with the rows on one anchor where they can be.
    auto place = [&](int pixels, int columns, TwoColumns two) -> std::optional<HouseLayout> {
        const std::vector<double> widths = widthsAt(pixels);
        const double step = lines.spacing(pixels);
        const std::vector<std::vector<Cell>> rows = Rows(widths, columns, two, kHouseColumnGap * wheel.scale);
        // Aligned columns only where they stay aligned: on one anchor.
        const bool staircase = columns == 1 || !two.aligned;
        const double height = step * double(rows.size());
        std::vector<Span> extents;  // of each row around its anchor
        Span block{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
        for (const auto& row : rows) {
            Span e{row.front().offset, row.back().offset + row.back().width};
            extents.push_back(e);
            block = {std::min(block.lo, e.lo), std::max(block.hi, e.hi)};
        }
        double bestCost = std::numeric_limits<double>::infinity();
        std::vector<double> bestAnchors;
        double bestTop = 0.0;
        std::vector<double> anchors(rows.size());
        for (double top = c.y - sector.ring; top + height <= c.y + sector.ring; top += 1.0) {
            // Anchors at which each row fits, and those all rows share.
            Span shared;
            bool fits = true;
            std::vector<Span> allowed;
            for (std::size_t r = 0; r < rows.size() && fits; ++r) {
                const double rowTop = top + step * double(r);
                const Span room = sector.strip(c.y - rowTop - step, c.y - rowTop);
                const Span a{c.x + room.lo - extents[r].lo, c.x + room.hi - extents[r].hi};
                fits = !room.empty() && !a.empty();
                allowed.push_back(a);
                shared = Intersect(shared, a);
            }
            if (!fits || (shared.empty() && !staircase)) continue;
            // On the middle ray at the block's middle height, where it can be.
            const double middleY = top + height / 2.0;
            const double along = (c.y - middleY) / raySin;
            const double wanted = c.x + along * rayCos - (block.lo + block.hi) / 2.0;
            double cost = 0.0;
            if (!shared.empty()) {
                std::fill(anchors.begin(), anchors.end(), std::clamp(wanted, shared.lo, shared.hi));
            } else {
                for (std::size_t r = 0; r < rows.size(); ++r)
                    anchors[r] = std::clamp(wanted, allowed[r].lo, allowed[r].hi);
                cost += kStaircaseCost;
            }
            double left = std::numeric_limits<double>::infinity(), right = -left;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                left = std::min(left, anchors[r] + extents[r].lo);
                right = std::max(right, anchors[r] + extents[r].hi);
            }
            cost += std::hypot((left + right) / 2.0 - preferred.x, middleY - preferred.y);
            if (cost < bestCost) {
                bestCost = cost;
                bestAnchors = anchors;
                bestTop = top;
            }
        }
        if (bestAnchors.empty()) return std::nullopt;
        return arrangement(pixels, columns, rows, bestAnchors, bestTop, step, true);
    };

    // Two columns as columns where they fit, else two lines side by side in
    // each row; in either reading order.
    constexpr TwoColumns kTwoColumns[4] = {{true, true}, {false, true}, {false, false}, {true, false}};
    const int mostColumns = lines.count > 1 ? 2 : 1;
    for (int pixels = lines.largestPixels; pixels >= lines.smallestPixels; --pixels)
        if (std::optional<HouseLayout> placed = place(pixels, 1, {})) return *placed;
    if (mostColumns == 2)
        for (int pixels = lines.largestPixels; pixels >= lines.smallestPixels; --pixels)
            for (const TwoColumns two : kTwoColumns)
                if (std::optional<HouseLayout> placed = place(pixels, 2, two)) return *placed;

    // Too crowded for its sector: the smallest type in as many columns, on
    // the middle ray where it reaches least over the lines.
    const int pixels = lines.smallestPixels;
    const double lineStep = lines.spacing(pixels);
    const std::vector<std::vector<Cell>> rows =
        Rows(widthsAt(pixels), mostColumns, {true, true}, kHouseColumnGap * wheel.scale);
    double left = 0.0, right = 0.0;
    for (const auto& row : rows) {
        left = std::min(left, row.front().offset);
        right = std::max(right, row.back().offset + row.back().width);
    }
    const double width = right - left, height = lineStep * double(rows.size());
    auto boxAt = [&](double radius) {
        const WheelPoint at = wheel.Polar(radius, mid);
        return WheelRect{at.x - width / 2.0, at.y - height / 2.0, width, height};
    };
    const double middle = (wheel.hub + wheel.ring) / 2.0 + 6.0 * wheel.scale;
    WheelRect placed = boxAt(middle);
    double least = SectorOverreach(wheel, placed, house);
    for (double d = 2.0; middle + d < wheel.ring || middle - d > wheel.hub; d += 2.0) {
        for (const double radius : {middle + d, middle - d}) {
            const WheelRect candidate = boxAt(radius);
            if (const double reach = SectorOverreach(wheel, candidate, house); reach < least) {
                least = reach;
                placed = candidate;
            }
        }
    }
    const std::vector<double> anchors(rows.size(), placed.x - left);
    return arrangement(pixels, mostColumns, rows, anchors, placed.y, lineStep, least <= 0.0);
}

}  // namespace qv
