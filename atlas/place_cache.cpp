#include "atlas/place_cache.h"

#include <vector>

namespace qv {

const Place* BestPlaceCache::Find(std::string_view text) {
    auto at = found_.find(text);
    if (at == found_.end()) {
        if (found_.size() >= capacity_) found_.clear();
        std::vector<Place> places = index_.Find(text, 1);
        std::optional<Place> best;
        if (!places.empty()) best = std::move(places.front());
        at = found_.emplace(std::string(text), std::move(best)).first;
    }
    return at->second ? &*at->second : nullptr;
}

}  // namespace qv
