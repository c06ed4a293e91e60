#include "chartview/personal_data.h"

namespace qv {

PersonalDataLabels MakePersonalDataLabels(const ChartState& s) {
    using std::to_string;
    PersonalDataLabels l;
    l.lblName = "Name: " + s.BirthName;
    l.lblDOB = "Date of Birth: " + std::string(MonthName(s.BirthMonth)) + " " + to_string(s.BirthDay) + ", " +
               to_string(s.BirthYear);
    l.lblTOB = s.BirthTimeKnown
                   ? "Time of Birth: " + to_string(s.BirthHour) + " Hour " + to_string(s.BirthMinute) + " Minute"
                   : std::string("Time of Birth: unknown (12:00)");
    l.lblLatitude = "Latitude: " + to_string(s.LatDegrees) + " Degree " + to_string(s.LatMinutes) + " Minute";
    l.lblLongitude = "Longitude: " + to_string(s.LonDegrees) + " Degree " + to_string(s.LonMinutes) + " Minute";
    l.lblCity = "City: " + s.BirthCity;
    l.lblState = "State: " + s.BirthState;
    l.lblCountry = "Country: " + s.BirthCountry;
    return l;
}

}  // namespace qv
