#include <gtest/gtest.h>

#include <QUrlQuery>
#include <vector>

#include "gui/common/web_links.h"
#include "tests/gui_outputs/output_support.h"
#include "tests/support/scripted_dialogs.h"

namespace qv {
namespace {

// Records the addresses instead of starting a browser.
class RecordingBrowser {
public:
    explicit RecordingBrowser(bool succeeds = true)
        : previous_(SetWebOpener([this, succeeds](const QUrl& url) {
              opened.push_back(url);
              return succeeds;
          })) {}
    ~RecordingBrowser() { SetWebOpener(previous_); }
    std::vector<QUrl> opened;

private:
    WebOpener previous_;
};

TEST(WebPages, AllLieOnTheProjectSiteOverHttps) {
    const QUrl home = WebPageUrl(WebPage::VisitUs);
    EXPECT_EQ(home.scheme(), "https");
    EXPECT_TRUE(home.host().endsWith("example.org")) << home.toString().toStdString();
    for (WebPage page :
         {WebPage::OnlineHelp, WebPage::VisitUs, WebPage::Donate, WebPage::MakeMoneyOnline, WebPage::ProjectPage}) {
        const QUrl url = WebPageUrl(page);
        EXPECT_TRUE(url.isValid());
        EXPECT_EQ(url.scheme(), "https");
        EXPECT_EQ(url.host(), home.host()) << url.toString().toStdString();
    }
}

struct SearchCase {
    const char* name;
    QString query;  // as the birth-data form builds it
    QString place;  // what the map search looks for
};

class CoordinateSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(CoordinateSearch, UserTextIsOneEncodedQueryValue) {
    const QUrl url = CoordinateSearchUrl(GetParam().query);
    ASSERT_TRUE(url.isValid()) << url.errorString().toStdString();
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_EQ(url.host(), "www.openstreetmap.org");
    EXPECT_EQ(url.path(), "/search");
    // Exactly one parameter, whatever the text holds, and it decodes back.
    const QUrlQuery query(url);
    ASSERT_EQ(query.queryItems().size(), 1) << url.toString().toStdString();
    EXPECT_EQ(query.queryItemValue("query", QUrl::FullyDecoded), GetParam().place);
    // Nothing of the user's text is left unencoded in the address.
    const QByteArray encoded = url.toEncoded();
    EXPECT_FALSE(encoded.contains(' '));
    EXPECT_EQ(encoded.count('&'), 0);
    EXPECT_EQ(encoded.count('#'), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Places, CoordinateSearch,
    testing::Values(SearchCase{"PlainPlace", "Paris Ile-de-France France Latitude Longitude",
                               "Paris Ile-de-France France"},
                    SearchCase{"BlanksAsTyped", "New York  NY USA Latitude Longitude", "New York NY USA"},
                    SearchCase{"QueryDelimiters", "A&B=C+D #E?F/G Latitude Longitude", "A&B=C+D #E?F/G"},
                    SearchCase{"PercentSign", "100% Town X Y Latitude Longitude", "100% Town X Y"},
                    SearchCase{"NonLatin", QString::fromUtf8("Zürich ZH Schweiz Latitude Longitude"),
                               QString::fromUtf8("Zürich ZH Schweiz")},
                    SearchCase{"WithoutTheCoordinateWords", "Lima Lima Peru", "Lima Lima Peru"},
                    SearchCase{"ScriptInjection", "<script>alert(1)</script> javascript:x Latitude Longitude",
                               "<script>alert(1)</script> javascript:x"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OpenCase {
    const char* name;
    QUrl url;
    bool opened;
};

class OpenOnlyWebAddresses : public testing::TestWithParam<OpenCase> {};

TEST_P(OpenOnlyWebAddresses, OthersAreRefusedWithAMessage) {
    RecordingBrowser browser;
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(OpenWebPage(nullptr, dialogs, GetParam().url), GetParam().opened);
    EXPECT_EQ(browser.opened.size(), GetParam().opened ? 1u : 0u);
    EXPECT_EQ(dialogs.messages().size(), GetParam().opened ? 0u : 1u);
    // The layer without dialogs decides the same.
    EXPECT_EQ(OpenWebPage(GetParam().url), GetParam().opened);
}

INSTANTIATE_TEST_SUITE_P(Schemes, OpenOnlyWebAddresses,
                         testing::Values(OpenCase{"Https", QUrl("https://quorvane.example.org/help/"), true},
                                         OpenCase{"Http", QUrl("http://example.org/"), true},
                                         OpenCase{"UpperCaseScheme", QUrl("HTTPS://example.org/"), true},
                                         OpenCase{"LocalFile", QUrl("file:///etc/passwd"), false},
                                         OpenCase{"Script", QUrl("javascript:alert(1)"), false},
                                         OpenCase{"Ftp", QUrl("ftp://example.org/x"), false},
                                         OpenCase{"Mail", QUrl("mailto:someone@example.org"), false},
                                         OpenCase{"NoHost", QUrl("https:///nothing"), false},
                                         OpenCase{"Relative", QUrl("help/index.html"), false},
                                         OpenCase{"Empty", QUrl(), false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WebLinks, ABrowserThatFailsIsReportedWithTheAddress) {
    RecordingBrowser browser(false);
    test::ScriptedDialogs dialogs;
    const QUrl page = WebPageUrl(WebPage::Donate);
    EXPECT_FALSE(OpenWebPage(nullptr, dialogs, page));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(page.toDisplayString()));
    EXPECT_EQ(dialogs.calls[0].icon, MessageIcon::Error);
}

TEST(HelpMenu, AboutBoxNamesProgramVersionAndLicence) {
    RecordingBrowser browser;
    test::TitleRecorder dialogs;
    ShowAboutBox(nullptr, dialogs);
    ASSERT_EQ(dialogs.texts.size(), 1);
    EXPECT_EQ(dialogs.titles[0], "About Quorvane");
    const QString text = dialogs.texts[0];
    EXPECT_TRUE(text.contains("Quorvane"));
    EXPECT_TRUE(text.contains("Version 1.15"));
    EXPECT_TRUE(text.contains("MIT License"));
    EXPECT_EQ(dialogs.icons[0], MessageIcon::Information);
    EXPECT_TRUE(browser.opened.empty());
}

TEST(HelpMenu, UpdateCheckShowsTheVersionThenOpensTheProjectPage) {
    RecordingBrowser browser;
    test::TitleRecorder dialogs;
    ShowUpdateCheck(nullptr, dialogs);
    ASSERT_EQ(dialogs.texts.size(), 1);
    EXPECT_EQ(dialogs.titles[0], "Check for Software Update");
    EXPECT_TRUE(dialogs.texts[0].contains("version 1.15"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], WebPageUrl(WebPage::ProjectPage));
}

TEST(HelpMenu, UpdateCheckReportsABrowserThatFails) {
    RecordingBrowser browser(false);
    test::TitleRecorder dialogs;
    ShowUpdateCheck(nullptr, dialogs);
    ASSERT_EQ(dialogs.texts.size(), 2);
    EXPECT_TRUE(dialogs.texts[1].contains(WebPageUrl(WebPage::ProjectPage).toDisplayString()));
    EXPECT_EQ(dialogs.icons[1], MessageIcon::Error);
}

}  // namespace
}  // namespace qv
