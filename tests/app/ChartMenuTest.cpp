// The lesson chart for a teacher: the value under the mouse, and the picture and the numbers taken out through
// the context menu, to the clipboard or into files that are written whole or not at all.

#include "LessonWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <csignal>
#include <sys/resource.h>

#include "app/LessonChartMenu.h"
#include "app/LessonExport.h"
#include "app/LessonViews.h"
#include "platform/draw/MessageBox.h"
#include "platform/draw/PlainToolTips.h"

namespace {

class TeacherLesson : public LessonWindow {
protected:
    TeacherLesson()
    {
        EXPECT_TRUE(Form.Demon()->Translator().LoadFromFile(std::string(SEWELLA_DATA_DIR) + "/sewella.en.itl"));
        GoToFreeStep();
    }

    void Show(int A, int B, int C, int X, int Tab)
    {
        SetParameters(A, B, C, X);
        Form.TabControl1->TabBar()->setCurrentIndex(Tab);
    }

    QString Hover(double X, double Y)
    {
        return Form.Views().HoverText(Form.Lesson().Sequence(), Form.Lesson().C().Value(), X, Y);
    }

    static QByteArray Read(const QString& Path)
    {
        QFile file(Path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// Stands for a full disk: writes beyond Limit bytes fail with EFBIG while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t Limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{Limit, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace

TEST_F(TeacherLesson, HoverNamesWhatLiesUnderTheMouseInEachView)
{
    Show(1, 4, 17, 5, 0);  // 5, 4, 0, 1 on a grid of 5 x 4
    EXPECT_EQ(Hover(0.5, 2.5), "Value 5: x[1] of the series");
    EXPECT_EQ(Hover(0.2, 3.9), "Value 0: x[3] of the series");
    EXPECT_EQ(Hover(2.5, 3.5), "Value 2: not in the series");
    EXPECT_EQ(Hover(2.5, 0.5), "No value: with c = 17 the values run from 0 to 16");
    EXPECT_EQ(Hover(5.5, 0.5), "") << "beside the grid";

    Show(20, 30, 932, 15, 1);
    const int firstBar = Form.Lesson().Sequence().BinCount(1);
    EXPECT_EQ(Hover(5, 1), QString("Bar 1: values 0 to 31, %1 of them in the series").arg(firstBar));
    EXPECT_EQ(Hover(931, 0.2),
        QString("Bar 30: values 901 to 931, %1 of them in the series").arg(Form.Lesson().Sequence().BinCount(30)));

    Show(20, 30, 906, 15, 2);
    EXPECT_EQ(Hover(15, 470), "x[1] = 15, x[2] = 470");
    EXPECT_EQ(Hover(17, 468), "x[1] = 15, x[2] = 470") << "the nearest point within a few pixels";

    Form.show();
    const PixelPosition at = Form.RChart1->WorldToPixel(1, 15, 470);
    QTest::mouseMove(Form.RChart1, QPoint(at.X, at.Y));
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 1000));
    EXPECT_EQ(QToolTip::text(), ToolTipOfPlainText("x[1] = 15, x[2] = 470"));
}

TEST_F(TeacherLesson, NumbersAreTheSeriesAndTheShownHistogramAsCsv)
{
    Show(20, 30, 932, 15, 1);
    Form.ChartMenu().CopyNumbers();
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_GE(lines.size(), 2 + 118 + 2 + 30);
    EXPECT_EQ(lines[0], "# a=20,b=30,c=932,x1=15");
    EXPECT_EQ(lines[1], "i,x");
    for (int i = 1; i <= 118; ++i)
        ASSERT_EQ(lines[1 + i], QString("%1,%2").arg(i).arg(Form.Lesson().Sequence().Value(i)));
    EXPECT_EQ(lines[120], "");
    EXPECT_EQ(lines[121], "bin,first,last,count");
    int total = 0;
    for (int k = 1; k <= 30; ++k) {
        const QStringList fields = lines[121 + k].split(',');
        ASSERT_EQ(fields.size(), 4);
        EXPECT_EQ(fields[0].toInt(), k);
        total += fields[3].toInt();
    }
    EXPECT_EQ(total, 118);
    EXPECT_EQ(lines[152], "") << "the file ends with a line end";

    Form.TabControl1->TabBar()->setCurrentIndex(2);
    EXPECT_EQ(LessonCsv(Form.Lesson(), false).count('\n'), 2 + 118) << "no bins beside the correlation graph";
}

TEST_F(TeacherLesson, PictureAndNumbersReachTheClipboardAndFilesAsShown)
{
    Show(20, 30, 906, 15, 2);
    Form.show();
    QApplication::setActiveWindow(&Form);
    Form.RChart1->setFocus();
    QTest::keyClick(Form.RChart1, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(Form.ChartMenu().Menu().isVisible()) << "Shift+F10 on the focused chart";
    Form.ChartMenu().Menu().hide();
    Form.ChartMenu().Popup(QPoint(10, 10));
    const QStringList captions = [&] {
        QStringList texts;
        for (const QAction* action : Form.ChartMenu().Menu().actions())
            if (!action->isSeparator())
                texts << action->text();
        return texts;
    }();
    EXPECT_EQ(captions,
        (QStringList{"Copy picture", "Save picture\u2026", "Pictures at 1\u00d7 size", "Pictures at 2\u00d7 size",
            "Pictures at 3\u00d7 size", "Copy numbers", "Save numbers\u2026"}));
    Form.ChartMenu().Menu().hide();

    const QImage shown = Form.RChart1->Image().convertToFormat(QImage::Format_RGB32);
    Form.ChartMenu().CopyPicture();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), shown);
    QTemporaryDir folder;
    ASSERT_TRUE(Form.ChartMenu().SavePictureTo(folder.filePath("chart.png")));
    EXPECT_EQ(QImage(folder.filePath("chart.png")).convertToFormat(QImage::Format_RGB32), shown);
    ASSERT_TRUE(Form.ChartMenu().SaveNumbersTo(folder.filePath("numbers.csv")));
    EXPECT_EQ(Read(folder.filePath("numbers.csv")), LessonCsv(Form.Lesson(), false));

