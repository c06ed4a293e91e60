// One line of JSON per batch row: the chart object of ChartJson with "row"
// in front, or {"row": n, "error": message}.
//
// Building and freeing a JSON tree for every chart costs more than the chart
// itself, so the writer keeps one tree of the chart's shape, overwrites its
// values in place (strings keep their storage) and serialises it with one
// serializer into one reused string. At construction it checks that a chart
// written this way equals ChartJson for the same chart; should the two ever
// differ in shape, it writes every chart through ChartJson instead.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/chart_state.h"
#include "app/chart_wheel.h"

namespace qv::report {

class ChartLineWriter {
public:
    ChartLineWriter();
    ~ChartLineWriter();
    ChartLineWriter(const ChartLineWriter&) = delete;
    ChartLineWriter& operator=(const ChartLineWriter&) = delete;

    // Appends the chart of `state` with "row" in front, and a line break.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state);

    // Appends {"row": row, "error": message} and a line break.
    void AppendError(std::string& out, std::size_t row, std::string_view message);

    // False when the shapes differed and every chart goes through ChartJson.
    bool InPlace() const { return inPlace_; }

private:
    using Json = nlohmann::ordered_json;
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

    void Bind();
    void Fill(std::size_t row, const ChartState& state);
    void Serialise(std::string& out, const Json& value);

    Json chart_;
    Json error_;
    bool inPlace_ = true;
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

    std::string line_;
    std::unique_ptr<nlohmann::detail::serializer<Json>> serializer_;
};

}  // namespace qv::report
