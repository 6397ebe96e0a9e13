#pragma once
// The lesson chart's context menu: its picture, at 1x, 2x or 3x its size, and its numbers to the clipboard or into
// a file.

#include <cstddef>
#include <functional>
#include <vector>

#include <QObject>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class TLesson;
class TRChart;

class TLessonChartMenu : public QObject {
    Q_OBJECT

public:
    using TTranslate = std::function<QString(const QString& Key, const QStringList& Args)>;
    // HistogramShown tells whether the numbers include the histogram's bins.
    TLessonChartMenu(TRChart& Chart, const TLesson& Lesson, TTranslate Translate, std::function<bool()> HistogramShown);

    // At a position in the chart's pixels; returns at once.
    void Popup(QPoint At);
    QMenu& Menu() const { return *menu_; }
    // The size the picture entries copy and save at: 1, 2 or 3 times the chart's, drawn at that size.
    int PictureScale() const { return pictureScale_; }
    void SetPictureScale(int Scale);
    void CopyPicture();
    void CopyNumbers();
    // False, after saying why in a message box, when the file could not be written; an old file stays as it was.
    bool SavePictureTo(const QString& Path);
    bool SaveNumbersTo(const QString& Path);

private:
    // The captions in the dictionary's current language.
    void Retranslate();
    using TSave = bool (TLessonChartMenu::*)(const QString&);
    void AskAndSave(std::size_t Entry, const QString& Name, const QString& Filter, TSave Save);
    bool Saved(const QString& Path, const QByteArray& Bytes);
    QImage Picture() const;
    void AddPictureSizes();

    TRChart& chart_;
    const TLesson& lesson_;
    TTranslate translate_;
    std::function<bool()> histogramShown_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> entries_;
    std::vector<QAction*> sizes_;
    int pictureScale_ = 1;
};
