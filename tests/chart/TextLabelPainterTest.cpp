#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "chart/PlotPixels.h"
#include "chart/TextLabelPainter.h"
#include "platform/draw/Bitmap.h"

namespace {

constexpr TColor Bkg = clYellow, Border = clBlue, Ink = clGreen, Shade = clGray;

// A plot bitmap of 100 x 60, 10 from the control's left and 5 from its top; the layer maps 0..10 onto it.
struct LabelPlot {
    ChartGeometry geometry{110, 65, 10, 0, 5, 0, 0};
    LayerTransform transform = ComputeLayerTransform(geometry, {0, 10}, {0, 10});
    TBitmap bitmap{101, 61};
    int w = 0, h = 0;  // the caption's block width and line height

    std::unique_ptr<TCustomTextLabel> Label(TTxtLblMode mode, const QString& caption, double x = 50, double y = 35)
    {
        auto label = std::make_unique<TCustomTextLabel>();
        label->SetMode(mode);
        label->SetCaption(caption);
        label->SetPosX(x);
        label->SetPosY(y);
        label->SetAlignment(taLeftJustify);
        label->SetVerticalAlignment(vaBottom);
        label->SetColorBkg(Bkg);
        label->SetColorBorder(Border);
        label->SetColorShadow(Shade);
        label->SetShadowDx(3);
        label->SetShadowDy(3);
        label->SetFont(TFont("Arial", 12, 0, Ink));
        TCanvas measure;
        measure.Font = label->Font();
        h = measure.TextHeight(caption);
        w = 0;
        for (const QString& line : caption.split('\n'))
            w = std::max(w, measure.TextWidth(line));
        return label;
    }
    void Draw(const TCustomTextLabel& label) { DrawTextLabel(bitmap.Canvas(), label, geometry, transform); }
    TColor At(int x, int y) const { return bitmap.Canvas().Pixel(x, y); }
};

// The anchor (50, 35) in control pixels is plot pixel (40, 30).
constexpr int Ax = 40, Ay = 30;

TEST(TextLabelPainter, EachModeDrawsItsBoxAroundTheText)
{
    for (const TTxtLblMode mode : {tlsimple, tlBox, tlUnderline, tlShadow}) {
        SCOPED_TRACE(int(mode));
        LabelPlot p;
        p.Draw(*p.Label(mode, "Ab"));
        const int left = Ax - 4, top = Ay - p.h - 2, right = Ax + p.w + 4, bottom = Ay + 2;
        const TColor edge = mode == tlBox || mode == tlShadow ? Border : Bkg;
        EXPECT_EQ(p.At(left, top), edge);
        EXPECT_EQ(p.At(right - 1, bottom - 1), edge);
        EXPECT_EQ(p.At(left + 1, bottom - 2), Bkg);
        EXPECT_EQ(p.At(left - 1, top), clWhite);
        EXPECT_EQ(p.At(left, top - 1), clWhite);
        EXPECT_GT(CountPixels(p.bitmap, Ink), 0);
        if (mode == tlUnderline) {
            EXPECT_EQ(Picture(p.bitmap, {Ax - 1, Ay, Ax + p.w + 1, Ay + 1}, Border).front(),
                "o" + std::string(std::size_t(p.w), '#') + "o");
            EXPECT_EQ(CountPixels(p.bitmap, Border), p.w);
        }
        if (mode == tlShadow) {
            EXPECT_EQ(p.At(right + 2, bottom + 2), Shade);
            EXPECT_EQ(p.At(left + 3, bottom + 1), Shade);
            EXPECT_EQ(p.At(left + 2, bottom + 1), clWhite);
            EXPECT_EQ(p.At(right + 3, bottom + 2), clWhite);
        } else {
            EXPECT_EQ(p.At(right, bottom - 1), clWhite);
            EXPECT_EQ(p.At(left, bottom), clWhite);
        }
        if (mode == tlsimple) {
            EXPECT_EQ(CountPixels(p.bitmap, Border), 0);
        }
    }
}

TEST(TextLabelPainter, ATransparentLabelDrawsOnlyItsText)
{
    for (const TTxtLblMode mode : {tlsimple, tlUnderline}) {
        LabelPlot p;
        auto label = p.Label(mode, "Ab");
        label->SetTransparent(true);
        p.Draw(*label);
        EXPECT_EQ(CountPixels(p.bitmap, Bkg), 0);
        EXPECT_GT(CountPixels(p.bitmap, Ink), 0);
        EXPECT_EQ(CountPixels(p.bitmap, Border), mode == tlUnderline ? p.w : 0);
    }
}

struct PlacementCase {
    const char* name;
    TAlignment alignment;
    TVerticalAlignment vertical;
    QString caption;
};

// Each line goes where the label's block width, line height and alignment put it; positions come from the
// canvas's own measurements.
TEST(TextLabelPainter, LinesArePlacedByAlignmentAndVerticalAlignment)
{
    const PlacementCase cases[] = {
        {"left bottom", taLeftJustify, vaBottom, "Ab"},
        {"centre centre", taCenter, vaCenter, "Ab"},
        {"right top", taRightJustify, vaTop, "Ab"},
        {"right bottom, two lines", taRightJustify, vaBottom, "A\nBbbb"},
        {"centre top, three lines", taCenter, vaTop, "A\nBbbb\nCc"},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        LabelPlot p;
        auto label = p.Label(tlsimple, c.caption);
        label->SetTransparent(true);
        label->SetAlignment(c.alignment);
        label->SetVerticalAlignment(c.vertical);
        p.Draw(*label);

        TBitmap reference(101, 61);
        TCanvas& r = reference.Canvas();
        r.Font = label->Font();
        r.Brush.Style = bsClear;
        const int ax = Ax - (c.alignment == taRightJustify ? p.w : c.alignment == taCenter ? p.w / 2 : 0);
        const int ay = Ay + (c.vertical == vaTop ? p.h : c.vertical == vaCenter ? p.h / 2 : 0);
        const QStringList lines = c.caption.split('\n');
        for (int k = 0; k < lines.size(); ++k) {
            const int slack = p.w - r.TextWidth(lines[k]);
            const int d = c.alignment == taRightJustify ? slack : c.alignment == taCenter ? slack / 2 : 0;
            r.TextOut(ax + d, ay - int(lines.size() - k) * p.h, lines[k]);
        }
        EXPECT_EQ(FirstDifference(p.bitmap, reference), "");
    }
}

TEST(TextLabelPainter, AttachedCoordinatesGoThroughTheLayerTransform)
{
    struct Case {
        TTxtLblAttachMode mode;
        double x, y;
        int px, py;  // where the same label lands unattached, in control pixels
    };
    // world (2, 4) is control pixel (10 + 20, 5 + 60 - 24)
    const Case cases[] = {{tlamBoth, 2, 4, 30, 41}, {tlamXOnly, 2, 33, 30, 33}, {tlamYOnly, 44, 4, 44, 41}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        LabelPlot attached, plain;
        auto a = attached.Label(tlBox, "Ab", c.x, c.y);
        a->SetAttachToData(c.mode);
        attached.Draw(*a);
        plain.Draw(*plain.Label(tlBox, "Ab", c.px, c.py));
        EXPECT_GT(CountPixels(attached.bitmap, Border), 0);
        EXPECT_EQ(FirstDifference(attached.bitmap, plain.bitmap), "");
    }
}

TEST(TextLabelPainter, LabelsAreDrawnFromTheLastToTheFirstLeavingOutHiddenOnes)
{
    LabelPlot p;
    std::array<std::unique_ptr<TCustomTextLabel>, 5> owned;
    for (auto& label : owned)
        label = p.Label(tlBox, "Ab");
    owned[1]->SetColorBkg(clAqua);  // under label 1
    owned[2]->SetVisible(false);
    owned[2]->SetColorBkg(clRed);
    owned[3]->SetMode(tlOff);
    owned[3]->SetColorBkg(clRed);
    owned[4]->SetLayer(5);
    owned[4]->SetColorBkg(clRed);
    std::array<const TCustomTextLabel*, 6> labels{
        owned[0].get(), owned[1].get(), owned[2].get(), owned[3].get(), owned[4].get(), nullptr};
    std::array<LayerTransform, ChartLayerCount> transforms;
    transforms.fill(p.transform);
    std::array<bool, ChartLayerCount> visible;
    visible.fill(true);
    visible[4] = false;
    p.bitmap.Canvas().Pen.Width = 5;
    DrawTextLabels(p.bitmap.Canvas(), labels, p.geometry, transforms, visible);
    EXPECT_EQ(p.bitmap.Canvas().Pen.Width, 1);
    EXPECT_EQ(CountPixels(p.bitmap, clRed), 0);
    EXPECT_EQ(CountPixels(p.bitmap, clAqua), 0);
    EXPECT_EQ(p.At(Ax - 3, Ay), Bkg);
    EXPECT_EQ(p.At(Ax - 5, Ay), clWhite);  // a one-pixel outline
}

}  // namespace
