#include "app/USewella.h"

#include <algorithm>
#include <cmath>

TSewella::TSewella(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t x) : a_(a), b_(b), c_(c), x_(x)
{
}

void TSewella::SetParams(std::uint16_t newA, std::uint16_t newB, std::uint16_t newC)
{
    a_ = newA;
    b_ = newB;
    c_ = newC;
}

void TSewella::SetSeed(std::uint16_t newX)
{
    x_ = newX;
}

std::uint16_t TSewella::NextValue()
{
    // 65535 * 65535 + 65535 is below 2^32, so the product is exact in 32 bits.
    const std::uint32_t t = std::uint32_t{b_} * x_ + a_;
    x_ = static_cast<std::uint16_t>(t % c_);
    return x_;
}

TSequence::TSequence(TSewella& generator) : generator_(generator)
{
}

void TSequence::BuildSequence(int a, int b, int c, int x1)
{
    seen_.fill(0);
    generator_.SetParams(static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(c));
    generator_.SetSeed(static_cast<std::uint16_t>(x1));
    sequence_[1] = static_cast<std::uint16_t>(x1);
    seen_[x1] = 1;
    int length = 1;
    for (int i = 2; i <= c; ++i) {
        const std::uint16_t v = generator_.NextValue();
        sequence_[i] = v;
        if (seen_[v])
            break;
        seen_[v] = 1;
        length = i;
    }
    seriesLength_ = static_cast<std::uint16_t>(length);
}

THistogramBins TSequence::HistogramBins(int c)
{
    const int count = c >= 60 ? MaxBins : std::max(c / 2, 3);
    return {count, static_cast<double>(c) / count};
}

// The bin of v: one more than the number of boundaries j*w (j = 1..count) below v. The boundary j*w must not
// be rounded: for c = 64, 15*w lies just below 32. The fused multiply-add gives the sign of j*w - v exactly;
// the quotient only tells where to start looking.
static int BinOf(double v, int count, double width)
{
    int below = std::clamp(static_cast<int>(v / width), 0, count);
    while (below < count && std::fma(below + 1, width, -v) < 0)
        ++below;
    while (below > 0 && !(std::fma(below, width, -v) < 0))
        --below;
    return below + 1;
}

int TSequence::BinOfValue(int v, int c)
{
    const auto [count, width] = HistogramBins(c);
    return BinOf(static_cast<double>(v), count, width);
}

std::vector<int> TSequence::BinsOfValues(int c)
{
    // the same boundaries as BinOf, passed once in ascending order
    const auto [count, width] = HistogramBins(c);
    std::vector<int> bins(static_cast<std::size_t>(c));
    int below = 0;
    for (int v = 0; v < c; ++v) {
        while (below < count && std::fma(below + 1, width, -v) < 0)
            ++below;
        bins[static_cast<std::size_t>(v)] = below + 1;
    }
    return bins;
}

int TSequence::CountBins(int c)
{
    const auto [count, width] = HistogramBins(c);
    std::fill(binCounts_.begin(), binCounts_.end(), 0);
    int largest = 0;
    for (int i = 1; i <= seriesLength_; ++i) {
        const double v = sequence_[i];
        largest = std::max(largest, static_cast<int>(++binCounts_[BinOf(v, count, width)]));
    }
    return largest;
}

TAreaGrid TSequence::AreaGrid(int c)
{
    const int columns = static_cast<int>(std::sqrt(static_cast<double>(c - 1))) + 1;
    const int rows = c - 1 >= (columns - 1) * columns ? columns : columns - 1;
    return {columns, rows};
}

TGridCell TSequence::CellOf(int v, int columns, int rows)
{
    return {v % columns, rows - 1 - v / columns};
}

TBoundedValue::TBoundedValue(int min, int max, int value) : min_(min), max_(max), value_(value)
{
    Set(value);
}

void TBoundedValue::Set(int v)
{
    value_ = std::clamp(v, min_, std::max(min_, max_));
}

void TBoundedValue::SetMax(int newMax)
{
    max_ = newMax;
    Set(value_);
}

