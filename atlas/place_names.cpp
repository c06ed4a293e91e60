#include "atlas/place_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

#include "state/text.h"

namespace qv {

namespace {

constexpr std::size_t kLongestCatalog = 64u << 20;
constexpr std::size_t kLongestName = 200;

// The whole of an ordinary file of at most `limit` bytes. A named pipe or a
// device is refused without waiting for a writer.
std::optional<std::string> ReadOrdinaryFile(const std::filesystem::path& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= limit) {
        bytes.emplace();
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || bytes->size() + static_cast<std::size_t>(n) > limit) {
                bytes.reset();
                break;
            }
            if (n == 0) break;
            bytes->append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return bytes;
}

std::uint64_t Hash(std::string_view key, std::string_view text) {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a
    for (const char c : key) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
    h = (h ^ 0xff) * 1099511628211u;  // no byte of UTF-8 text
    for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return h ^ (h >> 29);
}

}  // namespace

bool UsablePlaceName(std::string_view text) {
    if (text.empty() || text.size() > kLongestName) return false;
    for (std::size_t i = 0; i < text.size();) {
        if (const auto c = static_cast<unsigned char>(text[i]); c >= 0x20 && c < 0x7f) {
            ++i;  // printable ASCII, most of the names
            continue;
        }
        const Utf8Step step = Utf8StepAt(text, i);
        if (!step.valid) return false;
        const auto first = static_cast<unsigned char>(text[i]);
        if (first < 0x20 || first == 0x7f) return false;
        // U+0080–U+009F, the C1 controls, are C2 80 – C2 9F.
        if (first == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0) return false;
        i += step.length;
    }
    return true;
}

std::vector<std::pair<std::string_view, std::string_view>> ParseMessageCatalog(std::string_view bytes) {
    constexpr std::size_t kHeader = 20;  // magic, revision, count, two table offsets
    if (bytes.size() < kHeader) return {};
    const auto word = [&](std::size_t at, bool swap) {
        std::uint32_t w;
        std::memcpy(&w, bytes.data() + at, 4);
        return swap ? __builtin_bswap32(w) : w;
    };
    const std::uint32_t magic = word(0, false);
    bool swap;
    if (magic == 0x950412deu) {
        swap = false;
    } else if (magic == 0xde120495u) {
        swap = true;
    } else {
        return {};
    }
    if ((word(4, swap) >> 16) > 1) return {};  // a major revision this reader does not know
    const std::uint64_t count = word(8, swap), originals = word(12, swap), translations = word(16, swap);
    if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size()) return {};
    // The text of table entry `i`, up to its first NUL; nullopt when outside the bytes.
    const auto text = [&](std::uint64_t table, std::uint64_t i) -> std::optional<std::string_view> {
        const std::uint64_t length = word(table + i * 8, swap), offset = word(table + i * 8 + 4, swap);
        if (offset + length > bytes.size()) return std::nullopt;
        std::string_view s = bytes.substr(offset, length);
        return s.substr(0, s.find('\0'));
    };
    std::vector<std::pair<std::string_view, std::string_view>> out;
    out.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto original = text(originals, i), translation = text(translations, i);
        if (!original || !translation) return {};
        out.emplace_back(*original, *translation);
    }
    return out;
}

PlaceNames ReadPlaceNames(std::string_view folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> paths;
    for (const auto& language : std::filesystem::directory_iterator(std::filesystem::path(folder), ec))
        paths.push_back(language.path() / "LC_MESSAGES" / "geonames.mo");
    std::sort(paths.begin(), paths.end());

    PlaceNames out;
    // Each key and name once: an open hash table of their hashes and positions
    // in out.names (plus one), so that a probe seldom reads the names.
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t at = 0;
    };
    std::vector<Slot> slots(1u << 16);
    const auto add = [&](std::string_view key, std::string_view text) {
        if (out.names.size() * 2 >= slots.size()) {
            std::vector<Slot> larger(slots.size() * 2);
            for (const Slot& slot : slots) {
                if (slot.at == 0) continue;
                std::size_t i = slot.hash & (larger.size() - 1);
                while (larger[i].at != 0) i = (i + 1) & (larger.size() - 1);
                larger[i] = slot;
            }
            slots.swap(larger);
        }
        const std::uint64_t hash = Hash(key, text);
        for (std::size_t i = hash & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1)) {
            Slot& slot = slots[i];
            if (slot.at == 0) {
                out.names.push_back({key, text, 1});
                slot = {hash, static_cast<std::uint32_t>(out.names.size())};
                return;
            }
            if (slot.hash != hash) continue;
            PlaceName& n = out.names[slot.at - 1];
            if (n.key == key && n.text == text) {
                ++n.catalogs;
                return;
            }
        }
    };
    for (const auto& path : paths) {
        std::optional<std::string> bytes = ReadOrdinaryFile(path, kLongestCatalog);
        if (!bytes) continue;
        // Moving a string keeps its characters where they are: the views stay good.
        out.catalogs.push_back(std::move(*bytes));
        const auto messages = ParseMessageCatalog(out.catalogs.back());
        if (messages.empty()) {
            out.catalogs.pop_back();
            continue;
        }
        for (const auto& [key, text] : messages)
            if (!key.empty() && key.size() <= 16 && UsablePlaceName(text)) add(key, text);
    }
    return out;
}

}  // namespace qv
