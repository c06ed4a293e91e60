// The place index: every name of every city as a search key, one table of
// the keys' word starts in text order, the names of states and countries for
// the parts after the city, and the cities' labels.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "atlas/place_words.h"
#include "atlas/places.h"

namespace qv {

namespace {

constexpr std::uint32_t kTopBit = 0x80000000u;
// Longer texts find nothing: no label is a tenth as long. The bound keeps
// the work for one text small whatever it holds.
constexpr std::size_t kLongestText = 1024;
// Parts between commas: a name, a state and a country, and a name that holds
// a comma itself ("Burgdorf, Hanover").
constexpr std::size_t kMostParts = 4;
// Words of a text without commas that are tried as a name and what follows.
constexpr std::size_t kMostWords = 12;
constexpr std::size_t kMostTailWords = 4;
// A name given by fewer catalogs ranks after the other names of equal match.
constexpr std::uint32_t kSureCatalogs = 3;

std::uint32_t Hash(std::string_view s) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// Where `word` starts `text` (0), starts one of its later words (1), or nowhere (-1).
int WordStart(std::string_view text, std::string_view word) {
    if (text.starts_with(word)) return 0;
    for (std::size_t at = text.find(word, 1); at != std::string_view::npos; at = text.find(word, at + 1))
        if (text[at - 1] == ' ') return 1;
    return -1;
}

// Number of a text already seen, or `next` for a new one.
std::uint32_t Intern(std::unordered_map<std::string, std::uint32_t>& seen, const std::string& key, std::size_t next) {
    return seen.try_emplace(key, static_cast<std::uint32_t>(next)).first->second;
}

void PutWord(std::string& out, std::uint32_t w) { out.append(reinterpret_cast<const char*>(&w), sizeof w); }

std::uint32_t WordAt(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

template <typename T>
std::size_t VectorBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::size_t StringBytes(const std::string& s) {
    // Short texts live inside the string object itself.
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
}

std::vector<std::string_view> Words(std::string_view folded) {
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start < folded.size();) {
        std::size_t end = folded.find(' ', start);
        if (end == std::string_view::npos) end = folded.size();
        words.push_back(folded.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string Joined(const std::vector<std::string_view>& words, std::size_t from, std::size_t to,
                   std::string_view between = " ") {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) out += between;
        out += words[i];
    }
    return out;
}

// "24°35′N 73°43′E" at `level` 0; with seconds at 1; with the number as well at 2.
std::string Detail(double latitude, double longitude, std::uint32_t id, int level) {
    std::string out;
    for (const auto& [degrees, sides] : {std::pair{latitude, "NS"}, std::pair{longitude, "EW"}}) {
        if (!out.empty()) out += ' ';
        if (level == 0) {
            const Coordinate dm = RoundToMinute(degrees);
            out += std::to_string(dm.degrees) + "\u00B0" + (dm.minutes < 10 ? "0" : "") + std::to_string(dm.minutes) +
                   "\u2032" + sides[dm.negative ? 1 : 0];
        } else {
            const long total = std::lround(std::fabs(degrees) * 3600);
            const long d = total / 3600, m = total / 60 % 60, s = total % 60;
            out += std::to_string(d) + "\u00B0" + (m < 10 ? "0" : "") + std::to_string(m) + "\u2032" +
                   (s < 10 ? "0" : "") + std::to_string(s) + "\u2033" + sides[degrees < 0 && total != 0 ? 1 : 0];
        }
    }
    if (level >= 2) out += " No. " + std::to_string(id);
    return out;
}

// A state or country part as a search key; "D.C." and "U.S.A." as "dc" and "usa".
// Its last word may be the start of a longer one ("united st").
std::string QualifierKey(std::string_view folded) {
    const std::vector<std::string_view> words = Words(folded);
    if (words.size() > 1 && std::all_of(words.begin(), words.end(), [](std::string_view w) { return w.size() == 1; }))
        return Joined(words, 0, words.size(), "");
    return WithWholeWords(folded, true);
}

// One way to read the text: a name and what follows it.
struct Reading {
    std::vector<std::string> names;       // search keys; two when the last word may be short for another
    std::vector<std::string> qualifiers;  // search keys of the state or country, at most two
    std::int8_t rank = 0;                 // 0 for the text as written, 1 for readings tried when that finds too little
};

// The readings of `text`: the one as written into `asWritten` with `rank`
// (name, then state or country), the others into `further` with rank 1 (a
// name with a comma; a name followed by its state or country without one).
void AddReadings(std::string_view text, std::int8_t rank, std::vector<Reading>& asWritten,
                 std::vector<Reading>& further) {
    // The parts between commas, folded; empty ones after the first are dropped.
    std::vector<std::string> parts;
    for (std::size_t start = 0; parts.size() <= kMostParts;) {
        const std::size_t comma = text.find(',', start);
        std::string part = FoldForSearch(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (parts.empty() || !part.empty()) parts.push_back(std::move(part));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (parts.front().empty() || parts.size() > kMostParts) return;
    const auto qualifiersFrom = [&](std::size_t from) {
        std::vector<std::string> out;
        for (std::size_t i = from; i < parts.size(); ++i) out.push_back(QualifierKey(parts[i]));
        return out;
    };
    if (parts.size() <= 3) {
        // The last word of a text without commas may be the start of a longer one.
        const auto last = static_cast<unsigned char>(text.back());
        const bool open = parts.size() == 1 && (std::isalnum(last) || last >= 0x80);
        Reading r{{WithWholeWords(parts[0])}, qualifiersFrom(1), rank};
        if (open && EndsInShortWord(parts[0])) r.names.push_back(WithWholeWords(parts[0], true));
        asWritten.push_back(std::move(r));
    }
    if (parts.size() >= 2 && parts.size() <= 4)  // a name with a comma in it
        further.push_back({{WithWholeWords(parts[0] + ' ' + parts[1])}, qualifiersFrom(2), 1});
    const std::vector<std::string_view> words = Words(parts[0]);
    if (parts.size() == 1 && words.size() >= 2 && words.size() <= kMostWords) {
        // "Chicago IL", "Sydney New South Wales Australia": a name, then one or two qualifiers.
        for (std::size_t tail = 1; tail <= std::min(words.size() - 1, kMostTailWords); ++tail) {
            const std::size_t nameEnd = words.size() - tail;
            const std::string name = WithWholeWords(Joined(words, 0, nameEnd));
            further.push_back({{name}, {QualifierKey(Joined(words, nameEnd, words.size()))}, 1});
            for (std::size_t cut = nameEnd + 1; cut < words.size(); ++cut)
                further.push_back(
                    {{name},
                     {QualifierKey(Joined(words, nameEnd, cut)), QualifierKey(Joined(words, cut, words.size()))},
                     1});
        }
    }
}

// The text without its parts in parentheses: "Udaipur, Rajasthan, India (24°35′N 73°43′E)" as the place's
// label shows which of two it is, "Munich (München), …" the other name that matched.
std::string WithoutParentheses(std::string_view text) {
    std::string out;
    int depth = 0;
    for (const char c : text) {
        if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if (depth == 0) {
            out += c;
        }
    }
    return out;
}

}  // namespace

struct PlaceIndex::Hit {
    std::uint32_t entry;
    std::int8_t rank;        // -1 for the city's own label
    std::int8_t tier;        // 0 equal, 1 the name's start, 2 a later word's start
    std::int8_t qualifiers;  // 0 each part a whole name, code or short form; more for each word's start
    std::int8_t unsure;      // 1 for a name given by few catalogs
    std::int8_t alias;       // 1 for another name than the city's own
    std::uint32_t aliasText;
};

PlaceIndex::PlaceIndex(const std::vector<Place>& places, const std::vector<PlaceName>& names) {
    SearchFolder folder;
    const auto key = [&](std::string_view text) {
        std::string k = folder.Fold(text);
        ToWholeWords(k);
        return k;
    };

    // The cities, their states, countries and zones.
    std::unordered_map<std::string, std::uint32_t> stateIds, countryIds, zoneIds;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byId;  // number, entry
    std::vector<std::string> nameKeys;
    entries_.reserve(places.size());
    for (const Place& p : places) {
        std::string nameKey = key(p.name);
        if (nameKey.empty() || p.name.size() > UINT16_MAX) continue;
        Entry e;
        e.name = static_cast<std::uint32_t>(text_.size());
        e.nameLength = static_cast<std::uint16_t>(p.name.size());
        text_ += p.name;
        e.country = Intern(countryIds, p.countryCode + '\n' + p.country, countries_.size());
        if (e.country == countries_.size()) countries_.push_back({p.country, key(p.country), p.countryCode});
        e.state = Intern(stateIds, p.countryCode + '\n' + p.stateCode + '\n' + p.state, states_.size());
        if (e.state == states_.size()) states_.push_back({p.state, key(p.state), p.stateCode});
        e.zone = Intern(zoneIds, p.zoneId, zones_.size());
        if (e.zone == zones_.size()) zones_.push_back(p.zoneId);
        e.population = p.population;
        e.id = p.id;
        e.latitude = p.latitude;
        e.longitude = p.longitude;
        if (p.id != 0) byId.emplace_back(p.id, static_cast<std::uint32_t>(entries_.size()));
        entries_.push_back(e);
        nameKeys.push_back(std::move(nameKey));
    }

    std::sort(byId.begin(), byId.end());
    const auto entryOf = [&byId](std::uint32_t id) -> std::optional<std::uint32_t> {
        const auto at = std::lower_bound(byId.begin(), byId.end(), std::pair{id, 0u});
        if (at == byId.end() || at->first != id) return std::nullopt;
        return at->second;
    };

    // The other names of each city: the catalogs', the earlier ones, and for a
    // city named as its country (Singapore, Luxembourg) the country's names.
    struct Alias {
        std::uint32_t entry;
        std::string key;
        std::string_view text;
        std::uint32_t catalogs;
    };
    std::vector<Alias> aliases;
    struct RegionName {
        const PlaceName* name;
        std::string key;
    };
    std::unordered_map<std::string_view, std::vector<RegionName>> regionNames;  // by "DE", "DE.02"
    for (const PlaceName& n : names) {
        std::uint32_t id = 0;
        const char* end = n.key.data() + n.key.size();
        if (n.key.empty() || std::from_chars(n.key.data(), end, id).ptr != end) {
            regionNames[n.key].push_back({&n, key(n.text)});
            continue;
        }
        if (const auto entry = entryOf(id)) aliases.push_back({*entry, key(n.text), n.text, n.catalogs});
    }
    for (const OtherName& other : OtherNames())
        if (const auto entry = entryOf(other.id))
            aliases.push_back({*entry, key(other.name), other.name, kSureCatalogs});
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> entriesNamed;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) entriesNamed[nameKeys[i]].push_back(i);
    for (std::uint32_t c = 0; c < countries_.size(); ++c) {
        const auto others = regionNames.find(countries_[c].code);
        if (others == regionNames.end()) continue;
        std::vector<std::uint32_t> named;
        const auto addNamed = [&](std::string_view k) {
            const auto at = entriesNamed.find(k);
            if (at == entriesNamed.end()) return;
            for (const std::uint32_t i : at->second)
                if (entries_[i].country == c && std::find(named.begin(), named.end(), i) == named.end())
                    named.push_back(i);
        };
        addNamed(countries_[c].folded);
        for (const RegionName& n : others->second) addNamed(n.key);
        for (const std::uint32_t i : named)
            for (const RegionName& n : others->second) aliases.push_back({i, n.key, n.name->text, n.name->catalogs});
    }
    // One alias per city and key: the spelling most catalogs give, counting all of them.
    std::vector<std::uint32_t> order(aliases.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&aliases](std::uint32_t i, std::uint32_t j) {
        const Alias &a = aliases[i], &b = aliases[j];
        return std::tie(a.entry, a.key, b.catalogs, a.text) < std::tie(b.entry, b.key, a.catalogs, b.text);
    });
    // The keys and their word starts, ordered by the text from each start on.
    const auto addKey = [&](std::string_view k, std::uint32_t entry, bool unsure, std::uint32_t aliasText) {
        const auto at = static_cast<std::uint32_t>(keys_.size());
        starts_.push_back(at | kTopBit);
        for (std::size_t i = 1; i < k.size(); ++i)
            if (k[i - 1] == ' ') starts_.push_back(at + static_cast<std::uint32_t>(i));
        keys_ += k;
        keys_ += '\0';
        PutWord(keys_, entry | (unsure ? kTopBit : 0));
        PutWord(keys_, aliasText);
    };
    // A name with ä, ö, ü or ø is found as people write it without them, too.
    std::vector<std::string> added;
    const auto addAliasText = [&](std::string_view text) {
        const auto at = static_cast<std::uint32_t>(aliases_.size());
        aliases_ += text;
        aliases_ += '\0';
        return at;
    };
    const auto addOtherSpelling = [&](std::string_view text, std::uint32_t entry, bool unsure, bool isAlias) {
        const std::string other = OtherSpelling(text);
        if (other.empty()) return;
        std::string otherKey = key(other);
        if (otherKey.empty() || std::find(added.begin(), added.end(), otherKey) != added.end()) return;
        addKey(otherKey, entry, unsure, isAlias ? addAliasText(text) : kNoAlias);
        added.push_back(std::move(otherKey));
    };
    const std::size_t keyCount = entries_.size() + aliases.size();
    keys_.reserve(keyCount * 28);
    starts_.reserve(keyCount * 5 / 2);
    aliases_.reserve(aliases.size() * 16);
    auto at = order.begin();
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        added = {nameKeys[i]};
        addKey(nameKeys[i], i, false, kNoAlias);
        addOtherSpelling(std::string_view(text_).substr(e.name, e.nameLength), i, false, false);
        while (at != order.end() && aliases[*at].entry == i) {
            const Alias& alias = aliases[*at];
            auto next = at + 1;
            std::uint32_t catalogs = alias.catalogs;
            for (; next != order.end() && aliases[*next].entry == i && aliases[*next].key == alias.key; ++next)
                catalogs += aliases[*next].catalogs;
            const bool unsure = catalogs < kSureCatalogs;
            if (!alias.key.empty() && std::find(added.begin(), added.end(), alias.key) == added.end()) {
                addKey(alias.key, i, unsure, addAliasText(alias.text));
                added.push_back(alias.key);
            }
            for (auto same = at; same != next; ++same) addOtherSpelling(aliases[*same].text, i, unsure, true);
            at = next;
        }
    }
    aliases.clear();
    aliases.shrink_to_fit();
    {
        // The first eight bytes of each suffix as a number order most of them
        // without touching the text again.
        std::vector<std::pair<std::uint64_t, std::uint32_t>> order(starts_.size());
        for (std::size_t i = 0; i < starts_.size(); ++i) {
            const char* p = keys_.data() + (starts_[i] & ~kTopBit);
            std::uint64_t prefix = 0;
            for (int b = 0; b < 8; ++b) {
                const auto c = static_cast<unsigned char>(p[b]);
                prefix = prefix << 8 | c;
                if (c == 0) {
                    prefix <<= 8 * (7 - b);
                    break;
                }
            }
            order[i] = {prefix, starts_[i]};
        }
        const char* base = keys_.data();
        std::sort(order.begin(), order.end(), [base](const auto& a, const auto& b) {
            if (a.first != b.first) return a.first < b.first;
            if (static_cast<unsigned char>(a.first) != 0) {  // both go on past eight bytes
                const int c = std::strcmp(base + (a.second & ~kTopBit) + 8, base + (b.second & ~kTopBit) + 8);
                if (c != 0) return c < 0;
            }
            return a.second < b.second;
        });
        for (std::size_t i = 0; i < order.size(); ++i) starts_[i] = order[i].second;
    }
    keys_.shrink_to_fit();
    aliases_.shrink_to_fit();
    starts_.shrink_to_fit();

