#include "chartview/ui/print.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>
#include <memory>

#include "app/atomic_file.h"
#include "app/ui/reading_commands.h"
#include "app/user_text.h"

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

// The largest scale at which a `content` rectangle fits into `page`.
qreal FitScale(const QSizeF& content, const QSizeF& page) {
    if (content.width() <= 0 || content.height() <= 0) return 1.0;
    return std::min(page.width() / content.width(), page.height() / content.height());
}

// The form, scaled to fit the page and centred across it.
void PaintFormPage(QPainter& painter, QWidget& form, const QSizeF& page) {
    const QSizeF size = form.size();
    const qreal scale = FitScale(size, page);
    painter.save();
    painter.translate((page.width() - size.width() * scale) / 2, 0);
    painter.scale(scale, scale);
    form.render(&painter, QPoint(), QRegion(),
                QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.restore();
}

// The whole interpretation, laid out for the page width, one page after the
// other; the layout keeps lines from being cut at a page end.
void PaintTextPages(QPainter& painter, QPagedPaintDevice& device, const QTextDocument& source,
                    const QSizeF& page) {
    std::unique_ptr<QTextDocument> doc(source.clone());
    QFont plain = doc->defaultFont();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    doc->setDefaultFont(plain);
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

}  // namespace

const QTextDocument* InterpretationOf(const QWidget& form) {
    const auto* box = form.findChild<const QTextEdit*>(QStringLiteral("RTB"));
    return box ? box->document() : nullptr;
}

bool PaintDisplayForm(QWidget& form, QPagedPaintDevice& device, QString* error) {
    const PlainLettersWhilePrinting plain(form);
    QPainter painter;
    if (!painter.begin(&device)) return Fail(error, QStringLiteral("Printing could not be started."));
    const QSizeF page(device.width(), device.height());
    PaintFormPage(painter, form, page);
    const QTextDocument* text = InterpretationOf(form);
    if (text && !text->isEmpty()) PaintTextPages(painter, device, *text, page);
    if (!painter.end()) return Fail(error, QStringLiteral("Printing could not be finished."));
    return true;
}

bool PrintDisplayForm(QWidget& form, QPrinter& printer, QString* error) {
    // Painting in the form's own resolution keeps its fonts and its geometry
    // in proportion; text is drawn as text, so nothing is lost on paper.
    const int dpi = form.logicalDpiY();

    const QString pdfName = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || pdfName.isEmpty()) {
        printer.setResolution(dpi);
        if (!PaintDisplayForm(form, printer, error))
            return Fail(error, QStringLiteral("The printer \"%1\" could not print the chart.")
                                   .arg(printer.printerName()));
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
        if (!PaintDisplayForm(form, pdf, error))
            return Fail(error, QStringLiteral("Could not save %1: the chart could not be drawn.")
                                   .arg(QString::fromStdString(QuoteUserText(pdfName.toStdString()))));
    }
    const std::string_view pdfBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (const auto failed = WriteFileAtomically(LocalFilePath(pdfName), pdfBytes))
        return Fail(error, QString::fromStdString(*failed));
    return true;
}

}  // namespace qv
