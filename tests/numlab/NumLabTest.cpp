#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/PublishedProperties.h"
#include "numlab/Quarn_NumLab.h"
#include "platform/draw/Bitmap.h"

namespace {

class NumLabTest : public ::testing::Test {
protected:
    // A canvas with the control's font, for measuring texts as the control does.
    static TBitmap& Ruler(const TNumLab& lab)
    {
        static TBitmap bitmap(1, 1);
        bitmap.Canvas().Font = TFont::FromQFont(lab.font());
        return bitmap;
    }

    static int TextWidth(const TNumLab& lab, const QString& s) { return Ruler(lab).Canvas().TextWidth(s); }

    static int TextTop(const TNumLab& lab)
    {
        const QString probe = QString::fromUtf8("(8g]}\u00DC\u00C4\u00A7");
        return (lab.height() - Ruler(lab).Canvas().TextHeight(probe)) / 2;
    }

    static TColor Pixel(const TNumLab& lab, int x, int y) { return FromQRgb(lab.Image().pixel(x, y)) & 0xFFFFFF; }

    // The control's pixels inside rect equal a reference drawing of text at (x, y) on background.
    static void ExpectTextAt(
        const TNumLab& lab, const TRect& rect, int x, int y, const QString& text, TColor textColor, TColor background)
    {
        TBitmap ref(lab.width(), lab.height());
        TCanvas& c = ref.Canvas();
        c.Font = TFont::FromQFont(lab.font());
        c.Font.SetColor(textColor);
        c.Brush.Color = background;
        c.FillRect(TRect{0, 0, lab.width(), lab.height()});
        c.TextOut(x, y, text);
        int inked = 0;
        for (int py = rect.Top; py < rect.Bottom; ++py)
            for (int px = rect.Left; px < rect.Right; ++px) {
                const TColor want = c.Pixel(px, py);
                ASSERT_EQ(Pixel(lab, px, py), want) << "at " << px << "," << py;
                if (want == ColorToRGB(textColor))
                    ++inked;
            }
        EXPECT_GT(inked, 0) << "the reference text has no pixels in the compared area";
    }

    static int CountColor(const TNumLab& lab, TColor color, const TRect& rect)
    {
        int n = 0;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x)
                if (Pixel(lab, x, y) == color)
                    ++n;
        return n;
    }
};

// The series-length label of the main window.
void ConfigureSeriesLength(TNumLab& lab)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    lab.setFont(f);
    lab.resize(173, 24);
    lab.SetLeftText(QStringLiteral("BF_Series length"));
    lab.SetDisplayType(dtFixP);
    lab.SetPrecision(0);
    lab.SetLeftSpace(115);
    lab.SetLabelWidth(55);
    lab.SetFrameStyle(fsLowered);
    lab.SetColorScheme(csBWG);
    lab.SetAlignment(taCenter);
    lab.SetValue(118);
}

TEST_F(NumLabTest, SeriesLengthIsCentredInItsLoweredBox)
{
    TNumLab lab;
    ConfigureSeriesLength(lab);
    ASSERT_EQ(lab.DisplayedText(), "118");
    const TColor face = ColorToRGB(clBtnFace);
    const int h = lab.height();
    const int y = TextTop(lab);

    // the box starts at x = 115 with its grey outline, the caption area is button face
    EXPECT_EQ(Pixel(lab, 115, h / 2), clGray);
    EXPECT_EQ(Pixel(lab, 114, h / 2), face);
    EXPECT_EQ(Pixel(lab, 116, h / 2), clBlack) << "inner top-left line";
    EXPECT_EQ(Pixel(lab, 140, 1), clBlack) << "inner top-left line";
    EXPECT_EQ(Pixel(lab, 140, h - 1), clWhite) << "outer bottom-right line";
    EXPECT_EQ(Pixel(lab, 172, h / 2), clWhite) << "outer bottom-right line at R + 2";

    const int w = TextWidth(lab, "118");
    ExpectTextAt(lab, TRect{118, 2, 169, h - 3}, 115 + 2 + (55 - w) / 2, y, "118", clBlack, face);
    const int cw = TextWidth(lab, "BF_Series length");
    ExpectTextAt(lab, TRect{0, 0, 115, h}, 115 - cw - 5, y, "BF_Series length", clBlack, face);
}

