#include "atlas/atlas_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <geonames.h>
#include <glib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>
#include <system_error>
#include <vector>

#include "atlas/place_words.h"
#include "atlas/zone_at.h"

#ifndef QV_ATLAS_PROGRAM_VERSION
#define QV_ATLAS_PROGRAM_VERSION "unknown"
#endif

namespace qv {

namespace {

using namespace place_tables;

// clang-format off
enum Section : std::uint32_t {
    kSources, kText, kCities, kRegionText, kStates, kCountries, kZones, kDetails,
    kKeys, kAliases, kStarts, kQualifierText, kQualifiers, kLabels, kPoints,
    kSectionCount
};
// clang-format on

constexpr char kMagic[8] = {'Q', 'V', 'A', 'T', 'L', 'A', 'S', '\0'};
constexpr std::uint32_t kByteOrder = 0x01020304;
// Zero bytes after every section: a text read up to its NUL, or a key's
// record read after it, stays inside the file however its bytes were damaged.
constexpr std::size_t kGuard = 16;
// Larger files are no atlas (today's is about 15 MB).
constexpr std::uint64_t kLargestFile = 1ull << 30;

struct SectionRef {
    std::uint64_t offset = 0, size = 0;
};

struct Header {
    char magic[8] = {};
    std::uint32_t version = 0;
    std::uint32_t byteOrder = 0;
    std::uint64_t fileSize = 0;
    std::uint64_t checksum = 0;  // of every byte from `sectionCount` on
    std::uint32_t sectionCount = 0;
    std::uint32_t unused = 0;
    SectionRef sections[kSectionCount];
};
static_assert(offsetof(Header, checksum) == kAtlasChecksumAt);
constexpr std::size_t kChecksummedFrom = offsetof(Header, sectionCount);

// The size of one record of each section (1 for texts).
constexpr std::size_t kRecordSize[kSectionCount] = {
    1, 1, sizeof(City),          1, sizeof(Region), sizeof(Region), sizeof(TextRef), sizeof(Pair),
    1, 1, sizeof(std::uint32_t), 1, sizeof(Pair),   sizeof(Pair),   sizeof(Point)};

std::size_t Aligned(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

template <typename T>
std::string_view BytesOf(std::span<const T> records) {
    return {reinterpret_cast<const char*>(records.data()), records.size_bytes()};
}

// One line of the record of sources: the file's size and time of change, or
// "missing".
std::string FileLine(std::string_view what, const std::string& path) {
    std::string line = std::string(what) + ' ' + path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return line + " missing\n";
    return line + ' ' + std::to_string(info.st_size) + ' ' + std::to_string(info.st_mtim.tv_sec) + '.' +
           std::to_string(info.st_mtim.tv_nsec) + '\n';
}

// The gazetteer library the dynamic loader found, its links followed (the
// loader may have found it through /lib or /usr/lib).
std::string GazetteerLibrary() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&geonames_get_n_cities), &info) == 0 || !info.dli_fname) return "unknown";
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? info.dli_fname : real.string();
}

// The program's own word lists, which the index holds beside the gazetteer's.
std::uint64_t WordListsHash() {
    std::string all;
    const auto put = [&all](std::string_view s) { all.append(s).push_back('\n'); };
    for (const StateShortForm& f : StateShortForms()) put(f.country), put(f.shortForm), put(f.state);
    for (const CountryShortForm& f : CountryShortForms()) put(f.shortForm), put(f.country);
    for (const OtherName& n : OtherNames()) put(std::to_string(n.id)), put(n.name);
    for (const Place& p : CitiesTheGazetteerLacks())
        put(PlaceLabel(p) + ' ' + std::to_string(p.latitude) + ' ' + std::to_string(p.longitude) + ' ' + p.zoneId +
            ' ' + std::to_string(p.id) + ' ' + std::to_string(p.population));
    for (const char* word : {"st", "ste", "ft", "mt", "sankt"}) put(WithWholeWords(word));
    return XXH3_64bits(all.data(), all.size());
}

std::string Hex(std::uint64_t n) {
    char out[17];
    for (int i = 15; i >= 0; --i, n >>= 4) out[i] = "0123456789abcdef"[n & 15];
    out[16] = '\0';
    return out;
}

