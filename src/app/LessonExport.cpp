#include "app/LessonExport.h"

#include <QSaveFile>

#include <vector>

#include "app/USewella.h"

QByteArray LessonCsv(const TLesson& Lesson, bool WithHistogram)
{
    const TSequence& sequence = Lesson.Sequence();
    const int c = Lesson.C().Value();
    QByteArray csv = QStringLiteral("# a=%1,b=%2,c=%3,x1=%4\ni,x\n")
                         .arg(Lesson.A().Value())
                         .arg(Lesson.B().Value())
                         .arg(c)
                         .arg(Lesson.X1().Value())
                         .toUtf8();
    for (int i = 1; i <= sequence.SeriesLength(); ++i)
        csv += QByteArray::number(i) + ',' + QByteArray::number(sequence.Value(i)) + '\n';
    if (!WithHistogram)
        return csv;
    const int bins = TSequence::HistogramBins(c).Count;
    std::vector<int> first(std::size_t(bins) + 1, -1), last(std::size_t(bins) + 1, -1);
    std::vector<int> counts(std::size_t(bins) + 1, 0);
    const std::vector<int> binOf = TSequence::BinsOfValues(c);
    for (int v = 0; v < c; ++v) {
        const std::size_t bin = std::size_t(binOf[std::size_t(v)]);
        first[bin] = first[bin] < 0 ? v : first[bin];
        last[bin] = v;
    }
    for (int i = 1; i <= sequence.SeriesLength(); ++i)
        ++counts[std::size_t(binOf[sequence.Value(i)])];
    csv += "\nbin,first,last,count\n";
    for (int k = 1; k <= bins; ++k) {
        const std::size_t bin = std::size_t(k);
        const QByteArray range =
            first[bin] < 0 ? QByteArray(",") : QByteArray::number(first[bin]) + ',' + QByteArray::number(last[bin]);
        csv += QByteArray::number(k) + ',' + range + ',' + QByteArray::number(counts[bin]) + '\n';
    }
    return csv;
}

std::optional<QString> SaveFileWhole(const QString& Path, const QByteArray& Bytes)
{
    QSaveFile file(Path);
    // unbuffered: a buffered write that the disk cuts short is committed as if it were whole (Qt 6.4)
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(Bytes) != Bytes.size()) {
        const QString reason =
            file.error() == QFileDevice::NoError ? QStringLiteral("the disk took only part of it") : file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
