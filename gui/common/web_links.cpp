#include "gui/common/web_links.h"

#include <QDesktopServices>
#include <QUrlQuery>
#include <utility>

#include "gui/common/program_identity.h"
#include "gui/common/user_dialogs.h"

namespace qv {

namespace {

// The project's web site; every page of the program lies below it.
constexpr char kProjectWebAddress[] = "https://quorvane.example.org";

// Public map search that finds a place and shows its coordinates.
constexpr char kMapSearchAddress[] = "https://www.openstreetmap.org/search";

// The words the birth-data form adds for a web search; a map search looks
// for places, so they are left out there.
constexpr char kCoordinateWords[] = "Latitude Longitude";

WebOpener& CurrentOpener() {
    static WebOpener opener;
    return opener;
}

QUrl ProjectPath(const QString& path) {
    QUrl url(QString::fromLatin1(kProjectWebAddress));
    url.setPath(path);
    return url;
}

bool IsWebAddress(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace

QUrl WebPageUrl(WebPage page) {
    switch (page) {
        case WebPage::OnlineHelp:
            return ProjectPath(QStringLiteral("/help/"));
        case WebPage::VisitUs:
            return ProjectPath(QStringLiteral("/"));
        case WebPage::Donate:
            return ProjectPath(QStringLiteral("/donate/"));
        case WebPage::MakeMoneyOnline:
            return ProjectPath(QStringLiteral("/partners/"));
        case WebPage::ProjectPage:
            return ProjectPath(QStringLiteral("/download/"));
    }
    return ProjectPath(QStringLiteral("/"));
}

QUrl CoordinateSearchUrl(const QString& query) {
    QString place = query.trimmed();
    const QString words = QString::fromLatin1(kCoordinateWords);
    if (place.endsWith(words, Qt::CaseInsensitive)) place = place.chopped(words.size()).trimmed();
    place = place.simplified();

    QUrl url(QString::fromLatin1(kMapSearchAddress));
    QUrlQuery params;
    // Full encoding: "&", "+", "#" and "=" in a place name stay part of the query.
    params.addQueryItem(QStringLiteral("query"), QString::fromLatin1(QUrl::toPercentEncoding(place)));
    url.setQuery(params.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

bool OpenWebPage(const QUrl& url) {
    if (!IsWebAddress(url)) return false;
    if (const WebOpener& opener = CurrentOpener()) return opener(url);
    return QDesktopServices::openUrl(url);
}

bool OpenWebPage(QWidget* parent, UserDialogs& dialogs, const QUrl& url) {
    if (!IsWebAddress(url)) {
        dialogs.message(
            parent,
            QStringLiteral("The address \"%1\" is not a web page and was not opened.").arg(url.toDisplayString()),
            MessageIcon::Error);
        return false;
    }
    if (OpenWebPage(url)) return true;
    dialogs.message(parent,
                    QStringLiteral("The web page %1 could not be opened. Please check that a web "
                                   "browser is installed, or open the address yourself.")
                        .arg(url.toDisplayString()),
                    MessageIcon::Error);
    return false;
}

QString AboutText() {
    return QStringLiteral(
               "%1\nVersion %2\n\n"
               "Shows the effect of missing elements, missing sign qualities and "
               "missing house types on a natal chart.\n\n"
               "%3\n%4")
        .arg(QString::fromLatin1(kProgramName), QString::fromLatin1(kProgramVersion),
             QString::fromLatin1(kProgramLicence), WebPageUrl(WebPage::VisitUs).toDisplayString());
}

QString UpdateCheckText() {
    return QStringLiteral(
               "You are using %1 version %2.\n\n"
               "The project's page will now open in your web browser; it lists the "
               "latest version.\n%3")
        .arg(QString::fromLatin1(kProgramName), QString::fromLatin1(kProgramVersion),
             WebPageUrl(WebPage::ProjectPage).toDisplayString());
}

void ShowAboutBox(QWidget* parent, UserDialogs& dialogs) {
    dialogs.titledMessage(parent, QStringLiteral("About %1").arg(QString::fromLatin1(kProgramName)), AboutText(),
                          MessageIcon::Information);
}

void ShowUpdateCheck(QWidget* parent, UserDialogs& dialogs) {
    dialogs.titledMessage(parent, QStringLiteral("Check for Software Update"), UpdateCheckText(),
                          MessageIcon::Information);
    OpenWebPage(parent, dialogs, WebPageUrl(WebPage::ProjectPage));
}

WebOpener SetWebOpener(WebOpener opener) { return std::exchange(CurrentOpener(), std::move(opener)); }

}  // namespace qv
