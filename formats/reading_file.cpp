#include "formats/reading_file.h"

#include <algorithm>
#include <utility>

#include "formats/file_names.h"
#include "state/atomic_file.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv {
namespace {

constexpr std::size_t kLineName = 0, kLineMonth = 1, kLineDay = 2, kLineYear = 3, kLineHour = 4, kLineMinute = 5,
                      kLineZone = 6, kLineLonD = 7, kLineLonM = 8, kLineLatD = 9, kLineLatM = 10, kLineLonEast = 11,
                      kLineLatSouth = 12, kLineDST = 13, kLineCity = 14, kLineState = 15, kLineCountry = 16;

// What each line holds, as the messages name it.
constexpr std::array<std::string_view, kReadingLineCount> kLineNames = {"name",
                                                                        "month",
                                                                        "day",
                                                                        "year",
                                                                        "hour",
                                                                        "minute",
                                                                        "time zone",
                                                                        "longitude degrees",
                                                                        "longitude minutes",
                                                                        "latitude degrees",
                                                                        "latitude minutes",
                                                                        "longitude direction",
                                                                        "latitude direction",
                                                                        "daylight saving",
                                                                        "city",
                                                                        "state",
                                                                        "country"};

// A line a reading may carry after the seventeen, "Key=value", for what a
// chart holds beyond them. Added lines come in the order of kAddedLines,
// each at most once, and only when the chart needs them, so every reading
// without such a chart stays byte for byte as it was.
struct AddedLine {
    std::string_view key;
    // The line's value for the chart, or nullopt when the chart needs none.
    std::optional<std::string> (*write)(const ChartState& state);
    // Puts the value into the form; false when it is not understood.
    bool (*read)(std::string_view value, BirthFormData& form);
};

// The words of the clock kinds in an ExactClock line.
constexpr std::array<std::pair<ClockKind, std::string_view>, 3> kClockKindWords = {{
    {ClockKind::MeanTime, "mean"},
    {ClockKind::StandardTime, "standard"},
    {ClockKind::SummerTime, "summer"},
}};

// "ExactClock=+02:30:17 mean": the birth's clock to the second when no row
// gives it; line 6 then holds the nearest row.
std::optional<std::string> WriteExactClock(const ChartState& state) {
    if (!state.BirthExactClock) return std::nullopt;
    char offset[16];
    std::string value(offset, PutUtcOffset(offset, state.BirthExactClock->utcOffsetSeconds));
    for (const auto& [kind, word] : kClockKindWords)
        if (kind == state.BirthExactClock->kind) value.append(" ").append(word);
    return value;
}

// Two digits, the number they write below `below`.
std::optional<int> TwoDigits(std::string_view text, int below) {
    const std::optional<int> value = text.size() == 2 ? ParseDigits(text, 2) : std::nullopt;
    return value && *value < below ? value : std::nullopt;
}

// The value as WriteExactClock writes it, and nothing else: "±HH:MM", then
// ":SS" only when the seconds are not 0, a blank and the kind's word.
bool ReadExactClock(std::string_view value, BirthFormData& form) {
    const std::size_t blank = value.find(' ');
    if (blank == std::string_view::npos) return false;
    const std::string_view offset = value.substr(0, blank), word = value.substr(blank + 1);
    const bool seconds = offset.size() == 9;
    if ((offset.size() != 6 && !seconds) || (offset[0] != '+' && offset[0] != '-') || offset[3] != ':' ||
        (seconds && offset[6] != ':'))
        return false;
    const std::optional<int> h = TwoDigits(offset.substr(1, 2), 100), m = TwoDigits(offset.substr(4, 2), 60);
    const std::optional<int> s = seconds ? TwoDigits(offset.substr(7, 2), 60) : std::optional<int>(0);
    if (!h || !m || !s || (seconds && *s == 0)) return false;
    const std::int32_t magnitude = *h * 3600 + *m * 60 + *s;
    if (magnitude == 0 && offset[0] == '-') return false;
    ExactClock clock{offset[0] == '-' ? -magnitude : magnitude, ClockKind::MeanTime};
    if (CheckExactClock(clock)) return false;
    const auto* kind =
        std::find_if(kClockKindWords.begin(), kClockKindWords.end(), [&](const auto& k) { return k.second == word; });
    if (kind == kClockKindWords.end()) return false;
    clock.kind = kind->first;
    form.exactClock = clock;
    form.cboTimeZone = kExactClockItem;
    return true;
}

// The words of the added lines' values.
constexpr std::string_view kUnknownTime = "Unknown";

constexpr std::array<AddedLine, 2> kAddedLines{{
    {"ExactClock", WriteExactClock, ReadExactClock},
    // "BirthTime=Unknown": the birth time is not known; lines 4 and 5 hold
    // 12 and 0, the time the chart is drawn for, which a program that does
    // not know this line calculates.
    {"BirthTime",
     [](const ChartState& s) { return s.BirthTimeKnown ? std::nullopt : std::optional<std::string>(kUnknownTime); },
     [](std::string_view value, BirthFormData& form) {
         form.chkTimeUnknown = value == kUnknownTime;
         return form.chkTimeUnknown;
     }},
}};

// Most lines a reading holds, and most bytes: every line at its limit.
constexpr std::size_t kMostLines = kReadingLineCount + kAddedLines.size();
constexpr std::size_t kMostBytes = kMostLines * (kReadingMaxLineBytes + 2);

std::string ShiftBytes(std::string_view text, int by) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>((static_cast<unsigned char>(text[i]) + by) & 0xFF);
    return out;
}