    // Names, codes and short forms of states and countries (views into the
    // regions' keys, the names' keys and `shortForms`).
    std::vector<std::pair<std::string_view, std::uint32_t>> qualifiers;
    std::deque<std::string> shortForms;
    const auto shortForm = [&](std::string_view text) -> std::string_view {
        return shortForms.emplace_back(key(text));
    };
    std::unordered_map<std::string, std::vector<std::uint32_t>> statesByCode, countriesByCode;
    for (std::uint32_t s = 0; s < states_.size(); ++s)
        if (!states_[s].folded.empty()) qualifiers.emplace_back(states_[s].folded, s);
    for (std::uint32_t c = 0; c < countries_.size(); ++c) {
        const Region& country = countries_[c];
        countriesByCode[country.code].push_back(c);
        if (!country.folded.empty()) qualifiers.emplace_back(country.folded, c | kTopBit);
        if (!country.code.empty()) qualifiers.emplace_back(shortForm(country.code), c | kTopBit);
    }
    // Each state by its country's code and its own ("DE.02").
    std::vector<std::uint32_t> countryOfState(states_.size());
    for (const Entry& e : entries_) countryOfState[e.state] = e.country;
    for (std::uint32_t s = 0; s < states_.size(); ++s) {
        const std::string& country = countries_[countryOfState[s]].code;
        statesByCode[country + '.' + states_[s].code].push_back(s);
        // The gazetteer's codes of the United States' states are their postal abbreviations.
        if (country == "US" && !states_[s].code.empty()) qualifiers.emplace_back(shortForm(states_[s].code), s);
        for (const StateShortForm& form : StateShortForms())
            if (form.country == country && form.state == states_[s].text)
                qualifiers.emplace_back(shortForm(form.shortForm), s);
    }
    for (const CountryShortForm& form : CountryShortForms())
        if (const auto at = countriesByCode.find(std::string(form.country)); at != countriesByCode.end())
            for (const std::uint32_t c : at->second) qualifiers.emplace_back(shortForm(form.shortForm), c | kTopBit);
    for (const auto& [code, others] : regionNames) {
        const bool isCountry = code.find('.') == std::string::npos;
        const auto& byCode = isCountry ? countriesByCode : statesByCode;
        const auto at = byCode.find(std::string(code));
        if (at == byCode.end()) continue;
        for (const RegionName& n : others)
            for (const std::uint32_t r : at->second) qualifiers.emplace_back(n.key, r | (isCountry ? kTopBit : 0));
    }
    std::sort(qualifiers.begin(), qualifiers.end());
    qualifiers.erase(std::unique(qualifiers.begin(), qualifiers.end()), qualifiers.end());
    for (std::size_t i = 0; i < qualifiers.size(); ++i) {
        if (qualifiers[i].first.empty()) continue;
        if (i == 0 || qualifiers[i].first != qualifiers[i - 1].first) {
            qualifierText_ += qualifiers[i].first;
            qualifierText_ += '\0';
        }
        const auto at = static_cast<std::uint32_t>(qualifierText_.size() - qualifiers[i].first.size() - 1);
        qualifiers_.emplace_back(at, qualifiers[i].second);
    }
    qualifierText_.shrink_to_fit();
    qualifiers_.shrink_to_fit();

