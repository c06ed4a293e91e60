#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

TEST_F(ChartTest, Smoke) {
    Show(London());
    EXPECT_EQ(display()->objectName(), "frmDisplay");
}

}  // namespace
}  // namespace qv::test
