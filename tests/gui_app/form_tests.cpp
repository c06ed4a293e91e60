// The birth-data form as a user meets it: key filters, the checks in their
// order, the coordinate look-up, and the round trip of its contents.
#include <QAbstractItemView>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QScrollBar>
#include <QUrl>

#include "gui/common/web_links.h"
#include "state/time_zones.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

const QString kLetters = QStringLiteral("Please enter only letters");
const QString kNumbers = QStringLiteral("Please enter only numbers");

TEST_F(AppTest, FormOpensWithItsListsAndFirstSelections) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvane v1.15"));
    struct ListCase {
        const char* name;
        int count;
        QString first, last, selected;
    };
    const ListCase cases[] = {
        {"cboMonth", 12, "January", "December", "January"},
        {"cboDate", 31, "1", "31", "1"},
        {"cboYear", 150, "1901", "2050", "1906"},
        {"cboHour", 24, "0", "23", "0"},
        {"cboMinute", 60, "0", "59", "0"},
    };
    for (const auto& c : cases) {
        QComboBox* l = list(c.name);
        EXPECT_EQ(l->count(), c.count) << c.name;
        EXPECT_EQ(l->itemText(0), c.first) << c.name;
        EXPECT_EQ(l->itemText(l->count() - 1), c.last) << c.name;
        EXPECT_EQ(l->currentText(), c.selected) << c.name;
    }
    QComboBox* zones = list("cboTimeZone");
    ASSERT_EQ(zones->count(), 71);
    EXPECT_EQ(zones->currentIndex(), 0);
    EXPECT_EQ(zones->itemText(0).toStdString(), app->state().TimeZoneName[0]);
    EXPECT_EQ(zones->itemText(70).toStdString(), app->state().TimeZoneName[70]);
    EXPECT_EQ(app->state().BodyLabel[10], "Asc");
    EXPECT_EQ(app->state().SignAbbrevList[11], "Pis");

    EXPECT_FALSE(child<QCheckBox>("chkDST")->isChecked());
    for (const char* o : {"optLatSouth_0", "optLatSouth_1", "optLongEast_0", "optLongEast_1"})
        EXPECT_FALSE(option(o)->isChecked()) << o;
    for (const char* b : {"txtLatD", "txtLatM", "txtLonD", "txtLonM"}) EXPECT_EQ(box(b)->maxLength(), 3) << b;
    EXPECT_EQ(child<QPushButton>("Command1")->text(), QStringLiteral("Click here to find Latitude && Longitude"));
    EXPECT_EQ(child<QPushButton>("cmdCalculate")->text(), QStringLiteral("&Get My Quorvane"));
    EXPECT_EQ(child<QPushButton>("cmdOpen")->text(), QStringLiteral("&Open Previously Saved Reading"));
    EXPECT_EQ(option("optLatSouth_1")->text(), QStringLiteral("South"));
    EXPECT_EQ(option("optLongEast_0")->text(), QStringLiteral("East"));
    auto* money = form->findChild<QAction*>(QStringLiteral("mnuMakeMoney"));
    ASSERT_NE(money, nullptr);
    EXPECT_FALSE(money->isVisible());
}

TEST_F(AppTest, LongListsOpenAboutTwentyItemsHighWithAScrollBar) {
    for (const char* name : {"cboTimeZone", "cboYear", "cboMinute"}) {
        QComboBox* l = list(name);
        l->showPopup();
        QAbstractItemView* view = l->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window())) << name;
        const int rows = view->viewport()->height() / view->sizeHintForRow(0);
        EXPECT_GE(rows, 15) << name;
        EXPECT_LE(rows, 21) << name;
        EXPECT_TRUE(view->verticalScrollBar()->isVisible()) << name;
        l->hidePopup();
    }
}

