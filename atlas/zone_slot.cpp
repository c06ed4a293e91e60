#include "atlas/zone_slot.h"

#include <string>
#include <vector>

#include "state/chart_state.h"
#include "state/time_zones.h"

namespace qv {

namespace {

struct TableRow {
    std::string abbreviation;   // second comma field of the display text, trimmed
    std::int32_t offset = 0;    // east of UTC with the box unticked. Seconds
    bool daylightKind = false;  // a daylight, summer or war time by its name
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The program's zone table as rows; the only place that reads it.
std::vector<TableRow> ReadTable() {
    ChartState state;
    LoadTimeZones(state);
    std::vector<TableRow> rows;
    for (int i = 0; i < kTimeZoneCount; ++i) {
        const std::string& name = state.TimeZoneName[static_cast<std::size_t>(i)];
        const std::size_t c1 = name.find(',');
        const std::size_t c2 = name.find(',', c1 + 1);
        const std::string_view abbreviation = Trim(std::string_view(name).substr(c1 + 1, c2 - c1 - 1));
        StoreZone(state, i);
        const int correction = state.ZoneHoursValue * 3600 + state.ZoneMinutesValue * 60;
        const bool daylight = name.find("Daylight") != std::string::npos || name.find("Summer") != std::string::npos ||
                              name.find("War") != std::string::npos;
        rows.push_back({std::string(abbreviation), -correction, daylight});
    }
    return rows;
}

const std::vector<TableRow>& Table() {
    static const std::vector<TableRow> rows = ReadTable();
    return rows;
}

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
    const auto& rows = Table();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TableRow& row = rows[static_cast<std::size_t>(i)];
        if (row.offset != offset) continue;
        const std::size_t shared = SharedStart(row.abbreviation, abbreviation);
        const bool kind = row.daylightKind == daylightKind;
        if (best < 0 || shared > bestShared || (shared == bestShared && kind && !bestKind))
            best = i, bestShared = shared, bestKind = kind;
    }
    return best;
}

}  // namespace

ZoneSlot ZoneSlotFor(std::int32_t offset, bool daylightSaving, std::string_view abbreviation) {
    if (offset % 60 != 0) return {};
    const auto& rows = Table();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TableRow& row = rows[static_cast<std::size_t>(i)];
        if (!abbreviation.empty() && row.abbreviation == abbreviation && row.offset == offset) return {true, i, false};
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

std::int32_t SlotOffsetSeconds(int slot, bool daylightSaving) {
    const auto& rows = Table();
    if (slot < 0 || slot >= static_cast<int>(rows.size())) return 0;
    return rows[static_cast<std::size_t>(slot)].offset + (daylightSaving ? 3600 : 0);
}

}  // namespace qv
