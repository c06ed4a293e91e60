#include "state/birth_data.h"

namespace qv {

double SignedDegrees(const Coordinate& c) {
    const double value = c.degrees + c.minutes / 60.0;
    return (c.negative ? -value : value) + 0.0;  // + 0.0 turns -0.0 into 0.0
}

}  // namespace qv
