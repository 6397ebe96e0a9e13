#include "app/InsightPanel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "app/USewella.h"

namespace {

QLabel* TextLabel(QWidget* Parent)
{
    auto* label = new QLabel(Parent);
    label->setTextFormat(Qt::PlainText);  // the dictionary's texts are never markup
    label->setWordWrap(true);
    // the keyboard and a screen reader stop on each sentence
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::TabFocus);
    return label;
}

TInsightExample StepExample(const char* Key, int Step)
{
    const TProg& p = TLesson::Steps()[std::size_t(Step)];
    return {Key, p.a, p.b, p.c, p.x1};
}

}  // namespace

const std::vector<TInsightExample>& TInsightPanel::Examples()
{
    static const std::vector<TInsightExample> examples{
        {"insight_example_good", 7, 281, 1000, 1},
        {"insight_example_striped", 7, 1, 1000, 1},
        {"insight_example_striped", 7, 501, 1000, 1},
        {"insight_example_no_increment", 0, 7, 997, 1},
        StepExample("insight_example_step_10", 10),
        StepExample("insight_example_step_12", 12),
    };
    return examples;
}

TInsightPanel::TInsightPanel(QWidget* Lesson, TInsightTranslate Translate)
    : QWidget(Lesson, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lesson_(Lesson),
      translate_(std::move(Translate))
{
    setObjectName(QStringLiteral("InsightPanel"));
    setWindowTitle(translate_(QStringLiteral("Insight"), {}));
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the sentences wrap instead
    // Tab goes from sentence to switch; the area scrolls to whatever has the focus
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroll);
    auto* layout = new QVBoxLayout(content);
    series_ = AddSection(layout, "Your series");
    seriesValues_ = new QPlainTextEdit(content);
    seriesValues_->setReadOnly(true);
    seriesValues_->setTabChangesFocus(true);
    seriesValues_->setFixedHeight(4 * fontMetrics().lineSpacing() + 10);
    seriesValues_->setAccessibleName(translate_(QStringLiteral("The values of your series"), {}));
    layout->addWidget(seriesValues_);
    conditions_ = AddSection(layout, "Full period");
    verdict_ = TextLabel(content);
    layout->addWidget(verdict_);
    cycles_ = AddSection(layout, "Cycles over all seeds");
    lines_ = AddSection(layout, "Lines of the correlation graph");
    showLines_ = AddSwitch(layout, "show the lines");
    uniformity_ = AddSection(layout, "Uniformity of the histogram");
    showExpected_ = AddSwitch(layout, "show the expected count");
    AddExamples(layout);
    layout->addStretch();
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

QLabel* TInsightPanel::AddSection(QVBoxLayout* Layout, const char* Title)
{
    auto* title = new QLabel(translate_(QString::fromLatin1(Title), {}), Layout->parentWidget());
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    Layout->addSpacing(4);
    Layout->addWidget(title);
    QLabel* text = TextLabel(Layout->parentWidget());
    Layout->addWidget(text);
    return text;
}

QCheckBox* TInsightPanel::AddSwitch(QVBoxLayout* Layout, const char* Key)
{
    auto* box = new QCheckBox(translate_(QString::fromLatin1(Key), {}), Layout->parentWidget());
    connect(box, &QCheckBox::toggled, this, [this] {
        if (OnOverlaysChanged)
            OnOverlaysChanged();
    });
    Layout->addWidget(box);
    return box;
}

void TInsightPanel::AddExamples(QVBoxLayout* Layout)
{
    examples_ = new QWidget(Layout->parentWidget());
    auto* column = new QVBoxLayout(examples_);
    column->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(translate_(QStringLiteral("Try these generators"), {}), examples_);
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);
    for (const TInsightExample& example : Examples()) {
        const QString text = translate_(QString::fromLatin1(example.Key),
            {QString::number(example.C), QString::number(example.B), QString::number(example.A)});
        auto* button = new QPushButton(text, examples_);
        connect(button, &QPushButton::clicked, this, [this, &example] {
            if (OnExample)
                OnExample(example);
        });
        column->addWidget(button);
    }
    examples_->hide();
    Layout->addSpacing(4);
    Layout->addWidget(examples_);
}

void TInsightPanel::ShowTexts(const TInsightTexts& Texts)
{
    series_->setText(Texts.Series);
    seriesValues_->setPlainText(Texts.SeriesValues);
    conditions_->setText(Texts.Conditions.join(QLatin1Char('\n')));
    conditions_->setVisible(!Texts.Conditions.isEmpty());
    verdict_->setText(Texts.Verdict);
    cycles_->setText(Texts.Cycles);
    lines_->setText(Texts.Lines);
    uniformity_->setText(Texts.Uniformity);
}

void TInsightPanel::SetExamplesShown(bool Shown)
{
    examples_->setVisible(Shown);
}

bool TInsightPanel::LinesShown() const
{
    return showLines_->isChecked();
}

bool TInsightPanel::ExpectedCountsShown() const
{
    return showExpected_->isChecked();
}

void TInsightPanel::FollowLesson()
{
    const QRect lesson = lesson_->frameGeometry();
    const QRect screen = lesson_->screen()->availableGeometry();
    const int frameWidth = frameGeometry().width() - width();
    const int rightRoom = screen.right() - lesson.right() - frameWidth;
    const int leftRoom = lesson.left() - screen.left() - frameWidth;
    int panelWidth = PanelWidth;
    int left = lesson.right() + 1;
    if (rightRoom < PanelWidth && leftRoom >= PanelWidth) {
        left = lesson.left() - PanelWidth - frameWidth;
    } else if (rightRoom < PanelWidth) {
        // a small screen: narrower, on the roomier side, over the lesson's edge only when it must
        panelWidth = std::max({rightRoom, leftRoom, MinimumWidth});
        left = rightRoom >= leftRoom ? std::min(left, screen.right() + 1 - panelWidth - frameWidth)
                                     : std::max(screen.left(), lesson.left() - panelWidth - frameWidth);
    }
    resize(panelWidth, lesson_->height());
    move(left, lesson.top());
}

void TInsightPanel::closeEvent(QCloseEvent* Event)
{
    QWidget::closeEvent(Event);
    if (OnClosed)
        OnClosed();
}
