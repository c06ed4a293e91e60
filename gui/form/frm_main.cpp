#include "gui/form/frm_main.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>

#include "chart/birth_place.h"
#include "gui/common/program_identity.h"
#include "gui/common/ui_metrics.h"
#include "gui/common/user_dialogs.h"
#include "gui/form/form_accessibility.h"
#include "gui/form/form_widgets.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv {

namespace {

// Character codes a letter box takes: A-Z, a-z, blank, backspace, delete.
bool IsLetterBoxCode(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u' ' || c == 8 || c == 127;
}

// Character codes a degree or minute box takes: 0-9, backspace, delete.
bool IsNumberBoxCode(char16_t c) { return (c >= u'0' && c <= u'9') || c == 8 || c == 127; }

// Places offered while City is typed, and the letters typed before.
constexpr std::size_t kOfferedPlaces = 10;
constexpr int kLettersBeforeOffers = 2;

}  // namespace

FrmMain::FrmMain(ChartState& state, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    InstallFormAccessibility();  // before Qt makes an interface of any list
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProgramCaption());
    buildControls();
    buildMenus();
    fillLists();
    buildAtlas();
    fitIntoScreen();
}

void FrmMain::fitIntoScreen() {
    // The form scrolls inside its window, so that on a small screen (or at a
    // large text scale) the window fits the screen's work area; the menu bar
    // and the button row stay outside the scrolling part, always in reach.
    QWidget* client = takeCentralWidget();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("frmMainScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);  // not a stop of its own: Tab scrolls to the box it reaches
    scroll->setWidget(client);
    auto* frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("frmMainFrame"));
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scroll, 1);
    column->addWidget(buttonRow_);
    setCentralWidget(frame);
    client->installEventFilter(this);  // its layout's requests: note lines shown or hidden

    QSize wanted(qMax(client->sizeHint().width(), 580),
                 client->sizeHint().height() + buttonRow_->sizeHint().height() + menuBar()->sizeHint().height());
    const QRect area = workArea();
    if (!area.isEmpty()) {
        if (wanted.height() > area.height()) wanted += QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
        wanted = wanted.boundedTo(area.size());
    }
    resize(wanted);
}

QRect FrmMain::workArea() const {
    const QScreen* s = screen();
    if (!s) return {};
    // The work area less the title bar the desktop adds above the window.
    QRect area = s->availableGeometry();
    area.setTop(area.top() + style()->pixelMetric(QStyle::PM_TitleBarHeight));
    return area;
}

void FrmMain::growWithForm() {
    // A note line that appears makes the form taller: the window grows by
    // what the form lacks, up to the work area, and stays on the screen. It
    // never shrinks by itself, so a size the user chose is kept.
    auto* scroll = findChild<QScrollArea*>(QStringLiteral("frmMainScroll"));
    if (!scroll || !scroll->widget() || isMaximized() || isFullScreen()) return;
    const int lacking = scroll->widget()->sizeHint().height() - scroll->viewport()->height();
    const QRect area = workArea();
    if (lacking <= 0 || area.isEmpty()) return;
    // The window's own frame, where the desktop draws one, comes off too.
    const int frame = std::max(0, frameGeometry().height() - geometry().height());
    const int height = std::min(this->height() + lacking, area.height() - frame);
    if (height <= this->height()) return;
    resize(width(), height);
    const int over = frameGeometry().bottom() - area.bottom();
    if (over > 0) move(x(), std::max(area.top(), frameGeometry().top() - over));
}

FrmMain::~FrmMain() {
    // The gazetteer is read once per run; a read under way finishes first.
    if (atlasLoader_) atlasLoader_->wait();
}

void FrmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 12);
    outer->setSpacing(10);
    outer->addWidget(buildBanner(central));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 0, 16, 0);
    body->setSpacing(10);
    outer->addLayout(body);

    Label1 =
        new QLabel(QStringLiteral("Quorvane shows the effect of missing elements, missing sign quality and missing "
                                  "house types on one's natal chart. The characteristics associated with these "
                                  "attributes are affected in some way in an individual's birth chart."),
                   central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setStyleSheet(QStringLiteral("color: %1;").arg(ui::kBannerColour.name()));
    body->addWidget(Label1);

    body->addWidget(buildBirthGroup(central));
    body->addWidget(buildPlaceGroup(central));
    body->addStretch(1);
    // The button row goes under the scrolling part (fitIntoScreen).
    buttonRow_ = new QWidget(this);
    buttonRow_->setObjectName(QStringLiteral("frmMainButtons"));
    QHBoxLayout* row = buildButtonRow(buttonRow_);
    row->setContentsMargins(16, 8, 16, 12);
    buttonRow_->setLayout(row);

    setTabOrderAndFilters();
    connect(cmdCalculate, &QPushButton::clicked, this, &FrmMain::calculateRequested);
    connect(cmdOpen, &QPushButton::clicked, this, &FrmMain::openRequested);
    connect(Command1, &QPushButton::clicked, this, &FrmMain::lookUpCoordinates);
    connect(cmdNearbyZone, &QPushButton::clicked, this, &FrmMain::useNearbyZone);
}

QWidget* FrmMain::buildBanner(QWidget* parent) {
    // Title banner with the program's web link.
    auto* banner = new QFrame(parent);
    banner->setObjectName(QStringLiteral("picTop"));
    banner->setStyleSheet(QStringLiteral("QFrame#picTop { background-color: %1; }").arg(ui::kBannerColour.name()));
    auto* bannerRows = new QVBoxLayout(banner);
    bannerRows->setContentsMargins(8, 6, 8, 6);
    bannerRows->setSpacing(0);
    auto* title = new QLabel(QStringLiteral("Quorvane"), banner);
    title->setObjectName(QStringLiteral("lblHeading"));
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("color: white; font-size: 20pt; font-weight: bold;"));
    bannerRows->addWidget(title);
    lblWebLink_ = MakeWebLinkLabel(banner, QStringLiteral("lblWebLink"), QStringLiteral("Quorvane on the web"),
                                   WebPage::VisitUs, Qt::white, dialogs_);
    lblWebLink_->setAlignment(Qt::AlignCenter);
    bannerRows->addWidget(lblWebLink_);
    return banner;
}

