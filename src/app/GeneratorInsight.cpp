#include "app/GeneratorInsight.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

#include "app/USewella.h"

namespace insight {

namespace {

int Step(const TGenerator& g, int x)
{
    return static_cast<int>((static_cast<std::int64_t>(g.a) + static_cast<std::int64_t>(g.b) * x) % g.c);
}

int Seed(const TGenerator& g, int x1)
{
    return ((x1 % g.c) + g.c) % g.c;
}

std::vector<int> DistinctPrimes(int n)
{
    std::vector<int> primes;
    for (int p = 2; p * p <= n; ++p) {
        if (n % p != 0)
            continue;
        primes.push_back(p);
        while (n % p == 0)
            n /= p;
    }
    if (n > 1)
        primes.push_back(n);
    return primes;
}

bool MeetsConditionsOnB(const TFullPeriod& f, int b)
{
    const int bMinus1 = b - 1;
    for (int p : f.PrimeFactors)
        if (bMinus1 % p != 0)
            return false;
    return !f.FourDividesC || bMinus1 % 4 == 0;
}

// The value in [low, high] nearest to from that passes, the smaller one on a tie.
template <typename Pass> std::optional<int> Nearest(int from, int low, int high, Pass pass)
{
    for (int d = 0; d <= high - low; ++d) {
        if (from - d >= low && from - d <= high && pass(from - d))
            return from - d;
        if (from + d >= low && from + d <= high && pass(from + d))
            return from + d;
    }
    return std::nullopt;
}

struct Vec {
    std::int64_t X, Y;
    std::int64_t Norm2() const { return X * X + Y * Y; }
};

// Gauss-Lagrange reduction in integers: the first vector of the reduced basis is a shortest nonzero vector.
Vec ShortestOf(Vec u, Vec v)
{
    if (u.Norm2() > v.Norm2())
        std::swap(u, v);
    for (;;) {
        const std::int64_t dot = u.X * v.X + u.Y * v.Y, n = u.Norm2();
        // the integer nearest to dot / n, rounding halves toward zero keeps the loop finite
        const std::int64_t q = dot >= 0 ? (2 * dot + n - 1) / (2 * n) : -((-2 * dot + n - 1) / (2 * n));
        v = {v.X - q * u.X, v.Y - q * u.Y};
        if (v.Norm2() >= u.Norm2())
            return u;
        std::swap(u, v);
    }
}

// Counts the lines of a family that hold at least one pair of the series, stopping at a limit: the families
// that cannot beat the best one so far are given up after a few pairs.
class LineCounter {
public:
    LineCounter(const TGenerator& g, const std::vector<int>& series) : a_(g.a), stamp_(std::size_t(6 * g.c + 8), 0)
    {
        // each pair in units of c: a line's number is then s1*x + s2*y - s2*a, a whole number
        for (std::size_t i = 0; i + 1 < series.size(); ++i)
            pairs_.push_back({double(series[i]) / g.c, double(series[i + 1]) / g.c});
        a_ /= g.c;
    }

