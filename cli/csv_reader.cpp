#include "cli/csv_reader.h"

#include <algorithm>
#include <cstring>

#include "state/text_room.h"

namespace qv::report {

namespace {

constexpr std::size_t kReadBlock = 256 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A record's field storage is kept for the next record up to this size.
constexpr std::size_t kKeptRecordBytes = 4096;

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Room for `bytes` in a field: a field that outgrows its storage grows at
// once to the room of a typed text, so that reused records stop growing.
void MakeRoom(std::string& field, std::size_t bytes) {
    if (bytes > field.capacity()) field.reserve(std::max(bytes, kTypedTextRoom));
}

// Physical line breaks in [p, end): LF, CR LF and lone CR each count once.
std::size_t CountLineBreaks(const char* p, const char* end) {
    std::size_t n = 0;
    for (; p < end; ++p) {
        if (*p == '\n')
            ++n;
        else if (*p == '\r' && (p + 1 == end || p[1] != '\n'))
            ++n;
    }
    return n;
}

}  // namespace

CsvReader::CsvReader(std::istream& in, std::size_t maxRecordBytes)
    : in_(in), maxRecordBytes_(std::max<std::size_t>(maxRecordBytes, 1)) {}

void CsvReader::Compact() {
    if (pos_ == 0) return;
    buf_.erase(0, pos_);
    pos_ = 0;
}

bool CsvReader::Refill() {
    if (eof_) return false;
    Compact();
    const std::size_t old = buf_.size();
    buf_.resize(old + kReadBlock);
    in_.read(buf_.data() + old, static_cast<std::streamsize>(kReadBlock));
    const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0));
    buf_.resize(old + got);
    if (!in_) {
        eof_ = true;
        if (in_.bad() || !in_.eof()) readFailed_ = true;
    }
    return got > 0;
}

// Parses the record at pos_. On Done, `end` is the offset just past its line
// end (or the end of the input) and line_ has not moved yet.
// A quoted field from `p` (at its opening quote) into `field`: doubled
// quotes stand for one, line breaks inside count for the line numbers. `p`
// ends after the closing quote.
CsvReader::Field CsvReader::ReadQuotedField(std::string& field, const char*& p, const char* limit, bool atInputEnd,
                                            std::size_t& embeddedBreaks) {
    ++p;
    field.clear();
    for (;;) {
        const auto* q = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(limit - p)));
        if (!q) {
            if (!atInputEnd) return Field::OutOfRoom;
            problem_ = "A quoted field is not closed";
            return Field::Malformed;
        }
        embeddedBreaks += CountLineBreaks(p, q);
        MakeRoom(field, field.size() + static_cast<std::size_t>(q - p) + 1);
        field.append(p, q);
        p = q + 1;
        if (p == limit) return atInputEnd ? Field::Read : Field::OutOfRoom;  // closed at the end of the input
        if (*p != '"') break;
        field.push_back('"');
        ++p;
    }
    if (p < limit && *p != ',' && !IsLineEnd(*p)) {
        problem_ = "Text follows the closing quote of a field";
        return Field::Malformed;
    }
    return Field::Read;
}

// A field without quotes from `p` up to a comma, a line end or `limit`.
CsvReader::Field CsvReader::ReadPlainField(std::string& field, const char*& p, const char* limit) {
    const char* q = p;
    while (q < limit && *q != ',' && *q != '"' && !IsLineEnd(*q)) ++q;
    if (q < limit && *q == '"') {
        problem_ = "A quote stands inside a field that does not start with one";
        return Field::Malformed;
    }
    MakeRoom(field, static_cast<std::size_t>(q - p));
    field.assign(p, q);
    p = q;
    return Field::Read;
}

