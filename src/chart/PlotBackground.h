#pragma once
// The plot area's background: the chart colour, a background image file, or a coloured area in world units.

#include <cstdint>

#include <QString>

#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "platform/draw/Bitmap.h"
#include "platform/draw/Color.h"

// The fields of the chart's background settings object.
struct BackgroundSettings {
    QString Name;              // image file; empty: no image, draw the area instead
    bool IncludePath = false;  // kept for the settings object; the name is loaded as it stands
    TBkgFill FillMode = bfStretch;
    TBGAreaMode AreaMode = bamNone;
    TColor AreaColor = 0xDDDDDD;
    double AreaLeft = -1, AreaRight = 1, AreaTop = 1, AreaBottom = -1;  // world units of layer 1
};

// The loaded image, kept by the chart between paints so that a file is read once, not on every paint.
struct BackgroundImage {
    TBitmap Bitmap{10, 10};
    QString LoadedName;  // the name Bitmap was loaded from; empty when nothing is loaded
};

// Larger pictures are refused like unreadable ones: a background is never worth gigabytes of memory.
constexpr int MaxBackgroundImageSide = 16384;
constexpr std::int64_t MaxBackgroundImageBytes = std::int64_t(256) << 20;  // at 4 bytes a pixel

enum class [[nodiscard]] BackgroundImageStatus : std::uint8_t;  // apart: clang-format 14 garbles it on the definition
enum class BackgroundImageStatus : std::uint8_t {
    NoImage,  // no name given
    Loaded,
    Unreadable,  // missing, not a picture, or broken
    TooLarge,    // wider or higher than MaxBackgroundImageSide, or more than MaxBackgroundImageBytes
};
inline bool IsRefused(BackgroundImageStatus Status)
{
    return Status == BackgroundImageStatus::Unreadable || Status == BackgroundImageStatus::TooLarge;
}

// Loads Name into Image unless it is already there. On failure Image keeps its picture and forgets its name.
BackgroundImageStatus LoadBackgroundImage(BackgroundImage& Image, const QString& Name);

struct PlotColors {
    TColor ChartColor = clWhite;
    TColor ChartFrameColor = clBlack;
};

// Sizes the plot bitmap to (W + 1) x (H + 1) (each at least 0) and draws its background. A refused image
// (IsRefused) leaves the plot filled with the chart colour, and the caller clears the settings' Name so that
// later paints do not try again. Layer1 is layer 1's transform; the area is placed by it.
BackgroundImageStatus DrawPlotBackground(TBitmap& Plot, const ChartGeometry& Geometry, const PlotColors& Colors,
    const BackgroundSettings& Settings, BackgroundImage& Image, const LayerTransform& Layer1);

// The rectangle (plot coordinates, right and bottom exclusive) the area mode fills in a plot bitmap of the
// given size; empty for bamNone and for an area edge that has no pixel.
TRect BackgroundAreaRect(const ChartGeometry& Geometry, const BackgroundSettings& Settings,
    const LayerTransform& Layer1, int PlotBitmapWidth, int PlotBitmapHeight);