    int Count(std::int64_t s1, std::int64_t s2, int limit)
    {
        ++generation_;
        // the line numbers lie within [-(|s1| + 2|s2|), |s1| + 2|s2|] as x, y and a lie below c; moved up by that
        // and by a half, they truncate to themselves (they are below 2^12, far above the rounding of the units)
        const double d1 = double(s1), d2 = double(s2);
        const double shift = double(std::abs(s1) + 2 * std::abs(s2)) + 0.5 - d2 * a_;
        int lines = 0;
        for (std::size_t i = 0; i < pairs_.size() && lines < limit; ++i) {
            int& seen = stamp_[static_cast<std::size_t>(d1 * pairs_[i].X + d2 * pairs_[i].Y + shift)];
            if (seen != generation_) {
                seen = generation_;
                ++lines;
            }
        }
        return lines;
    }

private:
    struct Pair {
        double X, Y;
    };
    std::vector<Pair> pairs_;
    double a_;
    std::vector<int> stamp_;  // the generation that last saw each line
    int generation_ = 0;
};

// The largest step of a primitive direction whose lines could still hold the pairs in fewer than `lines` lines:
// such a line meets the square [0, c)^2 in at most ceil(c / step) integer points.
std::int64_t LargestUsefulStep(std::int64_t c, std::int64_t pairs, int lines)
{
    std::int64_t step = 0;
    while (step < c) {
        const std::int64_t perLine = (c + step) / (step + 1);
        if ((pairs + perLine - 1) / perLine >= lines)
            break;
        ++step;
    }
    return step;
}

// Among the families s2 = 0..c, s1 in [-c, c] (the opposite vector is the same family), the one whose lines
// hold the pairs with the fewest lines; a tie keeps the earlier one.
TLineFamily FewestLines(const TGenerator& g, LineCounter& counter, TLineFamily best, int pairs)
{
    const std::int64_t c = g.c, b = g.b % g.c;
    std::int64_t useful = LargestUsefulStep(c, pairs, best.Lines);
    for (std::int64_t s2 = 0; s2 <= c && useful > 0; ++s2) {
        const std::int64_t r = ((-b * s2) % c + c) % c;
        for (const std::int64_t s1 : {r - c, r, r + c}) {
            if (s1 > c || (s1 == 0 && s2 == 0))
                continue;
            const std::int64_t longer = std::max(std::abs(s1), s2), shorter = std::min(std::abs(s1), s2);
            if (longer > useful && (shorter == 0 ? longer : shorter) * useful < longer)
                continue;  // the common divisor is at most the shorter component: the step stays too large
            const std::int64_t common = std::gcd(std::abs(s1), s2);
            // a multiple of a vector that is itself a family numbers the same lines k times over: same count
            if (longer / common > useful || (common > 1 && (s1 / common + b * (s2 / common)) % c == 0))
                continue;
            const int lines = counter.Count(s1, s2, best.Lines);
            if (lines < best.Lines) {
                best = {s1, s2, lines};
                useful = LargestUsefulStep(c, pairs, best.Lines);
            }
        }
    }
    return best;
}

// Upper regularised incomplete gamma Q(s, x): a series below s + 1, a continued fraction above.
double UpperGamma(double s, double x)
{
    if (x <= 0)
        return 1;
    const double logPrefix = s * std::log(x) - x - std::lgamma(s);
    if (x < s + 1) {
        double term = 1 / s, sum = term;
        for (int n = 1; n < 1000 && std::fabs(term) > std::fabs(sum) * 1e-15; ++n) {
            term *= x / (s + n);
            sum += term;
        }
        return std::clamp(1 - sum * std::exp(logPrefix), 0.0, 1.0);
    }
    constexpr double Tiny = 1e-300;
    double b = x + 1 - s, c = 1 / Tiny, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - s);
        b += 2;
        d = an * d + b;
        d = std::fabs(d) < Tiny ? Tiny : d;
        c = b + an / c;
        c = std::fabs(c) < Tiny ? Tiny : c;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < 1e-15)
            break;
    }
    return std::clamp(std::exp(logPrefix) * h, 0.0, 1.0);
}

}  // namespace

TTailAndCycle TailAndCycleOf(const TGenerator& g, int x1)
{
    std::vector<int> position(std::size_t(g.c), 0);  // 1-based index of each value's first visit
    int x = Seed(g, x1);
    for (int i = 1;; ++i) {
        if (position[std::size_t(x)] != 0) {
            const int first = position[std::size_t(x)];
            return {first - 1, i - first, x};
        }
        position[std::size_t(x)] = i;
        x = Step(g, x);
    }
}

TSeedCycles CyclesOfAllSeeds(const TGenerator& g)
{
    const auto n = std::size_t(g.c);
    constexpr int Unknown = -1;
    std::vector<int> cycleOf(n, Unknown), tailOf(n, 0), walkMark(n, Unknown);
    std::vector<int> lengths, path;
    for (int start = 0; start < g.c; ++start) {
        if (cycleOf[std::size_t(start)] != Unknown)
            continue;
        path.clear();
        int x = start;
        while (cycleOf[std::size_t(x)] == Unknown && walkMark[std::size_t(x)] != start) {
            walkMark[std::size_t(x)] = start;
            path.push_back(x);
            x = Step(g, x);
        }
        std::size_t tailEnd = path.size();
        if (cycleOf[std::size_t(x)] == Unknown) {
            // the walk met itself: the values from x on form a new cycle
            tailEnd = std::size_t(std::find(path.begin(), path.end(), x) - path.begin());
            const int index = static_cast<int>(lengths.size());
            lengths.push_back(static_cast<int>(path.size() - tailEnd));
            for (std::size_t i = tailEnd; i < path.size(); ++i)
                cycleOf[std::size_t(path[i])] = index;
        }
        for (std::size_t i = tailEnd; i-- > 0;) {
            const int next = Step(g, path[i]);
            cycleOf[std::size_t(path[i])] = cycleOf[std::size_t(next)];
            tailOf[std::size_t(path[i])] = tailOf[std::size_t(next)] + 1;
        }
    }
    // longest first, so that the panel names the longest cycles
    std::vector<int> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int l, int r) { return lengths[l] > lengths[r]; });
    std::vector<int> rank(lengths.size());
    TSeedCycles result;
    for (std::size_t k = 0; k < order.size(); ++k) {
        rank[std::size_t(order[k])] = static_cast<int>(k);
        result.Lengths.push_back(lengths[std::size_t(order[k])]);
    }
    result.Seeds.assign(lengths.size(), 0);
    result.CycleOfValue.resize(n);
    for (std::size_t v = 0; v < n; ++v) {
        result.CycleOfValue[v] = rank[std::size_t(cycleOf[v])];
        ++result.Seeds[std::size_t(result.CycleOfValue[v])];
        result.LongestTail = std::max(result.LongestTail, tailOf[v]);
    }
    return result;
}

