#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/draw/Bitmap.h"
#include "platform/draw/Canvas.h"
#include "scale/Quarn_Scale.h"

namespace {

TColor PixelOf(const QImage& image, int x, int y)
{
    TCanvas canvas(const_cast<QImage*>(&image));
    return canvas.Pixel(x, y);
}

// The text as the canvas draws it with this font on this background, compared cell by cell.
::testing::AssertionResult TextDrawnAt(
    const QImage& image, const TFont& font, TColor background, const QString& text, int x, int y)
{
    TBitmap reference(image.width(), image.height());
    TCanvas& c = reference.Canvas();
    c.Font = font;
    c.Brush.Color = background;
    c.Brush.Style = bsSolid;
    c.FillRect({0, 0, image.width(), image.height()});
    c.TextOut(x, y, text);
    const int w = c.TextWidth(text);
    const int h = c.TextHeight(text);
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            if (PixelOf(image, px, py) != PixelOf(reference.Image(), px, py))
                return ::testing::AssertionFailure()
                    << "\"" << text.toStdString() << "\" differs at " << px << "," << py;
    return ::testing::AssertionSuccess();
}

int TextWidthOf(const TFont& font, const QString& text)
{
    TBitmap b(1, 1);
    b.Canvas().Font = font;
    return b.Canvas().TextWidth(text);
}

int TextHeightOf(const TFont& font, const QString& text)
{
    TBitmap b(1, 1);
    b.Canvas().Font = font;
    return b.Canvas().TextHeight(text);
}

std::unique_ptr<TScale> MakeScale(int width, int height, TScaleType type = sctXB)
{
    auto scale = std::make_unique<TScale>();
    scale->SetSuspended(true);
    scale->SetBounds(0, 0, width, height);
    scale->SetScaleType(type);
    scale->SetColorBackGnd(clWhite);
    scale->SetFrameStyle(fsNone);
    scale->SetSuspended(false);
    return scale;
}

TEST(ScaleSetters, RangeClampAndTypeRules)
{
    TScale scale;
    scale.SetRangeLow(5);
    scale.SetRangeHigh(5);
    EXPECT_EQ(scale.RangeLow(), 6);
    EXPECT_EQ(scale.RangeHigh(), 5);
    scale.SetRangeLow(5);
    EXPECT_EQ(scale.RangeHigh(), 6);

    scale.SetMinTicks(1);
    EXPECT_EQ(scale.MinTicks(), 2);
    scale.SetMinTicks(25);
    EXPECT_EQ(scale.MinTicks(), 10);
    scale.SetDecPlaces(-7);
    EXPECT_EQ(scale.DecPlaces(), -3);
    scale.SetDecPlaces(20);
    EXPECT_EQ(scale.DecPlaces(), 12);
    scale.SetMarginLeft(-3);
    EXPECT_EQ(scale.MarginLeft(), 0);

    scale.SetLabelType(ftTime);
    EXPECT_EQ(scale.DecPlaces(), 4);
    scale.SetLogarithmic(true);
    scale.SetLabelType(ftDateTime);
    EXPECT_FALSE(scale.Logarithmic());
}

TEST(ScaleSetters, LogarithmicIsRefusedForUnsuitableRangesOnceLoaded)
{
    TScale scale;
    scale.SetRangeLow(0);
    scale.SetLogarithmic(true);
    EXPECT_TRUE(scale.Logarithmic()) << "a scale that was never loaded from a form accepts it";
    scale.SetLogarithmic(false);
    scale.Loaded();
    scale.SetLogarithmic(true);
    EXPECT_FALSE(scale.Logarithmic());
    scale.SetRangeLow(1);
    scale.SetLabelType(ftDateTime);
    scale.SetLogarithmic(true);
    EXPECT_FALSE(scale.Logarithmic());
    scale.SetLabelType(ftNum);
    scale.SetLogarithmic(true);
    EXPECT_TRUE(scale.Logarithmic());
}

TEST(ScaleAssign, CopiesSettingsTransformAndTicksButNotHostingFontOrRenderEvents)
{
    auto source = MakeScale(300, 90, sctYR);
    source->SetRangeLow(5);
    source->SetRangeHigh(50);
    source->SetMinTicks(7);
    source->SetMarginLeft(11);
    source->SetCaption("Volts");
    source->SetColorScheme(csSystem);
    source->DateFormat()->SetDateOrder(doYYMMDD);
    source->OnScaleTickDrawn = [](QObject*, TCanvas&, TScaleType, double, int, int) {};
    source->OnBeforeScaleRendered = [](QObject*, TCanvas&) {};
    source->SetHosted(true);
    TFont big = source->Font();
    big.SetHeight(30);
    source->SetFont(big);
    source->Paint();
    source->SetSuspended(true);  // the copy then keeps the copied tick list

    TScale copy;
    copy.Assign(*source);
    EXPECT_EQ(copy.RangeLow(), 5);
    EXPECT_EQ(copy.RangeHigh(), 50);
    EXPECT_EQ(copy.MinTicks(), 7);
    EXPECT_EQ(copy.MarginLeft(), 11);
    EXPECT_EQ(copy.Caption(), "Volts");
    EXPECT_EQ(copy.ScaleType(), sctYR);
    EXPECT_EQ(copy.ShadowColor(), source->ShadowColor());
    EXPECT_EQ(copy.DateFormat()->DateOrder(), doYYMMDD);
    EXPECT_EQ(copy.ScaleFactor(), source->ScaleFactor()) << "the transform comes along, not recomputed";
    ASSERT_GT(source->NumTicks(), 0);
    EXPECT_EQ(copy.NumTicks(), source->NumTicks());
    EXPECT_EQ(copy.TickValue(2), source->TickValue(2));
    EXPECT_TRUE(copy.Suspended());
    EXPECT_TRUE(copy.OnScaleTickDrawn);
    EXPECT_FALSE(copy.OnBeforeScaleRendered);
    EXPECT_FALSE(copy.Hosted());
    EXPECT_NE(copy.Font().Height(), 30);
    EXPECT_EQ(copy.width(), 400);
}

TEST(ScaleLoading, NothingIsComputedOrPaintedUntilLoaded)
{
    TScale scale;
    scale.BeginLoading();
    scale.SetRangeHigh(1000);
    const double factorBefore = scale.ScaleFactor();
    EXPECT_EQ(scale.NumTicks(), 0);
    scale.Loaded();
    EXPECT_FALSE(scale.Initializing());
    EXPECT_NE(scale.ScaleFactor(), factorBefore);
    EXPECT_EQ(scale.ValueToPixel(1000), 379);
    EXPECT_GT(scale.NumTicks(), 0);
}

TEST(ValueToPixel, LinearAndLogarithmicInBothOrientations)
{
    auto h = MakeScale(400, 60);
    EXPECT_EQ(h->ValueToPixel(0), 20);
    EXPECT_EQ(h->ValueToPixel(100), 379);
    h->SetRangeLow(1);
    h->SetRangeHigh(1000);
    h->SetLogarithmic(true);
    EXPECT_EQ(h->ValueToPixel(10), 140);  // a third of the span 359 after the margin
    EXPECT_EQ(h->ValueToPixel(0), 0);

    auto v = MakeScale(60, 400, sctYL);
    EXPECT_EQ(v->ValueToPixel(100), 20);
    EXPECT_EQ(v->ValueToPixel(0), 379);
    v->SetRangeLow(100);
    v->SetRangeHigh(0);
    EXPECT_EQ(v->ValueToPixel(100), 379);
    EXPECT_EQ(v->ValueToPixel(1e300), 2147483647);

    auto narrow = MakeScale(30, 60);  // no room between the margins
    EXPECT_EQ(narrow->ValueToPixel(0), 15);
    EXPECT_EQ(narrow->ValueToPixel(100), 15);
}

TEST(ScalePaint, OpaqueBottomScaleBaseLineTicksAndLabels)
{
    auto s = MakeScale(400, 60);
    s->Paint();
    const QImage& img = s->Image();
    for (int x : {20, 200, 378})
        EXPECT_EQ(PixelOf(img, x, 39), clBlack) << x;
    EXPECT_EQ(PixelOf(img, 19, 39), clWhite);
    // main tick at 0 points up 7 pixels, short tick at 5 four
    EXPECT_EQ(PixelOf(img, 20, 33), clBlack);
    EXPECT_EQ(PixelOf(img, 20, 32), clWhite);
    const int x5 = s->ValueToPixel(5);
    EXPECT_EQ(PixelOf(img, x5, 36), clBlack);
    EXPECT_EQ(PixelOf(img, x5, 35), clWhite);
    const TFont& f = s->Font();
    const int h = TextHeightOf(f, "0");
    EXPECT_TRUE(TextDrawnAt(img, f, clWhite, "0", 20 - TextWidthOf(f, "0") / 2, 39 - h - 7));
    EXPECT_TRUE(TextDrawnAt(img, f, clWhite, "40", s->ValueToPixel(40) - TextWidthOf(f, "40") / 2, 39 - h - 7));
    EXPECT_TRUE(TextDrawnAt(img, f, clWhite, "100", 379 - TextWidthOf(f, "100") / 2, 39 - h - 7));
}

TEST(ScalePaint, LabelsStayTwoPixelsInsideEachEdge)
{
    for (TScaleType type : {sctXB, sctXT}) {
        SCOPED_TRACE(int(type));
        auto s = MakeScale(400, 60, type);
        s->SetMarginLeft(5);
        s->SetMarginRight(5);
        s->SetLabelType(ftUserText);
        s->SetUserTickText("WWWW");
        s->Paint();
        const TFont& f = s->Font();
        const int w = TextWidthOf(f, "WWWW");
        ASSERT_GT(w / 2, 3);
        const int base = type == sctXB ? 39 : 20;
        const int top = type == sctXB ? base - TextHeightOf(f, "WWWW") - 7 : base + 7;
        EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "WWWW", 2, top));
        EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "WWWW", 400 - 2 * (w / 2) - 2, top));
    }
}

