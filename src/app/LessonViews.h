#pragma once
// The three pictures of a sequence in the lesson's chart: the random area, the histogram and the correlation
// graph. Each rebuilds the chart's whole display list and ends with exactly one paint.

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

class TCanvas;
class TRChart;
class TSequence;

// What the insight panel lays over the pictures. Both are off by default, and then every picture is the lesson's
// own, bit for bit.
struct TLessonOverlays {
    // Under the correlation graph's marks: the lines S1*x + S2*y = S2*A + k*C for each k in LineNumbers.
    bool Lines = false;
    std::int64_t S1 = 0, S2 = 0, A = 0, C = 1;
    std::vector<std::int64_t> LineNumbers;
    // Across each histogram bar: the count the bin expects (1-based as the bins), with a y range that shows it.
    bool ExpectedCounts = false;
    std::vector<double> Expected;
};

// The chart's values every view relies on and none of them changes.
void SetUpLessonChart(TRChart& Chart);

class TLessonViews {
public:
    // Translate gives the text of a dictionary key with its arguments filled in, or the key itself.
    using TTranslate = std::function<QString(const QString& Key, const QStringList& Args)>;
    TLessonViews(TRChart& Chart, TTranslate Translate);

    // Sequence holds the built series for modulus c.
    void ShowRandomArea(const TSequence& Sequence, int c);
    void ShowHistogram(TSequence& Sequence, int c);
    void ShowCorrelation(const TSequence& Sequence, int c);
    // Takes effect with the next view shown.
    void SetOverlays(TLessonOverlays Overlays) { overlays_ = std::move(Overlays); }
    const TLessonOverlays& Overlays() const { return overlays_; }
    // What the shown view has at world position (X, Y) inside the plot, in words: the cell's value and where
    // the series hits it, the bar's values and count, or the nearest point's pair. Empty where there is nothing.
    QString HoverText(const TSequence& Sequence, int c, double X, double Y) const;

    static constexpr unsigned HitCellColor = 0x808000;      // teal
    static constexpr unsigned SpareCellColor = 0x8000000F;  // button face
    static constexpr unsigned BarColor = 0xABF2F8;          // pale yellow
    static constexpr unsigned MarkColor = 0x0000FF;         // red
    static constexpr unsigned OutlineColor = 0x000000;      // black
    static constexpr int SmallGridLimit = 20;
    static constexpr int CellNumberSize = 8;
    static constexpr int PlusMark = 2;
    // The random area's description lists the values hit up to this many.
    static constexpr int ListedHitsLimit = 20;
    static constexpr unsigned LatticeLineColor = 0xF0C890;    // light blue, under the red marks
    static constexpr unsigned ExpectedCountColor = 0x800000;  // navy, across the pale bars

private:
    void BeginView();
    void EndView();
    void SetScales(double XHigh, double YHigh, bool Visible);

    TRChart& chart_;
    // What the picture shows, in words, for assistive technology.
    void Describe(const QString& Key, const QStringList& Args);
    void DescribeRandomArea(const TSequence& Sequence, int c);

    // The overlays, drawn from the chart's render events while their view is shown.
    void DrawLatticeLines(TCanvas& Canvas) const;
    void DrawExpectedCounts(TCanvas& Canvas) const;
    double LargestExpected() const;
    QString CellHoverText(const TSequence& Sequence, int c, double X, double Y) const;
    QString BinHoverText(const TSequence& Sequence, int c, double X) const;
    QString PairHoverText(const TSequence& Sequence, double X, double Y) const;

    TTranslate translate_;
    TLessonOverlays overlays_;
    double binWidth_ = 1;  // of the histogram shown last
    enum class TShown { None, RandomArea, Histogram, Correlation } shown_ = TShown::None;
};
