// The place index's tables built from the gazetteer's cities and the other
// names of its catalogs, one named step after another.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "atlas/place_tables.h"
#include "atlas/place_words.h"
#include "atlas/places.h"

namespace qv::place_tables {

namespace {

// A name given by fewer catalogs ranks after the other names of equal match.
constexpr std::uint32_t kSureCatalogs = 3;

// Number of a text already seen, or `next` for a new one.
std::uint32_t Intern(std::unordered_map<std::string, std::uint32_t>& seen, const std::string& key, std::size_t next) {
    return seen.try_emplace(key, static_cast<std::uint32_t>(next)).first->second;
}

void PutWord(std::string& out, std::uint32_t w) { out.append(reinterpret_cast<const char*>(&w), sizeof w); }

template <typename T>
std::size_t VectorBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::size_t StringBytes(const std::string& s) {
    // Short texts live inside the string object itself.
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
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

// Builds the tables in the order of its steps; each step reads what the
// steps before it left.
class Builder {
public:
    Builder(const std::vector<Place>& places, const std::vector<PlaceName>& names) {
        AddCities(places);
        CollectAliases(names);
        AddKeys();
        SortWordStarts();
        AddQualifiers();
        AddLabels();
        AddPoints();
        Flatten();
    }
    Tables Take() { return std::move(t_); }

private:
    // A state or country while the tables are built.
    struct RegionTexts {
        std::string text, folded, code;
    };
    // Another name of a city.
    struct Alias {
        std::uint32_t city;
        std::string key;
        std::string_view text;
        std::uint32_t catalogs;
    };
    // A catalog's name of a state or country.
    struct RegionName {
        const PlaceName* name;
        std::string key;
    };

    std::string Key(std::string_view text) {
        std::string k = folder_.Fold(text);
        ToWholeWords(k);
        return k;
    }

    void AddCities(const std::vector<Place>& places);
    void CollectAliases(const std::vector<PlaceName>& names);
    void AddCountryNames();
    void AddKeys();
    void AddKey(std::string_view key, std::uint32_t city, bool unsure, std::uint32_t aliasText);
    std::uint32_t AddAliasText(std::string_view text);
    void AddOtherSpelling(std::string_view text, std::uint32_t city, bool unsure, bool isAlias);
    void SortWordStarts();
    void AddQualifiers();
    void AddLabels();
    void AddPoints();
    void Flatten();

    SearchFolder folder_;
    Tables t_;
    std::vector<RegionTexts> states_, countries_;
    std::vector<std::string> zones_;
    std::vector<std::string> nameKeys_;                          // each city's search key
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byId_;  // number, city
    std::vector<Alias> aliases_;
    std::unordered_map<std::string_view, std::vector<RegionName>> regionNames_;  // by "DE", "DE.02"
    std::vector<std::string> added_;  // the keys of the city whose keys are being added
};

// The cities, their states, countries and zones.
void Builder::AddCities(const std::vector<Place>& places) {
    std::unordered_map<std::string, std::uint32_t> stateIds, countryIds, zoneIds;
    t_.cities.reserve(places.size());
    for (const Place& p : places) {
        std::string nameKey = Key(p.name);
        if (nameKey.empty() || p.name.size() > UINT16_MAX) continue;
        City c;
        c.name = static_cast<std::uint32_t>(t_.text.size());
        c.nameLength = static_cast<std::uint32_t>(p.name.size());
        t_.text += p.name;
        c.country = Intern(countryIds, p.countryCode + '\n' + p.country, countries_.size());
        if (c.country == countries_.size()) countries_.push_back({p.country, Key(p.country), p.countryCode});
        c.state = Intern(stateIds, p.countryCode + '\n' + p.stateCode + '\n' + p.state, states_.size());
        if (c.state == states_.size()) states_.push_back({p.state, Key(p.state), p.stateCode});
        c.zone = Intern(zoneIds, p.zoneId, zones_.size());
        if (c.zone == zones_.size()) zones_.push_back(p.zoneId);
        c.population = p.population;
        c.id = p.id;
        c.latitude = p.latitude;
        c.longitude = p.longitude;
        if (p.id != 0) byId_.emplace_back(p.id, static_cast<std::uint32_t>(t_.cities.size()));
        t_.cities.push_back(c);
        nameKeys_.push_back(std::move(nameKey));
    }
    std::sort(byId_.begin(), byId_.end());
}

// The other names of each city: the catalogs', the earlier ones, and for a
// city named as its country (Singapore, Luxembourg) the country's names.
// Ordered by city and key, the spelling most catalogs give first.
void Builder::CollectAliases(const std::vector<PlaceName>& names) {
    const auto cityOf = [this](std::uint32_t id) -> std::optional<std::uint32_t> {
        const auto at = std::lower_bound(byId_.begin(), byId_.end(), std::pair{id, 0u});
        if (at == byId_.end() || at->first != id) return std::nullopt;
        return at->second;
    };
    for (const PlaceName& n : names) {
        std::uint32_t id = 0;
        const char* end = n.key.data() + n.key.size();
        if (n.key.empty() || std::from_chars(n.key.data(), end, id).ptr != end) {
            regionNames_[n.key].push_back({&n, Key(n.text)});
            continue;
        }
        if (const auto city = cityOf(id)) aliases_.push_back({*city, Key(n.text), n.text, n.catalogs});
    }
    for (const OtherName& other : OtherNames())
        if (const auto city = cityOf(other.id)) aliases_.push_back({*city, Key(other.name), other.name, kSureCatalogs});
    AddCountryNames();
    std::sort(aliases_.begin(), aliases_.end(), [](const Alias& a, const Alias& b) {
        return std::tie(a.city, a.key, b.catalogs, a.text) < std::tie(b.city, b.key, a.catalogs, b.text);
    });
}

// A city named as its country, or as one of the country's other names,
// takes the country's other names.
void Builder::AddCountryNames() {
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> citiesNamed;
    for (std::uint32_t i = 0; i < t_.cities.size(); ++i) citiesNamed[nameKeys_[i]].push_back(i);
    for (std::uint32_t c = 0; c < countries_.size(); ++c) {
        const auto others = regionNames_.find(countries_[c].code);
        if (others == regionNames_.end()) continue;
        std::vector<std::uint32_t> named;
        const auto addNamed = [&](std::string_view k) {
            const auto at = citiesNamed.find(k);
            if (at == citiesNamed.end()) return;
            for (const std::uint32_t i : at->second)
                if (t_.cities[i].country == c && std::find(named.begin(), named.end(), i) == named.end())
                    named.push_back(i);
        };
        addNamed(countries_[c].folded);
        for (const RegionName& n : others->second) addNamed(n.key);
        for (const std::uint32_t i : named)
            for (const RegionName& n : others->second) aliases_.push_back({i, n.key, n.name->text, n.name->catalogs});
    }
}

void Builder::AddKey(std::string_view key, std::uint32_t city, bool unsure, std::uint32_t aliasText) {
    const auto at = static_cast<std::uint32_t>(t_.keys.size());
    t_.starts.push_back(at | kTopBit);
    for (std::size_t i = 1; i < key.size(); ++i)
        if (key[i - 1] == ' ') t_.starts.push_back(at + static_cast<std::uint32_t>(i));
    t_.keys += key;
    t_.keys += '\0';
    PutWord(t_.keys, city | (unsure ? kTopBit : 0));
    PutWord(t_.keys, aliasText);
}

std::uint32_t Builder::AddAliasText(std::string_view text) {
    const auto at = static_cast<std::uint32_t>(t_.aliases.size());
    t_.aliases += text;
    t_.aliases += '\0';
    return at;
}

// A name with ä, ö, ü or ø is found as people write it without them, too.
void Builder::AddOtherSpelling(std::string_view text, std::uint32_t city, bool unsure, bool isAlias) {
    const std::string other = OtherSpelling(text);
    if (other.empty()) return;
    std::string otherKey = Key(other);
    if (otherKey.empty() || std::find(added_.begin(), added_.end(), otherKey) != added_.end()) return;
    AddKey(otherKey, city, unsure, isAlias ? AddAliasText(text) : kNoAlias);
    added_.push_back(std::move(otherKey));
}

// Every city's keys: its name, then one alias per key (its spelling most
// catalogs give, counting all of them), with their other spellings.
void Builder::AddKeys() {
    const std::size_t keyCount = t_.cities.size() + aliases_.size();
    t_.keys.reserve(keyCount * 28);
    t_.starts.reserve(keyCount * 5 / 2);
    t_.aliases.reserve(aliases_.size() * 16);
    auto at = aliases_.begin();
    for (std::uint32_t i = 0; i < t_.cities.size(); ++i) {
        const City& c = t_.cities[i];
        added_ = {nameKeys_[i]};
        AddKey(nameKeys_[i], i, false, kNoAlias);
        AddOtherSpelling(std::string_view(t_.text).substr(c.name, c.nameLength), i, false, false);
        while (at != aliases_.end() && at->city == i) {
            auto next = at + 1;
            std::uint32_t catalogs = at->catalogs;
            for (; next != aliases_.end() && next->city == i && next->key == at->key; ++next)
                catalogs += next->catalogs;
            const bool unsure = catalogs < kSureCatalogs;
            if (!at->key.empty() && std::find(added_.begin(), added_.end(), at->key) == added_.end()) {
                AddKey(at->key, i, unsure, AddAliasText(at->text));
                added_.push_back(at->key);
            }
            for (auto same = at; same != next; ++same) AddOtherSpelling(same->text, i, unsure, true);
            at = next;
        }
    }
    aliases_.clear();
    aliases_.shrink_to_fit();
    t_.keys.shrink_to_fit();
    t_.aliases.shrink_to_fit();
}

// The word starts ordered by the text from each start to its key's end. The
// first eight bytes of each as a number order most of them without touching
// the text again.
void Builder::SortWordStarts() {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order(t_.starts.size());
    for (std::size_t i = 0; i < t_.starts.size(); ++i) {
        const char* p = t_.keys.data() + (t_.starts[i] & ~kTopBit);
        std::uint64_t prefix = 0;
        for (int b = 0; b < 8; ++b) {
            const auto c = static_cast<unsigned char>(p[b]);
            prefix = prefix << 8 | c;
            if (c == 0) {
                prefix <<= 8 * (7 - b);
                break;
            }
        }
        order[i] = {prefix, t_.starts[i]};
    }
    const char* base = t_.keys.data();
    std::sort(order.begin(), order.end(), [base](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        if (static_cast<unsigned char>(a.first) != 0) {  // both go on past eight bytes
            const int c = std::strcmp(base + (a.second & ~kTopBit) + 8, base + (b.second & ~kTopBit) + 8);
            if (c != 0) return c < 0;
        }
        return a.second < b.second;
    });
    for (std::size_t i = 0; i < order.size(); ++i) t_.starts[i] = order[i].second;
    t_.starts.shrink_to_fit();
}

// Names, codes and short forms of states and countries, each state also by
// its country's code and its own ("DE.02").
void Builder::AddQualifiers() {
    // Views into the regions' keys, the names' keys and `shortForms`.
    std::vector<std::pair<std::string_view, std::uint32_t>> qualifiers;
    std::deque<std::string> shortForms;
    const auto shortForm = [&](std::string_view text) -> std::string_view {
        return shortForms.emplace_back(Key(text));
    };
    std::unordered_map<std::string, std::vector<std::uint32_t>> statesByCode, countriesByCode;
    for (std::uint32_t s = 0; s < states_.size(); ++s)
        if (!states_[s].folded.empty()) qualifiers.emplace_back(states_[s].folded, s);
    for (std::uint32_t c = 0; c < countries_.size(); ++c) {
        const RegionTexts& country = countries_[c];
        countriesByCode[country.code].push_back(c);
        if (!country.folded.empty()) qualifiers.emplace_back(country.folded, c | kTopBit);
        if (!country.code.empty()) qualifiers.emplace_back(shortForm(country.code), c | kTopBit);
    }
    std::vector<std::uint32_t> countryOfState(states_.size());
    for (const City& c : t_.cities) countryOfState[c.state] = c.country;
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
    for (const auto& [code, others] : regionNames_) {
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
            t_.qualifierText += qualifiers[i].first;
            t_.qualifierText += '\0';
        }
        const auto at = static_cast<std::uint32_t>(t_.qualifierText.size() - qualifiers[i].first.size() - 1);
        t_.qualifiers.push_back({at, qualifiers[i].second});
    }
    t_.qualifierText.shrink_to_fit();
    t_.qualifiers.shrink_to_fit();
}

// Labels: those that would read the same are told apart by the coordinates.
// The key of "City, State, Country" is the three keys, blanks between.
void Builder::AddLabels() {
    std::vector<std::string> labelKeys(t_.cities.size());
    std::vector<std::uint32_t> byLabel(t_.cities.size());
    for (std::uint32_t i = 0; i < t_.cities.size(); ++i) {
        std::string& k = labelKeys[i];
        k = nameKeys_[i];
        for (const std::string* part : {&states_[t_.cities[i].state].folded, &countries_[t_.cities[i].country].folded})
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
                const City& c = t_.cities[byLabel[g]];
                details.push_back(Detail(c.latitude, c.longitude, c.id, level));
            }
            std::vector<std::string> sorted = details;
            std::sort(sorted.begin(), sorted.end());
            if (level < 2 && std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) continue;
            for (std::size_t g = from; g < to; ++g) {
                t_.details.push_back({byLabel[g], static_cast<std::uint32_t>(t_.text.size())});
                t_.text += details[g - from];
                t_.text += '\0';
            }
            break;
        }
        from = to;
    }
    std::sort(t_.details.begin(), t_.details.end());
    for (const auto& [city, detail] : t_.details) labelKeys[city] += ' ' + Key(t_.text.c_str() + detail);
    t_.labels.reserve(t_.cities.size());
    for (std::uint32_t i = 0; i < t_.cities.size(); ++i) t_.labels.push_back({LabelHash(labelKeys[i]), i});
    std::sort(t_.labels.begin(), t_.labels.end());
    t_.text.shrink_to_fit();
    t_.cities.shrink_to_fit();
    t_.details.shrink_to_fit();
}