TEST(ScalePaint, VerticalLabelsSitBesideTheBaseLine)
{
    auto left = MakeScale(80, 400, sctYL);
    auto right = MakeScale(80, 400, sctYR);
    for (TScale* s : {left.get(), right.get()}) {
        s->Paint();
        const TFont& f = s->Font();
        const int base = s->ScaleType() == sctYL ? 20 : 59;
        const int x = s->ScaleType() == sctYL ? base + 8 : base - TextWidthOf(f, "60") - 8;
        EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "60", x, s->ValueToPixel(60) - TextHeightOf(f, "0") / 2));
    }
}

TEST(ScalePaint, TickMarksPointAwayFromTheBaseLine)
{
    struct Row {
        TScaleType type;
        int base, outwards, mainLength;
    } rows[] = {{sctXB, 39, -1, 7}, {sctXT, 20, 1, 7}, {sctYL, 20, 1, 6}, {sctYR, 59, -1, 6}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.type));
        const bool vertical = r.type == sctYL || r.type == sctYR;
        auto s = vertical ? MakeScale(80, 400, r.type) : MakeScale(400, 80 - (r.type == sctXB ? 20 : 0), r.type);
        s->SetLabelType(ftNoFigs);
        s->Paint();
        auto pixel = [&](double value, int out) {
            const int along = s->ValueToPixel(value);
            const int across = r.base + r.outwards * out;
            return vertical ? PixelOf(s->Image(), across, along) : PixelOf(s->Image(), along, across);
        };
        for (auto [value, length] : {std::pair{40.0, r.mainLength}, std::pair{45.0, 4}}) {
            SCOPED_TRACE(value);
            EXPECT_EQ(pixel(value, 0), clBlack);
            EXPECT_EQ(pixel(value, length - 1), clBlack);
            EXPECT_EQ(pixel(value, length), clWhite);
        }
    }
}

