// A streaming reader of comma-separated records (RFC 4180): fields may be
// quoted, a quoted field may hold commas, line breaks and doubled quotes.
// Lines end in LF, CR LF or a lone CR; a UTF-8 byte-order mark at the very
// start is skipped. Bytes are passed through as they are.
//
// A record that breaks the quoting rules, or grows beyond the size limit, is
// returned with an error and reading resumes on the line after the record's
// first line, so one stray quote costs one record and not the rest of the
// file. When that first line is itself longer than the limit, the input may
// never end (/dev/zero): the record is refused as soon as it passes the limit
// and nothing after it is read. Memory stays bounded, whatever the input.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace qv::report {

// One record as read. `fields` keeps its strings between records so that
// reading reuses their storage; only the first `count` are this record's.
struct CsvRecord {
    std::vector<std::string> fields;
    std::size_t count = 0;
    std::size_t line = 0;  // physical line (from 1) the record starts on
    bool blank = false;    // an empty line: no field at all
    std::string error;     // non-empty: the record breaks the rules, fields unusable

    std::string_view Field(std::size_t k) const { return fields[k]; }

    bool oversized = false;  // held a large record: its storage is given back before the next
};

class CsvReader {
public:
    // Longest record accepted, in bytes of input.
    static constexpr std::size_t kDefaultMaxRecordBytes = 64 * 1024;
    // Most fields a record may have.
    static constexpr std::size_t kMaxFields = 256;

    explicit CsvReader(std::istream& in, std::size_t maxRecordBytes = kDefaultMaxRecordBytes);

    // Reads the next record into `record`; false at the end of the input.
    bool Next(CsvRecord& record);

    // True when the input stream failed for another reason than its end.
    bool ReadFailed() const { return readFailed_; }

    // True once a line longer than the limit has stopped the reading.
    bool Stopped() const { return stopped_; }

private:
    enum class Parse { Done, NeedMore, Malformed };
    // How reading one field ended: read, refused (problem_ says why), or at
    // the end of the room with more input to come.
    enum class Field { Read, Malformed, OutOfRoom };
    Field ReadQuotedField(std::string& field, const char*& p, const char* limit, bool atInputEnd,
                          std::size_t& embeddedBreaks);
    Field ReadPlainField(std::string& field, const char*& p, const char* limit);

    Parse ParseRecord(CsvRecord& record, std::size_t& end);
    bool Refill();
    bool SkipToNextLine();
    void Compact();

    std::istream& in_;
    std::size_t maxRecordBytes_;
    std::string buf_;
    std::size_t pos_ = 0;   // start of the next record in buf_
    std::size_t line_ = 1;  // physical line at pos_
    bool eof_ = false;
    bool readFailed_ = false;
    bool bomChecked_ = false;
    bool stopped_ = false;
    std::string problem_;  // the rule a malformed record broke
};

}  // namespace qv::report
