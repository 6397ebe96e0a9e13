#include "app/Mainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimer>
#include <QToolTip>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

#include "app/AppIcon.h"
#include "app/GeneratorInsight.h"
#include "app/InsightPanel.h"
#include "app/InsightTexts.h"
#include "app/LessonAccessibility.h"
#include "app/LessonChartMenu.h"
#include "app/LessonFrontDoor.h"
#include "app/LessonSlider.h"
#include "app/LessonViews.h"
#include "app/LessonZoom.h"
#include "chart/Quarn_rchart.h"
#include "hostlink/TarvosDemon.h"
#include "numlab/Quarn_NumLab.h"
#include "platform/draw/Color.h"
#include "platform/draw/PlainToolTips.h"
#include "translate/ComponentTranslation.h"

namespace {

constexpr TColor LastLineTextColor = 0x5662EB;
constexpr int FontPixelHeight = 13;

QFont FormFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(FontPixelHeight);
    return font;
}

template <typename T> T* Place(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Parent);
    control->setObjectName(QLatin1String(Name));
    control->setGeometry(Left, Top, Width, Height);
    return control;
}

QLineEdit* ReadOnlyEdit(QWidget* Parent, const char* Name, int Left, int Top, int Width)
{
    auto* edit = Place<QLineEdit>(Parent, Name, Left, Top, Width, 24);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

void SetColors(QWidget* Control, QPalette::ColorRole Role, TColor Color)
{
    QPalette palette = Control->palette();
    palette.setColor(Role, ToQColor(Color));
    Control->setPalette(palette);
}

// The page under the tabs; it rings the control on it that has the keyboard's focus, outside that control's
// own picture.
class TTabArea : public QFrame {
public:
    using QFrame::QFrame;
    QPointer<QWidget> Ringed;

protected:
    void paintEvent(QPaintEvent* Event) override
    {
        QFrame::paintEvent(Event);
        if (!Ringed || !Ringed->hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = QRect(Ringed->mapTo(parentWidget(), QPoint()) - pos(), Ringed->size()).adjusted(-3, -3, 2, 2);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
};

}  // namespace

// --- the tab control ---

TTabControl::TTabControl(QWidget* Parent) : QFrame(Parent), tabBar_(new QTabBar(this)), area_(new TTabArea(this))
{
    tabBar_->setObjectName(QStringLiteral("Tabs"));
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    area_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    area_->lower();
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
}

QStringList TTabControl::Tabs() const
{
    QStringList tabs;
    for (int i = 0; i < tabBar_->count(); ++i)
        tabs.append(tabBar_->tabText(i));
    return tabs;
}

void TTabControl::SetTabs(const QStringList& Value)
{
    const QSignalBlocker quiet(tabBar_);
    const int selected = tabBar_->currentIndex();
    while (tabBar_->count() > 0)
        tabBar_->removeTab(0);
    for (const QString& tab : Value)
        tabBar_->addTab(tab);
    tabBar_->setCurrentIndex(std::min(selected, static_cast<int>(Value.size()) - 1));
}

void TTabControl::RingFocusOf(QWidget* Control)
{
    static_cast<TTabArea*>(area_)->Ringed = Control;
    Control->installEventFilter(this);
}

bool TTabControl::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut)
        area_->update();
    return QFrame::eventFilter(Watched, Event);
}

int TTabControl::TabIndex() const
{
    return tabBar_->currentIndex();
}

void TTabControl::SetTabIndex(int Value)
{
    const QSignalBlocker quiet(tabBar_);
    tabBar_->setCurrentIndex(Value);
}

void TTabControl::resizeEvent(QResizeEvent* Event)
{
    QFrame::resizeEvent(Event);
    const int tabHeight = tabBar_->sizeHint().height();
    tabBar_->setGeometry(2, 0, width() - 4, tabHeight);
    area_->setGeometry(0, tabHeight - 2, width(), height() - tabHeight + 2);
}

// --- the main window: reading the form ---