TEST(ScalePaint, CaptionAnchorsAndAlignment)
{
    auto s = MakeScale(400, 60);
    s->SetCaption("Volts");
    s->SetCaptionPosX(0);
    s->SetCaptionAnchor(uaSclCenter);
    s->SetCaptionAlignment(taCenter);
    const TFont& f = s->Font();
    const int w = TextWidthOf(f, "Volts");
    EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "Volts", 20 + 180 - w / 2, 39 + 4));

    auto v = MakeScale(100, 300, sctYL);
    v->SetCaption("Volts");
    v->SetCaptionAnchor(uaSclBotRgt);
    v->SetCaptionAlignment(taRightJustify);
    EXPECT_TRUE(TextDrawnAt(v->Image(), f, clWhite, "Volts", 20 + 4 - w, 300 - 20 + 4));
}

TEST(ScalePaint, LoweredFrameColours)
{
    auto s = MakeScale(100, 50);
    s->SetShowBaseLine(false);
    s->SetLabelType(ftNoFigs);
    s->SetFrameStyle(fsLowered);
    const QImage& img = s->Image();
    EXPECT_EQ(PixelOf(img, 50, 0), clGray);
    EXPECT_EQ(PixelOf(img, 0, 25), clGray);
    EXPECT_EQ(PixelOf(img, 50, 49), clWhite);
    EXPECT_EQ(PixelOf(img, 99, 25), clWhite);
    EXPECT_EQ(PixelOf(img, 50, 1), clBlack);
    EXPECT_EQ(PixelOf(img, 1, 25), clBlack);
    EXPECT_EQ(PixelOf(img, 50, 48), clSilver);
    EXPECT_EQ(PixelOf(img, 98, 25), clSilver);
    s->SetFrameStyle(fsNone);
    EXPECT_EQ(PixelOf(s->Image(), 0, 0), clWhite) << "no frame: the background reaches the edge";
}

