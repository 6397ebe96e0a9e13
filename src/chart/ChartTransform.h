#pragma once
// From world coordinates of a layer to control pixels and back: the pure arithmetic of the chart's layers.

#include <cstdint>

#include "scale/Quarn_quarnbase.h"

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

// Rounded to the nearest pixel (ties to even) and clamped to ±2147483647; nullopt-free: a NaN coordinate
// gives Valid = false, since it has no pixel.
struct PixelPosition {
    std::int32_t X = 0, Y = 0;
    bool Valid = true;
};
PixelPosition WorldToPixel(const ChartGeometry& Geometry, const LayerTransform& Transform, double X, double Y);

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
