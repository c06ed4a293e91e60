#include "gui/chart/aspect_grid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/aspects.h"
#include "chart/aspect_text.h"
#include "gui/chart/natal_wheel.h"
#include "gui/common/ui_metrics.h"
#include "state/fixed_lists.h"

namespace qv {
namespace {

// Designed pixels: a cell, the margin around the triangle.
constexpr double kCellWidth = 34.0;
constexpr double kCellHeight = 30.0;
constexpr double kMargin = 4.0;
constexpr int kPoints = static_cast<int>(kAspectPointCount);
// Type of the points' names and of the orbs, points at the designed scale.
constexpr double kNamePoints = 7.0;
constexpr double kOrbPoints = 6.75;
// The legend starts in this column of the empty half above the diagonal.
constexpr int kLegendColumn = 5;

const QColor kGridLine(205, 190, 212);
const QColor kDiagonal(244, 238, 247);
const QColor kOnTime(242, 242, 242);
const QColor kText(34, 34, 34);

QColor AspectColour(AspectKind kind) {
    switch (kind) {
        case AspectKind::Conjunction:
            return ui::kBannerColour;
        case AspectKind::Sextile:
        case AspectKind::Trine:
            return QColor(25, 85, 185);
        case AspectKind::Square:
        case AspectKind::Opposition:
            break;
    }
    return QColor(190, 35, 35);
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The index in `aspects` of the pair of slots (a < b), or -1.
int AspectIndex(const ChartAspects& aspects, int a, int b) {
    if (!aspects.computed) return -1;
    for (int k = 0; k < aspects.count; ++k) {
        const Aspect& x = aspects.list[std::size_t(k)];
        if (x.a == a && x.b == b) return k;
    }
    return -1;
}

// The cell of row `row`, column `column` (column <= row), at `scale`.
QRectF CellRect(int row, int column, double scale) {
    return QRectF((kMargin + column * kCellWidth) * scale, (kMargin + row * kCellHeight) * scale, kCellWidth * scale,
                  kCellHeight * scale);
}

// The aspect's symbol, `size` pixels across, centred on `centre`: drawn, so
// that it needs no font of its own.
void PaintSymbol(QPainter& p, AspectKind kind, QPointF centre, double size, double pen) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(AspectColour(kind), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const double d = size;
    const double x = centre.x(), y = centre.y();
    switch (kind) {
        case AspectKind::Conjunction: {
            const double r = 0.27 * d;
            const QPointF c(x - 0.12 * d, y + 0.16 * d);
            p.drawEllipse(c, r, r);
            const double k = r / std::numbers::sqrt2;
            p.drawLine(QPointF(c.x() + k, c.y() - k), QPointF(x + 0.42 * d, y - 0.46 * d));
            break;
        }
        case AspectKind::Opposition: {
            const double r = 0.17 * d;
            const QPointF a(x - 0.3 * d, y + 0.3 * d), b(x + 0.3 * d, y - 0.3 * d);
            p.drawEllipse(a, r, r);
            p.drawEllipse(b, r, r);
            const double k = r / std::numbers::sqrt2;
            p.drawLine(QPointF(a.x() + k, a.y() - k), QPointF(b.x() - k, b.y() + k));
            break;
        }
        case AspectKind::Square:
            p.drawRect(QRectF(x - 0.36 * d, y - 0.36 * d, 0.72 * d, 0.72 * d));
            break;
        case AspectKind::Trine: {
            const double h = 0.8 * d * std::sqrt(3.0) / 2.0;
            const QPointF corners[3] = {{x, y - h * 2.0 / 3.0}, {x - 0.4 * d, y + h / 3.0}, {x + 0.4 * d, y + h / 3.0}};
            p.drawPolygon(corners, 3);
            break;
        }
        case AspectKind::Sextile:
            for (const double degrees : {90.0, 30.0, 150.0}) {
                const double a = degrees * std::numbers::pi / 180.0;
                const QPointF v(0.45 * d * std::cos(a), -0.45 * d * std::sin(a));
                p.drawLine(centre - v, centre + v);
            }
            break;
    }
    p.restore();
}

QFont TypeOf(const QFont& family, double points, bool bold = false) {
    QFont f = family;
    f.setPointSizeF(std::max(1.0, points));
    f.setBold(bold);
    return f;
}

QString CellOrb(const Aspect& x) {
    QString orb = FromUtf8(AspectOrbText(x.orb));
    if (x.restsOnTime) orb += QLatin1Char('?');
    return orb;
}

}  // namespace

QSizeF AspectGridDesignedSize() {
    return QSizeF(2 * kMargin + kPoints * kCellWidth, 2 * kMargin + kPoints * kCellHeight);
}

void PaintAspectGrid(QPainter& p, const ChartAspects& aspects, double s, const QFont& font) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QFont nameFont = TypeOf(font, kNamePoints * s, true);
    const QFont orbFont = TypeOf(font, kOrbPoints * s);
    bool anyOnTime = false;
    for (int row = 0; row < kPoints; ++row) {
        for (int column = 0; column <= row; ++column) {
            const QRectF cell = CellRect(row, column, s);
            if (column == row) {
                p.fillRect(cell, kDiagonal);
                p.setPen(ui::kBannerColour);
                p.setFont(nameFont);
                p.drawText(cell, Qt::AlignCenter, FromUtf8(AspectPointShort(std::size_t(row))));
            } else if (const int k = AspectIndex(aspects, column, row); k >= 0) {
                const Aspect& x = aspects.list[std::size_t(k)];
                if (x.restsOnTime) {
                    p.fillRect(cell, kOnTime);
                    anyOnTime = true;
                }
                PaintSymbol(p, x.kind, QPointF(cell.center().x(), cell.top() + cell.height() * 0.34),
                            cell.height() * 0.38, 1.3 * s);
                p.setPen(kText);
                p.setFont(orbFont);
                p.drawText(QRectF(cell.left(), cell.top() + cell.height() * 0.58, cell.width(), cell.height() * 0.4),
                           Qt::AlignHCenter | Qt::AlignTop, CellOrb(x));
            }
            p.setPen(QPen(kGridLine, std::max(1.0, 0.8 * s)));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell);
        }
    }

