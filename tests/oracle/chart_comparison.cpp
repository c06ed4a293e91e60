#include "tests/oracle/chart_comparison.h"
#include "tests/oracle/library_json.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "astro/text_steps.h"
#include "astro/universal_time.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "formats/chart_json.h"
#include "formats/text_export.h"
#include "retro/stations.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"
#include "tests/oracle/literal_chart.h"
#include "tests/oracle/literal_engine.h"
#include "tests/support/iso_minute.h"

namespace qv::oracle {

namespace {

// SplitMix64: a well-mixed 64-bit value for every (seed, index, draw).
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Draws {
public:
    Draws(std::uint64_t seed, std::uint64_t index) : state_(Mix(seed) ^ Mix(index * 0xD1B54A32D192ED03ull)) {}
    // Uniform in [0, n).
    int Below(int n) {
        state_ = Mix(state_);
        return static_cast<int>((state_ >> 11) % static_cast<std::uint64_t>(n));
    }

private:
    std::uint64_t state_;
};

int DaysInMonth(int year, int month) {
    using namespace std::chrono;
    return static_cast<int>(static_cast<unsigned>(year_month_day_last{
        std::chrono::year{year}, month_day_last{std::chrono::month{static_cast<unsigned>(
                                     month)}}}.day()));
}

// Whole number of a zone text from the table ("5", "-10", "-30").
int ZoneNumber(const std::string& text) { return std::stoi(text); }

// The person and place of a birth: plain, quoted, non-ASCII and escaped
// texts in turn, so the JSON line meets each (a control character is refused
// before a chart is calculated: the state has a no-break space instead).
struct Person {
    const char* name;
    const char* city;
    const char* state;
    const char* country;
};
constexpr Person kPeople[] = {
    {"Asha", "New Delhi", "Delhi", "India"},
    {"O'Neil, \"Pat\"", "Back\\slash", "No\u00A0break", "UK"},
    {"Zo\u00EB Ray", "Qu\u00E9bec", "QC", "Canada"},
    {"\u5C71\u7530", "\u6771\u4EAC",
     "\xFF"
     "broken",
     "Japan"},
};
const Person& PersonOf(const Birth& b) { return kPeople[static_cast<std::size_t>(b.minute) % std::size(kPeople)]; }

// Universal Time as the JSON's text, written by snprintf.
std::string LiteralIsoMinute(std::chrono::sys_time<std::chrono::minutes> t) {
    using namespace std::chrono;
    const auto dayStart = floor<days>(t);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{t - dayStart};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:00Z", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()));
    return buf;
}

// "what: [a] / [b]" when a and b differ, else empty.
template <class T>
std::string Differ(const std::string& what, const T& a, const T& b) {
    if (a == b) return {};
    return what + ": [" + std::string(std::string_view(a)) + "] / [" + std::string(std::string_view(b)) + "]";
}

template <class T, std::size_t N>
std::string DifferAt(const std::string& what, const std::array<T, N>& a, const std::array<T, N>& b) {
    for (std::size_t k = 0; k < N; ++k)
        if (a[k] != b[k]) {
            if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, FixedText>)
                return Differ(what + "[" + std::to_string(k) + "]", a[k], b[k]);
            else
                return what + "[" + std::to_string(k) + "]: " + std::to_string(a[k]) + " / " + std::to_string(b[k]);
        }
    return {};
}

}  // namespace

Birth RandomBirth(std::uint64_t seed, std::uint64_t index) {
    Draws r(seed, index);
    Birth b;
    b.year = kFirstBirthYear + r.Below(kBirthYearCount);
    b.month = 1 + r.Below(12);
    b.day = 1 + r.Below(DaysInMonth(b.year, b.month));
    b.hour = r.Below(24);
    b.minute = r.Below(60);
    b.zoneSlot = r.Below(kTimeZoneCount);
    b.dst = r.Below(2) == 1;
    if (r.Below(64) == 0) {
        b.latDeg = 90;
    } else {
        b.latDeg = r.Below(90);
        b.latMin = r.Below(60);
    }
    b.south = r.Below(2) == 1;
    if (r.Below(64) == 0) {
        b.lonDeg = 180;
    } else {
        b.lonDeg = r.Below(180);
        b.lonMin = r.Below(60);
    }
    b.east = r.Below(2) == 1;
    return b;
}

std::string Describe(const Birth& b) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d zone %d DST %d %d:%02d%c %d:%02d%c", b.year, b.month,
                  b.day, b.hour, b.minute, b.zoneSlot, b.dst ? 1 : 0, b.latDeg, b.latMin, b.south ? 'S' : 'N', b.lonDeg,
                  b.lonMin, b.east ? 'E' : 'W');
    return buf;
}