TEST_F(AppTest, TypedCharactersAreFilteredPerBox) {
    struct Typed {
        const char* box;
        QString keys;
        QString result;
        int refusals;
    };
    const Typed cases[] = {
        {"txtName", "Ada Byron", "Ada Byron", 0},
        {"txtName", "Ann3e", "Anne", 1},
        {"txtName", QStringLiteral("Zo\u00EB"), "Zo", 1},  // letters outside A-Z
        {"txtCity", "St. Louis", "St Louis", 1},
        {"txtState", "Rhode-Island", "RhodeIsland", 1},
        {"txtCountry", "U2K", "UK", 1},
        {"txtLatD", "4a5", "45", 1},
        {"txtLatM", "-12", "12", 1},  // no negative coordinates
        {"txtLonD", "1.5", "15", 1},  // nor fractions
        {"txtLonM", " 7", "7", 1},
        {"txtLonM", "12345", "123", 0},  // three digits at most
        {"txtLatD", "ab", "", 2},
    };
    for (const auto& c : cases) {
        box(c.box)->clear();
        dialogs.clear();
        type(c.box, c.keys);
        EXPECT_EQ(box(c.box)->text(), c.result) << c.box << " " << c.keys.toStdString();
        const auto shown = dialogs.messages();
        ASSERT_EQ(static_cast<int>(shown.size()), c.refusals) << c.box << " " << c.keys.toStdString();
        const bool letterBox = QByteArray(c.box).startsWith("txtLat") || QByteArray(c.box).startsWith("txtLon");
        for (const QString& m : shown) EXPECT_EQ(m, letterBox ? kNumbers : kLetters);
        if (c.refusals) EXPECT_EQ(dialogs.lastIcon(), MessageIcon::Error);
    }
}

