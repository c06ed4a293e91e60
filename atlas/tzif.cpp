#include "atlas/tzif.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <limits>
#include <utility>

namespace qv {

namespace {

constexpr std::int64_t kDay = 86400;
// Offsets beyond ±26 h belong to no place on Earth; a file that has one is damaged.
constexpr std::int32_t kMaxOffset = 26 * 3600;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12, day may run past the month).
std::int64_t DaysFromCivil(int year, int month, int day) {
    using namespace std::chrono;
    const sys_days first{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} / 1};
    return first.time_since_epoch().count() + day - 1;
}

bool IsLeapYear(int year) { return std::chrono::year{year}.is_leap(); }

// Calendar year of an instant, seconds since 1970 UTC; clamped to ±30,000 years.
int YearOf(std::int64_t t) {
    using namespace std::chrono;
    constexpr std::int64_t kLimit = 30000LL * 366 * kDay;
    t = std::clamp(t, -kLimit, kLimit);
    const sys_days d{days{t >= 0 ? t / kDay : (t - kDay + 1) / kDay}};
    return static_cast<int>(year_month_day{d}.year());
}

// Day of a POSIX rule in a year. Days since 1970-01-01.
std::int64_t RuleDay(const PosixRuleDay& r, int year) {
    using Kind = PosixRuleDay::Kind;
    const std::int64_t jan1 = DaysFromCivil(year, 1, 1);
    if (r.kind == Kind::Julian) return jan1 + r.day - 1 + (IsLeapYear(year) && r.day >= 60 ? 1 : 0);
    if (r.kind == Kind::ZeroBased) return jan1 + r.day;
    const std::int64_t first = DaysFromCivil(year, r.month, 1);
    const std::int64_t next = r.month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, r.month + 1, 1);
    // 1970-01-01 was a Thursday (weekday 4).
    const int firstWeekday = static_cast<int>(((first % 7) + 7 + 4) % 7);
    std::int64_t d = first + (r.weekday - firstWeekday + 7) % 7 + 7 * (r.week - 1);
    while (d >= next) d -= 7;
    return d;
}

