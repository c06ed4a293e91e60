#include "tools/report/batch_json.h"

#include <charconv>
#include <initializer_list>

#include "analysis/elements.h"
#include "app/birth_form.h"
#include "app/chart_run.h"
#include "astro/universal_time.h"
#include "state/time_zones.h"
#include "tools/report/chart_json.h"

namespace qv::report {

namespace {

using Json = nlohmann::ordered_json;

// Two charts that differ in every computed value, for the shape check.
BirthFormData SampleForm(int which) {
    BirthFormData form;
    form.txtName = "Sample";
    form.txtCity = "City";
    form.txtState = "State";
    form.txtCountry = "Country";
    if (which == 0) {
        form.cboYear = 1990 - 1901;
        form.cboMonth = 5;
        form.cboDate = 14;
        form.cboHour = 12;
        form.cboMinute = 30;
        form.cboTimeZone = 29;
        form.txtLatD = "51", form.txtLatM = "30", form.optLatSouth = 0;
        form.txtLonD = "0", form.txtLonM = "7", form.optLongEast = 1;
    } else {
        form.cboYear = 1944 - 1901;
        form.cboMonth = 11;
        form.cboDate = 30;
        form.cboHour = 23;
        form.cboMinute = 59;
        form.cboTimeZone = 6;
        form.txtLatD = "33", form.txtLatM = "52", form.optLatSouth = 1;
        form.txtLonD = "151", form.txtLonM = "12", form.optLongEast = 0;
        form.chkDST = true;
    }
    return form;
}

ChartState SampleChart(int which) {
    ChartState state;
    LoadFixedLists(state);
    LoadTimeZones(state);
    ChartWheel wheel;
    RunChartCalculation(SampleForm(which), state, wheel);
    return state;
}

// True when `value` is an object with exactly these keys in this order.
bool HasKeys(const Json& value, std::initializer_list<std::string_view> keys) {
    if (!value.is_object() || value.size() != keys.size()) return false;
    auto it = value.begin();
    for (std::string_view key : keys) {
        if (it.key() != key) return false;
        ++it;
    }
    return true;
}

// The labels of one house box: its CR LF separated lines, empty ones left out.
void FillBoxLabels(Json::array_t& labels, std::string_view box) {
    std::size_t n = 0;
    std::size_t start = 0;
    while (start < box.size()) {
        std::size_t end = box.find("\r\n", start);
        if (end == std::string_view::npos) end = box.size();
        if (end > start) {
            const std::string_view label = box.substr(start, end - start);
            if (n < labels.size() && labels[n].is_string()) labels[n].get_ref<Json::string_t&>().assign(label);
            else if (n < labels.size()) labels[n] = std::string(label);
            else labels.emplace_back(std::string(label));
            ++n;
        }
        start = end + 2;
    }
    if (labels.size() > n) labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(n), labels.end());
}

}  // namespace

const ChartLineWriter& ChartLineWriter::Prototype() {
    static const ChartLineWriter prototype{BuildAndCheck{}};
    return prototype;
}

ChartLineWriter::ChartLineWriter() {
    serializer_ = std::make_unique<nlohmann::detail::serializer<Json>>(
        nlohmann::detail::output_adapter<char, std::string>(line_), ' ', nlohmann::detail::error_handler_t::replace);
    error_["row"] = Json::number_unsigned_t{0};
    error_["error"] = "";
    errorRow_ = error_["row"].get_ptr<Json::number_unsigned_t*>();
    errorMessage_ = error_["error"].get_ptr<Json::string_t*>();

    const ChartLineWriter& prototype = Prototype();
    chart_ = prototype.chart_;
    Bind();  // the same shape gives the same holes in the same order
    inPlace_ = inPlace_ && prototype.inPlace_;
    templated_ = inPlace_ && prototype.templated_ && holes_.size() == prototype.holes_.size();
    if (templated_) {
        pieces_ = prototype.pieces_;
        pieceHole_ = prototype.pieceHole_;
    }
}

ChartLineWriter::ChartLineWriter(BuildAndCheck) {
    serializer_ = std::make_unique<nlohmann::detail::serializer<Json>>(
        nlohmann::detail::output_adapter<char, std::string>(line_), ' ', nlohmann::detail::error_handler_t::replace);

    // The tree takes its shape from ChartJson itself, "row" in front.
    const ChartState first = SampleChart(0);
    chart_ = Json::object();
    chart_["row"] = Json::number_unsigned_t{0};
    const Json reference = ChartJson(first);
    for (auto it = reference.begin(); it != reference.end(); ++it) chart_[it.key()] = it.value();
    Bind();

    if (inPlace_) BuildTemplate();

    // Writing in place must give what ChartJson gives, and the fixed pieces
    // what serialising the whole tree gives, for two unlike charts.
    if (inPlace_) {
        for (int which : {1, 0}) {
            const ChartState sample = which == 0 ? first : SampleChart(which);
            FillChartWheel(sample, wheel_);
            Fill(0, sample, wheel_);
            Json written = chart_;
            written.erase("row");
            if (written != ChartJson(sample)) {
                inPlace_ = false;
                templated_ = false;
                break;
            }
            if (templated_) {
                std::string whole, pieced;
                Serialise(whole, chart_);
                AppendFromTemplate(pieced);
                if (whole != pieced) templated_ = false;
            }
        }
    }
}