// Default geometry: a 160 x 28 control with the box from L = 35 to R = 115.
TEST_F(NumLabTest, TextsArePlacedByTheirAlignment)
{
    enum Part { kLeft, kRight, kValue };
    const struct {
        const char* name;
        Part part;
        TAlignment alignment;
        int (*x)(int w);  // where a text of width w starts
    } cases[] = {
        {"left text, left", kLeft, taLeftJustify, [](int) { return 7; }},
        {"left text, right", kLeft, taRightJustify, [](int w) { return 35 - w - 5; }},
        {"left text, centre", kLeft, taCenter, [](int w) { return (35 - w) / 2; }},
        {"right text, left", kRight, taLeftJustify, [](int) { return 115 + 7; }},
        {"right text, right", kRight, taRightJustify, [](int w) { return 160 - w - 6; }},
        {"right text, centre", kRight, taCenter, [](int w) { return 116 + (160 - 115 - w) / 2; }},
        {"value, left", kValue, taLeftJustify, [](int) { return 35 + 4; }},
        {"value, right", kValue, taRightJustify, [](int w) { return 115 - w - 2; }},
        {"value, centre", kValue, taCenter, [](int w) { return 37 + (80 - w) / 2; }},
    };
    const TColor face = ColorToRGB(clBtnFace);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TNumLab lab;
        lab.SetPrecision(0);
        lab.SetValue(7);
        lab.SetLeftText("ab");
        lab.SetRightText("kg");
        lab.SetLeftTextAlignment(c.part == kLeft ? c.alignment : taRightJustify);
        lab.SetRightTextAlignment(c.part == kRight ? c.alignment : taLeftJustify);
        lab.SetAlignment(c.part == kValue ? c.alignment : taCenter);
        const int h = lab.height();
        const QString text = c.part == kLeft ? "ab" : c.part == kRight ? "kg" : "7";
        const TRect area = c.part == kLeft ? TRect{0, 0, 35, h}
            : c.part == kRight             ? TRect{118, 0, 160, h}
                                           : TRect{38, 2, 114, h - 3};
        ExpectTextAt(lab, area, c.x(TextWidth(lab, text)), TextTop(lab), text, clBlack, face);
    }
}

struct BoxCase {
    const char* name;
    TFrameStyle style;
    TColor outline, topLeft, bottomRight;
};

TEST_F(NumLabTest, BoxLinesFollowTheFrameStyle)
{
    const TColor face = ColorToRGB(clBtnFace);
    const BoxCase cases[] = {
        {"lowered", fsLowered, clGray, clBlack, clWhite},
        {"raised", fsRaised, clGray, clWhite, clBlack},
        {"embossed", fsEmbossed, clWhite, clGray, clGray},
        {"engraved", fsEngraved, clGray, clWhite, clWhite},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        TNumLab lab;
        lab.SetEmpty(true);
        lab.SetFrameStyle(c.style);
        const int l = 35, r = 115, h = lab.height();
        EXPECT_EQ(Pixel(lab, l, 10), c.outline);
        EXPECT_EQ(Pixel(lab, r + 1, 10), c.outline);
        EXPECT_EQ(Pixel(lab, 60, h - 2), c.outline) << "outline bottom above the outer line";
        EXPECT_EQ(Pixel(lab, l + 1, 10), c.topLeft);
        EXPECT_EQ(Pixel(lab, 60, 1), c.topLeft);
        EXPECT_EQ(Pixel(lab, 60, h - 1), c.bottomRight);
        EXPECT_EQ(Pixel(lab, r + 2, 10), c.bottomRight);
        EXPECT_EQ(Pixel(lab, r + 3, 10), face) << "nothing right of the box";
        EXPECT_EQ(Pixel(lab, l + 2, 2), face) << "box inside";
    }
    for (TFrameStyle flat : {fsNone, fsSimple}) {
        TNumLab lab;
        lab.SetFrameStyle(flat);
        lab.SetEmpty(true);
        lab.SetColorLabBakG(clYellow);
        EXPECT_EQ(Pixel(lab, 35, lab.height() - 1), flat == fsNone ? clYellow : clGray);
        EXPECT_EQ(Pixel(lab, 116, 5), flat == fsNone ? clYellow : clGray) << "right edge at R + 1";
        EXPECT_EQ(Pixel(lab, 117, 5), ColorToRGB(clBtnFace));
        EXPECT_EQ(Pixel(lab, 60, 5), clYellow);
    }
}

