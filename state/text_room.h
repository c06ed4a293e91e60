// Texts written chart after chart into the same strings: a text written over
// one with room enough reuses that room, so once every string has the room of
// its longest text, a chart allocates nothing.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace qv {

// Room kept for a text the user types (a name, a place): texts up to this
// long never make their string grow; a longer one grows it once.
inline constexpr std::size_t kTypedTextRoom = 64;

// Copies `n` bytes, 16 at most, without a library call: a chart's short
// texts are many and of many lengths, which a general copy pays for in
// mispredicted branches.
inline void CopyShortText(char* to, const char* from, std::size_t n) {
    if (n >= 8) {  // two overlapping words
        char head[8], tail[8];
        std::memcpy(head, from, 8);
        std::memcpy(tail, from + n - 8, 8);
        std::memcpy(to, head, 8);
        std::memcpy(to + n - 8, tail, 8);
    } else if (n >= 4) {
        char head[4], tail[4];
        std::memcpy(head, from, 4);
        std::memcpy(tail, from + n - 4, 4);
        std::memcpy(to, head, 4);
        std::memcpy(to + n - 4, tail, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

// Copies `n` bytes, more than 16, in blocks of 16 (the last overlapping the
// one before), without a library call.
inline void CopyLongText(char* to, const char* from, std::size_t n) {
    char block[16];
    for (std::size_t k = 0; k + 16 < n; k += 16) {
        std::memcpy(block, from + k, 16);
        std::memcpy(to + k, block, 16);
    }
    std::memcpy(block, from + n - 16, 16);
    std::memcpy(to + n - 16, block, 16);
}

// WriteKeepingRoom for a text of another length than the target's.
void WriteOtherLength(std::string& target, std::string_view text, std::size_t room);

// `text` over `target`, which keeps room for at least `room` bytes. `text`
// must not lie within `target`.
inline void WriteKeepingRoom(std::string& target, std::string_view text, std::size_t room = 0) {
    const std::size_t n = text.size();
    if (target.size() != n || target.capacity() < room) return WriteOtherLength(target, text, room);
    if (n > 16)
        CopyLongText(target.data(), text.data(), n);
    else
        CopyShortText(target.data(), text.data(), n);
}

}  // namespace qv