TEST_F(AppTest, EditingAndNavigationKeysPassControlCodesAreRefused) {
    QApplication::clipboard()->setText(QStringLiteral("99"));
    struct KeyCase {
        const char* box;
        Qt::Key key;
        QString text;
        Qt::KeyboardModifiers mods;
        QString before, after;
        bool refused;
    };
    const KeyCase cases[] = {
        {"txtName", Qt::Key_Backspace, "\b", {}, "Ab", "A", false},
        {"txtLatD", Qt::Key_Backspace, "\b", {}, "12", "1", false},
        {"txtName", Qt::Key_Left, "", {}, "Ab", "Ab", false},
        {"txtLatM", Qt::Key_Home, "", {}, "12", "12", false},
        {"txtName", Qt::Key_Tab, "\t", {}, "Ab", "Ab", false},
        {"txtName", Qt::Key_1, "1", Qt::AltModifier, "Ab", "Ab", false},  // a command: nothing typed, no message
        {"txtLatD", Qt::Key_V, QString(QChar(22)), Qt::ControlModifier, "1", "1", true},  // paste
        {"txtName", Qt::Key_V, QString(QChar(22)), Qt::ControlModifier, "Ab", "Ab", true},
        {"txtCity", Qt::Key_C, QString(QChar(3)), Qt::ControlModifier, "Ab", "Ab", true},  // copy
        {"txtCity", Qt::Key_Return, "\r", {}, "Ab", "Ab", true},
        {"txtLonD", Qt::Key_Escape, QString(QChar(27)), {}, "5", "5", true},
    };
    for (const auto& c : cases) {
        QLineEdit* b = box(c.box);
        b->setText(c.before);
        b->setFocus();
        b->end(false);
        dialogs.clear();
        key(b, c.key, c.text, c.mods);
        EXPECT_EQ(b->text(), c.after) << c.box << " key " << c.key;
        EXPECT_EQ(dialogs.messages().size(), c.refused ? 1u : 0u) << c.box << " key " << c.key;
    }
    // Delete removes the character after the cursor.
    QLineEdit* name = box("txtName");
    name->setText(QStringLiteral("Ab"));
    name->home(false);
    dialogs.clear();
    key(name, Qt::Key_Delete, QString(QChar(127)));
    EXPECT_EQ(name->text(), QStringLiteral("b"));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(AppTest, ComposedCharactersAreFilteredLikeTypedOnes) {
    struct Composed {
        const char* box;
        QString commit;
        QString result;
        bool refused;
    };
    const Composed cases[] = {
        {"txtName", QStringLiteral("\u00E9"), "", true},
        {"txtCity", "ab", "ab", false},
        {"txtLatD", QStringLiteral("\uFF11"), "", true},  // a full-width digit
        {"txtLatM", "12", "12", false},
    };
    for (const auto& c : cases) {
        QLineEdit* b = box(c.box);
        b->clear();
        b->setFocus();
        dialogs.clear();
        QInputMethodEvent im(QString(), {});
        im.setCommitString(c.commit);
        QApplication::sendEvent(b, &im);
        EXPECT_EQ(b->text(), c.result) << c.box;
        EXPECT_EQ(dialogs.messages().size(), c.refused ? 1u : 0u) << c.box;
    }
}

TEST_F(AppTest, HelpEntriesOpenTheirPages) {
    std::vector<QUrl> opened;
    const WebOpener previous = SetWebOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    struct Entry {
        const char* action;
        WebPage page;
    };
    for (const Entry e : {Entry{"mnuOnline", WebPage::OnlineHelp}, Entry{"mnuVisit", WebPage::VisitUs},
                          Entry{"mnuDonate", WebPage::Donate}}) {
        opened.clear();
        auto* a = form->findChild<QAction*>(QString::fromLatin1(e.action));
        ASSERT_NE(a, nullptr) << e.action;
        a->trigger();
        ASSERT_EQ(opened.size(), 1u) << e.action;
        EXPECT_EQ(opened[0], WebPageUrl(e.page)) << e.action;
    }
    opened.clear();
    emit child<QLabel>("lblWebLink")->linkActivated(QStringLiteral("visit"));
    ASSERT_EQ(opened.size(), 1u);
    // A page that cannot be opened is reported, not silently dropped.
    SetWebOpener([](const QUrl&) { return false; });
    dialogs.clear();
    form->findChild<QAction*>(QStringLiteral("mnuOnline"))->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    SetWebOpener(previous);
}

TEST_F(AppTest, RefusalPutsFocusBackOnLetterBoxesOnly) {
    // A message box takes the focus while it is shown; here the hook does.
    QWidget* elsewhere = child<QPushButton>("cmdOpen");
    dialogs.onMessage = [elsewhere] { elsewhere->setFocus(); };
    struct FocusCase {
        const char* box;
        QString keys;
        const char* focusAfter;
    };
    const FocusCase cases[] = {
        {"txtName", "7", "txtName"},       {"txtCity", "7", "txtCity"}, {"txtState", "7", "txtState"},
        {"txtCountry", "7", "txtCountry"}, {"txtLatD", "x", "cmdOpen"}, {"txtLonM", "x", "cmdOpen"},
    };
    for (const auto& c : cases) {
        type(c.box, c.keys);
        EXPECT_EQ(focusedName(), QString::fromLatin1(c.focusAfter)) << c.box;
    }
}

TEST_F(AppTest, ChecksRunInOrderUntilTheChartIsCalculated) {
    using Action = std::function<void(AppTest&)>;
    struct Step {
        Action before;
        QString message;  // empty: the chart is calculated
        MessageIcon icon;
        const char* focus;  // nullptr: focus not checked
    };
    const MessageIcon E = MessageIcon::Error, I = MessageIcon::Information;
    const Step steps[] = {
        {[](AppTest&) {}, "Please Enter Your Name", E, "txtName"},
        {[](AppTest& t) { t.type("txtName", "Ada Byron"); }, "Please Enter Degree of Latitude", E, "txtLatD"},
        {[](AppTest& t) { t.type("txtLatD", "51"); }, "Please Enter Minutes of Latitude", E, "txtLatM"},
        {[](AppTest& t) { t.type("txtLatM", "30"); }, "Please Enter Degree of Longitude", E, "txtLonD"},
        {[](AppTest& t) { t.type("txtLonD", "0"); }, "Please Enter Minute of Longitude", E, "txtLonM"},
        {[](AppTest& t) { t.type("txtLonM", "7"); }, "Please Enter Your City name", E, "txtCity"},
        {[](AppTest& t) { t.type("txtCity", "London"); }, "Please Enter Your State name", E, "txtState"},
        {[](AppTest& t) { t.type("txtState", "England"); }, "Please Enter Your Country name", E, "txtCountry"},
        // No direction chosen: the first press selects North, the second East.
        {[](AppTest& t) { t.type("txtCountry", "UK"); }, "Please Select Direction For The Latitude", E, nullptr},
        {[](AppTest&) {}, "Please Select Direction For The Longitude", E, nullptr},
        {[](AppTest& t) {
             t.choose("cboMonth", 1);
             t.choose("cboDate", 28);
             t.choose("cboYear", 0);  // 29 February 1901
         },
         "Please Enter Correct Date Or Month!", I, nullptr},
        {[](AppTest& t) {
             t.choose("cboMonth", 3);
             t.choose("cboDate", 30);  // 31 April
         },
         "Please Enter Correct Date Or Month !", I, nullptr},
        // A pasted escape sequence would retitle a terminal and a pasted
        // tab or line break would break the reading's lines.
        {[](AppTest& t) {
             t.choose("cboMonth", 11);
             QApplication::clipboard()->setText(QStringLiteral("Lon\x1b]0;owned\x07don"));
             t.box("txtCity")->selectAll();
             t.box("txtCity")->paste();
         },
         "The city holds a control character (a tab, a line break or an escape, for example); please remove it", E,
         "txtCity"},
        {[](AppTest& t) {
             t.box("txtCity")->clear();
             t.type("txtCity", "London");
         },
         "", E, nullptr},
    };
    int n = 0;
    for (const auto& s : steps) {
        ++n;
        s.before(*this);
        dialogs.clear();
        click("cmdCalculate");
        if (s.message.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().empty()) << "step " << n << ": " << dialogs.lastMessage().toStdString();
            ASSERT_NE(chart(), nullptr) << "step " << n;
            EXPECT_EQ(app->state().BirthName, "Ada Byron");
            continue;
        }
        ASSERT_EQ(dialogs.messages().size(), 1u) << "step " << n;
        EXPECT_EQ(dialogs.lastMessage(), s.message) << "step " << n;
        EXPECT_EQ(dialogs.lastIcon(), s.icon) << "step " << n;
        if (s.focus) EXPECT_EQ(focusedName(), QString::fromLatin1(s.focus)) << "step " << n;
        // A failed check leaves the chart state alone and opens nothing.
        EXPECT_EQ(chart(), nullptr) << "step " << n;
        EXPECT_EQ(app->state().BirthName, "") << "step " << n;
        EXPECT_TRUE(form->isVisible());
    }
    EXPECT_TRUE(option("optLatSouth_0")->isChecked());
    EXPECT_TRUE(option("optLongEast_0")->isChecked());
    EXPECT_TRUE(app->state().LonEast);
    EXPECT_FALSE(app->state().LatSouth);
}

