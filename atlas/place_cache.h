// The best place of each text, looked up once: a batch of births names the
// same cities again and again.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "atlas/places.h"

namespace qv {

class BestPlaceCache {
public:
    // At most `capacity` texts are kept; when full, the cache starts afresh,
    // so that its memory stays flat however many texts it is asked.
    explicit BestPlaceCache(const PlaceIndex& index, std::size_t capacity = 4096)
        : index_(index), capacity_(capacity) {}

    // The first of index.Find(text, 1), or nullptr when nothing matches;
    // valid until the next call.
    const Place* Find(std::string_view text);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    const PlaceIndex& index_;
    std::size_t capacity_;
    std::unordered_map<std::string, std::optional<Place>, Hash, std::equal_to<>> found_;
};

}  // namespace qv
