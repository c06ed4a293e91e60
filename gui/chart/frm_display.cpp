#include "gui/chart/frm_display.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QWheelEvent>
#include <cmath>

#include "chart/chart_description.h"
#include "chart/chart_moment.h"
#include "chart/personal_data.h"
#include "gui/chart/chart_accessibility.h"
#include "gui/chart/chart_picture.h"
#include "gui/chart/natal_wheel.h"
#include "gui/chart/sign_glyphs.h"
#include "gui/common/program_identity.h"
#include "gui/common/ui_metrics.h"

namespace qv {
namespace {

// What the note says when the day's charts cannot be found: everything may rest on the time.
constexpr TimeDependence kAllOnTime{true, {true, true, true, true}, {true, true, true}, {true, true, true}};

using ui::FormFont;
using ui::Px;
using ui::PxRect;

// Clipboard text shorter than this is a word or two that may occur anywhere;
// the guard only takes back longer pieces of the interpretation.
constexpr int kMinimumTakenLength = 16;

// The eight personal-data labels in the order the form's load writes them.
const char* const kPersonalLabels[8] = {"lblName",      "lblDOB",  "lblTOB",   "lblLatitude",
                                        "lblLongitude", "lblCity", "lblState", "lblCountry"};
// Their places inside "Personal Information" (twips).
const QPoint kPersonalPlaces[8] = {{120, 240},  {3360, 240}, {3360, 480}, {3360, 720},
                                   {3360, 960}, {120, 480},  {120, 720},  {120, 960}};

// Rows of the position table: y (twips), PlanetName index, Planet index.
struct PositionRow {
    int y;
    int nameIndex;
    int planetIndex;
};
constexpr PositionRow kPositionRows[11] = {{300, 0, 0},   {627, 1, 1},   {954, 2, 2},   {1281, 3, 3},
                                           {1608, 4, 4},  {1935, 5, 5},  {2262, 6, 6},  {2589, 13, 7},
                                           {2916, 14, 8}, {3250, 15, 9}, {3600, 16, 10}};
const char* const kPlanetNameCaptions[17] = {"Sun",
                                             "Moon",
                                             "Mercury",
                                             "Venus",
                                             "Mars",
                                             "Jupiter",
                                             "Saturn",
                                             "Uranus",
                                             "Neptune",
                                             "Pluto",
                                             "Rahu / North Node",
                                             "Ketu / South Node",
                                             "P_of_F",
                                             "Uranus",
                                             "Neptune",
                                             "Pluto",
                                             "Asc"};

// UTF-8 text of the core as a QString.
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Loose(const QString& s) {
    QString t = s;
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    t.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return t.simplified();
}

// The frames of the personal data and the positions drawn as outlines (the
// style's own frame is a picture stretched to size), so that they stay sharp
// on paper, in an SVG file and in a large picture.
class OutlineFrameStyle final : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(QColor(214, 214, 214), 1));
        painter->setBrush(QColor(250, 250, 250));
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter->restore();
    }
};

QStyle* FrameStyle() {
    static QStyle* const style = [] {
        auto* s = new OutlineFrameStyle;
        s->setParent(qApp);  // goes with the application
        return s;
    }();
    return style;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    return l;
}

}  // namespace

// ------------------------------------------------------------- clipboard guard

bool IsTextTakenFromBox(const QString& clipboardText, const QString& boxText) {
    const QString clip = Loose(clipboardText);
    if (clip.size() < kMinimumTakenLength) return false;
    return Loose(boxText).contains(clip);
}

InterpretationBox::InterpretationBox(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("RTB"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setAcceptDrops(false);
    setFocusPolicy(Qt::StrongFocus);  // the keys still scroll the text
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setFont(FormFont(8.25));
    document()->setDocumentMargin(4);
    viewport()->setMouseTracking(true);
    viewport()->installEventFilter(this);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { clipboardChecked_ = false; });
    connect(this, &QTextEdit::textChanged, this, [this] { guardClipboard(true); });
}

void InterpretationBox::showRuns(const std::vector<StyledRun>& runs) {
    filling_ = true;  // one look at the clipboard for the whole new text
    document()->clear();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    for (const StyledRun& run : runs) {
        QTextCharFormat format;
        format.setForeground(QColor(run.red, run.green, run.blue));
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        cursor.insertText(FromUtf8(run.text), format);
    }
    filling_ = false;
    guardClipboard(true);
    moveCursor(QTextCursor::Start);
    ensureCursorVisible();
}

