#include "chartview/ui/natal_wheel.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "chartview/ui/sign_glyphs.h"
#include "state/fixed_lists.h"
#include "ui/ui_metrics.h"

namespace qv {
namespace {

const QColor& kBanner = ui::kBannerColour;
const QColor kRing(244, 238, 247);  // sign ring
const QColor kSectorTint(251, 249, 252);
const QColor kHub(236, 226, 241);
const QColor kBodyText(34, 34, 34);

constexpr double kScreenDegToRad = std::numbers::pi / 180.0;

// The house boxes' type, and the smallest a crowded house is given, in
// points at the form's designed size.
constexpr double kHousePoints = 8.25;
constexpr double kSmallestHousePoints = 7.0;
// Designed pixels: between a line of text and the house's lines, between two
// columns, and on each side of a line's text.
constexpr double kLineAir = 2.0;
constexpr double kColumnGap = 6.0;
constexpr double kLinePad = 1.0;
// Lines that cannot stand on one axis (each follows the sector's edge) are
// taken only where no arrangement on one axis fits.
constexpr double kStaircaseCost = 1.0e6;

// House number shown by lblNatalPosition element i: element 0 reads "12",
// elements 1 to 11 read "1" to "11".
int HouseOfNumberLabel(int element) { return element == 0 ? 12 : element; }

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
        const double a1 = firstCusp * kScreenDegToRad, a2 = (firstCusp + 30.0) * kScreenDegToRad;
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

// ---------------------------------------------------------------- HouseBox

HouseBox::HouseBox(QWidget* parent) : QLabel(parent) {
    setFont(ui::FormFont(kHousePoints));
    setAttribute(Qt::WA_TranslucentBackground);
}

void HouseBox::setHouse(const QString& text, const QStringList& labels, bool ascendant) {
    labels_.clear();
    for (const QString& label : labels)
        if (!label.trimmed().isEmpty()) labels_ << label.trimmed();
    ascendant_ = ascendant;
    setText(text);
}

QStringList HouseBox::shownLines() const {
    QStringList lines = labels_;
    if (ascendant_) lines << QStringLiteral("Asc");
    return lines;
}

QFont HouseBox::lineFont(int pixels, bool ascendant) const {
    QFont f = font();
    f.setPixelSize(std::max(1, pixels));
    f.setBold(ascendant);
    return f;
}

void HouseBox::setArrangement(const HouseArrangement& arrangement) {
    arrangement_ = arrangement;
    QRectF covered;
    for (const QRectF& line : arrangement_.lines) covered |= line;
    // A box over the house's lines has a backing around its text.
    const int margin = arrangement_.insideSector ? 0 : 2;
    setGeometry(covered.toAlignedRect().adjusted(-margin, -margin, margin, margin));
    update();
}

QSize HouseBox::sizeHint() const {
    const QStringList lines = shownLines();
    if (lines.isEmpty()) return QSize(0, 0);
    const int pixels = QFontInfo(font()).pixelSize();
    const QFontMetrics normal(lineFont(pixels, false)), strong(lineFont(pixels, true));
    int w = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        w = std::max(w, (isAscendantLine(i) ? strong : normal).horizontalAdvance(lines[i]));
    return QSize(w + 6, normal.lineSpacing() * int(lines.size()) + 4);
}

QSize HouseBox::minimumSizeHint() const { return sizeHint(); }

void HouseBox::paintEvent(QPaintEvent*) {
    const QStringList lines = shownLines();
    if (lines.isEmpty() || arrangement_.lines.size() != std::size_t(lines.size())) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const auto* wheel = qobject_cast<const NatalWheel*>(parentWidget());
    if (!arrangement_.insideSector) {
        // A light backing keeps the names readable where they cross a line,
        // and the lines are drawn again over it.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(QRectF(rect()), 3, 3);
        if (wheel) {
            p.save();
            p.translate(-pos());
            wheel->paintLines(p);
            p.restore();
        }
    }
    const double pad = kLinePad * (wheel ? wheel->scale() : 1.0);
    const int align = (arrangement_.columns == 1 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool asc = isAscendantLine(i);
        p.setFont(lineFont(arrangement_.pixels, asc));
        p.setPen(asc ? kBanner : kBodyText);
        const QRectF at = arrangement_.lines[std::size_t(i)].translated(-QPointF(pos())).adjusted(pad, 0, -pad, 0);
        p.drawText(at, align, lines[i]);
    }
}

// ---------------------------------------------------------------- NatalWheel

NatalWheel::NatalWheel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picNatal"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    for (int i = 0; i < 12; ++i) {
        const QString name = QString::fromLatin1(kSignNames[i].data(), qsizetype(kSignNames[i].size()));
        auto* sign = new QLabel(name, this);
        sign->setObjectName(QStringLiteral("lblNatal") + name);
        sign->setAlignment(Qt::AlignCenter);
        signBoxes_[i] = sign;