std::string BoolText(bool value) { return value ? "True" : "False"; }

// A number line: the list it selects in and the item it sets.
struct NumberLine {
    std::size_t line;
    int first, count;
    int BirthFormData::*item;
};
constexpr NumberLine kNumberLines[] = {
    {kLineMonth, 1, 12, &BirthFormData::cboMonth},
    {kLineDay, 1, 31, &BirthFormData::cboDate},
    {kLineYear, kFirstBirthYear, kBirthYearCount, &BirthFormData::cboYear},
    {kLineHour, 0, 24, &BirthFormData::cboHour},
    {kLineMinute, 0, 60, &BirthFormData::cboMinute},
    {kLineZone, 0, kTimeZoneCount, &BirthFormData::cboTimeZone},
};

// A True/False line and what "True" selects or ticks.
struct FlagLine {
    std::size_t line;
    int BirthFormData::*option;  // an option pair, or nullptr for the box
    int optionIfTrue, optionIfFalse;
};
constexpr FlagLine kFlagLines[] = {
    {kLineLonEast, &BirthFormData::optLongEast, 0, 1},
    {kLineLatSouth, &BirthFormData::optLatSouth, 1, 0},
    {kLineDST, nullptr, 0, 0},
};

// A text line, the box it fills, and whether it is one of the person's
// texts, which may hold no control character.
struct TextLine {
    std::size_t line;
    std::string BirthFormData::*box;
    bool personal;
};
constexpr TextLine kTextLines[] = {
    {kLineName, &BirthFormData::txtName, true},   {kLineLonD, &BirthFormData::txtLonD, false},
    {kLineLonM, &BirthFormData::txtLonM, false},  {kLineLatD, &BirthFormData::txtLatD, false},
    {kLineLatM, &BirthFormData::txtLatM, false},  {kLineCity, &BirthFormData::txtCity, true},
    {kLineState, &BirthFormData::txtState, true}, {kLineCountry, &BirthFormData::txtCountry, true},
};

