#include <vector>

#include <gtest/gtest.h>

#include "platform/draw/Bitmap.h"
#include "scale/ScalePainter.h"

namespace {

ScaleTick TickAt(double value, TickLength length, bool drawn)
{
    ScaleTick t;
    t.value = value;
    t.length = length;
    t.drawn = drawn;
    return t;
}

TEST(ScalePainter, DrawsExactlyTheTicksItIsHandedAndReportsEachInOrder)
{
    ScaleSettings settings;
    settings.transparent = true;
    const ScaleTransform transform = TransformFor(ScaleGeometry(settings, 400, 60), settings, {});
    ScaleTicks ticks;
    ticks.ticks = {
        TickAt(50, TickLength::Main, true), TickAt(25, TickLength::Short, true), TickAt(75, TickLength::Main, false)};
    std::vector<TPoint> reported;
    const TScaleTickDrawnEvent tickDrawn = [&](QObject*, TCanvas&, TScaleType type, double, int x, int y) {
        EXPECT_EQ(type, sctXB);
        reported.push_back({x, y});
    };
    const TScaleRenderEvent after;
    const ScalePainter painter(nullptr, tickDrawn, after);
    TBitmap target(420, 70);
    const TFont font;
    painter.Paint(target.Canvas(), {10, 5}, {settings, transform, 400, 60, font, ticks});

    // a bottom scale at y offset 5: base line on row 5 + 60 - 20 - 1, ticks pointing up
    const int base = 44;
    const auto x = [&](double v) { return ValueToPixel(transform, settings, 400, v); };
    const TCanvas& c = target.Canvas();
    EXPECT_EQ(c.Pixel(x(50), base - 6), clBlack) << "a main tick is seven pixels long";
    EXPECT_EQ(c.Pixel(x(50), base - 7), clWhite);
    EXPECT_EQ(c.Pixel(x(25), base - 3), clBlack) << "a short tick is four pixels long";
    EXPECT_EQ(c.Pixel(x(25), base - 4), clWhite);
    EXPECT_EQ(c.Pixel(x(75), base - 3), clWhite) << "a tick not drawn is only reported";
    EXPECT_EQ(c.Pixel(x(0), base - 3), clWhite) << "no tick of its own choosing";
    EXPECT_EQ(c.Pixel(x(90), base), clBlack) << "the base line";
    EXPECT_EQ(reported, (std::vector<TPoint>{{x(50), base}, {x(25), base}, {x(75), base}}));
}

}  // namespace