QGroupBox* FrmMain::buildBirthGroup(QWidget* parent) {
    // Name, birth date, time and zone.
    auto* birth = new QGroupBox(QStringLiteral("Birth"), parent);
    auto* bg = new QGridLayout(birth);
    bg->setColumnStretch(4, 1);
    txtName = MakeBox("txtName", birth);
    Describe(txtName, "Name", "Letters and blanks");
    bg->addWidget(Caption(QStringLiteral("Name:"), txtName, birth), 0, 0);
    bg->addWidget(txtName, 0, 1, 1, 4);

    cboMonth = MakeList("cboMonth", birth);
    cboDate = MakeList("cboDate", birth);
    cboYear = MakeList("cboYear", birth);
    Describe(cboMonth, "Birth month");
    Describe(cboDate, "Birth day");
    Describe(cboYear, "Birth year");
    bg->addWidget(Caption(QStringLiteral("Birthday:"), cboMonth, birth), 1, 0);
    bg->addWidget(cboMonth, 1, 1);
    bg->addWidget(cboDate, 1, 2);
    bg->addWidget(cboYear, 1, 3);

    cboHour = MakeList("cboHour", birth);
    cboMinute = MakeList("cboMinute", birth);
    Describe(cboHour, "Birth hour", "Hour of the local clock time, 0 to 23");
    Describe(cboMinute, "Birth minute");
    bg->addWidget(Caption(QStringLiteral("Time Of Birth:"), cboHour, birth), 2, 0);
    bg->addWidget(cboHour, 2, 1);
    bg->addWidget(cboMinute, 2, 2);
    bg->addWidget(Hint(QStringLiteral("HH/MM/SS"), birth), 2, 3);
    // Ticked, the chart is drawn for 12:00 and the time lists are set aside.
    chkTimeUnknown = new QCheckBox(QStringLiteral("Birth time unknown"), birth);
    chkTimeUnknown->setObjectName(QStringLiteral("chkTimeUnknown"));
    Describe(chkTimeUnknown, "Birth time unknown",
             "Ticked when the time of birth is not known: the chart is drawn for 12:00 local time");
    bg->addWidget(chkTimeUnknown, 2, 4);
    connect(chkTimeUnknown, &QCheckBox::toggled, this, [this](bool unknown) {
        cboHour->setEnabled(!unknown);
        cboMinute->setEnabled(!unknown);
    });

    cboTimeZone = MakeList("cboTimeZone", birth);
    cboTimeZone->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboTimeZone->setMinimumContentsLength(30);
    Describe(cboTimeZone, "Time zone", "The zone of the clock at the place of birth");
    bg->addWidget(Caption(QStringLiteral("Time Zone:"), cboTimeZone, birth), 3, 0);
    bg->addWidget(cboTimeZone, 3, 1, 1, 4);

    chkDST = new QCheckBox(QStringLiteral("Daylight Saving Time"), birth);
    chkDST->setObjectName(QStringLiteral("chkDST"));
    Describe(chkDST, "Daylight Saving Time", "Ticked when the clock was put forward one hour");
    bg->addWidget(chkDST, 4, 1, 1, 4);

    // What the atlas found about the chosen place's clock; one line kept free.
    lblAtlas = new NoteLine("lblAtlas", cboTimeZone, birth);
    bg->addWidget(lblAtlas, 5, 1, 1, 4);
    bg->setRowMinimumHeight(5, lblAtlas->fontMetrics().lineSpacing());

    // Under it, for coordinates typed by hand: the nearest place's zone.
    cmdNearbyZone = new QPushButton(QStringLiteral("Use Its Zone"), birth);
    cmdNearbyZone->setObjectName(QStringLiteral("cmdNearbyZone"));
    Describe(cmdNearbyZone, "Use the zone of the nearest atlas place",
             "Sets the time zone and daylight saving to the clock of the place named above");
    cmdNearbyZone->hide();
    bg->addWidget(cmdNearbyZone, 6, 1, 1, 2);
    return birth;
}

