#include "chart/time_window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "analysis/elements.h"
#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "chart/chart_run.h"
#include "retro/retrogrades.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

using namespace std::chrono;

// Steps of the bracketing scan. Away from the poles the ascendant only goes
// forward and needs most of a day to come back to a sign it has left, so a
// step of two hours cannot hide a change of it; the Moon changes sign at most
// once a day either way, and the planets turn round (at their stations) far
// too slowly to leave a sign and come back within a day. Beyond about 65° of
// latitude the ascendant turns back twice a day and jumps by half a circle,
// so it may leave a sign and return within minutes: the scan steps by five
// minutes there.
constexpr int kStepMinutes = 120;
constexpr int kPolarStepMinutes = 5;
constexpr double kPolarLatitude = 65.0;

local_time<minutes> LocalMinutes(const LocalDateTime& l) {
    const year_month_day date{year{l.year}, month{static_cast<unsigned>(l.month)}, day{static_cast<unsigned>(l.day)}};
    return local_days{date} + hours{l.hour} + minutes{l.minute};
}

// A face the search has seen, `distance` minutes from the clock time on the
// side searched.
struct Sample {
    int distance;
    ChartFace face;
};

// The built-in formulas, part by part: a bisection that follows one part
// asks only for it (the ascendant alone costs a fifth of a chart).
class ClassicProbe {
public:
    explicit ClassicProbe(const EngineInput& input) : input_(input) {}

    bool Face(int minute, ChartFace& face) {
        face = FaceOf(ClassicChartNumbers(Moved(minute)));
        return true;
    }

    bool Part(int minute, std::size_t part, int& value) {
        const EngineInput in = Moved(minute);
        if (part >= kFirstMarkPart) {
            value = RetrogradeFlagsOn(in.local)[part - kFirstMarkPart] ? 1 : 0;
        } else if (part == kAscendantSlot) {
            value = SignOfLongitude(AscendantOf(in));
        } else if (part == kMoonSlot) {
            value = SignOfLongitude(MoonOf(in));
        } else {
            std::array<double, 11> longitude{};
            StorePlanetLongitudes(in, longitude);
            value = SignOfLongitude(longitude[part]);
        }
        return true;
    }

    std::string refusal;  // the formulas refuse nothing

private:
    EngineInput Moved(int minute) const {
        EngineInput moved = input_;
        moved.local = ShiftedClock(input_.local, minute);
        return moved;
    }

    const EngineInput& input_;
};

// An engine that gives whole charts only; the faces it gave are kept, so
// that parts changing at the same minute cost it one chart.
class EngineProbe {
public:
    EngineProbe(const EngineInput& input, const PreciseEngine& engine) : input_(input), engine_(engine) {}

    bool Face(int minute, ChartFace& face) {
        for (const Sample& s : seen_)
            if (s.distance == minute) {
                face = s.face;
                return true;
            }
        EngineInput moved = input_;
        moved.local = ShiftedClock(input_.local, minute);
        auto given = engine_(moved);
        if (auto* refused = std::get_if<std::string>(&given)) {
            refusal = std::move(*refused);
            return false;
        }
        face = FaceOf(std::get<EngineNumbers>(given));
        seen_.push_back({minute, face});
        return true;
    }

    bool Part(int minute, std::size_t part, int& value) {
        ChartFace face;
        if (!Face(minute, face)) return false;
        value = FacePart(face, part);
        return true;
    }

    std::string refusal;

private:
    const EngineInput& input_;
    const PreciseEngine& engine_;
    std::vector<Sample> seen_;  // by minute from the clock time
};

