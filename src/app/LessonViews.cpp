#include "app/LessonViews.h"

#include "app/USewella.h"
#include "chart/Quarn_rchart.h"

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

TLessonViews::TLessonViews(TRChart& Chart, std::function<QString(const QString&)> Translate)
    : chart(Chart), translate(std::move(Translate))
{
}

void TLessonViews::BeginView()
{
    chart.SetUpdateSuspended(true);
    chart.ClearItems();
}

void TLessonViews::EndView()
{
    chart.ShowItems();
    chart.SetUpdateSuspended(false);
}

void TLessonViews::SetScales(double XHigh, double YHigh, bool Visible)
{
    chart.Scale1X()->SetRangeHigh(XHigh);
    chart.Scale1Y()->SetRangeHigh(YHigh);
    chart.Scale1X()->SetVisible(Visible);
    chart.Scale1Y()->SetVisible(Visible);
}

void TLessonViews::ShowRandomArea(const TSequence& Sequence, int c)
{
    const auto [columns, rows] = TSequence::AreaGrid(c);
    const bool small = c <= SmallGridLimit;
    BeginView();
    chart.SetGridStyle(small ? gsDotLines : gsNone);
    const auto addCell = [&](int v) {
        const TGridCell cell = TSequence::CellOf(v, columns, rows);
        chart.AddRectangle(cell.Column, cell.Row, cell.Column + 1, cell.Row + 1);
    };
    chart.SetFillColor(HitCellColor);
    for (int i = 1; i <= Sequence.SeriesLength(); ++i)
        addCell(Sequence.Value(i));
    chart.SetFillColor(SpareCellColor);
    for (int v = c; v < columns * rows; ++v)
        addCell(v);
    if (small) {
        for (int v = 0; v < c; ++v) {
            const TGridCell cell = TSequence::CellOf(v, columns, rows);
            chart.AddText(CellNumberSize, QString::number(v), cell.Column + 0.5, cell.Row + 0.5);
        }
    }
    SetScales(columns, rows, false);
    chart.Scale1X()->SetCaption({});
    chart.Scale1Y()->SetCaption({});
    EndView();
}

void TLessonViews::ShowHistogram(TSequence& Sequence, int c)
{
    const auto [count, width] = TSequence::HistogramBins(c);
    const int largest = Sequence.CountBins(c);
    BeginView();
    chart.Scale1Y()->SetRangeHigh(largest + 0.5);
    chart.Scale1X()->SetRangeHigh(count * width);
    chart.SetGridStyle(gsNone);
    chart.SetFillColor(BarColor);
    for (int k = 1; k <= count; ++k)
        chart.AddRectangle((k - 1) * width, 0, k * width, Sequence.BinCount(k));
    chart.Scale1X()->SetLabelType(ftNum);
    chart.Scale1Y()->SetLabelType(ftNum);
    chart.Scale1X()->SetCaption({});
    chart.Scale1Y()->SetCaption({});
    chart.Scale1X()->SetVisible(true);
    chart.Scale1Y()->SetVisible(true);
    EndView();
}

void TLessonViews::ShowCorrelation(const TSequence& Sequence, int c)
{
    BeginView();
    chart.SetGridStyle(gsNone);
    chart.SetDataColor(MarkColor);
    for (int i = 1; i < Sequence.SeriesLength(); ++i)
        chart.AddMark(PlusMark, Sequence.Value(i), Sequence.Value(i + 1));
    SetScales(c + 0.1, c + 0.1, true);
    chart.SetDataColor(OutlineColor);
    chart.Scale1X()->SetLabelType(ftNum);
    chart.Scale1Y()->SetLabelType(ftNum);
    chart.Scale1X()->SetCaption(translate(QStringLiteral("Precursor (x)")));
    chart.Scale1Y()->SetCaption(translate(QStringLiteral("Successor (y)")));
    EndView();
}