    // Labels: those that would read the same are told apart by the coordinates.
    // The key of "City, State, Country" is the three keys, blanks between.
    std::vector<std::string> labelKeys(entries_.size());
    std::vector<std::uint32_t> byLabel(entries_.size());
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        std::string& k = labelKeys[i];
        k = nameKeys[i];
        for (const std::string* part : {&states_[entries_[i].state].folded, &countries_[entries_[i].country].folded})
            if (!part->empty()) k.append(1, ' ').append(*part);
        byLabel[i] = i;
    }
    std::sort(byLabel.begin(), byLabel.end(),
              [&](std::uint32_t a, std::uint32_t b) { return std::tie(labelKeys[a], a) < std::tie(labelKeys[b], b); });
    for (std::size_t from = 0; from < byLabel.size();) {
        std::size_t to = from + 1;
        while (to < byLabel.size() && labelKeys[byLabel[to]] == labelKeys[byLabel[from]]) ++to;
        for (int level = 0; to - from > 1 && level < 3; ++level) {
            std::vector<std::string> details;
            for (std::size_t g = from; g < to; ++g) {
                const Entry& e = entries_[byLabel[g]];
                details.push_back(Detail(e.latitude, e.longitude, e.id, level));
            }
            std::vector<std::string> sorted = details;
            std::sort(sorted.begin(), sorted.end());
            if (level < 2 && std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) continue;
            for (std::size_t g = from; g < to; ++g) {
                details_.emplace_back(byLabel[g], static_cast<std::uint32_t>(text_.size()));
                text_ += details[g - from];
                text_ += '\0';
            }
            break;
        }
        from = to;
    }
    std::sort(details_.begin(), details_.end());
    for (const auto& [entry, detail] : details_) labelKeys[entry] += ' ' + key(text_.c_str() + detail);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) labels_.emplace_back(Hash(labelKeys[i]), i);
    std::sort(labels_.begin(), labels_.end());
    text_.shrink_to_fit();
    entries_.shrink_to_fit();
    details_.shrink_to_fit();
}

