#pragma once
// TForm1: the lesson window. It shows the lesson state in its controls, turns clicks and slider movements into
// lesson operations, switches between the text and the chart layout and owns the host link cliDemon, whose
// dictionary gives every text the learner reads.

#include <functional>
#include <memory>

#include <QFrame>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/LessonSlider.h"
#include "app/USewella.h"
#include "hostlink/TarvosDemon.h"

class QLabel;
class TInsightPanel;
class TLessonChartMenu;
class TLessonZoom;
class TLessonFrontDoor;
struct TInsightExample;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTabBar;
class TLessonViews;
class TNumLab;
class TRChart;

// A row of tabs over a framed area that holds other controls; the tabs have no pages of their own.
class TTabControl : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QStringList Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)

public:
    explicit TTabControl(QWidget* Parent = nullptr);

    QStringList Tabs() const;
    void SetTabs(const QStringList& Value);
    // -1 when no tab is selected. Selecting from code raises no OnChange.
    int TabIndex() const;
    void SetTabIndex(int Value);
    QTabBar* TabBar() const { return tabBar_; }
    // Shows Control's keyboard focus as a ring on the page around it.
    void RingFocusOf(QWidget* Control);

    // A tab chosen by the user.
    std::function<void(QObject* Sender)> OnChange;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QTabBar* tabBar_ = nullptr;
    QFrame* area_ = nullptr;
};

class TForm1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 491;
    static constexpr int TextLayoutHeight = 283;
    static constexpr int ChartLayoutHeight = 514;
    static constexpr int LayoutMove = 115;

    using TDemonSetup = std::function<void(TmnxDemonClient& Demon)>;

    // CommandLine[0] is the executable, as QCoreApplication::arguments() gives it; the host link reads it.
    // BeforeLoading changes cliDemon's settings before it loads the dictionary and translates the window, as
    // another form description would (a translator switches capture on to collect every key the lesson asks for).
    explicit TForm1(const QStringList& CommandLine, QWidget* Parent = nullptr, const TDemonSetup& BeforeLoading = {});
    ~TForm1() override;

    // Called once the main window has been shown for the first time (the About dialog's turn).
    std::function<void(TForm1* Sender)> OnFirstShow;
    // The About button.
    std::function<void(TForm1* Sender)> OnAbout;
    // A second start or the host asked the lesson to come to the front, and it did.
    std::function<void()> OnBroughtToFront;

    // Views of the selected tab.
    void ShowView();
    void ShowRandomArea();
    void ShowHistogram();
    void ShowCorrelation();

    // Slider value: the sliders run upside down, the top end is the largest value.
    static int RevPos(const QScrollBar* ScrollBar);
    void UpdateText();

    TLesson& Lesson() { return *lesson_; }
    const TLessonViews& Views() const { return *views_; }
    // None once an accepted quit from the host has freed it.
    TmnxDemonClient* Demon() const { return cliDemon.data(); }
    bool InChartLayout() const { return height() == ChartLayoutHeight; }
    // None until first opened.
    TInsightPanel* InsightPanel() const { return insightPanel_; }
    TLessonChartMenu& ChartMenu() const { return *chartMenu_; }
    TLessonZoom& Zoom() const { return *zoom_; }
    void ToggleInsight();

    QWidget* Panel1 = nullptr;
    QPushButton* SBExit = nullptr;
    QPushButton* SBAbout = nullptr;
    QPushButton* SBReset = nullptr;
    QPushButton* SBNext = nullptr;
    // Opens and closes the insight panel (also Ctrl+I); in the chart layout only.
    QPushButton* SBInsight = nullptr;
    QLineEdit* Edit1 = nullptr;
    TNumLab* NumLab1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    TTabControl* TabControl1 = nullptr;
    TRChart* RChart1 = nullptr;
    TLessonSlider* ScrollBarA = nullptr;
    TLessonSlider* ScrollBarB = nullptr;
    TLessonSlider* ScrollBarC = nullptr;
    TLessonSlider* ScrollBarX = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

    void SBNextClick();
    void SBResetClick();
    void SBExitClick();
    void SBAboutClick();
    void TabControl1Change();
    void ScrollBarAScroll();
    void ScrollBarBScroll();
    void ScrollBarCScroll();
    void ScrollBarXScroll();

protected:
    void showEvent(QShowEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateControls();
    void CreateButtons();
    void CreateTextControls();
    void CreateChartControls();
    void CreateSliders();
    void ConnectHandlers();
    // Names for assistive technology, from the dictionary.
    void NameControls();
    // The dictionary's text of Key with its arguments filled in; the key itself (filled in) when missing.
    QString Translated(const QString& Key, const QStringList& Args = {});
    void CreateDemon(const QStringList& CommandLine);
    void FormCreate();

    void ShowStep();
    void ApplyLayout();
    void ShowSliders();
    void ShowEnabledFlags();
    void NewSequence();
    // Sets a slider without a scroll notification; the value shown counts as handled.
    void SetSlider(QScrollBar* ScrollBar, int& Last, int Value, int Max);
    void HandleScroll(QScrollBar* ScrollBar, int& Last, const std::function<void(int)>& Change);
    void cliDemonParamsChange();
    void BringToFront();
    int ScreenHeight() const;
    void CreateShortcuts();
    bool InsightShown() const;
    // The panel's texts and the views' overlays for the current series; called before the view is drawn.
    void UpdateInsight();
    void CloseInsight();
    void SwitchToOrFromInsight();
    void ShowExample(const TInsightExample& Example);
    void CreateChartMenu();
    // The value under the mouse as a tooltip that follows it; none outside the plot.
    void ShowHoverValue(bool InPlot, double X, double Y);

    std::unique_ptr<TLesson> lesson_;
    std::unique_ptr<TLessonViews> views_;
    TInsightPanel* insightPanel_ = nullptr;
    TLessonChartMenu* chartMenu_ = nullptr;
    TLessonZoom* zoom_ = nullptr;
    std::unique_ptr<TLessonFrontDoor> frontDoor_;
    QPointer<TmnxDemonClient> cliDemon;
    int LastA = -1;
    int LastB = -1;
    int LastC = -1;
    int LastX = -1;
    bool showingStep_ = false;  // the lesson's own recalculation waits until the controls show the step
    bool shownOnce_ = false;
};
