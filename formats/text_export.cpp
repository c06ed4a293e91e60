#include "formats/text_export.h"

#include "chart/personal_data.h"
#include "formats/reading_file.h"
#include "state/atomic_file.h"
#include "state/text.h"

namespace qv {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSeparator = "\r";

void Line(std::string& out, std::string_view text) { out.append(text).append(kLineEnd); }

template <std::size_t N>
void ResultLines(std::string& out, std::string_view heading, const std::array<FixedText, N>& results) {
    Line(out, kSeparator);
    Line(out, heading);
    for (const FixedText entry : results) Line(out, entry);
}

}  // namespace

std::string MakeTextExport(const ChartState& s) {
    std::string out;
    for (const std::string& line : PersonalDataLines(s, PersonalLinesFor::TextExport)) Line(out, line);
    Line(out, kSeparator);
    Line(out, "Planetary Position");
    for (std::size_t i = 0; i < s.PlanetPosition.size(); ++i) Line(out, s.PositionName[i] + " " + s.PlanetPosition[i]);
    ResultLines(out, "Element", s.ElementResult);
    ResultLines(out, "Quality", s.QualityResult);
    ResultLines(out, "House", s.HouseTypeResult);
    if (s.PositionSource == PositionsFrom::Ephemeris) Line(out, kEphemerisSourceLine);
    return out;
}

std::optional<std::string> WriteTextExport(const std::filesystem::path& file, const ChartState& state) {
    if (auto refused = RefuseSavedReading(file)) return refused;
    return WriteFileAtomically(file, MakeTextExport(state));
}

}  // namespace qv
