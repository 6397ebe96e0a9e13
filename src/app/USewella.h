#pragma once
// The lesson's arithmetic and logic: the generator x[i] = (a + b*x[i-1]) mod c, the analysis of
// one sequence, and the thirteen lesson steps with their parameter rules. Standard library only,
// so the whole lesson runs without a window.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TSewella {
public:
    TSewella(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t x);

    void SetParams(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    void SetSeed(std::uint16_t x);
    std::uint16_t NextValue();

    std::uint16_t A() const { return a_; }
    std::uint16_t B() const { return b_; }
    std::uint16_t C() const { return c_; }
    std::uint16_t X() const { return x_; }

private:
    std::uint16_t a_;
    std::uint16_t b_;
    std::uint16_t c_;
    std::uint16_t x_;
};

struct THistogramBins {
    int Count;
    double Width;
};

struct TAreaGrid {
    int Columns;
    int Rows;
};

struct TGridCell {
    int Column;
    int Row;
};

// One built sequence x[1..L] and what the views derive from it. Arrays are indexed from 1 as the
// lesson numbers its values; c is at most 1000, so at most 1000 values are stored.
class TSequence {
public:
    static constexpr int MaxLength = 1000;
    static constexpr int MaxBins = 30;

    explicit TSequence(TSewella& generator);

    void BuildSequence(int a, int b, int c, int x1);
    static THistogramBins HistogramBins(int c);
    int CountBins(int c);
    static TAreaGrid AreaGrid(int c);
    static TGridCell CellOf(int v, int columns, int rows);
    // The histogram bin (1..count) that value v falls into for modulus c, and the bins of all values 0..c-1.
    static int BinOfValue(int v, int c);
    static std::vector<int> BinsOfValues(int c);

    int SeriesLength() const { return seriesLength_; }
    std::uint16_t Value(int i) const { return sequence_[i]; }
    int BinCount(int bin) const { return binCounts_[bin]; }

private:
    TSewella& generator_;
    std::array<std::uint16_t, MaxLength + 1> sequence_{};
    std::array<std::uint8_t, MaxLength + 1> seen_{};
    std::uint16_t seriesLength_ = 0;
    std::array<std::uint16_t, MaxBins + 1> binCounts_{};
};

enum class TLayout { Text, Chart };

enum class TView : int { RandomArea = 0, Histogram = 1, Correlation = 2 };

struct TEnabled {
    bool A;
    bool B;
    bool C;
    bool X1;
    bool Tabs;
    bool operator==(const TEnabled&) const = default;
};

// One lesson step; -1 leaves a parameter or the view as it is, a layout other than 1 or 2 leaves
// the layout.
struct TProg {
    int a;
    int b;
    int c;
    int x1;
    std::int8_t tab;
    const char* line1;
    const char* line2;
    const char* line3;
    std::int16_t layout;
    TEnabled enabled;
};

// A parameter with its range; the value never leaves [Min, Max].
class TBoundedValue {
public:
    TBoundedValue(int min, int max, int value);
    void Set(int value);
    void SetMax(int max);
    int Value() const { return value_; }
    int Min() const { return min_; }
    int Max() const { return max_; }

private:
    int min_;
    int max_;
    int value_;
};

class TLesson {
public:
    static constexpr int StepCount = 13;
    static const std::array<TProg, StepCount + 1>& Steps();  // indexed 1..13

    TLesson();

    void GotoStep(int n);
    [[nodiscard]] bool Next();   // false when refused (at the last step)
    [[nodiscard]] bool Reset();  // false when refused (at the first step)
    void SetA(int v);
    void SetB(int v);
    void SetC(int v);
    void SetX(int v);
    void UpdateText();
    void Recalculate();

    // The one observer, told of every new sequence (the main window shows it).
    std::function<void(const TLesson&)> OnNewSequence;

    int CurrentStep() const { return currentStep_; }
    const TBoundedValue& A() const { return a_; }
    const TBoundedValue& B() const { return b_; }
    const TBoundedValue& C() const { return c_; }
    const TBoundedValue& X1() const { return x1_; }
    TLayout Layout() const { return layout_; }
    TView SelectedView() const { return selectedView_; }
    const std::array<std::string, 3>& Lines() const { return lines_; }
    const TEnabled& Enabled() const { return enabled_; }
    bool NextAllowed() const { return nextAllowed_; }
    bool ResetAllowed() const { return resetAllowed_; }
    const std::string& MemoKey() const { return memoKey_; }
    const std::string& FormulaText() const { return formulaText_; }
    int SeriesLength() const { return sequence_.SeriesLength(); }
    TSequence& Sequence() { return sequence_; }
    const TSequence& Sequence() const { return sequence_; }

private:
    TSewella generator_{0, 11, 250, 1};
    TSequence sequence_{generator_};
    int currentStep_ = 0;
    TBoundedValue a_{0, 999, 0};
    TBoundedValue b_{0, 999, 0};
    TBoundedValue c_{1, 1000, 1};
    TBoundedValue x1_{0, 999, 0};
    TLayout layout_ = TLayout::Text;
    TView selectedView_ = TView::RandomArea;
    std::array<std::string, 3> lines_;
    TEnabled enabled_{};
    bool nextAllowed_ = false;
    bool resetAllowed_ = false;
    std::string memoKey_;
    std::string formulaText_;
};
