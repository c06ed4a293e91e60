#include "gui/chart/chart_picture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSvgGenerator>
#include <cmath>

#include "gui/chart/frm_display.h"
#include "gui/chart/picture.h"
#include "gui/common/program_identity.h"
#include "gui/common/user_dialogs.h"
#include "state/atomic_file.h"
#include "state/text.h"

namespace qv {
namespace {

// While alive, the interpretation box looks as in a picture: the part of
// the text in view, without the scroll bar beside it or the frame around it.
class PictureLook {
public:
    explicit PictureLook(FrmDisplay& form)
        : form_(form), box_(*form.RTB()), policy_(box_.verticalScrollBarPolicy()), frame_(box_.frameShape()) {
        form_.setDrawingPicture(true);
        QScrollBar* bar = box_.verticalScrollBar();
        const double read = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
        box_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box_.setFrameShape(QFrame::NoFrame);
        bar->setValue(int(std::lround(read * bar->maximum())));
    }
    ~PictureLook() {
        QScrollBar* bar = box_.verticalScrollBar();
        const double read = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
        box_.setFrameShape(frame_);
        box_.setVerticalScrollBarPolicy(policy_);
        bar->setValue(int(std::lround(read * bar->maximum())));
        form_.setDrawingPicture(false);
    }
    PictureLook(const PictureLook&) = delete;
    PictureLook& operator=(const PictureLook&) = delete;

private:
    FrmDisplay& form_;
    QTextEdit& box_;
    Qt::ScrollBarPolicy policy_;
    QFrame::Shape frame_;
};

QString Quoted(const QString& path) { return QString::fromStdString(QuoteUserText(path.toStdString())); }

}  // namespace

QSize PictureSize(int width) { return FrmDisplay::clientSize(double(width) / FrmDisplay::clientSize().width()); }

void PaintChartPicture(FrmDisplay& form, QPainter& painter, int width) {
    // The form is laid out anew at the picture's scale; below the designed
    // size it is laid out as designed and drawn smaller.
    const double scale = double(width) / FrmDisplay::clientSize().width();
    form.atScale(std::max(1.0, scale), [&] {
        const PictureLook look(form);
        painter.save();
        if (scale < 1.0) painter.scale(scale, scale);
        painter.fillRect(QRect(QPoint(0, 0), form.size()), Qt::white);
        form.render(&painter, QPoint(0, 0), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter.restore();
    });
}

QImage ChartPictureImage(FrmDisplay& form, int width) {
    QImage image(PictureSize(width), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PaintChartPicture(form, painter, width);
    return image;
}

QByteArray ChartPictureSvg(FrmDisplay& form, int width) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = PictureSize(width);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // The form's type is sized for its own resolution; the same one here
    // keeps text and geometry in proportion.
    svg.setResolution(form.logicalDpiY());
    svg.setTitle(QStringLiteral("Quorvane chart"));
    svg.setDescription(QStringLiteral("%1 %2").arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion)));
    QPainter painter;
    if (!painter.begin(&svg)) return {};
    PaintChartPicture(form, painter, width);
    if (!painter.end()) return {};
    // The generator gives the size in millimetres; a picture's size is its
    // width in pixels, as for the other kinds.
    static const QRegularExpression kSize(QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
    const qsizetype head = std::min<qsizetype>(bytes.size(), 512);
    QString start = QString::fromUtf8(bytes.left(head));
    start.replace(kSize, QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
    return start.toUtf8() + bytes.mid(head);
}

QByteArray ChartPictureFile(FrmDisplay& form, PictureFormat format, int width) {
    if (format == PictureFormat::Svg) return ChartPictureSvg(form, width);
    const QImage image = ChartPictureImage(form, width);
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == PictureFormat::Png ? "png" : "jpg");
    if (format == PictureFormat::Jpeg) writer.setQuality(kJpegQuality);
    if (!writer.write(image)) return {};
    return bytes;
}

std::optional<QString> WriteChartPicture(FrmDisplay& form, const QString& path, int width) {
    const std::optional<PictureFormat> format = PictureFormatOfName(path.toStdString());
    if (!format)
        return QStringLiteral("Could not save %1: a picture's name ends in .png, .svg or .jpg.").arg(Quoted(path));
    if (const auto refused = PictureWidthRefusal(width))
        return QStringLiteral("Could not save %1: %2.").arg(Quoted(path), QString::fromStdString(*refused));
    const QByteArray bytes = ChartPictureFile(form, *format, width);
    if (bytes.isEmpty()) return QStringLiteral("Could not save %1: the picture could not be drawn.").arg(Quoted(path));
    const std::string_view data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (const auto failed = WriteFileAtomically(LocalFilePath(path), data)) return QString::fromStdString(*failed);
    return std::nullopt;
}

ChartPictureForm::ChartPictureForm(const ChartState& state, const ChartWheel& wheel) : form_(new FrmDisplay(state)) {
    form_->setAttribute(Qt::WA_DontShowOnScreen, true);
    form_->showChart(state, wheel);
}

ChartPictureForm::~ChartPictureForm() { delete form_; }

}  // namespace qv
