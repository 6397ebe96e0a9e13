#pragma once
// From world coordinates of a layer to control pixels and back: the pure arithmetic of the chart's layers.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scale/Quarn_quarnbase.h"
#include "scale/Rounding.h"

constexpr int ChartLayerCount = LastChartLayer;

// The control's size and margins; the plot area lies inside them.
struct ChartGeometry {
    int Width = 280, Height = 200;
    int MarginLeft = 50, MarginRight = 10, MarginTop = 16, MarginBottom = 32;
    int ShadowWidth = 0;

    int PlotWidth() const { return Width - MarginLeft - MarginRight - ShadowWidth; }    // W
    int PlotHeight() const { return Height - MarginTop - MarginBottom - ShadowWidth; }  // H
};

// The range of one axis of a layer, as its scale properties hold it.
struct AxisRange {
    double Low = 0, High = 1;
    bool Logarithmic = false;
};

// factor and offset of one axis: pixel = Factor * value + Offset (value = ln x on a logarithmic axis)
struct AxisTransform {
    long double Factor = 0, Offset = 0;
    bool Logarithmic = false;
    bool Ascending = true;  // RangeHigh >= RangeLow
};

struct LayerTransform {
    AxisTransform X, Y;
};

// A range whose ends are equal or not finite, or a plot of no width, gives factor 0 and maps every value to
// the middle of the control.
LayerTransform ComputeLayerTransform(const ChartGeometry& Geometry, const AxisRange& X, const AxisRange& Y);

// A pixel of the control, or none (Valid false).
struct PixelPosition {
    std::int32_t X = 0, Y = 0;
    bool Valid = true;
};

// RoundToPixel (Rounding.h) for a position that is not NaN, without a library call: a display list of 100 000
// points is mapped on every paint. Truncation, comparison and subtraction are exact whatever the rounding mode.
inline std::int32_t RoundPositionToPixel(double Position)
{
    const double p = std::clamp(Position, -MaxPixelCoordinate, MaxPixelCoordinate);
    std::int64_t lower = static_cast<std::int64_t>(p);  // toward zero
    if (static_cast<double>(lower) > p)
        --lower;
    const double diff = p - static_cast<double>(lower);  // exact: both lie within one unit of each other
    if (diff > 0.5 || (diff == 0.5 && (lower & 1) != 0))
        ++lower;
    return static_cast<std::int32_t>(lower);
}

namespace ChartTransformDetail {
// The position on a logarithmic axis; out of line, as only such axes need it.
long double LogAxisPixel(const AxisTransform& T, double V, long double LowEdgeAscending, long double LowEdgeDescending);

// One coordinate in pixels, before rounding; NaN when the value has no pixel. Inline: the item loop calls it
// for every item, and a linear axis is one multiply-add.
inline long double AxisPixel(
    const AxisTransform& T, double V, long double LowEdgeAscending, long double LowEdgeDescending)
{
    if (std::isnan(V))
        return V;
    if (T.Factor == 0)
        return T.Offset;
    if (!T.Logarithmic)
        return T.Factor * V + T.Offset;
    return LogAxisPixel(T, V, LowEdgeAscending, LowEdgeDescending);
}
}  // namespace ChartTransformDetail

// Rounded to the nearest pixel (ties to even) and clamped to ±2147483647; nullopt-free: a NaN coordinate
// gives Valid = false, since it has no pixel. Inline: the item loop maps up to two points per item.
inline PixelPosition WorldToPixel(const ChartGeometry& G, const LayerTransform& T, double X, double Y)
{
    const long double px = ChartTransformDetail::AxisPixel(T.X, X, 0, G.Width);
    const long double py = ChartTransformDetail::AxisPixel(T.Y, Y, G.Height, 0);
    if (std::isnan(px) || std::isnan(py))
        return {0, 0, false};
    return {RoundPositionToPixel(static_cast<double>(px)), RoundPositionToPixel(static_cast<double>(py)), true};
}

// True when both axes are linear with a factor other than 0: the common layer, for which LinearWorldToPixel
// gives what WorldToPixel gives.
inline bool IsLinear(const LayerTransform& T)
{
    return !T.X.Logarithmic && !T.Y.Logarithmic && T.X.Factor != 0 && T.Y.Factor != 0;
}

// WorldToPixel for a layer that IsLinear: a NaN coordinate passes through the multiply-add, so one check after
// it replaces the checks before.
inline PixelPosition LinearWorldToPixel(const LayerTransform& T, double X, double Y)
{
    const long double px = T.X.Factor * X + T.X.Offset;
    const long double py = T.Y.Factor * Y + T.Y.Offset;
    if (std::isnan(px) || std::isnan(py))
        return {0, 0, false};
    return {RoundPositionToPixel(static_cast<double>(px)), RoundPositionToPixel(static_cast<double>(py)), true};
}

// The inverse; a factor of 0 gives the axis's low end instead of dividing by zero.
struct WorldPosition {
    double X = 0, Y = 0;
};
WorldPosition PixelToWorld(
    const LayerTransform& Transform, const AxisRange& X, const AxisRange& Y, double Px, double Py);

// Items and background areas are drawn with coordinates clamped to this reach.
constexpr std::int32_t MaxDrawCoordinate = 30000;
inline std::int32_t ClampToDrawRange(std::int32_t V)
{
    return V < -MaxDrawCoordinate ? -MaxDrawCoordinate : (V > MaxDrawCoordinate ? MaxDrawCoordinate : V);
}