TEST_F(AppTest, DaysTheMonthDoesNotHaveAreRefused) {
    struct DateCase {
        int month, day, year;
        QString message;  // empty: calculated
    };
    const DateCase cases[] = {
        {1, 29, 2000, ""},
        {1, 29, 2004, ""},
        {1, 29, 1901, "Please Enter Correct Date Or Month!"},
        {1, 29, 2001, "Please Enter Correct Date Or Month!"},
        {1, 30, 2000, "Please Enter Correct Date Or Month!"},
        {3, 31, 1999, "Please Enter Correct Date Or Month !"},
        {5, 31, 1950, "Please Enter Correct Date Or Month !"},
        {10, 31, 2050, "Please Enter Correct Date Or Month !"},
        {11, 31, 2050, ""},
        {0, 31, 1901, ""},
    };
    enter(kAda);
    for (const auto& c : cases) {
        choose("cboMonth", c.month);
        choose("cboDate", c.day - 1);
        choose("cboYear", YearItem(c.year));
        dialogs.clear();
        click("cmdCalculate");
        const std::string what =
            std::to_string(c.day) + "/" + std::to_string(c.month + 1) + "/" + std::to_string(c.year);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().empty()) << what;
            ASSERT_NE(chart(), nullptr) << what;
            EXPECT_EQ(app->state().BirthYear, c.year) << what;
            EXPECT_EQ(app->state().BirthDay, c.day) << what;
            EXPECT_EQ(app->state().BirthMonth, c.month + 1) << what;
            QTest::mouseClick(chart()->findChild<QPushButton*>(QStringLiteral("cmdBack")), Qt::LeftButton);
            settle();
            ASSERT_TRUE(form->isVisible()) << what;
        } else {
            EXPECT_EQ(dialogs.lastMessage(), c.message) << what;
            EXPECT_EQ(dialogs.lastIcon(), MessageIcon::Information) << what;
            EXPECT_EQ(chart(), nullptr) << what;
        }
    }
}

// Text pasted with the mouse escapes the key filters; a coordinate that is
// not plain digits must stop the calculation rather than keep an old value.
TEST_F(AppTest, PastedNonDigitsInCoordinatesStopTheCalculation) {
    struct Pasted {
        const char* box;
        QString text;
    };
    const Pasted cases[] = {
        {"txtLatD", "4x"}, {"txtLatM", "3.5"}, {"txtLonD", "-7"}, {"txtLonM", " 7"}, {"txtLatD", "1e2"},
    };
    for (const auto& c : cases) {
        enter(kAda);
        box(c.box)->setText(c.text);
        box("txtCity")->clear();  // the digits check comes before the place checks
        dialogs.clear();
        click("cmdCalculate");
        EXPECT_EQ(dialogs.lastMessage(), kNumbers) << c.box;
        EXPECT_EQ(dialogs.lastIcon(), MessageIcon::Error);
        EXPECT_EQ(focusedName(), QString::fromLatin1(c.box));
        EXPECT_EQ(chart(), nullptr);
        EXPECT_EQ(app->state().BirthName, "");
    }
}

