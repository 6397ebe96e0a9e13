#include "chart/ChartGrid.h"

#include <algorithm>
#include <cmath>

#include "scale/Rounding.h"

namespace {

// A value's decade u and leading digit m (1..10); a logarithm within 1e-14 of an integer counts as that
// integer, so that 100 computed as 10 * 10 stays in decade 2.
struct Decade {
    double Power;  // 10^u
    double Digit;  // m
};

Decade DecadeOf(double value)
{
    double lg = std::log10(value);
    if (std::fabs(lg - std::round(lg)) < 1e-14)
        lg = std::round(lg);
    const double u = std::floor(lg);
    return {std::pow(10.0, u), RoundHalfEven(std::pow(10.0, lg - u))};
}

bool UsesSteps(const AxisRange& range, double spacing)
{
    return !range.Logarithmic || spacing > 0;
}

double FirstValue(const AxisRange& range, double spacing, std::span<const double> ticks, double lower)
{
    if (spacing == 0)
        return ticks.empty() ? lower : ticks.front();
    if (UsesSteps(range, spacing))
        return std::ceil(lower / spacing) * spacing;
    if (!(lower > 0))
        return std::nan("");  // a logarithmic axis that reaches zero has no decades to step through
    if (spacing == -1)
        return std::pow(10.0, std::ceil(std::log10(lower)));
    const Decade d = DecadeOf(lower);
    if (spacing == -2)
        return d.Power * (d.Digit <= 2 ? 2 : d.Digit <= 5 ? 5 : 10);
    if (spacing == -3)
        return d.Power * d.Digit;
    return lower;
}

}  // namespace

GridSequence::GridSequence(const AxisRange& Range, double Spacing, std::span<const double> ScaleTicks)
    : spacing_(Spacing), logarithmic_(Range.Logarithmic), upper_(std::max(Range.Low, Range.High)), ticks_(ScaleTicks)
{
    value_ = FirstValue(Range, Spacing, ScaleTicks, std::min(Range.Low, Range.High));
}

double GridSequence::Following(double value) const
{
    if (spacing_ == 0)
        return given_ < ticks_.size() ? ticks_[given_] : upper_;
    if (!logarithmic_ || spacing_ > 0)
        return value + std::fabs(spacing_);
    if (spacing_ == -1)
        return value * 10;
    const Decade d = DecadeOf(value);
    if (spacing_ == -2) {
        // the 1-2-5 steps; a digit off those steps moves to the next step above it
        if (d.Digit >= 10)
            return d.Power * 20;
        return d.Power * (d.Digit < 2 ? 2 : d.Digit < 5 ? 5 : 10);
    }
    return d.Power * (d.Digit + 1);
}

std::optional<double> GridSequence::Next()
{
    const double value = value_;
    if (given_ >= std::size_t(MaxGridValues) || !std::isfinite(value) || value >= upper_)
        return std::nullopt;
    ++given_;
    value_ = Following(value);
    // a computed step that does not move on (a spacing lost in rounding) would repeat the same line
    if (spacing_ != 0 && !(value_ > value))
        given_ = std::size_t(MaxGridValues);
    return value;
}

namespace {

class GridPainter {
public:
    GridPainter(TCanvas& canvas, const ChartGeometry& geometry, const LayerTransform& transform)
        : canvas_(canvas), geometry_(geometry), transform_(transform)
    {
    }

    void Points(const GridAxis& xAxis, const GridAxis& yAxis)
    {
        int points = 0;
        GridSequence xs(xAxis.Range, xAxis.Spacing, xAxis.Ticks);
        while (const std::optional<double> x = xs.Next()) {
            GridSequence ys(yAxis.Range, yAxis.Spacing, yAxis.Ticks);
            while (const std::optional<double> y = ys.Next()) {
                if (points++ >= MaxGridValues)
                    return;
                if (const std::optional<TPoint> p = PlotPixel(*x, *y))
                    canvas_.SetPixel(p->X, p->Y, canvas_.Pen.Color);
            }
        }
    }

    void VerticalLines(const GridAxis& xAxis, const AxisRange& y)
    {
        GridSequence xs(xAxis.Range, xAxis.Spacing, xAxis.Ticks);
        while (const std::optional<double> x = xs.Next())
            Line(*x, y.Low, *x, y.High);
    }

    void HorizontalLines(const GridAxis& yAxis, const AxisRange& x)
    {
        GridSequence ys(yAxis.Range, yAxis.Spacing, yAxis.Ticks);
        while (const std::optional<double> y = ys.Next())
            Line(x.Low, *y, x.High, *y);
    }

private:
    std::optional<TPoint> PlotPixel(double x, double y) const
    {
        const PixelPosition p = WorldToPixel(geometry_, transform_, x, y);
        if (!p.Valid)
            return std::nullopt;
        return TPoint{ClampToDrawRange(p.X) - geometry_.MarginLeft, ClampToDrawRange(p.Y) - geometry_.MarginTop};
    }

    void Line(double x1, double y1, double x2, double y2)
    {
        const std::optional<TPoint> a = PlotPixel(x1, y1), b = PlotPixel(x2, y2);
        if (!a || !b)
            return;
        canvas_.MoveTo(a->X, a->Y);
        canvas_.LineTo(b->X, b->Y);
    }

    TCanvas& canvas_;
    const ChartGeometry& geometry_;
    const LayerTransform& transform_;
};

bool IsDotted(TGridStyle style)
{
    return style == gsVertDotLines || style == gsHorizDotLines || style == gsDotLines;
}

}  // namespace

void DrawGrid(TCanvas& Canvas, const GridPaint& Paint, const ChartGeometry& Geometry, const LayerTransform& Transform,
    const GridAxis& X, const GridAxis& Y)
{
    if (Paint.Style == gsNone)
        return;
    Canvas.Pen.Color = Paint.GridColor;
    Canvas.Brush.Color = Paint.ChartColor;
    Canvas.Pen.Style = IsDotted(Paint.Style) ? psDot : psSolid;
    GridPainter painter(Canvas, Geometry, Transform);
    switch (Paint.Style) {
    case gsPoints: painter.Points(X, Y); break;
    case gsVertLines:
    case gsVertDotLines: painter.VerticalLines(X, Y.Range); break;
    case gsHorizLines:
    case gsHorizDotLines: painter.HorizontalLines(Y, X.Range); break;
    case gsLines:
    case gsDotLines:
        painter.VerticalLines(X, Y.Range);
        painter.HorizontalLines(Y, X.Range);
        break;
    default: break;
    }
    Canvas.Pen.Style = psSolid;
}
