#include "LessonWindowFixture.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "app/LessonViews.h"

namespace {

std::vector<ChartItem> ItemsOfKind(const TRChart& Chart, TChartItemKind Kind)
{
    std::vector<ChartItem> found;
    const ChartItemList& list = Chart.Items();
    for (int i = 0; i < list.Count; ++i)
        if (list.Items[static_cast<size_t>(i)].Kind == Kind)
            found.push_back(list.Items[static_cast<size_t>(i)]);
    return found;
}

// The values whose cells are drawn in Fill, read back from the cell corners of a columns x rows grid.
std::set<int> CellValues(const TRChart& Chart, TColor Fill, int Columns, int Rows)
{
    std::set<int> values;
    for (const ChartItem& cell : ItemsOfKind(Chart, TChartItemKind::Rectangle)) {
        if (cell.FillColor != Fill)
            continue;
        EXPECT_EQ(cell.x2 - cell.x1, 1);
        EXPECT_EQ(cell.y2 - cell.y1, 1);
        EXPECT_EQ(cell.Color, clBlack) << "cells have black outlines";
        values.insert(static_cast<int>(cell.x1) + (Rows - 1 - static_cast<int>(cell.y1)) * Columns);
    }
    return values;
}

}  // namespace

struct RandomAreaCase {
    int C;
    int Columns, Rows;
    std::set<int> Hits;
    std::set<int> Spare;
    bool Small;
};

TEST_F(LessonWindow, RandomAreaCellsGridAndNumbers)
{
    const RandomAreaCase cases[] = {
        {17, 5, 4, {5, 4, 0, 1}, {17, 18, 19}, true},
        {21, 5, 5, {}, {21, 22, 23, 24}, false},
        {90, 10, 9, {}, {}, false},
        {1, 1, 1, {0}, {}, true},
    };
    GoToFreeStep();
    Form.TabControl1->TabBar()->setCurrentIndex(0);
    for (const RandomAreaCase& row : cases) {
        SCOPED_TRACE(row.C);
        // c = 17 is step 8's picture; the others come from the free step with a = 1, b = 4, x[1] = 5 (narrowed)
        SetParameters(1, 4, row.C, 5);
        const int paints = Paints;
        Form.ShowView();
        EXPECT_EQ(Paints, paints + 1);
        std::set<int> hits;
        for (int i = 1; i <= Form.Lesson().SeriesLength(); ++i)
            hits.insert(Form.Lesson().Sequence().Value(i));
        if (!row.Hits.empty()) {
            EXPECT_EQ(hits, row.Hits);
        }
        EXPECT_EQ(CellValues(*Form.RChart1, TLessonViews::HitCellColor, row.Columns, row.Rows), hits);
        EXPECT_EQ(CellValues(*Form.RChart1, TLessonViews::SpareCellColor, row.Columns, row.Rows), row.Spare);
        EXPECT_EQ(Form.RChart1->GridStyle(), row.Small ? gsDotLines : gsNone);
        EXPECT_EQ(Form.RChart1->Scale1X()->RangeHigh(), row.Columns);
        EXPECT_EQ(Form.RChart1->Scale1Y()->RangeHigh(), row.Rows);
        EXPECT_FALSE(Form.RChart1->Scale1X()->Visible());
        EXPECT_FALSE(Form.RChart1->Scale1Y()->Visible());
        EXPECT_TRUE(Form.RChart1->Scale1X()->Caption().isEmpty());

        const std::vector<ChartItem> numbers = ItemsOfKind(*Form.RChart1, TChartItemKind::Text);
        ASSERT_EQ(numbers.size(), row.Small ? static_cast<size_t>(row.C) : 0u);
        for (int v = 0; v < static_cast<int>(numbers.size()); ++v) {
            EXPECT_EQ(std::string(Form.RChart1->Items().TextOf(numbers[v])), std::to_string(v));
            EXPECT_EQ(numbers[v].Size, 8);
            EXPECT_EQ(numbers[v].x1, v % row.Columns + 0.5);
            EXPECT_EQ(numbers[v].y1, row.Rows - 1 - v / row.Columns + 0.5) << "value 0 is the top-left cell";
        }
    }
}

TEST_F(LessonWindow, StepEightShowsTheRandomAreaOfTheWorkedExample)
{
    ClickNext(7);
    EXPECT_EQ(Form.TabControl1->TabIndex(), 0);
    EXPECT_EQ(CellValues(*Form.RChart1, TLessonViews::HitCellColor, 5, 4), std::set<int>({0, 1, 4, 5}));
    EXPECT_EQ(ItemsOfKind(*Form.RChart1, TChartItemKind::Text).size(), 17u);
}