ChartLineWriter::~ChartLineWriter() = default;

void ChartLineWriter::Bind() {
    inPlace_ = false;
    holes_.clear();
    auto hole = [this](Json& value) { holes_.push_back({&value, {}, false}); };
    if (!HasKeys(chart_, {"row", "ascendant_text", "moon_text", "moon_sign", "universal_time", "positions", "houses",
                          "elements", "qualities", "house_types"}))
        return;
    row_ = chart_["row"].get_ptr<Json::number_unsigned_t*>();
    ascendantText_ = chart_["ascendant_text"].get_ptr<Json::string_t*>();
    moonText_ = chart_["moon_text"].get_ptr<Json::string_t*>();
    moonSign_ = chart_["moon_sign"].get_ptr<Json::string_t*>();
    universalTime_ = chart_["universal_time"].get_ptr<Json::string_t*>();
    if (!row_ || !ascendantText_ || !moonText_ || !moonSign_ || !universalTime_) return;
    for (const char* key : {"row", "ascendant_text", "moon_text", "moon_sign", "universal_time"}) hole(chart_[key]);

    Json& positions = chart_["positions"];
    if (!positions.is_array() || positions.size() != positions_.size()) return;
    for (std::size_t slot = 0; slot < positions_.size(); ++slot) {
        Json& p = positions[slot];
        if (!HasKeys(p, {"name", "position", "longitude", "label", "retrograde"})) return;
        positions_[slot] = {p["name"].get_ptr<Json::string_t*>(), p["position"].get_ptr<Json::string_t*>(),
                            p["longitude"].get_ptr<Json::number_float_t*>(), p["label"].get_ptr<Json::string_t*>(),
                            p["retrograde"].get_ptr<Json::boolean_t*>()};
        const Position& b = positions_[slot];
        if (!b.name || !b.position || !b.longitude || !b.label || !b.retrograde) return;
        for (const char* key : {"name", "position", "longitude", "label", "retrograde"}) hole(p[key]);
    }

    Json& houses = chart_["houses"];
    if (!houses.is_array() || houses.size() != houses_.size()) return;
    for (std::size_t h = 0; h < houses_.size(); ++h) {
        Json& house = houses[h];
        if (!HasKeys(house, {"house", "sign", "bodies"})) return;
        houses_[h] = {house["sign"].get_ptr<Json::string_t*>(), house["bodies"].get_ptr<Json::array_t*>()};
        if (!houses_[h].sign || !houses_[h].bodies) return;
        hole(house["sign"]);
        hole(house["bodies"]);
    }

    findings_.clear();
    const std::pair<const char*, std::size_t> families[] = {
        {"elements", kElementNames.size()}, {"qualities", kQualityNames.size()}, {"house_types", kHouseTypeNames.size()}};
    for (const auto& [key, count] : families) {
        Json& list = chart_[key];
        if (!list.is_array() || list.size() != count) return;
        for (Json& f : list) {
            if (!HasKeys(f, {"name", "present", "message"})) return;
            findings_.push_back({f["present"].get_ptr<Json::boolean_t*>(), f["message"].get_ptr<Json::string_t*>()});
            if (!findings_.back().present || !findings_.back().message) return;
            hole(f["present"]);
            hole(f["message"]);
        }
    }
    inPlace_ = true;
}