std::vector<ShownRun> InterpretationBox::shownRuns() const {
    std::vector<ShownRun> out;
    auto append = [&out](const std::string& text, const QColor& c, bool bold) {
        if (!out.empty() && out.back().bold == bold && out.back().red == c.red() && out.back().green == c.green() &&
            out.back().blue == c.blue()) {
            out.back().text += text;
            return;
        }
        out.push_back(ShownRun{text, std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()), bold});
    };
    // A line break belongs to the run in force where it was written: the end
    // of the block's last fragment.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        QColor colour(0, 0, 0);
        bool bold = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid()) continue;
            colour = f.charFormat().foreground().color();
            bold = f.charFormat().fontWeight() >= QFont::Bold;
            append(f.text().toStdString(), colour, bold);
        }
        if (block.next().isValid()) append("\n", colour, bold);
    }
    return out;
}

bool InterpretationBox::guardClipboard(bool always) {
    // Looking at the clipboard can mean a round trip to the program that
    // owns it, so a mouse move looks only after the clipboard has changed;
    // clicks and new content always look.
    if (filling_ || (clipboardChecked_ && !always)) return false;
    clipboardChecked_ = true;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText() || !IsTextTakenFromBox(data->text(), toPlainText())) return false;
    clipboard->clear(QClipboard::Clipboard);
    return true;
}

bool InterpretationBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                guardClipboard(true);
                break;
            case QEvent::MouseMove:
                guardClipboard(false);
                break;
            case QEvent::DragEnter:
            case QEvent::Drop:
                return true;
            default:
                break;
        }
    }
    return QTextEdit::eventFilter(watched, event);
}

void InterpretationBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void InterpretationBox::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

void InterpretationBox::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        event->ignore();  // on to the form's parents
        return;
    }
    QTextEdit::wheelEvent(event);
}

QMimeData* InterpretationBox::createMimeDataFromSelection() const { return new QMimeData; }

// -------------------------------------------------------------- ElidedLabel

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::setWrapped(bool wrapped) {
    wrapped_ = wrapped;
    update();
}

QStringList ElidedLabel::wrappedLines(int width) const {
    // Qt's text layout breaks at blanks, and inside a word only where the
    // word alone is wider than the line.
    QTextLayout layout(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        lines << text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

int ElidedLabel::wrappedHeight(int width) const {
    return fontMetrics().lineSpacing() * int(std::max<qsizetype>(1, wrappedLines(width).size()));
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!wrapped_) {
        style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(),
                              foregroundRole());
        return;
    }
    QRect line = contentsRect();
    line.setHeight(fontMetrics().lineSpacing());
    for (const QString& text : wrappedLines(contentsRect().width())) {
        style()->drawItemText(&painter, line, int(alignment()), palette(), isEnabled(), text, foregroundRole());
        line.translate(0, line.height());
    }
}

// ------------------------------------------------------------------- the form

FrmDisplay::FrmDisplay(const ChartState& state, QWidget* parent) : QWidget(parent) {
    InstallChartAccessibility();  // before Qt makes an interface of any part
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(ProgramCaption());  // the program's one version, as every window
    setFont(FormFont(8.25));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFixedSize(clientSize());

    rtb_ = new InterpretationBox(this);
    rtb_->setGeometry(PxRect(0, 0, 2500, 3800));
    rtb_->setAccessibleName(QStringLiteral("Interpretation"));

    buildPositionTable();
    buildPersonalData();
    for (QGroupBox* frame : {fraWestern_, frame1_}) frame->setStyle(FrameStyle());

    wheel_ = new NatalWheel(this);
    wheel_->setGeometry(PxRect(2640, 1440, 6750, 6465));

    buildHiddenControls();
    keepDesign();
    loadPersonalData(state);
}

QSize FrmDisplay::clientSize() { return QSize(Px(9540), Px(8010)); }

QSize FrmDisplay::clientSize(double scale) {
    const QSize designed = clientSize();
    return QSize(int(std::lround(designed.width() * scale)), int(std::lround(designed.height() * scale)));
}

