// Tick rules of numeric scales: linear steps of 1, 2 or 5 times a power of ten, and logarithmic
// decades with their intermediate ticks.

#include <algorithm>
#include <cmath>
#include <optional>

#include "scale/Rounding.h"
#include "scale/TickWalk.h"

namespace {

// Bounds of the logarithmic walk are widened by one part in 10^9, so that a
// tick summed or multiplied a few units of the last place past a bound still counts as on it.
constexpr double kJustBelowOne = 1.0 - 1e-9;
static_assert(kJustBelowOne == 0.999999999);

// Number labels are cut to 14 characters: "0." and the twelve decimals a scale allows.
constexpr qsizetype kMaxNumberLabelLength = 14;

// A tick nearer to zero than this fraction of the range's width is labelled as zero.
constexpr double kZeroFraction = 1e-14;
// Up to this width zero is labelled with the label's decimals; beyond, as "0" or "0.0".
constexpr double kWidestDecimalZero = 100000;

// A tick within this fraction of a step beyond either end of a numeric range is still on it.
constexpr double kStepSlack = 0.001;

// The logarithm of a step is taken as whole when its fraction lies this close to 0 or 1.
constexpr double kLogFractionSlack = 1e-10;

// Numeric labels switch to the exponent form for ranges at least this wide or at most this narrow.
constexpr double kExponentFromWidth = 1000000;
constexpr double kExponentUpToWidth = 0.0001;

// User texts replace a numeric label; otherwise the inscript goes around it.
QString UserOrInscribedLabel(const TickSettings& s, const QString& label, int n)
{
    if (s.labelType == ftUserText)
        return UserTickItem(s.userTickText, n);
    return ApplyInscript(label, s.inscript);
}

QString NumericLabel(const TickSettings& s, double v, int decimals, int n)
{
    QString label;
    const double width = s.high - s.low;
    if (std::fabs(v / width) < kZeroFraction) {
        if (std::fabs(width) <= kWidestDecimalZero)
            label = FormatTickNumber(0.0, decimals);
        else
            label = decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.0");
    } else {
        label = FormatTickNumber(v, decimals);
    }
    label.truncate(kMaxNumberLabelLength);
    return UserOrInscribedLabel(s, label, n);
}

void StripTrailingZeros(QString& label)
{
    if (!label.contains(QLatin1Char('.')) || label.contains(QLatin1Char('e')) || label.contains(QLatin1Char('E')))
        return;
    while (label.endsWith(QLatin1Char('0')))
        label.chop(1);
    if (label.endsWith(QLatin1Char('.')))
        label.chop(1);
}

// The label of a labelled logarithmic tick `multiplier` × 10^decade, before user texts and
// inscripts: the decade's exponent alone (-3, and then only at a decade's start) or the number.
QString LogNumberLabel(const TickSettings& s, double v, int multiplier, int decade, int decimals)
{
    if (s.decPlaces == -3)
        return multiplier == 1 ? QString::number(decade) : QString();
    QString label = FormatTickNumber(v, decimals);
    label.truncate(kMaxNumberLabelLength);
    if (s.decPlaces == -2)
        StripTrailingZeros(label);
    return label;
}

struct StepMantissa {
    double value;
    int sub;
};

// e is the fractional part of the logarithm of the raw step, in 0..1.
StepMantissa MantissaOf(double e)
{
    if (e < std::log10(2.0) + kLogFractionSlack)
        return {1, 5};
    if (e < std::log10(5.0) + kLogFractionSlack)
        return {2, 4};
    return {5, 5};
}

// The first multiple of step not before `low` by more than a thousandth of a step; none when
// the step cannot move values this large or the walk leaves the finite numbers.
std::optional<double> FirstMultipleFrom(double low, double step)
{
    const double dir = step > 0 ? 1.0 : -1.0;
    double first = (std::trunc(low / step) - 1.0) * step;
    for (int guard = 0; dir * (low - first) > kStepSlack * std::fabs(step); ++guard) {
        const double next = first + step;
        if (next == first || guard >= kMaxVisits || !std::isfinite(next))
            return std::nullopt;
        first = next;
    }
    if (!std::isfinite(first))
        return std::nullopt;
    return first;
}

}  // namespace

TickStep ChooseTickStep(int minTicks, double high, double low)
{
    TickStep result;
    if (high == low) {
        result.first = low;
        return result;
    }
    const double width = std::fabs(high - low);
    if (!std::isfinite(width) || minTicks < 1) {
        result.ok = false;
        return result;
    }
    double d = std::log10(width / minTicks);
    double e = d - std::trunc(d);
    if (std::fabs(e) < kLogFractionSlack || std::fabs(e) > 1.0 - kLogFractionSlack) {
        d = RoundHalfEven(d);
        e = 0.0;
    }
    if (d < 0 && e != 0)
        d -= 1.0;
    if (e < 0)
        e += 1.0;
    const StepMantissa mantissa = MantissaOf(e);
    const long double power = std::exp(std::log(10.0L) *
        (static_cast<long double>(std::trunc(d)) + std::log10(static_cast<long double>(mantissa.value))));
    result.step = (low < high ? 1.0 : -1.0) * static_cast<double>(power);
    result.sub = mantissa.sub;
    const std::optional<double> first = FirstMultipleFrom(low, result.step);
    result.ok = first.has_value();
    if (first)
        result.first = *first;
    return result;
}

