// Where a longitude's text changes. FormatLongitude truncates at whole
// arcseconds, so two computations of one longitude that differ in the last
// bits write the same text unless the value lies within that difference of an
// arcsecond step. The fast engine stays within kTextStepMargin of the formulas
// evaluated term by term and hands any value closer than that to a step back
// to them, so its texts are theirs.
#pragma once

#include <cmath>

namespace qv {

// Half-width of the band around every arcsecond step. Degrees.
inline constexpr double kTextStepMargin = 1e-9;

// Distance from lon to the nearest whole arcsecond, for 0 ≤ lon < 10⁵; any
// other value (negative, huge, NaN) counts as distance 0. Degrees.
inline double ArcsecondStepDistance(double lon) {
    const double arcsec = lon * 3600.0;
    if (!(arcsec >= 0.0 && arcsec < 3.6e8)) return 0.0;
    const double nearest = static_cast<double>(static_cast<long>(arcsec + 0.5));
    const double off = arcsec - nearest;
    return std::fabs(off) / 3600.0;
}

// Whether lon lies so close to an arcsecond step that only the term-by-term
// formulas may decide its text.
inline bool NearArcsecondStep(double lon) { return ArcsecondStepDistance(lon) < kTextStepMargin; }

}  // namespace qv
