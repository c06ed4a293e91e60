// The program-wide chart record: birth data, fixed lists, the time-zone table
// and every text the calculation produces. One instance lives in the program;
// every operation takes it by reference. Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/engine.h"
#include "state/fixed_text.h"

namespace qv {

// Where a chart's positions come from: the built-in formulas or the
// ephemeris files (the precise mode the user may choose).
enum class PositionsFrom : std::uint8_t { Formulas, Ephemeris };

// One piece of the interpretation box: text in one colour and weight.
struct StyledRun {
    FixedText text;
    std::uint8_t red = 0, green = 0, blue = 0;
    bool bold = false;
    bool operator==(const StyledRun&) const = default;
};

// The aspects the chart's points make with one another: the points are the
// position slots 0 Sun … 9 Pluto and 10 the ascendant; the aspects follow
// kAspectTable (analysis/aspects.h). Fixed room, so a chart allocates
// nothing for them.
enum class AspectKind : std::uint8_t { Conjunction, Sextile, Square, Trine, Opposition };

struct Aspect {
    std::uint8_t a = 0, b = 0;  // position slots, a < b
    AspectKind kind = AspectKind::Conjunction;
    double orb = 0.0;       // |shorter arc − the aspect's angle|, degrees
    bool applying = false;  // the orb is smaller one minute later
    // The birth time is not known and the aspect rests on it: an aspect of
    // the ascendant, or of the Moon when the Moon changes sign that day.
    bool restsOnTime = false;
    bool operator==(const Aspect&) const = default;
};

inline constexpr std::size_t kAspectPointCount = 11;
inline constexpr std::size_t kAspectPairCount = kAspectPointCount * (kAspectPointCount - 1) / 2;

struct ChartAspects {
    // False when the calculation was not asked for them (the batch without
    // --aspects); then nothing below is the chart's.
    bool computed = false;
    std::uint8_t count = 0;
    // The first `count`, by the first point's slot, then the second's.
    std::array<Aspect, kAspectPairCount> list{};
    const Aspect* begin() const { return list.data(); }
    const Aspect* end() const { return list.data() + count; }
};

struct ChartState {
    // Birth data, written by the calculation from the checked birth data
    // (WriteBirthFields), after the engine has given its numbers.
    std::string BirthName;
    std::int16_t BirthMonth = 0;
    std::int16_t BirthDay = 0;
    std::int16_t BirthYear = 0;
    std::int16_t BirthHour = 0;
    std::int16_t BirthMinute = 0;
    // False when the birth time is not known: BirthHour and BirthMinute
    // then hold 12:00, the time the chart is drawn for.
    bool BirthTimeKnown = true;
    std::int16_t ZoneHoursAbs = 0;
    std::int16_t ZoneMinutesAbs = 0;
    std::int16_t LonDegrees = 0;
    std::int16_t LonMinutes = 0;
    std::int16_t LatDegrees = 0;
    std::int16_t LatMinutes = 0;
    bool LonEast = false;
    bool LatSouth = false;
    bool DaylightSaving = false;
    std::string BirthCity;
    std::string BirthState;
    std::string BirthCountry;
    std::string ZoneHoursText;
    std::string ZoneMinutesText;
    // The same zone as numbers, written with the texts: its table slot and
    // the signed hours and minutes of ZoneHoursText and ZoneMinutesText.
    std::int16_t ZoneSlot = 0;
    std::int16_t ZoneHoursValue = 0;
    std::int16_t ZoneMinutesValue = 0;
    // The birth's clock to the second when no row gives it (the zone fields
    // above then hold the nearest row); empty for a chart on a table row.
    std::optional<ExactClock> BirthExactClock = std::nullopt;

    // Fixed lists, filled when the birth-data form opens.
    std::array<std::string, 13> SignAbbrevList{};
    std::array<FixedText, 12> BodyLabel{};  // names, " (R) " marked: fixed texts

    // Time-zone table (slots 0..70 used).
    std::array<std::string, 72> TimeZoneName{};
    std::array<std::string, 72> TimeZoneHours{};
    std::array<std::string, 72> TimeZoneMinutes{};

    // Computed values.
    std::string AscendantText;
    std::array<std::string, 12> PositionName{};
    std::array<std::string, 12> PlanetPosition{};
    std::string MoonText;
    FixedText MoonSignName;  // a sign's name
    std::array<std::string, 12> HouseSign{};
    // The analysis' messages, each one of its fixed texts.
    std::array<FixedText, 5> ElementResult{};
    std::array<FixedText, 4> QualityResult{};
    std::array<FixedText, 4> HouseTypeResult{};

    // Retrograde flags, 0 Mercury … 7 Pluto (8 unused).
    std::array<bool, 9> RetrogradeFlag{};

    // When and where the chart was cast, as the engine took it: its
    // Universal Time, UTC offset and signed coordinates come from here.
    EngineInput ChartMoment;

    // Ecliptic longitudes in degrees behind PlanetPosition (slot order 0..10),
    // kept for reports; the texts above are what the chart shows.
    std::array<double, 11> BodyLongitude{};
    // The sign 0 Aries … 11 Pisces of each longitude, as its position text
    // names it (-1 for a text that names none); the wheel and the analysis
    // place the bodies by these.
    std::array<std::int8_t, 11> BodySign{};
    // The engine that gave BodyLongitude and RetrogradeFlag. Not saved with
    // a reading: a reading is calculated in the mode chosen when it opens.
    PositionsFrom PositionSource = PositionsFrom::Formulas;

    // The aspects of BodyLongitude, written by the calculation when asked
    // (FindChartAspects, analysis/aspects.h).
    ChartAspects Aspects;

    // Interpretation box content, in display order: the analysis' fixed texts.
    std::vector<StyledRun> InterpretationRuns;

    // Dialog memory shared by "Save As" and "Export Chart As Text".
    std::string ReadingFileName;
};

}  // namespace qv
