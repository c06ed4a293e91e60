#include "state/text_room.h"

namespace qv {

char* TextOfLength(std::string& target, std::size_t length, std::size_t room) {
    if (target.capacity() < room) target.reserve(room);
    target.resize(length);
    return target.data();
}

void WriteOtherLength(std::string& target, std::string_view text, std::size_t room) {
    if (target.capacity() < room) target.reserve(room);
    target.assign(text);
}

}  // namespace qv
