#include "atlas/places.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <utility>

namespace qv {

namespace {

// Where `word` starts `text` (0), starts one of its later words (1), or nowhere (-1).
int WordStart(std::string_view text, std::string_view word) {
    if (text.starts_with(word)) return 0;
    for (std::size_t at = text.find(word, 1); at != std::string_view::npos; at = text.find(word, at + 1))
        if (text[at - 1] == ' ') return 1;
    return -1;
}

// Match quality of a folded name: 0 equal, 1 prefix, 2 a later word's prefix, -1 none.
int MatchTier(std::string_view name, std::string_view typed) {
    if (name == typed) return 0;
    const int start = WordStart(name, typed);
    return start < 0 ? -1 : 1 + start;
}

// Number of a text already seen, or `next` for a new one.
std::uint32_t Intern(std::unordered_map<std::string, std::uint32_t>& seen, const std::string& key, std::size_t next) {
    return seen.try_emplace(key, static_cast<std::uint32_t>(next)).first->second;
}

template <typename T>
std::size_t VectorBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::size_t StringBytes(const std::string& s) {
    // Short texts live inside the string object itself.
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
}

// Letters of the gazetteer's names that GLib's transliteration leaves out.
std::string SpellPlainly(std::string text) {
    static constexpr std::pair<std::string_view, std::string_view> kLetters[] = {
        {"\u0131", "i"}, {"\u0259", "e"}, {"\u01DD", "e"}, {"\u018F", "E"},
        {"\u0111", "d"}, {"\u0110", "D"}, {"\u0127", "h"}, {"\u0126", "H"}};
    for (const auto& [letter, plain] : kLetters)
        for (std::size_t at = text.find(letter); at != std::string::npos; at = text.find(letter, at + plain.size()))
            text.replace(at, letter.size(), plain);
    return text;
}

using GlibText = std::unique_ptr<gchar, decltype(&g_free)>;

std::string AsciiOf(const char* text) { return GlibText(g_str_to_ascii(text, "C"), g_free).get(); }

// ASCII where GLib can transliterate; other letters and digits stay, in lower
// case ("Зуунмод" is found by typing it); anything else becomes a blank.
std::string Transliterate(const std::string& text) {
    std::string whole = AsciiOf(text.c_str());
    if (whole.find('?') == std::string::npos) return whole;
    std::string out;
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        char one[8] = {};
        g_unichar_to_utf8(c, one);
        const std::string ascii = AsciiOf(one);
        if (ascii != "?" || c == '?') {
            out += ascii;
        } else if (g_unichar_isalnum(c)) {
            char lower[8] = {};
            g_unichar_to_utf8(g_unichar_tolower(c), lower);
            out += lower;
        } else {
            out += ' ';
        }
    }
    return out;
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
    std::string plain;
    const auto plainAscii = [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; };
    if (std::all_of(text.begin(), text.end(), plainAscii)) {
        plain = text;  // most names: nothing to transliterate
    } else {
        const GlibText valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())), g_free);
        plain = Transliterate(SpellPlainly(valid.get()));
    }
    std::string out;
    bool blank = false;
    for (const char c : plain) {
        if (c == '\'') continue;  // "St. John's" is "st johns"
        // Bytes of letters kept in UTF-8 count as letters.
        if (g_ascii_isalnum(c) || static_cast<unsigned char>(c) >= 0x80) {
            if (blank && !out.empty()) out += ' ';
            out += g_ascii_tolower(c);
            blank = false;
        } else {
            blank = true;
        }
    }
    return out;
}

Coordinate RoundToMinute(double degrees) {
    const long total = std::lround(std::fabs(degrees) * 60);
    return {static_cast<int>(total / 60), static_cast<int>(total % 60), degrees < 0 && total != 0};
}

std::string PlaceLabel(const Place& place) {
    std::string label;
    for (const std::string* part : {&place.name, &place.state, &place.country}) {
        if (part->empty()) continue;
        if (!label.empty()) label += ", ";
        label += *part;
    }
    return label;
}