// The cities' coordinates sorted by latitude, so that a search measures only
// the band of latitudes its radius reaches.
void Builder::AddPoints() {
    t_.points.reserve(t_.cities.size());
    for (std::uint32_t i = 0; i < t_.cities.size(); ++i)
        t_.points.push_back({t_.cities[i].latitude, t_.cities[i].longitude, i, 0});
    std::sort(t_.points.begin(), t_.points.end(), [](const Point& a, const Point& b) {
        return std::tie(a.latitude, a.city) < std::tie(b.latitude, b.city);
    });
}

// States, countries and zones into one text of their own.
void Builder::Flatten() {
    const auto put = [this](const std::string& s) {
        const TextRef ref{static_cast<std::uint32_t>(t_.regionText.size()), static_cast<std::uint32_t>(s.size())};
        t_.regionText += s;
        t_.regionText += '\0';
        return ref;
    };
    for (const auto& [from, to] : {std::pair{&states_, &t_.states}, std::pair{&countries_, &t_.countries}})
        for (const RegionTexts& r : *from) to->push_back({put(r.text), put(r.folded), put(r.code)});
    for (const std::string& zone : zones_) t_.zones.push_back(put(zone));
    t_.regionText.shrink_to_fit();
}

}  // namespace

std::uint32_t LabelHash(std::string_view key) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : key) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

Tables BuildTables(const std::vector<Place>& places, const std::vector<PlaceName>& names) {
    return Builder(places, names).Take();
}

Views Tables::View() const {
    return {text, cities,  regionText, states,        countries,  zones,  details,
            keys, aliases, starts,     qualifierText, qualifiers, labels, points};
}

std::size_t Tables::MemoryBytes() const {
    std::size_t bytes = sizeof(*this);
    for (const std::string* s : {&text, &regionText, &keys, &aliases, &qualifierText}) bytes += StringBytes(*s);
    return bytes + VectorBytes(cities) + VectorBytes(states) + VectorBytes(countries) + VectorBytes(zones) +
           VectorBytes(details) + VectorBytes(qualifiers) + VectorBytes(labels) + VectorBytes(starts) +
           VectorBytes(points);
}

}  // namespace qv::place_tables
