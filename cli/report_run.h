// quorvane-report as a function: arguments in, output and messages out, exit
// status back. main() only forwards to it, so tests run it in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "state/engine.h"

namespace qv::report {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the output could not be written
inline constexpr int kExitRefused = 2;  // the input was refused

// args without the program name. `precise` calculates the charts of
// --precise; without it --precise is refused.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PreciseEngine& precise = {});

}  // namespace qv::report