PlaceIndex::PlaceIndex(const std::vector<Place>& places) {
    std::unordered_map<std::string, std::uint32_t> states, zones;
    std::unordered_map<std::string, std::uint32_t> countries;  // name and code, '\n' between
    entries_.reserve(places.size());
    for (const Place& p : places) {
        Entry e;
        const std::string folded = FoldForSearch(p.name);
        if (folded.empty() || p.name.size() > UINT16_MAX || folded.size() > UINT16_MAX) continue;
        e.name = static_cast<std::uint32_t>(text_.size());
        e.nameLength = static_cast<std::uint16_t>(p.name.size());
        text_ += p.name;
        e.folded = static_cast<std::uint32_t>(text_.size());
        e.foldedLength = static_cast<std::uint16_t>(folded.size());
        text_ += folded;
        e.state = Intern(states, p.state, states_.size());
        if (e.state == states_.size()) states_.push_back({p.state, FoldForSearch(p.state)});
        e.country = Intern(countries, p.country + '\n' + p.countryCode, countries_.size());
        if (e.country == countries_.size()) {
            countries_.push_back({p.country, FoldForSearch(p.country)});
            countryCodes_.push_back(FoldForSearch(p.countryCode));
        }
        e.zone = Intern(zones, p.zoneId, zones_.size());
        if (e.zone == zones_.size()) zones_.push_back(p.zoneId);
        e.population = p.population;
        e.latitude = p.latitude;
        e.longitude = p.longitude;
        entries_.push_back(e);
    }
    text_.shrink_to_fit();
    entries_.shrink_to_fit();
}

bool PlaceIndex::MatchesQualifier(const Entry& e, std::string_view qualifier) const {
    return WordStart(states_[e.state].folded, qualifier) >= 0 ||
           WordStart(countries_[e.country].folded, qualifier) >= 0 || countryCodes_[e.country] == qualifier;
}

Place PlaceIndex::ToPlace(const Entry& e) const {
    return {std::string(text_, e.name, e.nameLength),
            states_[e.state].text,
            countries_[e.country].text,
            [&] {
                std::string code = countryCodes_[e.country];
                for (char& c : code) c = g_ascii_toupper(c);
                return code;
            }(),
            e.latitude,
            e.longitude,
            zones_[e.zone],
            e.population};
}

std::vector<Place> PlaceIndex::Find(std::string_view text, std::size_t limit) const {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        std::string part = FoldForSearch(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (parts.empty() || !part.empty()) parts.push_back(std::move(part));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    const std::string_view typed = parts.front();
    if (typed.empty() || limit == 0) return {};

    struct Hit {
        int tier;
        std::uint32_t population;
        std::uint32_t index;
    };
    std::vector<Hit> hits;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        const int tier = MatchTier(Folded(e), typed);
        if (tier < 0) continue;
        if (!std::all_of(parts.begin() + 1, parts.end(), [&](const auto& q) { return MatchesQualifier(e, q); }))
            continue;
        hits.push_back({tier, e.population, i});
    }
    const auto better = [](const Hit& a, const Hit& b) {
        if (a.tier != b.tier) return a.tier < b.tier;
        if (a.population != b.population) return a.population > b.population;
        return a.index < b.index;
    };
    const std::size_t n = std::min(limit, hits.size());
    std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(n), hits.end(), better);
    std::vector<Place> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) out.push_back(ToPlace(entries_[hits[i].index]));
    return out;
}

std::size_t PlaceIndex::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + StringBytes(text_) + VectorBytes(entries_) + VectorBytes(states_) +
                        VectorBytes(countries_) + VectorBytes(countryCodes_) + VectorBytes(zones_);
    for (const auto& s : states_) bytes += StringBytes(s.text) + StringBytes(s.folded);
    for (const auto& c : countries_) bytes += StringBytes(c.text) + StringBytes(c.folded);
    for (const auto& s : countryCodes_) bytes += StringBytes(s);
    for (const auto& s : zones_) bytes += StringBytes(s);
    return bytes;
}

const PlaceIndex& Atlas() {
    static const PlaceIndex index(ReadGazetteer());
    return index;
}

std::vector<Place> FindPlaces(std::string_view text, std::size_t limit) { return Atlas().Find(text, limit); }

void LoadAtlas() { Atlas(); }

}  // namespace qv
