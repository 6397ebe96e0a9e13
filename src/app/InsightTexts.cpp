#include "app/InsightTexts.h"

#include <map>

namespace {

using namespace insight;

const QString Tick = QStringLiteral("\u2713 ");
const QString Cross = QStringLiteral("\u2717 ");
// A text longer than this shows its first values only; the panel is for reading, not for scrolling.
constexpr int ListedValuesLimit = 60;

QString N(std::int64_t Value)
{
    return QString::number(Value);
}

QString Fixed(double Value, int Decimals, const QString& Point)
{
    return QString::number(Value, 'f', Decimals).replace(QLatin1Char('.'), Point);
}

QString Listed(const std::vector<int>& Values, std::size_t From, std::size_t To)
{
    QStringList listed;
    for (std::size_t i = From; i < To && listed.size() < ListedValuesLimit; ++i)
        listed.append(N(Values[i]));
    if (To - From > std::size_t(ListedValuesLimit))
        listed.append(QStringLiteral("\u2026"));
    return listed.join(QStringLiteral(", "));
}

class TWriter {
public:
    TWriter(const TInsight& Insight, const TGenerator& g, int x1, const TInsightTranslate& Translate)
        : in_(Insight), g_(g), x1_(x1), tr_(Translate), point_(Translate(QStringLiteral("insight_decimal_point"), {}))
    {
        // a dictionary without the key shows decimals as the program writes them
        if (point_ == QLatin1String("insight_decimal_point") || point_.isEmpty())
            point_ = QStringLiteral(".");
    }

    QString Series() const
    {
        const TTailAndCycle& s = in_.Current;
        const QString length = s.Tail == 0
            ? tr_(QStringLiteral("insight_series_no_tail"), {N(s.SeriesLength())})
            : tr_(QStringLiteral("insight_series"), {N(s.SeriesLength()), N(s.Tail), N(s.Cycle)});
        return length + QLatin1Char(' ') +
            tr_(QStringLiteral("insight_closes"), {N(s.SeriesLength() + 1), N(s.Closes), N(s.Tail + 1)});
    }

    QString SeriesValues() const
    {
        const TTailAndCycle& s = in_.Current;
        const std::size_t tail = std::size_t(s.Tail), length = std::size_t(s.SeriesLength());
        QStringList lines;
        if (tail > 0)
            lines.append(tr_(QStringLiteral("insight_tail_values"), {N(s.Tail), Listed(in_.Series, 0, tail)}));
        lines.append(tr_(QStringLiteral("insight_cycle_values"),
            {N(s.Tail + 1), N(s.SeriesLength()), Listed(in_.Series, tail, length), N(s.Closes)}));
        return lines.join(QLatin1Char('\n'));
    }

    QStringList Conditions() const
    {
        if (g_.c == 1)
            return {};
        const TFullPeriod& f = in_.Period;
        QStringList factors;
        for (const int p : f.PrimeFactors)
            factors.append(N(p));
        const QString primes = factors.join(QStringLiteral(", "));
        QStringList lines;
        lines.append(f.IncrementCoprime
                ? Tick + tr_(QStringLiteral("insight_gcd_ok"), {N(g_.a), N(g_.c)})
                : Cross + tr_(QStringLiteral("insight_gcd_fails"), {N(g_.a), N(g_.c), N(f.GcdAC)}));
        lines.append(f.FailingPrime ? Cross +
                    tr_(QStringLiteral("insight_prime_fails"), {N(*f.FailingPrime), N(g_.c), primes, N(f.BMinus1)})
                                    : Tick + tr_(QStringLiteral("insight_primes_ok"), {N(g_.c), primes, N(f.BMinus1)}));
        if (!f.FourDividesC)
            lines.append(Tick + tr_(QStringLiteral("insight_four_not_needed"), {N(g_.c)}));
        else if (f.FourDividesBMinus1)
            lines.append(Tick + tr_(QStringLiteral("insight_four_ok"), {N(g_.c), N(f.BMinus1)}));
        else
            lines.append(Cross + tr_(QStringLiteral("insight_four_fails"), {N(g_.c), N(f.BMinus1)}));
        return lines;
    }

    QString Verdict() const
    {
        const TFullPeriod& f = in_.Period;
        if (g_.c == 1)
            return tr_(QStringLiteral("insight_c_is_one"), {});
        if (f.Full)
            return tr_(QStringLiteral("insight_full"), {N(g_.c)});
        const int longest = in_.Cycles.Lengths.empty() ? 0 : in_.Cycles.Lengths.front();
        const QString why = g_.a == 0 ? tr_(QStringLiteral("insight_no_increment"), {N(g_.c), N(f.LongestCycle)})
                                      : tr_(QStringLiteral("insight_not_full"), {N(longest), N(g_.c)});
        return why + QLatin1Char(' ') + Fix();
    }