bool AllZero(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

template <typename T>
std::span<const T> RecordsAt(std::string_view bytes, const SectionRef& s) {
    return {reinterpret_cast<const T*>(bytes.data() + s.offset), s.size / sizeof(T)};
}

bool Within(TextRef ref, std::string_view text) {
    return ref.offset <= text.size() && ref.length <= text.size() - ref.offset;
}

// Whether the tables hold together: every city's texts, state, country and
// zone within their tables, its coordinates on the globe; every region's and
// zone's text, label detail and qualifier within its text. What a search
// meets besides (a key's record, a word start, a label's or point's city) it
// checks where it reads it.
bool TablesHoldTogether(const Views& t, std::string& problem) {
    for (const City& c : t.cities) {
        if (!Within({c.name, c.nameLength}, t.text) || c.nameLength > UINT16_MAX || c.state >= t.states.size() ||
            c.country >= t.countries.size() || c.zone >= t.zones.size() || !(std::fabs(c.latitude) <= 90) ||
            !(std::fabs(c.longitude) <= 180)) {
            problem = "a city lies outside the tables";
            return false;
        }
    }
    for (const auto* regions : {&t.states, &t.countries})
        for (const Region& r : *regions)
            if (!Within(r.text, t.regionText) || !Within(r.folded, t.regionText) || !Within(r.code, t.regionText)) {
                problem = "a state or country lies outside the tables";
                return false;
            }
    for (const TextRef& zone : t.zones)
        if (!Within(zone, t.regionText)) {
            problem = "a zone lies outside the tables";
            return false;
        }
    for (const Pair& d : t.details)
        if (d.second >= t.text.size()) {
            problem = "a label detail lies outside the tables";
            return false;
        }
    for (const Pair& q : t.qualifiers)
        if (q.first >= t.qualifierText.size()) {
            problem = "a state's or country's name lies outside the tables";
            return false;
        }
    return true;
}

// The header's sections, if they lie within a file of `size` bytes with
// their guards, aligned and of whole records.
bool SectionsFit(const Header& h, std::uint64_t size, std::string& problem) {
    for (std::uint32_t i = 0; i < kSectionCount; ++i) {
        const SectionRef& s = h.sections[i];
        if (s.offset % 8 != 0 || s.offset < sizeof(Header) || s.offset > size || s.size > size - s.offset ||
            kGuard > size - s.offset - s.size || s.size % kRecordSize[i] != 0 || s.size > UINT32_MAX) {
            problem = "its table of contents is damaged";
            return false;
        }
    }
    return true;
}

// The header's fields that tell an atlas file of this version, from this
// machine, of `size` bytes.
bool HeaderFits(const Header& h, std::uint64_t size, std::string& problem) {
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0) {
        problem = "it is not an atlas file";
    } else if (h.byteOrder != kByteOrder) {
        problem = "it was made on a machine of another byte order";
    } else if (h.version != kAtlasFileVersion) {
        problem = "it is of layout " + std::to_string(h.version) + ", not " + std::to_string(kAtlasFileVersion);
    } else if (h.fileSize != size) {
        problem = "it is " + std::to_string(size) + " bytes long, not " + std::to_string(h.fileSize) + " (cut short?)";
    } else if (h.sectionCount != kSectionCount) {
        problem = "its table of contents is damaged";
    } else {
        return SectionsFit(h, size, problem);
    }
    return false;
}

// The tables of a file whose header has been checked.
std::optional<Views> TablesOf(std::string_view bytes, const Header& h, std::optional<std::string_view> sources,
                              std::string& problem) {
    const auto text = [&](Section s) { return bytes.substr(h.sections[s].offset, h.sections[s].size); };
    for (std::uint32_t i = 0; i < kSectionCount; ++i)
        if (!AllZero(bytes.substr(h.sections[i].offset + h.sections[i].size, kGuard))) {
            problem = "it is damaged (a table runs on)";
            return std::nullopt;
        }
    if (sources && text(kSources) != *sources) {
        problem = "it was made from other sources than the system's (stale)";
        return std::nullopt;
    }
    Views t;
    t.text = text(kText);
    t.cities = RecordsAt<City>(bytes, h.sections[kCities]);
    t.regionText = text(kRegionText);
    t.states = RecordsAt<Region>(bytes, h.sections[kStates]);
    t.countries = RecordsAt<Region>(bytes, h.sections[kCountries]);
    t.zones = RecordsAt<TextRef>(bytes, h.sections[kZones]);
    t.details = RecordsAt<Pair>(bytes, h.sections[kDetails]);
    t.keys = text(kKeys);
    t.aliases = text(kAliases);
    t.starts = RecordsAt<std::uint32_t>(bytes, h.sections[kStarts]);
    t.qualifierText = text(kQualifierText);
    t.qualifiers = RecordsAt<Pair>(bytes, h.sections[kQualifiers]);
    t.labels = RecordsAt<Pair>(bytes, h.sections[kLabels]);
    t.points = RecordsAt<Point>(bytes, h.sections[kPoints]);
    if (!TablesHoldTogether(t, problem)) return std::nullopt;
    return t;
}

