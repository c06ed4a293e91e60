#include "gui/common/web_entries.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "gui/common/user_dialogs.h"

namespace qv {

namespace {

QAction* NamedAction(QAction* action, const char* name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

HelpMenuEntries AddHelpMenus(QMenuBar* bar, QWidget* owner, UserDialogs& dialogs, const QString& donateCaption) {
    HelpMenuEntries e;
    auto opens = [owner, &dialogs](QAction* action, WebPage page) {
        QObject::connect(action, &QAction::triggered, owner,
                         [owner, &dialogs, page] { OpenWebPage(owner, dialogs, WebPageUrl(page)); });
    };

    e.mnuHelp = new QMenu(QStringLiteral("&Help"), bar);
    e.mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    NamedAction(bar->addMenu(e.mnuHelp), "mnuHelp");
    e.mnuOnline = NamedAction(e.mnuHelp->addAction(QStringLiteral("&Online Help")), "mnuOnline");
    e.mnuVisit = NamedAction(e.mnuHelp->addAction(QStringLiteral("&Visit Us Online")), "mnuVisit");
    NamedAction(e.mnuHelp->addSeparator(), "mnuHelpSep1");
    e.mnuUpdate = NamedAction(e.mnuHelp->addAction(QStringLiteral("Check for Software &Update")), "mnuUpdate");
    NamedAction(e.mnuHelp->addSeparator(), "mnuHelpSep2");
    e.mnuAbout = NamedAction(e.mnuHelp->addAction(QStringLiteral("&About Software")), "mnuAbout");
    e.mnuDonate = NamedAction(bar->addAction(donateCaption), "mnuDonate");
    e.mnuMakeMoney = NamedAction(bar->addAction(QStringLiteral("Make Money &Online")), "mnuMakeMoney");
    e.mnuMakeMoney->setVisible(false);

    opens(e.mnuOnline, WebPage::OnlineHelp);
    opens(e.mnuVisit, WebPage::VisitUs);
    opens(e.mnuDonate, WebPage::Donate);
    opens(e.mnuMakeMoney, WebPage::MakeMoneyOnline);
    QObject::connect(e.mnuUpdate, &QAction::triggered, owner, [owner, &dialogs] { ShowUpdateCheck(owner, dialogs); });
    QObject::connect(e.mnuAbout, &QAction::triggered, owner, [owner, &dialogs] { ShowAboutBox(owner, dialogs); });
    return e;
}

QLabel* MakeWebLinkLabel(QWidget* parent, const QString& objectName, const QString& text, WebPage page,
                         const QColor& colour, UserDialogs& dialogs) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::RichText);
    label->setText(
        QStringLiteral("<a href=\"%1\" style=\"color: %2;\">%3</a>")
            .arg(WebPageUrl(page).toString(QUrl::FullyEncoded).toHtmlEscaped(), colour.name(), text.toHtmlEscaped()));
    label->setToolTip(WebPageUrl(page).toDisplayString());
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &QLabel::linkActivated, parent,
                     [parent, &dialogs, page] { OpenWebPage(parent, dialogs, WebPageUrl(page)); });
    return label;
}

}  // namespace qv
