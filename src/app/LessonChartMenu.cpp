#include "app/LessonChartMenu.h"

#include <QActionGroup>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>

#include "app/LessonExport.h"
#include "chart/Quarn_rchart.h"
#include "platform/draw/MessageBox.h"

namespace {

struct TMenuEntry {
    const char* Key;
    const char* DialogTitle;  // for the entries that save
};
constexpr TMenuEntry Entries[] = {{"Copy picture", nullptr}, {"Save picture...", "Save picture"},
    {"Copy numbers", nullptr}, {"Save numbers...", "Save numbers"}};
constexpr int PictureScales[] = {1, 2, 3};

}  // namespace

TLessonChartMenu::TLessonChartMenu(
    TRChart& Chart, const TLesson& Lesson, TTranslate Translate, std::function<bool()> HistogramShown)
    : QObject(&Chart),
      chart_(Chart),
      lesson_(Lesson),
      translate_(std::move(Translate)),
      histogramShown_(std::move(HistogramShown)),
      menu_(new QMenu(&Chart))
{
    const std::function<void()> actions[] = {[this] { CopyPicture(); },
        [this] {
            AskAndSave(
                1, QStringLiteral("sewella.png"), QStringLiteral("PNG (*.png)"), &TLessonChartMenu::SavePictureTo);
        },
        [this] { CopyNumbers(); },
        [this] {
            AskAndSave(
                3, QStringLiteral("sewella.csv"), QStringLiteral("CSV (*.csv)"), &TLessonChartMenu::SaveNumbersTo);
        }};
    for (std::size_t i = 0; i < std::size(Entries); ++i) {
        if (i == 2)
            AddPictureSizes();
        entries_.push_back(menu_->addAction(QString()));
        connect(entries_.back(), &QAction::triggered, this, actions[i]);
    }
    Retranslate();
}

// Below the picture entries, the size they work at.
void TLessonChartMenu::AddPictureSizes()
{
    auto* group = new QActionGroup(this);
    for (const int scale : PictureScales) {
        QAction* size = group->addAction(QString());
        size->setCheckable(true);
        size->setChecked(scale == pictureScale_);
        connect(size, &QAction::triggered, this, [this, scale] { SetPictureScale(scale); });
        sizes_.push_back(size);
    }
    menu_->addActions(group->actions());
    menu_->addSeparator();
}

void TLessonChartMenu::SetPictureScale(int Scale)
{
    for (std::size_t i = 0; i < std::size(PictureScales); ++i)
        if (PictureScales[i] == Scale) {
            pictureScale_ = Scale;
            sizes_[i]->setChecked(true);
        }
}

// Drawn at the size asked for, whatever the screen's own scale.
QImage TLessonChartMenu::Picture() const
{
    const TDeviceScale scale = TDeviceScale::Of(pictureScale_);
    QImage picture = chart_.PictureAt(scale);
    picture.setDevicePixelRatio(1);  // a file's pixels are its size
    return picture;
}

void TLessonChartMenu::Retranslate()
{
    for (std::size_t i = 0; i < std::size(Entries); ++i) {
        entries_[i]->setText(translate_(QString::fromLatin1(Entries[i].Key), {}));
        if (Entries[i].DialogTitle)
            static_cast<void>(translate_(QString::fromLatin1(Entries[i].DialogTitle), {}));
    }
    for (std::size_t i = 0; i < std::size(PictureScales); ++i)
        sizes_[i]->setText(translate_(QStringLiteral("Pictures at <%1%>x size"), {QString::number(PictureScales[i])}));
}

void TLessonChartMenu::Popup(QPoint At)
{
    Retranslate();  // the host may have served another dictionary since
    menu_->popup(chart_.mapToGlobal(At));
}

void TLessonChartMenu::CopyPicture()
{
    QGuiApplication::clipboard()->setImage(Picture());
}

void TLessonChartMenu::CopyNumbers()
{
    QGuiApplication::clipboard()->setText(QString::fromUtf8(LessonCsv(lesson_, histogramShown_())));
}

bool TLessonChartMenu::SavePictureTo(const QString& Path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!Picture().save(&buffer, "PNG"))
        png.clear();
    return Saved(Path, png);
}

bool TLessonChartMenu::SaveNumbersTo(const QString& Path)
{
    return Saved(Path, LessonCsv(lesson_, histogramShown_()));
}

void TLessonChartMenu::AskAndSave(std::size_t Entry, const QString& Name, const QString& Filter, TSave Save)
{
    const QString title = translate_(QString::fromLatin1(Entries[Entry].DialogTitle), {});
    const QString path = QFileDialog::getSaveFileName(chart_.window(), title, Name, Filter);
    if (!path.isEmpty())
        static_cast<void>((this->*Save)(path));  // a failure has been reported
}

bool TLessonChartMenu::Saved(const QString& Path, const QByteArray& Bytes)
{
    const std::optional<QString> failure =
        Bytes.isEmpty() ? std::optional<QString>(QStringLiteral("no picture")) : SaveFileWhole(Path, Bytes);
    if (!failure)
        return true;
    ShowInfoMessage(translate_(QStringLiteral("The file <%1%> could not be saved: <%2%>"), {Path, *failure}));
    return false;
}
