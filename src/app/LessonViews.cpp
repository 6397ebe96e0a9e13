#include "app/LessonViews.h"

#include <algorithm>
#include <vector>

#include "app/USewella.h"
#include "chart/Quarn_rchart.h"

namespace {

// Every scale setting makes the chart recompute all its layers' transforms; a view that keeps a setting skips
// that work (a slider step mostly changes only the items).
void SetRangeHigh(TScaleProps& Scale, double Value)
{
    if (Scale.RangeHigh() != Value)
        Scale.SetRangeHigh(Value);
}

void SetVisible(TScaleProps& Scale, bool Value)
{
    if (Scale.Visible() != Value)
        Scale.SetVisible(Value);
}

void SetLabelType(TScaleProps& Scale, TFigType Value)
{
    if (Scale.LabelType() != Value)
        Scale.SetLabelType(Value);
}

void SetCaption(TScaleProps& Scale, const QString& Value)
{
    if (Scale.Caption() != Value)
        Scale.SetCaption(Value);
}

}  // namespace

void SetUpLessonChart(TRChart& Chart)
{
    Chart.SetAutoRedraw(false);
    Chart.SetAllocSize(1000);
    Chart.SetMarginLeft(46);
    Chart.SetMarginRight(30);
    Chart.SetMarginTop(20);
    Chart.SetMarginBottom(40);
    Chart.SetGridColor(clSilver);
    Chart.SetGridDx(1);
    Chart.SetGridDy(1);
    Chart.SetChartColor(clWhite);
    Chart.SetDataColor(clBlack);
    Chart.SetTextAlignment(taCenter);
    Chart.SetTextBkStyle(tbClear);
    for (TScaleProps* scale :
        {static_cast<TScaleProps*>(Chart.Scale1X()), static_cast<TScaleProps*>(Chart.Scale1Y())}) {
        scale->SetLabelType(ftNum);
        scale->SetMinTicks(3);
        scale->SetDecPlaces(-2);
    }
    Chart.Scale1X()->SetCaptionAnchor(uaSclCenter);
    Chart.Scale1X()->SetCaptionAlignment(taCenter);
    Chart.Scale1Y()->SetCaptionAnchor(uaSclTopLft);
    for (int layer = 2; layer <= 4; ++layer) {
        Chart.ScaleX(layer)->SetVisible(false);
        Chart.ScaleY(layer)->SetVisible(false);
    }
}

TLessonViews::TLessonViews(TRChart& Chart, TTranslate Translate) : chart_(Chart), translate_(std::move(Translate))
{
    chart_.OnBeforeRenderData = [this](QObject*, TCanvas*& Canvas, int, int) {
        if (overlays_.Lines && shown_ == TShown::Correlation)
            DrawLatticeLines(*Canvas);
    };
    chart_.OnDataRendered = [this](QObject*, TCanvas*& Canvas, int, int) {
        if (overlays_.ExpectedCounts && shown_ == TShown::Histogram)
            DrawExpectedCounts(*Canvas);
    };
}

void TLessonViews::Describe(const QString& Key, const QStringList& Args)
{
    chart_.setAccessibleDescription(translate_(Key, Args));
}

void TLessonViews::BeginView()
{
    chart_.SetUpdateSuspended(true);
    chart_.ClearItems();
}

void TLessonViews::EndView()
{
    chart_.ShowItems();
    chart_.SetUpdateSuspended(false);
}

void TLessonViews::SetScales(double XHigh, double YHigh, bool Visible)
{
    SetRangeHigh(*chart_.Scale1X(), XHigh);
    SetRangeHigh(*chart_.Scale1Y(), YHigh);
    SetVisible(*chart_.Scale1X(), Visible);
    SetVisible(*chart_.Scale1Y(), Visible);
}

