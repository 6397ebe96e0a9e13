#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Why a generator x' = (a + b*x) mod c behaves as it does, computed exactly for c = 1..1000: where the current
// series closes, how the c values split into cycles, whether it has the full period (Hull-Dobell), on how many
// lines its pairs lie, and how even its histogram is. Standard library only; every figure is a pure function.
namespace insight {

struct TGenerator {
    int a = 0;  // increment
    int b = 0;  // multiplier
    int c = 1;  // modulus, 1..1000
};

// The series x[1], x[2], ... of one seed: mu values lead into a cycle of lambda values, series length mu + lambda;
// x[mu + lambda + 1] == Closes, the value where the cycle closes.
struct TTailAndCycle {
    int Tail = 0;
    int Cycle = 0;
    int Closes = 0;
    int SeriesLength() const { return Tail + Cycle; }
};
TTailAndCycle TailAndCycleOf(const TGenerator& g, int x1);

// The cycles of the map over all c seeds, longest first; Seeds[k] counts the seeds that run into cycle k (its own
// values included). CycleOfValue[v] is the index of the cycle seed v runs into.
struct TSeedCycles {
    std::vector<int> Lengths;
    std::vector<int> Seeds;
    std::vector<int> CycleOfValue;
    int LongestTail = 0;
    int Count() const { return static_cast<int>(Lengths.size()); }
};
TSeedCycles CyclesOfAllSeeds(const TGenerator& g);

// Hull-Dobell: every seed gives the series length c exactly when gcd(a, c) = 1, every prime factor of c divides
// b - 1, and 4 divides b - 1 when 4 divides c.
struct TFullPeriod {
    std::vector<int> PrimeFactors;  // distinct, ascending
    int GcdAC = 1;
    int BMinus1 = 0;
    bool IncrementCoprime = true;
    std::optional<int> FailingPrime;  // the first prime factor of c that does not divide b - 1
    bool FourDividesC = false;
    bool FourDividesBMinus1 = true;  // checked only when four divides c
    bool Full = true;
    std::optional<int> NearestB;  // the b in 0..999 nearest to b that meets the conditions on b (the smaller on a tie)
    std::optional<int> NearestA;  // the a in 0..c-1 nearest to a with gcd(a, c) = 1, when a fails
    // a = 0 (c > 1): 0 maps to 0, so no cycle can hold all c values; the longest cycle that exists.
    int LongestCycle = 0;
};
TFullPeriod FullPeriodOf(const TGenerator& g);

// The pairs (x, x') lie on the lines s1*x + s2*y = s2*a (mod c) for every (s1, s2) with s1 + b*s2 = 0 (mod c).
struct TLineFamily {
    std::int64_t S1 = 0, S2 = 0;
    int Lines = 0;  // lines of the family that hold at least one of the series' pairs
};
struct TLattice {
    TLineFamily Shortest;  // the shortest such vector (Gauss-Lagrange), its lines counted over the series
    double Nu2 = 0;        // its length
    double Spacing = 0;    // distance between neighbouring lines of that family: c / nu2
    double Score = 0;      // nu2 / sqrt(2c / sqrt(3)); 1 is the best any lattice can be
    TLineFamily Fewest;    // the family that covers the series' pairs with the fewest lines
};
// Series: x[1..L] as the lesson builds it; the pairs are (x[i], x[i+1]) for i = 1..L-1.
TLattice LatticeOf(const TGenerator& g, const std::vector<int>& Series);
// The numbers k, ascending, of the family's lines s1*x + s2*y = s2*a + k*c that hold at least one pair.
std::vector<std::int64_t> LineNumbersOf(const TLineFamily& Family, const TGenerator& g, const std::vector<int>& Series);

// Chi-square of the histogram's bin counts against the counts expected when the series' values were spread over
// 0..c-1 evenly; each bin expects L times its share of the c values.
struct TUniformity {
    std::vector<double> Expected;  // per bin, 1-based as the lesson numbers bins (Expected[0] unused)
    double ChiSquare = 0;
    int DegreesOfFreedom = 0;
    double PValue = 1;
    bool TooEven = false;  // the series visits every value: no random series would be this even
};
TUniformity UniformityOf(int c, const std::vector<int>& Series);

// The probability that a chi-square variable with df degrees of freedom exceeds x.
double ChiSquareUpperTail(double x, int df);

// All of it for one generator and seed, as the insight panel shows it.
struct TInsight {
    std::vector<int> Series;
    TTailAndCycle Current;
    TSeedCycles Cycles;
    TFullPeriod Period;
    TLattice Lattice;
    TUniformity Uniformity;
};
TInsight Analyse(const TGenerator& g, int x1);

}  // namespace insight
