// sewella --export as a teacher scripts a worksheet: the real program, without a display, against the pictures
// and numbers of the lesson window itself; and the lesson itself started without a display.

#include "LessonWindowFixture.h"

#include <QProcess>
#include <QTemporaryDir>

#include "app/LessonExport.h"

namespace {

struct TExportRun {
    int ExitCode;
    QString Errors;
};

TExportRun Export(const QStringList& Arguments, const QTemporaryDir& Folder)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");  // no display needed
    environment.insert("XDG_RUNTIME_DIR", Folder.path());
    program.setProcessEnvironment(environment);
    program.start(HOSTLINK_CLIENT_PROGRAM, QStringList{"--export"} + Arguments);
    if (!program.waitForFinished(30000))
        return {-1, "did not end"};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
}

class Worksheet : public LessonWindow {
protected:
    void LoadShipped(const char* Language)
    {
        ASSERT_TRUE(
            Form.Demon()->Translator().LoadFromFile(std::string(SEWELLA_DATA_DIR) + "/sewella." + Language + ".itl"));
    }

    QTemporaryDir Folder;
};

}  // namespace

TEST_F(Worksheet, PicturesAreTheLessonsOwnInEitherLanguage)
{
    struct Case {
        const char* Language;
        int Step;
        QStringList Arguments;
        int Scale;
    } const cases[] = {
        {"en", 10, {"--view", "histogram", "--a", "20", "--b", "30", "--c", "932", "--x1", "15", "--lang", "en"}, 1},
        {"de", 12, {"--view", "correlation", "--a", "20", "--b", "30", "--c", "906", "--x1", "15", "--lang", "de"}, 3},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.Step);
        LoadShipped(row.Language);
        Form.SBReset->click();
        ClickNext(row.Step - 1);
        const QString file = Folder.filePath(QString("step%1.png").arg(row.Step));
        const TExportRun run =
            Export(QStringList{file} + row.Arguments + QStringList{"--scale", QString::number(row.Scale)}, Folder);
        ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
        QImage shown = Form.RChart1->PictureAt(TDeviceScale::Of(row.Scale)).convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), shown);
    }
}

TEST_F(Worksheet, NumbersAreTheLessonsSeries)
{
    Form.SBReset->click();
    ClickNext(11);
    const QString file = Folder.filePath("step12.csv");
    const TExportRun run = Export({file, "--a", "20", "--b", "30", "--c", "906", "--x1", "15"}, Folder);
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), LessonCsv(Form.Lesson(), false));
}

TEST_F(Worksheet, AWrongCommandLineSaysWhatAndWritesNothing)
{
    const QString file = Folder.filePath("nothing.png");
    const QStringList generator{"--a", "1", "--b", "4", "--c", "17", "--x1", "5"};
    struct Case {
        QStringList Arguments;
        const char* Named;
    } const cases[] = {
        {QStringList{file, "--view", "pie"} + generator, "--view"},
        {QStringList{file} + generator, "--view"},
        {{file, "--view", "histogram", "--a", "17", "--b", "4", "--c", "17", "--x1", "5"}, "--a"},
        {{file, "--view", "histogram", "--a", "1", "--b", "18", "--c", "17", "--x1", "5"}, "--b"},
        {{file, "--view", "histogram", "--a", "1", "--b", "4", "--c", "1001", "--x1", "5"}, "--c"},
        {{file, "--view", "histogram", "--a", "1", "--b", "4", "--c", "17"}, "--x1"},
        {QStringList{file, "--view", "histogram", "--scale", "4"} + generator, "--scale"},
        {QStringList{file, "--view", "histogram", "--lang", "fr"} + generator, "--lang"},
        {QStringList{file, "--view", "histogram", "--colour", "red"} + generator, "--colour"},
        {QStringList{file, "--view"}, "--view"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.Arguments.join(' ').toStdString());
        const TExportRun run = Export(row.Arguments, Folder);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Errors.count('\n'), 1) << run.Errors.toStdString();
        EXPECT_TRUE(run.Errors.startsWith("sewella: ") && run.Errors.contains(row.Named)) << run.Errors.toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
}

TEST(NoDisplay, TheLessonSaysSoInsteadOfAborting)
{
    QTemporaryDir folder;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    environment.insert("XDG_RUNTIME_DIR", folder.path());
    program.setProcessEnvironment(environment);
    program.start(HOSTLINK_CLIENT_PROGRAM, {});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().startsWith("sewella: no display to show the lesson on"));
}
