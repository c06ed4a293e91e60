#include "tests/oracle/literal_chart.h"

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/elements.h"
#include "retro/stations.h"
#include "state/fixed_lists.h"
#include "tests/oracle/literal_engine.h"

namespace qv::oracle {

namespace {

constexpr std::string_view kSignAbbreviations = "AriTauGemCanLeoVirLibScoSagCapAquPis";

std::optional<int> SignOfAbbreviation(std::string_view abbrev) {
    for (int k = 0; k < 12; ++k)
        if (kSignAbbreviations.substr(static_cast<std::size_t>(3 * k), 3) == abbrev) return k;
    return std::nullopt;
}

std::string_view AbbreviationOfPosition(std::string_view positionText) {
    if (positionText.size() < 4) return {};
    return positionText.substr(3, 3);
}

// ---- The wheel --------------------------------------------------------------

constexpr std::string_view kLineBreak = "\r\n";

void JoinBox(const ChartState& state, const WheelBox& box, std::string& text) {
    text.clear();
    for (std::size_t body = 0; body < kAscendantSlot; ++body)
        if (box.bodies & (1u << body)) text.append(kLineBreak).append(state.BodyLabel[body]);
    if (box.ascendant) text.append(kLineBreak).append(kBodyNames[kAscendantSlot]);
}

// ---- The analysis -------------------------------------------------------------

constexpr std::array<std::string_view, 4> kElementMissingText = {
    "You may not be very assertive. Your timidness can make people take advantage of you. "
    "You may try to overcome this by being over dominating.",
    "You may come up with ideas that cannot be implemented. They may seem great in theplanning "
    "stgae but not practical. You may not giv muich importance to routine mundane stuff. Your "
    "ideas may not be wmeant for this world.",
    "You have zero communication skills. You do believe in writing letters or speaking to "
    "people unless very much needed. You may overcome this absence by being charming and thus "
    "leading others to amke the wroing decisions. You will not waste time in unwnated talk.",
    "You may not be able to express your emotions very well."};

constexpr std::array<std::string_view, 3> kQualityMissingText = {
    "You lose the assertiveness to take action. you will not being good at solving a crissi "
    "sicne you take thigns pretty lightly. You may have good communication skills but you just "
    "dont care about making use of them to solve problems.",
    "You have no fixed rules regarding any issue. You will find it diffcicult to adapt to a "
    "certain atmosphere. You will not be flexible and only make compromises seeinf what if you "
    "have to gain at the end.",
    "You will find it diffcicult to stick to one thing. This is not because you dont wnat to, "
    "its just ebcause you do not find it imortant enough. Nothing in life will be compulsory."};

constexpr std::array<std::string_view, 3> kHouseTypeMissingText = {
    "You may find it diffcult to begin things. So you tend to overdo it or not do it at all. "
    "Material incentives mean a lot to you. You are not worried about your actions and their "
    "immediate implications.",
    "You find it diffcult to focus on one thign for a long time. You believe more in short time "
    "goals than long time ones. You are good at starting things, but may not have the contuned "
    "interest to complete them.",
    "You do not give thought to what has happened before. this may mean you end up repeating "
    "thigns that people have already competed when you start on a project. you fail to learn "
    "from your mistakes."};

constexpr std::string_view kElementIntro =
    "Absence of certain elements in your chart can affect your characteristics in many ways. "
    "If a sign belonging to that missing element happens to be on one of the cardinal points "
    "(the Ascendant, Mid-Heaven, Descendant, or Nadir), then the missing characteristics wil be "
    "compensated.";
constexpr std::string_view kQualityIntro =
    "Absence of certain qualities in your chart can affect your characteristics in many ways. "
    "There may be absence or overdoing of that quality. But sometimes you may not even consider "
    "that quality imporatnt enough to be considered.";
constexpr std::string_view kHouseIntro =
    "When planets are missing in a particular house type on your chart, then certain qualities "
    "may be undefined.";

constexpr std::string_view kMissingMarker = "M-";

struct Family {
    std::string_view heading;
    std::string_view intro;
    std::string_view presentPhrase;
    std::string_view missingPhrase;
};

constexpr Family kElementFamily{"Element", kElementIntro, " element present in your chart.",
                                " element missing in your chart."};
constexpr Family kQualityFamily{"Quality", kQualityIntro, " quality present in your chart.",
                                " quality missing in your chart."};
constexpr Family kHouseFamily{"House", kHouseIntro, " house present in your chart.", " house missing in your chart."};

void CategoryMessage(std::string& message, const Family& family, std::string_view name, std::string_view missingText,
                     bool present) {
    message.clear();
    if (present) {
        message.append("You have ").append(name).append(family.presentPhrase);
    } else {
        message.append(kMissingMarker).append("You have ").append(name).append(family.missingPhrase);
        message.append("\r\n").append(missingText);
    }
}

// The text kept for as long as this thread runs, as the state holds texts.
FixedText Lasting(const std::string& text) {
    thread_local std::set<std::string, std::less<>> kept;
    return FixedText::Of(*kept.insert(text).first);
}

void DisplayText(std::string& out, std::string_view message) {
    out.clear();
    std::size_t start = 0;
    for (std::size_t crlf; (crlf = message.find("\r\n", start)) != std::string_view::npos; start = crlf + 1)
        out.append(message, start, crlf - start);
    out.append(message, start);
}

StyledRun& NextRun(std::vector<StyledRun>& runs, std::size_t& next, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                   bool bold) {
    if (next == runs.size()) runs.emplace_back();
    StyledRun& run = runs[next++];
    run.red = r;
    run.green = g;
    run.blue = b;
    run.bold = bold;
    return run;
}

void AppendFamily(std::vector<StyledRun>& runs, std::size_t& next, const Family& family, const FixedText* results,
                  std::size_t count, bool blankLineAfter) {
    NextRun(runs, next, 0, 0, 128, true).text = Lasting(std::string(family.heading).append("\n"));
    NextRun(runs, next, 0, 128, 0, false).text = Lasting(std::string(family.intro).append("\n"));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view entry = results[i];
        const bool missing = entry.starts_with(kMissingMarker);
        std::string text;
        DisplayText(text, missing ? entry.substr(kMissingMarker.size()) : entry);
        NextRun(runs, next, 0, 0, 0, missing).text = Lasting(text.append("\n"));
    }
    if (blankLineAfter) NextRun(runs, next, 0, 0, 0, false).text = Lasting("\n");
}

}  // namespace