TForm1::TForm1(const QStringList& CommandLine, QWidget* Parent, const TDemonSetup& BeforeLoading) : QWidget(Parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("BF_LCG - Random Number Generator"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(SewellaIcon());
    setFont(FormFont());
    SetColors(this, QPalette::Window, clBtnFace);
    setAutoFillBackground(true);
    setFixedSize(ClientWidth, ChartLayoutHeight);
    ShowToolTipsAsPlainText();
    InstallLessonAccessibility();
    CreateControls();
    CreateDemon(CommandLine);
    if (BeforeLoading)
        BeforeLoading(*cliDemon);
    RChart1->Loaded();
    cliDemon->Loaded();  // a second start ends in here
    // without a usable link folder the link has said so once already, and there is no door either
    if (cliDemon->OwnEntity().Handle != 0)
        frontDoor_ = std::make_unique<TLessonFrontDoor>([this] { BringToFront(); });
    ConnectHandlers();
    CreateShortcuts();
    NameControls();
    FormCreate();
    CreateChartMenu();
    zoom_ = new TLessonZoom(*this, {ClientWidth, ChartLayoutHeight});
    zoom_->OnChanged = [this] {
        if (!InsightShown())
            return;
        insightPanel_->FollowLesson();
        // and again once the window manager has framed both windows at the new size
        QTimer::singleShot(0, insightPanel_, [this] { insightPanel_->FollowLesson(); });
    };
    zoom_->ApplySaved();
    const QRect screenArea = screen()->geometry();
    move(screenArea.center() - rect().center());
}

TForm1::~TForm1()
{
    if (cliDemon) {
        disconnect(cliDemon, nullptr, this, nullptr);
        delete cliDemon;
    }
}

void TForm1::CreateControls()
{
    // the order of creation is the keyboard's tab order: top left to bottom right
    CreateButtons();
    CreateTextControls();
    CreateChartControls();
    CreateSliders();
}

void TForm1::CreateButtons()
{
    Panel1 = Place<QWidget>(this, "Panel1", 0, 0, ClientWidth, 73);
    SBExit = Place<QPushButton>(Panel1, "SBExit", 6, 5, 115, 29);
    SBAbout = Place<QPushButton>(Panel1, "SBAbout", 127, 5, 115, 29);
    SBReset = Place<QPushButton>(Panel1, "SBReset", 248, 5, 115, 29);
    SBNext = Place<QPushButton>(Panel1, "SBNext", 369, 5, 115, 29);
    SBExit->setText(QStringLiteral("BF_Exit"));
    SBAbout->setText(QStringLiteral("BF_About"));
    SBReset->setText(QStringLiteral("BF_Reset"));
    SBNext->setText(QStringLiteral("BF_Next"));
    // the keyboard reaches the buttons; a click leaves the focus where it was, as before
    for (QPushButton* button : {SBExit, SBAbout, SBReset, SBNext})
        button->setFocusPolicy(Qt::TabFocus);
    Edit1 = ReadOnlyEdit(Panel1, "Edit1", 6, 43, 289);
    NumLab1 = Place<TNumLab>(Panel1, "NumLab1", 311, 43, 173, 24);
    NumLab1->SetLeftText(QStringLiteral("BF_Series length"));
    NumLab1->setToolTip(QStringLiteral("The number of different random values"));
    NumLab1->SetDisplayType(dtFixP);
    NumLab1->SetPrecision(0);
    NumLab1->SetLeftSpace(115);
    NumLab1->SetLabelWidth(55);
    NumLab1->SetFrameStyle(fsLowered);
    NumLab1->SetColorScheme(csBWG);
    NumLab1->SetAlignment(taCenter);
}

void TForm1::CreateTextControls()
{
    Memo1 = Place<QPlainTextEdit>(this, "Memo1", 0, 73, ClientWidth, 104);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setContextMenuPolicy(Qt::PreventContextMenu);
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    SetColors(Memo1, QPalette::Base, clInfoBk);
    SetColors(Memo1, QPalette::Text, clInfoText);
    Edit2 = ReadOnlyEdit(this, "Edit2", 8, 184, 473);
    Edit3 = ReadOnlyEdit(this, "Edit3", 8, 216, 473);
    Edit4 = ReadOnlyEdit(this, "Edit4", 8, 248, 473);
    QFont bold = Edit4->font();
    bold.setBold(true);
    Edit4->setFont(bold);
    SetColors(Edit4, QPalette::Text, LastLineTextColor);
    SetColors(Edit4, QPalette::Base, clInactiveBorder);
}

void TForm1::CreateChartControls()
{
    TabControl1 = Place<TTabControl>(this, "TabControl1", 0, 176, 385, 337);
    TabControl1->SetTabs(
        {QStringLiteral("BF_Random Area"), QStringLiteral("BF_Histogram"), QStringLiteral("BF_Correlation Graph")});
    TabControl1->SetTabIndex(0);
    RChart1 = new TRChart(TabControl1);
    RChart1->setObjectName(QStringLiteral("RChart1"));
    RChart1->BeginLoading();
    RChart1->SetBounds(16, 32, 361, 297);
    // a screen reader user stops on the chart to hear what it shows
    RChart1->setFocusPolicy(Qt::TabFocus);
    TabControl1->RingFocusOf(RChart1);
    SetUpLessonChart(*RChart1);
    views_ = std::make_unique<TLessonViews>(
        *RChart1, [this](const QString& Key, const QStringList& Args) { return Translated(Key, Args); });
    // in the free space right of the tabs and above the sliders
    SBInsight = Place<QPushButton>(this, "SBInsight", 391, 181, 94, 25);
    SBInsight->setText(QStringLiteral("BF_Why?"));
    SBInsight->setCheckable(true);
    SBInsight->setFocusPolicy(Qt::TabFocus);
}

void TForm1::CreateSliders()
{
    const auto slider = [this](const char* Name, int Left) {
        auto* bar = Place<TLessonSlider>(this, Name, Left, 209, 16, 273);
        bar->setOrientation(Qt::Vertical);
        bar->setSingleStep(1);
        bar->setPageStep(5);
        return bar;
    };
    ScrollBarA = slider("ScrollBarA", 393);
    ScrollBarB = slider("ScrollBarB", 417);
    ScrollBarC = slider("ScrollBarC", 441);
    ScrollBarX = slider("ScrollBarX", 465);
    ScrollBarC->setMinimum(1);
    ScrollBarX->setToolTip(QStringLiteral("This is also called 'Random seed'"));
    Label1 = Place<QLabel>(this, "Label1", 397, 488, 8, 16);
    Label2 = Place<QLabel>(this, "Label2", 421, 488, 8, 16);
    Label3 = Place<QLabel>(this, "Label3", 445, 488, 8, 16);
    Label4 = Place<QLabel>(this, "Label4", 465, 488, 16, 16);
    Label1->setText(QStringLiteral("a"));
    Label2->setText(QStringLiteral("b"));
    Label3->setText(QStringLiteral("c"));
    Label4->setText(QStringLiteral("x1"));
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        label->setTextFormat(Qt::PlainText);
}

void TForm1::CreateDemon(const QStringList& CommandLine)
{
    cliDemon = new TmnxDemonClient(this, CommandLine);
    cliDemon->setObjectName(QStringLiteral("cliDemon"));
    cliDemon->SetAutoTranslate(true);
    cliDemon->SetAutoCreateItlFile(false);
    cliDemon->SetMultiStart(false);
    // Alone the lesson reads the dictionary beside it; started by a host, it registers there and takes the
    // host's dictionary, so that the host can name it, quit it and serve its texts.
    cliDemon->SetUseTarvosServer(cliDemon->ServerEntity().Handle != 0);
    cliDemon->OnParamsChange = [this](TmnxCustomDemon*) { cliDemonParamsChange(); };
    // a second start that ends because the lesson runs asks the running lesson to come forward, host or not
    cliDemon->ExitProcess = [exit = cliDemon->ExitProcess](int Code) {
        static_cast<void>(TLessonFrontDoor::Knock());  // no lesson answered: nothing more to do
        exit(Code);
    };
    // an accepted quit from the host frees the link, and with it ends the lesson
    connect(cliDemon, &QObject::destroyed, this, [this] { close(); });
}

QString TForm1::Translated(const QString& Key, const QStringList& Args)
{
    // after the host's quit freed the link, keys still show as themselves with their arguments
    static TBabelfish2000 none{std::string()};
    return TranslateString(cliDemon ? cliDemon->Translator() : none, Key, Args);
}

void TForm1::NameControls()
{
    const std::pair<QWidget*, const char*> names[] = {{ScrollBarA, "a, the increment"},
        {ScrollBarB, "b, the multiplier"}, {ScrollBarC, "c, the modulus"}, {ScrollBarX, "x1, the seed"},
        {Memo1, "Explanation"}, {Edit1, "Formula"}, {RChart1, "Chart"}};
    for (const auto& [control, key] : names)
        control->setAccessibleName(Translated(QString::fromLatin1(key)));
    SBInsight->setToolTip(Translated(QStringLiteral("Explain this generator (Ctrl+I)")));
    int line = 0;
    for (QLineEdit* edit : {Edit2, Edit3, Edit4})
        edit->setAccessibleName(
            Translated(QStringLiteral("Line <%1%> of the worked example"), {QString::number(++line)}));
}

void TForm1::ConnectHandlers()
{
    connect(SBNext, &QPushButton::clicked, this, [this] { SBNextClick(); });
    connect(SBReset, &QPushButton::clicked, this, [this] { SBResetClick(); });
    connect(SBExit, &QPushButton::clicked, this, [this] { SBExitClick(); });
    connect(SBAbout, &QPushButton::clicked, this, [this] { SBAboutClick(); });
    // toggled, not clicked: assistive technology toggles the button without a click
    connect(SBInsight, &QPushButton::toggled, this, [this](bool Checked) {
        if (Checked != InsightShown())
            ToggleInsight();
    });
    TabControl1->OnChange = [this](QObject*) { TabControl1Change(); };
    connect(ScrollBarA, &QScrollBar::valueChanged, this, [this] { ScrollBarAScroll(); });
    connect(ScrollBarB, &QScrollBar::valueChanged, this, [this] { ScrollBarBScroll(); });
    connect(ScrollBarC, &QScrollBar::valueChanged, this, [this] { ScrollBarCScroll(); });
    connect(ScrollBarX, &QScrollBar::valueChanged, this, [this] { ScrollBarXScroll(); });
}

void TForm1::FormCreate()
{
    LastA = LastB = LastC = LastX = -1;
    ScrollBarA->setMaximum(999);
    ScrollBarB->setMaximum(999);
    ScrollBarC->setMaximum(1000);
    ScrollBarX->setMaximum(999);
    lesson_ = std::make_unique<TLesson>();
    lesson_->OnNewSequence = [this](const TLesson&) {
        if (!showingStep_)
            NewSequence();
    };
    lesson_->GotoStep(1);
    ShowStep();
}

// --- showing the lesson ---

void TForm1::ShowStep()
{
    SBReset->setEnabled(lesson_->ResetAllowed());
    SBNext->setEnabled(lesson_->NextAllowed());
    ApplyLayout();
    Edit2->setText(QString::fromStdString(lesson_->Lines()[0]));
    Edit3->setText(QString::fromStdString(lesson_->Lines()[1]));
    Edit4->setText(QString::fromStdString(lesson_->Lines()[2]));
    TabControl1->SetTabIndex(static_cast<int>(lesson_->SelectedView()));
    ShowSliders();
    ShowEnabledFlags();
    const QString memoKey = QString::fromStdString(lesson_->MemoKey());
    Memo1->setPlainText(Translated(memoKey));
    // with the focus on Next, a screen reader reads the new explanation
    SBNext->setAccessibleDescription(Memo1->toPlainText());
    UpdateText();
    lesson_->Recalculate();
}

void TForm1::ApplyLayout()
{
    const bool chart = lesson_->Layout() == TLayout::Chart;
    if (chart == InChartLayout())
        return;
    if (!chart)
        CloseInsight();
    for (QWidget* control : std::initializer_list<QWidget*>{
             TabControl1, SBInsight, ScrollBarA, ScrollBarB, ScrollBarC, ScrollBarX, Edit1, NumLab1})
        control->setVisible(chart);
    // the chart's own flag: a hidden chart does not paint
    RChart1->SetVisible(chart);
    for (QWidget* line : {Edit2, Edit3, Edit4})
        line->setVisible(!chart);
    setFixedSize(ClientWidth, chart ? ChartLayoutHeight : TextLayoutHeight);
    if (chart) {
        move(x(), std::max(screen()->geometry().top(), y() - LayoutMove));
        KeepOnScreen(*this);  // a zoomed window may reach below the screen
    }
}

void TForm1::ShowSliders()
{
    SetSlider(ScrollBarC, LastC, lesson_->C().Value(), lesson_->C().Max());
    SetSlider(ScrollBarA, LastA, lesson_->A().Value(), lesson_->A().Max());
    SetSlider(ScrollBarX, LastX, lesson_->X1().Value(), lesson_->X1().Max());
    SetSlider(ScrollBarB, LastB, lesson_->B().Value(), lesson_->B().Max());
}

void TForm1::SetSlider(QScrollBar* ScrollBar, int& Last, int Value, int Max)
{
    const QSignalBlocker quiet(ScrollBar);
    ScrollBar->setMaximum(Max);
    const int position =
        std::clamp(ScrollBar->maximum() + ScrollBar->minimum() - Value, ScrollBar->minimum(), ScrollBar->maximum());
    ScrollBar->setValue(position);
    // a slider moved back to a value that was handled before a step or the coupling changed it must count
    Last = RevPos(ScrollBar);
}

void TForm1::ShowEnabledFlags()
{
    const TEnabled& enabled = lesson_->Enabled();
    ScrollBarA->setEnabled(enabled.A);
    ScrollBarB->setEnabled(enabled.B);
    ScrollBarC->setEnabled(enabled.C);
    ScrollBarX->setEnabled(enabled.X1);
    TabControl1->setEnabled(enabled.Tabs);
}

void TForm1::NewSequence()
{
    NumLab1->SetValue(lesson_->SeriesLength());
    NumLab1->setAccessibleName(
        Translated(QStringLiteral("Series length <%1%>"), {QString::number(lesson_->SeriesLength())}));
    UpdateInsight();
    ShowView();
}

void TForm1::UpdateText()
{
    Edit1->setText(QString::fromStdString(lesson_->FormulaText()));
    Edit1->repaint();
}

int TForm1::RevPos(const QScrollBar* ScrollBar)
{
    return ScrollBar->maximum() + ScrollBar->minimum() - ScrollBar->value();
}

// --- views ---

void TForm1::ShowView()
{
    switch (TabControl1->TabIndex()) {
    case 0: ShowRandomArea(); break;
    case 1: ShowHistogram(); break;
    case 2: ShowCorrelation(); break;
    default: break;
    }
}

void TForm1::ShowRandomArea()
{
    views_->ShowRandomArea(lesson_->Sequence(), RevPos(ScrollBarC));
}

void TForm1::ShowHistogram()
{
    views_->ShowHistogram(lesson_->Sequence(), RevPos(ScrollBarC));
}

void TForm1::ShowCorrelation()
{
    views_->ShowCorrelation(lesson_->Sequence(), RevPos(ScrollBarC));
}

// --- handlers ---

void TForm1::SBNextClick()
{
    if (!lesson_->NextAllowed())
        return;
    showingStep_ = true;
    static_cast<void>(lesson_->Next());  // allowed, checked above
    showingStep_ = false;
    ShowStep();
}

void TForm1::SBResetClick()
{
    if (!lesson_->ResetAllowed())
        return;
    if (InChartLayout()) {
        const int frameExtra = frameGeometry().height() - height();
        const int outerTextHeight = TextLayoutHeight + frameExtra;
        int top = y() + LayoutMove;
        if (top + outerTextHeight > ScreenHeight())
            top = ScreenHeight() - outerTextHeight;
        move(x(), top);
    }
    showingStep_ = true;
    static_cast<void>(lesson_->Reset());  // allowed, checked above
    showingStep_ = false;
    ShowStep();
}

int TForm1::ScreenHeight() const
{
    return screen()->geometry().bottom() + 1;
}

void TForm1::SBExitClick()
{
    close();
}

void TForm1::SBAboutClick()
{
    if (OnAbout)
        OnAbout(this);
}

void TForm1::TabControl1Change()
{
    ShowView();
}

void TForm1::ScrollBarAScroll()
{
    HandleScroll(ScrollBarA, LastA, [this](int Value) { lesson_->SetA(Value); });
}

void TForm1::ScrollBarBScroll()
{
    HandleScroll(ScrollBarB, LastB, [this](int Value) { lesson_->SetB(Value); });
}

void TForm1::ScrollBarXScroll()
{
    HandleScroll(ScrollBarX, LastX, [this](int Value) { lesson_->SetX(Value); });
}

void TForm1::ScrollBarCScroll()
{
    HandleScroll(ScrollBarC, LastC, [this](int Value) {
        lesson_->SetC(Value);
        SetSlider(ScrollBarA, LastA, lesson_->A().Value(), lesson_->A().Max());
        SetSlider(ScrollBarB, LastB, lesson_->B().Value(), lesson_->B().Max());
        SetSlider(ScrollBarX, LastX, lesson_->X1().Value(), lesson_->X1().Max());
    });
}

// Every scroll notification lands here; one whose value was handled last costs nothing.
void TForm1::HandleScroll(QScrollBar* ScrollBar, int& Last, const std::function<void(int)>& Change)
{
    const int value = RevPos(ScrollBar);
    if (value == Last)
        return;
    Last = value;
    showingStep_ = true;
    Change(value);
    showingStep_ = false;
    UpdateText();
    NewSequence();
}

void TForm1::cliDemonParamsChange()
{
    BringToFront();
}

void TForm1::BringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (OnBroughtToFront)
        OnBroughtToFront();
}

