// The chart wheel's arrangement and the sign glyphs, at the design size and
// scaled.
#include <QImage>
#include <cmath>
#include <numbers>

#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

class WheelArrangement : public ::testing::TestWithParam<QSize> {
protected:
    NatalWheel wheel;
    void SetUp() override {
        wheel.resize(GetParam());
        wheel.placeChildren();  // a hidden widget gets its resize event only when shown
        const QStringList bodies = {QStringLiteral("Sun"), QStringLiteral("Moon")};
        for (int h = 0; h < 12; ++h) wheel.setHouse(h, QStringLiteral("\r\nSun\r\nMoon"), bodies, false);
    }
    static QPointF Centre(const QWidget* w) { return QRectF(w->geometry()).center(); }
};

TEST_P(WheelArrangement, EveryBoxGlyphAndNumberSitsInItsHouse) {
    for (int h = 0; h < 12; ++h) {
        EXPECT_EQ(wheel.houseAt(Centre(wheel.houseBox(h))), h + 1) << "lblNatal " << h;
        EXPECT_EQ(wheel.houseAt(Centre(wheel.signImage(h))), h + 1) << "imgSign " << h;
        // lblNatalPosition element 0 reads "12", elements 1..11 read "1".."11".
        QLabel* number = wheel.houseNumber(h);
        EXPECT_EQ(number->text(), QString::number(h == 0 ? 12 : h));
        EXPECT_EQ(wheel.houseAt(Centre(number)), h == 0 ? 12 : h) << "lblNatalPosition " << h;
        // Glyphs and numbers ride in the outer ring, the boxes inside it.
        const QPointF g = Centre(wheel.signImage(h)) - wheel.centre();
        EXPECT_GT(std::hypot(g.x(), g.y()), wheel.ringRadius()) << h;
        const QPointF b = Centre(wheel.houseBox(h)) - wheel.centre();
        EXPECT_LT(std::hypot(b.x(), b.y()), wheel.ringRadius()) << h;
        EXPECT_GT(std::hypot(b.x(), b.y()), wheel.hubRadius()) << h;
    }
}

TEST_P(WheelArrangement, HouseOneAtTheLeftTenAtTheTopCounterClockwise) {
    const QPointF c = wheel.centre();
    const QPointF first = Centre(wheel.houseBox(0));
    EXPECT_LT(first.x(), c.x());
    EXPECT_GT(first.y(), c.y());  // just below the horizon
    const QPointF fourth = Centre(wheel.houseBox(3));
    EXPECT_GT(fourth.y(), c.y());  // house 4 at the bottom
    const QPointF seventh = Centre(wheel.houseBox(6));
    EXPECT_GT(seventh.x(), c.x());
    EXPECT_LT(seventh.y(), c.y());  // house 7 at the right, above the horizon
    const QPointF tenth = Centre(wheel.houseBox(9));
    EXPECT_LT(tenth.y(), c.y() - wheel.ringRadius() / 2);  // house 10 at the top
}

INSTANTIATE_TEST_SUITE_P(Sizes, WheelArrangement, ::testing::Values(QSize(450, 431), QSize(900, 862), QSize(300, 500)));

// The house layout's geometry is tested without painting in
// tests/analysis/house_layout_test.cpp; here, what the boxes draw.