        auto* number = new QLabel(QString::number(HouseOfNumberLabel(i)), this);
        number->setObjectName(QStringLiteral("lblNatalPosition_%1").arg(i));
        number->setAlignment(Qt::AlignCenter);
        QPalette np = number->palette();
        np.setColor(QPalette::WindowText, kBanner);
        number->setPalette(np);
        lblNatalPosition_[i] = number;

        auto* image = new SignImage(this);
        image->setObjectName(QStringLiteral("imgSign_%1").arg(i));
        imgSign_[i] = image;

        auto* box = new HouseBox(this);
        box->setObjectName(QStringLiteral("lblNatal_%1").arg(i));
        lblNatal_[i] = box;
    }
    setScale(1.0);
}

void NatalWheel::setScale(double scale, std::optional<QRect> geometry) {
    scale_ = std::max(scale, 0.01);
    for (int i = 0; i < 12; ++i) {
        signBoxes_[i]->setFont(ui::FormFont(8.25 * scale_));
        lblNatalPosition_[i]->setFont(ui::FormFont(12 * scale_));
        lblNatal_[i]->setFont(ui::FormFont(kHousePoints * scale_));
    }
    if (geometry) {
        rescaling_ = true;
        setGeometry(*geometry);
        rescaling_ = false;
    }
    placeChildren();
}

int NatalWheel::housePixels() const { return QFontInfo(ui::FormFont(kHousePoints * scale_)).pixelSize(); }

int NatalWheel::smallestHousePixels() const {
    // Qt draws a type in whole pixels: the nearest whole size may be smaller
    // than the points asked for, so the floor is the next one up.
    const double pixels = kSmallestHousePoints * scale_ * logicalDpiY() / 72.0;
    return std::min(housePixels(), int(std::ceil(pixels - 1e-6)));
}

QPointF NatalWheel::centre() const { return QPointF(width() / 2.0, height() / 2.0); }
double NatalWheel::outerRadius() const { return std::max(10.0, std::min(width(), height()) / 2.0 - 6.0 * scale_); }
double NatalWheel::ringRadius() const { return outerRadius() * 0.82; }
double NatalWheel::hubRadius() const { return outerRadius() * 0.19; }

double NatalWheel::houseMidAngle(int house) { return 180.0 + 30.0 * (house - 1) + 15.0; }

QPointF NatalWheel::polar(double radius, double degrees) const {
    const QPointF c = centre();
    return QPointF(c.x() + radius * std::cos(degrees * kScreenDegToRad),
                   c.y() - radius * std::sin(degrees * kScreenDegToRad));
}

int NatalWheel::houseAt(const QPointF& point) const {
    const QPointF d = point - centre();
    const double r = std::hypot(d.x(), d.y());
    if (r > outerRadius()) return 0;
    double a = std::atan2(-d.y(), d.x()) / kScreenDegToRad;  // counter-clockwise, screen y points down
    a = std::fmod(a - 180.0 + 720.0, 360.0);
    return int(a / 30.0) % 12 + 1;
}

void NatalWheel::setHouse(int element, const QString& text, const QStringList& labels, bool ascendant) {
    if (element < 0 || element >= 12) return;
    lblNatal_[element]->setHouse(text, labels, ascendant);
    placeHouseBox(element);
}

double NatalWheel::overreach(const QRectF& rect, int house) const {
    // Some air between the box and the cusps around it.
    const QRectF r = rect.adjusted(-scale_, -scale_, scale_, scale_);
    const QPointF c = centre();
    const double first = 180.0 + 30.0 * (house - 1);  // the sector's first cusp, counter-clockwise
    double reach = 0.0;
    for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        const QPointF d = corner - c;
        const double distance = std::hypot(d.x(), d.y());
        // Degrees past the sector's nearer cusp, 0 inside it.
        const double a = std::fmod(std::atan2(-d.y(), d.x()) / kScreenDegToRad - first + 720.0, 360.0);
        const double past = a <= 30.0 ? 0.0 : std::min(a - 30.0, 360.0 - a);
        reach += distance * past * kScreenDegToRad + std::max(0.0, distance - ringRadius());
    }
    // The sector is convex; the hub may still reach into the box.
    const QPointF nearest(std::clamp(c.x(), r.left(), r.right()), std::clamp(c.y(), r.top(), r.bottom()));
    return reach + std::max(0.0, hubRadius() - std::hypot(nearest.x() - c.x(), nearest.y() - c.y()));
}