void TLessonViews::ShowRandomArea(const TSequence& Sequence, int c)
{
    const TAreaGrid grid = TSequence::AreaGrid(c);
    const int columns = grid.Columns;
    const int rows = grid.Rows;
    const bool small = c <= SmallGridLimit;
    shown_ = TShown::RandomArea;
    BeginView();
    chart_.SetGridStyle(small ? gsDotLines : gsNone);
    const auto addCell = [&](int v) {
        const TGridCell cell = TSequence::CellOf(v, columns, rows);
        chart_.AddRectangle(cell.Column, cell.Row, cell.Column + 1, cell.Row + 1);
    };
    chart_.SetFillColor(HitCellColor);
    for (int i = 1; i <= Sequence.SeriesLength(); ++i)
        addCell(Sequence.Value(i));
    chart_.SetFillColor(SpareCellColor);
    for (int v = c; v < columns * rows; ++v)
        addCell(v);
    if (small) {
        for (int v = 0; v < c; ++v) {
            const TGridCell cell = TSequence::CellOf(v, columns, rows);
            chart_.AddText(CellNumberSize, QString::number(v), cell.Column + 0.5, cell.Row + 0.5);
        }
    }
    SetScales(columns, rows, false);
    SetCaption(*chart_.Scale1X(), {});
    SetCaption(*chart_.Scale1Y(), {});
    EndView();
    DescribeRandomArea(Sequence, c);
}

void TLessonViews::DescribeRandomArea(const TSequence& Sequence, int c)
{
    const int hits = Sequence.SeriesLength();
    const QStringList numbers{QString::number(c), QString::number(hits)};
    if (hits > ListedHitsLimit) {
        Describe(QStringLiteral("Random area: <%1%> cells, the series hits <%2%>"), numbers);
        return;
    }
    std::vector<int> values;
    for (int i = 1; i <= hits; ++i)
        values.push_back(Sequence.Value(i));
    std::sort(values.begin(), values.end());
    QStringList listed;
    for (const int v : values)
        listed.append(QString::number(v));
    Describe(QStringLiteral("Random area: <%1%> cells, the series hits <%2%>: <%3%>"),
        numbers + QStringList{listed.join(QStringLiteral(", "))});
}

void TLessonViews::ShowHistogram(TSequence& Sequence, int c)
{
    const auto [count, width] = TSequence::HistogramBins(c);
    const int largest = Sequence.CountBins(c);
    shown_ = TShown::Histogram;
    binWidth_ = width;
    BeginView();
    SetRangeHigh(*chart_.Scale1Y(), std::max<double>(largest, LargestExpected()) + 0.5);
    SetRangeHigh(*chart_.Scale1X(), count * width);
    chart_.SetGridStyle(gsNone);
    chart_.SetFillColor(BarColor);
    for (int k = 1; k <= count; ++k)
        chart_.AddRectangle((k - 1) * width, 0, k * width, Sequence.BinCount(k));
    SetLabelType(*chart_.Scale1X(), ftNum);
    SetLabelType(*chart_.Scale1Y(), ftNum);
    SetCaption(*chart_.Scale1X(), {});
    SetCaption(*chart_.Scale1Y(), {});
    SetVisible(*chart_.Scale1X(), true);
    SetVisible(*chart_.Scale1Y(), true);
    EndView();
    Describe(QStringLiteral("Histogram: <%1%> bins, largest count <%2%>"),
        {QString::number(count), QString::number(largest)});
}

void TLessonViews::ShowCorrelation(const TSequence& Sequence, int c)
{
    shown_ = TShown::Correlation;
    BeginView();
    chart_.SetGridStyle(gsNone);
    chart_.SetDataColor(MarkColor);
    for (int i = 1; i < Sequence.SeriesLength(); ++i)
        chart_.AddMark(PlusMark, Sequence.Value(i), Sequence.Value(i + 1));
    SetScales(c + 0.1, c + 0.1, true);
    chart_.SetDataColor(OutlineColor);
    SetLabelType(*chart_.Scale1X(), ftNum);
    SetLabelType(*chart_.Scale1Y(), ftNum);
    SetCaption(*chart_.Scale1X(), translate_(QStringLiteral("Precursor (x)"), {}));
    SetCaption(*chart_.Scale1Y(), translate_(QStringLiteral("Successor (y)"), {}));
    EndView();
    Describe(QStringLiteral("Correlation graph: <%1%> points"), {QString::number(Sequence.SeriesLength() - 1)});
}
