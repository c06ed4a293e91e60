// Reduction of an angle in degrees by whole turns, exactly.
#pragma once

#include <cmath>

namespace qv {

// std::fmod(x, 360), bit for bit, without the library's long division below
// 2⁴⁴: x − q·360 is exact for the right whole q (both are multiples of x's
// last bit and the result is smaller than x), and a q one off, where x/360
// rounded across a whole number, is put right by one exact ±360. Degrees.
inline double Remainder360(double x) {
    if (!(std::fabs(x) < 0x1p44)) return std::fmod(x, 360.0);
    if (std::fabs(x) < 360.0) return x;
    const double q = std::trunc(x / 360.0);
    double r = x - q * 360.0;
    if (x > 0) {
        if (r < 0)
            r = r + 360.0;
        else if (r >= 360.0)
            r = r - 360.0;
    } else {
        if (r > 0)
            r = r - 360.0;
        else if (r <= -360.0)
            r = r + 360.0;
        if (r == 0) r = -0.0;  // the sign of x, as fmod
    }
    return r;
}

}  // namespace qv
