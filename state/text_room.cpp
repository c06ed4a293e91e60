#include "state/text_room.h"

namespace qv {

void WriteOtherLength(std::string& target, std::string_view text, std::size_t room) {
    if (target.capacity() < room) target.reserve(room);
    target.assign(text);
}

}  // namespace qv