BirthFormData FormOf(const Birth& b) {
    const Person& p = PersonOf(b);
    BirthFormData f;
    f.txtName = p.name;
    f.txtCity = p.city;
    f.txtState = p.state;
    f.txtCountry = p.country;
    f.cboMonth = b.month - 1;
    f.cboDate = b.day - 1;
    f.cboYear = YearItem(b.year);
    f.cboHour = b.hour;
    f.cboMinute = b.minute;
    f.cboTimeZone = b.zoneSlot;
    f.txtLatD = std::to_string(b.latDeg);
    f.txtLatM = std::to_string(b.latMin);
    f.optLatSouth = b.south ? 1 : 0;
    f.txtLonD = std::to_string(b.lonDeg);
    f.txtLonM = std::to_string(b.lonMin);
    f.optLongEast = b.east ? 0 : 1;
    f.chkDST = b.dst;
    return f;
}

ProgramCharts::ProgramCharts() { LoadFixedLists(chart_.state); }

const Chart& ProgramCharts::Calculate(const Birth& b) {
    // As the batch: a fresh chart starts without a Moon sign.
    chart_.state.MoonSignName = {};
    // The births are drawn inside the form's ranges: every one gives a chart.
    if (const auto refused = CalculateChartOfForm(FormOf(b), chart_.state, chart_.wheel)) {
        std::fprintf(stderr, "the program refused a drawn birth: %s\n", refused->c_str());
        std::abort();
    }
    chart_.universal = UniversalMoment(chart_.state.ChartMoment);
    return chart_;
}

const std::string& ProgramCharts::Line() {
    line_.clear();
    writer_.AppendChart(line_, 1, chart_.state, chart_.wheel);
    return line_;
}

Chart LiteralChart(const Birth& b) {
    using namespace std::chrono;
    Chart chart;
    ChartState& s = chart.state;
    LoadFixedLists(s);
    const Person& person = PersonOf(b);
    s.BirthName = person.name;
    s.BirthCity = person.city;
    s.BirthState = person.state;
    s.BirthCountry = person.country;
    s.BirthYear = static_cast<std::int16_t>(b.year);
    s.BirthMonth = static_cast<std::int16_t>(b.month);
    s.BirthDay = static_cast<std::int16_t>(b.day);
    s.BirthHour = static_cast<std::int16_t>(b.hour);
    s.BirthMinute = static_cast<std::int16_t>(b.minute);
    const auto row = static_cast<std::size_t>(b.zoneSlot);
    s.ZoneSlot = static_cast<std::int16_t>(b.zoneSlot);
    s.ZoneHoursText = s.TimeZoneHours[row];
    s.ZoneMinutesText = s.TimeZoneMinutes[row];
    s.ZoneHoursValue = static_cast<std::int16_t>(ZoneNumber(s.ZoneHoursText));
    s.ZoneMinutesValue = static_cast<std::int16_t>(ZoneNumber(s.ZoneMinutesText));
    s.ZoneHoursAbs = static_cast<std::int16_t>(std::abs(s.ZoneHoursValue));
    s.ZoneMinutesAbs = static_cast<std::int16_t>(std::abs(s.ZoneMinutesValue));
    s.DaylightSaving = b.dst;
    s.LatDegrees = static_cast<std::int16_t>(b.latDeg);
    s.LatMinutes = static_cast<std::int16_t>(b.latMin);
    s.LatSouth = b.south;
    s.LonDegrees = static_cast<std::int16_t>(b.lonDeg);
    s.LonMinutes = static_cast<std::int16_t>(b.lonMin);
    s.LonEast = b.east;

    const double correction = s.ZoneHoursValue + s.ZoneMinutesValue / 60.0 - (b.dst ? 1.0 : 0.0);
    const double ut = b.hour + b.minute / 60.0 + correction;
    double lonWest = b.lonDeg + b.lonMin / 60.0;
    if (b.east) lonWest = -lonWest;
    double lat = b.latDeg + b.latMin / 60.0;
    if (b.south) lat = -lat;

    const double asc = AscendantDegrees(b.year, b.month, b.day, ut, lonWest, lat);
    const double moon = MoonLongitude(CenturiesSinceJ2000(JulianDayNumber(b.month, b.day, b.year), ut));
    s.AscendantText = FormatLongitude(asc);
    s.MoonText = FormatLongitude(moon);
    s.MoonSignName = FixedText::Of(SignNameOfText(s.MoonText));  // a sign name: lasting

    const sys_time<minutes> local =
        sys_days{std::chrono::year{b.year} / b.month / b.day} + hours{b.hour} + minutes{b.minute};
    const sys_time<minutes> moment =
        local + hours{s.ZoneHoursValue} + minutes{s.ZoneMinutesValue} - hours{b.dst ? 1 : 0};
    chart.universal = moment;
    const sys_days date = floor<days>(moment);
    const year_month_day ymd{date};
    const hh_mm_ss hms{moment - date};
    const std::array<double, 9> planets = GeocentricLongitudes(
        DaysSinceJ2000(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                       static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
                       static_cast<int>(hms.minutes().count())));

    // Slots 0 and 2..9 from body indexes 2, 0, 1, 3 … 8.
    constexpr int kSlotBody[10] = {2, -1, 0, 1, 3, 4, 5, 6, 7, 8};
    for (std::size_t slot = 0; slot < 10; ++slot) {
        if (slot == 1) continue;
        s.BodyLongitude[slot] = planets[static_cast<std::size_t>(kSlotBody[slot])];
        s.PlanetPosition[slot] = FormatPosition(FormatLongitude(s.BodyLongitude[slot]));
    }
    s.BodyLongitude[1] = moon;
    s.PlanetPosition[1] = FormatPosition(s.MoonText);
    s.BodyLongitude[10] = asc;
    s.PlanetPosition[10] = FormatPosition(s.AscendantText);
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) s.PositionName[slot] = kBodyNames[slot];

    const local_days birthDay{std::chrono::year{b.year} / b.month / b.day};
    for (std::size_t f = 0; f < kStationPlanetCount; ++f)
        s.RetrogradeFlag[f] = IsRetrograde(birthDay + hours{b.hour} + minutes{b.minute}, static_cast<StationPlanet>(f));
    oracle::MarkLabels(s);
    oracle::FillChartWheel(s, chart.wheel);
    oracle::AnalyseElementsQualityHouse(s);
    return chart;
}

