#include "gui/chart/toolbar_icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace qv {
namespace {

const QColor kInk(70, 40, 85);
const QColor kAccent(104, 45, 123);

enum class Picture { New, Save, Image, Print, Help };

class ToolbarIconEngine final : public QIconEngine {
public:
    explicit ToolbarIconEngine(Picture picture) : picture_(picture) {}
    QIconEngine* clone() const override { return new ToolbarIconEngine(picture_); }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            paint(&p, QRect(QPoint(0, 0), image.size()), mode, state);
        }
        QPixmap pm = QPixmap::fromImage(std::move(image));
        pm.setDevicePixelRatio(scale);
        return pm;
    }

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
            case Picture::Image: {
                // A framed picture: a sun over two hills.
                painter->setBrush(Qt::white);
                painter->drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 1.5, 1.5);
                painter->setPen(Qt::NoPen);
                painter->setBrush(accent);
                painter->drawPolygon(QPolygonF(
                    {QPointF(4, 18), QPointF(9.5, 10.5), QPointF(13, 15), QPointF(15.5, 12.5), QPointF(20, 18)}));
                painter->setBrush(QColor(240, 180, 40));
                painter->drawEllipse(QPointF(16.5, 8.5), 2, 2);
                break;
            }
            case Picture::Print: {
                painter->setBrush(Qt::white);
                painter->drawRect(QRectF(6.5, 2.5, 11, 7));
                painter->setBrush(QColor(96, 96, 108));
                painter->drawRoundedRect(QRectF(2, 9, 20, 8.5), 2, 2);
                painter->setBrush(Qt::white);
                painter->drawRect(QRectF(6.5, 14, 11, 7.5));
                painter->setPen(QPen(accent, 1.0));
                painter->drawLine(QPointF(8.5, 16.8), QPointF(15.5, 16.8));
                painter->drawLine(QPointF(8.5, 19), QPointF(15.5, 19));
                painter->setPen(Qt::NoPen);
                painter->setBrush(QColor(120, 220, 120));
                painter->drawEllipse(QPointF(19, 11.5), 1, 1);
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
    if (key == QLatin1String("Picture")) return QIcon(new ToolbarIconEngine(Picture::Image));
    if (key == QLatin1String("Print")) return QIcon(new ToolbarIconEngine(Picture::Print));
    if (key == QLatin1String("Help")) return QIcon(new ToolbarIconEngine(Picture::Help));
    return QIcon();
}

}  // namespace qv
