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
    friend bool operator==(const ChartGeometry&, const ChartGeometry&) = default;
};

// The range of one axis of a layer, as its scale properties hold it.
struct AxisRange {
    double Low = 0, High = 1;
    bool Logarithmic = false;
    friend bool operator==(const AxisRange&, const AxisRange&) = default;
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

// A layer's transform with what it was computed from. The chart asks for its sixteen layers again after every
// axis setting, so a layer whose geometry and ranges are unchanged keeps its transform.
class CachedLayerTransform {
public:
    const LayerTransform& Transform() const { return transform_; }
    // Returns whether the transform was computed anew.
    bool Update(const ChartGeometry& Geometry, const AxisRange& X, const AxisRange& Y);

private:
    LayerTransform transform_;
    bool computed_ = false;
    ChartGeometry geometry_;
    AxisRange x_, y_;
};

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

// A linear axis in double precision, for mapping many items: the long-double multiply-add goes through the
// x87 unit and memory, while the double one stays in registers. It decides a pixel only where double precision
// provably gives the same one; elsewhere (next to a half pixel, far out, NaN) the caller takes the exact path.
struct FastLinearAxis {
    // Positions from here on out are left to the exact path, which clamps them.
    static constexpr double Reach = 1e9;

    double Factor = 0, Offset = 0;
    // How far the double multiply-add (factor, offset, product and sum each rounded once) can lie from the
    // long-double one rounded to double, for any position within Reach: a few units of 2^-53 of
    // |Factor·V| + |Offset|, which is at most Reach + 2·|Offset| there; 2^-48 of it leaves room to spare.
    double Tolerance = 0;

    static FastLinearAxis Of(const AxisTransform& T)
    {
        const auto offset = static_cast<double>(T.Offset);
        constexpr double scale = 1.0 / 281474976710656.0;  // 2^-48
        return {static_cast<double>(T.Factor), offset, (Reach + 2 * std::fabs(offset)) * scale};
    }
};

// The rounded pixel of V on the axis when double precision settles it (true), as RoundPositionToPixel of the
// long-double position would give it; false when V is NaN, lies far out or maps within the tolerance of a half
// pixel, where only the exact path can tell.
inline bool FastAxisPixel(const FastLinearAxis& A, double V, std::int32_t& Pixel)
{
    const double p = A.Factor * V + A.Offset;
    if (!(std::fabs(p) < FastLinearAxis::Reach))
        return false;
    auto lower = static_cast<std::int32_t>(p);  // toward zero
    if (static_cast<double>(lower) > p)
        --lower;
    const double half = p - static_cast<double>(lower) - 0.5;  // exact near a half pixel, where it decides
    if (!(std::fabs(half) > A.Tolerance))
        return false;
    Pixel = half > 0 ? lower + 1 : lower;
    return true;
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
