// The birth data the widget benchmarks calculate: London, 10 December 1915.
#pragma once

#include "app/birth_form.h"

namespace qv::bench {

inline BirthFormData LondonPerson() {
    BirthFormData d;
    d.txtName = "Ada Byron";
    d.cboMonth = 11;
    d.cboDate = 9;
    d.cboYear = 1915 - 1901;
    d.cboHour = 1;
    d.cboMinute = 30;
    d.cboTimeZone = 29;
    d.txtLatD = "51";
    d.txtLatM = "30";
    d.txtLonD = "0";
    d.txtLonM = "7";
    d.optLatSouth = 0;
    d.optLongEast = 1;
    d.txtCity = "London";
    d.txtState = "England";
    d.txtCountry = "UK";
    return d;
}

}  // namespace qv::bench
