#include "app/USewella.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Sequence {
    TSewella generator{0, 11, 250, 1};
    TSequence state{generator};

    std::vector<int> Values(int count) const
    {
        std::vector<int> values;
        for (int i = 1; i <= count; ++i)
            values.push_back(state.Value(i));
        return values;
    }
};

TEST(Generator, ConstructionKeepsItsArgumentsAndNextValueFollowsTheRecurrence)
{
    TSewella generator(0, 11, 250, 1);
    EXPECT_EQ(generator.NextValue(), 11);
    EXPECT_EQ(generator.NextValue(), 121);
    EXPECT_EQ(generator.NextValue(), 81);
    EXPECT_EQ(generator.X(), 81);
}

TEST(Generator, LargestOperandsDoNotOverflow)
{
    TSewella generator(65535, 65535, 65535, 65534);
    // (65535 + 65535 * 65534) mod 65535 = 0
    EXPECT_EQ(generator.NextValue(), 0);
    TSewella nearMax(65535, 65535, 65534, 65535);
    // 65535 * 65536 mod 65534 = (1 * 2) mod 65534
    EXPECT_EQ(nearMax.NextValue(), 2);
}

TEST(Generator, SetParamsLeavesTheCurrentValue)
{
    TSewella generator(0, 11, 250, 7);
    generator.SetParams(1, 4, 17);
    EXPECT_EQ(generator.X(), 7);
    generator.SetSeed(5);
    EXPECT_EQ(generator.NextValue(), 4);
}

struct SeriesCase {
    const char* name;
    int a, b, c, x1;
    int length;
    std::vector<int> start;
};

TEST(BuildSequence, SeriesLengthsOfTheLessonExamples)
{
    const SeriesCase cases[] = {
        {"worked example", 1, 4, 7, 5, 3, {5, 0, 1, 5}},
        {"first step", 1, 4, 17, 5, 4, {5, 4, 0, 1, 5}},
        {"construction values", 0, 11, 250, 1, 25, {1, 11, 121, 81, 141}},
        {"histogram step", 20, 30, 932, 15, 118, {15}},
        {"correlation step", 20, 30, 906, 15, 151, {15}},
        {"full period", 1, 1, 1000, 0, 1000, {0, 1, 2, 3}},
        {"modulus one", 0, 0, 1, 0, 1, {0}},
        {"b equals c, seed differs from a", 3, 9, 9, 5, 2, {5, 3, 3}},
        {"b equals c, seed equals a", 3, 9, 9, 3, 1, {3, 3}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        Sequence s;
        s.state.BuildSequence(row.a, row.b, row.c, row.x1);
        EXPECT_EQ(s.state.SeriesLength(), row.length);
        EXPECT_EQ(s.Values(static_cast<int>(row.start.size())), row.start);
    }
}

TEST(BuildSequence, SeriesValuesAreDistinctAndTheNextOneRepeats)
{
    Sequence s;
    s.state.BuildSequence(20, 30, 932, 15);
    const int length = s.state.SeriesLength();
    std::vector<bool> seen(932);
    for (int i = 1; i <= length; ++i) {
        ASSERT_FALSE(seen[s.state.Value(i)]) << "value at " << i << " repeats";
        seen[s.state.Value(i)] = true;
    }
    EXPECT_TRUE(seen[s.state.Value(length + 1)]);
}

TEST(BuildSequence, ABuildDependsOnlyOnItsArguments)
{
    Sequence s;
    s.state.BuildSequence(1, 1, 1000, 0);
    s.state.BuildSequence(1, 4, 17, 5);
    EXPECT_EQ(s.state.SeriesLength(), 4);
    EXPECT_EQ(s.Values(5), (std::vector<int>{5, 4, 0, 1, 5}));
}

TEST(HistogramBins, CountAndWidthByModulus)
{
    const struct {
        int c, count;
    } rows[] = {{1, 3}, {5, 3}, {7, 3}, {8, 4}, {17, 8}, {59, 29}, {60, 30}, {1000, 30}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.c);
        const auto bins = TSequence::HistogramBins(row.c);
        EXPECT_EQ(bins.Count, row.count);
        EXPECT_DOUBLE_EQ(bins.Width, static_cast<double>(row.c) / row.count);
    }
}

TEST(CountBins, ValuesOnABoundaryBelongToTheLowerBin)
{
    // a = 1, b = 1, seed 0 visits 0, 1, 2, ... c - 1, one value each.
    Sequence s;
    s.state.BuildSequence(1, 1, 60, 0);
    EXPECT_EQ(s.state.CountBins(60), 3);
    EXPECT_EQ(s.state.BinCount(1), 3);   // 0, 1, 2
    EXPECT_EQ(s.state.BinCount(2), 2);   // 3, 4
    EXPECT_EQ(s.state.BinCount(29), 2);  // 57, 58
    EXPECT_EQ(s.state.BinCount(30), 1);  // 59
}

