#include "chartview/ui/toolbar_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace qv {
namespace {

const QColor kInk(70, 40, 85);
const QColor kAccent(104, 45, 123);

enum class Picture { New, Save, Print, Help };

class ToolbarIconEngine final : public QIconEngine {
public:
    explicit ToolbarIconEngine(Picture picture) : picture_(picture) {}
    QIconEngine* clone() const override { return new ToolbarIconEngine(picture_); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        // Draw on a 24 x 24 grid scaled to the rectangle.
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 24.0, side / 24.0);
        const bool disabled = mode == QIcon::Disabled;
        const QColor ink = disabled ? QColor(160, 160, 160) : kInk;
        const QColor accent = disabled ? QColor(190, 190, 190) : kAccent;
        QPen pen(ink, 1.4);
        pen.setJoinStyle(Qt::RoundJoin);
        painter->setPen(pen);
        switch (picture_) {
            case Picture::New: {
                QPainterPath page;
                page.moveTo(5, 2.5);
                page.lineTo(14.5, 2.5);
                page.lineTo(19.5, 7.5);
                page.lineTo(19.5, 21.5);
                page.lineTo(5, 21.5);
                page.closeSubpath();
                painter->setBrush(Qt::white);
                painter->drawPath(page);
                painter->setBrush(Qt::NoBrush);
                painter->drawPolyline(QPolygonF({QPointF(14.5, 2.5), QPointF(14.5, 7.5), QPointF(19.5, 7.5)}));
                painter->setPen(QPen(accent, 1.8, Qt::SolidLine, Qt::RoundCap));
                painter->drawLine(QPointF(12.25, 11), QPointF(12.25, 18));
                painter->drawLine(QPointF(8.75, 14.5), QPointF(15.75, 14.5));
                break;
            }
            case Picture::Save: {
                QPainterPath disk;
                disk.moveTo(3.5, 3.5);
                disk.lineTo(17.5, 3.5);
                disk.lineTo(20.5, 6.5);
                disk.lineTo(20.5, 20.5);
                disk.lineTo(3.5, 20.5);
                disk.closeSubpath();
                painter->setBrush(accent);
                painter->drawPath(disk);
                painter->setBrush(Qt::white);
                painter->drawRect(QRectF(7, 3.5, 9, 6));
                painter->setBrush(QColor(240, 236, 244));
                painter->drawRect(QRectF(6.5, 13, 11, 7.5));
                painter->setBrush(ink);
                painter->drawRect(QRectF(12.5, 4.8, 2, 3.4));
                break;
            }
            case Picture::Print: {
                painter->setBrush(Qt::white);
                painter->drawRect(QRectF(7, 2.5, 10, 7));
                painter->setBrush(accent);
                painter->drawRoundedRect(QRectF(3, 8.5, 18, 9), 1.5, 1.5);
                painter->setBrush(Qt::white);
                painter->drawRect(QRectF(7, 14, 10, 7.5));
                painter->setPen(QPen(ink, 1.0));
                painter->drawLine(QPointF(9, 17), QPointF(15, 17));
                painter->drawLine(QPointF(9, 19.2), QPointF(15, 19.2));
                painter->setPen(Qt::NoPen);
                painter->setBrush(QColor(120, 220, 120));
                painter->drawEllipse(QPointF(18, 11), 1, 1);
                break;
            }
            case Picture::Help: {
                painter->setBrush(accent);
                painter->drawEllipse(QPointF(12, 12), 9.5, 9.5);
                QFont f = painter->font();
                f.setBold(true);
                f.setPixelSize(14);
                painter->setFont(f);
                painter->setPen(Qt::white);
                painter->drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
                break;
            }
        }
        painter->restore();
    }

private:
    Picture picture_;
};

}  // namespace

QIcon ToolbarIcon(const QString& key) {
    if (key == QLatin1String("New")) return QIcon(new ToolbarIconEngine(Picture::New));
    if (key == QLatin1String("Save")) return QIcon(new ToolbarIconEngine(Picture::Save));
    if (key == QLatin1String("Print")) return QIcon(new ToolbarIconEngine(Picture::Print));
    if (key == QLatin1String("Help")) return QIcon(new ToolbarIconEngine(Picture::Help));
    return QIcon();
}

}  // namespace qv
