#include "chart/chart_moment.h"

#include <chrono>
#include <vector>

#include "analysis/elements.h"
#include "astro/universal_time.h"
#include "atlas/zone_at.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv {

namespace {

using namespace std::chrono;

void AppendPadded(std::string& out, long value, int width) {
    char digits[16];
    out.append(digits, PutZeroPadded(digits, value, width));
}

void AppendDate(std::string& out, const LocalDateTime& t) {
    AppendPadded(out, t.year, 4);
    out += '-';
    AppendPadded(out, t.month, 2);
    out += '-';
    AppendPadded(out, t.day, 2);
}

void AppendHourMinute(std::string& out, int hour, int minute) {
    AppendPadded(out, hour, 2);
    out += ':';
    AppendPadded(out, minute, 2);
}

// "16:06" on the date of the window's clock time, "1962-06-16 00:00" on another.
std::string ClockText(const WindowClock& c, int minute) {
    const LocalDateTime t = c.At(minute).local;
    const TimeWindow& w = c.window();
    std::string out;
    if (t.year != w.clock.year || t.month != w.clock.month || t.day != w.clock.day) {
        AppendDate(out, t);
        out += ' ';
    }
    AppendHourMinute(out, t.hour, t.minute);
    return out;
}

// "1962-06-15T13:53".
std::string IsoClock(const WindowClock& c, int minute) {
    const LocalDateTime t = c.At(minute).local;
    std::string out;
    AppendDate(out, t);
    out += 'T';
    AppendHourMinute(out, t.hour, t.minute);
    return out;
}

// " (UTC+2:00, after the clocks changed)" for an edge on another offset
// than the chart's, else nothing.
std::string AcrossChange(const WindowClock& c, int minute, bool later) {
    const std::int32_t offset = c.At(minute).utcOffset;
    if (offset == c.window().utcOffsetSeconds) return {};
    return " (" + FormatUtcOffset(offset) + (later ? ", after" : ", before") + " the clocks changed)";
}

// The words for the end of the dates the program calculates.
constexpr std::string_view kDatesBegin = "the dates the program calculates begin";
constexpr std::string_view kDatesEnd = "the dates the program calculates end";

bool IsMark(std::size_t part) { return part >= kFirstMarkPart; }

std::string_view BodyOfPart(std::size_t part) {
    if (IsMark(part)) return kBodyNames[2 + part - kFirstMarkPart];
    return part == kAscendantSlot ? std::string_view("ascendant") : kBodyNames[part];
}

std::string_view SignName(int sign) {
    return sign >= 0 && sign < 12 ? kSignNames[static_cast<std::size_t>(sign)] : std::string_view("no sign");
}

// "ascendant in Libra", "Mercury retrograde".
std::string PartState(std::size_t part, int value) {
    std::string out(BodyOfPart(part));
    if (IsMark(part)) return out + (value ? " retrograde" : " direct");
    return out + " in " + std::string(SignName(value));
}

// "the ascendant enters Scorpio", "Mercury turns retrograde".
std::string PartEvent(std::size_t part, int value) {
    const bool article = !IsMark(part) && (part == kAscendantSlot || part <= kMoonSlot);
    std::string out = article ? "the " : "";
    out += BodyOfPart(part);
    if (IsMark(part)) return out + (value ? " turns retrograde" : " turns direct");
    return out + " enters " + std::string(SignName(value));
}

// The parts whose change ends the window on one side.
std::vector<std::size_t> EndingParts(const TimeWindow& w, bool later) {
    std::vector<std::size_t> parts;
    for (std::size_t p = 0; p < kFacePartCount; ++p) {
        const auto& change = later ? w.nextChange[p] : w.lastChange[p];
        if (change && change->minute == (later ? w.last + 1 : w.first)) parts.push_back(p);
    }
    return parts;
}

std::string Joined(const std::vector<std::string>& items, std::string_view between) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += between;
        out += item;
    }
    return out;
}

// "ascendant in Virgo" for the chart one minute beyond a side.
std::string BeyondSide(const TimeWindow& w, bool later) {
    if (later ? w.laterCut : w.earlierCut) return std::string(later ? kDatesEnd : kDatesBegin) + " there";
    if (later ? w.laterOpen : w.earlierOpen) return "no change within 24 hours";
    std::vector<std::string> states;
    for (std::size_t p : EndingParts(w, later)) states.push_back(PartState(p, FacePart(later ? w.after : w.before, p)));
    return Joined(states, ", ");
}

