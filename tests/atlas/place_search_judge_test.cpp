// The index against its judge: the same search reading every key in turn,
// on many random texts; and the look-up cache against the index.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "atlas/place_cache.h"
#include "atlas/place_names.h"
#include "atlas/places.h"

namespace qv {
namespace {

std::string Describe(const std::vector<Place>& places) {
    std::string out;
    for (const Place& p : places) out += "\n  " + PlaceLabel(p) + " #" + std::to_string(p.id);
    return out;
}

// Texts as people type them, made from the atlas's own names: their starts,
// later words, with a state or country (whole, cut short, abbreviated), with
// and without commas, in other case, with stray characters.
std::vector<std::string> RandomTexts(const PlaceIndex& index, const std::vector<PlaceName>& names, int count) {
    std::mt19937 random(4711);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::vector<std::string> texts;
    while (static_cast<int>(texts.size()) < count) {
        const Place city = index.at(pick(index.size()));
        std::string name = city.name;
        if (!names.empty() && random() % 3 == 0) name = std::string(names[pick(names.size())].text);
        std::string text;
        switch (random() % 8) {
            case 0:
                text = name.substr(0, 1 + pick(name.size()));
                break;
            case 1:
                text = name.substr(pick(name.size()));
                break;
            case 2:
                text = name + ", " + city.state.substr(0, pick(city.state.size() + 1));
                break;
            case 3:
                text = name + " " + city.countryCode;
                break;
            case 4:
                text = name + ", " + city.state + ", " + city.country.substr(0, 1 + pick(city.country.size()));
                break;
            case 5:
                text = "St " + name.substr(0, 4);
                break;
            case 6:
                text = name + "  (" + city.country + ")";
                break;
            default:
                text = name;
        }
        if (random() % 5 == 0)
            for (char& c : text) c = static_cast<char>(c ^ (c >= 'a' && c <= 'z' ? 0x20 : 0));
        if (random() % 7 == 0) text.insert(pick(text.size() + 1), 1, ",.-'()"[pick(6)]);
        texts.push_back(text);
    }
    return texts;
}

TEST(PlaceSearchJudge, TheIndexFindsWhatReadingEveryKeyFinds) {
    const PlaceNames names = ReadPlaceNames();
    const PlaceIndex& atlas = Atlas();
    std::size_t differ = 0, found = 0;
    const std::vector<std::string> texts = RandomTexts(atlas, names.names, 400);
    for (const std::string& text : texts) {
        const auto fast = atlas.Find(text, 10), plain = atlas.FindByScanning(text, 10);
        found += fast.empty() ? 0 : 1;
        if (fast != plain && ++differ <= 5)
            ADD_FAILURE() << text << ":" << Describe(fast) << "\nagainst" << Describe(plain);
    }
    EXPECT_EQ(differ, 0u) << "of " << texts.size();
    EXPECT_GT(found * 2, texts.size());  // most texts find something: the test tells the two apart
}

TEST(PlaceSearchJudge, TheCacheGivesTheIndexsBestPlace) {
    const PlaceIndex& atlas = Atlas();
    const std::vector<std::string> texts = RandomTexts(atlas, {}, 300);
    BestPlaceCache cache(atlas, 50);  // starts afresh several times
    std::mt19937 random(99);
    for (int i = 0; i < 3000; ++i) {
        const std::string& text = texts[random() % (i < 1500 ? 40 : texts.size())];
        const auto best = atlas.Find(text, 1);
        const Place* cached = cache.Find(text);
        ASSERT_EQ(cached != nullptr, !best.empty()) << text;
        if (cached) EXPECT_EQ(*cached, best[0]) << text;
    }
    EXPECT_EQ(cache.Find("Qzxqzx"), nullptr);
    EXPECT_EQ(cache.Find("Qzxqzx"), nullptr);
}

}  // namespace
}  // namespace qv