// Big-endian reader over the file's bytes; any read past the end clears ok.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }
    bool Has(std::uint64_t n) const { return ok_ && n <= bytes_.size() - pos_; }
    std::string_view Take(std::uint64_t n) {
        if (!Has(n)) {
            ok_ = false;
            return {};
        }
        const std::string_view s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    std::uint64_t Unsigned(int size) {
        std::uint64_t v = 0;
        for (unsigned char c : Take(size)) v = (v << 8) | c;
        return v;
    }
    std::int64_t Signed(int size) {
        const std::uint64_t u = Unsigned(size);
        if (size == 8) return static_cast<std::int64_t>(u);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct TzifCounts {
    std::uint64_t isut = 0, isstd = 0, leap = 0, time = 0, type = 0, chars = 0;
};

TzifCounts ReadCounts(ByteReader& in) {
    TzifCounts c;
    for (std::uint64_t* field : {&c.isut, &c.isstd, &c.leap, &c.time, &c.type, &c.chars}) *field = in.Unsigned(4);
    return c;
}

// Bytes of a data block whose transition times are timeSize bytes long.
std::uint64_t BlockSize(const TzifCounts& c, int timeSize) {
    return c.time * timeSize + c.time + c.type * 6 + c.chars + c.leap * (timeSize + 4) + c.isstd + c.isut;
}

struct Block {
    std::vector<std::int64_t> transitions;
    std::vector<std::uint8_t> typeIndex;
    std::vector<LocalTimeType> types;
};

// One data block; the caller has checked that it lies inside the file.
std::string ReadBlock(ByteReader& in, const TzifCounts& c, int timeSize, Block& out) {
    if (c.type == 0 || c.type > 256 || c.chars == 0) return "it lists no local time types";
    if ((c.isstd != 0 && c.isstd != c.type) || (c.isut != 0 && c.isut != c.type))
        return "its standard/UT indicator counts do not match its types";
    out.transitions.reserve(c.time);
    for (std::uint64_t i = 0; i < c.time; ++i) {
        out.transitions.push_back(in.Signed(timeSize));
        if (i > 0 && out.transitions[i] <= out.transitions[i - 1]) return "its transition times are out of order";
    }
    const std::string_view indices = in.Take(c.time);
    for (unsigned char idx : indices) {
        if (idx >= c.type) return "a transition names a local time type that does not exist";
        out.typeIndex.push_back(idx);
    }
    struct RawType {
        std::int64_t offset;
        std::uint64_t dst, abbr;
    };
    std::vector<RawType> raw(c.type);
    for (auto& t : raw) t = {in.Signed(4), in.Unsigned(1), in.Unsigned(1)};
    const std::string_view chars = in.Take(c.chars);
    for (const auto& t : raw) {
        if (t.offset <= -kMaxOffset || t.offset >= kMaxOffset) return "a UTC offset is out of range";
        if (t.dst > 1 || t.abbr >= c.chars) return "a local time type is damaged";
        const std::size_t end = chars.find('\0', t.abbr);
        if (end == std::string_view::npos) return "an abbreviation is not terminated";
        out.types.push_back(
            {static_cast<std::int32_t>(t.offset), t.dst == 1, std::string(chars.substr(t.abbr, end - t.abbr))});
    }
    in.Take(c.leap * (timeSize + 4) + c.isstd + c.isut);  // leap seconds and indicators: not used
    return {};
}

// --- POSIX TZ strings ------------------------------------------------------

class TzText {
public:
    explicit TzText(std::string_view s) : s_(s) {}
    bool AtEnd() const { return pos_ == s_.size(); }
    char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    // "<+0530>" or three or more letters.
    std::optional<std::string> Name() {
        const std::size_t start = pos_;
        if (Eat('<')) {
            while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '+' || Peek() == '-'))
                ++pos_;
            const std::string name(s_.substr(start + 1, pos_ - start - 1));
            if (!Eat('>') || name.size() < 3) return std::nullopt;
            return name;
        }
        while (!AtEnd() && std::isalpha(static_cast<unsigned char>(Peek()))) ++pos_;
        if (pos_ - start < 3) return std::nullopt;
        return std::string(s_.substr(start, pos_ - start));
    }
    // Unsigned decimal number of at most 3 digits.
    std::optional<int> Number() {
        int v = 0, digits = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek())) && digits < 3) {
            v = v * 10 + (s_[pos_++] - '0');
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        return v;
    }
    // [+-]hh[:mm[:ss]] in seconds, hours at most maxHours.
    std::optional<std::int32_t> Time(int maxHours) {
        int sign = 1;
        if (Eat('-'))
            sign = -1;
        else
            Eat('+');
        const auto h = Number();
        if (!h || *h > maxHours) return std::nullopt;
        std::int32_t v = *h * 3600;
        for (int unit : {60, 1}) {
            if (!Eat(':')) break;
            const auto part = Number();
            if (!part || *part > 59) return std::nullopt;
            v += *part * unit;
        }
        return sign * v;
    }
    std::optional<PosixRuleDay> Day() {
        PosixRuleDay d;
        if (Eat('J')) {
            d.kind = PosixRuleDay::Kind::Julian;
            const auto n = Number();
            if (!n || *n < 1 || *n > 365) return std::nullopt;
            d.day = *n;
        } else if (Eat('M')) {
            int* fields[] = {&d.month, &d.week, &d.weekday};
            for (int i = 0; i < 3; ++i) {
                const auto n = (i == 0 || Eat('.')) ? Number() : std::nullopt;
                if (!n) return std::nullopt;
                *fields[i] = *n;
            }
            if (d.month < 1 || d.month > 12 || d.week < 1 || d.week > 5 || d.weekday > 6) return std::nullopt;
        } else {
            d.kind = PosixRuleDay::Kind::ZeroBased;
            const auto n = Number();
            if (!n || *n > 365) return std::nullopt;
            d.day = *n;
        }
        return d;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<PosixTzRule> ParsePosixTz(std::string_view text) {
    TzText in(text);
    PosixTzRule rule;
    const auto stdName = in.Name();
    const auto stdOffset = in.Time(24);  // POSIX offsets count west positive
    if (!stdName || !stdOffset) return std::nullopt;
    rule.standard = {-*stdOffset, false, *stdName};
    if (in.AtEnd()) return rule;

    const auto dstName = in.Name();
    if (!dstName) return std::nullopt;
    std::int32_t dstOffset = rule.standard.utcOffset + 3600;
    if (in.Peek() != ',') {
        const auto t = in.Time(24);
        if (!t) return std::nullopt;
        dstOffset = -*t;
    }
    rule.daylight = LocalTimeType{dstOffset, true, *dstName};
    for (auto [day, time] : {std::pair{&rule.startDay, &rule.startTime}, std::pair{&rule.endDay, &rule.endTime}}) {
        if (!in.Eat(',')) return std::nullopt;
        const auto d = in.Day();
        if (!d) return std::nullopt;
        *day = *d;
        if (in.Eat('/')) {
            const auto t = in.Time(167);
            if (!t) return std::nullopt;
            *time = *t;
        }
    }
    if (!in.AtEnd()) return std::nullopt;
    return rule;
}

std::vector<TimeSegment> PosixTransitions(const PosixTzRule& rule, int first, int last) {
    std::vector<TimeSegment> out;
    if (!rule.daylight) return out;
    for (int y = first; y <= last; ++y) {
        out.push_back({RuleDay(rule.startDay, y) * kDay + rule.startTime - rule.standard.utcOffset, *rule.daylight});
        out.push_back({RuleDay(rule.endDay, y) * kDay + rule.endTime - rule.daylight->utcOffset, rule.standard});
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.start < b.start; });
    // Where one year's end meets the next year's start (daylight time all year)
    // only the later entry holds.
    std::vector<TimeSegment> kept;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (i + 1 == out.size() || out[i + 1].start != out[i].start) kept.push_back(std::move(out[i]));
    return kept;
}

