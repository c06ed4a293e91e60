#include "app/reading_file.h"

#include <charconv>

#include "app/atomic_file.h"
#include "state/text.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"

namespace qv {
namespace {

constexpr std::size_t kLineName = 0, kLineMonth = 1, kLineDay = 2, kLineYear = 3, kLineHour = 4, kLineMinute = 5,
                      kLineZone = 6, kLineLonD = 7, kLineLonM = 8, kLineLatD = 9, kLineLatM = 10, kLineLonEast = 11,
                      kLineLatSouth = 12, kLineDST = 13, kLineCity = 14, kLineState = 15, kLineCountry = 16;

std::string ShiftBytes(std::string_view text, int by) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>((static_cast<unsigned char>(text[i]) + by) & 0xFF);
    }
    return out;
}

std::string BoolText(bool value) { return value ? "True" : "False"; }

// A number line: the list it selects in and the value it sets.
struct NumberLine {
    std::size_t line;
    std::string_view what;
    int first, count;
    std::optional<int> ReadingValues::*value;
};
constexpr NumberLine kNumberLines[] = {
    {kLineMonth, "month", 1, 12, &ReadingValues::month},
    {kLineDay, "day", 1, 31, &ReadingValues::day},
    {kLineYear, "year", kFirstBirthYear, kBirthYearCount, &ReadingValues::year},
    {kLineHour, "hour", 0, 24, &ReadingValues::hour},
    {kLineMinute, "minute", 0, 60, &ReadingValues::minute},
    {kLineZone, "time zone", 0, kTimeZoneCount, &ReadingValues::zoneSlot},
};

// A True/False line and the flag it sets.
struct FlagLine {
    std::size_t line;
    std::string_view what;
    bool ReadingValues::*value;
};
constexpr FlagLine kFlagLines[] = {
    {kLineLonEast, "longitude direction", &ReadingValues::lonEast},
    {kLineLatSouth, "latitude direction", &ReadingValues::latSouth},
    {kLineDST, "daylight saving", &ReadingValues::daylightSaving},
};

// A text line and the text it sets.
struct TextLine {
    std::size_t line;
    std::string ReadingValues::*value;
};
constexpr TextLine kTextLines[] = {
    {kLineName, &ReadingValues::name},       {kLineLonD, &ReadingValues::lonDegrees},
    {kLineLonM, &ReadingValues::lonMinutes}, {kLineLatD, &ReadingValues::latDegrees},
    {kLineLatM, &ReadingValues::latMinutes}, {kLineCity, &ReadingValues::city},
    {kLineState, &ReadingValues::state},     {kLineCountry, &ReadingValues::country},
};

// The number `text` writes, as the writer writes numbers (decimal digits, no
// sign, no leading zero, no blanks), when the list first … first+count-1
// holds it.
std::optional<int> ListNumber(std::string_view text, int first, int count) {
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value < first || value >= first + count) return std::nullopt;
    return value;
}

// The file's name, without its folder, as UTF-8 bytes.
std::string FileNameOf(const std::filesystem::path& file) {
    const std::u8string name = file.filename().u8string();
    return std::string(name.begin(), name.end());
}

// What a damaged line holds, shortened for a message.
std::string ShownContent(std::string_view text) {
    static constexpr std::size_t kMostShown = 40;
    if (text.size() <= kMostShown) return QuoteUserText(text);
    std::size_t cut = kMostShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    return QuoteUserText(text.substr(0, cut)) + "\u2026";
}

ReadingRefusal Damaged(const std::filesystem::path& file, std::size_t line, std::string_view what,
                       std::string_view text) {
    return {"The reading " + QuoteUserText(FileNameOf(file)) + " is damaged: line " + std::to_string(line + 1) + " (" +
            std::string(what) + ") holds " + ShownContent(text) + "."};
}

}  // namespace

std::string EncodeReadingText(std::string_view text) { return ShiftBytes(text, kReadingFileKey); }

std::string DecodeReadingText(std::string_view text) { return ShiftBytes(text, 256 - kReadingFileKey); }

bool HasReadingExtension(const std::filesystem::path& file) {
    // The native name, so that no conversion can fail on the way.
    const auto& name = file.native();
    return name.size() >= 3 && name[name.size() - 3] == 'q' && name[name.size() - 2] == 'v' && name.back() == 'n';
}