    // the 3x entry: the picture drawn at three times the size, in the clipboard and the file alike
    Form.ChartMenu().Menu().actions()[4]->trigger();
    EXPECT_EQ(Form.ChartMenu().PictureScale(), 3);
    QImage large = Form.RChart1->PictureAt(TDeviceScale::Of(3)).convertToFormat(QImage::Format_RGB32);
    large.setDevicePixelRatio(1);
    ASSERT_EQ(large.size(), shown.size() * 3);
    Form.ChartMenu().CopyPicture();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), large);
    ASSERT_TRUE(Form.ChartMenu().SavePictureTo(folder.filePath("large.png")));
    EXPECT_EQ(QImage(folder.filePath("large.png")).convertToFormat(QImage::Format_RGB32), large);
    EXPECT_EQ(Form.RChart1->Image(), shown) << "the window keeps its own picture";
}

TEST_F(TeacherLesson, AFailedSaveSaysSoAndLeavesTheOldFile)
{
    Show(7, 281, 1000, 1, 2);
    QTemporaryDir folder;
    const QString path = folder.filePath("numbers.csv");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old numbers\n");
    }
    TMessageRecorder messages;
    {
        const FileSizeLimit full(64);
        EXPECT_FALSE(Form.ChartMenu().SaveNumbersTo(path));
        EXPECT_FALSE(Form.ChartMenu().SavePictureTo(folder.filePath("no/such/folder.png")));
    }
    EXPECT_EQ(Read(path), "the old numbers\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"numbers.csv"}) << "no half-written file";
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_TRUE(messages.Messages()[0].startsWith("The file " + path + " could not be saved: "));
}
