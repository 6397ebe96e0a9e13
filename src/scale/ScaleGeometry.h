#pragma once
// What a scale is drawn from besides its ticks: its published settings, the room its size and
// margins leave along and across the axis, and the transform from values to pixels.

#include <QString>

#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"
#include "scale/TickRules.h"

// Everything a scale publishes except Visible, which belongs to where the scale is shown.
struct ScaleSettings {
    TFrameStyle frameStyle = fsLowered;
    TColor colorScale = clBlack;
    TColor colorBackGnd = clBtnFace;
    TColorScheme colorScheme = csBWG;
    TFrameColors frameColors;  // follow the colour scheme
    bool logarithmic = false;
    double rangeHigh = 100.0;
    double rangeLow = 0.0;
    bool shortTicks = true;
    int minTicks = 3;
    int decPlaces = -2;
    bool showBaseLine = true;
    bool transparent = false;
    TFigType labelType = ftNum;
    int marginTop = 20;
    int marginBottom = 20;
    int marginRight = 20;
    int marginLeft = 20;
    int captionPosX = 4;
    int captionPosY = 4;
    TAlignment captionAlignment = taCenter;
    TScaleUnitAnchor captionAnchor = uaSclTopLft;
    QString userTickText;
    QString scaleInscript;
    QString caption;
    TScaleType scaleType = sctXB;

    bool IsVertical() const { return scaleType == sctYL || scaleType == sctYR; }
};

// What the tick rules need of a scale's settings.
TickSettings TickSettingsOf(const ScaleSettings& settings, const DateLabelFormat& dateFormat);

// One dimension of a scale: its length in pixels and the margins at either end.
struct ScaleExtent {
    int length;
    int startMargin;
    int endMargin;
    int First() const { return startMargin; }
    int Last() const { return length - endMargin - 1; }
};

// A scale's room for its size; "along" is x on horizontal scales and y on vertical ones. It reads
// the settings it is given whenever asked.
class ScaleGeometry {
public:
    ScaleGeometry(const ScaleSettings& settings, int width, int height) : s_(settings), width_(width), height_(height)
    {
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsVertical() const { return s_.IsVertical(); }
    ScaleExtent AlongAxis() const;
    ScaleExtent AcrossAxis() const;
    TPoint At(int along, int across) const;
    // +1 where ticks and labels point to larger coordinates (top and left scales), -1 where they
    // point to smaller ones, 0 for an unknown scale type.
    int Side() const;
    // The near edge of something `extent` pixels deep, `gap` pixels off `base` on the ticks' side.
    int Outward(int base, int gap, int extent) const;
    // Where the base line lies across the axis for a scale drawn at `origin`.
    int BasePosition(TPoint origin) const;

private:
    const ScaleSettings& s_;
    int width_;
    int height_;
};

// pixel = factor * value + offset (of the logarithm on a logarithmic scale)
struct ScaleTransform {
    double factor = 1.0;
    double offset = 0.0;
};

// The transform that maps the range onto the room between the margins; a range it cannot map
// (a logarithmic one not wholly above zero) leaves `previous` as it is.
ScaleTransform TransformFor(const ScaleGeometry& geometry, const ScaleSettings& settings, ScaleTransform previous);

// Pixel along the axis of a value.
int ValueToPixel(const ScaleTransform& transform, const ScaleSettings& settings, int width, double value);