ReadingLines MakeReadingLines(const ChartState& s, int zoneSlot) {
    using std::to_string;
    ReadingLines lines;
    // Texts pass through ValidUtf8 so that no byte can turn into a line end.
    lines[kLineName] = ValidUtf8(TrimBlanks(s.BirthName));
    lines[kLineMonth] = to_string(s.BirthMonth);
    lines[kLineDay] = to_string(s.BirthDay);
    lines[kLineYear] = to_string(s.BirthYear);
    lines[kLineHour] = to_string(s.BirthHour);
    lines[kLineMinute] = to_string(s.BirthMinute);
    lines[kLineZone] = to_string(zoneSlot);
    lines[kLineLonD] = to_string(s.LonDegrees);
    lines[kLineLonM] = to_string(s.LonMinutes);
    lines[kLineLatD] = to_string(s.LatDegrees);
    lines[kLineLatM] = to_string(s.LatMinutes);
    lines[kLineLonEast] = BoolText(s.LonEast);
    lines[kLineLatSouth] = BoolText(s.LatSouth);
    lines[kLineDST] = BoolText(s.DaylightSaving);
    lines[kLineCity] = ValidUtf8(TrimBlanks(s.BirthCity));
    lines[kLineState] = ValidUtf8(TrimBlanks(s.BirthState));
    lines[kLineCountry] = ValidUtf8(TrimBlanks(s.BirthCountry));
    return lines;
}

std::string ReadingFileBytes(const ReadingLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes.append(EncodeReadingText(line)).append("\r\n");
    return bytes;
}

std::optional<std::string> WriteReadingFile(const std::filesystem::path& file, const ChartState& state, int zoneSlot) {
    return WriteFileAtomically(file, ReadingFileBytes(MakeReadingLines(state, zoneSlot)));
}

ReadingFileRead ReadReadingFile(const std::filesystem::path& file) {
    ReadingFileRead result;
    TextLinesRead raw = ReadTextLinesBounded(file, kReadingLineCount, kReadingMaxLineBytes);
    result.error = std::move(raw.error);
    result.linesFound = raw.lines.size();
    for (std::size_t i = 0; i < raw.lines.size(); ++i) result.lines[i] = DecodeReadingText(raw.lines[i]);
    return result;
}

std::variant<ReadingValues, ReadingRefusal> LoadReading(const std::filesystem::path& file) {
    if (!HasReadingExtension(file)) return ReadingRefusal{"Please Check The File."};

    const ReadingFileRead read = ReadReadingFile(file);
    if (read.error) return ReadingRefusal{*read.error};
    bool anyData = false;
    for (const std::string& line : read.lines) anyData = anyData || !line.empty();
    if (!anyData)
        return ReadingRefusal{"The reading " + QuoteUserText(FileNameOf(file)) + " is empty: it holds no birth data."};

    // Lines beyond the end of a short file keep their defaults.
    const auto present = [&](std::size_t line) { return line < read.linesFound; };
    ReadingValues values;
    for (const TextLine& t : kTextLines) values.*t.value = ValidUtf8(read.lines[t.line]);
    for (const NumberLine& n : kNumberLines) {
        if (!present(n.line)) continue;
        values.*n.value = ListNumber(read.lines[n.line], n.first, n.count);
        if (!(values.*n.value)) return Damaged(file, n.line, n.what, read.lines[n.line]);
    }
    for (const FlagLine& f : kFlagLines) {
        if (!present(f.line)) continue;
        const std::string& text = read.lines[f.line];
        if (text != "True" && text != "False") return Damaged(file, f.line, f.what, text);
        values.*f.value = text == "True";
    }
    return values;
}

void RestoreFormFromReading(const ReadingValues& v, BirthFormData& form) {
    form.txtName = v.name;
    if (v.month) form.cboMonth = *v.month - 1;
    if (v.day) form.cboDate = *v.day - 1;
    if (v.year) form.cboYear = YearItem(*v.year);
    if (v.hour) form.cboHour = *v.hour;
    if (v.minute) form.cboMinute = *v.minute;
    if (v.zoneSlot) form.cboTimeZone = *v.zoneSlot;
    form.txtLonD = v.lonDegrees;
    form.txtLonM = v.lonMinutes;
    form.txtLatD = v.latDegrees;
    form.txtLatM = v.latMinutes;
    form.optLongEast = v.lonEast ? 0 : 1;
    form.optLatSouth = v.latSouth ? 1 : 0;
    form.chkDST = v.daylightSaving;
    form.txtCity = v.city;
    form.txtState = v.state;
    form.txtCountry = v.country;
}

std::optional<std::string> ReadingIntoForm(const std::filesystem::path& file, BirthFormData& form) {
    const auto loaded = LoadReading(file);
    if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) return refused->message;
    RestoreFormFromReading(std::get<ReadingValues>(loaded), form);
    if (auto failure = ValidateInput(form)) return std::move(failure->message);
    return std::nullopt;
}

}  // namespace qv
