#include "gui/chart/natal_wheel.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "gui/chart/sign_glyphs.h"
#include "gui/common/ui_metrics.h"
#include "state/fixed_lists.h"

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

// House number shown by lblNatalPosition element i: element 0 reads "12",
// elements 1 to 11 read "1" to "11".
int HouseOfNumberLabel(int element) { return element == 0 ? 12 : element; }

// A rectangle of the house layout in the widget's pixels.
QRectF ToQRectF(const WheelRect& r) { return QRectF(r.x, r.y, r.width, r.height); }

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
    for (const WheelRect& line : arrangement_.lines) covered |= ToQRectF(line);
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
    const double pad = kHouseLinePad * (wheel ? wheel->scale() : 1.0);
    const int align = (arrangement_.columns == 1 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool asc = isAscendantLine(i);
        p.setFont(lineFont(arrangement_.pixels, asc));
        p.setPen(asc ? kBanner : kBodyText);
        const QRectF at =
            ToQRectF(arrangement_.lines[std::size_t(i)]).translated(-QPointF(pos())).adjusted(pad, 0, -pad, 0);
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

double NatalWheel::houseMidAngle(int house) { return HouseMidAngle(house); }

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

HouseArrangement NatalWheel::arrangeHouse(const HouseBox& box, int house) const {
    const QStringList shown = box.shownLines();
    const QPointF c = centre();
    const WheelFrame frame{{c.x(), c.y()}, ringRadius(), hubRadius(), scale_};
    HouseLines lines;
    lines.count = std::size_t(shown.size());
    lines.largestPixels = housePixels();
    lines.smallestPixels = smallestHousePixels();
    lines.widths = [&](int pixels) {
        const QFontMetricsF normal(box.lineFont(pixels, false)), strong(box.lineFont(pixels, true));
        std::vector<double> widths;
        for (qsizetype i = 0; i < shown.size(); ++i)
            widths.push_back((box.isAscendantLine(i) ? strong : normal).horizontalAdvance(shown[i]));
        return widths;
    };
    lines.spacing = [&](int pixels) { return QFontMetricsF(box.lineFont(pixels, false)).lineSpacing(); };
    return ArrangeHouse(frame, house, lines);
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
