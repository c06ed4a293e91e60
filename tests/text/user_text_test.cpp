#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "state/text.h"

namespace qv {
namespace {

struct QuoteCase {
    const char* what;
    std::string in;
    std::string out;
};

class QuoteUserTextTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteUserTextTest, EscapesWhatCouldSteerATerminal) { EXPECT_EQ(QuoteUserText(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Cases, QuoteUserTextTest,
                         ::testing::Values(QuoteCase{"plain", "1850", "\"1850\""}, QuoteCase{"empty", "", "\"\""},
                                           QuoteCase{"escape", "a\x1b[31mb", "\"a\\x1b[31mb\""},
                                           QuoteCase{"line ends and tab", "a\r\n\tb", "\"a\\x0d\\x0a\\x09b\""},
                                           QuoteCase{"nul and delete", std::string("a\0\x7f", 3), "\"a\\x00\\x7f\""},
                                           QuoteCase{"C1 control",
                                                     "a\xc2\x9b"
                                                     "b",
                                                     "\"a\\xc2\\x9bb\""},
                                           QuoteCase{"accents kept", "S\xc3\xa3o Jos\xc3\xa9",
                                                     "\"S\xc3\xa3o Jos\xc3\xa9\""},
                                           QuoteCase{"invalid bytes", "a\xff\xc3", "\"a\\xff\\xc3\""},
                                           QuoteCase{"truncated sequence", "\xe2\x82", "\"\\xe2\\x82\""}),
                         [](const auto& info) {
                             std::string n = info.param.what;
                             for (char& c : n)
                                 if (c == ' ') c = '_';
                             return n;
                         });

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(ParseDigits, PlainDigitsOnlyWithinTheirLength) {
    struct Case {
        std::string_view text;
        std::size_t maxDigits;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 9, 0},   {"007", 3, 7},   {"1975", 4, 1975}, {"999999999", 9, 999999999},
        {"", 9, {}},   {"1234", 3, {}}, {"+1975", 9, {}},  {"-1", 9, {}},
        {" 5", 9, {}}, {"5 ", 9, {}},   {"1e3", 9, {}},    {"1234567890", 12, {}},
        {"٣", 9, {}},  // an Arabic-Indic digit is no ASCII digit
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDigits(c.text, c.maxDigits), c.value) << c.text;
}

TEST(PutUtcOffset, HoursMinutesAndSecondsWhenThereAreAny) {
    struct Case {
        int seconds;
        std::string_view text;
    };
    const Case cases[] = {{0, "+00:00"},        {19800, "+05:30"}, {-18000, "-05:00"}, {9017, "+02:30:17"},
                          {-2079, "-00:34:39"}, {50400, "+14:00"}, {-43200, "-12:00"}, {-1, "-00:00:01"}};
    for (const Case& c : cases) {
        char text[16];
        EXPECT_EQ(std::string_view(text, static_cast<std::size_t>(PutUtcOffset(text, c.seconds) - text)), c.text)
            << c.seconds;
    }
}

TEST(TrimBlanks, BlanksOrTheGivenBytesAtBothEnds) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks(" \ta \t", " \t"), "a");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

}  // namespace
}  // namespace qv
