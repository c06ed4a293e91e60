// The batch's JSON lines written straight from the chart state and the wheel,
// without a tree: byte for byte what JsonLine gives for the tree that
// WriteChartJson fills with "row" in front (compact, invalid UTF-8 replaced
// by U+FFFD, nlohmann's own number format). chart_json.cpp stays the one
// mapping of a chart and the judge: the writer follows its members in the
// same order, function by function, and tests compare the two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/chart_wheel.h"
#include "chartview/chart_json.h"
#include "state/chart_state.h"

namespace qv {

class ChartJsonLineWriter {
public:
    // Appends {"row":row, then the chart's members}, and a line break.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state, const ChartWheel& wheel,
                     const AtlasUse& atlas = {});

    // Appends {"row":row,"error":message} and a line break.
    void AppendError(std::string& out, std::size_t row, std::string_view message);

private:
    // Room to write one line in, kept from line to line.
    char* Room(std::size_t bytes);
    // The start of a line, {"row":row, in room for `texts` bytes of texts.
    char* StartLine(std::size_t row, std::size_t texts);

    std::string room_;
};

// A JSON string's body as the judge writes it: `"` and `\` escaped, control
// characters as \b \t \n \f \r or \u00XX, other text as it stands, and every
// invalid UTF-8 sequence as U+FFFD. Needs room for 6 bytes per byte of
// `text`; returns the end of what it wrote.
char* PutJsonEscaped(char* out, std::string_view text);

}  // namespace qv