void ChartLineWriter::BuildTemplate() {
    // Serialise the tree with a marker string in place of every changing
    // value; the serializer writes the marker's control character as \u0001,
    // which no key or fixed value holds.
    std::vector<Json> saved;
    saved.reserve(holes_.size());
    for (std::size_t k = 0; k < holes_.size(); ++k) {
        saved.push_back(*holes_[k].value);
        *holes_[k].value = "\x01" + std::to_string(k);
    }
    line_.clear();
    serializer_->dump(chart_, false, false, 0);
    const std::string text = line_;
    for (std::size_t k = 0; k < saved.size(); ++k) *holes_[k].value = std::move(saved[k]);
    const std::size_t holeCount = holes_.size();
    Bind();  // the values were replaced: take their places afresh
    if (!inPlace_ || holes_.size() != holeCount) return;

    static constexpr std::string_view kMarker = "\"\\u0001";
    pieces_.clear();
    pieceHole_.clear();
    std::vector<bool> used(holes_.size(), false);
    std::size_t pos = 0;
    for (;;) {
        const std::size_t at = text.find(kMarker, pos);
        if (at == std::string::npos) {
            pieces_.push_back(text.substr(pos));
            break;
        }
        pieces_.push_back(text.substr(pos, at - pos));
        std::size_t end = at + kMarker.size();
        std::size_t k = 0;
        const auto [ptr, ec] = std::from_chars(text.data() + end, text.data() + text.size(), k);
        end = static_cast<std::size_t>(ptr - text.data());
        if (ec != std::errc{} || k >= used.size() || used[k] || end >= text.size() || text[end] != '"') return;
        used[k] = true;
        pieceHole_.push_back(k);
        pos = end + 1;
    }
    templated_ = pieceHole_.size() == holes_.size();
}

void ChartLineWriter::SerialiseHole(Hole& hole) {
    // Serialised texts are kept for values that come back; once a value has
    // shown more than this many, it is serialised every time.
    static constexpr std::size_t kMostKept = 12;
    const Json& value = *hole.value;
    if (!hole.manyValues && value.is_string()) {
        const Json::string_t& s = value.get_ref<const Json::string_t&>();
        for (const auto& [kept, text] : hole.seen)
            if (kept == s) {
                line_.append(text);
                return;
            }
        const std::size_t before = line_.size();
        serializer_->dump(value, false, false, 0);
        if (hole.seen.size() < kMostKept) hole.seen.emplace_back(s, line_.substr(before));
        else hole.manyValues = true;
        return;
    }
    serializer_->dump(value, false, false, 0);
}

void ChartLineWriter::AppendFromTemplate(std::string& out) {
    line_.clear();
    for (std::size_t k = 0; k < pieceHole_.size(); ++k) {
        line_.append(pieces_[k]);
        SerialiseHole(holes_[pieceHole_[k]]);
    }
    line_.append(pieces_.back());
    out.append(line_);
    out.push_back('\n');
}

void ChartLineWriter::Fill(std::size_t row, const ChartState& state, const ChartWheel& wheel) {
    *row_ = row;
    *ascendantText_ = state.AscendantText;
    *moonText_ = state.MoonText;
    *moonSign_ = state.MoonSignName;
    *universalTime_ = FormatIsoMinute(UniversalMoment(state));
    for (std::size_t slot = 0; slot < positions_.size(); ++slot) {
        const Position& p = positions_[slot];
        *p.name = state.PositionName[slot];
        *p.position = state.PlanetPosition[slot];
        *p.longitude = state.BodyLongitude[slot];
        *p.label = state.BodyLabel[slot];
        // Slots 2..9 are Mercury … Pluto, flags 0..7.
        *p.retrograde = slot >= 2 && slot <= 9 && state.RetrogradeFlag[slot - 2];
    }

    for (std::size_t h = 0; h < houses_.size(); ++h) {
        *houses_[h].sign = state.HouseSign[h];
        FillBoxLabels(*houses_[h].bodies, wheel.lblNatal[h]);
    }

    std::size_t k = 0;
    auto fillFamily = [&](const auto& results, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++k) {
            *findings_[k].present = IsPresentMessage(results[i]);
            *findings_[k].message = results[i];
        }
    };
    fillFamily(state.ElementResult, kElementNames.size());
    fillFamily(state.QualityResult, kQualityNames.size());
    fillFamily(state.HouseTypeResult, kHouseTypeNames.size());
}

void ChartLineWriter::Serialise(std::string& out, const Json& value) {
    line_.clear();
    serializer_->dump(value, false, false, 0);
    out.append(line_);
    out.push_back('\n');
}

void ChartLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state) {
    if (inPlace_) FillChartWheel(state, wheel_);
    AppendChart(out, row, state, wheel_);
}

void ChartLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state,
                                  const ChartWheel& wheel) {
    if (inPlace_) {
        Fill(row, state, wheel);
        if (templated_) AppendFromTemplate(out);
        else Serialise(out, chart_);
        return;
    }
    Json line = Json::object();
    line["row"] = Json::number_unsigned_t{row};
    Json chart = ChartJson(state);
    for (auto it = chart.begin(); it != chart.end(); ++it) line[it.key()] = std::move(it.value());
    Serialise(out, line);
}

void ChartLineWriter::AppendError(std::string& out, std::size_t row, std::string_view message) {
    *errorRow_ = row;
    errorMessage_->assign(message);
    Serialise(out, error_);
}

}  // namespace qv::report