    // The legend, in the empty half above the diagonal.
    p.setFont(orbFont);
    const double lineHeight = kCellHeight * s * 0.62;
    const double left = (kMargin + kLegendColumn * kCellWidth + kCellWidth * 0.5) * s;
    double y = kMargin * s + lineHeight / 2.0;
    for (const AspectType& type : kAspectTable) {
        PaintSymbol(p, type.kind, QPointF(left, y), lineHeight * 0.62, 1.2 * s);
        p.setPen(kText);
        p.drawText(QRectF(left + lineHeight * 0.7, y - lineHeight / 2.0, 6 * kCellWidth * s, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("%1 %2\u00b0").arg(FromUtf8(type.name)).arg(type.angle));
        y += lineHeight;
    }
    if (anyOnTime) {
        p.setPen(kText);
        p.drawText(QRectF(left - lineHeight * 0.35, y - lineHeight / 2.0, 6 * kCellWidth * s, lineHeight * 2),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("? rests on the birth time,\nwhich is not known"));
    }
    if (!aspects.computed) {
        p.setPen(kText);
        p.drawText(QRectF(CellRect(6, 0, s).topLeft(), QSizeF(4 * kCellWidth * s, kCellHeight * s)), Qt::AlignCenter,
                   QStringLiteral("No aspects"));
    }
    p.restore();
}

// ---------------------------------------------------------------- AspectGrid

AspectGrid::AspectGrid(QWidget* parent) : QWidget(parent) {
    InstallAspectGridAccessibility();
    setObjectName(QStringLiteral("picAspects"));
    setAccessibleName(QStringLiteral("Aspects"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFont(ui::FormFont(8.25));
    setFocusPolicy(Qt::TabFocus);
    setScale(1.0);
}

void AspectGrid::setAspects(const ChartAspects& aspects) {
    aspects_ = aspects;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void AspectGrid::setScale(double scale) {
    scale_ = std::max(scale, 0.01);
    setFixedSize(QSizeF(AspectGridDesignedSize() * scale_).toSize());
    update();
}

QString AspectGrid::itemText(int index) const {
    if (index < 0 || index >= itemCount()) return {};
    return FromUtf8(AspectItem(aspects_.list[std::size_t(index)]));
}

QRect AspectGrid::itemRect(int index) const {
    if (index < 0 || index >= itemCount()) return {};
    const Aspect& x = aspects_.list[std::size_t(index)];
    return CellRect(x.b, x.a, scale_).toAlignedRect();
}

QString AspectGrid::cellText(int row, int column) const {
    const int k = column < row ? AspectIndex(aspects_, column, row) : -1;
    if (k < 0) return {};
    const Aspect& x = aspects_.list[std::size_t(k)];
    return FromUtf8(AspectTypeOf(x.kind).name) + QLatin1Char(' ') + CellOrb(x);
}

void AspectGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintAspectGrid(p, aspects_, scale_, font());
}

bool AspectGrid::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        for (int k = 0; k < itemCount(); ++k)
            if (itemRect(k).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), itemText(k), this, itemRect(k));
                return true;
            }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QWidget::event(e);
}