QGroupBox* FrmMain::buildPlaceGroup(QWidget* parent) {
    // Coordinates with their directions, then city, state, country.
    auto* place = new QGroupBox(QStringLiteral("Place"), parent);
    auto* pg = new QGridLayout(place);
    pg->setColumnStretch(5, 1);
    const QString degMin = QStringLiteral("DEG/MIN");
    txtLatD = MakeCoordinateBox("txtLatD", QStringLiteral("Degrees of latitude"), place);
    txtLatM = MakeCoordinateBox("txtLatM", QStringLiteral("Minutes of latitude"), place);
    Describe(txtLatD, "Latitude degrees", "Whole degrees, 0 to 90; digits only");
    Describe(txtLatM, "Latitude minutes", "Minutes, 0 to 59; digits only");
    pg->addWidget(Caption(QStringLiteral("Latitude:"), txtLatD, place), 0, 0);
    pg->addWidget(txtLatD, 0, 1);
    pg->addWidget(txtLatM, 0, 2);
    pg->addWidget(Hint(degMin, place), 0, 3);
    QFrame* latitude =
        OptionPair(optLatSouth, latGroup_, "optLatSouth", QStringLiteral("North"), QStringLiteral("South"), place);
    Describe(latitude, "Latitude direction");
    Describe(optLatSouth[0], "Latitude North");
    Describe(optLatSouth[1], "Latitude South");
    pg->addWidget(latitude, 0, 4);

    txtLonD = MakeCoordinateBox("txtLonD", QStringLiteral("Degrees of longitude"), place);
    txtLonM = MakeCoordinateBox("txtLonM", QStringLiteral("Minutes of longitude"), place);
    Describe(txtLonD, "Longitude degrees", "Whole degrees, 0 to 180; digits only");
    Describe(txtLonM, "Longitude minutes", "Minutes, 0 to 59; digits only");
    pg->addWidget(Caption(QStringLiteral("Longitude:"), txtLonD, place), 1, 0);
    pg->addWidget(txtLonD, 1, 1);
    pg->addWidget(txtLonM, 1, 2);
    pg->addWidget(Hint(degMin, place), 1, 3);
    QFrame* longitude =
        OptionPair(optLongEast, lonGroup_, "optLongEast", QStringLiteral("East"), QStringLiteral("West"), place);
    Describe(longitude, "Longitude direction");
    Describe(optLongEast[0], "Longitude East");
    Describe(optLongEast[1], "Longitude West");
    pg->addWidget(longitude, 1, 4);

    txtCity = MakeBox("txtCity", place);
    txtState = MakeBox("txtState", place);
    txtCountry = MakeBox("txtCountry", place);
    Describe(txtCity, "City", "Letters and blanks; two letters offer the places of the atlas");
    Describe(txtState, "State", "Letters and blanks");
    Describe(txtCountry, "Country", "Letters and blanks");
    pg->addWidget(Caption(QStringLiteral("City:"), txtCity, place), 2, 0);
    pg->addWidget(txtCity, 2, 1, 1, 5);
    // What a search of the atlas for City did not find; shown only then.
    lblCityNote = new NoteLine("lblCityNote", txtCity, place);
    pg->addWidget(lblCityNote, 3, 1, 1, 5);
    pg->addWidget(Caption(QStringLiteral("State:"), txtState, place), 4, 0);
    pg->addWidget(txtState, 4, 1, 1, 5);
    pg->addWidget(Caption(QStringLiteral("Country:"), txtCountry, place), 5, 0);
    pg->addWidget(txtCountry, 5, 1, 1, 5);

    Command1 = new QPushButton(QStringLiteral("Click here to find Latitude && Longitude"), place);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Describe(Command1, nullptr, "Searches the web for the coordinates of City, State and Country");
    pg->addWidget(Command1, 6, 1, 1, 5, Qt::AlignLeft);
    return place;
}

QHBoxLayout* FrmMain::buildButtonRow(QWidget* parent) {
    auto* buttons = new QHBoxLayout;
    cmdOpen = new QPushButton(QStringLiteral("&Open Previously Saved Reading"), parent);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    Describe(cmdOpen, nullptr, "Opens a reading saved before and calculates its chart");
    cmdCalculate = new QPushButton(QStringLiteral("&Get My Quorvane"), parent);
    cmdCalculate->setObjectName(QStringLiteral("cmdCalculate"));
    Describe(cmdCalculate, nullptr, "Calculates the chart and opens it");
    cmdCalculate->setMinimumHeight(34);
    cmdOpen->setMinimumHeight(34);
    cmdCalculate->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; font-weight: bold;"
                                               " padding: 4px 18px; border-radius: 3px; }"
                                               "QPushButton:focus { border: 2px solid rgb(255, 200, 80); }"
                                               "QPushButton:pressed { background-color: rgb(80, 30, 95); }")
                                    .arg(ui::kBannerColour.name()));
    chkPrecise = new QCheckBox(QStringLiteral("Precise positions"), parent);
    chkPrecise->setObjectName(QStringLiteral("chkPrecise"));
    chkPrecise->setToolTip(
        QStringLiteral("Positions of the Sun, the Moon, the planets and the ascendant from the Swiss Ephemeris files\n"
                       "(apparent places, true equinox of date) instead of the built-in formulas"));
    buttons->addWidget(cmdOpen);
    buttons->addStretch(1);
    buttons->addWidget(chkPrecise);
    buttons->addSpacing(12);
    buttons->addWidget(cmdCalculate);
    return buttons;
}