TEST(ScalePaint, TransparentScaleOnATargetCanvasShiftsOnlyAcrossTheAxis)
{
    TBitmap target(500, 200);
    target.Canvas().Brush.Color = clRed;
    auto s = MakeScale(400, 60);
    s->SetTransparent(true);
    s->SetTargetCanvas(&target.Canvas(), 10, 30);
    s->Paint();
    EXPECT_EQ(target.Canvas().Brush.Color, clRed) << "only pen, font and brush style are the scale's";
    const int base = 30 + 60 - 20 - 1;
    EXPECT_EQ(target.Canvas().Pixel(20, base), clBlack);
    EXPECT_EQ(target.Canvas().Pixel(378, base), clBlack);
    EXPECT_EQ(target.Canvas().Pixel(5, 5), clWhite) << "no background is drawn";
    EXPECT_EQ(target.Canvas().Pixel(20, 39), clWhite);
}

TEST(ScalePaint, OpaqueScaleIsCopiedToTheTargetAtItsOffsets)
{
    TBitmap target(300, 200);
    target.Canvas().Brush.Color = clWhite;
    auto s = MakeScale(100, 50);
    s->SetColorBackGnd(clYellow);
    s->SetTargetCanvas(&target.Canvas(), 10, 30);
    s->Paint();
    EXPECT_EQ(target.Canvas().Pixel(10, 30), clYellow);
    EXPECT_EQ(target.Canvas().Pixel(9, 30), clWhite);
    EXPECT_EQ(target.Canvas().Pixel(109, 79), clYellow);
    EXPECT_EQ(target.Canvas().Pixel(110, 79), clWhite);
}

TEST(ScalePaint, HostedScalePaintsOnlyWhenForced)
{
    TBitmap target(400, 60);
    auto s = MakeScale(400, 60);
    s->SetSuspended(true);
    s->SetHosted(true);
    s->SetTargetCanvas(&target.Canvas(), 0, 0);
    s->SetTransparent(true);
    s->SetRangeHigh(50);
    EXPECT_EQ(target.Canvas().Pixel(200, 39), clWhite);
    EXPECT_EQ(s->NumTicks(), 21) << "still the ticks of the first painting, 0 to 100";
    s->ForcePaint();
    EXPECT_EQ(target.Canvas().Pixel(200, 39), clBlack);
    EXPECT_TRUE(s->Suspended());
    EXPECT_EQ(s->NumTicks(), 26);
    s->SetVisible(false);
    EXPECT_FALSE(s->Visible());
}

