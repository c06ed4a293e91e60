#include "analysis/elements.h"

#include <array>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "state/text_room.h"

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
constexpr Family kHouseFamily{"House", kHouseIntro, " house present in your chart.", " house missing in your chart."};

// Message of one category from whether any body fell into it.
std::string CategoryMessage(const Family& family, std::string_view name, std::string_view missingText, bool present) {
    std::string message;
    if (present) {
        message.append("You have ").append(name).append(family.presentPhrase);
    } else {
        message.append(kMissingMarker).append("You have ").append(name).append(family.missingPhrase);
        message.append("\r\n").append(missingText);
    }
    return message;
}

// A stored message as its line of the box: without the "M-" marker, CR LF as
// "\n", and the line's own "\n" at the end.
std::string BoxLine(std::string_view message) {
    if (message.starts_with(kMissingMarker)) message.remove_prefix(kMissingMarker.size());
    std::string line;
    std::size_t start = 0;
    for (std::size_t crlf; (crlf = message.find("\r\n", start)) != std::string_view::npos; start = crlf + 1)
        line.append(message, start, crlf - start);  // the LF opens the next piece
    line.append(message, start);
    return line.append("\n");
}

// One category's texts, present and missing: the stored messages and the
// lines of the box.
struct CategoryTexts {
    std::array<std::string, 2> message;  // [present]
    std::array<std::string, 2> line;     // [present]
};

// Every text the analysis writes, made once and kept for the program's run:
// per family its heading and introduction lines and its categories' texts.
struct FamilyTexts {
    std::string heading, intro;
    std::vector<CategoryTexts> categories;
};

template <std::size_t N>
FamilyTexts MakeFamilyTexts(const Family& family, const std::array<std::string_view, N>& names,
                            const std::array<std::string_view, N>& missingTexts) {
    FamilyTexts texts{std::string(family.heading) + "\n", std::string(family.intro) + "\n", {}};
    for (std::size_t i = 0; i < N; ++i) {
        CategoryTexts& category = texts.categories.emplace_back();
        for (bool present : {false, true}) {
            category.message[present] = CategoryMessage(family, names[i], missingTexts[i], present);
            category.line[present] = BoxLine(category.message[present]);
        }
    }
    return texts;
}

// Elements, qualities, house types.
const std::array<FamilyTexts, 3>& Texts() {
    static const std::array<FamilyTexts, 3> texts = {
        MakeFamilyTexts(kElementFamily, kElementName, kElementMissingText),
        MakeFamilyTexts(kQualityFamily, kQualityName, kQualityMissingText),
        MakeFamilyTexts(kHouseFamily, kHouseTypeName, kHouseTypeMissingText)};
    return texts;
}

// The box's runs: per family a heading, an introduction, one line per
// category and, after the first two, an empty line.
constexpr std::size_t kRunCount = 3 * 2 + 10 + 2;

// One family's results and runs, from `next` on, from which of its
// categories hold a body.
template <std::size_t M>
void WriteFamily(const FamilyTexts& texts, const bool* held, std::array<FixedText, M>& results,
                 std::vector<StyledRun>& runs, std::size_t& next, bool blankLineAfter) {
    runs[next++] = {FixedText::Of(texts.heading), 0, 0, 128, true};
    runs[next++] = {FixedText::Of(texts.intro), 0, 128, 0, false};
    for (std::size_t i = 0; i < texts.categories.size(); ++i) {
        const CategoryTexts& category = texts.categories[i];
        results[i] = FixedText::Of(category.message[held[i]]);
        runs[next++] = {FixedText::Of(category.line[held[i]]), 0, 0, 0, !held[i]};
    }
    for (std::size_t i = texts.categories.size(); i < M; ++i) results[i] = {};  // the spare slot
    if (blankLineAfter) runs[next++] = {"\n", 0, 0, 0, false};
}

}  // namespace

bool IsPresentMessage(std::string_view message) { return !message.starts_with(kMissingMarker); }

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
    const int ascSign = state.BodySign[kAscendantSlot];
    for (int h = 0; h < 12; ++h) {
        std::string& houseSign = state.HouseSign[static_cast<std::size_t>(h)];
        if (ascSign < 0)
            houseSign.clear();
        else
            WriteKeepingRoom(houseSign, SignAbbreviation((ascSign + h) % 12));
    }

    bool elementHeld[4] = {}, qualityHeld[3] = {}, houseTypeHeld[3] = {};
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        const int sign = state.BodySign[body];
        if (sign < 0) continue;
        elementHeld[static_cast<int>(ElementOfSign(sign))] = true;
        qualityHeld[static_cast<int>(QualityOfSign(sign))] = true;
        if (ascSign >= 0) houseTypeHeld[static_cast<int>(HouseTypeOfHouse(WholeSignHouse(sign, ascSign)))] = true;
    }

    // The runs keep their storage from chart to chart.
    const std::array<FamilyTexts, 3>& texts = Texts();
    std::vector<StyledRun>& runs = state.InterpretationRuns;
    runs.resize(kRunCount);
    std::size_t next = 0;
    WriteFamily(texts[0], elementHeld, state.ElementResult, runs, next, true);
    WriteFamily(texts[1], qualityHeld, state.QualityResult, runs, next, true);
    WriteFamily(texts[2], houseTypeHeld, state.HouseTypeResult, runs, next, false);
}

}  // namespace qv
