#include "app/GeneratorInsight.h"

#include "app/USewella.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace insight;

namespace {

int Next(const TGenerator& g, int x)
{
    return int((std::int64_t(g.a) + std::int64_t(g.b) * x) % g.c);
}

// The series of one seed up to the first repeat, and the index where the repeated value first stood.
struct Walk {
    std::vector<int> Values;
    int RepeatAt;  // 0-based
};
Walk WalkFrom(const TGenerator& g, int x)
{
    Walk w;
    for (;; x = Next(g, x)) {
        const auto seen = std::find(w.Values.begin(), w.Values.end(), x);
        if (seen != w.Values.end()) {
            w.RepeatAt = int(seen - w.Values.begin());
            return w;
        }
        w.Values.push_back(x);
    }
}

// Every generator with c up to MaxC, a below c and b up to c + 1 (b above c acts as b mod c).
template <typename Check> void ForSmallGenerators(int maxC, Check check)
{
    for (int c = 1; c <= maxC; ++c)
        for (int a = 0; a < c; ++a)
            for (int b = 0; b <= c + 1; ++b)
                check(TGenerator{a, b, c});
}

}  // namespace

TEST(GeneratorInsight, TailAndCycleOfEverySeedMatchTheWalk)
{
    ForSmallGenerators(14, [](const TGenerator& g) {
        for (int x1 = 0; x1 < g.c; ++x1) {
            const Walk w = WalkFrom(g, x1);
            const TTailAndCycle t = TailAndCycleOf(g, x1);
            ASSERT_EQ(t.SeriesLength(), int(w.Values.size())) << g.a << ' ' << g.b << ' ' << g.c << ' ' << x1;
            ASSERT_EQ(t.Tail, w.RepeatAt);
            ASSERT_EQ(t.Closes, w.Values[std::size_t(w.RepeatAt)]);
        }
    });
}

TEST(GeneratorInsight, CyclesOfAllSeedsMatchTheWalks)
{
    ForSmallGenerators(14, [](const TGenerator& g) {
        std::map<int, int> cycleSeeds;  // smallest value of a cycle -> seeds running into it
        std::map<int, int> cycleLength;
        int longestTail = 0;
        for (int x1 = 0; x1 < g.c; ++x1) {
            const Walk w = WalkFrom(g, x1);
            const int key = *std::min_element(w.Values.begin() + w.RepeatAt, w.Values.end());
            ++cycleSeeds[key];
            cycleLength[key] = int(w.Values.size()) - w.RepeatAt;
            longestTail = std::max(longestTail, w.RepeatAt);
        }
        const TSeedCycles s = CyclesOfAllSeeds(g);
        ASSERT_EQ(s.Count(), int(cycleSeeds.size())) << g.a << ' ' << g.b << ' ' << g.c;
        ASSERT_EQ(s.LongestTail, longestTail);
        ASSERT_TRUE(std::is_sorted(s.Lengths.rbegin(), s.Lengths.rend()));
        for (const auto& [key, seeds] : cycleSeeds) {
            const auto k = std::size_t(s.CycleOfValue[std::size_t(key)]);
            ASSERT_EQ(s.Lengths[k], cycleLength[key]);
            ASSERT_EQ(s.Seeds[k], seeds);
        }
    });
}

TEST(GeneratorInsight, FullPeriodHoldsExactlyWhenEverySeedGivesLengthC)
{
    ForSmallGenerators(24, [](const TGenerator& g) {
        bool everySeed = true;
        for (int x1 = 0; x1 < g.c && everySeed; ++x1)
            everySeed = TailAndCycleOf(g, x1).SeriesLength() == g.c;
        const TFullPeriod f = FullPeriodOf(g);
        ASSERT_EQ(f.Full, everySeed) << g.a << ' ' << g.b << ' ' << g.c;
        if (f.Full)
            return;
        // the suggested fix gives the full period, and no nearer b does
        const TGenerator fixed{f.NearestA.value_or(g.a), *f.NearestB, g.c};
        ASSERT_TRUE(FullPeriodOf(fixed).Full) << g.a << ' ' << g.b << ' ' << g.c;
        const int distance = std::abs(*f.NearestB - g.b);
        for (int b = std::max(0, g.b - distance + 1); b < g.b + distance; ++b)
            ASSERT_FALSE(FullPeriodOf({fixed.a, b, g.c}).Full) << g.a << ' ' << b << ' ' << g.c;
    });
}