// The first change of every part on one side (`direction` +1 later, -1
// earlier), up to `reach` minutes away, into `changes`; `ends` gets the
// faces at the first change of any part and at the reach. False when the
// engine refused a moment.
//
// Each part is bracketed between the clock time and the reach, the
// ascendant between steps of `step` minutes, and bisected to its first
// changed minute.
template <class Probe>
bool SearchSide(Probe& probe, int direction, int reach, int step, const ChartFace& face,
                std::array<std::optional<PartChange>, kFacePartCount>& changes) {
    if (reach <= 0) return true;
    ChartFace far;
    if (!probe.Face(direction * reach, far)) return false;
    for (std::size_t part = 0; part < kFacePartCount; ++part) {
        const int value = FacePart(face, part);
        int same = 0;
        int changed = reach;
        int changedValue = FacePart(far, part);
        if (part == kAscendantSlot) {
            // Steps until the ascendant has left its sign (or the reach).
            for (int d = step; d < reach; d += step) {
                int stepValue = 0;
                if (!probe.Part(direction * d, part, stepValue)) return false;
                if (stepValue != value) {
                    changed = d;
                    changedValue = stepValue;
                    break;
                }
                same = d;
            }
        }
        if (changedValue == value) continue;  // no change within reach
        while (changed - same > 1) {
            const int middle = same + (changed - same) / 2;
            int middleValue = 0;
            if (!probe.Part(direction * middle, part, middleValue)) return false;
            if (middleValue == value) {
                same = middle;
            } else {
                changed = middle;
                changedValue = middleValue;
            }
        }
        // Forward in time: later, the value turns at the first changed
        // minute; earlier, at the last minute of the chart's own value.
        changes[part] =
            direction > 0 ? PartChange{changed, value, changedValue} : PartChange{-same, changedValue, value};
    }
    return true;
}

template <class Probe>
std::variant<TimeWindow, std::string> Search(const EngineInput& input, Probe& probe) {
    TimeWindow w;
    w.clock = input.local;
    w.utcOffsetSeconds = input.utcOffsetSeconds;
    if (!probe.Face(0, w.face)) return std::move(probe.refusal);

    // 24 hours either way, within the years the program calculates.
    const int toFirstDay = MinutesBetween(input.local, {kFirstBirthYear, 1, 1, 0, 0});
    const int toLastMinute = MinutesBetween(input.local, {kLastBirthYear, 12, 31, 23, 59});
    w.earliest = std::min(0, std::max(-kWindowReachMinutes, toFirstDay));
    w.latest = std::max(0, std::min(kWindowReachMinutes, toLastMinute));

    const int step = std::fabs(input.latitudeNorth) > kPolarLatitude ? kPolarStepMinutes : kStepMinutes;
    if (!SearchSide(probe, -1, -w.earliest, step, w.face, w.lastChange) ||
        !SearchSide(probe, +1, w.latest, step, w.face, w.nextChange))
        return std::move(probe.refusal);

    w.first = w.earliest;
    w.last = w.latest;
    w.earlierOpen = w.laterOpen = true;
    for (std::size_t part = 0; part < kFacePartCount; ++part) {
        if (const auto& c = w.lastChange[part]) {
            w.first = w.earlierOpen ? c->minute : std::max(w.first, c->minute);
            w.earlierOpen = false;
        }
        if (const auto& c = w.nextChange[part]) {
            w.last = w.laterOpen ? c->minute - 1 : std::min(w.last, c->minute - 1);
            w.laterOpen = false;
        }
    }
    w.earlierCut = w.earlierOpen && w.earliest > -kWindowReachMinutes;
    w.laterCut = w.laterOpen && w.latest < kWindowReachMinutes;
    // The charts just outside, whole.
    w.before = w.after = w.face;
    if (!w.earlierOpen && !probe.Face(w.first - 1, w.before)) return std::move(probe.refusal);
    if (!w.laterOpen && !probe.Face(w.last + 1, w.after)) return std::move(probe.refusal);
    return w;
}

}  // namespace

ChartFace FaceOf(const EngineNumbers& numbers) {
    ChartFace face;
    for (std::size_t slot = 0; slot < face.sign.size(); ++slot)
        face.sign[slot] = static_cast<std::int8_t>(SignOfLongitude(numbers.longitude[slot]));
    face.retrograde = numbers.retrograde;
    return face;
}

