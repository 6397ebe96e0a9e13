#pragma once
// The insight panel's sentences for one generator and seed, each one through the dictionary: keys name the
// sentence, the numbers are its arguments.

#include <functional>

#include <QString>
#include <QStringList>

#include "app/GeneratorInsight.h"

using TInsightTranslate = std::function<QString(const QString& Key, const QStringList& Args)>;

struct TInsightTexts {
    QString Series;          // the series length as tail + cycle, and where the cycle closes
    QString SeriesValues;    // the values themselves, tail and cycle apart
    QStringList Conditions;  // the three full-period conditions, each ticked or crossed
    QString Verdict;         // full period or not, and the nearest fix
    QString Cycles;          // the cycles over all seeds
    QString Lines;           // the lines of the correlation graph
    QString Uniformity;      // the histogram's chi-square and its reading
};

TInsightTexts InsightTextsOf(
    const insight::TInsight& Insight, const insight::TGenerator& g, int x1, const TInsightTranslate& Translate);
