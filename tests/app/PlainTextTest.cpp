// Texts from dictionaries and hosts are shown as written, in every kind of control that shows them: markup
// in them is never interpreted, and no file an <img src=...> names is read.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include <sstream>

#include "LessonWindowFixture.h"
#include "app/AboutBox.h"
#include "numlab/Quarn_NumLab.h"
#include "platform/draw/MessageBox.h"

namespace {

const QString Hostile = QStringLiteral("<img src=\"/dev/zero\"><b>bold</b>");

// What a reader sees of a label: its text, as markup only when the label interprets it.
QString Shown(const QLabel* Label)
{
    if (Label->textFormat() == Qt::PlainText)
        return Label->text();
    QTextDocument document;
    document.setHtml(Label->text());
    return document.toPlainText();
}

}  // namespace

TEST(PlainText, AboutDialogLabelsShowDictionaryTextsAsWritten)
{
    TBabelfish2000 dictionary{std::string()};
    std::istringstream records("[HomePage]=" + Hostile.toStdString() + "|$$[OK]=" + Hostile.toStdString() + "|$$");
    ASSERT_TRUE(dictionary.LoadFromStream(records));
    TFrmAbout about;
    FillAboutBox(about, dictionary);
    EXPECT_EQ(Shown(about.LblHomePage), Hostile);
    for (const QLabel* label : about.findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
}

TEST_F(LessonWindow, LabelsAndToolTipsShowTheirTextsAsWritten)
{
    LoadDictionary("[c]=" + Hostile.toStdString() + "|$$");
    Form.Label3->setText(QStringLiteral("BF_c"));
    Form.Demon()->Translator().TranslateComponent(&Form);
    EXPECT_EQ(Shown(Form.Label3), Hostile);

    Form.show();
    Form.NumLab1->setToolTip(Hostile);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), Form.NumLab1->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(Form.NumLab1, &help);
    ASSERT_TRUE(QToolTip::isVisible());
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    EXPECT_EQ(tip.toPlainText(), Hostile);
    QToolTip::hideText();
}

TEST(PlainText, MessageBoxesShowTheirTextAsWritten)
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->textFormat() == Qt::PlainText ? box->text() : QStringLiteral("(interpreted)");
            box->accept();
        }
    });
    ShowInfoMessage(Hostile);
    EXPECT_EQ(shown, Hostile);
}