Place PlaceIndex::ToPlace(std::uint32_t entry, std::uint32_t alias) const {
    const Entry& e = entries_[entry];
    Place p{std::string(text_, e.name, e.nameLength),
            states_[e.state].text,
            countries_[e.country].text,
            countries_[e.country].code,
            e.latitude,
            e.longitude,
            zones_[e.zone],
            e.population,
            e.id,
            states_[e.state].code,
            alias == kNoAlias ? std::string() : std::string(aliases_.c_str() + alias),
            {}};
    const auto detail = std::lower_bound(details_.begin(), details_.end(), std::pair{entry, 0u});
    if (detail != details_.end() && detail->first == entry) p.labelDetail = text_.c_str() + detail->second;
    return p;
}

std::string PlaceIndex::LabelKey(std::uint32_t entry) const {
    return WithWholeWords(FoldForSearch(PlaceLabel(ToPlace(entry, kNoAlias))));
}

std::vector<std::uint32_t> PlaceIndex::EntriesOfLabel(std::string_view text) const {
    // The text as it stands, then without one part in parentheses (the other
    // name that a label shows after the city's).
    std::vector<std::string> variants{std::string(text)};
    for (std::size_t open = text.find(" ("); open != std::string_view::npos && variants.size() < 4;
         open = text.find(" (", open + 1)) {
        const std::size_t close = text.find(')', open);
        if (close == std::string_view::npos) break;
        variants.push_back(std::string(text.substr(0, open)) + std::string(text.substr(close + 1)));
    }
    std::vector<std::uint32_t> found;
    for (const std::string& variant : variants) {
        const std::string k = WithWholeWords(FoldForSearch(variant));
        if (k.empty()) continue;
        const std::uint32_t h = Hash(k);
        for (auto at = std::lower_bound(labels_.begin(), labels_.end(), std::pair{h, 0u});
             at != labels_.end() && at->first == h; ++at)
            if (LabelKey(at->second) == k) found.push_back(at->second);
        if (!found.empty()) break;
    }
    return found;
}

