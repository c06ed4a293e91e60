// The eight personal-data lines of the display form.
#pragma once

#include <string>
#include <string_view>

#include "app/chart_state.h"

namespace qv {

struct PersonalDataLabels {
    std::string lblName, lblCity, lblState, lblCountry;
    std::string lblDOB, lblTOB, lblLatitude, lblLongitude;
    bool operator==(const PersonalDataLabels&) const = default;
};

// English month name, 1 "January" … 12 "December"; empty for other numbers.
std::string_view MonthName(int month);

// The label texts as the display form writes them when it loads.
PersonalDataLabels MakePersonalDataLabels(const ChartState& state);

}  // namespace qv
