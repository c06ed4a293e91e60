// The chart window's bars: the toolbar, the banner, the button bar and the
// two lines under the display form, and how they are laid out.
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "gui/chart/chart_design.h"
#include "gui/chart/chart_window.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/toolbar_icons.h"
#include "gui/common/ui_metrics.h"
#include "gui/common/web_entries.h"

namespace qv {

using namespace chart_design;
using ui::FormFont;
using ui::kBannerColour;
using ui::Px;

BarLayout ComputeBarLayout(int windowWidth, int headingWidth) {
    BarLayout b;
    b.cmdExitLeft = windowWidth - kExitWidth - kBarMargin;
    b.cmdBackLeft = b.cmdExitLeft - kBackWidth - kButtonGap;
    b.cmdSaveAsJpegLeft = b.cmdBackLeft - kJpegWidth - kButtonGap;
    b.lblHeadingLeft = (windowWidth - headingWidth) / 2;
    return b;
}

void ChartWindow::buildToolBar() {
    tb_ = new QToolBar(QStringLiteral("Toolbar"), this);
    tb_->setObjectName(QStringLiteral("TB"));
    tb_->setAccessibleName(QStringLiteral("Toolbar"));
    tb_->setMovable(false);
    tb_->setFloatable(false);
    tb_->setIconSize(QSize(20, 20));
    tb_->setFixedHeight(Px(kToolBarHeight));
    tb_->toggleViewAction()->setVisible(false);
    for (const char* key : {"New", "Save", "Picture", "Print", "Help"}) {
        const QString k = QString::fromLatin1(key);
        QAction* a = tb_->addAction(ToolbarIcon(k), k);
        a->setObjectName(QStringLiteral("TB_") + k);
        a->setData(k);
        a->setToolTip(k);
    }
    // What each button does, for a screen reader (its tooltip only repeats its name).
    const std::pair<const char*, const char*> described[5] = {{"New", "Back to the birth-data form for a new chart"},
                                                              {"Save", "Saves the reading"},
                                                              {"Picture", "Saves the chart as a picture"},
                                                              {"Print", "Prints the chart"},
                                                              {"Help", "Opens the online help"}};
    for (const auto& [key, description] : described)
        if (QWidget* button = tb_->widgetForAction(findChild<QAction*>(QStringLiteral("TB_") + QLatin1String(key))))
            button->setAccessibleDescription(QString::fromLatin1(description));
    connect(tb_, &QToolBar::actionTriggered, this, [this](QAction* a) { toolbarButton(a->data().toString()); });
    addToolBar(Qt::TopToolBarArea, tb_);
}

void ChartWindow::buildBanner() {
    picTop_ = new QWidget(this);
    picTop_->setObjectName(QStringLiteral("picTop"));
    picTop_->setFixedHeight(Px(kBannerHeight));
    SetBackground(picTop_, kBannerColour);

    lblHeading_ = new QLabel(QStringLiteral("Quorvane"), picTop_);
    lblHeading_->setObjectName(QStringLiteral("lblHeading"));
    lblHeading_->setFont(FormFont(18, true));
    lblHeading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette p = lblHeading_->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    lblHeading_->setPalette(p);
    lblHeading_->setGeometry(ui::PxRect(4335, 0, kHeadingWidth, kHeadingHeight));

    bannerLink_ = MakeWebLinkLabel(picTop_, QStringLiteral("lblBannerLink"), QStringLiteral("Quorvane on the web"),
                                   WebPage::ProjectPage, Qt::white, dialogs_);
    bannerLink_->setFont(FormFont(8.25));
    bannerLink_->adjustSize();
    bannerLink_->move(0, Px(kHeadingHeight) + 2);
}

void ChartWindow::buildButtonBar() {
    buttonBar_ = new QWidget(this);
    buttonBar_->setObjectName(QStringLiteral("Picture1"));
    buttonBar_->setFixedHeight(Px(kButtonBarHeight));
    SetBackground(buttonBar_, kBannerColour);

    const std::pair<const char*, WebPage> links[3] = {
        {"Online Help", WebPage::OnlineHelp}, {"Visit Us Online", WebPage::VisitUs}, {"Donate", WebPage::Donate}};
    int x = Px(kBarMargin);
    for (std::size_t i = 0; i < barLinks_.size(); ++i) {
        QLabel* l = MakeWebLinkLabel(buttonBar_, QStringLiteral("lblBarLink_%1").arg(i),
                                     QString::fromLatin1(links[i].first), links[i].second, Qt::white, dialogs_);
        l->setFont(FormFont(8.25));
        l->adjustSize();
        l->move(x, (Px(kButtonBarHeight) - l->height()) / 2);
        x += l->width() + Px(kBarMargin);
        barLinks_[i] = l;
    }

    // The buttons come after the links, so that they lie above them.
    auto button = [this](const char* name, const QString& caption, int width) {
        auto* b = new QPushButton(caption, buttonBar_);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(FormFont(8.25));
        b->setGeometry(0, Px(kButtonTop), Px(width), Px(kButtonHeight));
        b->setAutoDefault(false);
        return b;
    };
    cmdSaveAsJPEG_ = button("cmdSaveAsJPEG", QStringLiteral("Save As &JPEG"), kJpegWidth);
    cmdBack_ = button("cmdBack", QStringLiteral("&Back"), kBackWidth);
    cmdExit_ = button("cmdExit", QStringLiteral("E&xit"), kExitWidth);
    connect(cmdSaveAsJPEG_, &QPushButton::clicked, this, [this] { saveJpeg(); });
    connect(cmdBack_, &QPushButton::clicked, this, [this] { back(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { exitProgram(); });
}

void ChartWindow::buildNotes() {
    notes_ = new QWidget(this);
    notes_->setObjectName(QStringLiteral("staChart"));
    SetBackground(notes_, Qt::white);
    auto* rows = new QVBoxLayout(notes_);
    rows->setContentsMargins(8, 2, 8, 2);
    rows->setSpacing(0);
    const auto line = [&](const char* name, const char* spoken) {
        auto* label = new QLabel(notes_);
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(QLatin1String(spoken));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::TabFocus);
        rows->addWidget(label);
        return label;
    };
    lblBirthMoment_ = line("lblBirthMoment", "Birth moment");
    lblTimeWindow_ = line("lblTimeWindow", "Time window");
}

void ChartWindow::setChartNotes(const QString& birthMoment, const QString& timeWindow) {
    lblBirthMoment_->setText(birthMoment);
    lblBirthMoment_->setAccessibleDescription(birthMoment);
    lblTimeWindow_->setText(timeWindow);
    lblTimeWindow_->setAccessibleDescription(timeWindow);
    display()->setChartNotes({birthMoment, timeWindow});
}

void ChartWindow::layoutBars() {
    const int frame = isVisible() ? frameGeometry().width() - geometry().width() : 0;
    const int outer = width() + std::max(0, frame);
    const BarLayout b = ComputeBarLayout(ui::Twips(outer), kHeadingWidth);
    cmdExit_->move(Px(b.cmdExitLeft), cmdExit_->y());
    cmdBack_->move(Px(b.cmdBackLeft), cmdBack_->y());
    cmdSaveAsJPEG_->move(Px(b.cmdSaveAsJpegLeft), cmdSaveAsJPEG_->y());
    lblHeading_->move(Px(b.lblHeadingLeft), lblHeading_->y());
    bannerLink_->move((outer - bannerLink_->width()) / 2, bannerLink_->y());
    // A link is shown only where it ends a gap short of the first button;
    // the links that follow it lie further right, so they go too.
    bool fits = true;
    for (QLabel* link : barLinks_) {
        fits = fits && link->geometry().right() + Px(kButtonGap) < cmdSaveAsJPEG_->x();
        link->setVisible(fits);
    }
}

void ChartWindow::toolbarButton(const QString& key) {
    if (key == QLatin1String("New"))
        newChart();
    else if (key == QLatin1String("Save"))
        emit saveReadingRequested();
    else if (key == QLatin1String("Picture"))
        savePicture();
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("Help"))
        openPage(WebPage::OnlineHelp);
}

void ChartWindow::openPage(WebPage page) { OpenWebPage(this, dialogs_, WebPageUrl(page)); }

}  // namespace qv
