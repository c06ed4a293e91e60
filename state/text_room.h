// Texts written chart after chart into the same strings: a text written over
// one with room enough reuses that room, so once every string has the room of
// its longest text, a chart allocates nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// Room kept for a text the user types (a name, a place): texts up to this
// long never make their string grow; a longer one grows it once.
inline constexpr std::size_t kTypedTextRoom = 64;

// `text` over `target`, which keeps room for at least `room` bytes.
inline void WriteKeepingRoom(std::string& target, std::string_view text, std::size_t room) {
    if (target.capacity() < room) target.reserve(room);
    target.assign(text);
}

}  // namespace qv