int AutoDecimals(int decPlaces, double high, double low)
{
    if (decPlaces != -2 && decPlaces != -3)
        return decPlaces;
    const double w = std::fabs(high - low);
    if (w >= kExponentFromWidth || w <= kExponentUpToWidth)
        return -1;
    if (w >= 100)
        return 0;
    return 2 - static_cast<int>(RoundHalfEven(std::log(w) / 2.5));
}

int AutoLogDecimals(int decPlaces, double high, double low)
{
    if (decPlaces != -2)
        return decPlaces;
    const double lo = std::min(high, low);
    const double hi = std::max(high, low);
    if (hi - lo >= kExponentFromWidth || hi - lo <= kExponentUpToWidth)
        return -1;
    if (lo >= 1)
        return 0;
    return 1 - static_cast<int>(RoundHalfEven(std::log10(std::fabs(lo))));
}

void LinearWalk(const TickSettings& s, TickCollector& sink)
{
    const TickStep ts = ChooseTickStep(s.minTicks, s.high, s.low);
    if (!ts.ok || ts.step == 0.0)
        return;
    const double step = ts.step;
    const double first = ts.first;
    const double minor = step / ts.sub;
    if (first + minor == first)
        return;
    const double dir = s.high > s.low ? 1.0 : -1.0;

    if (s.shortTicks) {
        for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
            const double v = first - step + j * minor;
            if (dir * s.low <= dir * v) {
                ScaleTick t;
                t.value = v;
                t.length = TickLength::Short;
                sink(t);
            }
            if (!(dir * (first - step + (j + 1) * minor - s.high) <= kStepSlack * std::fabs(minor)))
                break;
        }
    }
    const int decimals = AutoDecimals(s.decPlaces, s.high, s.low);
    for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
        ScaleTick t;
        t.value = first + j * step;
        t.recorded = s.vertical || !s.shortTicks;
        t.eventBeforeLabel = s.vertical;
        if (s.labelType != ftNoFigs) {
            t.labelled = true;
            t.label = NumericLabel(s, t.value, decimals, j + 1);
        }
        sink(t);
        if (!(dir * (first + (j + 1) * step - s.high) <= kStepSlack * std::fabs(step)))
            break;
    }
}

void LogWalk(const TickSettings& s, TickCollector& sink)
{
    if (!(s.low > 0 && s.high > 0) || !std::isfinite(s.low) || !std::isfinite(s.high))
        return;
    const double ratio = s.high / s.low;
    const double decades = std::isfinite(ratio) && ratio > 0 ? std::fabs(std::log10(ratio))
                                                             : std::fabs(std::log10(s.high) - std::log10(s.low));
    if (decades < 1) {
        LinearWalk(s, sink);
        return;
    }
    const double lo = std::min(s.low, s.high);
    const double hi = std::max(s.low, s.high);
    const int decimals = AutoLogDecimals(s.decPlaces, s.high, s.low);
    int decade = static_cast<int>(std::floor(std::log10(lo * kJustBelowOne)));
    const double base = std::pow(10.0, decade);
    const bool intermediates = s.minTicks > decades + 0.5;
    int labelled = 0;

    auto visit = [&](double v, int multiplier, bool isMain, bool drawn) {
        if (!(lo < v / kJustBelowOne && hi > v * kJustBelowOne))
            return;
        ScaleTick t;
        t.value = v;
        t.drawn = drawn;
        t.eventBeforeLabel = true;
        t.length = isMain || s.vertical ? TickLength::Main : TickLength::Short;
        if (isMain && s.labelType != ftNoFigs) {
            t.labelled = true;
            t.label = UserOrInscribedLabel(s, LogNumberLabel(s, v, multiplier, decade, decimals), ++labelled);
        }
        sink(t);
    };

    double m = 1.0;
    for (int guard = 0; guard < kMaxVisits && !sink.Spent(); ++guard) {
        const double decadeValue = base * m;
        visit(decadeValue, 1, true, true);
        if (intermediates) {
            for (int i = 2; i <= 9; ++i) {
                if (i == 2 || i == 5)
                    visit(i * decadeValue, i, true, true);
                else if (s.shortTicks)
                    visit(i * decadeValue, i, false, true);
                else if (!s.vertical)
                    visit(i * decadeValue, i, false, false);
            }
        }
        m *= 10.0;
        ++decade;
        if (!(hi >= kJustBelowOne * base * m))
            break;
    }
}