namespace {

// The house boxes' texts as the display joins them.
std::array<std::string, 12> ProgramHouseTexts(const ChartState& state, const ChartWheel& wheel) {
    std::array<std::string, 12> texts;
    for (int h = 0; h < 12; ++h) texts[static_cast<std::size_t>(h)] = BoxText(state, wheel.houseBox(h));
    return texts;
}

}  // namespace

std::string FirstDifference(const Chart& program, const Chart& literal) {
    const ChartState& a = program.state;
    const ChartState& b = literal.state;
    const ChartWheel& wa = program.wheel;
    const ChartWheel& wb = literal.wheel;
    for (const std::string& d :
         {Differ("AscendantText", a.AscendantText, b.AscendantText), Differ("MoonText", a.MoonText, b.MoonText),
          Differ("MoonSignName", a.MoonSignName, b.MoonSignName),
          DifferAt("PositionName", a.PositionName, b.PositionName),
          DifferAt("PlanetPosition", a.PlanetPosition, b.PlanetPosition),
          DifferAt("BodyLabel", a.BodyLabel, b.BodyLabel), DifferAt("HouseSign", a.HouseSign, b.HouseSign),
          DifferAt("ElementResult", a.ElementResult, b.ElementResult),
          DifferAt("QualityResult", a.QualityResult, b.QualityResult),
          DifferAt("HouseTypeResult", a.HouseTypeResult, b.HouseTypeResult),
          a.InterpretationRuns == b.InterpretationRuns ? std::string() : std::string("InterpretationRuns"),
          wa.signBoxes == wb.signBoxes ? std::string() : std::string("wheel: sign boxes"),
          DifferAt("wheel: first house sign", std::array{wa.firstHouseSign}, std::array{wb.firstHouseSign}),
          DifferAt("lblNatal", ProgramHouseTexts(a, wa), oracle::HouseBoxTexts(b, wb)),
          DifferAt("imgSign", wa.imgSign, wb.imgSign), Differ("lblLagna", wa.lblLagna, wb.lblLagna),
          Differ("lblRashi", wa.lblRashi, wb.lblRashi), Differ("text export", MakeTextExport(a), MakeTextExport(b))})
        if (!d.empty()) return d;
    return {};
}

void Tally::Add(const Tally& other) {
    charts += other.charts;
    if (firstMismatch.empty()) firstMismatch = other.firstMismatch;
    mismatchedCharts += other.mismatchedCharts;
    mismatchedLines += other.mismatchedLines;
    for (std::size_t k = 0; k < largestDifference.size(); ++k)
        largestDifference[k] = std::max(largestDifference[k], other.largestDifference[k]);
    nearStep += other.nearStep;
    nearestStep = std::min(nearestStep, other.nearestStep);
}

double Tally::LargestDifference() const {
    return *std::max_element(largestDifference.begin(), largestDifference.end());
}

void Compare(const Birth& b, ProgramCharts& program, Tally& tally) {
    const Chart& got = program.Calculate(b);
    const Chart want = LiteralChart(b);
    ++tally.charts;
    for (std::size_t k = 0; k < 11; ++k) {
        const double diff = std::fabs(got.state.BodyLongitude[k] - want.state.BodyLongitude[k]);
        // A NaN difference counts as the largest possible.
        tally.largestDifference[k] = std::max(tally.largestDifference[k], diff == diff ? diff : 360.0);
        const double step = ArcsecondStepDistance(want.state.BodyLongitude[k]);
        tally.nearestStep = std::min(tally.nearestStep, step);
        if (step < kTextStepMargin) ++tally.nearStep;
    }
    std::string difference = FirstDifference(got, want);
    if (difference.empty())
        difference = Differ("universal time", FormatIsoMinute(got.universal), LiteralIsoMinute(want.universal));
    const bool sameLine = DifferentJson(program.Line(), LibraryChartJson(1, got.state, got.wheel)).empty();
    if (!sameLine) ++tally.mismatchedLines;
    if (difference.empty() && !sameLine) difference = "JSON line: [" + program.Line() + "]";
    if (difference.empty()) return;
    if (!difference.starts_with("JSON")) ++tally.mismatchedCharts;
    if (tally.firstMismatch.empty()) tally.firstMismatch = Describe(b) + ": " + difference;
}

}  // namespace qv::oracle