void FrmDisplay::keepDesign() {
    // The form places its regions and the controls inside its frames; the
    // wheel places its own children, and Qt the parts of each control.
    auto keep = [this](QWidget* w) {
        design_.push_back({w, w->geometry(), w->testAttribute(Qt::WA_SetFont) ? w->font().pointSizeF() : 0.0});
    };
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        keep(child);
        if (qobject_cast<QGroupBox*>(child))
            for (QWidget* inner : child->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) keep(inner);
    }
}

void FrmDisplay::setScale(double scale) {
    scale = std::max(1.0, scale);
    if (scale == scale_) return;
    scale_ = scale;
    setFont(FormFont(8.25 * scale));
    setFixedSize(clientSize(scale));
    // Each edge scaled on its own, so that neighbours stay as far apart as
    // designed and nothing grows into the next control.
    auto scaled = [scale](int v) { return int(std::lround(v * scale)); };
    for (const DesignedPlace& d : design_) {
        if (!d.widget) continue;
        if (d.points > 0) {
            QFont f = d.widget->font();
            f.setPointSizeF(d.points * scale);
            d.widget->setFont(f);
        }
        const QRect r = d.rect;
        const QRect place(QPoint(scaled(r.left()), scaled(r.top())),
                          QPoint(scaled(r.right() + 1) - 1, scaled(r.bottom() + 1) - 1));
        if (d.widget == wheel_)
            wheel_->setScale(scale, place);  // its type and its children with it
        else
            d.widget->setGeometry(place);
    }
    rtb_->document()->setDocumentMargin(4 * scale);
    fitPositionHeading();
}

void FrmDisplay::atScale(double scale, const std::function<void()>& work) {
    const double shown = scale_;
    // The interpretation stays scrolled to the same part of its text.
    QScrollBar* bar = rtb_->verticalScrollBar();
    const double read = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
    auto scrollTo = [bar](double part) { bar->setValue(int(std::lround(part * bar->maximum()))); };
    setScale(scale);
    scrollTo(read);
    work();
    setScale(shown);
    scrollTo(read);
}