void FrmMain::setTabOrderAndFilters() {
    // Tab order follows the arrangement of the form.
    QWidget* order[] = {txtName,    cboMonth,       cboDate,        cboYear,        cboHour,
                        cboMinute,  chkTimeUnknown, cboTimeZone,    chkDST,         cmdNearbyZone,
                        txtLatD,    txtLatM,        optLatSouth[0], optLatSouth[1], txtLonD,
                        txtLonM,    optLongEast[0], optLongEast[1], txtCity,        txtState,
                        txtCountry, Command1,       chkPrecise,     cmdCalculate,   cmdOpen};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    for (QLineEdit* box : {txtName, txtCity, txtState, txtCountry, txtLatD, txtLatM, txtLonD, txtLonM})
        box->installEventFilter(this);
}

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuCalculate = file->addAction(QStringLiteral("Get My Natal &Chart"));
    mnuCalculate->setObjectName(QStringLiteral("mnuCalculate"));
    file->addSeparator();
    mnuExit = file->addAction(QStringLiteral("&Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuCalculate, &QAction::triggered, this, &FrmMain::calculateRequested);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    help_ = AddHelpMenus(bar, this, dialogs_, QStringLiteral("Donate"));
}

void FrmMain::fillLists() {
    for (int d = 1; d <= 31; ++d) cboDate->addItem(QString::number(d));
    for (int m = 1; m <= 12; ++m) {
        const std::string_view name = MonthName(m);
        cboMonth->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    for (int y = kFirstBirthYear; y <= kLastBirthYear; ++y) cboYear->addItem(QString::number(y));
    for (int h = 0; h <= 23; ++h) cboHour->addItem(QString::number(h));
    for (int m = 0; m <= 59; ++m) cboMinute->addItem(QString::number(m));

    LoadTimeZones(state_);
    for (int z = 0; z < kTimeZoneCount; ++z)
        cboTimeZone->addItem(QString::fromStdString(state_.TimeZoneName[static_cast<std::size_t>(z)]));

    LoadFixedLists(state_);

    cboDate->setCurrentIndex(0);
    cboMonth->setCurrentIndex(0);
    cboYear->setCurrentIndex(BirthFormData{}.cboYear);  // "1906"
    cboHour->setCurrentIndex(0);
    cboMinute->setCurrentIndex(0);
    cboTimeZone->setCurrentIndex(0);
}

BirthFormData FrmMain::formData() const {
    BirthFormData d;
    d.txtName = txtName->text().toStdString();
    d.txtLatD = txtLatD->text().toStdString();
    d.txtLatM = txtLatM->text().toStdString();
    d.txtLonD = txtLonD->text().toStdString();
    d.txtLonM = txtLonM->text().toStdString();
    d.txtCity = txtCity->text().toStdString();
    d.txtState = txtState->text().toStdString();
    d.txtCountry = txtCountry->text().toStdString();
    d.cboMonth = cboMonth->currentIndex();
    d.cboDate = cboDate->currentIndex();
    d.cboYear = cboYear->currentIndex();
    d.cboHour = cboHour->currentIndex();
    d.cboMinute = cboMinute->currentIndex();
    d.cboTimeZone = cboTimeZone->currentIndex();
    if (d.cboTimeZone == kExactClockItem) d.exactClock = exactClock_;
    d.optLatSouth = latGroup_->checkedId();
    d.optLongEast = lonGroup_->checkedId();
    d.chkDST = chkDST->isChecked();
    d.chkTimeUnknown = chkTimeUnknown->isChecked();
    return d;
}

bool FrmMain::precisePositions() const { return chkPrecise->isChecked(); }

void FrmMain::setFormData(const BirthFormData& d) {
    forgetAtlasPlace();
    lblCityNote->setNote(QString());
    fillFields(d);
}

void FrmMain::fillFields(const BirthFormData& d) {
    // Texts go in as they are: the key filters only see typed keys.
    txtName->setText(QString::fromStdString(d.txtName));
    txtLatD->setText(QString::fromStdString(d.txtLatD));
    txtLatM->setText(QString::fromStdString(d.txtLatM));
    txtLonD->setText(QString::fromStdString(d.txtLonD));
    txtLonM->setText(QString::fromStdString(d.txtLonM));
    txtCity->setText(QString::fromStdString(d.txtCity));
    txtState->setText(QString::fromStdString(d.txtState));
    txtCountry->setText(QString::fromStdString(d.txtCountry));
    // A list index that does not exist leaves that list as it was.
    SetIndexIfValid(cboMonth, d.cboMonth);
    SetIndexIfValid(cboDate, d.cboDate);
    SetIndexIfValid(cboYear, d.cboYear);
    SetIndexIfValid(cboHour, d.cboHour);
    SetIndexIfValid(cboMinute, d.cboMinute);
    showExactClock(d.exactClock, d.txtCity);
    SetIndexIfValid(cboTimeZone, d.cboTimeZone);
    SelectOption(latGroup_, d.optLatSouth);
    SelectOption(lonGroup_, d.optLongEast);
    chkDST->setChecked(d.chkDST);
    chkTimeUnknown->setChecked(d.chkTimeUnknown);
}

std::optional<BirthData> FrmMain::checkedBirthData(bool askAtlas) {
    BirthData birth;
    const std::optional<ValidationFailure> failure = CheckBirthForm(formData(), birth);
    if (!failure) {
        if (refuseAtlasClock()) return std::nullopt;
        if (!askAtlas) return birth;
        if (!confirmAgainstAtlas()) return std::nullopt;
        // The atlas's answer may have changed the form: its data, checked again.
        return checkedBirthData(false);
    }
    dialogs_.message(this, QString::fromStdString(failure->message), failure->icon);
    // The direction checks choose the first option; the next press uses it.
    if (failure->selectLatSouth == 0 || failure->selectLatSouth == 1) SelectOption(latGroup_, failure->selectLatSouth);
    if (failure->selectLongEast == 0 || failure->selectLongEast == 1) SelectOption(lonGroup_, failure->selectLongEast);
    if (!failure->focus.empty()) {
        if (auto* box = findChild<QWidget*>(QString::fromStdString(failure->focus))) {
            box->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(box)) edit->selectAll();
        }
    }
    return std::nullopt;
}

bool FrmMain::refuseAtlasClock() {
    bool focusHour = false;
    const std::optional<std::string> refusal = assistant_.clockRefusal(formData(), focusHour);
    if (!refusal) return false;
    dialogs_.message(this, QString::fromStdString(*refusal), MessageIcon::Error);
    (focusHour ? cboHour : cboTimeZone)->setFocus(Qt::OtherFocusReason);
    return true;
}

bool FrmMain::confirmAgainstAtlas() {
    // Coordinates typed by hand are asked about once the atlas is read.
    if (!assistant_.place() && assistant_.wantsAtlas()) waitForAtlas();
    BirthFormData data = formData();
    const std::optional<AtlasQuestion> question = assistant_.question(data);
    if (!question) return true;
    QStringList answers;
    for (const std::string_view a : kAtlasAnswerTexts) answers << QString::fromLatin1(a.data(), qsizetype(a.size()));
    const int chosen = dialogs_.choice(this, QString::fromStdString(question->text), answers,
                                       static_cast<int>(AtlasAnswer::UseAtlas), static_cast<int>(AtlasAnswer::GoBack));
    // A dialog that cannot ask (-1) leaves the data as they are.
    const AtlasAnswer answer = chosen >= 0 && chosen < 3 ? static_cast<AtlasAnswer>(chosen) : AtlasAnswer::KeepMine;
    if (!assistant_.answer(*question, answer, data)) return false;
    if (answer == AtlasAnswer::UseAtlas) {
        const std::string place = assistant_.clockPlaceName();
        fillFields(data);
        setZoneFields(data, place);
        showAtlasLine();
    }
    return true;
}

void FrmMain::waitForAtlas() {
    if (atlasLoader_)
        atlasLoader_->wait();
    else
        qv::LoadAtlas();
    atlasLoaded();  // the loader's own signal then finds it done
}

void FrmMain::lookUpCoordinates() {
    struct Required {
        QLineEdit* box;
        const char* message;
    };
    const Required required[] = {
        {txtCity, "Please Enter City"}, {txtState, "Please Enter State"}, {txtCountry, "Please Enter Country"}};
    for (const Required& r : required) {
        if (r.box->text().isEmpty()) {
            dialogs_.message(this, QString::fromLatin1(r.message), MessageIcon::Error);
            r.box->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    const QString query = txtCity->text() + QLatin1Char(' ') + txtState->text() + QLatin1Char(' ') +
                          txtCountry->text() + QStringLiteral(" Latitude Longitude");
    OpenWebPage(this, dialogs_, CoordinateSearchUrl(query));
}

bool FrmMain::acceptTyped(QLineEdit* box, const QString& typed) {
    const bool letters = box != txtLatD && box != txtLatM && box != txtLonD && box != txtLonM;
    bool ok = true;
    for (QChar ch : typed) {
        const char16_t c = ch.unicode();
        if (!(letters ? IsLetterBoxCode(c) : IsNumberBoxCode(c))) ok = false;
    }
    if (ok) return true;
    dialogs_.message(
        this, letters ? QStringLiteral("Please enter only letters") : QStringLiteral("Please enter only numbers"),
        MessageIcon::Error);
    if (letters) box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool FrmMain::refuseKey(QLineEdit* box, QKeyEvent* key) {
    // Keys that type no character (arrows, Home, function keys) and Tab
    // and Shift+Tab, which move the focus, pass unfiltered.
    const bool focusKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (key->text().isEmpty() || focusKey) return false;
    // Alt or Meta with a key is a command whose shortcut did not match,
    // not typing: it inserts nothing and needs no message.
    const Qt::KeyboardModifiers mods = key->modifiers();
    if ((mods & (Qt::AltModifier | Qt::MetaModifier)) && !(mods & Qt::ControlModifier)) return true;
    return !acceptTyped(box, key->text());
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest && watched->objectName() == QLatin1String("frmMainClient"))
        QMetaObject::invokeMethod(this, &FrmMain::growWithForm, Qt::QueuedConnection);
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::KeyPress) return refuseKey(box, static_cast<QKeyEvent*>(event));
    if (box && event->type() == QEvent::InputMethod) {
        // Characters composed by an input method are typed characters too.
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() && !acceptTyped(box, im->commitString())) return true;
    }
    // While the places are offered, keys reach City through their list: the
    // list keeps its own keys, the rest meet City's filter.
    if (placeCompleter_ && watched == placeCompleter_->popup() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool listKey =
            key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
        return !listKey && refuseKey(txtCity, key);
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::buildAtlas() {
    connect(txtCity, &QLineEdit::textEdited, this, &FrmMain::offerPlaces);
    for (QLineEdit* b : {txtLatD, txtLatM, txtLonD, txtLonM})
        connect(b, &QLineEdit::textEdited, this, &FrmMain::keepCoordinatesByHand);
    for (QButtonGroup* g : {latGroup_, lonGroup_})
        connect(g, &QButtonGroup::buttonClicked, this, &FrmMain::keepCoordinatesByHand);
    for (QComboBox* l : {cboMonth, cboDate, cboYear, cboHour, cboMinute})
        connect(l, &QComboBox::currentIndexChanged, this, &FrmMain::chooseZoneAgain);
    connect(cboTimeZone, &QComboBox::activated, this, &FrmMain::chooseZoneByHand);
    connect(chkDST, &QCheckBox::clicked, this, &FrmMain::keepZoneByHand);
}

void FrmMain::buildPlaceList() {
    if (placeCompleter_) return;
    placeModel_ = new QStandardItemModel(this);
    placeCompleter_ = new QCompleter(placeModel_, this);
    placeCompleter_->setWidget(txtCity);
    placeCompleter_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    placeCompleter_->setMaxVisibleItems(static_cast<int>(kOfferedPlaces));
    placeCompleter_->popup()->setObjectName(QStringLiteral("lstPlaces"));
    placeCompleter_->popup()->setAccessibleName(QStringLiteral("Places of the atlas"));
    placeCompleter_->popup()->installEventFilter(this);  // after the completer's own: runs first
    connect(placeCompleter_, qOverload<const QModelIndex&>(&QCompleter::activated), this, &FrmMain::choosePlace);
}

void FrmMain::loadAtlas() {
    if (atlasLoader_ || assistant_.atlasReady()) return;
    buildPlaceList();
    atlasLoader_ = QThread::create(&qv::LoadAtlas);
    atlasLoader_->setParent(this);
    connect(atlasLoader_, &QThread::finished, this, &FrmMain::atlasLoaded);
    atlasLoader_->start(QThread::LowPriority);
}

void FrmMain::atlasLoaded() {
    if (assistant_.atlasReady()) return;
    assistant_.atlasLoaded(formData());
    if (txtCity->hasFocus()) showPlaces();
    showAtlasLine();
}

void FrmMain::offerPlaces() {
    assistant_.cityEdited(formData());
    showAtlasLine();
    loadAtlas();
    showPlaces();
}

void FrmMain::showPlaces() {
    const QString typed = txtCity->text().trimmed();
    offeredPlaces_.clear();
    const bool searched = assistant_.atlasReady() && typed.size() >= kLettersBeforeOffers;
    if (searched) offeredPlaces_ = FindPlaces(typed.toStdString(), kOfferedPlaces);
    const std::string_view note = CitySearchLine(searched, offeredPlaces_.size());
    lblCityNote->setNote(QString::fromUtf8(note.data(), qsizetype(note.size())));
    if (!placeModel_) return;
    placeModel_->clear();
    for (std::size_t i = 0; i < offeredPlaces_.size(); ++i) {
        auto* item = new QStandardItem(QString::fromStdString(PlaceLabel(offeredPlaces_[i])));
        item->setData(static_cast<int>(i), Qt::UserRole);
        placeModel_->appendRow(item);
    }
    if (offeredPlaces_.empty())
        placeCompleter_->popup()->hide();
    else
        placeCompleter_->complete();
}

void FrmMain::choosePlace(const QModelIndex& index) {
    const int i = index.data(Qt::UserRole).toInt();
    if (i < 0 || static_cast<std::size_t>(i) >= offeredPlaces_.size()) return;
    const Place place = offeredPlaces_[static_cast<std::size_t>(i)];
    BirthFormData data = formData();
    assistant_.choosePlace(place, data);
    fillFields(data);
    setZoneFields(data, place.name);
    lblCityNote->setNote(QString());
    showAtlasLine();
}

void FrmMain::chooseZoneAgain() {
    BirthFormData data = formData();
    if (assistant_.momentChanged(data)) setZoneFields(data, assistant_.clockPlaceName());
    showAtlasLine();
}

void FrmMain::setZoneFields(const BirthFormData& data, const std::string& place) {
    showExactClock(data.cboTimeZone == kExactClockItem ? data.exactClock : std::nullopt, place);
    cboTimeZone->setCurrentIndex(data.cboTimeZone);
    chkDST->setChecked(data.chkDST);
}

void FrmMain::showExactClock(const std::optional<ExactClock>& clock, const std::string& place) {
    if (cboTimeZone->count() > kExactClockItem) cboTimeZone->removeItem(kExactClockItem);
    exactClock_ = clock;
    if (clock) cboTimeZone->addItem(QString::fromStdString(ExactClockLabel(*clock, TrimBlanks(place))));
}

void FrmMain::useNearbyZone() {
    BirthFormData data = formData();
    if (assistant_.useNearbyZone(data)) setZoneFields(data, assistant_.clockPlaceName());
}

void FrmMain::showAtlasLine() {
    lblAtlas->setNote(QString::fromStdString(assistant_.line()));
    cmdNearbyZone->setVisible(assistant_.offersNearbyZone());
    if (assistant_.wantsAtlas()) loadAtlas();
}

void FrmMain::forgetAtlasPlace() {
    assistant_.forget();
    showAtlasLine();
}

void FrmMain::chooseZoneByHand(int item) {
    if (item != kExactClockItem) showExactClock(std::nullopt, {});
    keepZoneByHand();
}

void FrmMain::keepZoneByHand() {
    assistant_.zoneChangedByHand(formData());
    showAtlasLine();
}

void FrmMain::keepCoordinatesByHand() {
    assistant_.coordinatesChangedByHand(formData());
    showAtlasLine();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
}

}  // namespace qv
