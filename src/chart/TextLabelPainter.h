#pragma once
// The chart's text labels: a caption of one or more lines placed in control pixels or at a world position,
// drawn plain, boxed, underlined or with a shadow.

#include <span>

#include "chart/ChartTransform.h"
#include "platform/draw/Canvas.h"
#include "scale/Quarn_quarnbase.h"

// Draws one label into the plot bitmap by its mode (tlOff draws nothing). Transform is the label's layer's;
// its positions are not clamped to the drawing reach.
void DrawTextLabel(
    TCanvas& Canvas, const TCustomTextLabel& Label, const ChartGeometry& Geometry, const LayerTransform& Transform);

// Sets the pen width to 1 and draws the labels from the last to the first (so label 1 lies on top), leaving out
// labels that are off, invisible or on a hidden layer. Labels[0] is label 1; null entries are skipped.
void DrawTextLabels(TCanvas& Canvas, std::span<const TCustomTextLabel* const> Labels, const ChartGeometry& Geometry,
    std::span<const LayerTransform, ChartLayerCount> Transforms, std::span<const bool, ChartLayerCount> LayerVisible);