std::string KnownTimeLine(const WindowClock& c) {
    const TimeWindow& w = c.window();
    std::string out = "Same chart for births from " + ClockText(c, w.first) + AcrossChange(c, w.first, false);
    if (w.earlierOpen && !w.earlierCut) out += " or earlier";
    out += " to " + ClockText(c, w.last) + AcrossChange(c, w.last, true);
    if (w.laterOpen && !w.laterCut) out += " or later";
    std::vector<std::string> held;
    for (bool later : {false, true})
        for (std::size_t p : EndingParts(w, later)) {
            std::string state = PartState(p, FacePart(w.face, p));
            bool seen = false;
            for (const std::string& h : held) seen = seen || h == state;
            if (!seen) held.push_back(std::move(state));
        }
    if (!held.empty()) out += " (" + Joined(held, ", ") + ")";
    out += ". Earlier: " + BeyondSide(w, false) + "; later: " + BeyondSide(w, true) + ".";
    return out;
}

std::string UnknownTimeLine(const WindowClock& c) {
    const TimeWindow& w = c.window();
    std::string out =
        "Birth time unknown: the ascendant, the houses and the house types are drawn for 12:00 and not known.";
    const int dayStart = -(w.clock.hour * 60 + w.clock.minute);
    const int dayEnd = dayStart + 24 * 60 - 1;
    std::vector<std::string> changes;
    for (std::size_t p = 0; p < kAscendantSlot; ++p)
        for (const auto& change : {w.lastChange[p], w.nextChange[p]})
            if (change && change->minute > dayStart && change->minute <= dayEnd)
                changes.push_back(PartState(p, change->before) + " until " + ClockText(c, change->minute - 1) +
                                  ", in " + std::string(SignName(change->after)) + " from " +
                                  ClockText(c, change->minute));
    if (changes.empty()) return out + " Every body keeps its sign all day.";
    return out + " During the day: " + Joined(changes, "; ") + ".";
}

}  // namespace

