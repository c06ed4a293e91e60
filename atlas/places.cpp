#include "atlas/places.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "atlas/atlas_file.h"
#include "atlas/atlas_load.h"

namespace qv {

namespace {

// Letters of the gazetteer's names that GLib's transliteration leaves out.
constexpr std::pair<std::string_view, std::string_view> kPlainLetters[] = {
    {"\u0131", "i"}, {"\u0259", "e"}, {"\u01DD", "e"}, {"\u018F", "E"},
    {"\u0111", "d"}, {"\u0110", "D"}, {"\u0127", "h"}, {"\u0126", "H"}};

std::string SpellPlainly(std::string text) {
    for (const auto& [letter, plain] : kPlainLetters)
        for (std::size_t at = text.find(letter); at != std::string::npos; at = text.find(letter, at + plain.size()))
            text.replace(at, letter.size(), plain);
    return text;
}

using GlibText = std::unique_ptr<gchar, decltype(&g_free)>;

std::string AsciiOf(const char* text) { return GlibText(g_str_to_ascii(text, "C"), g_free).get(); }

// The plain letters of one character: ASCII where GLib can transliterate it;
// a letter or digit without a Latin spelling in lower case; else a blank.
std::string LettersOf(gunichar c) {
    char one[8] = {};
    g_unichar_to_utf8(c, one);
    const std::string ascii = AsciiOf(one);
    if (ascii != "?" || c == '?') return ascii;
    if (!g_unichar_isalnum(c)) return " ";
    char lower[8] = {};
    g_unichar_to_utf8(g_unichar_tolower(c), lower);
    return lower;
}

// ASCII where GLib can transliterate; other letters and digits stay, in lower
// case ("Зуунмод" is found by typing it); anything else becomes a blank.
std::string Transliterate(const std::string& text) {
    std::string whole = AsciiOf(text.c_str());
    if (whole.find('?') == std::string::npos) return whole;
    std::string out;
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) out += LettersOf(g_utf8_get_char(p));
    return out;
}

bool PlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; });
}

// Lower case, apostrophes dropped, every run of other characters than letters
// and digits (bytes of letters kept in UTF-8 count as letters) one blank.
class Squeezer {
public:
    explicit Squeezer(std::size_t room) { out_.reserve(room); }
    void Put(char c) {
        const auto u = static_cast<unsigned char>(c);
        if (u == '\'') return;  // "St. John's" is "st johns"
        // ASCII letters and digits, and bytes of letters kept in UTF-8.
        if (static_cast<unsigned>(u - '0') < 10 || static_cast<unsigned>((u | 0x20) - 'a') < 26 || u >= 0x80) {
            if (blank_ && !out_.empty()) out_ += ' ';
            out_ += static_cast<char>(static_cast<unsigned>(u - 'A') < 26 ? u + ('a' - 'A') : u);
            blank_ = false;
        } else {
            blank_ = true;
        }
    }
    void Put(std::string_view s) {
        for (const char c : s) Put(c);
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    bool blank_ = false;
};

std::string Squeeze(std::string_view plain) {
    Squeezer out(plain.size());
    out.Put(plain);
    return out.Take();
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
    if (PlainAscii(text)) return Squeeze(text);  // most names: nothing to transliterate
    const GlibText valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())), g_free);
    return Squeeze(Transliterate(SpellPlainly(valid.get())));
}

const std::string& SearchFolder::LettersOf(std::uint32_t c) {
    const auto find = [c] {
        char one[8] = {};
        g_unichar_to_utf8(c, one);
        const std::string spelled = SpellPlainly(one);
        return spelled != one ? spelled : qv::LettersOf(c);
    };
    if (c >= 0x10000) {
        auto [at, added] = higher_.try_emplace(c);
        if (added) at->second = find();
        return at->second;
    }
    if (blocks_.empty()) blocks_.resize(0x100);
    std::unique_ptr<Block>& block = blocks_[c >> 8];
    if (!block) block = std::make_unique<Block>();
    if (!block->known[c & 0xFF]) {
        block->letters[c & 0xFF] = find();
        block->known[c & 0xFF] = true;
    }
    return block->letters[c & 0xFF];
}

std::string SearchFolder::Fold(std::string_view text) {
    if (PlainAscii(text)) return Squeeze(text);
    // UTF-8 decoded here: what GLib would refuse (a NUL, a sequence cut short or
    // too long, a surrogate) takes FoldForSearch's way.
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    Squeezer out(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b != 0 && b < 0x80) {
            out.Put(static_cast<char>(b));
            ++i;
            continue;
        }
        const std::size_t length = b >= 0xF0 && b < 0xF8 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return FoldForSearch(text);
        std::uint32_t c = b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto more = static_cast<unsigned char>(text[i + k]);
            if ((more & 0xC0) != 0x80) return FoldForSearch(text);
            c = c << 6 | (more & 0x3F);
        }
        if (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return FoldForSearch(text);
        out.Put(LettersOf(c));
        i += length;
    }
    return out.Take();
}

Coordinate RoundToMinute(double degrees) {
    const long total = std::lround(std::fabs(degrees) * 60);
    return {static_cast<int>(total / 60), static_cast<int>(total % 60), degrees < 0 && total != 0};
}

std::string PlaceLabel(const Place& place) {
    std::string label = place.name;
    if (!place.alias.empty()) label += " (" + place.alias + ")";
    for (const std::string* part : {&place.state, &place.country}) {
        if (part->empty()) continue;
        if (!label.empty()) label += ", ";
        label += *part;
    }
    if (!place.labelDetail.empty()) label += " (" + place.labelDetail + ")";
    return label;
}

const PlaceIndex& Atlas() {
    static const PlaceIndex index =
        LoadAtlasFiles(DefaultAtlasLocations(), CurrentAtlasSources(), BuildAtlasInMemory).index;
    return index;
}

std::vector<Place> FindPlaces(std::string_view text, std::size_t limit) { return Atlas().Find(text, limit); }

void LoadAtlas() { Atlas(); }

}  // namespace qv