    QString Cycles() const
    {
        const TSeedCycles& cycles = in_.Cycles;
        QString text;
        if (cycles.Count() == 1) {
            text = tr_(QStringLiteral("insight_cycles_one"), {N(g_.c), N(cycles.Lengths.front())});
        } else {
            const std::size_t mine = std::size_t(cycles.CycleOfValue[std::size_t(x1_ % g_.c)]);
            text = tr_(QStringLiteral("insight_cycles_many"),
                {N(g_.c), N(cycles.Count()), Lengths(), N(cycles.Lengths[mine]), N(cycles.Seeds[mine])});
        }
        if (cycles.LongestTail > 0)
            text += QLatin1Char(' ') + tr_(QStringLiteral("insight_longest_tail"), {N(cycles.LongestTail)});
        return text;
    }

    QString Lines() const
    {
        const int points = int(in_.Series.size()) - 1;
        if (points < 1)
            return tr_(QStringLiteral("insight_no_pairs"), {});
        const TLattice& l = in_.Lattice;
        const std::int64_t offset = ((l.Fewest.S2 * g_.a) % g_.c + g_.c) % g_.c;
        return tr_(QStringLiteral("insight_lines"),
                   {N(points), N(l.Fewest.Lines), N(l.Fewest.S1), N(l.Fewest.S2), N(offset), N(g_.c)}) +
            QLatin1Char(' ') +
            tr_(QStringLiteral("insight_lattice"),
                {N(l.Shortest.S1), N(l.Shortest.S2), Fixed(l.Nu2, 2, point_), Fixed(l.Spacing, 1, point_), N(g_.c)}) +
            QLatin1Char(' ') + tr_(QStringLiteral("insight_score"), {Fixed(l.Score, 2, point_), ScoreReading()}) +
            Part();
    }

    QString Uniformity() const
    {
        const TUniformity& u = in_.Uniformity;
        if (u.DegreesOfFreedom == 0)
            return tr_(QStringLiteral("insight_one_bin"), {});
        return tr_(QStringLiteral("insight_chi_square"),
                   {Fixed(u.ChiSquare, 2, point_), N(u.DegreesOfFreedom), P(u.PValue)}) +
            QLatin1Char(' ') + tr_(UniformityReading(), {});
    }

private:
    QString Fix() const
    {
        const TFullPeriod& f = in_.Period;
        const bool changeB = f.NearestB && *f.NearestB != g_.b;
        if (changeB && f.NearestA)
            return tr_(QStringLiteral("insight_fix_ab"), {N(*f.NearestB), N(*f.NearestA)});
        if (changeB)
            return tr_(QStringLiteral("insight_fix_b"), {N(*f.NearestB)});
        if (f.NearestA)
            return tr_(QStringLiteral("insight_fix_a"), {N(*f.NearestA)});
        return {};
    }

    // "250 (2x), 1 (4x)": each length once, longest first, with how many cycles have it.
    QString Lengths() const
    {
        std::map<int, int, std::greater<>> times;
        for (const int length : in_.Cycles.Lengths)
            ++times[length];
        QStringList listed;
        for (const auto& [length, count] : times)
            listed.append(count == 1 ? N(length) : QStringLiteral("%1 (%2\u00d7)").arg(length).arg(count));
        return listed.join(QStringLiteral(", "));
    }

    // A series that misses values shows only part of the lattice, often on far fewer lines.
    QString Part() const
    {
        const int length = int(in_.Series.size());
        if (length >= g_.c)
            return {};
        return QLatin1Char(' ') + tr_(QStringLiteral("insight_part_of_lattice"), {N(length), N(g_.c)});
    }

    QString P(double Value) const
    {
        return Value < 0.0001 ? QStringLiteral("< ") + Fixed(0.0001, 4, point_) : Fixed(Value, 4, point_);
    }

    QString ScoreReading() const
    {
        const double score = in_.Lattice.Score;
        if (score >= 0.75)
            return tr_(QStringLiteral("insight_score_good"), {});
        return tr_(score >= 0.4 ? QStringLiteral("insight_score_fair") : QStringLiteral("insight_score_poor"), {});
    }

    QString UniformityReading() const
    {
        const TUniformity& u = in_.Uniformity;
        if (u.TooEven)
            return QStringLiteral("insight_too_even");
        if (u.PValue < 0.01)
            return QStringLiteral("insight_uneven");
        if (u.PValue > 0.99)
            return QStringLiteral("insight_suspicious");
        return QStringLiteral("insight_uniform");
    }

    const TInsight& in_;
    const TGenerator& g_;
    int x1_;
    const TInsightTranslate& tr_;
    QString point_;  // the decimal sign of the dictionary's language
};

}  // namespace

TInsightTexts InsightTextsOf(
    const insight::TInsight& Insight, const insight::TGenerator& g, int x1, const TInsightTranslate& Translate)
{
    const TWriter w(Insight, g, x1, Translate);
    return {w.Series(), w.SeriesValues(), w.Conditions(), w.Verdict(), w.Cycles(), w.Lines(), w.Uniformity()};
}
