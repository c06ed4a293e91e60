// The gazetteer's own index searched as people write places: the examples
// users gave, a list of common queries, and every city by its own label.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "atlas/places.h"

namespace qv {
namespace {

// clang-format off
TEST(AtlasSearch, FindsTheCitiesUsersCouldNotFind) {
    struct Case { const char* typed; const char* label; };
    const Case cases[] = {
        {"München", "Munich (München), Bavaria, Germany"},
        {"Munchen", "Munich (München), Bavaria, Germany"},
        {"Köln", "Cologne (Köln), North Rhine-Westphalia, Germany"},
        {"Wien", "Vienna (Wien), Vienna, Austria"},
        {"Praha", "Prague (Praha), Hlavní město Praha, Czech Republic"},
        {"Lisboa", "Lisbon (Lisboa), Lisbon District, Portugal"},
        {"København", "Copenhagen (København), Capital Region, Denmark"},
        {"Москва", "Moscow (Москва), Moscow, Russia"},
        {"東京", "Tokyo (東京都), Tokyo, Japan"},
        {"Bombay", "Mumbai (Bombay), Maharashtra, India"},
        {"Calcutta", "Kolkata (Calcutta), State of West Bengal, India"},
        {"Peking", "Beijing (Peking), Beijing Municipality, China"},
        {"Saigon", "Ho Chi Minh City (Saigon), Ho Chi Minh City, Vietnam"},
        {"Kiev", "Kyiv (Kiev), Kyiv City, Ukraine"},
        {"Singapore", "Singapore, Singapore"},
        {"New York City", "New York (New York City), New York, United States of America"},
        {"Houston, TX", "Houston, Texas, United States of America"},
        {"Washington, DC", "Washington D.C. (Washington), District of Columbia, United States of America"},
        {"London, UK", "London, England, United Kingdom"},
        {"Roma", "Rome (Roma), Lazio, Italy"},
        {"Milano", "Milan (Milano), Lombardy, Italy"},
        {"Napoli", "Naples (Napoli), Campania, Italy"},
        {"Chicago IL", "Chicago, Illinois, United States of America"},
        {"Toronto, ON", "Toronto, Ontario, Canada"},
        {"Sydney, NSW", "Sydney, New South Wales, Australia"},
        {"Hong Kong", "Hong Kong, Central and Western, Hong Kong S.A.R"},
        {"Monaco", "Monaco, Municipality of Monaco, Principality of Monaco"},
        {"Luxembourg", "Luxembourg, Luxembourg, Luxembourg"},
    };
    for (const auto& c : cases) {
        const auto found = FindPlaces(c.typed, 1);
        EXPECT_EQ(found.empty() ? "nothing" : PlaceLabel(found[0]), c.label) << c.typed;
    }
    for (const char* typed : {"St. Petersburg", "St Petersburg"}) {
        const auto found = FindPlaces(typed, 2);
        ASSERT_EQ(found.size(), 2u) << typed;
        EXPECT_EQ(PlaceLabel(found[0]), "Saint Petersburg, Saint Petersburg, Russia") << typed;
        EXPECT_EQ(PlaceLabel(found[1]), "St. Petersburg, Florida, United States of America") << typed;
    }
}
// clang-format on

// tests/data/places/queries.tsv: the world's large cities as people type
// them, in several scripts and by old names, each with the city meant.
TEST(AtlasSearch, FindsTheCityMeantFirstForCommonQueries) {
    std::ifstream in(QV_TEST_DATA "/places/queries.tsv");
    ASSERT_TRUE(in) << "no query list";
    std::size_t queries = 0, right = 0;
    std::string line, misses;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t'), tab2 = line.find('\t', tab + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        const std::string typed = line.substr(0, tab);
        const auto id = static_cast<std::uint32_t>(std::stoul(line.substr(tab + 1, tab2 - tab - 1)));
        const auto found = FindPlaces(typed, 1);
        ++queries;
        if (!found.empty() && found[0].id == id) {
            ++right;
        } else {
            misses += "\n  " + typed + ": " + (found.empty() ? "nothing" : PlaceLabel(found[0])) + " instead of " +
                      line.substr(tab2 + 1);
        }
    }
    EXPECT_GE(queries, 130u);
    EXPECT_GE(right * 100, queries * 97) << right << " of " << queries << " right first; missed:" << misses;
}

// What --find-place prints finds that city again, for every city.
TEST(AtlasSearch, EveryCityIsFoundFirstByItsOwnLabel) {
    const PlaceIndex& atlas = Atlas();
    std::set<std::string> labels;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < atlas.size(); ++i) {
        const Place city = atlas.at(i);
        const std::string label = PlaceLabel(city);
        EXPECT_TRUE(labels.insert(label).second) << "two cities labelled " << label;
        const auto found = atlas.Find(label, 1);
        if (found.size() != 1 || found[0].id != city.id || found[0].latitude != city.latitude) {
            if (++wrong <= 10)
                ADD_FAILURE() << label << " finds " << (found.empty() ? "nothing" : PlaceLabel(found[0]));
        }
    }
    EXPECT_EQ(wrong, 0u) << "of " << atlas.size();
    EXPECT_GT(atlas.size(), 24000u);
}

}  // namespace
}  // namespace qv
