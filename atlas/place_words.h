// Fixed word lists of the place search: the short forms people write for
// states and countries, words written in two ways ("St" and "Saint"), city
// names of the 20th century that the gazetteer's catalogs lack, and the few
// cities that the gazetteer leaves out.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/places.h"

namespace qv {

// A state's short form within its country: {"CA", "ON", "Ontario"}. The
// state is named as the gazetteer names it. States of the United States are
// not listed: the gazetteer's code of each is its postal abbreviation.
struct StateShortForm {
    std::string_view country, shortForm, state;
};
std::span<const StateShortForm> StateShortForms();

// A name people give a country besides the gazetteer's: {"UK", "GB"}.
struct CountryShortForm {
    std::string_view shortForm, country;
};
std::span<const CountryShortForm> CountryShortForms();

// A name people use for a city that no catalog of the gazetteer gives, by
// the city's gazetteer number: an earlier one ({1566083, "Saigon"}) or a
// short one ({5128581, "NYC"}).
struct OtherName {
    std::uint32_t id;
    std::string_view name;
};
std::span<const OtherName> OtherNames();

// The text as people write it without ä, ö, ü and ø: "ae", "oe", "ue" and "o"
// ("Muenchen", "Kobenhavn"), where the search key spells them "a", "o", "u"
// and "oe"; empty when the text holds none of them.
std::string OtherSpelling(std::string_view text);

// Cities the gazetteer leaves out although people are born there: city-states
// and capitals of territories (Singapore, Macau, …).
std::vector<Place> CitiesTheGazetteerLacks();

// A folded search key (FoldForSearch) with the words written in two ways in
// one form: "st", "ste", "ft", "mt" and "sankt" as "saint", "sainte", "fort",
// "mount" and "saint". With `lastWordOpen`, the last word is left as it is
// (it may be the start of a longer word: "st" of "stuttgart").
std::string WithWholeWords(std::string_view folded, bool lastWordOpen = false);

// WithWholeWords on a key in place (all its words whole), for the index.
void ToWholeWords(std::string& folded);

// Whether the last word of a folded key is one that WithWholeWords changes.
bool EndsInShortWord(std::string_view folded);

}  // namespace qv