std::vector<std::uint32_t> PlaceIndex::RegionsNamed(std::string_view qualifier) const {
    const char* base = qualifierText_.c_str();
    const auto less = [&](const std::pair<std::uint32_t, std::uint32_t>& q, std::string_view k) {
        return std::string_view(base + q.first) < k;
    };
    std::vector<std::uint32_t> regions;
    for (auto at = std::lower_bound(qualifiers_.begin(), qualifiers_.end(), qualifier, less);
         at != qualifiers_.end() && std::string_view(base + at->first) == qualifier; ++at)
        regions.push_back(at->second);
    return regions;
}

void PlaceIndex::AddMatches(const std::vector<std::string>& names, const std::vector<std::string>& qualifiers,
                            std::int8_t rank, bool scan, std::vector<Hit>& hits) const {
    const char* base = keys_.c_str();
    // How closely qualifier `q` names the city's state or country: 0 by its whole
    // name, code or short form, 1 by a word's start, -1 not at all.
    std::vector<std::vector<std::uint32_t>> named;
    for (const std::string& q : qualifiers) named.push_back(RegionsNamed(q));
    const auto level = [&](const Entry& e, std::size_t q, bool state) {
        const std::uint32_t region = state ? e.state : e.country | kTopBit;
        if (std::find(named[q].begin(), named[q].end(), region) != named[q].end()) return 0;
        return WordStart(state ? states_[e.state].folded : countries_[e.country].folded, qualifiers[q]) >= 0 ? 1 : -1;
    };
    // The match of `name` in a key at `p`, from where it starts to the key's end.
    const auto consider = [&](const std::string& name, const char* p, bool keyStart) {
        const std::string_view rest(p, name.size() + std::strlen(p + name.size()));
        const char* record = rest.data() + rest.size() + 1;
        const std::uint32_t entryWord = WordAt(record), aliasText = WordAt(record + 4);
        const std::uint32_t entry = entryWord & ~kTopBit;
        const std::int8_t tier = keyStart ? (rest.size() == name.size() ? 0 : 1) : 2;
        // A name few catalogs give is taken when most of it is typed: the start of
        // one would offer odd names while typing ("York" for New York's "York Berri").
        const bool unsure = (entryWord & kTopBit) != 0;
        if (unsure && (tier == 2 || name.size() * 3 < rest.size() * 2)) return;
        int closeness = 0;
        const Entry& e = entries_[entry];
        if (qualifiers.size() == 1) {
            const int s = level(e, 0, true), c = level(e, 0, false);
            closeness = s < 0 ? c : c < 0 ? s : std::min(s, c);
        } else if (qualifiers.size() == 2) {
            closeness = -1;
            for (const bool stateFirst : {true, false}) {
                const int a = level(e, 0, stateFirst), b = level(e, 1, !stateFirst);
                if (a >= 0 && b >= 0 && (closeness < 0 || a + b < closeness)) closeness = a + b;
            }
        }
        if (closeness < 0) return;
        hits.push_back({entry, rank, tier, static_cast<std::int8_t>(closeness), static_cast<std::int8_t>(unsure),
                        static_cast<std::int8_t>(aliasText != kNoAlias), aliasText});
    };
    for (const std::string& name : names) {
        if (scan) {
            // Every key in turn: where the name starts it, else the first later word it starts.
            for (const char* k = base; k < base + keys_.size();) {
                const std::string_view key(k);
                const int where = WordStart(key, name);
                if (where == 0) {
                    consider(name, k, true);
                } else if (where == 1) {
                    std::size_t at = key.find(name, 1);
                    while (key[at - 1] != ' ') at = key.find(name, at + 1);
                    consider(name, k + at, false);
                }
                k += key.size() + 1 + 2 * sizeof(std::uint32_t);
            }
            continue;
        }
        // The suffixes end in a NUL: compared without measuring them first.
        const auto before = [&](std::uint32_t s, const std::string& n) {
            const char* p = base + (s & ~kTopBit);
            for (std::size_t i = 0; i < n.size(); ++i) {
                const auto a = static_cast<unsigned char>(p[i]), b = static_cast<unsigned char>(n[i]);
                if (a != b) return a < b;  // a NUL ends the shorter one
            }
            return false;
        };
        for (auto at = std::lower_bound(starts_.begin(), starts_.end(), name, before); at != starts_.end(); ++at) {
            const char* p = base + (*at & ~kTopBit);
            if (std::strncmp(p, name.data(), name.size()) != 0) break;  // stops at the NUL of a shorter one
            consider(name, p, (*at & kTopBit) != 0);
        }
    }
}

