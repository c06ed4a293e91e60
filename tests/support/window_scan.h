// The time window found the plain way, as the judge of FindTimeWindow: the
// chart's face at every minute of the 24 hours either way, then each part's
// nearest change and the window read off the list.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "chart/chart_run.h"
#include "chart/time_window.h"
#include "state/fixed_lists.h"

namespace qv::test {

inline std::variant<TimeWindow, std::string> ScanTimeWindow(const EngineInput& input, const PreciseEngine& precise) {
    TimeWindow w;
    w.clock = input.local;
    w.utcOffsetSeconds = input.utcOffsetSeconds;
    w.earliest =
        std::min(0, std::max(-kWindowReachMinutes, MinutesBetween(input.local, {kFirstBirthYear, 1, 1, 0, 0})));
    w.latest =
        std::max(0, std::min(kWindowReachMinutes, MinutesBetween(input.local, {kLastBirthYear, 12, 31, 23, 59})));
    std::vector<ChartFace> faces;  // faces[m - earliest]
    for (int m = w.earliest; m <= w.latest; ++m) {
        EngineInput moved = input;
        moved.local = ShiftedClock(input.local, m);
        EngineNumbers numbers;
        if (precise) {
            auto given = precise(moved);
            if (auto* refused = std::get_if<std::string>(&given)) return *refused;
            numbers = std::get<EngineNumbers>(given);
        } else {
            numbers = ClassicChartNumbers(moved);
        }
        faces.push_back(FaceOf(numbers));
    }
    const auto face = [&](int m) { return faces[static_cast<std::size_t>(m - w.earliest)]; };
    w.face = face(0);
    for (std::size_t p = 0; p < kFacePartCount; ++p) {
        const int value = FacePart(w.face, p);
        for (int m = 0; m > w.earliest; --m)
            if (FacePart(face(m - 1), p) != value) {
                w.lastChange[p] = PartChange{m, FacePart(face(m - 1), p), value};
                break;
            }
        for (int m = 1; m <= w.latest; ++m)
            if (FacePart(face(m), p) != value) {
                w.nextChange[p] = PartChange{m, value, FacePart(face(m), p)};
                break;
            }
    }
    w.first = 0;
    while (w.first > w.earliest && face(w.first - 1) == w.face) --w.first;
    w.last = 0;
    while (w.last < w.latest && face(w.last + 1) == w.face) ++w.last;
    w.earlierOpen = w.first == w.earliest;
    w.laterOpen = w.last == w.latest;
    w.earlierCut = w.earlierOpen && w.earliest > -kWindowReachMinutes;
    w.laterCut = w.laterOpen && w.latest < kWindowReachMinutes;
    w.before = w.earlierOpen ? w.face : face(w.first - 1);
    w.after = w.laterOpen ? w.face : face(w.last + 1);
    return w;
}

}  // namespace qv::test