void FrmDisplay::buildPersonalData() {
    frame1_ = new QGroupBox(QStringLiteral("Personal Information"), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFont(FormFont(8.25, true));
    frame1_->setGeometry(PxRect(2640, 0, 6750, 1300));
    for (int i = 0; i < 8; ++i) {
        auto* l = new ElidedLabel(frame1_);
        l->setObjectName(QString::fromLatin1(kPersonalLabels[i]));
        l->setFont(FormFont(8.25, true));
        const QPoint at = kPersonalPlaces[i];
        // A column is as wide as the space up to the next column or the frame's edge.
        const int right = at.x() < 3360 ? 3360 - 60 : 6750 - 60;
        l->setGeometry(Px(at.x()), Px(at.y()), Px(right - at.x()), Px(195) + 2);
        personal_[i] = l;
    }
}

void FrmDisplay::buildPositionTable() {
    fraWestern_ = new QGroupBox(QStringLiteral("Planetary Positions"), this);
    fraWestern_->setObjectName(QStringLiteral("fraWestern"));
    fraWestern_->setFont(FormFont(8.25, true));
    fraWestern_->setGeometry(PxRect(0, 3900, 2500, 4005));
    const QFont tableFont = FormFont(9.75);
    for (int i = 0; i < 17; ++i) {
        planetName_[i] = MakeLabel(fraWestern_, QStringLiteral("PlanetName_%1").arg(i),
                                   QString::fromLatin1(kPlanetNameCaptions[i]), tableFont);
        // Elements outside the table's rows lie below the frame's edge.
        planetName_[i]->setGeometry(PxRect(120, 4200 + 300 * i, 1000, 285));
    }
    for (int i = 0; i < 16; ++i) {
        planet_[i] = MakeLabel(fraWestern_, QStringLiteral("Planet_%1").arg(i), QString(), tableFont);
        planet_[i]->setGeometry(PxRect(1140, 4200 + 300 * i, 1200, 285));
    }
    for (const PositionRow& row : kPositionRows) {
        planetName_[row.nameIndex]->setGeometry(PxRect(120, row.y, 1000, 285));
        planet_[row.planetIndex]->setGeometry(PxRect(1140, row.y, 1200, 285));
        QPalette p = planet_[row.planetIndex]->palette();
        p.setColor(QPalette::WindowText, ui::kBannerColour);
        planet_[row.planetIndex]->setPalette(p);
    }
}

void FrmDisplay::buildHiddenControls() {
    const int below = 8200;  // twips: under the client area

    auto* vedic = new QGroupBox(QStringLiteral("Other Details"), this);
    vedic->setObjectName(QStringLiteral("fraVedic"));
    vedic->setGeometry(PxRect(2640, below, 6750, 2000));
    const char* const captions[7] = {"Sun Sign", "Moon Sign", "Nakshatra",     "Pada",
                                     "Lord",     "Ayanamsha", "Lagna Position"};
    const char* const values[7] = {"lblLagna", "lblRashi",     "lblNakshatra",    "lblPada",
                                   "lblLord",  "lblAyanamsha", "lblLagnaPosition"};
    for (int i = 0; i < 7; ++i) {
        QLabel* c = MakeLabel(vedic, QStringLiteral("lblVedicCaption_%1").arg(i), QString::fromLatin1(captions[i]),
                              FormFont(8.25));
        c->setGeometry(PxRect(120, 240 + 240 * i, 1500, 195));
        QLabel* v = MakeLabel(vedic, QString::fromLatin1(values[i]), QString(), FormFont(8.25, true));
        v->setGeometry(PxRect(1700, 240 + 240 * i, 2500, 195));
        if (i == 0) lblLagna_ = v;
        if (i == 1) lblRashi_ = v;
    }
    vedic->hide();

    struct HiddenFrame {
        const char* name;
        const char* caption;
        const char* array;
        int count;
    };
    const HiddenFrame frames[3] = {{"Frame2", "Element", "lblElement", 4},
                                   {"Frame3", "Quality", "lblQuality", 3},
                                   {"Frame4", "House Type", "lblHouse", 3}};
    for (int f = 0; f < 3; ++f) {
        auto* frame = new QGroupBox(QString::fromLatin1(frames[f].caption), this);
        frame->setObjectName(QString::fromLatin1(frames[f].name));
        frame->setGeometry(PxRect(2250 * f, below + 2200, 2200, 1400));
        for (int i = 0; i < frames[f].count; ++i) {
            QLabel* l = MakeLabel(frame, QStringLiteral("%1_%2").arg(QLatin1String(frames[f].array)).arg(i), QString(),
                                  FormFont(8.25));
            l->setGeometry(PxRect(120, 240 + 240 * i, 1900, 195));
        }
        frame->hide();
    }

    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->move(0, 0);
    picture1_->hide();

    txtFolder_ = new QLineEdit(this);
    txtFolder_->setObjectName(QStringLiteral("txtFolder"));
    txtFolder_->setGeometry(PxRect(0, below + 3800, 4000, 300));
    txtFolder_->hide();
    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setGeometry(PxRect(4200, below + 3800, 4000, 300));
    txtFile_->hide();

    auto* spare = new QWidget(this);
    spare->setObjectName(QStringLiteral("picNatal_"));
    spare->setGeometry(PxRect(2640, below + 4300, 6750, 6465));
    spare->hide();
}

QLabel* FrmDisplay::positionRow(int slot) const {
    return slot >= 0 && slot < kPositionCount ? planetName_[kPositionRows[slot].nameIndex] : nullptr;
}

int FrmDisplay::positionSlotOf(const QWidget* widget) const {
    for (int slot = 0; slot < kPositionCount; ++slot)
        if (widget && widget == positionRow(slot)) return slot;
    return -1;
}

QLabel* FrmDisplay::personalLabel(const char* name) const {
    for (int i = 0; i < 8; ++i)
        if (qstrcmp(kPersonalLabels[i], name) == 0) return personal_[i];
    return nullptr;
}

void FrmDisplay::loadPersonalData(const ChartState& state) {
    const auto lines = PersonalDataLines(state, PersonalLinesFor::Display);
    for (int i = 0; i < 8; ++i) {
        const QString text = QString::fromStdString(lines[i]);
        personal_[i]->setText(text);
        personal_[i]->setToolTip(text);
    }
}

void FrmDisplay::showPositions(const ChartState& state) {
    fraWestern_->setTitle(state.PositionSource == PositionsFrom::Ephemeris
                              ? QStringLiteral("Planetary Positions (ephemeris)")
                              : QStringLiteral("Planetary Positions"));
    fitPositionHeading();
    for (int k = 0; k <= 10; ++k) {
        planet_[k]->setText(QString::fromStdString(state.PlanetPosition[k]));
        positionRow(k)->setAccessibleName(QString::fromStdString(PositionItem(state, std::size_t(k))));
    }
    // Without a birth time the ascendant is that of 12:00: marked as not known.
    QLabel* ascendant = planet_[kAscendantSlot];
    ascendant->setToolTip(QString());
    if (!state.BirthTimeKnown) {
        ascendant->setText(ascendant->text() + QStringLiteral(" ?"));
        ascendant->setToolTip(QStringLiteral("Drawn for 12:00: the birth time is not known"));
        QLabel* row = positionRow(static_cast<int>(kAscendantSlot));
        row->setAccessibleName(row->accessibleName() + QStringLiteral(", drawn for 12:00, not known"));
    }
}

void FrmDisplay::fitPositionHeading() {
    // The form's heading type, made smaller where the heading would be cut
    // off by the frame's width.
    const QString heading = fraWestern_->title();
    QFont font = FormFont(8.25 * scale_, true);
    const double room = fraWestern_->width() - 8 * scale_;
    while (font.pointSizeF() > 6.0 * scale_ && QFontMetrics(font).horizontalAdvance(heading) > room)
        font.setPointSizeF(font.pointSizeF() - 0.25 * scale_);
    fraWestern_->setFont(font);
}

void FrmDisplay::showWheel(const ChartState& state, const ChartWheel& wheel) {
    for (int h = 0; h < 12; ++h) wheel_->setHouse(h, QString(), {}, false);
    for (int s = 0; s < 12; ++s) wheel_->signBox(s)->clear();

    if (!wheel.lblLagna.empty()) lblLagna_->setText(FromUtf8(wheel.lblLagna));
    lblRashi_->setText(FromUtf8(wheel.lblRashi));

    // Each box's text, joined once for its sign's box and its house's.
    std::array<QString, 12> texts;
    for (int s = 0; s < 12; ++s) {
        texts[s] = QString::fromStdString(BoxText(state, wheel.signBoxes[s]));
        wheel_->signBox(s)->setText(texts[s]);
        wheel_->signBox(s)->hide();
    }
    for (int h = 0; h < 12; ++h) {
        const WheelBox& box = wheel.houseBox(h);
        QStringList labels;
        ForEachLabel(state, box, [&](std::string_view label) { labels << FromUtf8(label); });
        wheel_->setHouse(h, texts[(wheel.firstHouseSign + h) % 12], labels, box.ascendant);
        // A picture number the list does not hold leaves the picture as it was.
        wheel_->signImage(h)->setPicture(wheel.imgSign[h]);
    }
    wheel_->setAccessibleDescription(QString::fromStdString(WheelDescription(state, wheel)));
}

void FrmDisplay::showInterpretation(const std::vector<StyledRun>& runs) { rtb_->showRuns(runs); }

void FrmDisplay::showChart(const ChartState& state, const ChartWheel& wheel) {
    showPositions(state);
    showWheel(state, wheel);
    if (state.BirthTimeKnown) {
        showInterpretation(state.InterpretationRuns);
        return;
    }
    // Said after the house types, in the colour of the box's warnings.
    std::vector<StyledRun> runs = state.InterpretationRuns;
    // The note names what rests on the time: it outlives this call.
    unknownTimeNote_ = "\n\n" + UnknownTimeNote(TimeDependenceOf(state).value_or(kAllOnTime));
    runs.push_back({FixedText::Of(unknownTimeNote_), 192, 0, 0, true});
    showInterpretation(runs);
}

QPixmap FrmDisplay::captureClientArea() {
    const qreal ratio = devicePixelRatioF();
    const int width = int(std::lround(clientSize().width() * ratio));
    QImage image(PictureSize(width), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintChartPicture(*this, painter, width);
    }
    picture_ = QPixmap::fromImage(image);
    picture_.setDevicePixelRatio(ratio);
    picture1_->setPixmap(picture_);
    return picture_;
}

}  // namespace qv