// ---------------------------------------------------------------- AspectLines

AspectLines::AspectLines(NatalWheel* wheel) : QWidget(wheel), wheel_(wheel) {
    setObjectName(QStringLiteral("linAspects"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(wheel->rect());
    wheel->installEventFilter(this);
    raise();
}

void AspectLines::setChart(const ChartState& state) {
    longitude_ = state.BodyLongitude;
    ascendantSign_ = std::max<int>(0, state.BodySign[kAscendantSlot]);
    aspects_ = state.Aspects;
    update();
}

bool AspectLines::eventFilter(QObject* watched, QEvent* e) {
    if (watched == wheel_ && e->type() == QEvent::Resize) {
        setGeometry(wheel_->rect());
        raise();
    }
    return QWidget::eventFilter(watched, e);
}

void AspectLines::paintEvent(QPaintEvent*) {
    if (!aspects_.computed) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = wheel_->scale();
    const double radius = wheel_->hubRadius() * 0.9;
    // House 1 is the ascendant's sign, beginning at the left; the houses,
    // and the degrees within them, run counter-clockwise.
    auto at = [&](std::size_t slot) {
        const double degrees = std::fmod(longitude_[slot] - 30.0 * ascendantSign_ + 720.0, 360.0);
        return wheel_->polar(radius, 180.0 + degrees);
    };
    for (const Aspect& x : aspects_) {
        if (x.kind == AspectKind::Conjunction) continue;  // a point, not a line
        p.setPen(QPen(AspectColour(x.kind), 1.1 * s, x.restsOnTime ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(at(x.a), at(x.b));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ui::kBannerColour);
    for (std::size_t slot = 0; slot < kAspectPointCount; ++slot) p.drawEllipse(at(slot), 1.6 * s, 1.6 * s);
}

// ---------------------------------------------------------------- reader's list

namespace {

// One aspect of the grid as an item of its list.
class AspectItemAccessible final : public QAccessibleInterface {
public:
    AspectItemAccessible(AspectGrid* grid, int index) : grid_(grid), index_(index) {}
    bool isValid() const override { return grid_ && index_ < grid_->itemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        QAccessibleInterface* parent = this->parent();
        return parent ? parent->window() : nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && grid_ ? grid_->itemText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grid_) return {};
        const QRect r = grid_->itemRect(index_);
        return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !grid_ || !grid_->isVisible();
        return s;
    }

private:
    QPointer<AspectGrid> grid_;
    int index_;
};

// The grid as a list of its aspects, items made when first asked for.
class AspectGridAccessible final : public QAccessibleWidget {
public:
    explicit AspectGridAccessible(QWidget* grid) : QAccessibleWidget(grid, QAccessible::List) {}
    ~AspectGridAccessible() override {
        for (const QAccessible::Id id : items_) QAccessible::deleteAccessibleInterface(id);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) {
            const int n = grid()->itemCount();
            return n == 1 ? QStringLiteral("1 aspect") : QStringLiteral("%1 aspects").arg(n);
        }
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return grid()->itemCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        while (int(items_.size()) <= index)
            items_.push_back(
                QAccessible::registerAccessibleInterface(new AspectItemAccessible(grid(), int(items_.size()))));
        return QAccessible::accessibleInterface(items_[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t k = 0; k < items_.size(); ++k)
            if (child && QAccessible::accessibleInterface(items_[k]) == child) return int(k);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = grid()->mapFromGlobal(QPoint(x, y));
        for (int k = 0; k < childCount(); ++k)
            if (grid()->itemRect(k).contains(local)) return child(k);
        return nullptr;
    }

private:
    AspectGrid* grid() const { return static_cast<AspectGrid*>(widget()); }
    mutable std::vector<QAccessible::Id> items_;
};

QAccessibleInterface* AspectGridFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("qv::AspectGrid") && object && object->isWidgetType())
        return new AspectGridAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void InstallAspectGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&AspectGridFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace qv
