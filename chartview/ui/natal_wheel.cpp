#include "chartview/ui/natal_wheel.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

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

// House number shown by lblNatalPosition element i: element 0 reads "12",
// elements 1 to 11 read "1" to "11".
int HouseOfNumberLabel(int element) { return element == 0 ? 12 : element; }

}  // namespace

// ---------------------------------------------------------------- HouseBox

HouseBox::HouseBox(QWidget* parent) : QLabel(parent) {
    setFont(ui::FormFont(8.25));
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

QFont HouseBox::shownFont() const {
    // A crowded house gets a smaller type so that it stays near its sector.
    QFont f = font();
    if (shownLines().size() > 6) f.setPointSizeF(f.pointSizeF() * 0.88);
    return f;
}

QSize HouseBox::sizeHint() const {
    const QStringList lines = shownLines();
    if (lines.isEmpty()) return QSize(0, 0);
    const QFont regular = shownFont();
    QFont bold = regular;
    bold.setBold(true);
    const QFontMetrics normal(regular), strong(bold);
    int w = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        w = std::max(w, (isAscendantLine(i) ? strong : normal).horizontalAdvance(lines[i]));
    return QSize(w + 6, normal.lineSpacing() * int(lines.size()) + 4);
}

QSize HouseBox::minimumSizeHint() const { return sizeHint(); }

void HouseBox::paintEvent(QPaintEvent*) {
    const QStringList lines = shownLines();
    if (lines.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A light backing keeps the names readable where a long list crosses a cusp.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawRoundedRect(QRectF(rect()), 3, 3);
    if (const auto* wheel = qobject_cast<const NatalWheel*>(parentWidget())) {
        p.save();
        p.translate(-pos());
        wheel->paintLines(p);
        p.restore();
    }
    const QFont regular = shownFont();
    QFont bold = regular;
    bold.setBold(true);
    const int step = QFontMetrics(regular).lineSpacing();
    int y = 2;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool asc = isAscendantLine(i);
        p.setFont(asc ? bold : regular);
        p.setPen(asc ? kBanner : kBodyText);
        p.drawText(QRect(0, y, width(), step), Qt::AlignHCenter | Qt::AlignVCenter, lines[i]);
        y += step;
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
        sign->setFont(ui::FormFont(8.25));
        sign->setAlignment(Qt::AlignCenter);
        signBoxes_[i] = sign;

        auto* number = new QLabel(QString::number(HouseOfNumberLabel(i)), this);
        number->setObjectName(QStringLiteral("lblNatalPosition_%1").arg(i));
        number->setFont(ui::FormFont(12));
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
    placeChildren();
}

QPointF NatalWheel::centre() const { return QPointF(width() / 2.0, height() / 2.0); }
double NatalWheel::outerRadius() const { return std::max(10.0, std::min(width(), height()) / 2.0 - 6.0); }
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

double NatalWheel::overreach(const QRect& rect, int house) const {
    // One pixel of air between the box and the cusps around it.
    const QRectF r = QRectF(rect).adjusted(-1, -1, 1, 1);
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

void NatalWheel::placeHouseBox(int element) {
    HouseBox* box = lblNatal_[element];
    const QSize s = box->sizeHint();
    const double mid = houseMidAngle(element + 1);
    auto boxAt = [&](double radius) {
        const QPointF at = polar(radius, mid);
        return QRect(int(std::lround(at.x() - s.width() / 2.0)), int(std::lround(at.y() - s.height() / 2.0)), s.width(),
                     s.height());
    };
    // On its house's middle ray, the place nearest the middle of the band
    // where the box reaches least out of its sector (not at all when it
    // fits), so that boxes of neighbouring houses keep apart. What still
    // reaches over a cusp lies under the lines, which are drawn above the
    // box's backing.
    const double middle = (hubRadius() + ringRadius()) / 2.0 + 6.0;
    QRect placed = boxAt(middle);
    double least = overreach(placed, element + 1);
    for (double step = 2.0; least > 0.0 && (middle + step < ringRadius() || middle - step > hubRadius()); step += 2.0) {
        for (const double radius : {middle + step, middle - step}) {
            const QRect candidate = boxAt(radius);
            if (const double reach = overreach(candidate, element + 1); reach < least) {
                least = reach;
                placed = candidate;
            }
        }
    }
    box->setGeometry(placed);
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
    placeChildren();
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
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    // Cusps: the four angles (houses 1, 4, 7, 10 begin there) drawn stronger.
    for (int k = 0; k < 12; ++k) {
        const double a = 180.0 + 30.0 * k;
        const bool angle = k % 3 == 0;
        p.setPen(QPen(angle ? kBanner : QColor(150, 120, 165), angle ? 1.8 : 1.0));
        p.drawLine(polar(rh, a), polar(ro, a));
    }
    // Circles.
    p.setPen(QPen(kBanner, 2.0));
    p.drawEllipse(c, ro, ro);
    p.setPen(QPen(kBanner, 1.2));
    p.drawEllipse(c, rr, rr);
    p.drawEllipse(c, rh, rh);
    p.setPen(QPen(QColor(150, 120, 165), 0.8));
    p.drawEllipse(c, rh * 0.55, rh * 0.55);
}

}  // namespace qv