ZoneRules::ZoneRules(std::vector<std::int64_t> transitions, std::vector<std::uint8_t> typeIndex,
                     std::vector<LocalTimeType> types, std::optional<PosixTzRule> footer)
    : transitions_(std::move(transitions)),
      typeIndex_(std::move(typeIndex)),
      types_(std::move(types)),
      footer_(std::move(footer)) {}

namespace {

// Type of a POSIX rule at instant t.
LocalTimeType FooterAt(const PosixTzRule& rule, std::int64_t t) {
    const int y = YearOf(t);
    LocalTimeType in = rule.standard;
    for (const auto& s : PosixTransitions(rule, y - 1, y + 1))
        if (s.start <= t) in = s.type;
    return in;
}

}  // namespace

LocalTimeType ZoneRules::AtUtc(std::int64_t t) const {
    if (transitions_.empty()) return footer_ ? FooterAt(*footer_, t) : types_.front();
    if (t < transitions_.front()) return types_.front();
    if (footer_ && t >= transitions_.back()) return FooterAt(*footer_, t);
    const auto it = std::upper_bound(transitions_.begin(), transitions_.end(), t);
    return types_[typeIndex_[static_cast<std::size_t>(it - transitions_.begin()) - 1]];
}

std::vector<TimeSegment> ZoneRules::Segments(std::int64_t from, std::int64_t to) const {
    std::vector<TimeSegment> out{{from, AtUtc(from)}};
    const auto add = [&out](std::int64_t start, const LocalTimeType& type) {
        if (type != out.back().type) out.push_back({start, type});
    };
    // From here on the POSIX rule speaks, when there is one.
    const std::int64_t footerFrom = !footer_               ? std::numeric_limits<std::int64_t>::max()
                                    : transitions_.empty() ? std::numeric_limits<std::int64_t>::min()
                                                           : transitions_.back();
    for (auto it = std::upper_bound(transitions_.begin(), transitions_.end(), from);
         it != transitions_.end() && *it <= to && *it < footerFrom; ++it)
        add(*it, types_[typeIndex_[static_cast<std::size_t>(it - transitions_.begin())]]);
    if (footer_ && to >= footerFrom) {
        if (footerFrom > from) add(footerFrom, FooterAt(*footer_, footerFrom));
        const std::int64_t begin = std::max(from, footerFrom);
        for (const auto& s : PosixTransitions(*footer_, YearOf(begin) - 1, YearOf(to) + 1))
            if (s.start > begin && s.start <= to) add(s.start, s.type);
    }
    return out;
}

TzifParse ParseTzif(std::string_view bytes) {
    const auto fail = [](std::string why) { return TzifParse{std::nullopt, std::move(why)}; };
    ByteReader in(bytes);
    if (in.Take(4) != "TZif") return fail("it does not start as a TZif file");
    const std::string_view head = in.Take(16);  // version byte and reserved bytes
    TzifCounts counts = ReadCounts(in);
    if (!in.ok()) return fail("it is shorter than its header");
    int timeSize = 4;
    if (head.front() != '\0') {  // version 2 and later: skip the 32-bit block for the 64-bit one
        if (!in.Has(BlockSize(counts, 4))) return fail("it ends inside its data");
        in.Take(BlockSize(counts, 4));
        if (in.Take(4) != "TZif") return fail("its second header is missing");
        in.Take(16);
        counts = ReadCounts(in);
        timeSize = 8;
    }
    if (!in.Has(BlockSize(counts, timeSize))) return fail("it ends inside its data");
    Block block;
    if (const std::string why = ReadBlock(in, counts, timeSize, block); !why.empty()) return fail(why);

    std::optional<PosixTzRule> footer;
    if (timeSize == 8) {
        if (!in.Has(2) || in.Take(1) != "\n") return fail("its closing rule is missing");
        const std::size_t end = bytes.find('\n', in.pos());
        if (end == std::string_view::npos) return fail("its closing rule is not terminated");
        const std::string_view tz = bytes.substr(in.pos(), end - in.pos());
        if (!tz.empty() && !(footer = ParsePosixTz(tz))) return fail("its closing rule is not well formed");
    }
    return {
        ZoneRules(std::move(block.transitions), std::move(block.typeIndex), std::move(block.types), std::move(footer)),
        {}};
}

}  // namespace qv