TEST(ScalePaint, EventsComeInTheirOrder)
{
    struct Row {
        TScaleType type;
        bool labelDrawnBeforeEvent;
    } rows[] = {{sctXB, true}, {sctYL, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.type));
        auto s = r.type == sctXB ? MakeScale(400, 60, r.type) : MakeScale(60, 400, r.type);
        s->SetShortTicks(false);
        std::vector<QString> events;
        s->OnBeforeScaleRendered = [&](QObject* sender, TCanvas&) {
            EXPECT_EQ(sender, s.get());
            events.push_back("before");
        };
        s->OnAfterScaleRendered = [&](QObject*, TCanvas&) { events.push_back("after"); };
        s->OnScaleTickDrawn = [&](QObject*, TCanvas& canvas, TScaleType type, double value, int x, int y) {
            EXPECT_EQ(type, r.type);
            const int pos = s->ValueToPixel(value);
            EXPECT_EQ(r.type == sctXB ? x : y, pos);
            EXPECT_EQ(r.type == sctXB ? y : x, 20 + (r.type == sctXB ? 19 : 0));
            // is the label's first pixel column still background?
            const QString label = QString::number(static_cast<int>(value));
            bool inked = false;
            const TFont& f = s->Font();
            const int w = TextWidthOf(f, label), h = TextHeightOf(f, label);
            const int left = r.type == sctXB ? pos - std::min(pos - 2, w / 2) : 28;
            const int top = r.type == sctXB ? 39 - h - 7 : pos - h / 2;
            for (int py = top; py < top + h; ++py)
                for (int px = left; px < left + w; ++px)
                    inked = inked || canvas.Pixel(px, py) != clWhite;
            EXPECT_EQ(inked, r.labelDrawnBeforeEvent) << value;
            events.push_back("tick");
        };
        s->Paint();
        ASSERT_EQ(events.size(), 8u);
        EXPECT_EQ(events.front(), "before");
        EXPECT_EQ(events.back(), "after");
    }
}

TEST(ScalePaint, TickListKeepsTheFirstFiftyTicks)
{
    auto s = MakeScale(400, 60);
    s->SetRangeHigh(1000);
    s->SetMinTicks(10);
    s->Paint();
    EXPECT_EQ(s->NumTicks(), 50);
    EXPECT_EQ(s->TickValue(1), 0);
    EXPECT_EQ(s->TickValue(50), 49 * 20);
    EXPECT_EQ(s->TickValue(51), 0.0);
    EXPECT_EQ(s->TickValue(0), 0.0);

    auto v = MakeScale(60, 400, sctYL);
    v->Paint();
    EXPECT_EQ(v->NumTicks(), 21 + 6) << "vertical scales list the main positions twice";
}

TEST(ScalePaint, CalendarMessages)
{
    struct Row {
        const char* name;
        TScaleType type;
        double low, high;
        QStringList lines;
    } rows[] = {
        {"invalid, right", sctYR, 100, 10, {"invalid", "DateTime", "scale"}},
        {"too small, left", sctYL, 40000, 40000 + 0.02 / 86400, {"DateTime", "range is", "below 1", "second"}},
        {"too small, horizontal", sctXB, 40000, 40000 + 0.5 / 86400, {"DateTime range is below 1 second"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const bool vertical = r.type != sctXB;
        auto s = vertical ? MakeScale(120, 400, r.type) : MakeScale(400, 60, r.type);
        s->SetLabelType(ftDateTime);
        s->SetRangeLow(r.low);
        s->SetRangeHigh(r.high);
        s->Paint();
        EXPECT_EQ(s->NumTicks(), 0);
        const TFont& f = s->Font();
        const int m = s->ValueToPixel((r.low + r.high) / 2);
        const int h = TextHeightOf(f, "T");
        for (int i = 0; i < r.lines.size(); ++i) {
            const QString& line = r.lines.at(i);
            const int w = TextWidthOf(f, line);
            int x, y;
            if (!vertical) {
                x = m - w / 2;
                y = 39 + 7;
            } else {
                x = r.type == sctYL ? 20 + 2 : 99 - w - 2;
                y = m - h + i * h;
            }
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, line, x, y));
        }
    }
}

