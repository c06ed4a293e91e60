// Opens web pages in the user's browser. Every address is built with QUrl,
// user text is percent-encoded, and only http and https are opened.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace qv {

class UserDialogs;

enum class WebPage { OnlineHelp, VisitUs, Donate, MakeMoneyOnline, ProjectPage };

// The address behind a fixed page of the program.
QUrl WebPageUrl(WebPage page);
// A public map search for a place, e.g. "Paris Ile-de-France France Latitude Longitude".
QUrl CoordinateSearchUrl(const QString& query);
// Opens `url` in the browser; refuses anything but http and https.
bool OpenWebPage(const QUrl& url);
// The one way the windows open a page: OpenWebPage, and a message box naming
// the address when no browser opens it.
bool OpenWebPage(QWidget* parent, UserDialogs& dialogs, const QUrl& url);

// The About box and the update prompt of the Help menus.
void ShowAboutBox(QWidget* parent, UserDialogs& dialogs);
void ShowUpdateCheck(QWidget* parent, UserDialogs& dialogs);

// The texts of the About box and the update prompt.
QString AboutText();
QString UpdateCheckText();

// For tests: replaces the browser with `opener` (an empty function restores
// the desktop's browser) and returns the previous opener.
using WebOpener = std::function<bool(const QUrl&)>;
WebOpener SetWebOpener(WebOpener opener);

}  // namespace qv
