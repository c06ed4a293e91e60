#include <gtest/gtest.h>

#include "app/file_names.h"

namespace qv {
namespace {

struct NameCase {
    const char* name;
    const char* extension;
    const char* offered;
};

class OwnExtension : public testing::TestWithParam<NameCase> {};

TEST_P(OwnExtension, ReplacesTheSharedExtensionsAndKeepsTheRest) {
    EXPECT_EQ(WithOwnExtension(GetParam().name, GetParam().extension), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(Names, OwnExtension,
                         testing::Values(NameCase{"/d/victim.qvn", "txt", "/d/victim.txt"},
                                         NameCase{"/d/victim.txt", "qvn", "/d/victim.qvn"},
                                         NameCase{"/d/victim.qvn", "qvn", "/d/victim.qvn"},
                                         NameCase{"/d/VICTIM.TXT", "qvn", "/d/VICTIM.qvn"},
                                         NameCase{"/d/victim", "txt", "/d/victim.txt"},
                                         NameCase{"/d/Dr. Who", "qvn", "/d/Dr. Who.qvn"},
                                         NameCase{"/d/chart.jpg", "txt", "/d/chart.jpg.txt"},
                                         NameCase{"/my.folder/victim", "qvn", "/my.folder/victim.qvn"},
                                         NameCase{"/d/.qvn", "txt", "/d/.qvn.txt"},
                                         NameCase{"victim.qvn", "txt", "victim.txt"}, NameCase{"", "qvn", ""}));

}  // namespace
}  // namespace qv