TEST(CountBins, ExactBoundaryProductDecidesThe64Case)
{
    // 15 * (64 / 30) rounds to exactly 32 in double, yet the exact product lies below 32.
    Sequence s;
    s.state.BuildSequence(32, 0, 64, 32);
    ASSERT_EQ(s.state.SeriesLength(), 1);
    s.state.CountBins(64);
    EXPECT_EQ(s.state.BinCount(16), 1);
    EXPECT_EQ(s.state.BinCount(15), 0);
}

TEST(CountBins, EveryValueIsCountedOnceAndCountsAreCleared)
{
    Sequence s;
    s.state.BuildSequence(1, 1, 1000, 0);
    s.state.CountBins(1000);
    s.state.BuildSequence(1, 4, 17, 5);
    const int largest = s.state.CountBins(17);
    int total = 0;
    for (int bin = 1; bin <= TSequence::MaxBins; ++bin)
        total += s.state.BinCount(bin);
    EXPECT_EQ(total, 4);
    EXPECT_EQ(largest, 2);
    // bins of width 17/8: 0 and 1 in bin 1, 4 in bin 2, 5 in bin 3
    EXPECT_EQ(s.state.BinCount(1), 2);
    EXPECT_EQ(s.state.BinCount(2), 1);
    EXPECT_EQ(s.state.BinCount(3), 1);
}

// Every value of every modulus lands in the bin whose boundaries, compared exactly one by one, enclose it.
TEST(CountBins, AgreesWithComparingEveryBoundaryForEveryModulus)
{
    Sequence s;
    for (int c = 1; c <= 1000; ++c) {
        s.state.BuildSequence(1, 1, c, 0);  // 0, 1, ..., c - 1
        ASSERT_EQ(s.state.SeriesLength(), c);
        s.state.CountBins(c);
        const auto [count, width] = TSequence::HistogramBins(c);
        std::vector<int> expected(static_cast<size_t>(count) + 1, 0);
        for (int v = 0; v < c; ++v) {
            int bin = 1;
            for (int j = 1; j <= count; ++j)
                if (std::fma(j, width, -static_cast<double>(v)) < 0)
                    ++bin;
            ++expected.at(static_cast<size_t>(bin));
        }
        for (int bin = 1; bin <= count; ++bin)
            ASSERT_EQ(s.state.BinCount(bin), expected[static_cast<size_t>(bin)]) << "c = " << c << ", bin " << bin;
    }
}

TEST(AreaGrid, NearSquareGridsOfTheExamples)
{
    const struct {
        int c, columns, rows;
    } rows[] = {
        {1, 1, 1}, {2, 2, 1}, {5, 3, 2}, {7, 3, 3}, {17, 5, 4}, {20, 5, 4}, {21, 5, 5}, {90, 10, 9}, {1000, 32, 32}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.c);
        const auto grid = TSequence::AreaGrid(row.c);
        EXPECT_EQ(grid.Columns, row.columns);
        EXPECT_EQ(grid.Rows, row.rows);
    }
}

TEST(AreaGrid, AlwaysHoldsEveryValue)
{
    for (int c = 1; c <= 1000; ++c) {
        const auto grid = TSequence::AreaGrid(c);
        ASSERT_GE(grid.Columns * grid.Rows, c) << "c = " << c;
    }
}

TEST(CellOf, ValuesRunLeftToRightFromTheTopRow)
{
    const auto grid = TSequence::AreaGrid(17);  // 5 x 4
    const struct {
        int v, column, row;
    } rows[] = {{0, 0, 3}, {4, 4, 3}, {5, 0, 2}, {16, 1, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.v);
        const auto cell = TSequence::CellOf(row.v, grid.Columns, grid.Rows);
        EXPECT_EQ(cell.Column, row.column);
        EXPECT_EQ(cell.Row, row.row);
    }
}

}  // namespace

TEST(Sequence, BinsOfAllValuesAgreeWithTheBinOfEachValue)
{
    for (int c = 1; c <= 1000; ++c) {
        const std::vector<int> bins = TSequence::BinsOfValues(c);
        for (int v = 0; v < c; ++v)
            ASSERT_EQ(bins[std::size_t(v)], TSequence::BinOfValue(v, c)) << c << ' ' << v;
    }
}
