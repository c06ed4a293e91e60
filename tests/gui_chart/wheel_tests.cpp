// The chart wheel's arrangement and the sign glyphs, at the design size and
// scaled.
#include <QImage>

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

// Two long labels in every house: no two boxes meet, though at the design
// size they are too wide for the slanting sectors and, placed in the middle of
// the band, houses 9 and 10 (and 3 and 4) would share the space by the
// vertical cusp.
class LongLabels : public ::testing::TestWithParam<QSize> {};

TEST_P(LongLabels, NoTwoHouseBoxesMeet) {
    NatalWheel wheel;
    wheel.resize(GetParam());
    wheel.placeChildren();
    const QStringList bodies = {QStringLiteral("Neptune (R)"), QStringLiteral("Pluto (R)")};
    for (int h = 0; h < 12; ++h) wheel.setHouse(h, QStringLiteral("\r\nNeptune (R)\r\nPluto (R)"), bodies, false);
    for (int a = 0; a < 12; ++a) {
        const QRect box = wheel.houseBox(a)->geometry();
        for (int b = a + 1; b < 12; ++b)
            EXPECT_FALSE(box.intersects(wheel.houseBox(b)->geometry())) << "houses " << a + 1 << " and " << b + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LongLabels, ::testing::Values(QSize(450, 431), QSize(900, 862)));

// A crowded house: seven bodies and the ascendant in one box, which reaches
// over its sector's cusps at the wheel's design size.
class CrowdedHouse : public ::testing::TestWithParam<int> {};

TEST_P(CrowdedHouse, EveryHouseLineStaysVisible) {
    NatalWheel wheel;
    wheel.resize(450, 431);
    wheel.placeChildren();
    const QStringList bodies = {"Sun", "Moon", "Mercury (R) ", "Venus", "Mars", "Jupiter (R) ", "Saturn (R) "};
    wheel.setHouse(GetParam(), QStringLiteral("\r\n") + bodies.join(QStringLiteral("\r\n")) + QStringLiteral("\r\nAsc"),
                   bodies, true);
    const QImage image = wheel.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    // Darkest grey near a point: a line (or a letter over it) is dark, a
    // backing over a line leaves it almost white.
    auto darkestNear = [&](QPointF at) {
        int darkest = 255;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint px = (at * ratio).toPoint() + QPoint(dx, dy);
                if (image.rect().contains(px)) darkest = std::min(darkest, qGray(image.pixel(px)));
            }
        return darkest;
    };
    const QRectF box = QRectF(wheel.houseBox(GetParam())->geometry());
    int crossings = 0;
    for (int k = 0; k < 12; ++k) {
        const double angle = 180.0 + 30.0 * k;
        for (double r = wheel.hubRadius() + 3; r < wheel.ringRadius() - 3; r += 2) {
            const QPointF at = wheel.polar(r, angle);
            crossings += box.contains(at);
            EXPECT_LT(darkestNear(at), 225) << "cusp " << k << " at radius " << r;
        }
    }
    EXPECT_GT(crossings, 0) << "the box should reach over a cusp for this test to mean anything";
}

INSTANTIATE_TEST_SUITE_P(Houses, CrowdedHouse, ::testing::Values(0, 3, 6, 9));

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
