#pragma once
// The control's picture around the plot area: background, shadow and caption; and the plot area's frame.

#include <QString>

#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"

// The chart's appearance settings the frame picture is made of.
struct ChartFrameStyle {
    TColor WindColor = clBtnFace;
    TColor ChartFrameColor = clBlack;
    TColor ShadowColor = clGrayText;
    TColor ShadowBakColor = clBtnFace;
    TShadowStyle ShadowStyle = ssFlying;
    QString Caption;
    int CaptionPosX = 0, CaptionPosY = -15;
    TAlignment CaptionAlignment = taRightJustify;
    TCaptionAnchorHoriz CaptionAnchorHoriz = cahChartRight;
    TCaptionAnchorVert CaptionAnchorVert = cavChartTop;
    TFont Font;  // the chart's font; the caption is written in it
};

// The point the caption is anchored at (before its alignment), in control pixels.
TPoint CaptionAnchorPoint(const ChartGeometry& Geometry, const ChartFrameStyle& Style);

// The left edge of a text of the given width whose alignment point is x (div truncates toward zero).
int AlignedTextLeft(int X, int TextWidth, TAlignment Alignment);

// Background, shadow and caption of the whole control on a canvas the caller has sized to the control
// (the shadow is laid along the canvas's own right and bottom edges). Leaves the pen in ChartFrameColor and
// the brush clear, as the caption left them. The background leaves out Covered, where the caller puts the plot
// bitmap afterwards (a fifth of a lesson chart's pixels need not be written twice).
void DrawChartFrame(
    TCanvas& Canvas, const ChartGeometry& Geometry, const ChartFrameStyle& Style, const TRect& Covered = {});

// The plot area's frame on the plot bitmap's canvas, (0, 0) to (W, H) both included, in the pen width the
// canvas has.
void DrawPlotFrame(TCanvas& Canvas, const ChartGeometry& Geometry, TColor ChartFrameColor);