TEST(ScalePaint, DateLineSitsOneLineFurtherOut)
{
    const double day = 44634;  // 14 March 2022
    for (TScaleType type : {sctXB, sctXT, sctYL}) {
        SCOPED_TRACE(int(type));
        auto s = type == sctYL ? MakeScale(120, 400, type) : MakeScale(400, 80, type);
        s->SetLabelType(ftDateTime);
        s->SetShortTicks(false);
        s->SetRangeLow(day + 18.0 / 24);
        s->SetRangeHigh(day + 1 + 6.0 / 24);
        s->Paint();
        const TFont& f = s->Font();
        const int h = TextHeightOf(f, "00:00");
        const int pos = s->ValueToPixel(day + 1);
        const QString date = FormatDateTimeValue(DatePattern(*s->DateFormat()), day + 1);
        auto centred = [&](const QString& text) { return pos - TextWidthOf(f, text) / 2; };
        switch (type) {
        case sctXB:
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "00:00", centred("00:00"), 59 - h - 7));
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, date, centred(date), 59 - h - h - 7));
            break;
        case sctXT:
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "00:00", centred("00:00"), 20 + 7));
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, date, centred(date), 20 + h + 7));
            break;
        default:
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, "00:00", 20 + 8, pos - h / 2));
            EXPECT_TRUE(TextDrawnAt(s->Image(), f, clWhite, date, 20 + 8, pos - 3 * (h / 2)));
        }
    }
}

}  // namespace

namespace {

TEST(ScaleWidget, StandAloneScaleShowsItsPictureOpaqueOrTransparent)
{
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        QWidget form;
        form.resize(420, 80);
        form.setStyleSheet("background: rgb(0, 255, 0)");
        form.setAutoFillBackground(true);
        auto* s = new TScale(&form);
        s->SetBounds(10, 10, 400, 60);
        s->SetColorBackGnd(clWhite);
        s->SetTransparent(transparent);
        form.show();
        const QImage shot = form.grab().toImage();
        EXPECT_EQ(shot.pixelColor(10 + 100, 10 + 39), QColor(0, 0, 0));
        const QColor inside = shot.pixelColor(10 + 100, 10 + 5);
        EXPECT_EQ(inside, transparent ? QColor(0, 255, 0) : QColor(255, 255, 255));
    }
}

TEST(ScaleWidget, TextsAndSettingsAreReachableAsProperties)
{
    TScale scale;
    for (const char* name : {"Caption", "ScaleInscript", "UserTickText"}) {
        EXPECT_TRUE(scale.setProperty(name, QStringLiteral("Zeit")));
        EXPECT_EQ(scale.property(name).toString(), "Zeit");
    }
    EXPECT_EQ(scale.property("DateFormat").value<TDTLabel*>(), scale.DateFormat());
}

TEST(ScaleWidget, ResizingAHiddenScaleDirectlyStillMovesItsTicks)
{
    TBitmap target(600, 60);
    TScale scale;
    scale.SetTransparent(true);
    scale.SetHosted(true);
    scale.SetTargetCanvas(&target.Canvas(), 0, 0);
    scale.resize(600, 60);
    scale.ForcePaint();
    EXPECT_EQ(scale.ValueToPixel(100), 579);
    EXPECT_EQ(target.Canvas().Pixel(579, 33), clBlack);
}

TEST(ScaleWidget, UnusableRangesPaintWithoutTicks)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (TFigType type : {ftNum, ftTime, ftDateTime}) {
        SCOPED_TRACE(int(type));
        auto s = MakeScale(400, 60);
        s->SetLabelType(type);
        s->SetRangeHigh(inf);
        s->Paint();
        EXPECT_EQ(s->NumTicks(), 0);
        s->SetRangeLow(1e17);
        s->SetRangeHigh(1e17 + 1);
        s->Paint();
        EXPECT_EQ(s->NumTicks(), 0);
    }
}

}  // namespace
