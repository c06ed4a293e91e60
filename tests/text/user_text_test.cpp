#include <gtest/gtest.h>

#include <string>

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
