#include "chart/personal_data.h"

#include "state/text.h"

namespace qv {

PersonalDataLabels MakePersonalDataLabels(const ChartState& s, PersonalLinesFor use) {
    using std::to_string;
    const std::string minute = use == PersonalLinesFor::TextExport ? " Minute " : " Minute";
    PersonalDataLabels l;
    l.lblName = "Name: " + ValidUtf8(s.BirthName);
    l.lblDOB = "Date of Birth: " + std::string(MonthName(s.BirthMonth)) + " " + to_string(s.BirthDay) + ", " +
               to_string(s.BirthYear);
    l.lblTOB = s.BirthTimeKnown
                   ? "Time of Birth: " + to_string(s.BirthHour) + " Hour " + to_string(s.BirthMinute) + minute
                   : std::string("Time of Birth: unknown (12:00)");
    l.lblLatitude = "Latitude: " + to_string(s.LatDegrees) + " Degree " + to_string(s.LatMinutes) + minute;
    l.lblLongitude = "Longitude: " + to_string(s.LonDegrees) + " Degree " + to_string(s.LonMinutes) + minute;
    l.lblCity = "City: " + ValidUtf8(s.BirthCity);
    l.lblState = "State: " + ValidUtf8(s.BirthState);
    l.lblCountry = "Country: " + ValidUtf8(s.BirthCountry);
    return l;
}

std::array<std::string, 8> PersonalDataLines(const ChartState& state, PersonalLinesFor use) {
    PersonalDataLabels l = MakePersonalDataLabels(state, use);
    return {std::move(l.lblName),      std::move(l.lblDOB),  std::move(l.lblTOB),   std::move(l.lblLatitude),
            std::move(l.lblLongitude), std::move(l.lblCity), std::move(l.lblState), std::move(l.lblCountry)};
}

}  // namespace qv