// --- the chart's menu and hover values ---

void TForm1::CreateChartMenu()
{
    chartMenu_ = new TLessonChartMenu(
        *RChart1, *lesson_, [this](const QString& Key, const QStringList& Args) { return Translated(Key, Args); },
        [this] { return TabControl1->TabIndex() == static_cast<int>(TView::Histogram); });
    // the right button and the Menu key ask for it; Shift+F10 too, as elsewhere on the desktop
    RChart1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RChart1, &QWidget::customContextMenuRequested, this, [this](QPoint At) { chartMenu_->Popup(At); });
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), RChart1);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { chartMenu_->Popup(RChart1->rect().center()); });
    RChart1->OnMouseMoveInChart = [this](QObject*, bool InPlot, TShiftState, double X, double Y) {
        ShowHoverValue(InPlot, X, Y);
    };
    RChart1->OnMouseLeave = [](QObject*) { QToolTip::hideText(); };
}

void TForm1::ShowHoverValue(bool InPlot, double X, double Y)
{
    const QString text = InPlot ? views_->HoverText(lesson_->Sequence(), RevPos(ScrollBarC), X, Y) : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), ToolTipOfPlainText(text), RChart1);
}

// --- the insight panel ---

void TForm1::CreateShortcuts()
{
    auto* insight = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    insight->setContext(Qt::ApplicationShortcut);
    connect(insight, &QShortcut::activated, this, [this] { ToggleInsight(); });
    // F6 moves between the lesson and the panel, as between the panes of one window
    auto* otherWindow = new QShortcut(QKeySequence(Qt::Key_F6), this);
    otherWindow->setContext(Qt::ApplicationShortcut);
    connect(otherWindow, &QShortcut::activated, this, [this] { SwitchToOrFromInsight(); });
}

