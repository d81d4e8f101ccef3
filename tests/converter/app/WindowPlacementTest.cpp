#include "WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* Name;
    QRect Bounds;
    QRect Area;
    QRect Expected;
};

class WindowPlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacementTest, AStoredPlaceIsFittedIntoTheArea) {
    EXPECT_EQ(FitIntoArea(GetParam().Bounds, GetParam().Area), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, WindowPlacementTest,
    testing::Values(
        PlacementCase{"InsideStaysPut", {100, 50, 1035, 629}, {0, 0, 1920, 1040}, {100, 50, 1035, 629}},
        // A 2x scale factor halves the logical screen: 1920 pixels become 960.
        PlacementCase{"LargerThanTheScreenShrinks", {100, 50, 1035, 629}, {0, 0, 960, 520}, {0, 0, 960, 520}},
        PlacementCase{
            "OffTheRightComesBack", {1500, 700, 800, 500}, {0, 0, 1920, 1040}, {1120, 540, 800, 500}},
        PlacementCase{"AboveAndLeftComesBack", {-400, -300, 800, 500}, {0, 0, 1920, 1040}, {0, 0, 800, 500}},
        PlacementCase{
            "ASecondScreenKeepsItsOrigin", {1800, 30, 900, 600}, {1920, 0, 1280, 1024}, {1920, 30, 900, 600}},
        PlacementCase{"APanelAtTheTopIsKeptFree", {10, 0, 800, 500}, {0, 32, 1920, 1008}, {10, 32, 800, 500}},
        PlacementCase{"NoAreaChangesNothing", {-50, -50, 800, 500}, {}, {-50, -50, 800, 500}}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.Name); });

} // namespace
