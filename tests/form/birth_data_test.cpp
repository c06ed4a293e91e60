// The one road from a form to the checked birth data, and back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "chart/birth_form.h"
#include "tests/support/births.h"

namespace qv {
namespace {

struct FormCase {
    const char* what;
    std::function<void(BirthFormData&)> change;
    std::string message;  // empty: the form passes
};

TEST(CheckBirthForm, FormChecksThenListItemsInTheirWords) {
    // clang-format off
    const FormCase cases[] = {
        {"first day", [](auto& f) { f.cboYear = 0; f.cboMonth = 0; f.cboDate = 0; }, ""},
        {"last minute", [](auto& f) { f.cboYear = 149; f.cboMonth = 11; f.cboDate = 30; f.cboHour = 23; f.cboMinute = 59; }, ""},
        {"month 13", [](auto& f) { f.cboMonth = 12; }, "The month must be from 1 to 12"},
        {"day 32", [](auto& f) { f.cboDate = 31; }, "The day must be from 1 to 31"},
        {"year 2051", [](auto& f) { f.cboYear = 150; }, "The year must be from 1901 to 2050"},
        {"hour 24", [](auto& f) { f.cboHour = 24; }, "The hour must be from 0 to 23"},
        {"minute -1", [](auto& f) { f.cboMinute = -1; }, "The minute must be from 0 to 59"},
        {"zone 71", [](auto& f) { f.cboTimeZone = 71; }, "The time-zone slot must be a number from 0 to 70"},
        {"form before lists", [](auto& f) { f.txtName.clear(); f.cboHour = 99; }, "Please Enter Your Name"},
        {"name of blanks", [](auto& f) { f.txtName = "   "; }, "Please Enter Your Name"},
        {"city of blanks", [](auto& f) { f.txtCity = " "; }, "Please Enter Your City name"},
        {"degrees of blanks", [](auto& f) { f.txtLatD = "  "; }, "Please Enter Degree of Latitude"},
        {"letters in degrees", [](auto& f) { f.txtLonD = "7x"; }, "Please enter only numbers"},
        {"31 April", [](auto& f) { f.cboMonth = 3; f.cboDate = 30; }, "Please Enter Correct Date Or Month !"},
    };
    // clang-format on
    for (const FormCase& c : cases) {
        BirthFormData form = FormOfBirth(test::Asha());
        c.change(form);
        BirthData birth = test::CarlInBasel();
        const auto failure = CheckBirthForm(form, birth);
        EXPECT_EQ(failure ? failure->message : "", c.message) << c.what;
        if (failure) EXPECT_EQ(birth, test::CarlInBasel()) << c.what << ": a refused form changes nothing";
    }
}

// A pasted control character in a person's text is refused after the form's
// own checks, naming the field and focusing its box; other text passes.
TEST(CheckBirthForm, ControlCharactersInTheTextsAreRefused) {
    struct Case {
        const char* what;
        std::function<void(BirthFormData&)> change;
        std::string field, focus;  // empty: the form passes
    };
    // clang-format off
    const Case cases[] = {
        {"terminal title in the name", [](auto& f) { f.txtName = "Ann\x1b]0;owned\x07"; }, "name", "txtName"},
        {"line break in the city", [](auto& f) { f.txtCity = "New\r\nDelhi"; }, "city", "txtCity"},
        {"tab in the state", [](auto& f) { f.txtState = "Del\thi"; }, "state", "txtState"},
        {"NUL in the country", [](auto& f) { f.txtCountry = std::string("In\0dia", 6); }, "country", "txtCountry"},
        {"DEL in the name", [](auto& f) { f.txtName = "An\x7fn"; }, "name", "txtName"},
        {"C1 CSI in the city", [](auto& f) { f.txtCity = "Del\xc2\x9bhi"; }, "city", "txtCity"},
        {"first box in the form's order", [](auto& f) { f.txtCountry = "\n"; f.txtName = "\t"; }, "name", "txtName"},
        {"no-break space and accents", [](auto& f) { f.txtCity = "S\xc3\xa3o\xc2\xa0Paulo"; }, "", ""},
        {"last C1 control's neighbour", [](auto& f) { f.txtState = "\xc2\xa0\xc2\xbf"; }, "", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        BirthFormData form = FormOfBirth(test::Asha());
        c.change(form);
        BirthData birth = test::CarlInBasel();
        const auto failure = CheckBirthForm(form, birth);
        if (c.field.empty()) {
            EXPECT_FALSE(failure.has_value()) << c.what;
            continue;
        }
        ASSERT_TRUE(failure.has_value()) << c.what;
        EXPECT_EQ(failure->message, "The " + c.field +
                                        " holds a control character (a tab, a line break or an escape, for "
                                        "example); please remove it")
            << c.what;
        EXPECT_EQ(failure->focus, c.focus) << c.what;
        EXPECT_EQ(failure->check, kCheckControlCharacter) << c.what;
        EXPECT_EQ(birth, test::CarlInBasel()) << c.what;
    }
    // The form's own checks come first: an empty name wins.
    BirthFormData form = FormOfBirth(test::Asha());
    form.txtName.clear();
    form.txtCity = "\x1b";
    BirthData birth;
    EXPECT_EQ(CheckBirthForm(form, birth)->message, "Please Enter Your Name");
}

TEST(CheckBirthForm, TrimsTextsAndReadsDirections) {
    BirthFormData form = FormOfBirth(test::AdaInLondon());
    form.txtName = "  Ada Byron ";
    form.txtLatD = "051";
    form.txtCountry = " UK";
    BirthData birth;
    ASSERT_EQ(CheckBirthForm(form, birth), std::nullopt);
    EXPECT_EQ(birth, test::AdaInLondon());
    EXPECT_EQ(SignedDegrees(birth.longitude), -7.0 / 60);
    form.optLatSouth = 1;
    form.txtLonM = "0";
    ASSERT_EQ(CheckBirthForm(form, birth), std::nullopt);
    EXPECT_EQ(birth.latitude, (Coordinate{51, 30, true}));
    // West at 0° 0' stays West, as a saved reading keeps it, and is 0°.
    EXPECT_EQ(birth.longitude, (Coordinate{0, 0, true}));
    EXPECT_FALSE(std::signbit(SignedDegrees(birth.longitude)));
}

TEST(FormOfBirth, RoundTripsEveryPerson) {
    for (const BirthData& birth : {test::Asha(), test::AdaInLondon(), test::CarlInBasel()}) {
        BirthData back;
        ASSERT_EQ(CheckBirthForm(FormOfBirth(birth), back), std::nullopt) << birth.name;
        EXPECT_EQ(back, birth);
    }
}

TEST(DirectionLetters, EitherCaseOfTheirPairOnly) {
    int lat = -1;
    EXPECT_EQ(LatitudeDirectionOf('s', lat), std::nullopt);
    EXPECT_EQ(lat, 1);
    EXPECT_EQ(LatitudeDirectionOf('E', lat), "The latitude direction must be N or S");
    EXPECT_EQ(lat, 1);
    int lon = -1;
    EXPECT_EQ(LongitudeDirectionOf('w', lon), std::nullopt);
    EXPECT_EQ(lon, 1);
    EXPECT_EQ(LongitudeDirectionOf('e', lon), std::nullopt);
    EXPECT_EQ(lon, 0);
    EXPECT_EQ(LongitudeDirectionOf('N', lon), "The longitude direction must be E or W");
}

}  // namespace
}  // namespace qv