TEST_F(NumLabTest, TextWiderThanTheBoxShowsTheOverflowIndicator)
{
    TNumLab lab;
    lab.SetPrecision(0);
    lab.SetValue(1234);
    const int w = TextWidth(lab, "1234");
    lab.SetLabelWidth(w + 6);
    EXPECT_EQ(lab.DisplayedText(), "1234");
    lab.SetLabelWidth(w + 5);
    EXPECT_EQ(lab.DisplayedText(), "*********");
    lab.SetOverflowIndicator("#");
    EXPECT_EQ(lab.DisplayedText(), "#");
    lab.SetLabelWidth(150);
    lab.SetDisplayType(dtInt);
    lab.SetValue(-1e30);
    EXPECT_EQ(lab.DisplayedText(), "#") << "a value out of range";
}

TEST_F(NumLabTest, StateTextIsNeverReplacedAndIsClippedToTheBox)
{
    TNumLab lab;
    lab.SetColorLabText(clRed);
    lab.SetLabelWidth(20);
    lab.SetAlignment(taLeftJustify);
    lab.SetStateText("a state text far wider than the box");
    lab.SetDisplayType(dtState);
    EXPECT_EQ(lab.DisplayedText(), "a state text far wider than the box");
    const int l = 35, r = 55, h = lab.height();
    EXPECT_GT(CountColor(lab, clRed, TRect{l + 3, 2, r - 1, h - 3}), 0);
    EXPECT_EQ(CountColor(lab, clRed, TRect{r - 1, 0, lab.width(), h}), 0) << "drawn right of the box";
    EXPECT_EQ(CountColor(lab, clRed, TRect{0, 0, l + 3, h}), 0);
}

TEST_F(NumLabTest, EmptyDrawsTheBoxWithoutAValue)
{
    TNumLab lab;
    lab.SetColorLabText(clRed);
    lab.SetValue(5);
    const TRect box{38, 2, 114, lab.height() - 3};
    ASSERT_GT(CountColor(lab, clRed, box), 0);
    int calls = 0;
    lab.OnBeforeDisplay = [&](TNumLab*, QString&) { ++calls; };
    lab.SetEmpty(true);
    EXPECT_EQ(CountColor(lab, clRed, box), 0);
    EXPECT_EQ(lab.DisplayedText(), "");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(Pixel(lab, 35, 10), clGray) << "the box is still drawn";
}

TEST_F(NumLabTest, BeforeDisplayMayChangeTheTextBeforeItIsMeasured)
{
    TNumLab lab;
    QString seen;
    lab.OnBeforeDisplay = [&](TNumLab* sender, QString& text) {
        EXPECT_EQ(sender, &lab);
        seen = text;
        text = text == "1.50" ? QStringLiteral("one and a half") : QStringLiteral("x");
    };
    lab.SetLabelWidth(30);
    lab.SetValue(1.5);
    EXPECT_EQ(seen, "1.50");
    EXPECT_EQ(lab.DisplayedText(), "*********") << "the changed text is too wide";
    lab.SetValue(2);
    EXPECT_EQ(lab.DisplayedText(), "x");
}

