// The small rules the scale, the numeric label and the chart share.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "scale/Quarn_quarnbase.h"
#include "scale/Rounding.h"
#include "scale/SettingStore.h"

namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const struct {
        double value, expected;
    } rows[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {0.49999999999999994, 0},                  // the largest double below one half
        {4503599627370497.0, 4503599627370497.0},  // 2^52 + 1: already whole
        {1e300, 1e300},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(RoundHalfEven(r.value), r.expected);
    }
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(StoreSetting, SkipReturnsOnAnEqualValueApplyStoresAndShowsItAnyway)
{
    int field = 3;
    int shown = 0;
    auto show = [&] { ++shown; };
    EXPECT_FALSE(StoreSetting(field, 3, Unchanged::Skip, show));
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(StoreSetting(field, 4, Unchanged::Skip, show));
    EXPECT_EQ(field, 4);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(StoreSetting(field, 4, Unchanged::Apply, show));
    EXPECT_EQ(shown, 2);
}

TEST(FrameColorsOf, SystemSchemeTakesTheButtonColours)
{
    const TFrameColors system = FrameColorsOf(csSystem);
    EXPECT_EQ(system.frame, clBlack);
    EXPECT_EQ(system.shadow, clBtnShadow);
    EXPECT_EQ(system.highlight, clBtnHighlight);
    const TFrameColors bwg = FrameColorsOf(csBWG);
    EXPECT_EQ(bwg.frame, clBlack);
    EXPECT_EQ(bwg.shadow, clGray);
    EXPECT_EQ(bwg.highlight, clWhite);
}

}  // namespace
