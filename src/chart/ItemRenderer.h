#pragma once
// Draws a chart's display list into its plot bitmap: marks, rectangles and texts, layer by layer transform,
// changing pen, brush and font only where the next item needs another value.

#include <cstdint>
#include <span>

#include "chart/ChartItem.h"
#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "platform/draw/Canvas.h"
#include "scale/Quarn_quarnbase.h"

// The chart's settings the item loop reads; the text settings apply to every text item as it is drawn.
struct ItemRenderSettings {
    TFontStyles TextFontStyle = 0;
    TTextBkStyle TextBkStyle = tbClear;
    TColor TextBkColor = clWhite;
    TAlignment TextAlignment = taCenter;
    int LineWidth = 1;
    TColor ChartColor = clWhite;
};

// Where items go and which of them are shown.
struct ItemScene {
    ChartGeometry Geometry;
    std::span<const LayerTransform, ChartLayerCount> Transforms;
    std::span<const bool, 256> ClassVisible;
    std::span<const bool, ChartLayerCount> LayerVisible;  // index 0 is layer 1
};

// How often the loop changed a drawing setting (each pen, brush or font field counts once per change).
struct ItemRenderStats {
    int PenChanges = 0;
    int BrushChanges = 0;
    int FontChanges = 0;
};

// Sets up the canvas (pen width LineWidth, pen and brush in ChartColor, solid pen) and draws the first
// Items.Count items in order. Items hidden by their class or layer, and items with a coordinate that has no
// pixel (NaN), draw nothing.
ItemRenderStats RenderItems(
    TCanvas& Canvas, const ChartItemList& Items, const ItemScene& Scene, const ItemRenderSettings& Settings);
