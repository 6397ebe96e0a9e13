// What the lesson's chart shows under the mouse, as the tooltip that follows it.

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/LessonViews.h"
#include "app/USewella.h"
#include "chart/Quarn_rchart.h"

namespace {

constexpr int NearestPointRadius = 8;  // pixels

QString N(int Value)
{
    return QString::number(Value);
}

}  // namespace

QString TLessonViews::HoverText(const TSequence& Sequence, int c, double X, double Y) const
{
    switch (shown_) {
    case TShown::RandomArea: return CellHoverText(Sequence, c, X, Y);
    case TShown::Histogram: return BinHoverText(Sequence, c, X);
    case TShown::Correlation: return PairHoverText(Sequence, X, Y);
    case TShown::None: break;
    }
    return {};
}

QString TLessonViews::CellHoverText(const TSequence& Sequence, int c, double X, double Y) const
{
    const TAreaGrid grid = TSequence::AreaGrid(c);
    const int column = static_cast<int>(std::floor(X)), row = static_cast<int>(std::floor(Y));
    if (column < 0 || column >= grid.Columns || row < 0 || row >= grid.Rows)
        return {};
    const int v = column + (grid.Rows - 1 - row) * grid.Columns;
    if (v >= c)
        return translate_(QStringLiteral("hover_cell_spare"), {N(c), N(c - 1)});
    for (int i = 1; i <= Sequence.SeriesLength(); ++i)
        if (Sequence.Value(i) == v)
            return translate_(QStringLiteral("hover_cell_hit"), {N(v), N(i)});
    return translate_(QStringLiteral("hover_cell_missed"), {N(v)});
}

QString TLessonViews::BinHoverText(const TSequence& Sequence, int c, double X) const
{
    const auto [count, width] = TSequence::HistogramBins(c);
    const int bin = static_cast<int>(std::floor(X / width)) + 1;
    if (bin < 1 || bin > count)
        return {};
    const std::vector<int> binOf = TSequence::BinsOfValues(c);
    const auto firstIn = std::find(binOf.begin(), binOf.end(), bin);
    const auto lastIn = std::find(binOf.rbegin(), binOf.rend(), bin);
    const int first = firstIn == binOf.end() ? -1 : int(firstIn - binOf.begin());
    const int last = lastIn == binOf.rend() ? -1 : int(binOf.rend() - lastIn) - 1;
    if (first < 0)
        return translate_(QStringLiteral("hover_bin_empty"), {N(bin)});
    return translate_(QStringLiteral("hover_bin"), {N(bin), N(first), N(last), N(Sequence.BinCount(bin))});
}

QString TLessonViews::PairHoverText(const TSequence& Sequence, double X, double Y) const
{
    const PixelPosition mouse = chart_.WorldToPixel(1, X, Y);
    int nearest = 0;
    double best = NearestPointRadius * NearestPointRadius + 0.5;
    for (int i = 1; i < Sequence.SeriesLength(); ++i) {
        const PixelPosition p = chart_.WorldToPixel(1, Sequence.Value(i), Sequence.Value(i + 1));
        const double dx = p.X - mouse.X, dy = p.Y - mouse.Y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
        }
    }
    if (nearest == 0)
        return {};
    return translate_(QStringLiteral("hover_pair"),
        {N(nearest), N(Sequence.Value(nearest)), N(nearest + 1), N(Sequence.Value(nearest + 1))});
}
