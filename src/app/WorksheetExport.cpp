#include "app/WorksheetExport.h"

#include <QBuffer>
#include <QImage>

#include <cstdio>
#include <map>

#include "app/LessonExport.h"
#include "app/LessonViews.h"
#include "chart/Quarn_rchart.h"
#include "hostlink/TarvosDemon.h"
#include "translate/Babelfish2000.h"
#include "translate/ComponentTranslation.h"

namespace {

// The lesson chart's size in the lesson window.
constexpr int ChartWidth = 361, ChartHeight = 297;

std::optional<int> WholeNumber(const QString& Text, int Low, int High)
{
    bool ok = false;
    const int value = Text.toInt(&ok);
    return ok && value >= Low && value <= High ? std::optional<int>(value) : std::nullopt;
}

QString Range(const QString& Option, int Low, int High)
{
    return QStringLiteral("%1 takes a whole number from %2 to %3").arg(Option).arg(Low).arg(High);
}

// Every value checked against the lesson's own ranges: c first, since it bounds a, b and x1.
std::optional<QString> CheckValues(TExportRequest& Request, const std::map<QString, QString>& Values)
{
    const auto number = [&](const char* Option, int Low, int High, int& Into) -> std::optional<QString> {
        const auto found = Values.find(QString::fromLatin1(Option));
        if (found == Values.end())
            return QStringLiteral("%1 is missing").arg(QLatin1String(Option));
        const std::optional<int> value = WholeNumber(found->second, Low, High);
        if (!value)
            return Range(QString::fromLatin1(Option), Low, High) + QStringLiteral(", not ") + found->second;
        Into = *value;
        return std::nullopt;
    };
    if (auto wrong = number("--c", 1, TSequence::MaxLength, Request.C))
        return wrong;
    // the lesson's b slider reaches c at most, and 999
    for (auto [option, high, into] : {std::tuple{"--a", Request.C - 1, &Request.A},
             std::tuple{"--b", std::min(Request.C, 999), &Request.B}, std::tuple{"--x1", Request.C - 1, &Request.X1}})
        if (auto wrong = number(option, 0, high, *into))
            return wrong;
    return std::nullopt;
}

std::optional<QString> TakeView(TExportRequest& Request, const QString& Name)
{
    static const std::map<QString, TView> views{{QStringLiteral("random-area"), TView::RandomArea},
        {QStringLiteral("histogram"), TView::Histogram}, {QStringLiteral("correlation"), TView::Correlation}};
    const auto found = views.find(Name);
    if (found == views.end())
        return QStringLiteral("--view takes random-area, histogram or correlation, not ") + Name;
    Request.View = found->second;
    return std::nullopt;
}

void LoadDictionary(TBabelfish2000& Dictionary, const TExportRequest& Request, const std::string& ProgramPath)
{
    if (!Request.Language && Dictionary.LoadFromFile(TBabelfish2000::ItlFileNameFor(ProgramPath)))
        return;
    const std::string language = Request.Language.value_or(TmnxCustomDemon::DictionaryLanguage([](const char* Name) {
        const char* value = std::getenv(Name);
        return std::string(value ? value : "");
    }));
    // without a dictionary the picture shows the keys, as the lesson does
    static_cast<void>(Dictionary.LoadFromFile(TmnxCustomDemon::InstalledDictionaryPath(ProgramPath, language)));
}

QByteArray Picture(const TExportRequest& Request, TLesson& Lesson, TBabelfish2000& Dictionary)
{
    TRChart chart;
    chart.BeginLoading();
    chart.SetBounds(0, 0, ChartWidth, ChartHeight);
    SetUpLessonChart(chart);
    chart.Loaded();
    TLessonViews views(chart,
        [&Dictionary](const QString& Key, const QStringList& Args) { return TranslateString(Dictionary, Key, Args); });
    switch (Request.View) {
    case TView::RandomArea: views.ShowRandomArea(Lesson.Sequence(), Request.C); break;
    case TView::Histogram: views.ShowHistogram(Lesson.Sequence(), Request.C); break;
    case TView::Correlation: views.ShowCorrelation(Lesson.Sequence(), Request.C); break;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage picture = chart.PictureAt(TDeviceScale::Of(Request.Scale));
    picture.setDevicePixelRatio(1);  // a file's pixels are its size
    return picture.save(&buffer, "PNG") ? png : QByteArray();
}

}  // namespace

std::variant<TExportRequest, QString> ParseExportRequest(const QStringList& Arguments)
{
    TExportRequest request;
    std::map<QString, QString> values;
    bool viewGiven = false;
    for (qsizetype i = 0; i < Arguments.size(); i += 2) {
        const QString& option = Arguments[i];
        if (i + 1 >= Arguments.size())
            return QStringLiteral("%1 needs a value").arg(option);
        const QString& value = Arguments[i + 1];
        if (option == QLatin1String("--export")) {
            request.File = value;
        } else if (option == QLatin1String("--view")) {
            if (auto wrong = TakeView(request, value))
                return *wrong;
            viewGiven = true;
        } else if (option == QLatin1String("--scale")) {
            if (value != QLatin1String("1") && value != QLatin1String("2") && value != QLatin1String("3"))
                return QStringLiteral("--scale takes 1, 2 or 3, not ") + value;
            request.Scale = value.toInt();
        } else if (option == QLatin1String("--lang")) {
            if (value != QLatin1String("en") && value != QLatin1String("de"))
                return QStringLiteral("--lang takes en or de, not ") + value;
            request.Language = value.toStdString();
        } else if (option == QLatin1String("--a") || option == QLatin1String("--b") || option == QLatin1String("--c") ||
            option == QLatin1String("--x1")) {
            values[option] = value;
        } else {
            return QStringLiteral("unknown option ") + option;
        }
    }
    if (request.File.isEmpty())
        return QStringLiteral("--export needs a file");
    if (!viewGiven && !request.File.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return QStringLiteral("--view is missing");
    if (auto wrong = CheckValues(request, values))
        return *wrong;
    return request;
}

int RunExport(const TExportRequest& Request, const std::string& ProgramPath)
{
    TLesson lesson;
    lesson.GotoStep(TLesson::StepCount);
    lesson.SetC(Request.C);
    lesson.SetA(Request.A);
    lesson.SetB(Request.B);
    lesson.SetX(Request.X1);
    TBabelfish2000 dictionary;
    LoadDictionary(dictionary, Request, ProgramPath);
    const bool numbers = Request.File.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const QByteArray bytes =
        numbers ? LessonCsv(lesson, Request.View == TView::Histogram) : Picture(Request, lesson, dictionary);
    const std::optional<QString> failure =
        bytes.isEmpty() ? std::optional<QString>(QStringLiteral("no picture")) : SaveFileWhole(Request.File, bytes);
    if (!failure)
        return 0;
    std::fprintf(stderr, "sewella: %s could not be written: %s\n", qPrintable(Request.File), qPrintable(*failure));
    return 1;
}
