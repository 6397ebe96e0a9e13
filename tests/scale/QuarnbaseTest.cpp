#include <gtest/gtest.h>

#include "platform/draw/Bitmap.h"
#include "scale/Quarn_quarnbase.h"

namespace {

constexpr TColor kSimple = 0x0000F0;
constexpr TColor kDark = clBlack;
constexpr TColor kShadow = clGray;
constexpr TColor kFace = clSilver;
constexpr TColor kHighlight = clWhite;
constexpr TColor kPaper = 0x204060;

// A 100 x 50 bitmap of paper with the frame drawn over the whole of it.
struct Framed {
    explicit Framed(int style) : bitmap(100, 50)
    {
        TCanvas& c = bitmap.Canvas();
        c.Brush.Color = kPaper;
        c.FillRect(TRect{0, 0, 100, 50});
        c.Pen.Color = 0x123456;
        DrawFrame(c, static_cast<TFrameStyle>(style), 0, 0, 99, 49, kSimple, kDark, kShadow, kFace, kHighlight);
    }
    TColor At(int x, int y) const { return bitmap.Canvas().Pixel(x, y); }
    TBitmap bitmap;
};

struct RingCase {
    const char* name;
    int style;
    TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};

TEST(DrawFrame, DrawsTwoRingsByStyle)
{
    const RingCase cases[] = {
        {"lowered", fsLowered, kShadow, kHighlight, kDark, kFace},
        {"raised", fsRaised, kHighlight, kDark, kFace, kShadow},
        {"embossed", fsEmbossed, kHighlight, kShadow, kShadow, kHighlight},
        {"engraved", fsEngraved, kShadow, kHighlight, kHighlight, kShadow},
        {"style taken modulo 128", 128 + fsLowered, kShadow, kHighlight, kDark, kFace},
    };
    for (const RingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Framed f(c.style);
        EXPECT_EQ(f.At(50, 0), c.outerTopLeft) << "outer top";
        EXPECT_EQ(f.At(0, 25), c.outerTopLeft) << "outer left";
        EXPECT_EQ(f.At(99, 0), c.outerTopLeft) << "outer top reaches the right column";
        EXPECT_EQ(f.At(50, 49), c.outerBottomRight) << "outer bottom";
        EXPECT_EQ(f.At(99, 25), c.outerBottomRight) << "outer right";
        EXPECT_EQ(f.At(0, 49), c.outerBottomRight) << "outer bottom reaches the left column";
        EXPECT_EQ(f.At(50, 1), c.innerTopLeft) << "inner top";
        EXPECT_EQ(f.At(1, 25), c.innerTopLeft) << "inner left";
        EXPECT_EQ(f.At(50, 48), c.innerBottomRight) << "inner bottom";
        EXPECT_EQ(f.At(98, 25), c.innerBottomRight) << "inner right";
        EXPECT_EQ(f.At(2, 2), kPaper) << "inside untouched";
        EXPECT_EQ(f.At(97, 47), kPaper) << "inside untouched";
        EXPECT_EQ(f.bitmap.Canvas().Pen.Color, TColor{0x123456}) << "pen restored";
    }
}

TEST(DrawFrame, SimpleStyleIsOneOutlineIncludingBothEdges)
{
    const Framed f(fsSimple);
    for (auto [x, y] : {std::pair{0, 0}, {50, 0}, {99, 0}, {99, 49}, {0, 49}, {0, 25}, {99, 25}})
        EXPECT_EQ(f.At(x, y), kSimple) << x << "," << y;
    EXPECT_EQ(f.At(1, 1), kPaper);
    EXPECT_EQ(f.At(98, 48), kPaper);
}

TEST(DrawFrame, NoneAndUnknownStylesDrawNothing)
{
    for (int style : {int{fsNone}, 6, 127}) {
        SCOPED_TRACE(style);
        const Framed f(style);
        for (auto [x, y] : {std::pair{0, 0}, {50, 0}, {99, 49}, {1, 25}, {98, 25}})
            EXPECT_EQ(f.At(x, y), kPaper);
    }
}

}  // namespace

namespace {

TEST(SettingsRecords, DateLabelNotifiesOnChangeExceptForFormatAndOrder)
{
    TDTLabel label;
    int notes = 0;
    label.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &label);
        ++notes;
    };
    label.SetDateSeparator(0);
    label.SetYearLength(ylNone);
    label.SetMonthName(false);
    label.SetDateForTime(dtNone);
    label.SetTimeSeparator(0);
    EXPECT_EQ(notes, 0) << "unchanged values notified";
    label.SetTimeFormat(tfHHMMSS);
    label.SetDateOrder(doMMDDYY);
    EXPECT_EQ(notes, 2) << "time format and date order notify always";
    label.SetDateSeparator('/');
    EXPECT_EQ(notes, 3);
    EXPECT_EQ(label.DateSeparator(), '/');
}

TEST(SettingsRecords, LayersStayWithinOneToSixteen)
{
    TCrossHair cross;
    int notes = 0;
    cross.OnChange = [&](QObject*) { ++notes; };
    cross.SetLayer(0);
    EXPECT_EQ(cross.Layer(), 1);
    cross.SetLayer(40);
    EXPECT_EQ(cross.Layer(), 16) << "a crosshair clamps";
    EXPECT_EQ(notes, 2);

    TCustomTextLabel text;
    text.OnChange = [&](QObject*) { ++notes; };
    text.SetLayer(7);
    text.SetLayer(17);
    text.SetLayer(0);
    EXPECT_EQ(text.Layer(), 7) << "a text label ignores other layers";
    EXPECT_EQ(notes, 5);
}

}  // namespace