int FacePart(const ChartFace& face, std::size_t part) {
    return part < kFirstMarkPart ? face.sign[part] : (face.retrograde[part - kFirstMarkPart] ? 1 : 0);
}

LocalDateTime ShiftedClock(const LocalDateTime& clock, int minutes) {
    const auto moved = LocalMinutes(clock) + std::chrono::minutes{minutes};
    const auto day = floor<days>(moved);
    const year_month_day date{day};
    const auto within = moved - day;
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(within.count() / 60),
            static_cast<int>(within.count() % 60)};
}

int MinutesBetween(const LocalDateTime& from, const LocalDateTime& to) {
    return static_cast<int>((LocalMinutes(to) - LocalMinutes(from)).count());
}

std::variant<TimeWindow, std::string> FindTimeWindow(const EngineInput& input, const PreciseEngine& precise) {
    if (precise) {
        EngineProbe probe(input, precise);
        return Search(input, probe);
    }
    ClassicProbe probe(input);
    return Search(input, probe);
}

TimeDependence DependenceOnTime(const TimeWindow& window, const EngineInput& input) {
    // Which categories hold a body, for the bodies' signs and the ascendant's.
    struct Held {
        std::array<bool, 4> elements{};
        std::array<bool, 3> qualities{}, houseTypes{};
    };
    const auto held = [](const std::array<std::int8_t, 11>& sign, int ascendant) {
        Held h;
        for (std::size_t body = 0; body < kAscendantSlot; ++body) {
            if (sign[body] < 0) continue;
            h.elements[static_cast<std::size_t>(ElementOfSign(sign[body]))] = true;
            h.qualities[static_cast<std::size_t>(QualityOfSign(sign[body]))] = true;
            if (ascendant >= 0)
                h.houseTypes[static_cast<std::size_t>(HouseTypeOfHouse(WholeSignHouse(sign[body], ascendant)))] = true;
        }
        return h;
    };

    const int dayStart = -(window.clock.hour * 60 + window.clock.minute);
    const int dayEnd = dayStart + 24 * 60 - 1;
    // The bodies' signs at the day's first minute, and their changes within it.
    std::array<std::int8_t, 11> sign = window.face.sign;
    struct Change {
        int minute;
        std::size_t body;
        int after;
    };
    std::vector<Change> changes;
    TimeDependence out;
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        if (const auto& c = window.lastChange[body]; c && c->minute > dayStart) {
            sign[body] = static_cast<std::int8_t>(c->before);
            changes.push_back({c->minute, body, c->after});
        }
        if (const auto& c = window.nextChange[body]; c && c->minute <= dayEnd)
            changes.push_back({c->minute, body, c->after});
    }
    out.moonSign = std::any_of(changes.begin(), changes.end(), [](const Change& c) { return c.body == kMoonSlot; });
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.minute < b.minute; });

    const Held drawn = held(window.face.sign, window.face.sign[kAscendantSlot]);
    std::size_t next = 0;
    for (int minute = dayStart; minute <= dayEnd; ++minute) {
        while (next < changes.size() && changes[next].minute <= minute) {
            sign[changes[next].body] = static_cast<std::int8_t>(changes[next].after);
            ++next;
        }
        EngineInput moved = input;
        moved.local = ShiftedClock(input.local, minute);
        const Held now = held(sign, SignOfLongitude(AscendantOf(moved)));
        for (std::size_t i = 0; i < 4; ++i) out.elements[i] = out.elements[i] || now.elements[i] != drawn.elements[i];
        for (std::size_t i = 0; i < 3; ++i) {
            out.qualities[i] = out.qualities[i] || now.qualities[i] != drawn.qualities[i];
            out.houseTypes[i] = out.houseTypes[i] || now.houseTypes[i] != drawn.houseTypes[i];
        }
    }
    return out;
}

}  // namespace qv
