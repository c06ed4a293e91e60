#include "tools/fuzz/fuzz_targets.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/birth_form.h"
#include "app/chart_run.h"
#include "app/chart_wheel.h"
#include "app/reading_file.h"
#include "app/time_zones.h"
#include "chartview/text_export.h"
#include "tools/report/batch.h"
#include "tools/report/chart_json.h"
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
    const ReadingFileRead read = ReadReadingFile(ScratchReading());
    std::error_code ignored;
    std::filesystem::remove(ScratchReading(), ignored);
    if (read.error) return;
    BirthFormData form;
    RestoreFormFromReading(read.lines, form);
    if (ValidateInput(form)) return;
    ChartState state;
    LoadFixedLists(state);
    LoadTimeZones(state);
    ChartWheel wheel;
    RunChartCalculation(form, state, wheel);
    (void)report::ChartJsonText(state);
    (void)MakeTextExport(state);
    (void)ReadingFileBytes(MakeReadingLines(state, form.cboTimeZone));
}

void CsvReaderTarget(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(text);
        report::CsvReader reader(in, 64);
        report::CsvRecord record;
        while (reader.Next(record)) {
        }
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

TargetFunction TargetByName(std::string_view name) {
    if (name == "reading_file") return ReadingFileTarget;
    if (name == "csv_reader") return CsvReaderTarget;
    if (name == "report_options") return ReportOptionsTarget;
    return nullptr;
}

}  // namespace qv::fuzz