TEST_F(LessonWindow, HistogramBarsCoverTheSeries)
{
    const struct {
        int A, B, C, X;
        int Bars;
    } cases[] = {{20, 30, 932, 15, 30}, {1, 2, 5, 0, 3}};
    GoToFreeStep();
    for (const auto& row : cases) {
        SCOPED_TRACE(row.C);
        Form.TabControl1->TabBar()->setCurrentIndex(0);
        SetParameters(row.A, row.B, row.C, row.X);
        Form.TabControl1->TabBar()->setCurrentIndex(1);
        const std::vector<ChartItem> bars = ItemsOfKind(*Form.RChart1, TChartItemKind::Rectangle);
        ASSERT_EQ(static_cast<int>(bars.size()), row.Bars);
        const double width = static_cast<double>(row.C) / row.Bars;
        int total = 0;
        int largest = 0;
        for (int k = 0; k < row.Bars; ++k) {
            EXPECT_DOUBLE_EQ(bars[k].x1, k * width);
            EXPECT_DOUBLE_EQ(bars[k].x2, (k + 1) * width);
            EXPECT_EQ(bars[k].y1, 0);
            EXPECT_EQ(bars[k].FillColor, TLessonViews::BarColor);
            total += static_cast<int>(bars[k].y2);
            largest = std::max(largest, static_cast<int>(bars[k].y2));
        }
        EXPECT_EQ(total, Form.Lesson().SeriesLength());
        EXPECT_EQ(Form.RChart1->Scale1Y()->RangeHigh(), largest + 0.5);
        EXPECT_NEAR(Form.RChart1->Scale1X()->RangeHigh(), row.C, 1e-9);
        EXPECT_EQ(Form.RChart1->GridStyle(), gsNone);
        // coming from the random area, whose scales are hidden
        EXPECT_TRUE(Form.RChart1->Scale1X()->Visible());
        EXPECT_TRUE(Form.RChart1->Scale1Y()->Visible());
    }
    EXPECT_EQ(Form.Lesson().SeriesLength(), 4) << "0, 1, 3, 2";
}

TEST_F(LessonWindow, StepTenShowsTheHistogramOf118Values)
{
    ClickNext(9);
    const std::vector<ChartItem> bars = ItemsOfKind(*Form.RChart1, TChartItemKind::Rectangle);
    ASSERT_EQ(bars.size(), 30u);
    EXPECT_DOUBLE_EQ(bars[1].x1, 932.0 / 30);
    int total = 0;
    for (const ChartItem& bar : bars)
        total += static_cast<int>(bar.y2);
    EXPECT_EQ(total, 118);
}

TEST_F(LessonWindow, CorrelationMarksEachValueAgainstItsSuccessor)
{
    LoadDictionary("[Precursor (x)]=Vorgänger (x)|$$\r\n");
    const struct {
        int A, B, C, X;
        int Marks;
    } cases[] = {{0, 0, 1, 0, 0}, {1, 0, 2, 0, 1}, {20, 30, 906, 15, 150}};
    GoToFreeStep();
    for (const auto& row : cases) {
        SCOPED_TRACE(row.C);
        SetParameters(row.A, row.B, row.C, row.X);
        Form.TabControl1->TabBar()->setCurrentIndex(2);
        ASSERT_EQ(Form.Lesson().SeriesLength(), row.Marks + 1);
        const std::vector<ChartItem> marks = ItemsOfKind(*Form.RChart1, TChartItemKind::Mark);
        ASSERT_EQ(static_cast<int>(marks.size()), row.Marks);
        for (int i = 0; i < row.Marks; ++i) {
            EXPECT_EQ(marks[i].x1, Form.Lesson().Sequence().Value(i + 1));
            EXPECT_EQ(marks[i].y1, Form.Lesson().Sequence().Value(i + 2));
            EXPECT_EQ(marks[i].MarkKind, 2);
            EXPECT_EQ(marks[i].Color, TLessonViews::MarkColor);
        }
        EXPECT_DOUBLE_EQ(Form.RChart1->Scale1X()->RangeHigh(), row.C + 0.1);
        EXPECT_DOUBLE_EQ(Form.RChart1->Scale1Y()->RangeHigh(), row.C + 0.1);
        EXPECT_EQ(Form.RChart1->Scale1X()->Caption(), QString::fromUtf8("Vorgänger (x)"));
        EXPECT_EQ(Form.RChart1->Scale1Y()->Caption(), "Successor (y)") << "a missing key shows itself";
        EXPECT_TRUE(Form.RChart1->Scale1Y()->Visible());
        EXPECT_EQ(Form.RChart1->DataColor(), clBlack) << "the next view draws black outlines again";
        Form.TabControl1->TabBar()->setCurrentIndex(0);
    }
    // the random area drawn after the correlation graph keeps black outlines
    EXPECT_FALSE(CellValues(*Form.RChart1, TLessonViews::HitCellColor, 31, 30).empty());
}