// The number `text` writes, as the writer writes numbers (decimal digits, no
// sign, no leading zero, no blanks), when the list first … first+count-1
// holds it.
std::optional<int> ListNumber(std::string_view text, int first, int count) {
    if (text.size() > 1 && text[0] == '0') return std::nullopt;
    const std::optional<int> value = ParseDigits(text);
    if (!value || *value < first || *value >= first + count) return std::nullopt;
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

std::string Reading(const std::filesystem::path& file) { return "The reading " + QuoteUserText(FileNameOf(file)); }

// "line 9 (latitude degrees)"; an added line goes by its number only.
std::string LineName(std::size_t line) {
    std::string name = "line " + std::to_string(line + 1);
    if (line < kReadingLineCount) name += " (" + std::string(kLineNames[line]) + ")";
    return name;
}

ReadingRefusal Damaged(const std::filesystem::path& file, std::size_t line, std::string_view what) {
    return {Reading(file) + " is damaged: " + LineName(line) + " " + std::string(what) + "."};
}

ReadingRefusal Holds(const std::filesystem::path& file, std::size_t line, std::string_view text) {
    return Damaged(file, line, "holds " + ShownContent(text));
}

ReadingRefusal Incomplete(const std::filesystem::path& file, std::size_t line, std::string_view what) {
    return {Reading(file) + " is incomplete: " + LineName(line) + " " + std::string(what) + "."};
}

// The file's lines, each ended by CR LF, decoded; or the refusal of a file
// whose lines are not all whole.
std::variant<std::vector<std::string>, ReadingRefusal> SplitLines(const std::filesystem::path& file,
                                                                  std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t line = lines.size();
        if (line > kMostLines) break;  // the line before is already one too many
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) return Incomplete(file, line, "is cut short");
        if (bytes.compare(end, 2, "\r\n") != 0) return Damaged(file, line, "does not end in CR LF");
        if (end - start > kReadingMaxLineBytes)
            return Damaged(file, line, "is longer than " + std::to_string(kReadingMaxLineBytes) + " bytes");
        lines.push_back(DecodeReadingText(bytes.substr(start, end - start)));
        start = end + 2;
    }
    if (lines.size() < kReadingLineCount) return Incomplete(file, lines.size(), "is missing");
    return lines;
}

// The seventeen lines into the form, or the refusal of a line.
std::optional<ReadingRefusal> ReadBirthLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                                             BirthFormData& form) {
    for (const NumberLine& n : kNumberLines) {
        const std::optional<int> value = ListNumber(lines[n.line], n.first, n.count);
        if (!value) return Holds(file, n.line, lines[n.line]);
        form.*n.item = *value - n.first;
    }
    for (const FlagLine& f : kFlagLines) {
        const std::string& text = lines[f.line];
        if (text != "True" && text != "False") return Holds(file, f.line, text);
        if (f.option)
            form.*f.option = text == "True" ? f.optionIfTrue : f.optionIfFalse;
        else
            form.chkDST = text == "True";
    }
    for (const TextLine& t : kTextLines) {
        form.*t.box = ValidUtf8(lines[t.line]);
        if (t.personal && HoldsControlCharacter(form.*t.box)) return Damaged(file, t.line, "holds a control character");
    }
    return std::nullopt;
}

// The added lines after the seventeen into the form, in table order.
std::optional<ReadingRefusal> ReadAddedLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                                             BirthFormData& form) {
    std::size_t next = 0;  // the first entry of kAddedLines the next line may be
    for (std::size_t line = kReadingLineCount; line < lines.size(); ++line) {
        const std::string_view text = lines[line];
        const std::size_t eq = text.find('=');
        const std::string_view key = text.substr(0, eq);
        std::size_t k = next;
        while (k < kAddedLines.size() && kAddedLines[k].key != key) ++k;
        if (eq == std::string_view::npos || k == kAddedLines.size())
            return Damaged(file, line, "is not understood: it holds " + ShownContent(text));
        if (!kAddedLines[k].read(text.substr(eq + 1), form)) return Holds(file, line, text);
        next = k + 1;
    }
    return std::nullopt;
}

}  // namespace

std::string EncodeReadingText(std::string_view text) { return ShiftBytes(text, kReadingFileKey); }

std::string DecodeReadingText(std::string_view text) { return ShiftBytes(text, 256 - kReadingFileKey); }

bool HasReadingExtension(const std::filesystem::path& file) {
    // The native name, so that no conversion can fail on the way.
    const auto& name = file.native();
    return name.size() >= 3 && name[name.size() - 3] == 'q' && name[name.size() - 2] == 'v' && name.back() == 'n';
}