bool TForm1::InsightShown() const
{
    return insightPanel_ && insightPanel_->isVisible();
}

void TForm1::ToggleInsight()
{
    if (InsightShown() || !InChartLayout()) {
        CloseInsight();
        return;
    }
    if (!insightPanel_) {
        insightPanel_ = new TInsightPanel(
            this, [this](const QString& Key, const QStringList& Args) { return Translated(Key, Args); });
        insightPanel_->OnOverlaysChanged = [this] {
            UpdateInsight();
            ShowView();
        };
        insightPanel_->OnExample = [this](const TInsightExample& Example) { ShowExample(Example); };
        insightPanel_->OnClosed = [this] { CloseInsight(); };
    }
    insightPanel_->FollowLesson();
    insightPanel_->show();
    insightPanel_->FollowLesson();  // the window manager's frame is known once shown
    SBInsight->setChecked(true);
    UpdateInsight();
    ShowView();
}

void TForm1::CloseInsight()
{
    const bool shown = InsightShown();
    if (shown)
        insightPanel_->hide();
    SBInsight->setChecked(false);
    if (!shown)
        return;
    views_->SetOverlays({});
    ShowView();
}

void TForm1::UpdateInsight()
{
    if (!InsightShown())
        return;
    const insight::TGenerator g{lesson_->A().Value(), lesson_->B().Value(), lesson_->C().Value()};
    const int x1 = lesson_->X1().Value();
    const insight::TInsight found = insight::Analyse(g, x1);
    insightPanel_->ShowTexts(InsightTextsOf(
        found, g, x1, [this](const QString& Key, const QStringList& Args) { return Translated(Key, Args); }));
    const TEnabled& free = lesson_->Enabled();
    insightPanel_->SetExamplesShown(free.A && free.B && free.C && free.X1);
    TLessonOverlays overlays;
    overlays.Lines = insightPanel_->LinesShown();
    if (overlays.Lines) {
        const insight::TLineFamily& family = found.Lattice.Fewest;
        overlays.S1 = family.S1;
        overlays.S2 = family.S2;
        overlays.A = g.a;
        overlays.C = g.c;
        overlays.LineNumbers = insight::LineNumbersOf(family, g, found.Series);
    }
    overlays.ExpectedCounts = insightPanel_->ExpectedCountsShown();
    if (overlays.ExpectedCounts)
        overlays.Expected = found.Uniformity.Expected;
    views_->SetOverlays(std::move(overlays));
}

