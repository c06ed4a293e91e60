#include "chartview/personal_data.h"

#include <array>

namespace qv {

std::string_view MonthName(int month) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "January", "February", "March", "April", "May", "June",
        "July", "August", "September", "October", "November", "December"};
    if (month < 1 || month > 12) return {};
    return kNames[month - 1];
}

PersonalDataLabels MakePersonalDataLabels(const ChartState& s) {
    using std::to_string;
    PersonalDataLabels l;
    l.lblName = "Name: " + s.BirthName;
    l.lblDOB = "Date of Birth: " + std::string(MonthName(s.BirthMonth)) + " " + to_string(s.BirthDay) + ", " +
               to_string(s.BirthYear);
    l.lblTOB = "Time of Birth: " + to_string(s.BirthHour) + " Hour " + to_string(s.BirthMinute) + " Minute";
    l.lblLatitude = "Latitude: " + to_string(s.LatDegrees) + " Degree " + to_string(s.LatMinutes) + " Minute";
    l.lblLongitude = "Longitude: " + to_string(s.LonDegrees) + " Degree " + to_string(s.LonMinutes) + " Minute";
    l.lblCity = "City: " + s.BirthCity;
    l.lblState = "State: " + s.BirthState;
    l.lblCountry = "Country: " + s.BirthCountry;
    return l;
}

}  // namespace qv
