#pragma once
// The plot grid: the grid values of one axis (pure), and the grid drawn from them.

#include <cstddef>
#include <optional>
#include <span>

#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "platform/draw/Canvas.h"

// No axis draws more grid lines than this, and the point grid no more points.
constexpr int MaxGridValues = 1000;

// The grid values of one axis in ascending order, from its lower range end up to (but not including) the
// upper one, at most MaxGridValues of them. Spacing > 0 (or any spacing on a linear axis) steps by |Spacing|;
// 0 takes the scale's tick values; on a logarithmic axis -1 gives the decades, -2 the 1-2-5 steps, and -3 or
// any other negative value the steps 1, 2, 3 ... 9 within each decade.
class GridSequence {
public:
    GridSequence(const AxisRange& Range, double Spacing, std::span<const double> ScaleTicks);

    std::optional<double> Next();

private:
    double Following(double value) const;

    double spacing_;
    bool logarithmic_;
    double upper_;
    std::span<const double> ticks_;
    std::size_t given_ = 0;
    double value_;
};

// One axis as the grid sees it: its range, GridDx or GridDy, and the tick values of its scale's last painting.
struct GridAxis {
    AxisRange Range;
    double Spacing = 0;
    std::span<const double> Ticks;
};

struct GridPaint {
    TGridStyle Style = gsNone;
    TColor GridColor = clBlack;
    TColor ChartColor = clWhite;  // the brush: the gaps of dotted lines
};

// Draws the grid of one layer into the plot bitmap with the pen width in force; dotted lines leave the pen
// style solid.
void DrawGrid(TCanvas& Canvas, const GridPaint& Paint, const ChartGeometry& Geometry, const LayerTransform& Transform,
    const GridAxis& X, const GridAxis& Y);