TEST_F(NumLabTest, SettersApplyTheirLimitsAndRepaintOnlyOnChange)
{
    TNumLab lab;
    int paints = 0;
    lab.OnBeforeDisplay = [&](TNumLab*, QString&) { ++paints; };

    lab.SetLeftSpace(500);
    EXPECT_EQ(lab.LeftSpace(), 160);
    lab.SetLeftSpace(-1);
    EXPECT_EQ(lab.LeftSpace(), 160);
    lab.SetPrecision(-3);
    EXPECT_EQ(lab.Precision(), 2);
    lab.SetPrecision(40);
    EXPECT_EQ(lab.Precision(), 15);

    paints = 0;
    lab.SetValue(3);
    EXPECT_EQ(paints, 1);
    lab.SetValue(3);
    lab.SetValue(std::nan(""));
    lab.SetLeftText("");
    lab.SetPrecision(15);
    EXPECT_EQ(paints, 1) << "unchanged values repainted";
    EXPECT_EQ(lab.Value(), 3);
    lab.SetLeftText("a");
    EXPECT_EQ(paints, 2);
}

TEST_F(NumLabTest, AssignCopiesTheDisplayButNotTheFormatting)
{
    TNumLab source;
    source.SetLabelWidth(60);
    source.SetLeftText("left");
    source.SetDisplayType(dtHex);
    source.SetPrecision(4);
    source.SetValue(255);
    source.SetColorScheme(csSystem);
    source.SetComma(true);
    source.SetDTFormat("yyyy");
    TNumLab target;
    source.AssignTo(&target);
    EXPECT_EQ(target.LabelWidth(), 60);
    EXPECT_EQ(target.LeftText(), "left");
    EXPECT_EQ(target.DisplayType(), dtHex);
    EXPECT_EQ(target.ShadowColor(), clBtnShadow);
    EXPECT_EQ(target.ColorScheme(), csSystem);
    EXPECT_EQ(target.DisplayedText(), "00FF") << "not repainted after the copy";
    EXPECT_FALSE(target.Comma());
    EXPECT_EQ(target.DTFormat(), "mmm-dd, yyyy");

    QObject other;
    EXPECT_THROW(target.Assign(&other), EQuarnError);
    EXPECT_THROW(target.Assign(nullptr), EQuarnError);
    EXPECT_THROW(source.AssignTo(&other), EQuarnError);
}

TEST_F(NumLabTest, AssignCopiesEveryPublishedPropertyButTheNumberFormat)
{
    TNumLab source;
    published::ChangeEveryWritableProperty(source);
    ASSERT_FALSE(HasFatalFailure());
    TNumLab target;
    target.Assign(&source);
    published::ExpectPropertiesCopied(source, target, {"Comma", "ForcePlusSign", "DTFormat"});
    EXPECT_EQ(target.FrameColor(), source.FrameColor());
    EXPECT_EQ(target.HighlightColor(), source.HighlightColor());
}

TEST_F(NumLabTest, MouseAreaTellsWhichPartIsUnderTheMouse)
{
    TNumLab lab;
    int moves = 0;
    lab.OnMouseMove = [&](TNumLab*, Qt::KeyboardModifiers, int, int) { ++moves; };
    const struct {
        int x, area;
    } cases[] = {{0, 0}, {35, 0}, {36, 1}, {115, 1}, {116, 2}};
    for (auto c : cases) {
        lab.MouseMove(Qt::NoModifier, c.x, 5);
        EXPECT_EQ(lab.MouseArea(), c.area) << "x = " << c.x;
    }
    EXPECT_EQ(moves, 5);
}

TEST_F(NumLabTest, HiddenControlDoesNotPaint)
{
    TNumLab lab;
    lab.SetValue(1);
    lab.hide();
    lab.SetValue(2);
    EXPECT_EQ(lab.DisplayedText(), "1.00");
}

}  // namespace
