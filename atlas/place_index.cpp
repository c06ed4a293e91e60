// The search of the place index: a typed text read as a name and what
// follows it, matched against the table of the keys' word starts, the names
// of states and countries for the parts after the city, and the cities'
// labels. The tables are built by atlas/place_tables_build.cpp, in memory or
// into the atlas file; here they are only read.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <tuple>

#include "atlas/place_words.h"
#include "atlas/places.h"

namespace qv {

namespace {

using place_tables::kNoAlias;
using place_tables::kTopBit;
// Longer texts find nothing: no label is a tenth as long. The bound keeps
// the work for one text small whatever it holds.
constexpr std::size_t kLongestText = 1024;
// Parts between commas: a name, a state and a country, and a name that holds
// a comma itself ("Burgdorf, Hanover").
constexpr std::size_t kMostParts = 4;
// Words of a text without commas that are tried as a name and what follows.
constexpr std::size_t kMostWords = 12;
constexpr std::size_t kMostTailWords = 4;
// Where `word` starts `text` (0), starts one of its later words (1), or nowhere (-1).
int WordStart(std::string_view text, std::string_view word) {
    if (text.starts_with(word)) return 0;
    for (std::size_t at = text.find(word, 1); at != std::string_view::npos; at = text.find(word, at + 1))
        if (text[at - 1] == ' ') return 1;
    return -1;
}

std::uint32_t WordAt(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
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
    auto tables = std::make_shared<const place_tables::Tables>(place_tables::BuildTables(places, names));
    t_ = tables->View();
    memoryBytes_ = sizeof(*this) + tables->MemoryBytes();
    keep_ = std::move(tables);
}

PlaceIndex::PlaceIndex(const place_tables::Views& tables, std::shared_ptr<const void> keep)
    : t_(tables), keep_(std::move(keep)) {}

Place PlaceIndex::ToPlace(std::uint32_t city, std::uint32_t alias) const {
    const place_tables::City& c = t_.cities[city];
    const place_tables::Region &state = t_.states[c.state], &country = t_.countries[c.country];
    Place p{std::string(t_.text.substr(c.name, c.nameLength)),
            std::string(RegionText(state.text)),
            std::string(RegionText(country.text)),
            std::string(RegionText(country.code)),
            c.latitude,
            c.longitude,
            std::string(RegionText(t_.zones[c.zone])),
            c.population,
            c.id,
            std::string(RegionText(state.code)),
            alias == kNoAlias ? std::string() : std::string(t_.aliases.data() + alias),
            {}};
    const auto detail = std::lower_bound(t_.details.begin(), t_.details.end(), place_tables::Pair{city, 0u});
    if (detail != t_.details.end() && detail->first == city) p.labelDetail = t_.text.data() + detail->second;
    return p;
}

std::string PlaceIndex::LabelKey(std::uint32_t city) const {
    return WithWholeWords(FoldForSearch(PlaceLabel(ToPlace(city, kNoAlias))));
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
        const std::uint32_t h = place_tables::LabelHash(k);
        for (auto at = std::lower_bound(t_.labels.begin(), t_.labels.end(), place_tables::Pair{h, 0u});
             at != t_.labels.end() && at->first == h; ++at)
            if (at->second < size() && LabelKey(at->second) == k) found.push_back(at->second);
        if (!found.empty()) break;
    }
    return found;
}

std::vector<std::uint32_t> PlaceIndex::RegionsNamed(std::string_view qualifier) const {
    const char* base = t_.qualifierText.data();
    const auto less = [&](const place_tables::Pair& q, std::string_view k) {
        return std::string_view(base + q.first) < k;
    };
    std::vector<std::uint32_t> regions;
    for (auto at = std::lower_bound(t_.qualifiers.begin(), t_.qualifiers.end(), qualifier, less);
         at != t_.qualifiers.end() && std::string_view(base + at->first) == qualifier; ++at)
        regions.push_back(at->second);
    return regions;
}

void PlaceIndex::AddMatches(const std::vector<std::string>& names, const std::vector<std::string>& qualifiers,
                            std::int8_t rank, bool scan, std::vector<Hit>& hits) const {
    const char* base = t_.keys.data();
    const std::size_t keysSize = t_.keys.size();
    // How closely qualifier `q` names the city's state or country: 0 by its whole
    // name, code or short form, 1 by a word's start, -1 not at all.
    std::vector<std::vector<std::uint32_t>> named;
    for (const std::string& q : qualifiers) named.push_back(RegionsNamed(q));
    const auto level = [&](const place_tables::City& c, std::size_t q, bool state) {
        const std::uint32_t region = state ? c.state : c.country | kTopBit;
        if (std::find(named[q].begin(), named[q].end(), region) != named[q].end()) return 0;
        const place_tables::Region& r = state ? t_.states[c.state] : t_.countries[c.country];
        return WordStart(RegionText(r.folded), qualifiers[q]) >= 0 ? 1 : -1;
    };
    // The match of `name` in a key at `p`, from where it starts to the key's end.
    const auto consider = [&](const std::string& name, const char* p, bool keyStart) {
        const std::string_view rest(p, name.size() + std::strlen(p + name.size()));
        const char* record = rest.data() + rest.size() + 1;
        const std::uint32_t entryWord = WordAt(record), aliasText = WordAt(record + 4);
        const std::uint32_t entry = entryWord & ~kTopBit;
        // A record that names no city or alias (a damaged file) finds nothing.
        if (entry >= size() || (aliasText != kNoAlias && aliasText >= t_.aliases.size())) return;
        const std::int8_t tier = keyStart ? (rest.size() == name.size() ? 0 : 1) : 2;
        // A name few catalogs give is taken when most of it is typed: the start of
        // one would offer odd names while typing ("York" for New York's "York Berri").
        const bool unsure = (entryWord & kTopBit) != 0;
        if (unsure && (tier == 2 || name.size() * 3 < rest.size() * 2)) return;
        int closeness = 0;
        const place_tables::City& e = t_.cities[entry];
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
            for (const char* k = base; k < base + keysSize;) {
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
            if ((s & ~kTopBit) >= keysSize) return true;  // a damaged file's start, passed over
            const char* p = base + (s & ~kTopBit);
            for (std::size_t i = 0; i < n.size(); ++i) {
                const auto a = static_cast<unsigned char>(p[i]), b = static_cast<unsigned char>(n[i]);
                if (a != b) return a < b;  // a NUL ends the shorter one
            }
            return false;
        };
        for (auto at = std::lower_bound(t_.starts.begin(), t_.starts.end(), name, before); at != t_.starts.end();
             ++at) {
            if ((*at & ~kTopBit) >= keysSize) continue;
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
        const auto pa = t_.cities[a.entry].population, pb = t_.cities[b.entry].population;
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

}  // namespace qv