HouseArrangement NatalWheel::arrangeHouse(const HouseBox& box, int house) const {
    const QStringList lines = box.shownLines();
    HouseArrangement result;
    result.pixels = housePixels();
    if (lines.isEmpty()) return result;

    const QPointF c = centre();
    const double mid = houseMidAngle(house);
    const Sector sector{180.0 + 30.0 * (house - 1), ringRadius(), hubRadius(), kLineAir * scale_};
    // The place a box keeps to when it can: on the house's middle ray, a
    // little outside the middle of the band between hub and ring.
    const QPointF preferred = polar((hubRadius() + ringRadius()) / 2.0 + 6.0 * scale_, mid);
    const double rayCos = std::cos(mid * kScreenDegToRad), raySin = std::sin(mid * kScreenDegToRad);

    auto widthsAt = [&](int pixels) {
        const QFontMetricsF normal(box.lineFont(pixels, false)), strong(box.lineFont(pixels, true));
        std::vector<double> widths;
        for (qsizetype i = 0; i < lines.size(); ++i)
            widths.push_back((box.isAscendantLine(i) ? strong : normal).horizontalAdvance(lines[i]) +
                             2 * kLinePad * scale_);
        return widths;
    };
    auto lineHeight = [&](int pixels) { return QFontMetricsF(box.lineFont(pixels, false)).lineSpacing(); };
    auto arrangement = [&](int pixels, int columns, const std::vector<std::vector<Cell>>& rows,
                           const std::vector<double>& anchors, double top, double step, bool inside) {
        HouseArrangement a;
        a.pixels = pixels;
        a.columns = columns;
        a.insideSector = inside;
        a.lines.resize(std::size_t(lines.size()));
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (const Cell& cell : rows[r])
                a.lines[std::size_t(cell.line)] =
                    QRectF(anchors[r] + cell.offset, top + step * double(r), cell.width, step);
        return a;
    };

    // The nearest place to `preferred` at which every row stays inside the
    // sector, with the rows on one anchor where they can be.
    auto place = [&](int pixels, int columns, TwoColumns two) -> std::optional<HouseArrangement> {
        const std::vector<double> widths = widthsAt(pixels);
        const double step = lineHeight(pixels);
        const std::vector<std::vector<Cell>> rows = Rows(widths, columns, two, kColumnGap * scale_);
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
        for (double top = c.y() - sector.ring; top + height <= c.y() + sector.ring; top += 1.0) {
            // Anchors at which each row fits, and those all rows share.
            Span shared;
            bool fits = true;
            std::vector<Span> allowed;
            for (std::size_t r = 0; r < rows.size() && fits; ++r) {
                const double rowTop = top + step * double(r);
                const Span room = sector.strip(c.y() - rowTop - step, c.y() - rowTop);
                const Span a{c.x() + room.lo - extents[r].lo, c.x() + room.hi - extents[r].hi};
                fits = !room.empty() && !a.empty();
                allowed.push_back(a);
                shared = Intersect(shared, a);
            }
            if (!fits || (shared.empty() && !staircase)) continue;
            // On the middle ray at the block's middle height, where it can be.
            const double middleY = top + height / 2.0;
            const double along = (c.y() - middleY) / raySin;
            const double wanted = c.x() + along * rayCos - (block.lo + block.hi) / 2.0;
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
            cost += std::hypot((left + right) / 2.0 - preferred.x(), middleY - preferred.y());
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
    const int mostColumns = lines.size() > 1 ? 2 : 1;
    for (int pixels = housePixels(); pixels >= smallestHousePixels(); --pixels)
        if (std::optional<HouseArrangement> placed = place(pixels, 1, {})) return *placed;
    if (mostColumns == 2)
        for (int pixels = housePixels(); pixels >= smallestHousePixels(); --pixels)
            for (const TwoColumns two : kTwoColumns)
                if (std::optional<HouseArrangement> placed = place(pixels, 2, two)) return *placed;

    // Too crowded for its sector: the smallest type in as many columns, on
    // the middle ray where it reaches least over the lines.
    const int pixels = smallestHousePixels();
    const double lineStep = lineHeight(pixels);
    const std::vector<std::vector<Cell>> rows = Rows(widthsAt(pixels), mostColumns, {true, true}, kColumnGap * scale_);
    double left = 0.0, right = 0.0;
    for (const auto& row : rows) {
        left = std::min(left, row.front().offset);
        right = std::max(right, row.back().offset + row.back().width);
    }
    const QSizeF size(right - left, lineStep * double(rows.size()));
    auto boxAt = [&](double radius) {
        return QRectF(polar(radius, mid) - QPointF(size.width() / 2.0, size.height() / 2.0), size);
    };
    const double middle = (hubRadius() + ringRadius()) / 2.0 + 6.0 * scale_;
    QRectF placed = boxAt(middle);
    double least = overreach(placed, house);
    for (double d = 2.0; middle + d < ringRadius() || middle - d > hubRadius(); d += 2.0) {
        for (const double radius : {middle + d, middle - d}) {
            const QRectF candidate = boxAt(radius);
            if (const double reach = overreach(candidate, house); reach < least) {
                least = reach;
                placed = candidate;
            }
        }
    }
    const std::vector<double> anchors(rows.size(), placed.left() - left);
    return arrangement(pixels, mostColumns, rows, anchors, placed.top(), lineStep, least <= 0.0);
}

void NatalWheel::placeHouseBox(int element) {
    HouseBox* box = lblNatal_[element];
    box->setArrangement(arrangeHouse(*box, element + 1));
}

void NatalWheel::placeChildren() {
    const double ringMid = (outerRadius() + ringRadius()) / 2.0;
    const int glyph = std::max(8, int(std::lround((outerRadius() - ringRadius()) * 0.66)));
    for (int i = 0; i < 12; ++i) {
        const double mid = houseMidAngle(i + 1);
        const QPointF g = polar(ringMid, mid + 6.0);
        imgSign_[i]->setGeometry(int(std::lround(g.x() - glyph / 2.0)), int(std::lround(g.y() - glyph / 2.0)), glyph,
                                 glyph);

        QLabel* number = lblNatalPosition_[i];
        number->adjustSize();
        const QPointF n = polar(ringMid, houseMidAngle(HouseOfNumberLabel(i)) - 8.0);
        number->move(int(std::lround(n.x() - number->width() / 2.0)), int(std::lround(n.y() - number->height() / 2.0)));

        QLabel* sign = signBoxes_[i];
        sign->adjustSize();
        const QPointF s = polar(outerRadius() * 0.5, houseMidAngle(i + 1));
        sign->move(int(std::lround(s.x() - sign->width() / 2.0)), int(std::lround(s.y() - sign->height() / 2.0)));

        placeHouseBox(i);
    }
}

void NatalWheel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!rescaling_) placeChildren();
}