std::string Reason(int err) { return std::generic_category().message(err); }

// A file descriptor closed when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Reads `size` bytes at `offset`; false when the file ends before.
bool ReadAt(int fd, void* into, std::size_t size, std::uint64_t offset) {
    auto* out = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t n = ::pread(fd, out, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

// The checksum of a file's bytes from kChecksummedFrom on, read in blocks.
std::optional<std::uint64_t> ChecksumOfFile(int fd, std::uint64_t size) {
    using State = std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)>;
    const State state(XXH3_createState(), XXH3_freeState);
    if (!state || XXH3_64bits_reset(state.get()) != XXH_OK) return std::nullopt;
    std::vector<char> block(256 * 1024);
    for (std::uint64_t at = kChecksummedFrom; at < size;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - at));
        if (!ReadAt(fd, block.data(), n, at)) return std::nullopt;
        XXH3_64bits_update(state.get(), block.data(), n);
        at += n;
    }
    return XXH3_64bits_digest(state.get());
}

// A file mapped for reading, unmapped when the last index viewing it goes.
struct Mapping {
    void* at = MAP_FAILED;
    std::size_t size = 0;
    ~Mapping() {
        if (at != MAP_FAILED) ::munmap(at, size);
    }
};

}  // namespace

std::string CurrentAtlasSources(std::string_view catalogFolder) {
    std::string out = "quorvane atlas " + std::to_string(kAtlasFileVersion) +
                      "\nprogram " QV_ATLAS_PROGRAM_VERSION "\nword lists " + Hex(WordListsHash()) + "\nglib " +
                      std::to_string(glib_major_version) + '.' + std::to_string(glib_minor_version) + '.' +
                      std::to_string(glib_micro_version) + '\n';
    out += FileLine("gazetteer", GazetteerLibrary());
    // The catalogs as ReadPlaceNames finds them.
    std::error_code ec;
    std::vector<std::filesystem::path> catalogs;
    for (const auto& language : std::filesystem::directory_iterator(std::filesystem::path(catalogFolder), ec))
        catalogs.push_back(language.path() / "LC_MESSAGES" / "geonames.mo");
    std::sort(catalogs.begin(), catalogs.end());
    for (const std::filesystem::path& catalog : catalogs) {
        struct stat info {};
        if (::stat(catalog.c_str(), &info) == 0) out += FileLine("catalog", catalog.string());
    }
    const std::string zones = ZoneInfoDirectory();
    for (const char* table : {"zone1970.tab", "zone.tab"}) out += FileLine("zones", zones + '/' + table);
    return out;
}

std::uint64_t AtlasFileChecksum(std::string_view bytes) {
    if (bytes.size() <= kChecksummedFrom) return XXH3_64bits(nullptr, 0);
    return XXH3_64bits(bytes.data() + kChecksummedFrom, bytes.size() - kChecksummedFrom);
}

