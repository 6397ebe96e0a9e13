// Standard layouts, row by row: the chart's margins and caption, and every axis of the 16 layers.

#include <array>
#include <memory>

#include <gtest/gtest.h>

#include "chart/ChartTransform.h"
#include "chart/StandardLayouts.h"

namespace {

struct ExpectedAxis {
    bool visible;
    TScaleType type;
    int pos;
    int captionX, captionY;
    TAlignment alignment;
    TScaleUnitAnchor anchor;
};

constexpr ExpectedAxis kHiddenX{false, sctXT, 0, 10, 100, taCenter, uaSclCenter};
constexpr ExpectedAxis kHiddenY{false, sctYR, 0, 10, 100, taRightJustify, uaSclTopLft};

class StandardLayouts : public testing::Test {
protected:
    StandardLayouts()
    {
        for (int i = 0; i < ChartLayerCount; ++i) {
            x[i] = std::make_unique<TScalePropsHoriz>();
            y[i] = std::make_unique<TScalePropsVert>();
            xAxes[i] = x[i].get();
            yAxes[i] = y[i].get();
            // as a chart might have them before: shown, in the other place
            x[i]->SetVisible(true);
            y[i]->SetVisible(true);
            x[i]->SetCaptionPosX(77);
        }
    }

    void Apply(TrcLayout layout) { ApplyLayoutToAxes(layout, xAxes, yAxes); }

    static void ExpectAxis(const TScaleProps& axis, const ExpectedAxis& e)
    {
        EXPECT_EQ(axis.Visible(), e.visible);
        EXPECT_EQ(axis.ScaleType(), e.type);
        EXPECT_EQ(axis.ScalePos(), e.pos);
        EXPECT_EQ(axis.CaptionPosX(), e.captionX);
        EXPECT_EQ(axis.CaptionPosY(), e.captionY);
        EXPECT_EQ(axis.CaptionAlignment(), e.alignment);
        EXPECT_EQ(axis.CaptionAnchor(), e.anchor);
    }

    void ExpectLayers(const std::array<ExpectedAxis, 4>& xs, const std::array<ExpectedAxis, 4>& ys)
    {
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "layer " << i + 1);
            {
                SCOPED_TRACE("x");
                ExpectAxis(*x[i], xs[i]);
            }
            {
                SCOPED_TRACE("y");
                ExpectAxis(*y[i], ys[i]);
            }
        }
        for (int i = 4; i < ChartLayerCount; ++i) {
            SCOPED_TRACE(testing::Message() << "layer " << i + 1);
            EXPECT_FALSE(x[i]->Visible());
            EXPECT_FALSE(y[i]->Visible());
        }
    }

    static void ExpectChart(const LayoutChartValues& v, const std::array<int, 6>& numbers, TAlignment alignment,
        TCaptionAnchorHoriz horiz, TCaptionAnchorVert vert)
    {
        EXPECT_EQ((std::array<int, 6>{
                      v.MarginLeft, v.MarginRight, v.MarginTop, v.MarginBottom, v.CaptionPosX, v.CaptionPosY}),
            numbers);
        EXPECT_EQ(v.CaptionAlignment, alignment);
        EXPECT_EQ(v.CaptionAnchorHoriz, horiz);
        EXPECT_EQ(v.CaptionAnchorVert, vert);
    }

    std::array<std::unique_ptr<TScalePropsHoriz>, ChartLayerCount> x;
    std::array<std::unique_ptr<TScalePropsVert>, ChartLayerCount> y;
    std::array<TScalePropsHoriz*, ChartLayerCount> xAxes{};
    std::array<TScalePropsVert*, ChartLayerCount> yAxes{};
};

TEST_F(StandardLayouts, TwoXAndTwoYScalesOnAllFourSides)
{
    ExpectChart(
        StandardLayoutOf(rcl_X2Both_Y2Both).Chart, {50, 50, 48, 40, 0, -46}, taCenter, cahChartCenter, cavChartTop);
    Apply(rcl_X2Both_Y2Both);
    ExpectLayers(
        {
            ExpectedAxis{true, sctXT, 0, -20, 7, taRightJustify, uaSclTopLft},    // bottom
            ExpectedAxis{true, sctXB, 0, -20, -24, taRightJustify, uaSclTopLft},  // top
            kHiddenX,
            kHiddenX,
        },
        {
            ExpectedAxis{true, sctYR, 0, 0, -40, taRightJustify, uaSclTopLft},  // left
            ExpectedAxis{true, sctYL, 0, 0, -40, taLeftJustify, uaSclTopLft},   // right
            ExpectedAxis{false, sctYR, 0, 0, -23, taRightJustify, uaSclTopLft},
            ExpectedAxis{false, sctYR, 0, 0, -23, taRightJustify, uaSclTopLft},
        });
    EXPECT_EQ(x[1]->ScaleLocation(), slTop);
    EXPECT_EQ(y[1]->ScaleLocation(), slRight);
}

TEST_F(StandardLayouts, FourYScalesSideBySideOnTheLeft)
{
    // from another layout, so that every value has to be set again
    Apply(rcl_X2Both_Y2Both);
    ExpectChart(StandardLayoutOf(rcl_X1Bottom_Y4Left).Chart, {200, 20, 24, 40, 0, -16}, taRightJustify, cahChartRight,
        cavChartTop);
    Apply(rcl_X1Bottom_Y4Left);
    // fresh vertical objects start with a horizontal type: ScalePos must follow ScaleLocation
    const ExpectedAxis left{true, sctYR, 0, 0, -23, taRightJustify, uaSclTopLft};
    ExpectedAxis left50 = left, left100 = left, left150 = left;
    left50.pos = 50;
    left100.pos = 100;
    left150.pos = 150;
    ExpectLayers({ExpectedAxis{true, sctXT, 0, 0, 22, taCenter, uaSclCenter}, kHiddenX, kHiddenX, kHiddenX},
        {left, left50, left100, left150});
}

TEST_F(StandardLayouts, OneXAndOneYScale)
{
    ExpectChart(StandardLayoutOf(rcl_X1Bottom_Y1Left).Chart, {50, 20, 20, 40, 0, -16}, taRightJustify, cahChartRight,
        cavChartTop);
    Apply(rcl_X1Bottom_Y1Left);
    ExpectLayers({ExpectedAxis{true, sctXT, 0, 0, 22, taCenter, uaSclCenter}, kHiddenX, kHiddenX, kHiddenX},
        {ExpectedAxis{true, sctYR, 0, 0, -16, taLeftJustify, uaSclTopLft}, kHiddenY, kHiddenY, kHiddenY});
}

TEST_F(StandardLayouts, TwoXScalesBelowTheChart)
{
    ExpectChart(StandardLayoutOf(rcl_X2Bottom_Y2Left).Chart, {100, 20, 24, 70, 0, -16}, taRightJustify, cahChartRight,
        cavChartTop);
    Apply(rcl_X2Bottom_Y2Left);
    ExpectedAxis left50{true, sctYR, 50, 0, -23, taRightJustify, uaSclTopLft};
    ExpectLayers({ExpectedAxis{true, sctXT, 0, -20, 7, taRightJustify, uaSclTopLft},
                     ExpectedAxis{true, sctXT, 30, -20, 7, taRightJustify, uaSclTopLft}, kHiddenX, kHiddenX},
        {ExpectedAxis{true, sctYR, 0, 0, -23, taRightJustify, uaSclTopLft}, left50, kHiddenY, kHiddenY});
}

}  // namespace
