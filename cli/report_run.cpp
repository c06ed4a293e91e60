#include "cli/report_run.h"

#include <unistd.h>

#include <iostream>
#include <optional>
#include <variant>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"
#include "chart/time_window.h"
#include "cli/atlas_input.h"
#include "cli/batch.h"
#include "cli/picture_writer.h"
#include "cli/report_options.h"
#include "cli/stations_json.h"
#include "formats/chart_json.h"
#include "formats/reading_file.h"
#include "formats/text_export.h"

#ifndef QV_PROGRAM_VERSION
#error "QV_PROGRAM_VERSION is set by CMake from the project's version"
#endif

namespace qv::report {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PreciseEngine& precise) {
    const auto parsed = ParseReportOptions(args);
    if (const auto* refused = std::get_if<OptionError>(&parsed)) {
        err << refused->message << '\n';
        return kExitRefused;
    }
    const ReportOptions& options = std::get<ReportOptions>(parsed);
    if (options.help) {
        out << ReportUsage();
        return out.flush() ? kExitOk : kExitFailed;
    }
    if (options.version) {
        out << "quorvane-report " << QV_PROGRAM_VERSION << '\n';
        return out.flush() ? kExitOk : kExitFailed;
    }
    if (options.stations) {
        out << StationsJsonText();
        if (!out.flush()) {
            err << "The station tables could not be written to standard output\n";
            return kExitFailed;
        }
        return kExitOk;
    }
    if (!options.findPlace.empty()) {
        out << FindPlaceJsonText(options.findPlace, options.findLimit);
        if (!out.flush()) {
            err << "The places could not be written to standard output\n";
            return kExitFailed;
        }
        return kExitOk;
    }
    if (options.precise && !precise) {
        err << "Precise positions are not available in this build of the command\n";
        return kExitRefused;
    }
    const PreciseEngine& engine = options.precise ? precise : PreciseEngine{};
    if (!options.batchFile.empty()) {
        BatchSettings settings;
        settings.precise = engine;
        settings.jobs = options.jobs;
        settings.timeWindow = options.timeWindow;
        settings.pictureWidth = options.pictureWidth;
        settings.picture = WriteChartPicture;
        settings.aspects = options.aspects;
        settings.progress = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
        return RunBatchFile(options.batchFile, out, err, settings);
    }

    // The form of the options, of the atlas's place, or of a saved reading,
    // as the desktop program's form would hold it.
    BirthFormData form = options.form;
    AtlasUse atlas;
    if (options.place) {
        if (const auto refused = PlaceFromAtlas(*options.place, form, atlas)) {
            err << *refused << '\n';
            return kExitRefused;
        }
    }
    if (!options.readingFile.empty()) {
        auto loaded = LoadReading(options.readingFile);
        if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) {
            err << refused->message << '\n';
            return kExitRefused;
        }
        form = std::get<BirthFormData>(loaded);
    }

    // As the desktop program: lists filled when the form opens, then the
    // form's checks and one run.
    ChartState state;
    LoadFixedLists(state);
    ChartWheel wheel;
    if (const auto refused = CalculateChartOfForm(form, state, wheel, engine)) {
        err << *refused << '\n';
        return kExitRefused;
    }

    if (!options.saveReadingFile.empty()) {
        if (const auto error = WriteReadingFile(options.saveReadingFile, state)) {
            err << *error << '\n';
            return kExitFailed;
        }
    }

    if (!options.pictureFile.empty()) {
        if (const auto failed = WriteChartPicture(state, wheel, options.pictureFile, options.pictureWidth)) {
            err << *failed << '\n';
            return kExitFailed;
        }
    }

    switch (options.format) {
        case OutputFormat::Json: {
            std::optional<TimeWindow> window;
            if (options.timeWindow) {
                auto found = FindTimeWindow(state.ChartMoment, engine);
                if (const auto* refused = std::get_if<std::string>(&found)) {
                    err << *refused << '\n';
                    return kExitRefused;
                }
                window = std::get<TimeWindow>(found);
            }
            out << ChartJsonText(state, wheel, atlas, window ? &*window : nullptr);
            break;
        }
        case OutputFormat::Text:
            out << MakeTextExport(state);
            break;
    }
    if (!out.flush()) {
        err << "The chart could not be written to standard output\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace qv::report
