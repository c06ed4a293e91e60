// quorvane-report: a natal chart from the command line, as JSON or text.
#include <iostream>
#include <string>
#include <vector>

#include "cli/report_run.h"
#include "ephemeris/chart_engine.h"
#include "state/atomic_file.h"

int main(int argc, char** argv) {
    qv::ReportFileSizeLimitAsError();
    std::vector<std::string> args(argv + 1, argv + argc);
    return qv::report::Run(args, std::cout, std::cerr, qv::EphemerisEngine());
}