void TForm1::SwitchToOrFromInsight()
{
    if (!InsightShown())
        return;
    QWidget* to = insightPanel_->isActiveWindow() ? static_cast<QWidget*>(this) : insightPanel_;
    to->activateWindow();
    to->raise();
}

void TForm1::ShowExample(const TInsightExample& Example)
{
    showingStep_ = true;
    lesson_->SetC(Example.C);
    lesson_->SetA(Example.A);
    lesson_->SetB(Example.B);
    lesson_->SetX(Example.X1);
    showingStep_ = false;
    ShowSliders();
    UpdateText();
    NewSequence();
}

// --- showing and closing ---

void TForm1::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (Event->spontaneous() || shownOnce_)
        return;
    shownOnce_ = true;
    // the About dialog is shown modally from the event loop, not from inside this event
    QTimer::singleShot(0, this, [this] {
        if (OnFirstShow)
            OnFirstShow(this);
        // Space or Return walks the lesson from here, and the learner sees where the keys go
        if (SBNext->isEnabled()) {
            setAttribute(Qt::WA_KeyboardFocusChange);
            SBNext->setFocus(Qt::OtherFocusReason);
        }
    });
}

void TForm1::moveEvent(QMoveEvent* Event)
{
    QWidget::moveEvent(Event);
    if (InsightShown())
        insightPanel_->FollowLesson();
}

void TForm1::closeEvent(QCloseEvent* Event)
{
    QWidget::closeEvent(Event);
    QCoreApplication::quit();
}
