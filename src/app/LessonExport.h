#pragma once
// What a teacher takes out of the lesson: its numbers as CSV and files written whole or not at all.

#include <optional>

#include <QByteArray>
#include <QString>

class TLesson;

// The parameters in a first comment line, then the series as "i,x"; with the histogram, a second table of its
// bins ("bin,first,last,count": the first and last value a bin holds). UTF-8, "\n" line ends.
QByteArray LessonCsv(const TLesson& Lesson, bool WithHistogram);

// Writes Bytes to Path through a temporary file that replaces Path only when everything was written, so that a
// failure leaves the old file as it was. The reason when it failed.
std::optional<QString> SaveFileWhole(const QString& Path, const QByteArray& Bytes);
