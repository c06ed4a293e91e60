// Opens web pages in the user's browser. Every address is built with QUrl,
// user text is percent-encoded, and only http and https are opened.
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace qv {

enum class WebPage { OnlineHelp, VisitUs, Donate, MakeMoneyOnline, ProjectPage };

// The address behind a fixed page of the program.
QUrl WebPageUrl(WebPage page);
// A public map search for a place, e.g. "Paris Ile-de-France France Latitude Longitude".
QUrl CoordinateSearchUrl(const QString& query);
// Opens `url` in the browser; refuses anything but http and https.
bool OpenWebPage(const QUrl& url);

// The About box and the update prompt of the Help menus.
void ShowAboutBox(QWidget* parent);
void ShowUpdateCheck(QWidget* parent);

}  // namespace qv