std::vector<Place> PlaceIndex::Find(std::string_view text, std::size_t limit) const {
    return Search(text, limit, false);
}

std::vector<Place> PlaceIndex::FindByScanning(std::string_view text, std::size_t limit) const {
    return Search(text, limit, true);
}

std::vector<Place> PlaceIndex::Search(std::string_view text, std::size_t limit, bool scan) const {
    if (limit == 0 || text.size() > kLongestText) return {};
    std::vector<Hit> hits;
    for (const std::uint32_t e : EntriesOfLabel(text)) hits.push_back({e, -1, 0, 0, 0, 0, kNoAlias});

    std::vector<Reading> first, then;
    AddReadings(text, 0, first, then);
    // Without the parts in parentheses, for a label with a detail that differs.
    const std::string plain = WithoutParentheses(text);
    if (plain.size() != text.size() && !plain.empty()) AddReadings(plain, 1, then, then);

    // The best hit of each city.
    const auto bestOfEach = [&hits] {
        std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
            return std::tie(a.entry, a.rank, a.tier, a.qualifiers, a.unsure, a.alias) <
                   std::tie(b.entry, b.rank, b.tier, b.qualifiers, b.unsure, b.alias);
        });
        hits.erase(std::unique(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.entry == b.entry; }),
                   hits.end());
    };
    for (const Reading& r : first) AddMatches(r.names, r.qualifiers, r.rank, scan, hits);
    bestOfEach();
    if (hits.size() < limit) {
        for (const Reading& r : then) AddMatches(r.names, r.qualifiers, r.rank, scan, hits);
        bestOfEach();
    }
    const auto better = [this](const Hit& a, const Hit& b) {
        const auto pa = entries_[a.entry].population, pb = entries_[b.entry].population;
        return std::tie(a.rank, a.tier, a.qualifiers, a.unsure, pb, a.entry) <
               std::tie(b.rank, b.tier, b.qualifiers, b.unsure, pa, b.entry);
    };
    const std::size_t n = std::min(limit, hits.size());
    std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(n), hits.end(), better);
    std::vector<Place> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) out.push_back(ToPlace(hits[i].entry, hits[i].aliasText));
    return out;
}

std::size_t PlaceIndex::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + StringBytes(text_) + VectorBytes(entries_) + VectorBytes(states_) +
                        VectorBytes(countries_) + VectorBytes(zones_) + VectorBytes(details_) + StringBytes(keys_) +
                        StringBytes(aliases_) + VectorBytes(starts_) + StringBytes(qualifierText_) +
                        VectorBytes(qualifiers_) + VectorBytes(labels_);
    for (const auto* regions : {&states_, &countries_})
        for (const Region& r : *regions) bytes += StringBytes(r.text) + StringBytes(r.folded) + StringBytes(r.code);
    for (const auto& s : zones_) bytes += StringBytes(s);
    return bytes;
}

}  // namespace qv
