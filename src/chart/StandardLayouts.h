#pragma once
// The chart's seven standard layouts: margins and caption of the chart, and the axes of layers 1 to 4.

#include <array>
#include <span>

#include "chart/ChartScaleProps.h"
#include "chart/ChartTypes.h"
#include "scale/Quarn_quarnbase.h"

// What a layout sets on the chart itself, through the chart's setters in this order.
struct LayoutChartValues {
    int MarginLeft;
    int MarginRight;
    int MarginTop;
    int MarginBottom;
    int CaptionPosX;
    int CaptionPosY;
    TAlignment CaptionAlignment;
    TCaptionAnchorHoriz CaptionAnchorHoriz;
    TCaptionAnchorVert CaptionAnchorVert;
};

// What a layout sets on one axis (Location is TScaleLocationHoriz or TScaleLocationVert).
template <typename Location> struct LayoutAxisValues {
    bool Visible;
    Location ScaleLocation;
    int ScalePos;
    int CaptionPosX;
    int CaptionPosY;
    TAlignment CaptionAlignment;
    TScaleUnitAnchor CaptionAnchor;
};

// The layers a layout arranges; the axes of the other layers are hidden.
constexpr int LayoutLayerCount = 4;

struct StandardLayoutValues {
    LayoutChartValues Chart;
    std::array<LayoutAxisValues<TScaleLocationHoriz>, LayoutLayerCount> X;  // layers 1..4
    std::array<LayoutAxisValues<TScaleLocationVert>, LayoutLayerCount> Y;
};

// The row of a layout; a value outside TrcLayout gives the first row.
const StandardLayoutValues& StandardLayoutOf(TrcLayout layout);

// Applies the axis part of a layout to the property objects of all layers (index 0 is layer 1): for layers 1
// to 4 the x object's ScaleLocation, caption position, alignment and anchor, ScalePos and Visible, then the
// same for the y object; then every axis of layers 5 and up is hidden. The chart applies the chart part
// before and copies the objects to its scales afterwards.
void ApplyLayoutToAxes(
    TrcLayout layout, std::span<TScalePropsHoriz* const> xAxes, std::span<TScalePropsVert* const> yAxes);
