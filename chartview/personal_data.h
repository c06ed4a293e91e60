// The eight personal-data lines of the display form.
#pragma once

#include <string>
#include <string_view>

#include "state/chart_state.h"
#include "state/fixed_lists.h"

namespace qv {

struct PersonalDataLabels {
    std::string lblName, lblCity, lblState, lblCountry;
    std::string lblDOB, lblTOB, lblLatitude, lblLongitude;
    bool operator==(const PersonalDataLabels&) const = default;
};

// The label texts as the display form writes them when it loads.
PersonalDataLabels MakePersonalDataLabels(const ChartState& state);

}  // namespace qv
