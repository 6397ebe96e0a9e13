// The insight panel's overlays on the lesson's pictures, drawn on the chart's plot canvas from its render events.

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "app/LessonViews.h"
#include "chart/Quarn_rchart.h"
#include "platform/draw/Canvas.h"

namespace {

struct TWorldPoint {
    double X, Y;
};

// The part of the line S1*x + S2*y = Rhs inside the box [X0, X1] x [Y0, Y1], when it crosses the box.
std::optional<std::pair<TWorldPoint, TWorldPoint>> LineInBox(
    double S1, double S2, double Rhs, TWorldPoint Low, TWorldPoint High)
{
    std::array<TWorldPoint, 4> crossings{};
    std::size_t count = 0;
    const auto keep = [&](double X, double Y) {
        if (X >= Low.X && X <= High.X && Y >= Low.Y && Y <= High.Y && count < crossings.size())
            crossings[count++] = {X, Y};
    };
    if (S2 != 0)
        for (const double x : {Low.X, High.X})
            keep(x, (Rhs - S1 * x) / S2);
    if (S1 != 0)
        for (const double y : {Low.Y, High.Y})
            keep((Rhs - S2 * y) / S1, y);
    if (count < 2)
        return std::nullopt;
    const auto [first, last] = std::minmax_element(crossings.begin(), crossings.begin() + long(count),
        [](const TWorldPoint& p, const TWorldPoint& q) { return p.X < q.X || (p.X == q.X && p.Y < q.Y); });
    return std::pair{*first, *last};
}

// The chart maps to its own pixels; the plot canvas starts at the plot's corner.
TPoint OnPlot(const TRChart& Chart, double X, double Y)
{
    const PixelPosition p = Chart.WorldToPixel(1, X, Y);
    return {p.X - Chart.MarginLeft(), p.Y - Chart.MarginTop()};
}

// Inside the plot's frame, so that an overlay never covers the frame or the margins.
TRect PlotInterior(const TRChart& Chart)
{
    const ChartGeometry& g = Chart.Geometry();
    return {1, 1, g.PlotWidth(), g.PlotHeight()};
}

}  // namespace

void TLessonViews::DrawLatticeLines(TCanvas& Canvas) const
{
    const TCanvasSaver saved(Canvas);
    Canvas.SetClipRect(PlotInterior(chart_));
    Canvas.Pen = {LatticeLineColor, 1, psSolid, pmCopy};
    const TWorldPoint low{chart_.Scale1X()->RangeLow(), chart_.Scale1Y()->RangeLow()};
    const TWorldPoint high{chart_.Scale1X()->RangeHigh(), chart_.Scale1Y()->RangeHigh()};
    const TLessonOverlays& o = overlays_;
    for (const std::int64_t k : o.LineNumbers) {
        const double rhs = double(o.S2 * o.A + k * o.C);
        const auto segment = LineInBox(double(o.S1), double(o.S2), rhs, low, high);
        if (!segment)
            continue;
        const TPoint from = OnPlot(chart_, segment->first.X, segment->first.Y);
        const TPoint to = OnPlot(chart_, segment->second.X, segment->second.Y);
        Canvas.MoveTo(from.X, from.Y);
        Canvas.LineTo(to.X, to.Y);
        Canvas.SetPixel(to.X, to.Y, LatticeLineColor);  // the line ends where it leaves the plot, end included
    }
}

void TLessonViews::DrawExpectedCounts(TCanvas& Canvas) const
{
    const TCanvasSaver saved(Canvas);
    Canvas.SetClipRect(PlotInterior(chart_));
    Canvas.Pen = {ExpectedCountColor, 1, psSolid, pmCopy};
    for (std::size_t k = 1; k < overlays_.Expected.size(); ++k) {
        const double expected = overlays_.Expected[k];
        const TPoint from = OnPlot(chart_, double(k - 1) * binWidth_, expected);
        const TPoint to = OnPlot(chart_, double(k) * binWidth_, expected);
        Canvas.MoveTo(from.X, from.Y);
        Canvas.LineTo(to.X, to.Y);
    }
}

double TLessonViews::LargestExpected() const
{
    if (!overlays_.ExpectedCounts || overlays_.Expected.empty())
        return 0;
    return *std::max_element(overlays_.Expected.begin(), overlays_.Expected.end());
}
