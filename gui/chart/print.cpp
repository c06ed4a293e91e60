#include "gui/chart/print.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QGroupBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <map>
#include <vector>

#include "gui/chart/aspect_grid.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"
#include "gui/common/user_dialogs.h"
#include "state/atomic_file.h"
#include "state/text.h"

namespace qv {

namespace {

bool Fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// While alive, the form's text is laid out without ligatures ("ff" stays two
// letters), so the words of a printed PDF file can be found and copied as
// they read. Fonts that set nothing else keep everything else.
class PlainLettersWhilePrinting {
public:
    explicit PlainLettersWhilePrinting(QWidget& form)
        : form_(form), saved_(form.font()), wasSet_(form.testAttribute(Qt::WA_SetFont)) {
        QFont plain = wasSet_ ? saved_ : QFont();
        plain.setStyleStrategy(QFont::PreferNoShaping);
        form_.setFont(plain);
    }
    ~PlainLettersWhilePrinting() { form_.setFont(wasSet_ ? saved_ : QFont()); }
    PlainLettersWhilePrinting(const PlainLettersWhilePrinting&) = delete;
    PlainLettersWhilePrinting& operator=(const PlainLettersWhilePrinting&) = delete;

private:
    QWidget& form_;
    QFont saved_;
    bool wasSet_;
};

// While alive, the personal data are shown whole, as on paper there is room
// for them: each line wrapped in its column, the lines below moved down, the
// frame as tall as they need. `growth` is how much taller the frame became.
class WholePersonalData {
public:
    explicit WholePersonalData(FrmDisplay& form) : frame_(*form.Frame1()) {
        frameHeight_ = frame_.height();
        std::map<int, std::vector<ElidedLabel*>> columns;  // by left edge
        for (auto* label : frame_.findChildren<ElidedLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            saved_.push_back({label, label->geometry()});
            columns[label->x()].push_back(label);
        }
        int bottom = 0, designedBottom = 0;
        for (auto& [left, labels] : columns) {
            std::sort(labels.begin(), labels.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
            // Rows keep their designed distance, or the wrapped line's height
            // and the designed gap, whichever is more.
            const int step = labels.size() > 1 ? labels[1]->y() - labels[0]->y() : labels[0]->height();
            int y = labels.front()->y();
            for (ElidedLabel* label : labels) {
                designedBottom = std::max(designedBottom, label->geometry().bottom());
                const int designed = label->height();
                const int height = std::max(designed, label->wrappedHeight(label->contentsRect().width()));
                label->setWrapped(true);
                label->setGeometry(label->x(), y, label->width(), height);
                bottom = std::max(bottom, label->geometry().bottom());
                y += std::max(step, height + step - designed);
            }
        }
        growth = std::max(0, bottom - designedBottom);
        frame_.resize(frame_.width(), frameHeight_ + growth);
    }
    ~WholePersonalData() {
        for (const auto& [label, geometry] : saved_) {
            label->setWrapped(false);
            label->setGeometry(geometry);
        }
        frame_.resize(frame_.width(), frameHeight_);
    }
    WholePersonalData(const WholePersonalData&) = delete;
    WholePersonalData& operator=(const WholePersonalData&) = delete;

    int growth = 0;

private:
    QWidget& frame_;
    int frameHeight_ = 0;
    std::vector<std::pair<ElidedLabel*, QRect>> saved_;
};

// The largest scale at which a `content` rectangle fits into `page`.
qreal FitScale(const QSizeF& content, const QSizeF& page) {
    if (content.width() <= 0 || content.height() <= 0) return 1.0;
    return std::min(page.width() / content.width(), page.height() / content.height());
}

// Page 1: the position table at the top left, the personal data (whole) and
// the wheel beside it, as the form arranges them without its interpretation
// box, and the aspect grid centred under them when there are `aspects`.
// Scaled to fit the printable area and centred across it.
void PaintChartPage(QPainter& painter, FrmDisplay& form, const QSizeF& page, const ChartAspects* aspects) {
    QWidget* table = form.fraWestern();
    QWidget* personal = form.Frame1();
    QWidget* wheel = form.picNatal();
    const WholePersonalData whole(form);
    const std::pair<QWidget*, QPoint> parts[3] = {
        {table, QPoint(0, 0)}, {personal, personal->pos()}, {wheel, wheel->pos() + QPoint(0, whole.growth)}};
    QRect content;
    for (const auto& [widget, at] : parts) content |= QRect(at, widget->size());
    QRectF grid;
    if (aspects && aspects->computed) {
        const QSizeF size = AspectGridDesignedSize();
        grid = QRectF(QPointF(content.center().x() - size.width() / 2, content.bottom() + 12), size);
        content |= grid.toAlignedRect();
    }

    // The chart window's notes (birth moment, time window) go under the
    // chart in the interpretation's type; the chart leaves room for them.
    QFont noteFont = form.font();
    noteFont.setPointSizeF(kPrintedTextPoints);
    painter.setFont(noteFont);
    std::vector<QRectF> noteRects;
    qreal notesHeight = 0;
    for (const QString& note : form.chartNotes()) {
        noteRects.push_back(painter.boundingRect(QRectF(QPointF(0, 0), page), Qt::TextWordWrap, note));
        notesHeight += noteRects.back().height();
    }
    const qreal gap = noteRects.empty() ? 0 : painter.fontMetrics().height();

    const qreal scale = FitScale(content.size(), QSizeF(page.width(), page.height() - notesHeight - gap));
    painter.save();
    painter.translate((page.width() - content.width() * scale) / 2, 0);
    painter.scale(scale, scale);
    for (const auto& [widget, at] : parts)
        widget->render(&painter, at, QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    if (!grid.isNull()) {
        painter.translate(grid.topLeft());
        PaintAspectGrid(painter, *aspects, 1.0, form.font());
    }
    painter.restore();
    qreal y = content.height() * scale + gap;
    for (qsizetype k = 0; k < form.chartNotes().size(); ++k) {
        const qreal height = noteRects[static_cast<std::size_t>(k)].height();
        painter.drawText(QRectF(0, y, page.width(), height), Qt::TextWordWrap, form.chartNotes()[k]);
        y += height;
    }
}

// The whole interpretation, laid out for the page width, one page after the
// other; the layout keeps lines from being cut at a page end.
void PaintTextPages(QPainter& painter, QPagedPaintDevice& device, const QTextDocument& box, const QSizeF& page) {
    const std::unique_ptr<QTextDocument> doc = PrintedInterpretation(box);
    doc->documentLayout()->setPaintDevice(&device);
    doc->setPageSize(page);
    const int pages = doc->pageCount();
    for (int i = 0; i < pages; ++i) {
        device.newPage();
        painter.save();
        const QRectF slice(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -slice.top());
        painter.setClipRect(slice);
        doc->drawContents(&painter, slice);
        painter.restore();
    }
}

bool PaintDesignedForm(FrmDisplay& form, QPagedPaintDevice& device, QString* error, const ChartAspects* aspects) {
    const PlainLettersWhilePrinting plain(form);
    QPainter painter;
    if (!painter.begin(&device)) return Fail(error, QStringLiteral("Printing could not be started."));
    const QSizeF page(device.width(), device.height());
    PaintChartPage(painter, form, page, aspects);
    const QTextDocument* text = form.RTB()->document();
    if (!text->isEmpty()) PaintTextPages(painter, device, *text, page);
    if (!painter.end()) return Fail(error, QStringLiteral("Printing could not be finished."));
    return true;
}

}  // namespace

std::unique_ptr<QTextDocument> PrintedInterpretation(const QTextDocument& box) {
    std::unique_ptr<QTextDocument> doc(box.clone());
    QFont font = doc->defaultFont();
    font.setPointSizeF(std::max(font.pointSizeF(), kPrintedTextPoints));
    font.setStyleStrategy(QFont::PreferNoShaping);
    doc->setDefaultFont(font);
    return doc;
}

bool PaintDisplayForm(FrmDisplay& form, QPagedPaintDevice& device, QString* error, const ChartAspects* aspects) {
    // Paper shows the form as designed, whatever size the window shows it at.
    bool painted = false;
    const bool drawing = form.drawingPicture();
    form.setDrawingPicture(true);  // no focus ring on paper
    form.atDesignedSize([&] { painted = PaintDesignedForm(form, device, error, aspects); });
    form.setDrawingPicture(drawing);
    return painted;
}

bool PrintDisplayForm(FrmDisplay& form, QPrinter& printer, QString* error, const ChartAspects* aspects) {
    // Painting in the form's own resolution keeps its fonts and its geometry
    // in proportion; text is drawn as text, so nothing is lost on paper.
    const int dpi = form.logicalDpiY();

    const QString pdfName = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || pdfName.isEmpty()) {
        printer.setResolution(dpi);
        if (!PaintDisplayForm(form, printer, error, aspects))
            return Fail(error,
                        QStringLiteral("The printer \"%1\" could not print the chart.").arg(printer.printerName()));
        return true;
    }

    // A PDF file: made in memory, then written by the program's one file
    // writer, which refuses what must not be replaced and keeps an earlier
    // file whole when the write fails.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(printer.pageLayout());
        pdf.setResolution(dpi);
        pdf.setTitle(printer.docName());
        pdf.setCreator(printer.creator());
        if (!PaintDisplayForm(form, pdf, error, aspects))
            return Fail(error, QStringLiteral("Could not save %1: the chart could not be drawn.")
                                   .arg(QString::fromStdString(QuoteUserText(pdfName.toStdString()))));
    }
    const std::string_view pdfBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (const auto failed = WriteFileAtomically(LocalFilePath(pdfName), pdfBytes))
        return Fail(error, QString::fromStdString(*failed));
    return true;
}

}  // namespace qv
