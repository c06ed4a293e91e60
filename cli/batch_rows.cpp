#include "cli/batch_rows.h"

#include <algorithm>

#include "cli/atlas_input.h"
#include "state/text.h"
#include "state/text_room.h"

namespace qv::report {

namespace {

// A field without the blanks and tabs around it.
std::string_view TrimBlanksAndTabs(std::string_view s) { return TrimBlanks(s, " \t"); }

// A whole number of one to nine digits, blanks around it allowed; -1, which
// no list holds, for anything else.
int FieldNumber(std::string_view text) { return ParseDigits(TrimBlanksAndTabs(text)).value_or(-1); }

// The number fields a row gives by hand: each a plain number or refused,
// naming its column, before the ranges are checked ("+1975" is no year
// outside 1901 … 2050, it is no plain number at all). An empty hour and
// minute together are a birth time not known.
std::optional<std::string> CheckNumberFields(const CsvRecord& record, const BatchColumns& columns, bool fromAtlas,
                                             bool timeUnknown) {
    for (const BatchColumn c : {kColYear, kColMonth, kColDay, kColHour, kColMinute, kColZone}) {
        const std::string_view text =
            TrimBlanksAndTabs(columns.Has(c) ? record.Field(columns.at[c]) : std::string_view());
        const std::string name(kBatchColumnNames[c]);
        if (text.empty()) {
            if (c == kColZone && fromAtlas) continue;  // the atlas gives the zone
            if ((c == kColHour || c == kColMinute) && timeUnknown) continue;
            return "The " + name + " field is empty";
        }
        if (!ParseDigits(text))
            return "The " + name + " field is not a plain number of at most 9 digits: " + QuoteUserText(text);
    }
    return std::nullopt;
}

// A direction field: empty (the form then asks for the direction) or one
// letter. A longer text is refused as a letter outside the pair would be.
std::optional<std::string> FieldDirection(std::string_view text, std::optional<std::string> (*directionOf)(char, int&),
                                          int& option) {
    const std::string_view t = TrimBlanksAndTabs(text);
    if (t.empty()) return std::nullopt;
    return directionOf(t.size() == 1 ? t[0] : '\0', option);
}

}  // namespace

std::variant<BatchColumns, std::string> ReadBatchHeader(const CsvRecord& header, bool found) {
    const std::string expected = "The first line must be the header " + std::string(kBatchHeader);
    if (!found) return "The file is empty. " + expected;
    if (!header.error.empty() || header.blank) return expected;
    BatchColumns columns;
    columns.at.fill(kNoColumn);
    columns.count = header.count;
    for (std::size_t k = 0; k < header.count; ++k) {
        const std::string_view name = header.Field(k);
        const auto known = std::find(kBatchColumnNames.begin(), kBatchColumnNames.end(), name);
        if (known == kBatchColumnNames.end())
            return "The header names an unknown column " + QuoteUserText(name) + ". " + expected;
        std::size_t& at = columns.at[static_cast<std::size_t>(known - kBatchColumnNames.begin())];
        if (at != kNoColumn) return "The header names the column " + std::string(name) + " twice";
        at = k;
    }
    // With a place, the atlas may give the zone, the box, each angle whole,
    // and the names.
    const bool place = columns.Has(kColPlace);
    for (std::size_t c = 0; c < kBatchFieldCount; ++c) {
        const bool optional = place && c >= kColZone;
        if (!optional && !columns.Has(static_cast<BatchColumn>(c)))
            return "The header has no " + std::string(kBatchColumnNames[c]) + " column. " + expected;
    }
    for (const BatchColumn first : {kColLatDeg, kColLonDeg}) {
        const int present =
            columns.Has(first) + columns.Has(BatchColumn(first + 1)) + columns.Has(BatchColumn(first + 2));
        if (present % 3 != 0)
            return "The columns " + std::string(kBatchColumnNames[first]) + ", " +
                   std::string(kBatchColumnNames[first + 1]) + " and " + std::string(kBatchColumnNames[first + 2]) +
                   " come together";
    }
    return columns;
}

std::optional<std::string> BirthFromBatchRow(const CsvRecord& record, const BatchColumns& columns, BirthFormData& form,
                                             BirthData& birth, AtlasUse& atlas) {
    // A column the header lacks reads as an empty field.
    const auto field = [&](BatchColumn c) { return columns.Has(c) ? record.Field(columns.at[c]) : std::string_view(); };
    const auto given = [&](BatchColumn c) { return !TrimBlanksAndTabs(field(c)).empty(); };
    const int year = FieldNumber(field(kColYear)), month = FieldNumber(field(kColMonth)),
              day = FieldNumber(field(kColDay)), hour = FieldNumber(field(kColHour)),
              minute = FieldNumber(field(kColMinute));
    // A row with a place takes from the atlas what it leaves empty.
    const std::string_view place = TrimBlanksAndTabs(field(kColPlace));
    const bool fromAtlas = !place.empty();
    if (!fromAtlas && columns.Has(kColPlace)) {
        for (std::size_t c = kColZone; c < kBatchFieldCount; ++c)
            if (!columns.Has(static_cast<BatchColumn>(c))) return "The place field is empty";
    }
    // An empty hour and minute are a birth time not known.
    const bool timeUnknown = !given(kColHour) && !given(kColMinute);
    if (auto refused = CheckNumberFields(record, columns, fromAtlas, timeUnknown)) return refused;
    // The single-chart command's order and words: date, time, zone, directions.
    if (auto refused = CheckBirthDate(year, month, day)) return refused;
    if (!timeUnknown)
        if (auto refused = CheckBirthTime(hour, minute)) return refused;
    form.cboYear = YearItem(year);
    form.cboMonth = month - 1;
    form.cboDate = day - 1;
    form.cboHour = timeUnknown ? kUnknownTimeHour : hour;
    form.cboMinute = timeUnknown ? 0 : minute;
    form.chkTimeUnknown = timeUnknown;
    form.cboTimeZone = 0;
    if (!fromAtlas || given(kColZone)) {
        form.cboTimeZone = FieldNumber(field(kColZone));
        if (auto refused = CheckZoneSlot(form.cboTimeZone)) return refused;
    }
    form.optLatSouth = form.optLongEast = -1;
    if (auto refused = FieldDirection(field(kColLatDir), LatitudeDirectionOf, form.optLatSouth)) return refused;
    if (auto refused = FieldDirection(field(kColLonDir), LongitudeDirectionOf, form.optLongEast)) return refused;
    form.chkDST = false;
    if (!fromAtlas || given(kColDst)) {
        const std::string_view dst = TrimBlanksAndTabs(field(kColDst));
        if (dst != "0" && dst != "1") return "The dst field must be 0 or 1";
        form.chkDST = dst == "1";
    }

    WriteKeepingRoom(form.txtName, field(kColName), kTypedTextRoom);
    form.txtLatD.assign(TrimBlanksAndTabs(field(kColLatDeg)));
    form.txtLatM.assign(TrimBlanksAndTabs(field(kColLatMin)));
    form.txtLonD.assign(TrimBlanksAndTabs(field(kColLonDeg)));
    form.txtLonM.assign(TrimBlanksAndTabs(field(kColLonMin)));
    WriteKeepingRoom(form.txtCity, field(kColCity), kTypedTextRoom);
    WriteKeepingRoom(form.txtState, field(kColState), kTypedTextRoom);
    WriteKeepingRoom(form.txtCountry, field(kColCountry), kTypedTextRoom);
    if (fromAtlas) {
        const PlaceRequest request{std::string(place),
                                   given(kColLatDeg) || given(kColLatMin) || given(kColLatDir),
                                   given(kColLonDeg) || given(kColLonMin) || given(kColLonDir),
                                   given(kColZone),
                                   given(kColDst),
                                   given(kColCity),
                                   given(kColState),
                                   given(kColCountry)};
        if (auto refused = PlaceFromAtlas(request, form, atlas)) return refused;
    }
    // Then the form's own checks, in the form's order and words.
    if (auto failure = CheckBirthForm(form, birth)) return std::move(failure->message);
    return std::nullopt;
}

}  // namespace qv::report