TEST(GeneratorInsight, FullPeriodNamesTheFailingCondition)
{
    struct Row {
        TGenerator G;
        std::vector<int> Primes;
        int Gcd;
        std::optional<int> FailingPrime;
        bool FourFails;
        int LongestCycle;
    };
    const Row rows[] = {
        {{7, 281, 1000}, {2, 5}, 1, std::nullopt, false, 0},
        {{7, 11, 1000}, {2, 5}, 1, std::nullopt, true, 0},
        {{5, 21, 1000}, {2, 5}, 5, std::nullopt, false, 0},
        {{20, 30, 906}, {2, 3, 151}, 2, 2, false, 0},
        {{0, 7, 997}, {997}, 997, 997, false, 996},  // 7 generates the units mod 997; 0 stays 0
        {{0, 5, 997}, {997}, 997, 997, false, 332},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.G.c);
        const TFullPeriod f = FullPeriodOf(r.G);
        EXPECT_EQ(f.PrimeFactors, r.Primes);
        EXPECT_EQ(f.GcdAC, r.Gcd);
        EXPECT_EQ(f.FailingPrime, r.FailingPrime);
        EXPECT_EQ(f.FourDividesC && !f.FourDividesBMinus1, r.FourFails);
        EXPECT_EQ(f.LongestCycle, r.LongestCycle);
    }
}

TEST(GeneratorInsight, LatticeVectorIsTheShortestAndItsLinesHoldEveryPair)
{
    for (const TGenerator g : {TGenerator{1, 4, 7}, {3, 13, 64}, {7, 21, 100}, {20, 30, 151}, {0, 17, 97}, {0, 2, 64},
             {5, 0, 50}, {0, 0, 1}}) {
        SCOPED_TRACE(g.c);
        const Walk w = WalkFrom(g, 1 % g.c);
        const TLattice l = LatticeOf(g, w.Values);
        std::int64_t shortest = std::int64_t(g.c) * g.c;
        int fewest = int(w.Values.size());
        for (std::int64_t s2 = 0; s2 <= g.c; ++s2)
            for (std::int64_t s1 = -g.c; s1 <= g.c; ++s1) {
                if ((s1 + g.b * s2) % g.c != 0 || (s1 == 0 && s2 == 0))
                    continue;
                shortest = std::min(shortest, s1 * s1 + s2 * s2);
                std::set<std::int64_t> lines;
                for (std::size_t i = 0; i + 1 < w.Values.size(); ++i) {
                    const std::int64_t k = s1 * w.Values[i] + s2 * w.Values[i + 1] - s2 * g.a;
                    ASSERT_EQ(k % g.c, 0);
                    lines.insert(k / g.c);
                }
                fewest = std::min(fewest, int(lines.size()));
            }
        EXPECT_EQ(l.Shortest.S1 * l.Shortest.S1 + l.Shortest.S2 * l.Shortest.S2, shortest);
        EXPECT_DOUBLE_EQ(l.Nu2 * l.Nu2, double(shortest));
        EXPECT_NEAR(l.Spacing * l.Nu2, g.c, 1e-9);
        EXPECT_LE(l.Score, 1.0);
        EXPECT_EQ(l.Fewest.Lines, fewest);
        const std::vector<std::int64_t> numbers = LineNumbersOf(l.Fewest, g, w.Values);
        EXPECT_EQ(int(numbers.size()), l.Fewest.Lines);
        EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    }
}

TEST(GeneratorInsight, UniformityExpectsEachBinItsShareOfTheValues)
{
    // c = 64 has 30 bins of width 64/30: bins hold 2 or 3 integers
    const TGenerator g{1, 5, 64};
    const Walk w = WalkFrom(g, 0);
    const TUniformity u = UniformityOf(g.c, w.Values);
    ASSERT_EQ(int(w.Values.size()), 64);
    double expectedSum = 0;
    for (int k = 1; k <= 30; ++k) {
        int values = 0;  // the lesson's own histogram rule
        for (int v = 0; v < 64; ++v)
            values += TSequence::BinOfValue(v, 64) == k ? 1 : 0;
        EXPECT_DOUBLE_EQ(u.Expected[std::size_t(k)], values) << k;
        expectedSum += u.Expected[std::size_t(k)];
    }
    EXPECT_DOUBLE_EQ(expectedSum, 64.0);
    EXPECT_NEAR(u.ChiSquare, 0, 1e-12);  // every value once: each bin counts exactly what it expects
    EXPECT_EQ(u.DegreesOfFreedom, 29);
    EXPECT_TRUE(u.TooEven);

    const std::vector<int> clustered(20, 3);  // twenty times the value 3, all in bin 2
    const TUniformity c = UniformityOf(64, clustered);
    EXPECT_FALSE(c.TooEven);
    EXPECT_GT(c.ChiSquare, 500);
    EXPECT_LT(c.PValue, 1e-6);
}

TEST(GeneratorInsight, ChiSquareTailMatchesTableValues)
{
    struct Row {
        double X;
        int Df;
        double P;
    };
    // critical values of the chi-square distribution
    for (const Row r : {Row{3.841, 1, 0.05}, {6.635, 1, 0.01}, {18.307, 10, 0.05}, {42.557, 29, 0.05},
             {14.256, 29, 0.99}, {0.0, 5, 1.0}, {124.342, 100, 0.05}})
        EXPECT_NEAR(ChiSquareUpperTail(r.X, r.Df), r.P, 5e-4) << r.X << ' ' << r.Df;
}
