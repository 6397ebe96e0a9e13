#pragma once
// The crosshair lines laid over the finished chart picture.

#include <span>

#include "chart/ChartTransform.h"
#include "platform/draw/Canvas.h"
#include "scale/Quarn_quarnbase.h"

// Draws every crosshair whose mode is not chOff, in its own pen, on a picture whose top-left pixel is control
// pixel (Dx, Dy): the frame bitmap (0, 0) or the plot bitmap (MarginLeft, MarginTop). A line that would touch
// the plot frame (within half its width) is left out. Layers holds the transforms of layers 1..16. The
// canvas's pen is as before afterwards.
void DrawCrossHairs(TCanvas& Canvas, const ChartGeometry& Geometry, std::span<const TCrossHair* const> CrossHairs,
    std::span<const LayerTransform, ChartLayerCount> Layers, int Dx, int Dy);
