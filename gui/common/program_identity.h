// The program's name and version. Both come from the project() line of the
// top CMakeLists.txt, so a new version is typed in one place only.
#pragma once

#include <QString>

#ifndef QV_PROGRAM_NAME
#error "QV_PROGRAM_NAME is set by CMake for every target that links quorvane_ui"
#endif

namespace qv {

inline constexpr char kProgramName[] = QV_PROGRAM_NAME;        // "Quorvane"
inline constexpr char kProgramVersion[] = QV_PROGRAM_VERSION;  // "1.15"
inline constexpr char kProgramLicence[] = "MIT License";

// The caption of the program's windows: "Quorvane v1.15".
inline QString ProgramCaption() {
    return QStringLiteral("%1 v%2").arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion));
}

}  // namespace qv
