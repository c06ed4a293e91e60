#include "analysis/elements.h"

#include <array>
#include <string>

#include "astro/calendar.h"

namespace qv {
namespace {

constexpr const auto& kElementName = kElementNames;
constexpr const auto& kQualityName = kQualityNames;
constexpr const auto& kHouseTypeName = kHouseTypeNames;

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

// One family of categories as the messages and the box need it.
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
constexpr Family kHouseFamily{"House", kHouseIntro, " house present in your chart.",
                              " house missing in your chart."};

// Message of one category from whether any body fell into it, written over
// `message` (its storage is reused from chart to chart).
void CategoryMessage(std::string& message, const Family& family, std::string_view name,
                     std::string_view missingText, bool present) {
    message.clear();
    if (present) {
        message.append("You have ").append(name).append(family.presentPhrase);
    } else {
        message.append(kMissingMarker).append("You have ").append(name).append(family.missingPhrase);
        message.append("\r\n").append(missingText);
    }
}

// The stored message as the box shows it, CR LF as "\n", written over `out`.
void DisplayText(std::string& out, std::string_view message) {
    out.clear();
    std::size_t start = 0;
    for (std::size_t crlf; (crlf = message.find("\r\n", start)) != std::string_view::npos; start = crlf + 1)
        out.append(message, start, crlf - start);  // the LF opens the next piece
    out.append(message, start);
}

// Run `next` of the box in this colour and weight, added when the box has
// fewer runs; `next` moves on. Its text is the caller's to write.
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

void AppendFamily(std::vector<StyledRun>& runs, std::size_t& next, const Family& family, const std::string* results,
                  std::size_t count, bool blankLineAfter) {
    NextRun(runs, next, 0, 0, 128, true).text.assign(family.heading).append("\n");
    NextRun(runs, next, 0, 128, 0, false).text.assign(family.intro).append("\n");
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& entry = results[i];
        const bool missing = entry.starts_with(kMissingMarker);
        std::string& text = NextRun(runs, next, 0, 0, 0, missing).text;
        DisplayText(text, missing ? std::string_view(entry).substr(kMissingMarker.size()) : std::string_view(entry));
        text.append("\n");
    }
    if (blankLineAfter) NextRun(runs, next, 0, 0, 0, false).text.assign("\n");
}

}  // namespace

bool IsPresentMessage(std::string_view message) { return !message.starts_with(kMissingMarker); }

std::optional<int> SignOfAbbreviation(std::string_view abbrev) {
    const int s = SignIndexFromAbbreviation(abbrev);
    return s < 0 ? std::nullopt : std::optional<int>(s);
}

std::string_view AbbreviationOfPosition(std::string_view positionText) {
    if (positionText.size() < 4) return {};
    return positionText.substr(3, 3);
}

// Element: triplicities repeat Fire, Earth, Air, Water from Aries.
Element ElementOfSign(int sign) { return static_cast<Element>(sign % 4); }

// Quality: quadruplicities repeat cardinal, fixed, mutable from Aries.
Quality QualityOfSign(int sign) {
    constexpr std::array<Quality, 3> cycle = {Quality::Cardinal, Quality::Fixed, Quality::Mutable};
    return cycle[sign % 3];
}

// House type: houses 1, 4, 7, 10 angular, the next succedent, the next cadent.
HouseType HouseTypeOfHouse(int house) { return static_cast<HouseType>((house - 1) % 3); }

// Whole-sign house: house 1 is the ascendant's sign, counting in zodiac order.
int WholeSignHouse(int sign, int ascSign) { return ((sign - ascSign) % 12 + 12) % 12 + 1; }

void AnalyseElementsQualityHouse(ChartState& state) {
    // Emptied, not freed: the next chart writes the same slots again.
    for (std::string& s : state.HouseSign) s.clear();
    for (std::string& s : state.ElementResult) s.clear();
    for (std::string& s : state.QualityResult) s.clear();
    for (std::string& s : state.HouseTypeResult) s.clear();

    const std::optional<int> ascSign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[10]));
    if (ascSign) {
        for (int h = 0; h < 12; ++h) state.HouseSign[h].assign(kSignNames[(*ascSign + h) % 12].substr(0, 3));
    }

    std::array<bool, 4> elementHeld{};
    std::array<bool, 3> qualityHeld{};
    std::array<bool, 3> houseTypeHeld{};
    for (int body = 0; body < 10; ++body) {
        const std::optional<int> sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[body]));
        if (!sign) continue;
        elementHeld[static_cast<int>(ElementOfSign(*sign))] = true;
        qualityHeld[static_cast<int>(QualityOfSign(*sign))] = true;
        if (ascSign) houseTypeHeld[static_cast<int>(HouseTypeOfHouse(WholeSignHouse(*sign, *ascSign)))] = true;
    }

    for (std::size_t i = 0; i < kElementName.size(); ++i)
        CategoryMessage(state.ElementResult[i], kElementFamily, kElementName[i], kElementMissingText[i], elementHeld[i]);
    for (std::size_t i = 0; i < kQualityName.size(); ++i)
        CategoryMessage(state.QualityResult[i], kQualityFamily, kQualityName[i], kQualityMissingText[i], qualityHeld[i]);
    for (std::size_t i = 0; i < kHouseTypeName.size(); ++i)
        CategoryMessage(state.HouseTypeResult[i], kHouseFamily, kHouseTypeName[i], kHouseTypeMissingText[i],
                        houseTypeHeld[i]);

    // The runs are written over the previous chart's, and the extra ones dropped.
    std::vector<StyledRun>& runs = state.InterpretationRuns;
    std::size_t next = 0;
    AppendFamily(runs, next, kElementFamily, state.ElementResult.data(), kElementName.size(), true);
    AppendFamily(runs, next, kQualityFamily, state.QualityResult.data(), kQualityName.size(), true);
    AppendFamily(runs, next, kHouseFamily, state.HouseTypeResult.data(), kHouseTypeName.size(), false);
    runs.resize(next);
}

}  // namespace qv
