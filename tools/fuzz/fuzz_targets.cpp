#include "tools/fuzz/fuzz_targets.h"

#include <array>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/birth_form.h"
#include "app/birth_values.h"
#include "app/chart_run.h"
#include "app/chart_wheel.h"
#include "app/reading_file.h"
#include "chartview/chart_json.h"
#include "chartview/chart_json_line.h"
#include "chartview/text_export.h"
#include "tools/report/batch.h"
#include "tools/report/csv_reader.h"
#include "tools/report/report_options.h"

namespace qv::fuzz {

namespace {

// One scratch file per process for the reading target.
const std::filesystem::path& ScratchReading() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qv_fuzz_" + std::to_string(::getpid()) + ".qvn");
    return path;
}

// Messages reach a terminal: no byte of the user's may steer it. Line ends
// of the messages themselves are the only control characters allowed.
void RequireNoRawControls(std::string_view message) {
    for (const char c : message) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\n') || b == 0x7F) __builtin_trap();
    }
}

}  // namespace

void ReadingFileTarget(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(ScratchReading(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) return;
    }
    // As the command opens a reading: a fresh form, then the form's checks.
    BirthFormData form;
    const auto refused = ReadingIntoForm(ScratchReading(), form);
    std::error_code ignored;
    std::filesystem::remove(ScratchReading(), ignored);
    if (refused) return;
    ChartState state;
    LoadFixedLists(state);
    ChartWheel wheel;
    RunChartCalculation(form, state, wheel);
    (void)ChartJsonText(state, wheel);
    (void)MakeTextExport(state);
    (void)ReadingFileBytes(MakeReadingLines(state, form.cboTimeZone));
}

void CsvReaderTarget(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(text);
        report::CsvReader reader(in, 64);
        report::CsvRecord record;
        while (reader.Next(record)) {}
    }
    // Two jobs for one input in eight: threads cost more than the rows.
    std::istringstream in(text);
    std::ostringstream out, err;
    report::BatchSettings settings;
    settings.jobs = size % 8 == 0 ? 2 : 1;
    (void)report::RunBatch(in, out, err, settings);
    RequireNoRawControls(err.str());
}

void ReportOptionsTarget(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            args.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[k]));
        }
    }
    if (!current.empty() || size == 0) args.push_back(std::move(current));
    const auto parsed = report::ParseReportOptions(args);
    if (const auto* refused = std::get_if<report::OptionError>(&parsed)) RequireNoRawControls(refused->message);
    if (const auto* options = std::get_if<report::ReportOptions>(&parsed); options && options->help)
        (void)report::ReportUsage();
}

void JsonLineTarget(const std::uint8_t* data, std::size_t size) {
    using Json = nlohmann::ordered_json;
    struct Chart {
        ChartState state;
        ChartWheel wheel;
    };
    static const Chart calculated = [] {
        Chart c;
        const BirthValues asha{.name = "Asha",
                               .year = 1975,
                               .month = 6,
                               .day = 15,
                               .hour = 14,
                               .minute = 30,
                               .zoneSlot = 34,
                               .latDegrees = "28",
                               .latMinutes = "37",
                               .latDirection = LatitudeDirection::North,
                               .lonDegrees = "77",
                               .lonMinutes = "13",
                               .lonDirection = LongitudeDirection::East,
                               .city = "New Delhi",
                               .state = "Delhi",
                               .country = "India"};
        if (CalculateChartOf(asha, c.state, c.wheel)) __builtin_trap();
        return c;
    }();
    Chart chart = calculated;
    ChartState& s = chart.state;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() >= sizeof(double)) {
        std::memcpy(&s.BodyLongitude[static_cast<std::size_t>(data[0]) % 11], data, sizeof(double));
        bytes.remove_prefix(sizeof(double));
    }
    AtlasUse atlas;
    std::array<std::string, 6> fixed;  // kept here for the fixed texts that show them
    std::string* const texts[] = {
        &atlas.place,     &atlas.zoneId, &s.BirthName, &s.BirthCity,       &s.BirthState,        &s.BirthCountry,
        &s.AscendantText, &s.MoonText,   &fixed[0],    &s.PositionName[3], &s.PlanetPosition[5], &fixed[1],
        &s.HouseSign[0],  &fixed[2],     &fixed[3],    &fixed[4],          &s.TimeZoneName[34]};
    for (std::string* text : texts) {
        const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
        text->assign(bytes.substr(0, cut));
        bytes.remove_prefix(std::min(cut + 1, bytes.size()));
    }
    fixed[5].assign(bytes);
    s.MoonSignName = FixedText::Of(fixed[0]);
    s.BodyLabel[9] = FixedText::Of(fixed[1]);
    s.ElementResult[1] = FixedText::Of(fixed[2]);
    s.QualityResult[2] = FixedText::Of(fixed[3]);
    s.HouseTypeResult[0] = FixedText::Of(fixed[4]);
    s.BodyLabel[0] = FixedText::Of(fixed[5]);
    chart.wheel.signBoxes[static_cast<std::size_t>(chart.wheel.firstHouseSign)].bodies |= 1u | 1u << 9;

    Json tree = Json::object();
    tree["row"] = size;
    WriteChartJson(s, chart.wheel, tree, atlas);
    ChartJsonLineWriter writer;
    std::string line;
    writer.AppendChart(line, size, s, chart.wheel, atlas);
    if (line != JsonLine(tree) + "\n") __builtin_trap();

    const std::string message(reinterpret_cast<const char*>(data), size);
    line.clear();
    writer.AppendError(line, size, message);
    if (line != JsonLine(Json({{"row", size}, {"error", message}})) + "\n") __builtin_trap();
}

TargetFunction TargetByName(std::string_view name) {
    if (name == "reading_file") return ReadingFileTarget;
    if (name == "csv_reader") return CsvReaderTarget;
    if (name == "report_options") return ReportOptionsTarget;
    if (name == "json_line") return JsonLineTarget;
    return nullptr;
}

}  // namespace qv::fuzz
