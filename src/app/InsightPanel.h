#pragma once
// TInsightPanel: a window beside the lesson window that explains the current generator in short sentences (why
// the series is as long as it is, whether it has the full period, how the values split into cycles, on how many
// lines the pairs lie and how even the histogram is) and switches the pictures' overlays on and off.

#include <functional>
#include <vector>

#include <QWidget>

#include "app/InsightTexts.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// A generator the panel offers at the free step, with the dictionary key of its button.
struct TInsightExample {
    const char* Key;
    int A, B, C, X1;
};

class TInsightPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 360;
    static constexpr int MinimumWidth = 240;

    TInsightPanel(QWidget* Lesson, TInsightTranslate Translate);

    void ShowTexts(const TInsightTexts& Texts);
    // The example generators, offered only while every slider is free.
    void SetExamplesShown(bool Shown);
    bool LinesShown() const;
    bool ExpectedCountsShown() const;
    // Beside the lesson window, on its right, or on its left where the screen ends there; as tall as the lesson
    // window.
    void FollowLesson();
    static const std::vector<TInsightExample>& Examples();

    // A switch changed.
    std::function<void()> OnOverlaysChanged;
    // An example was chosen.
    std::function<void(const TInsightExample& Example)> OnExample;
    // The panel's own close button.
    std::function<void()> OnClosed;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    QLabel* AddSection(QVBoxLayout* Layout, const char* Title);
    QCheckBox* AddSwitch(QVBoxLayout* Layout, const char* Key);
    void AddExamples(QVBoxLayout* Layout);

    QWidget* lesson_;
    TInsightTranslate translate_;
    QLabel* series_ = nullptr;
    QPlainTextEdit* seriesValues_ = nullptr;
    QLabel* conditions_ = nullptr;
    QLabel* verdict_ = nullptr;
    QLabel* cycles_ = nullptr;
    QLabel* lines_ = nullptr;
    QCheckBox* showLines_ = nullptr;
    QLabel* uniformity_ = nullptr;
    QCheckBox* showExpected_ = nullptr;
    QWidget* examples_ = nullptr;
};
