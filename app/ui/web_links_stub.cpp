#include "app/ui/web_links.h"

namespace qv {

// Placeholders until the web-link layer lands.
QUrl WebPageUrl(WebPage) { return {}; }
QUrl CoordinateSearchUrl(const QString&) { return {}; }
bool OpenWebPage(const QUrl&) { return false; }
void ShowAboutBox(QWidget*) {}
void ShowUpdateCheck(QWidget*) {}

}  // namespace qv
