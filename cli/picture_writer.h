// --picture: the chart drawn as a PNG, SVG or JPEG file, as the chart
// window's "Save As Picture" draws it. The drawing needs Qt, which the
// command does not load for anything else: it lives in a private library,
// libquorvane-picture.so, opened only when a picture is asked for, so that a
// chart without one starts as quickly and as small as ever.
#pragma once

#include <optional>
#include <string>

#include "chart/chart_wheel.h"
#include "state/chart_state.h"

namespace qv::report {

// What the command asks of the library: one chart, one file.
struct PictureRequest {
    const ChartState* state = nullptr;
    const ChartWheel* wheel = nullptr;
    const char* path = nullptr;
    int width = 0;
};

// The library's one entry: writes the picture, or returns false with the
// message for the user in `error`.
using WritePictureEntry = bool (*)(const PictureRequest& request, std::string& error);
inline constexpr char kPictureLibraryName[] = "libquorvane-picture.so";
inline constexpr char kPictureEntryName[] = "qv_write_chart_picture";

// Writes the picture of a calculated chart to `path` (its kind from the
// extension), `width` pixels wide; the library is opened on the first call.
// nullopt when written, else the message.
std::optional<std::string> WriteChartPicture(const ChartState& state, const ChartWheel& wheel, const std::string& path,
                                             int width);

}  // namespace qv::report