// The pixels house box `element` draws: the wheel drawn with that box alone
// against the wheel without boxes.
std::vector<QPointF> PixelsDrawnBy(NatalWheel& wheel, int element) {
    auto drawn = [&wheel](int shown) {
        for (int h = 0; h < 12; ++h) wheel.houseBox(h)->setVisible(h == shown);
        return wheel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage bare = drawn(-1), boxed = drawn(element);
    for (int h = 0; h < 12; ++h) wheel.houseBox(h)->setVisible(true);
    std::vector<QPointF> pixels;
    const qreal ratio = boxed.devicePixelRatio();
    for (int y = 0; y < boxed.height(); ++y)
        for (int x = 0; x < boxed.width(); ++x)
            if (boxed.pixel(x, y) != bare.pixel(x, y)) pixels.push_back(QPointF(x + 0.5, y + 0.5) / ratio);
    return pixels;
}

// How far `point` lies from the nearest line of house `house`'s sector: its
// two cusps, the hub and the ring; negative outside the sector.
double ClearanceInSector(const NatalWheel& wheel, QPointF point, int house) {
    if (wheel.houseAt(point) != house) return -1.0;
    const QPointF d = point - wheel.centre();
    const double r = std::hypot(d.x(), d.y());
    const double degrees = std::atan2(-d.y(), d.x()) * 180.0 / std::numbers::pi;
    const double from = std::fmod(degrees - (180.0 + 30.0 * (house - 1)) + 720.0, 360.0);
    const double toCusp = r * std::sin(std::min(from, 30.0 - from) * std::numbers::pi / 180.0);
    return std::min({toCusp, r - wheel.hubRadius(), wheel.ringRadius() - r});
}

// Every pixel a house box draws lies inside its sector, clear of the house's
// lines (their strokes are at most two pixels wide at the designed size).
void ExpectDrawnInsideTheSectors(NatalWheel& wheel) {
    const double clear = 1.0 * wheel.scale() + 0.5;
    for (int h = 0; h < 12; ++h) {
        if (wheel.houseBox(h)->shownLines().isEmpty()) continue;
        int outside = 0;
        QPointF first;
        for (const QPointF& p : PixelsDrawnBy(wheel, h))
            if (ClearanceInSector(wheel, p, h + 1) < clear && outside++ == 0) first = p;
        EXPECT_EQ(outside, 0) << "house " << h + 1 << ", first at " << first.x() << "," << first.y();
    }
}

// Seven bodies and the ascendant in the first house (Chicago, 4 February
// 1962): the house keeps its list inside its sector, in type no smaller than
// 7 points at the designed size, at the display form's sizes.
class Stellium : public ::testing::TestWithParam<double> {};

TEST_P(Stellium, EveryBoxStaysInsideItsSector) {
    ChartState state;
    ChartWheel chart;
    Calculate(FormOf(StelliumInChicago()), state, chart);
    FrmDisplay form(state);
    form.showWheel(state, chart);
    form.setScale(GetParam());
    NatalWheel& wheel = *form.picNatal();
    ASSERT_EQ(wheel.houseBox(0)->shownLines().size(), 8) << wheel.houseBox(0)->shownLines().join(' ').toStdString();
    EXPECT_GE(wheel.smallestHousePixels(), 7.0 / 72.0 * wheel.logicalDpiY() * GetParam() - 1e-6);
    for (int h = 0; h < 12; ++h) {
        const HouseArrangement& a = wheel.houseBox(h)->arrangement();
        EXPECT_TRUE(a.insideSector) << "house " << h + 1;
        EXPECT_GE(a.pixels, wheel.smallestHousePixels()) << "house " << h + 1;
    }
    EXPECT_EQ(wheel.houseBox(0)->arrangement().columns, 2);
    ExpectDrawnInsideTheSectors(wheel);
}

INSTANTIATE_TEST_SUITE_P(Scales, Stellium, ::testing::Values(1.0, 1.45, 2.3));

// The same list in every house, and a house of every body: where the list
// fits its sector it stays inside; where it cannot, the house's lines are
// drawn over its backing and stay visible.
struct CrowdCase {
    const char* label;
    QStringList bodies;
};

void PrintTo(const CrowdCase& c, std::ostream* os) { *os << c.label; }

class CrowdedHouse : public ::testing::TestWithParam<CrowdCase> {};

TEST_P(CrowdedHouse, InsideItsSectorOrUnderItsLines) {
    NatalWheel wheel;
    wheel.resize(450, 431);
    wheel.placeChildren();
    const QStringList& bodies = GetParam().bodies;
    for (int element = 0; element < 12; ++element) {
        for (int h = 0; h < 12; ++h) wheel.setHouse(h, {}, {}, false);
        wheel.setHouse(element,
                       QStringLiteral("\r\n") + bodies.join(QStringLiteral("\r\n")) + QStringLiteral("\r\nAsc"), bodies,
                       true);
        const HouseArrangement& a = wheel.houseBox(element)->arrangement();
        ASSERT_EQ(a.lines.size(), std::size_t(bodies.size() + 1));
        if (a.insideSector) {
            ExpectDrawnInsideTheSectors(wheel);
            continue;
        }
        EXPECT_EQ(a.pixels, wheel.smallestHousePixels());
        EXPECT_EQ(a.columns, 2);
        const QImage image = wheel.grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        // Darkest grey near a point: a line (or a letter over it) is dark, a
        // backing over a line would leave it almost white.
        auto darkestNear = [&](QPointF at) {
            int darkest = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint px = (at * ratio).toPoint() + QPoint(dx, dy);
                    if (image.rect().contains(px)) darkest = std::min(darkest, qGray(image.pixel(px)));
                }
            return darkest;
        };
        for (int k = 0; k < 12; ++k)
            for (double r = wheel.hubRadius() + 3; r < wheel.ringRadius() - 3; r += 2)
                EXPECT_LT(darkestNear(wheel.polar(r, 180.0 + 30.0 * k)), 225) << "cusp " << k << " at radius " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CrowdedHouse,
    ::testing::Values(CrowdCase{"SevenBodies", {"Sun", "Moon", "Mercury (R)", "Venus", "Mars", "Jupiter", "Saturn"}},
                      CrowdCase{"EveryBody",
                                {"Sun", "Moon", "Mercury (R)", "Venus", "Mars", "Jupiter (R)", "Saturn (R)",
                                 "Uranus (R)", "Neptune (R)", "Pluto (R)"}}),
    [](const auto& info) { return std::string(info.param.label); });

struct PointCase {
    double degrees;  // counter-clockwise from the right-hand horizontal
    int house;
};

class HouseOfPoint : public ::testing::TestWithParam<PointCase> {};

TEST_P(HouseOfPoint, SectorsFollowTheCuspsAtThirtyDegrees) {
    NatalWheel wheel;
    wheel.resize(450, 431);
    EXPECT_EQ(wheel.houseAt(wheel.polar(wheel.ringRadius() * 0.7, GetParam().degrees)), GetParam().house)
        << GetParam().degrees;
}

INSTANTIATE_TEST_SUITE_P(Angles, HouseOfPoint,
                         ::testing::Values(PointCase{180.5, 1}, PointCase{209.5, 1}, PointCase{210.5, 2},
                                           PointCase{269.5, 3}, PointCase{270.5, 4}, PointCase{359.5, 6},
                                           PointCase{0.5, 7}, PointCase{89.5, 9}, PointCase{90.5, 10},
                                           PointCase{179.5, 12}));

TEST(HouseOfPointOutside, BeyondTheRimIsNoHouse) {
    NatalWheel wheel;
    wheel.resize(450, 431);
    EXPECT_EQ(wheel.houseAt(QPointF(1, 1)), 0);
}

TEST(SignGlyphs, TwelveDistinctGlyphsAndNoOthers) {
    EXPECT_TRUE(SignGlyphList::usesZodiacFont());  // fonts-dejavu-core is a dependency
    std::vector<QPainterPath> seen;
    for (int picture = 1; picture <= 12; ++picture) {
        const QPainterPath p = SignGlyphList::outline(picture);
        ASSERT_FALSE(p.isEmpty()) << picture;
        const QRectF r = p.boundingRect();
        EXPECT_GE(r.left(), -1e-9);
        EXPECT_LE(r.right(), 1 + 1e-9);
        EXPECT_NEAR(std::max(r.width(), r.height()), 1.0, 1e-9) << picture;
        for (const QPainterPath& other : seen) EXPECT_NE(p, other) << picture;
        seen.push_back(p);
    }
    for (int wrong : {0, 13, -1}) EXPECT_TRUE(SignGlyphList::outline(wrong).isEmpty()) << wrong;
}

TEST(SignGlyphs, CrispAtTwiceTheScale) {
    const QPixmap pm = SignGlyphList::pixmap(5, QSize(20, 20), 2.0);
    EXPECT_EQ(pm.size(), QSize(40, 40));
    EXPECT_EQ(pm.deviceIndependentSize().toSize(), QSize(20, 20));
    // Drawn at device resolution: many fully covered pixels, not a scaled-up blur.
    const QImage image = pm.toImage();
    int solid = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) solid += qAlpha(image.pixel(x, y)) == 255;
    EXPECT_GT(solid, 60);
}

TEST(SignImageControl, PictureNumberOutsideTheListIsIgnored) {
    SignImage image;
    EXPECT_EQ(image.property("picture").toInt(), 0);
    image.setProperty("picture", 7);
    EXPECT_EQ(image.picture(), 7);
    for (int wrong : {0, 13, -4}) {
        image.setPicture(wrong);
        EXPECT_EQ(image.picture(), 7) << wrong;
    }
}

}  // namespace
}  // namespace qv::test
