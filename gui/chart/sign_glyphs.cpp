#include "gui/chart/sign_glyphs.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <array>
#include <mutex>

namespace qv {
namespace {

constexpr char16_t kFirstZodiacCharacter = 0x2648;  // ARIES; PISCES is U+2653
const char* const kAbbreviations[12] = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir",
                                        "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};

struct GlyphOutlines {
    std::array<QPainterPath, 12> paths;
    bool zodiacFont = false;
};

// Fits `path` into the unit square, keeping its proportions, centred.
QPainterPath FitToUnitSquare(const QPainterPath& path) {
    const QRectF r = path.boundingRect();
    if (r.isEmpty()) return path;
    const qreal scale = 1.0 / std::max(r.width(), r.height());
    QTransform t;
    t.translate(0.5, 0.5);
    t.scale(scale, scale);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

QFont ZodiacFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    font.setPixelSize(200);
    return font;
}

GlyphOutlines BuildOutlines() {
    GlyphOutlines g;
    const QFont font = ZodiacFont();
    const QFontMetricsF metrics(font);
    bool all = true;
    for (int i = 0; i < 12; ++i) all = all && metrics.inFont(QChar(char16_t(kFirstZodiacCharacter + i)));
    g.zodiacFont = all;
    for (int i = 0; i < 12; ++i) {
        QPainterPath p;
        if (all) {
            p.addText(0, 0, font, QString(QChar(char16_t(kFirstZodiacCharacter + i))));
        } else {
            QFont letters = font;
            letters.setBold(true);
            p.addText(0, 0, letters, QString::fromLatin1(kAbbreviations[i]));
        }
        g.paths[i] = FitToUnitSquare(p);
    }
    return g;
}

const GlyphOutlines& Outlines() {
    static const GlyphOutlines outlines = BuildOutlines();
    return outlines;
}

}  // namespace

QPainterPath SignGlyphList::outline(int picture) {
    if (!isPicture(picture)) return {};
    return Outlines().paths[picture - 1];
}

bool SignGlyphList::usesZodiacFont() { return Outlines().zodiacFont; }

QColor SignGlyphList::elementColour(int picture) {
    if (!isPicture(picture)) return QColor(40, 40, 40);
    switch ((picture - 1) % 4) {
        case 0:
            return QColor(190, 45, 35);  // fire
        case 1:
            return QColor(45, 120, 50);  // earth
        case 2:
            return QColor(176, 120, 0);  // air
        default:
            return QColor(30, 85, 165);  // water
    }
}

void SignGlyphList::paint(QPainter& painter, const QRectF& box, int picture, const QColor& colour) {
    const QPainterPath path = outline(picture);
    if (path.isEmpty() || box.isEmpty()) return;
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path);
    painter.restore();
}

QPixmap SignGlyphList::pixmap(int picture, const QSize& size, qreal devicePixelRatio) {
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(p, QRectF(QPointF(0, 0), QSizeF(size)), picture, elementColour(picture));
    return pm;
}

SignImage::SignImage(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TranslucentBackground); }

void SignImage::setPicture(int picture) {
    if (!SignGlyphList::isPicture(picture) || picture == picture_) return;
    picture_ = picture;
    update();
}

QSize SignImage::sizeHint() const { return QSize(22, 22); }

void SignImage::paintEvent(QPaintEvent*) {
    if (!SignGlyphList::isPicture(picture_)) return;
    // Drawn as an outline each time, never as a bitmap: on paper, in an SVG
    // file and in a large picture the glyph is as sharp as the wheel.
    QPainter p(this);
    const qreal inset = std::min(width(), height()) * 0.08;
    SignGlyphList::paint(p, QRectF(rect()).adjusted(inset, inset, -inset, -inset), picture_,
                         SignGlyphList::elementColour(picture_));
}

}  // namespace qv
