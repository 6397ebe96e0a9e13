#pragma once
// The three pictures of a sequence in the lesson's chart: the random area, the histogram and the correlation
// graph. Each rebuilds the chart's whole display list and ends with exactly one paint.

#include <functional>

#include <QString>
#include <QStringList>

class TRChart;
class TSequence;

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

private:
    void BeginView();
    void EndView();
    void SetScales(double XHigh, double YHigh, bool Visible);

    TRChart& chart_;
    // What the picture shows, in words, for assistive technology.
    void Describe(const QString& Key, const QStringList& Args);
    void DescribeRandomArea(const TSequence& Sequence, int c);

    TTranslate translate_;
};