void MarkLabels(ChartState& state) {
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) {
        std::string label(kBodyNames[slot]);
        if (slot >= 2 && slot < 2 + kStationPlanetCount && state.RetrogradeFlag[slot - 2]) label += " (R) ";
        state.BodyLabel[slot] = Lasting(label);
    }
}

std::array<std::string, 12> HouseBoxTexts(const ChartState& state, const ChartWheel& wheel) {
    std::array<std::string, 12> texts;
    for (std::size_t h = 0; h < 12; ++h)
        JoinBox(state, wheel.signBoxes[(static_cast<std::size_t>(wheel.firstHouseSign) + h) % 12], texts[h]);
    return texts;
}

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    if (const auto asc = SignOfAbbreviation(LastCharacters(TrimBlanks(state.AscendantText), 3))) {
        wheel.lblLagna = Lasting(std::string(kSignNames[static_cast<std::size_t>(*asc)]));
    }
    wheel.lblRashi = state.MoonSignName;
    for (WheelBox& box : wheel.signBoxes) {
        box.bodies = 0;
        box.ascendant = false;
    }
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[body]))) {
            wheel.signBoxes[static_cast<std::size_t>(*sign)].bodies |= static_cast<std::uint16_t>(1u << body);
        }
    }
    wheel.firstHouseSign = 0;
    if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[kAscendantSlot]))) {
        wheel.signBoxes[static_cast<std::size_t>(*sign)].ascendant = true;
        wheel.firstHouseSign = *sign;
    }

    const std::string_view ascAbbrev = AbbreviationOfPosition(state.PlanetPosition[kAscendantSlot]);
    for (std::size_t s = 0; s < 12; ++s) {
        if (!ascAbbrev.empty() && state.SignAbbrevList[s] == ascAbbrev) {
            for (std::size_t h = 0; h < 12; ++h) wheel.imgSign[h] = static_cast<int>((s + h) % 12 + 1);
            break;
        }
    }
}

void AnalyseElementsQualityHouse(ChartState& state) {
    for (std::string& s : state.HouseSign) s.clear();
    state.ElementResult = {};
    state.QualityResult = {};
    state.HouseTypeResult = {};

    const std::optional<int> ascSign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[10]));
    if (ascSign) {
        for (std::size_t h = 0; h < 12; ++h)
            state.HouseSign[h].assign(kSignNames[(static_cast<std::size_t>(*ascSign) + h) % 12].substr(0, 3));
    }

    std::array<bool, 4> elementHeld{};
    std::array<bool, 3> qualityHeld{};
    std::array<bool, 3> houseTypeHeld{};
    for (std::size_t body = 0; body < 10; ++body) {
        const std::optional<int> sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[body]));
        if (!sign) continue;
        elementHeld[static_cast<std::size_t>(ElementOfSign(*sign))] = true;
        qualityHeld[static_cast<std::size_t>(QualityOfSign(*sign))] = true;
        if (ascSign) houseTypeHeld[static_cast<std::size_t>(HouseTypeOfHouse(WholeSignHouse(*sign, *ascSign)))] = true;
    }

    std::string message;
    for (std::size_t i = 0; i < kElementNames.size(); ++i) {
        CategoryMessage(message, kElementFamily, kElementNames[i], kElementMissingText[i], elementHeld[i]);
        state.ElementResult[i] = Lasting(message);
    }
    for (std::size_t i = 0; i < kQualityNames.size(); ++i) {
        CategoryMessage(message, kQualityFamily, kQualityNames[i], kQualityMissingText[i], qualityHeld[i]);
        state.QualityResult[i] = Lasting(message);
    }
    for (std::size_t i = 0; i < kHouseTypeNames.size(); ++i) {
        CategoryMessage(message, kHouseFamily, kHouseTypeNames[i], kHouseTypeMissingText[i], houseTypeHeld[i]);
        state.HouseTypeResult[i] = Lasting(message);
    }

    std::vector<StyledRun>& runs = state.InterpretationRuns;
    std::size_t next = 0;
    AppendFamily(runs, next, kElementFamily, state.ElementResult.data(), kElementNames.size(), true);
    AppendFamily(runs, next, kQualityFamily, state.QualityResult.data(), kQualityNames.size(), true);
    AppendFamily(runs, next, kHouseFamily, state.HouseTypeResult.data(), kHouseTypeNames.size(), false);
    runs.resize(next);
}

}  // namespace qv::oracle