TFullPeriod FullPeriodOf(const TGenerator& g)
{
    TFullPeriod f;
    f.PrimeFactors = DistinctPrimes(g.c);
    f.GcdAC = std::gcd(g.a, g.c);
    f.BMinus1 = g.b - 1;
    f.IncrementCoprime = f.GcdAC == 1;
    for (int p : f.PrimeFactors)
        if (f.BMinus1 % p != 0) {
            f.FailingPrime = p;
            break;
        }
    f.FourDividesC = g.c % 4 == 0;
    f.FourDividesBMinus1 = f.BMinus1 % 4 == 0;
    f.Full = f.IncrementCoprime && MeetsConditionsOnB(f, g.b);
    if (g.a % g.c == 0 && g.c > 1)
        f.LongestCycle = CyclesOfAllSeeds(g).Lengths.front();
    if (!f.Full) {
        f.NearestB = Nearest(g.b, 0, 999, [&](int b) { return MeetsConditionsOnB(f, b); });
        if (!f.IncrementCoprime)
            f.NearestA = Nearest(g.a, 0, g.c - 1, [&](int a) { return std::gcd(a, g.c) == 1; });
    }
    return f;
}

TLattice LatticeOf(const TGenerator& g, const std::vector<int>& Series)
{
    TLattice l;
    const Vec s = ShortestOf({g.c, 0}, {-(g.b % g.c), 1});
    const bool flip = s.Y < 0 || (s.Y == 0 && s.X < 0);  // one sign for the same family of lines
    l.Shortest = {flip ? -s.X : s.X, flip ? -s.Y : s.Y, 0};
    LineCounter counter(g, Series);
    l.Shortest.Lines = counter.Count(l.Shortest.S1, l.Shortest.S2, std::numeric_limits<int>::max());
    l.Nu2 = std::sqrt(static_cast<double>(s.Norm2()));
    l.Spacing = g.c / l.Nu2;
    l.Score = l.Nu2 / std::sqrt(2 * g.c / std::sqrt(3.0));
    l.Fewest = FewestLines(g, counter, l.Shortest, Series.empty() ? 0 : int(Series.size()) - 1);
    return l;
}

std::vector<std::int64_t> LineNumbersOf(const TLineFamily& Family, const TGenerator& g, const std::vector<int>& Series)
{
    std::vector<std::int64_t> numbers;
    for (std::size_t i = 0; i + 1 < Series.size(); ++i)
        numbers.push_back((Family.S1 * Series[i] + Family.S2 * (Series[i + 1] - g.a)) / g.c);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

double ChiSquareUpperTail(double x, int df)
{
    return df <= 0 ? 1.0 : UpperGamma(df / 2.0, x / 2);
}

TUniformity UniformityOf(int c, const std::vector<int>& Series)
{
    const int bins = TSequence::HistogramBins(c).Count;
    std::vector<int> valuesIn(std::size_t(bins) + 1, 0), counts(std::size_t(bins) + 1, 0);
    const std::vector<int> binOf = TSequence::BinsOfValues(c);
    for (int bin : binOf)
        ++valuesIn[std::size_t(bin)];
    for (int x : Series)
        ++counts[std::size_t(binOf[std::size_t(x)])];
    TUniformity u;
    u.Expected.assign(std::size_t(bins) + 1, 0);
    const double length = static_cast<double>(Series.size());
    int used = 0;
    for (std::size_t k = 1; k <= std::size_t(bins); ++k) {
        u.Expected[k] = length * valuesIn[k] / c;
        if (valuesIn[k] == 0)
            continue;  // a bin no value can reach expects nothing and counts nothing
        ++used;
        const double d = counts[k] - u.Expected[k];
        u.ChiSquare += d * d / u.Expected[k];
    }
    u.DegreesOfFreedom = std::max(used - 1, 0);
    u.PValue = ChiSquareUpperTail(u.ChiSquare, u.DegreesOfFreedom);
    u.TooEven = c > 1 && static_cast<int>(Series.size()) == c;
    return u;
}

TInsight Analyse(const TGenerator& g, int x1)
{
    TInsight r;
    r.Current = TailAndCycleOf(g, x1);
    r.Series.reserve(std::size_t(r.Current.SeriesLength()));
    for (int i = 0, x = Seed(g, x1); i < r.Current.SeriesLength(); ++i, x = Step(g, x))
        r.Series.push_back(x);
    r.Cycles = CyclesOfAllSeeds(g);
    r.Period = FullPeriodOf(g);
    r.Lattice = LatticeOf(g, r.Series);
    r.Uniformity = UniformityOf(g.c, r.Series);
    return r;
}

}  // namespace insight