CsvReader::Parse CsvReader::ParseRecord(CsvRecord& record, std::size_t& end) {
    const char* const base = buf_.data();
    const char* p = base + pos_;
    // Room for the longest record and its line end.
    const std::size_t room = std::min(buf_.size() - pos_, maxRecordBytes_ + 2);
    const char* const limit = p + room;
    const bool limitIsInputEnd = limit == base + buf_.size();
    // Reached `limit` with the record still open: beyond the size limit the
    // record is refused, otherwise more input is needed.
    auto tooLong = [&]() {
        problem_ = "The row is longer than " + std::to_string(maxRecordBytes_) + " bytes";
        return Parse::Malformed;
    };
    auto outOfRoom = [&]() { return limitIsInputEnd ? Parse::NeedMore : tooLong(); };
    const bool atInputEnd = limitIsInputEnd && eof_;

    if (record.oversized) {
        record.fields = {};
        record.oversized = false;
    }
    record.count = 0;
    record.blank = p < limit && IsLineEnd(*p);
    record.error.clear();
    std::size_t embeddedBreaks = 0;

    for (;;) {
        if (record.count == CsvReader::kMaxFields) {
            problem_ = "The row has more than " + std::to_string(kMaxFields) + " fields";
            return Parse::Malformed;
        }
        if (record.count == record.fields.size()) record.fields.emplace_back();
        std::string& field = record.fields[record.count++];
        const Field read = p < limit && *p == '"' ? ReadQuotedField(field, p, limit, atInputEnd, embeddedBreaks)
                                                  : ReadPlainField(field, p, limit);
        if (read == Field::Malformed) return Parse::Malformed;
        if (read == Field::OutOfRoom) return outOfRoom();

        // p is at a comma, a line end, or the limit.
        if (p == limit) {
            if (!atInputEnd) return outOfRoom();
            if (buf_.size() - pos_ > maxRecordBytes_) return tooLong();
            end = buf_.size();
            line_ += embeddedBreaks;
            return Parse::Done;
        }
        if (*p == ',') {
            ++p;
            continue;
        }
        // A line end: CR LF needs to see the byte after the CR.
        const std::size_t length = static_cast<std::size_t>(p - base) - pos_;
        if (*p == '\r') {
            if (p + 1 == limit && !atInputEnd) return outOfRoom();
            if (p + 1 < limit && p[1] == '\n') ++p;
        }
        ++p;
        if (length > maxRecordBytes_) return tooLong();
        end = static_cast<std::size_t>(p - base);
        line_ += embeddedBreaks;
        return Parse::Done;
    }
}

// Moves pos_ past the line on which the record at pos_ starts. False when
// that line is longer than the limit; pos_ then stands just past the limit.
bool CsvReader::SkipToNextLine() {
    std::size_t scanned = 0;  // bytes of the line passed so far
    for (;;) {
        const std::size_t window = std::min(buf_.size() - pos_, maxRecordBytes_ + 1 - scanned);
        const auto begin = buf_.begin() + static_cast<std::ptrdiff_t>(pos_);
        const auto it = std::find_if(begin, begin + static_cast<std::ptrdiff_t>(window), IsLineEnd);
        if (it != begin + static_cast<std::ptrdiff_t>(window)) {
            std::size_t at = static_cast<std::size_t>(it - buf_.begin());
            if (buf_[at] == '\r') {
                if (at + 1 == buf_.size() && !eof_) {
                    pos_ = at;  // keep the CR, look at what follows
                    Refill();
                    at = pos_;
                }
                if (at + 1 < buf_.size() && buf_[at + 1] == '\n') ++at;
            }
            pos_ = at + 1;
            ++line_;
            return true;
        }
        scanned += window;
        pos_ += window;
        if (scanned > maxRecordBytes_) return false;
        if (pos_ == buf_.size() && !Refill()) return true;  // the input ends within the line
    }
}

bool CsvReader::Next(CsvRecord& record) {
    if (!bomChecked_) {
        while (buf_.size() - pos_ < kByteOrderMark.size() && Refill()) {}
        if (std::string_view(buf_).substr(pos_).starts_with(kByteOrderMark)) pos_ += kByteOrderMark.size();
        bomChecked_ = true;
    }
    for (;;) {
        if (stopped_) return false;
        if (pos_ >= buf_.size() && !Refill()) return false;
        std::size_t end = 0;
        const std::size_t startLine = line_;
        switch (ParseRecord(record, end)) {
            case Parse::Done:
                record.line = startLine;
                record.oversized = end - pos_ > kKeptRecordBytes;
                if (end > pos_ && IsLineEnd(buf_[end - 1])) ++line_;
                pos_ = end;
                return true;
            case Parse::NeedMore:
                Refill();  // at the end of the input the next parse completes
                continue;
            case Parse::Malformed:
                record.line = startLine;
                record.oversized = true;
                record.error = problem_;
                record.count = 0;
                if (!SkipToNextLine()) {
                    stopped_ = true;
                    record.error = "The row is longer than " + std::to_string(maxRecordBytes_) +
                                   " bytes; the rest of the input is not read";
                }
                return true;
        }
    }
}

}  // namespace qv::report