// Typed digits beyond a coordinate's range stop the calculation with the
// error icon, and the focus goes to the box that is wrong.
TEST_F(AppTest, CoordinatesOutOfRangeStopTheCalculation) {
    struct Typed {
        const char* box;
        QString text;
        const char* message;
    };
    const Typed cases[] = {
        {"txtLatD", "91", "Latitude must be from 0 to 90 degrees"},
        {"txtLatM", "60", "Minutes must be from 0 to 59"},
        {"txtLonD", "999", "Longitude must be from 0 to 180 degrees"},
        {"txtLonM", "75", "Minutes must be from 0 to 59"},
    };
    for (const auto& c : cases) {
        enter(kAda);
        box(c.box)->setText(c.text);
        dialogs.clear();
        click("cmdCalculate");
        EXPECT_EQ(dialogs.lastMessage(), QString::fromLatin1(c.message)) << c.box;
        EXPECT_EQ(dialogs.lastIcon(), MessageIcon::Error);
        EXPECT_EQ(focusedName(), QString::fromLatin1(c.box));
        EXPECT_EQ(chart(), nullptr);
    }
}

TEST_F(AppTest, CoordinateLookUpNeedsThePlaceAndOpensOneSearch) {
    std::vector<QUrl> opened;
    const WebOpener previous = SetWebOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    struct LookUp {
        QString city, state, country;
        QString message;
        const char* focus;
    };
    const LookUp cases[] = {
        {"", "Texas", "USA", "Please Enter City", "txtCity"},
        {"Paris", "", "", "Please Enter State", "txtState"},
        {"Paris", "Texas", "", "Please Enter Country", "txtCountry"},
        {"Paris", " Texas ", "USA", "", nullptr},
    };
    for (const auto& c : cases) {
        box("txtCity")->setText(c.city);
        box("txtState")->setText(c.state);
        box("txtCountry")->setText(c.country);
        dialogs.clear();
        opened.clear();
        click("Command1");
        if (!c.message.isEmpty()) {
            EXPECT_EQ(dialogs.lastMessage(), c.message);
            EXPECT_EQ(focusedName(), QString::fromLatin1(c.focus));
            EXPECT_TRUE(opened.empty());
            continue;
        }
        EXPECT_TRUE(dialogs.messages().empty());
        ASSERT_EQ(opened.size(), 1u);
        // The query carries the texts as typed; the fields are not changed.
        EXPECT_EQ(opened[0], CoordinateSearchUrl(QStringLiteral("Paris  Texas  USA Latitude Longitude")))
            << opened[0].toString().toStdString();
        EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));
        EXPECT_EQ(box("txtState")->text(), QStringLiteral(" Texas "));
    }
    SetWebOpener(previous);
}

TEST_F(AppTest, FormDataRoundTripsAndBadIndexesLeaveListsAlone) {
    enter(kCarl);
    const BirthFormData typed = form->formData();
    EXPECT_EQ(typed.txtName, "Carl Gustav");
    EXPECT_EQ(typed.cboYear, YearItem(1975));
    EXPECT_EQ(typed.optLongEast, 0);
    EXPECT_EQ(typed.optLatSouth, 0);
    EXPECT_TRUE(typed.chkDST);

    BirthFormData other = typed;
    other.txtName = "Zoe";
    other.optLatSouth = -1;  // none selected again
    other.optLongEast = 1;
    other.cboMonth = 12;                 // no such item
    other.cboTimeZone = kTimeZoneCount;  // no such slot
    other.cboHour = 23;
    form->setFormData(other);
    const BirthFormData back = form->formData();
    EXPECT_EQ(back.txtName, "Zoe");
    EXPECT_EQ(back.optLatSouth, -1);
    EXPECT_EQ(back.optLongEast, 1);
    EXPECT_EQ(back.cboMonth, typed.cboMonth);
    EXPECT_EQ(back.cboTimeZone, typed.cboTimeZone);
    EXPECT_EQ(back.cboHour, 23);
}

}  // namespace
}  // namespace qv::test