std::string AtlasFileBytes(const Views& t, std::string_view sources) {
    const std::string_view sections[kSectionCount] = {sources,
                                                      t.text,
                                                      BytesOf(t.cities),
                                                      t.regionText,
                                                      BytesOf(t.states),
                                                      BytesOf(t.countries),
                                                      BytesOf(t.zones),
                                                      BytesOf(t.details),
                                                      t.keys,
                                                      t.aliases,
                                                      BytesOf(t.starts),
                                                      t.qualifierText,
                                                      BytesOf(t.qualifiers),
                                                      BytesOf(t.labels),
                                                      BytesOf(t.points)};
    Header h;
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.version = kAtlasFileVersion;
    h.byteOrder = kByteOrder;
    h.sectionCount = kSectionCount;
    std::string out(sizeof(Header), '\0');
    for (std::uint32_t i = 0; i < kSectionCount; ++i) {
        h.sections[i] = {out.size(), sections[i].size()};
        out += sections[i];
        out.append(Aligned(sections[i].size() + kGuard) - sections[i].size(), '\0');
    }
    h.fileSize = out.size();
    std::memcpy(out.data(), &h, sizeof h);
    h.checksum = AtlasFileChecksum(out);
    std::memcpy(out.data(), &h, sizeof h);
    return out;
}

std::optional<Views> ReadAtlasBytes(std::string_view bytes, std::optional<std::string_view> sources,
                                    std::string& problem) {
    Header h;
    if (bytes.size() < sizeof h) {
        problem = bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0
                      ? "it is not an atlas file"
                      : "it is cut short";
        return std::nullopt;
    }
    if (reinterpret_cast<std::uintptr_t>(bytes.data()) % 8 != 0) {
        problem = "its bytes are not aligned";
        return std::nullopt;
    }
    std::memcpy(&h, bytes.data(), sizeof h);
    if (!HeaderFits(h, bytes.size(), problem)) return std::nullopt;
    if (AtlasFileChecksum(bytes) != h.checksum) {
        problem = "it is damaged (its checksum fails)";
        return std::nullopt;
    }
    return TablesOf(bytes, h, sources, problem);
}

AtlasFileRead OpenAtlasFile(const std::filesystem::path& file, std::string_view sources) {
    AtlasFileRead out;
    // Opened without waiting, so that a named pipe put in its place cannot hold the program.
    Descriptor d{::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (d.fd < 0) {
        out.problem = errno == ENOENT ? "there is no such file" : "it cannot be read (" + Reason(errno) + ")";
        return out;
    }
    struct stat info {};
    if (::fstat(d.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        out.problem = "it is not an ordinary file";
        return out;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    Header h;
    if (size < sizeof h || !ReadAt(d.fd, &h, sizeof h, 0)) {
        std::string bytes(std::min<std::uint64_t>(size, sizeof kMagic), '\0');
        const bool magic = ReadAt(d.fd, bytes.data(), bytes.size(), 0) && bytes == std::string_view(kMagic, 8);
        out.problem = magic ? "it is cut short" : "it is not an atlas file";
        return out;
    }
    if (size > kLargestFile) {
        out.problem = "it is larger than any atlas file";
        return out;
    }
    if (!HeaderFits(h, size, out.problem)) return out;
    // The record of sources first: a stale file is passed over before its checksum is computed.
    const SectionRef& s = h.sections[kSources];
    std::string recorded(s.size, '\0');
    if (!ReadAt(d.fd, recorded.data(), recorded.size(), s.offset)) {
        out.problem = "it cannot be read";
        return out;
    }
    if (recorded != sources) {
        out.problem = "it was made from other sources than the system's (stale)";
        return out;
    }
    const std::optional<std::uint64_t> checksum = ChecksumOfFile(d.fd, size);
    if (!checksum || *checksum != h.checksum) {
        out.problem = checksum ? "it is damaged (its checksum fails)" : "it cannot be read";
        return out;
    }
    auto mapping = std::make_shared<Mapping>();
    mapping->size = static_cast<std::size_t>(size);
    mapping->at = ::mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE, d.fd, 0);
    if (mapping->at == MAP_FAILED) {
        out.problem = "it cannot be mapped into memory (" + Reason(errno) + ")";
        return out;
    }
    const std::string_view bytes(static_cast<const char*>(mapping->at), mapping->size);
    // Checked again through the mapping: the file may have changed since it was read.
    Header mapped;
    std::memcpy(&mapped, bytes.data(), sizeof mapped);
    if (std::memcmp(&mapped, &h, sizeof h) != 0) {
        out.problem = "it changed while it was read";
        return out;
    }
    const std::optional<Views> tables = TablesOf(bytes, h, sources, out.problem);
    if (tables) out.index.emplace(*tables, std::move(mapping));
    return out;
}

}  // namespace qv
