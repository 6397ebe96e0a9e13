#include "chart/ChartTransform.h"

#include <cmath>

#include "scale/Rounding.h"

namespace {

// Factor and offset that map Low to the first pixel edge and High to the second; a range without two
// distinct finite ends, or an edge span of no width, maps everything to Middle.
AxisTransform AxisFor(
    const AxisRange& Range, int Span, long double FirstEdge, long double SecondEdge, long double Middle)
{
    AxisTransform t;
    t.Logarithmic = Range.Logarithmic;
    t.Ascending = Range.High >= Range.Low;
    t.Offset = Middle;
    long double low = Range.Low, high = Range.High;
    if (Range.Logarithmic) {
        low = Range.Low > 0 ? std::log(static_cast<long double>(Range.Low)) : NAN;
        high = Range.High > 0 ? std::log(static_cast<long double>(Range.High)) : NAN;
    }
    const long double width = high - low;
    if (Span <= 0 || !std::isfinite(low) || !std::isfinite(high) || width == 0 || !std::isfinite(width))
        return t;
    t.Factor = (SecondEdge - FirstEdge) / width;
    t.Offset = (FirstEdge * high - SecondEdge * low) / width;
    return t;
}

double AxisWorld(const AxisTransform& T, const AxisRange& Range, double P)
{
    if (T.Factor == 0)
        return Range.Low;
    const long double v = (P - T.Offset) / T.Factor;
    return static_cast<double>(T.Logarithmic ? std::exp(v) : v);
}

}  // namespace

LayerTransform ComputeLayerTransform(const ChartGeometry& G, const AxisRange& X, const AxisRange& Y)
{
    LayerTransform t;
    // x: low end at the plot's left edge, high end at its right edge
    t.X = AxisFor(X, G.PlotWidth(), G.MarginLeft, G.Width - G.MarginRight - G.ShadowWidth, G.Width / 2.0L);
    // y: low end at the plot's bottom edge, high end at its top edge
    t.Y = AxisFor(Y, G.PlotHeight(), G.Height - G.MarginBottom - G.ShadowWidth, G.MarginTop, G.Height / 2.0L);
    return t;
}

bool CachedLayerTransform::Update(const ChartGeometry& Geometry, const AxisRange& X, const AxisRange& Y)
{
    if (computed_ && Geometry == geometry_ && X == x_ && Y == y_)
        return false;
    transform_ = ComputeLayerTransform(Geometry, X, Y);
    computed_ = true;
    geometry_ = Geometry;
    x_ = X;
    y_ = Y;
    return true;
}

long double ChartTransformDetail::LogAxisPixel(
    const AxisTransform& T, double V, long double LowEdgeAscending, long double LowEdgeDescending)
{
    if (V > SmallestLogValue)
        return T.Factor * std::log(static_cast<long double>(V)) + T.Offset;
    return T.Ascending ? LowEdgeAscending : LowEdgeDescending;
}

WorldPosition PixelToWorld(const LayerTransform& T, const AxisRange& X, const AxisRange& Y, double Px, double Py)
{
    return {AxisWorld(T.X, X, Px), AxisWorld(T.Y, Y, Py)};
}