void NatalWheel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = centre();
    const double ro = outerRadius(), rr = ringRadius(), rh = hubRadius();

    // Sign ring and house sectors.
    p.setPen(Qt::NoPen);
    p.setBrush(kRing);
    p.drawEllipse(c, ro, ro);
    for (int house = 1; house <= 12; ++house) {
        QPainterPath sector;
        sector.moveTo(c);
        sector.arcTo(QRectF(c.x() - rr, c.y() - rr, 2 * rr, 2 * rr), 180.0 + 30.0 * (house - 1), 30.0);
        sector.closeSubpath();
        p.setBrush(house % 2 ? QColor(Qt::white) : kSectorTint);
        p.drawPath(sector);
    }

    p.setBrush(kHub);
    p.drawEllipse(c, rh, rh);
    paintLines(p);
}

void NatalWheel::paintLines(QPainter& p) const {
    const QPointF c = centre();
    const double ro = outerRadius(), rr = ringRadius(), rh = hubRadius();
    const double s = scale_;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    // Cusps: the four angles (houses 1, 4, 7, 10 begin there) drawn stronger.
    for (int k = 0; k < 12; ++k) {
        const double a = 180.0 + 30.0 * k;
        const bool angle = k % 3 == 0;
        p.setPen(QPen(angle ? kBanner : QColor(150, 120, 165), (angle ? 1.8 : 1.0) * s));
        p.drawLine(polar(rh, a), polar(ro, a));
    }
    // Circles.
    p.setPen(QPen(kBanner, 2.0 * s));
    p.drawEllipse(c, ro, ro);
    p.setPen(QPen(kBanner, 1.2 * s));
    p.drawEllipse(c, rr, rr);
    p.drawEllipse(c, rh, rh);
    p.setPen(QPen(QColor(150, 120, 165), 0.8 * s));
    p.drawEllipse(c, rh * 0.55, rh * 0.55);
}

}  // namespace qv
