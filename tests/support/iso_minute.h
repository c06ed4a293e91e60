// A moment as "YYYY-MM-DDTHH:MM:SSZ" in a string, for comparing with the
// texts the tests expect.
#pragma once

#include <chrono>
#include <string>

#include "state/text.h"

namespace qv {

inline std::string FormatIsoMinute(std::chrono::sys_seconds t) {
    char buf[kIsoMinuteRoom];
    return std::string(buf, PutIsoMinute(buf, t));
}

}  // namespace qv