std::string BirthMomentLine(const ChartState& s) {
    const EngineInput& in = s.ChartMoment;
    const BirthClockName clock = NameBirthClock(s.ZoneSlot, s.DaylightSaving, s.BirthExactClock);
    std::string out;
    AppendHourMinute(out, in.local.hour, in.local.minute);
    if (!s.BirthTimeKnown) out += " (birth time unknown)";
    if (!clock.name.empty()) {
        out += ' ';
        out += clock.name;
        if (clock.daylightSaving) out += ", DST";
    }
    out += " (" + FormatUtcOffset(clock.utcOffsetSeconds) + ") = ";
    // To the second when the clock's offset has seconds (a local mean time).
    const sys_seconds universal = UniversalSecond(in);
    const sys_days universalDay = floor<days>(universal);
    const hh_mm_ss<seconds> time{universal - universalDay};
    AppendHourMinute(out, static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    if (clock.utcOffsetSeconds % 60 != 0) {
        out += ':';
        AppendPadded(out, static_cast<long>(time.seconds().count()), 2);
    }
    out += " UT";
    const sys_days localDay{year_month_day{year{in.local.year}, month{static_cast<unsigned>(in.local.month)},
                                           day{static_cast<unsigned>(in.local.day)}}};
    if (universalDay < localDay) out += " the day before";
    if (universalDay > localDay) out += " the next day";
    out += " \u00b7 ";
    out += std::to_string(s.LatDegrees) + "\u00b0";
    AppendPadded(out, s.LatMinutes, 2);
    out += s.LatSouth ? "\u2032S " : "\u2032N ";
    out += std::to_string(s.LonDegrees) + "\u00b0";
    AppendPadded(out, s.LonMinutes, 2);
    out += s.LonEast ? "\u2032E" : "\u2032W";
    return out;
}

std::string WindowEdgeEvent(const TimeWindow& w, bool later, std::string_view zoneId) {
    const WindowClock c(w, zoneId);
    if (later ? w.laterCut : w.earlierCut) {
        std::string out = std::string(later ? kDatesEnd : kDatesBegin) + (later ? " after " : " at ");
        const LocalDateTime t = c.At(later ? w.last : w.first).local;
        AppendDate(out, t);
        out += ' ';
        AppendHourMinute(out, t.hour, t.minute);
        return out;
    }
    if (later ? w.laterOpen : w.earlierOpen) return {};
    const int minute = later ? w.last + 1 : w.first;
    std::vector<std::string> events;
    for (std::size_t p : EndingParts(w, later)) events.push_back(PartEvent(p, FacePart(later ? w.after : w.face, p)));
    return "at " + ClockText(c, minute) + " " + Joined(events, " and ");
}

std::string TimeWindowLine(const TimeWindow& window, bool timeKnown, std::string_view zoneId) {
    const WindowClock c(window, zoneId);
    return timeKnown ? KnownTimeLine(c) : UnknownTimeLine(c);
}

std::string TimeWindowLineOf(const ChartState& state, const PreciseEngine& precise, std::string_view zoneId) {
    const bool ephemeris = state.PositionSource == PositionsFrom::Ephemeris && precise;
    auto found = FindTimeWindow(state.ChartMoment, ephemeris ? precise : PreciseEngine{});
    if (auto* refused = std::get_if<std::string>(&found)) return "The time window could not be found: " + *refused;
    return TimeWindowLine(std::get<TimeWindow>(found), state.BirthTimeKnown, zoneId);
}

namespace {

// The names of the categories marked in `marked`.
template <std::size_t N>
void AppendMarked(std::vector<std::string_view>& names, const std::array<std::string_view, N>& all,
                  const std::array<bool, N>& marked) {
    for (std::size_t i = 0; i < N; ++i)
        if (marked[i]) names.push_back(all[i]);
}

}  // namespace

std::string UnknownTimeNote(const TimeDependence& d) {
    std::string out = "Birth time unknown: the ascendant and the houses above are drawn for 12:00 and not known";
    std::vector<std::string_view> lines;
    AppendMarked(lines, kElementNames, d.elements);
    AppendMarked(lines, kQualityNames, d.qualities);
    AppendMarked(lines, kHouseTypeNames, d.houseTypes);
    std::vector<std::string> parts;
    if (d.moonSign) parts.emplace_back("the Moon's sign");
    if (!lines.empty()) {
        std::string named = "the ";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) named += i + 1 == lines.size() ? " and " : ", ";
            named += lines[i];
        }
        parts.push_back(named + (lines.size() == 1 ? " line" : " lines"));
    }
    if (parts.empty()) return out + ".";
    return out + ", nor are " + Joined(parts, " and ") + ", which read otherwise at other times of that day.";
}

std::optional<TimeDependence> TimeDependenceOf(const ChartState& state, const TimeWindow* window) {
    if (state.BirthTimeKnown) return std::nullopt;
    if (window) return DependenceOnTime(*window, state.ChartMoment);
    auto found = FindTimeWindow(state.ChartMoment);
    if (!std::holds_alternative<TimeWindow>(found)) return std::nullopt;
    return DependenceOnTime(std::get<TimeWindow>(found), state.ChartMoment);
}

WindowClock::WindowClock(const TimeWindow& w, std::string_view zoneId) : w_(w) {
    if (zoneId.empty()) return;
    const ZoneAtResult birth = ZoneAtInstant(zoneId, UnixSecond(0));
    if (birth.ok() && birth.time.utcOffset == w.utcOffsetSeconds) zoneId_ = zoneId;
}

WindowClock::Reading WindowClock::At(int minute) const {
    const LocalDateTime moved = ShiftedClock(w_.clock, minute);
    if (zoneId_.empty()) return {moved, w_.utcOffsetSeconds};
    const ZoneAtResult clock = ZoneAtInstant(zoneId_, UnixSecond(minute));
    if (!clock.ok()) return {moved, w_.utcOffsetSeconds};
    return {ShiftedClock(moved, (clock.time.utcOffset - w_.utcOffsetSeconds) / 60), clock.time.utcOffset};
}

std::string WindowClock::IsoText(int minute) const { return IsoClock(*this, minute); }

std::int64_t WindowClock::UnixSecond(int minute) const {
    const local_seconds local =
        local_days{year_month_day{year{w_.clock.year}, month{static_cast<unsigned>(w_.clock.month)},
                                  day{static_cast<unsigned>(w_.clock.day)}}} +
        hours{w_.clock.hour} + std::chrono::minutes{w_.clock.minute + minute};
    return (local.time_since_epoch() - seconds{w_.utcOffsetSeconds}).count();
}

std::string_view WindowSignName(int sign) { return SignName(sign); }

}  // namespace qv
