#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "cli/report_options.h"

namespace qv::report {
namespace {

using Args = std::vector<std::string>;

Args Good() {
    return {"--name", "Asha",  "--date", "1975-06-15", "--time",    "14:30",   "--zone", "34",        "--lat",
            "28:37N", "--lon", "77:13E", "--city",     "New Delhi", "--state", "Delhi",  "--country", "India"};
}

// Good() with options replaced, removed (nullptr) or added (not in Good()).
Args With(std::initializer_list<std::pair<std::string, const char*>> edits) {
    const Args in = Good();
    Args out;
    for (std::size_t k = 0; k < in.size(); k += 2) {
        bool edited = false;
        for (const auto& [option, value] : edits)
            if (in[k] == option) {
                edited = true;
                if (value) out.insert(out.end(), {option, value});
            }
        if (!edited) out.insert(out.end(), {in[k], in[k + 1]});
    }
    for (const auto& [option, value] : edits) {
        bool known = false;
        for (std::size_t k = 0; k < in.size(); k += 2) known = known || in[k] == option;
        if (!known && value) out.insert(out.end(), {option, value});
    }
    return out;
}

Args With(const std::string& option, const char* value) { return With({{option, value}}); }

Args Plus(Args a, std::initializer_list<std::string> more) {
    a.insert(a.end(), more);
    return a;
}

std::string ErrorOf(const Args& args) {
    const auto r = ParseReportOptions(args);
    const auto* e = std::get_if<OptionError>(&r);
    return e ? e->message : std::string("(accepted)");
}

std::string ControlCharacterIn(const std::string& field) {
    return "The " + field +
           " holds a control character (a tab, a line break or an escape, for example); please remove it";
}

TEST(ReportOptions, Refusals) {
    struct Case {
        const char* what;
        Args args;
        std::string message;
    };
    const Case cases[] = {
        // The form's checks, in the form's words.
        {"no name", With("--name", nullptr), "Please Enter Your Name"},
        {"empty name", With("--name", ""), "Please Enter Your Name"},
        {"no latitude", With("--lat", nullptr), "Please Enter Degree of Latitude"},
        {"no lat degrees", With("--lat", ":37N"), "Please Enter Degree of Latitude"},
        {"no lat minutes", With("--lat", "28:N"), "Please Enter Minutes of Latitude"},
        {"no longitude", With("--lon", nullptr), "Please Enter Degree of Longitude"},
        {"no lon minutes", With("--lon", "77:E"), "Please Enter Minute of Longitude"},
        {"letters in degrees", With("--lat", "2x:37N"), "Please enter only numbers"},
        {"negative degrees", With("--lon", "-77:13E"), "Please enter only numbers"},
        {"fraction", With("--lon", "77.5:13E"), "Please enter only numbers"},
        {"four digits", With("--lat", "28:1000N"), "Please enter only numbers"},
        {"no city", With("--city", nullptr), "Please Enter Your City name"},
        {"no state", With("--state", ""), "Please Enter Your State name"},
        {"no country", With("--country", nullptr), "Please Enter Your Country name"},
        {"no lat direction", With("--lat", "28:37"), "Please Select Direction For The Latitude"},
        {"no lon direction", With("--lon", "77:13"), "Please Select Direction For The Longitude"},
        {"29 Feb 2001", With("--date", "2001-02-29"), "Please Enter Correct Date Or Month!"},
        {"29 Feb 1901", With("--date", "1901-02-29"), "Please Enter Correct Date Or Month!"},
        {"30 Feb 2000", With("--date", "2000-02-30"), "Please Enter Correct Date Or Month!"},
        {"31 April", With("--date", "1990-04-31"), "Please Enter Correct Date Or Month !"},
        {"31 June 1950", With("--date", "1950-06-31"), "Please Enter Correct Date Or Month !"},
        // What the form's lists rule out by construction.
        {"no date", With("--date", nullptr), "Missing --date YYYY-MM-DD"},
        {"slashes", With("--date", "1975/06/15"), "Malformed date \"1975/06/15\" (expected YYYY-MM-DD)"},
        {"short date", With("--date", "1975-6-15"), "Malformed date \"1975-6-15\" (expected YYYY-MM-DD)"},
        {"month 13", With("--date", "1975-13-01"), "The month must be from 1 to 12"},
        {"month 0", With("--date", "1975-00-01"), "The month must be from 1 to 12"},
        {"day 32", With("--date", "1975-01-32"), "The day must be from 1 to 31"},
        {"day 0", With("--date", "1975-01-00"), "The day must be from 1 to 31"},
        {"year 1900", With("--date", "1900-12-31"), "The year must be from 1901 to 2050"},
        {"year 2051", With("--date", "2051-01-01"), "The year must be from 1901 to 2050"},
        {"no time", With("--time", nullptr), "Missing --time HH:MM"},
        {"time without colon", With("--time", "1430"), "Malformed time \"1430\" (expected HH:MM)"},
        {"time with seconds", With("--time", "14:30:00"), "Malformed time \"14:30:00\" (expected HH:MM)"},
        {"hour 24", With("--time", "24:00"), "The hour must be from 0 to 23"},
        {"minute 60", With("--time", "23:60"), "The minute must be from 0 to 59"},
        {"no zone", With("--zone", nullptr), "Missing --zone SLOT (a time-zone slot from 0 to 70)"},
        {"zone 71", With("--zone", "71"), "The time-zone slot must be a number from 0 to 70"},
        {"zone -1", With("--zone", "-1"), "The time-zone slot must be a number from 0 to 70"},
        {"zone text", With("--zone", "CET"), "The time-zone slot must be a number from 0 to 70"},
        {"lat E", With("--lat", "28:37E"), "The latitude direction must be N or S"},
        {"lon N", With("--lon", "77:13N"), "The longitude direction must be E or W"},
        {"lat without colon", With("--lat", "28N"), "Malformed latitude \"28N\" (expected DEG:MIN followed by N or S)"},
        {"format", With("--format", "xml"), "Unknown format \"xml\" (expected json or text)"},
        // Only a name that opens again as a reading is saved as one.
        {"reading as .txt", With("--save-reading", "chart.txt"),
         "A reading's file name must end in .qvn, as only such files open as readings: \"chart.txt\""},
        {"reading as .QVN", With("--save-reading", "chart.QVN"),
         "A reading's file name must end in .qvn, as only such files open as readings: \"chart.QVN\""},
        {"reading without a dot", With("--save-reading", "chartqvn"),
         "A reading's file name must end in .qvn, as only such files open as readings: \"chartqvn\""},
        // Texts that would reach a terminal or break a reading's lines.
        {"escape in the name", With("--name", "Asha\x1b]0;owned\x07"), ControlCharacterIn("name")},
        {"line break in the city", With("--city", "New\r\nDelhi"), ControlCharacterIn("city")},
        {"tab in the state", With("--state", "Del\thi"), ControlCharacterIn("state")},
        {"C1 control in the country",
         With("--country",
              "In\xc2\x9b"
              "dia"),
         ControlCharacterIn("country")},
        {"DEL in the name", With("--name", "As\x7fha"), ControlCharacterIn("name")},
        // The command line itself.
        {"unknown option", Plus(Good(), {"--colour"}), "Unknown option \"--colour\" (see --help)"},
        {"stray word", Plus(Good(), {"extra"}), "Unexpected argument \"extra\" (see --help)"},
        {"value missing at end", Plus(Good(), {"--format"}), "Option --format needs a value: json|text"},
        {"value swallowed by next option", Plus({"--city"}, {"--name", "Asha"}), "Option --city needs a value: TEXT"},
        {"flag with value", Plus(Good(), {"--dst=yes"}), "Option --dst takes no value"},
        // Several faults: the first in order wins.
        {"date before name", With({{"--date", "x"}, {"--name", nullptr}}),
         "Malformed date \"x\" (expected YYYY-MM-DD)"},
        {"name before city", With({{"--name", ""}, {"--city", ""}}), "Please Enter Your Name"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.args), c.message) << c.what;
}

TEST(ReportOptions, AcceptedForms) {
    struct Case {
        const char* what;
        Args args;
        int month, day, year, hour, minute, zone, latSouth, lonEast;
        bool dst;
    };
    const Case cases[] = {
        {"as given", Good(), 5, 14, 74, 14, 30, 34, 0, 0, false},
        {"lower-case directions", With({{"--lat", "33:52s"}, {"--lon", "151:12e"}}), 5, 14, 74, 14, 30, 34, 1, 0,
         false},
        {"29 Feb 2000 with dst", Plus(With("--date", "2000-02-29"), {"--dst"}), 1, 28, 99, 14, 30, 34, 0, 0, true},
        {"equals form, one-digit hour", Plus(With("--time", nullptr), {"--time=7:05"}), 5, 14, 74, 7, 5, 34, 0, 0,
         false},
        {"west, slot 0, edges of the range",
         With({{"--lon", "0:0W"}, {"--zone", "0"}, {"--date", "2050-12-31"}, {"--time", "23:59"}}), 11, 30, 149, 23, 59,
         0, 0, 1, false},
    };
    for (const auto& c : cases) {
        const auto r = ParseReportOptions(c.args);
        const auto* o = std::get_if<ReportOptions>(&r);
        ASSERT_NE(o, nullptr) << c.what << ": " << std::get<OptionError>(r).message;
        EXPECT_EQ(o->form.cboMonth, c.month) << c.what;
        EXPECT_EQ(o->form.cboDate, c.day) << c.what;
        EXPECT_EQ(o->form.cboYear, c.year) << c.what;
        EXPECT_EQ(o->form.cboHour, c.hour) << c.what;
        EXPECT_EQ(o->form.cboMinute, c.minute) << c.what;
        EXPECT_EQ(o->form.cboTimeZone, c.zone) << c.what;
        EXPECT_EQ(o->form.optLatSouth, c.latSouth) << c.what;
        EXPECT_EQ(o->form.optLongEast, c.lonEast) << c.what;
        EXPECT_EQ(o->form.chkDST, c.dst) << c.what;
    }
}

TEST(ReportOptions, AnOptionGivenTwiceIsRefused) {
    // Every option, in both spellings; flags too, and the same value again.
    const std::pair<std::string, const char*> options[] = {
        {"--name", "Asha"},          {"--date", "1975-06-15"}, {"--time", "14:30"},  {"--zone", "34"},
        {"--lat", "28:37N"},         {"--lon", "77:13E"},      {"--dst", nullptr},   {"--city", "Delhi"},
        {"--state", "Delhi"},        {"--country", "India"},   {"--format", "json"}, {"--reading", "a.qvn"},
        {"--save-reading", "a.qvn"}, {"--stations", nullptr},  {"--batch", "a.csv"}, {"--jobs", "2"},
    };
    for (const auto& [option, value] : options) {
        const Args once = value ? Args{option, value} : Args{option};
        const Args inlined = value ? Args{option + "=" + value} : Args{option};
        for (const Args& again : {once, inlined}) {
            Args twice = once;
            twice.insert(twice.end(), again.begin(), again.end());
            EXPECT_EQ(ErrorOf(twice), option + " is given twice") << option;
        }
    }
    EXPECT_EQ(ErrorOf(Plus(Good(), {"--date", "1975-06-16"})), "--date is given twice");
}

TEST(ReportOptions, HelpWinsOverEverythingElse) {
    for (const Args& a : {Args{"--help"}, Args{"--bogus", "--help"}, Args{"--name", "x", "--help"}}) {
        const auto r = ParseReportOptions(a);
        ASSERT_TRUE(std::holds_alternative<ReportOptions>(r));
        EXPECT_TRUE(std::get<ReportOptions>(r).help);
    }
}

TEST(ReportOptions, OddInputIsRefusedWithAMessage) {
    const Args odd[] = {{},
                        {""},
                        {"--"},
                        {"-"},
                        {"--="},
                        {"--lat"},
                        {"--lat", ""},
                        {"--lat", ":"},
                        {"--lat", "N"},
                        {"--date", "\xff\xfe"},
                        {"--zone", "99999999999999999999"},
                        {"--time", ":"},
                        {"--name", std::string("a\0b", 3)}};
    for (const Args& a : odd) {
        const auto r = ParseReportOptions(a);
        ASSERT_TRUE(std::holds_alternative<OptionError>(r)) << testing::PrintToString(a);
        EXPECT_FALSE(std::get<OptionError>(r).message.empty()) << testing::PrintToString(a);
    }
}

}  // namespace
}  // namespace qv::report
