#include "atlas/zone_slot.h"

#include "state/time_zones.h"

namespace qv {

namespace {

// Letters two abbreviations share at their start, when two or more; else 0.
std::size_t SharedStart(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n >= 2 ? n : 0;
}

// Best row of an offset (box unticked), or -1.
int BestRow(std::int32_t offset, bool daylightKind, std::string_view abbreviation) {
    int best = -1;
    std::size_t bestShared = 0;
    bool bestKind = false;
    for (int i = 0; i < kTimeZoneCount; ++i) {
        if (ZoneOffsetSeconds(i, false) != offset) continue;
        const TimeZoneRow& row = kTimeZoneRows[static_cast<std::size_t>(i)];
        const std::size_t shared = SharedStart(row.abbreviation, abbreviation);
        const bool kind = (row.kind == ZoneKind::Daylight) == daylightKind;
        if (best < 0 || shared > bestShared || (shared == bestShared && kind && !bestKind))
            best = i, bestShared = shared, bestKind = kind;
    }
    return best;
}

}  // namespace

ZoneSlot ZoneSlotFor(std::int32_t offset, bool daylightSaving, std::string_view abbreviation) {
    if (offset % 60 != 0) return {};
    for (int i = 0; i < kTimeZoneCount; ++i) {
        const TimeZoneRow& row = kTimeZoneRows[static_cast<std::size_t>(i)];
        if (!abbreviation.empty() && row.abbreviation == abbreviation && ZoneOffsetSeconds(i, false) == offset)
            return {true, i, false};
    }
    if (daylightSaving) {
        if (const int row = BestRow(offset - 3600, false, abbreviation); row >= 0) return {true, row, true};
    }
    if (const int row = BestRow(offset, daylightSaving, abbreviation); row >= 0) return {true, row, false};
    if (!daylightSaving) {
        if (const int row = BestRow(offset - 3600, false, abbreviation); row >= 0) return {true, row, true};
    }
    return {};
}

}  // namespace qv
