#include "app/reading_file.h"

#include <charconv>

#include "app/atomic_file.h"

namespace qv {
namespace {

constexpr std::size_t kLineName = 0, kLineMonth = 1, kLineDay = 2, kLineYear = 3, kLineHour = 4,
                      kLineMinute = 5, kLineZone = 6, kLineLonD = 7, kLineLonM = 8, kLineLatD = 9,
                      kLineLatM = 10, kLineLonEast = 11, kLineLatSouth = 12, kLineDST = 13, kLineCity = 14,
                      kLineState = 15, kLineCountry = 16;

constexpr int kTimeZoneSlots = 71;

std::string ShiftBytes(std::string_view text, int by) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>((static_cast<unsigned char>(text[i]) + by) & 0xFF);
    }
    return out;
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string BoolText(bool value) { return value ? "True" : "False"; }

// A whole decimal number, blanks around it and a sign allowed.
std::optional<long> WholeNumber(std::string_view text) {
    std::string trimmed = TrimBlanks(text);
    std::string_view digits = trimmed;
    if (digits.starts_with('+')) digits.remove_prefix(1);
    long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// Index of the list item reading `text` in a list of the numbers first … first+count-1.
std::optional<int> NumberItemIndex(std::string_view text, int first, int count) {
    for (int i = 0; i < count; ++i) {
        if (text == std::to_string(first + i)) return i;
    }
    return std::nullopt;
}

void SelectByNumber(std::string_view text, int offset, int count, int& selection) {
    if (const auto n = WholeNumber(text)) {
        const long index = *n - offset;
        if (index >= 0 && index < count) selection = static_cast<int>(index);
    }
}

void SelectByText(std::string_view text, int first, int count, int& selection) {
    if (const auto index = NumberItemIndex(text, first, count)) selection = *index;
}

}  // namespace

std::string EncodeReadingText(std::string_view text) { return ShiftBytes(text, kReadingFileKey); }

std::string DecodeReadingText(std::string_view text) { return ShiftBytes(text, 256 - kReadingFileKey); }

bool HasReadingExtension(std::string_view fileName) { return fileName.ends_with("qvn"); }

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

std::optional<std::string> WriteReadingFile(const std::filesystem::path& file, const ChartState& state,
                                             int zoneSlot) {
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

void RestoreFormFromReading(const ReadingLines& lines, BirthFormData& form) {
    form.txtName = ValidUtf8(lines[kLineName]);
    SelectByNumber(lines[kLineMonth], 1, 12, form.cboMonth);
    SelectByText(lines[kLineDay], 1, 31, form.cboDate);
    SelectByText(lines[kLineYear], 1901, 150, form.cboYear);
    SelectByText(lines[kLineHour], 0, 24, form.cboHour);
    SelectByText(lines[kLineMinute], 0, 60, form.cboMinute);
    SelectByNumber(lines[kLineZone], 0, kTimeZoneSlots, form.cboTimeZone);
    form.txtLonD = ValidUtf8(lines[kLineLonD]);
    form.txtLonM = ValidUtf8(lines[kLineLonM]);
    form.txtLatD = ValidUtf8(lines[kLineLatD]);
    form.txtLatM = ValidUtf8(lines[kLineLatM]);
    form.optLongEast = lines[kLineLonEast] == "True" ? 0 : 1;
    form.optLatSouth = lines[kLineLatSouth] == "True" ? 1 : 0;
    form.chkDST = lines[kLineDST] == "True";
    form.txtCity = ValidUtf8(lines[kLineCity]);
    form.txtState = ValidUtf8(lines[kLineState]);
    form.txtCountry = ValidUtf8(lines[kLineCountry]);
}

std::string ValidUtf8(std::string_view text) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b0 < 0x80) len = 1;
        else if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
        else if (b0 == 0xE0) len = 3, lo = 0xA0;
        else if (b0 >= 0xE1 && b0 <= 0xEC) len = 3;
        else if (b0 == 0xED) len = 3, hi = 0x9F;
        else if (b0 >= 0xEE && b0 <= 0xEF) len = 3;
        else if (b0 == 0xF0) len = 4, lo = 0x90;
        else if (b0 >= 0xF1 && b0 <= 0xF3) len = 4;
        else if (b0 == 0xF4) len = 4, hi = 0x8F;
        std::size_t good = len == 0 ? 0 : 1;  // bytes of a valid prefix
        while (good > 0 && good < len && i + good < text.size()) {
            const auto b = static_cast<unsigned char>(text[i + good]);
            const unsigned char min = good == 1 ? lo : 0x80, max = good == 1 ? hi : 0xBF;
            if (b < min || b > max) break;
            ++good;
        }
        if (len > 0 && good == len) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            out.append(kReplacement);
            i += good == 0 ? 1 : good;
        }
    }
    return out;
}

}  // namespace qv