namespace {

constexpr TEnabled NoneEnabled{false, false, false, false, false};
constexpr TEnabled OnlySeed{false, false, false, true, false};
constexpr TEnabled AllEnabled{true, true, true, true, true};
constexpr const char* Recurrence = "x[i]=(a+b*x[i-1]) mod c";

// clang-format off
const std::array<TProg, TLesson::StepCount + 1> StepTable{{
    {},
    { 1,  4,  17,  5,  0, "x[i]=(a+b*x[i-1])mod c", nullptr, nullptr, 1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "a=1; b=4; c=7; x[1]=5", "5", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "x[2]=(1+4*5) mod 7=0", "5, 0", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "x[3]=(1+4*0) mod 7=1", "5, 0, 1", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "x[4]=(1+4*1) mod 7=5", "5, 0, 1, 5", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "x[5]=(1+4*5) mod 7=0", "5, 0, 1, 5, 0", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, Recurrence, "x[6]=(1+4*0) mod 7=1", "5, 0, 1, 5, 0, 1,...", -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, nullptr, nullptr, nullptr, 2, NoneEnabled},
    {-1, -1,  -1, -1, -1, nullptr, nullptr, nullptr, -1, OnlySeed},
    {20, 30, 932, 15,  1, nullptr, nullptr, nullptr, -1, NoneEnabled},
    {-1, -1,  -1, -1,  0, nullptr, nullptr, nullptr, -1, NoneEnabled},
    {20, 30, 906, 15,  2, nullptr, nullptr, nullptr, -1, NoneEnabled},
    {-1, -1,  -1, -1, -1, nullptr, nullptr, nullptr, -1, AllEnabled},
}};
// clang-format on

std::string LineText(const char* line)
{
    return line ? line : "";
}

}  // namespace

const std::array<TProg, TLesson::StepCount + 1>& TLesson::Steps()
{
    return StepTable;
}

TLesson::TLesson()
{
    GotoStep(1);
}

void TLesson::GotoStep(int n)
{
    const TProg& r = StepTable.at(static_cast<std::size_t>(std::clamp(n, 1, StepCount)));
    currentStep_ = std::clamp(n, 1, StepCount);
    resetAllowed_ = currentStep_ != 1;
    nextAllowed_ = currentStep_ != StepCount;
    if (r.layout == 1)
        layout_ = TLayout::Text;
    else if (r.layout == 2)
        layout_ = TLayout::Chart;
    lines_ = {LineText(r.line1), LineText(r.line2), LineText(r.line3)};
    if (r.tab >= 0)
        selectedView_ = static_cast<TView>(r.tab);
    if (r.c >= 0) {
        c_.Set(r.c);
        a_.SetMax(c_.Value() - 1);
        x1_.SetMax(c_.Value() - 1);
    }
    if (r.a >= 0)
        a_.Set(r.a);
    if (r.b >= 0) {
        // after a user's c narrowed b, the step's own b must still be reachable
        if (r.b > b_.Max())
            b_.SetMax(r.b);
        b_.Set(r.b);
    }
    if (r.x1 >= 0)
        x1_.Set(r.x1);
    enabled_ = r.enabled;
    memoKey_ = "memo_" + std::to_string(currentStep_);
    UpdateText();
    Recalculate();
}

bool TLesson::Next()
{
    if (!nextAllowed_)
        return false;
    GotoStep(currentStep_ + 1);
    return true;
}

bool TLesson::Reset()
{
    if (!resetAllowed_)
        return false;
    GotoStep(1);
    return true;
}

void TLesson::SetA(int v)
{
    a_.Set(v);
    UpdateText();
    Recalculate();
}

void TLesson::SetB(int v)
{
    b_.Set(v);
    UpdateText();
    Recalculate();
}

void TLesson::SetX(int v)
{
    x1_.Set(v);
    UpdateText();
    Recalculate();
}

void TLesson::SetC(int v)
{
    c_.Set(v);
    // b may reach c itself, a and the seed only c - 1.
    a_.SetMax(c_.Value() - 1);
    b_.SetMax(c_.Value());
    x1_.SetMax(c_.Value() - 1);
    UpdateText();
    Recalculate();
}

void TLesson::UpdateText()
{
    formulaText_ = "x[i]=(" + std::to_string(a_.Value()) + "+" + std::to_string(b_.Value()) + "*x[i-1]) mod " +
        std::to_string(c_.Value()) + "; x[1]=" + std::to_string(x1_.Value());
}

void TLesson::Recalculate()
{
    sequence_.BuildSequence(a_.Value(), b_.Value(), c_.Value(), x1_.Value());
    if (OnNewSequence)
        OnNewSequence(*this);
}
