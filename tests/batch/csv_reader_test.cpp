#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/csv_reader.h"

namespace qv::report {
namespace {

// A record as the tests spell it: its fields, or "!" + the error, or "<blank>".
using Fields = std::vector<std::string>;

std::vector<Fields> ReadAll(const std::string& text, std::size_t maxRecord = CsvReader::kDefaultMaxRecordBytes,
                            std::vector<std::size_t>* lines = nullptr) {
    std::istringstream in(text);
    CsvReader reader(in, maxRecord);
    CsvRecord record;
    std::vector<Fields> out;
    while (reader.Next(record)) {
        if (lines) lines->push_back(record.line);
        if (!record.error.empty())
            out.push_back({"!" + record.error});
        else if (record.blank)
            out.push_back({"<blank>"});
        else
            out.emplace_back(record.fields.begin(), record.fields.begin() + static_cast<long>(record.count));
    }
    EXPECT_FALSE(reader.ReadFailed());
    return out;
}

const std::string kQuoteInside = "!A quote stands inside a field that does not start with one";
const std::string kAfterQuote = "!Text follows the closing quote of a field";
const std::string kUnclosed = "!A quoted field is not closed";

TEST(CsvReader, Rfc4180Records) {
    struct Case {
        const char* what;
        std::string in;
        std::vector<Fields> records;
    };
    const Case cases[] = {
        {"plain, LF", "a,b,c\nd,e,f\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
        {"CR LF", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"lone CR", "a,b\rc,d", {{"a", "b"}, {"c", "d"}}},
        {"no final line break", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"empty fields", ",a,,\n", {{"", "a", "", ""}}},
        {"quoted comma", "\"x,y\",z\n", {{"x,y", "z"}}},
        {"doubled quotes", "\"say \"\"hi\"\"\",\"\"\"\"\n", {{"say \"hi\"", "\""}}},
        {"empty quoted", "\"\",a\n", {{"", "a"}}},
        {"quoted LF", "\"two\nlines\",x\nnext,y\n", {{"two\nlines", "x"}, {"next", "y"}}},
        {"quoted CR LF kept", "\"a\r\nb\",c\r\n", {{"a\r\nb", "c"}}},
        {"quote closed at end of input", "a,\"b\"", {{"a", "b"}}},
        {"blanks are data", " a , b \n", {{" a ", " b "}}},
        {"UTF-8 passes through", "Zoë,Québec\n", {{"Zoë", "Québec"}}},
        {"byte-order mark skipped",
         "\xEF\xBB\xBF"
         "a,b\n",
         {{"a", "b"}}},
        {"mark only at the start",
         "a\n\xEF\xBB\xBF"
         "b\n",
         {{"a"},
          {"\xEF\xBB\xBF"
           "b"}}},
        {"empty line", "a\n\nb\n", {{"a"}, {"<blank>"}, {"b"}}},
        {"empty CR LF line", "a\r\n\r\nb\r\n", {{"a"}, {"<blank>"}, {"b"}}},
        {"nothing", "", {}},
        {"one line break", "\n", {{"<blank>"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(c.in), c.records) << c.what;
}

TEST(CsvReader, BrokenRecordsCostOneRowAndReadingGoesOn) {
    struct Case {
        const char* what;
        std::string in;
        std::vector<Fields> records;
    };
    const Case cases[] = {
        {"quote inside a field", "a,b\"c,d\ne,f\n", {{kQuoteInside}, {"e", "f"}}},
        {"text after the closing quote", "\"a\"b,c\nd\n", {{kAfterQuote}, {"d"}}},
        {"unclosed quote at the end", "a\n\"b,c\n", {{"a"}, {kUnclosed}}},
        // The open quote would swallow the following lines; they come back.
        {"unclosed quote mid-file", "\"open,1\nx,2\ny,3\n", {{kUnclosed}, {"x", "2"}, {"y", "3"}}},
        // A later quote closes the field, then the rest breaks the rule: the
        // lines after the first come back as records.
        {"quote closed by a later row", "\"open,1\nx,2\n\"q\",3\n", {{kAfterQuote}, {"x", "2"}, {"q", "3"}}},
        {"broken then CR LF", "a\"b\r\nc\r\n", {{kQuoteInside}, {"c"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(c.in), c.records) << c.what;
}

// A record past the limit is refused; reading goes on after its first line
// only when that line itself keeps to the limit, since an over-long line
// may never end.
TEST(CsvReader, RecordsBeyondTheLimitAreRefused) {
    const std::string tooLong = "!The row is longer than 16 bytes";
    const std::string stop = tooLong + "; the rest of the input is not read";
    struct Case {
        const char* what;
        std::string in;
        std::vector<Fields> records;
    };
    const Case cases[] = {
        {"fits", "0123456789,12345\nb\n", {{"0123456789", "12345"}, {"b"}}},
        {"fits with CR LF", "0123456789,12345\r\nb", {{"0123456789", "12345"}, {"b"}}},
        {"one byte over", "0123456789,123456\nb\n", {{stop}}},
        {"one byte over at the end", "b\n0123456789,123456", {{"b"}, {stop}}},
        {"long line", "0123456789,0123456789\nb\n", {{stop}}},
        {"stray quote on a long line", "a\"0123456789012345\nb\n", {{stop}}},
        {"long quoted field over short lines", "\"0123456789\n0123456789\"\nb\n", {{tooLong}, {kQuoteInside}, {"b"}}},
        {"long last line", "a\n0123456789012345678901234567890123456789", {{"a"}, {stop}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(c.in, 16), c.records) << c.what;
}

TEST(CsvReader, TooManyFields) {
    const std::string many(CsvReader::kMaxFields, ',');  // one field more than allowed
    const std::string most(CsvReader::kMaxFields - 1, ',');
    const auto records = ReadAll(many + "\n" + most + "\nend\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], Fields{"!The row has more than 256 fields"});
    EXPECT_EQ(records[1].size(), CsvReader::kMaxFields);
    EXPECT_EQ(records[2], Fields{"end"});
}

TEST(CsvReader, LinesOfRecords) {
    std::vector<std::size_t> lines;
    ReadAll("a\n\"b\nc\"\n\nd\r\n\"e\n", CsvReader::kDefaultMaxRecordBytes, &lines);
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 4, 5, 6}));
}

// Records cross the reader's internal blocks wherever they fall.
TEST(CsvReader, LargeInputAcrossBlocks) {
    std::string text;
    std::vector<Fields> expected;
    for (int k = 0; k < 40000; ++k) {
        const std::string a = std::to_string(k);
        text += a + ",\"" + std::string(static_cast<std::size_t>(k % 13), 'x') + ",\"\"\n" + a + "\"\r\n";
        expected.push_back({a, std::string(static_cast<std::size_t>(k % 13), 'x') + ",\"\n" + a});
    }
    EXPECT_EQ(ReadAll(text), expected);
}

TEST(CsvReader, FieldStorageIsReused) {
    std::istringstream in("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa,b\nc\n");
    CsvReader reader(in);
    CsvRecord record;
    ASSERT_TRUE(reader.Next(record));
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.count, 1u);
    EXPECT_EQ(record.Field(0), "c");
    EXPECT_FALSE(reader.Next(record));
}

}  // namespace
}  // namespace qv::report
