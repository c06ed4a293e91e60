// The entries both windows carry that lead to the project's web pages: the
// "&Help" menu, the "Donate" entry beside it, and underlined link labels.
// Each opens its page through the window's dialogs, so a page that no
// browser opens is reported the same way everywhere.
#pragma once

#include <QString>

#include "gui/common/web_links.h"

class QAction;
class QColor;
class QLabel;
class QMenu;
class QMenuBar;
class QWidget;

namespace qv {

class UserDialogs;

// The entries AddHelpMenus makes, under their object names.
struct HelpMenuEntries {
    QMenu* mnuHelp = nullptr;
    QAction* mnuOnline = nullptr;
    QAction* mnuVisit = nullptr;
    QAction* mnuUpdate = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuDonate = nullptr;
    QAction* mnuMakeMoney = nullptr;  // created hidden
};

// Appends "&Help" ("&Online Help", "&Visit Us Online", "Check for Software
// &Update", "&About Software"), the top-level `donateCaption` and the hidden
// "Make Money &Online" to `bar`. Messages and pages go through `dialogs`
// with `owner` as their parent.
HelpMenuEntries AddHelpMenus(QMenuBar* bar, QWidget* owner, UserDialogs& dialogs, const QString& donateCaption);

// An underlined link label in `colour` that opens `page` when clicked.
QLabel* MakeWebLinkLabel(QWidget* parent, const QString& objectName, const QString& text, WebPage page,
                         const QColor& colour, UserDialogs& dialogs);

}  // namespace qv
