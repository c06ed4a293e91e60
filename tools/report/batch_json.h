// One line of JSON per batch row: the chart object of ChartJson with "row"
// in front, or {"row": n, "error": message}.
//
// Building, serialising and freeing a JSON tree for every chart costs more
// than the chart itself, so the writer
// - keeps one tree of the chart's shape and overwrites its values in place
//   (strings keep their storage);
// - serialises, once, that tree with a marker in every value the chart
//   changes, and keeps the serialised text between the markers: keys,
//   brackets and the values that never change;
// - per chart, serialises only the changing values with the same serializer
//   into one reused string, between those fixed pieces, and keeps the
//   serialised text of values that come back again and again (the findings'
//   messages, labels, sign names).
// Every byte is the serializer's own. At construction the writer checks that
// a chart written this way is the serialised tree, and that the tree equals
// ChartJson for the same chart; should either ever differ, it writes every
// chart through ChartJson instead.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/chart_wheel.h"
#include "state/chart_state.h"

namespace qv::report {

class ChartLineWriter {
public:
    ChartLineWriter();
    ~ChartLineWriter();
    ChartLineWriter(const ChartLineWriter&) = delete;
    ChartLineWriter& operator=(const ChartLineWriter&) = delete;

    // Appends the chart of `state` with "row" in front, and a line break.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state);
    // The same with the wheel the calculation filled from `state`.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state, const ChartWheel& wheel);

    // Appends {"row": row, "error": message} and a line break.
    void AppendError(std::string& out, std::size_t row, std::string_view message);

    // False when the shapes differed and every chart goes through ChartJson.
    bool InPlace() const { return inPlace_; }
    // True when charts are written from the fixed pieces.
    bool Templated() const { return templated_; }

private:
    using Json = nlohmann::ordered_json;

    // The first writer of a process builds the tree and the fixed pieces from
    // sample charts and checks them; every other writer copies that one.
    struct BuildAndCheck {};
    explicit ChartLineWriter(BuildAndCheck);
    static const ChartLineWriter& Prototype();
    struct Position {
        Json::string_t* name;
        Json::string_t* position;
        Json::number_float_t* longitude;
        Json::string_t* label;
        Json::boolean_t* retrograde;
    };
    struct House {
        Json::string_t* sign;
        Json::array_t* bodies;
    };
    struct Finding {
        Json::boolean_t* present;
        Json::string_t* message;
    };

    // A value that changes from chart to chart, and the serialised texts it
    // had before (strings only; kept while there are few of them).
    struct Hole {
        Json* value;
        std::vector<std::pair<std::string, std::string>> seen;
        bool manyValues = false;
    };

    void Bind();
    void BuildTemplate();
    void Fill(std::size_t row, const ChartState& state, const ChartWheel& wheel);
    void Serialise(std::string& out, const Json& value);
    void SerialiseHole(Hole& hole);
    void AppendFromTemplate(std::string& out);

    Json chart_;
    Json error_;
    bool inPlace_ = true;
    bool templated_ = false;
    ChartWheel wheel_;

    Json::number_unsigned_t* row_ = nullptr;
    Json::string_t* ascendantText_ = nullptr;
    Json::string_t* moonText_ = nullptr;
    Json::string_t* moonSign_ = nullptr;
    Json::string_t* universalTime_ = nullptr;
    std::array<Position, 11> positions_{};
    std::array<House, 12> houses_{};
    std::vector<Finding> findings_;  // elements, qualities, house types in order

    Json::number_unsigned_t* errorRow_ = nullptr;
    Json::string_t* errorMessage_ = nullptr;

    std::vector<Hole> holes_;           // in the order they are serialised
    std::vector<std::string> pieces_;   // fixed text before hole k; one more after the last
    std::vector<std::size_t> pieceHole_;  // the hole after piece k

    std::string line_;
    std::unique_ptr<nlohmann::detail::serializer<Json>> serializer_;
};

}  // namespace qv::report