ReadingLines MakeReadingLines(const ChartState& s) {
    using std::to_string;
    ReadingLines lines;
    // Texts pass through ValidUtf8 so that no byte can turn into a line end.
    lines[kLineName] = ValidUtf8(TrimBlanks(s.BirthName));
    lines[kLineMonth] = to_string(s.BirthMonth);
    lines[kLineDay] = to_string(s.BirthDay);
    lines[kLineYear] = to_string(s.BirthYear);
    lines[kLineHour] = to_string(s.BirthHour);
    lines[kLineMinute] = to_string(s.BirthMinute);
    lines[kLineZone] = to_string(s.ZoneSlot);
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

std::optional<std::string> ReadingFileBytes(const ChartState& state, std::string& bytes) {
    bytes.clear();
    const ReadingLines lines = MakeReadingLines(state);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].size() > kReadingMaxLineBytes) {
            bytes.clear();
            return "The " + std::string(kLineNames[k]) + " is too long to be saved in a reading (at most " +
                   std::to_string(kReadingMaxLineBytes) + " bytes).";
        }
        bytes.append(EncodeReadingText(lines[k])).append("\r\n");
    }
    for (const AddedLine& added : kAddedLines)
        if (const std::optional<std::string> value = added.write(state))
            bytes.append(EncodeReadingText(std::string(added.key) + "=" + *value)).append("\r\n");
    return std::nullopt;
}

std::optional<std::string> WriteReadingFile(const std::filesystem::path& file, const ChartState& state) {
    std::string bytes;
    if (auto refused = ReadingFileBytes(state, bytes)) return refused;
    return WriteFileAtomically(file, bytes);
}

namespace {

// The reading in a file, whatever its name.
std::variant<BirthFormData, ReadingRefusal> LoadReadingContent(const std::filesystem::path& file) {
    const FileRead read = ReadFileBounded(file, kMostBytes);
    if (read.error) return ReadingRefusal{*read.error};
    auto split = SplitLines(file, read.bytes);
    if (auto* refused = std::get_if<ReadingRefusal>(&split)) {
        // A file of empty lines, or of nothing, holds no birth data at all.
        if (read.bytes.find_first_not_of("\r\n") == std::string::npos)
            return ReadingRefusal{Reading(file) + " is empty: it holds no birth data."};
        return std::move(*refused);
    }
    const std::vector<std::string>& lines = std::get<std::vector<std::string>>(split);
    bool anyData = false;
    for (const std::string& line : lines) anyData = anyData || !line.empty();
    if (!anyData) return ReadingRefusal{Reading(file) + " is empty: it holds no birth data."};

    BirthFormData form;
    if (auto refused = ReadBirthLines(file, lines, form)) return std::move(*refused);
    if (auto refused = ReadAddedLines(file, lines, form)) return std::move(*refused);
    return form;
}

bool EndsWithReadingExtension(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".qvn";
}

}  // namespace

std::variant<BirthFormData, ReadingRefusal> LoadReading(const std::filesystem::path& file) {
    if (!HasReadingExtension(file)) return ReadingRefusal{"Please Check The File."};
    return LoadReadingContent(file);
}

std::optional<std::string> RefuseSavedReading(const std::filesystem::path& file) {
    std::error_code error;
    const bool there = std::filesystem::exists(file, error);
    const bool reading =
        there && (EndsWithReadingExtension(file) || std::holds_alternative<BirthFormData>(LoadReadingContent(file)));
    if (!reading) return std::nullopt;
    return QuoteUserText(FileNameOf(file)) +
           " is a saved reading, which the export does not replace. Please choose another name for the export.";
}

std::string OfferedReadingName(const std::string& remembered, std::string_view birthName) {
    if (remembered.empty()) return remembered;
    const std::filesystem::path file(WithOwnExtension(remembered, "qvn"));
    const auto loaded = LoadReading(file);
    const auto* form = std::get_if<BirthFormData>(&loaded);
    if (!form || TrimBlanks(form->txtName) == TrimBlanks(birthName)) return remembered;
    // Another person's reading: this person's name in the same folder.
    std::string name;
    for (const char c : TrimBlanks(birthName)) name += c == '/' ? '_' : c;
    if (name.empty() || name == "." || name == "..") name = "reading";
    return (file.parent_path() / (name + ".qvn")).string();
}

}  // namespace qv
