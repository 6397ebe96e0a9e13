#include "translate/ComponentTranslation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QObject>
#include <QStringList>

#include <memory>
#include <sstream>

// Plays the chart's scale-property class: the walk recognises it by its class name.
class TScaleProps : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QString ScaleInscript MEMBER ScaleInscript)
    Q_PROPERTY(QString UserTickText MEMBER UserTickText)

public:
    using QObject::QObject;
    QString Caption, ScaleInscript, UserTickText;
};

class TScalePropsHoriz : public TScaleProps {
    Q_OBJECT
public:
    using TScaleProps::TScaleProps;
};

class TTestControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(QString Fixed READ Fixed)
    Q_PROPERTY(QByteArray Bytes MEMBER Bytes)
    Q_PROPERTY(QStringList Tabs MEMBER Tabs)
    Q_PROPERTY(QObject* Font MEMBER Font)
    Q_PROPERTY(TScaleProps* Scale MEMBER Scale)
    Q_PROPERTY(QObjectList Items MEMBER Items)

public:
    using QObject::QObject;
    QString Caption() const { return caption_; }
    void SetCaption(const QString& Value)
    {
        caption_ = Value;
        ++CaptionWrites;
    }
    QString Fixed() const { return "BF_Next"; }

    QString Hint, Name;
    QByteArray Bytes;
    QStringList Tabs;
    QObject* Font = nullptr;
    TScaleProps* Scale = nullptr;
    QObjectList Items;
    int CaptionWrites = 0;

private:
    QString caption_;
};

namespace {

std::unique_ptr<TBabelfish2000> Dictionary(const std::string& Records)
{
    auto dictionary = std::make_unique<TBabelfish2000>();
    std::istringstream stream(Records);
    static_cast<void>(dictionary->LoadFromStream(stream));  // a string stream has no read error
    return dictionary;
}

// The capture records what was looked up and missed, in order.
std::vector<std::string> Lookups(TBabelfish2000& Dictionary)
{
    std::vector<std::string> keys;
    for (const std::string& line : Dictionary.Capture())
        keys.push_back(line.substr(1, line.find("]=") - 1));
    return keys;
}

class ComponentTranslation : public testing::Test {
protected:
    void SetUp() override { dictionary->SetCreateItlFile(true); }
    void TearDown() override { dictionary->SetCreateItlFile(false); }

    std::unique_ptr<TBabelfish2000> dictionary = Dictionary("[next]=Weiter|$$[random area]=Zufallsfl\xC3\xA4"
                                                            "che|$$[precursor]=Vorg\xE4nger|$$");
};

TEST_F(ComponentTranslation, CaptionsLoseTheirMarker)
{
    const struct {
        const char *caption, *expected;
    } rows[] = {
        {"BF_Next", "Weiter"}, {"BF_Exit", "Exit"}, {"bf_Next", "bf_Next"}, {"BF_", ""}, {"BF", "BF"}, {"Next", "Next"},
        {"BF_Random Area", "Zufallsfl\u00e4che"}, {"BF_Precursor", "Vorg\u00e4nger"},  // a Windows-1252 dictionary text
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        TTestControl control;
        control.SetCaption(row.caption);
        dictionary->TranslateComponent(&control);
        EXPECT_EQ(control.Caption(), QString::fromUtf8(row.expected));
    }
}

TEST_F(ComponentTranslation, OnlyMarkedWritableTextPropertiesAreLookedUp)
{
    TTestControl control;
    control.setObjectName("BF_Button");
    control.Name = "BF_Next";
    control.Hint = "The number of different random values";
    control.Bytes = "BF_Next";
    control.SetCaption("BF_Exit");
    dictionary->TranslateComponent(&control);
    EXPECT_EQ(control.objectName(), "BF_Button");
    EXPECT_EQ(control.Name, "BF_Next");
    EXPECT_EQ(control.Hint, "The number of different random values");
    EXPECT_EQ(control.Bytes, "BF_Next");
    EXPECT_EQ(Lookups(*dictionary), std::vector<std::string>{"Exit"});  // nothing else was asked for
}

TEST_F(ComponentTranslation, ScalePropertiesAndCollectionsAreEnteredOtherObjectsAreNot)
{
    TTestControl control;
    TScalePropsHoriz scale(&control);
    scale.Caption = "BF_Successor";
    scale.ScaleInscript = "BF_Next";
    scale.UserTickText = "BF_Ticks";
    control.Scale = &scale;

    TTestControl font(&control);  // a child, but held by a property: a sub-object, not a component
    font.SetCaption("BF_Font");
    control.Font = &font;

    TTestControl first, second;
    first.SetCaption("BF_First");
    second.SetCaption("BF_Second");
    control.Items = {&first, &second};

    dictionary->TranslateComponent(&control);
    EXPECT_EQ(scale.Caption, "Successor");
    EXPECT_EQ(scale.ScaleInscript, "Weiter");
    EXPECT_EQ(scale.UserTickText, "Ticks");
    EXPECT_EQ(font.Caption(), "BF_Font");
    EXPECT_EQ(first.Caption(), "First");
    EXPECT_EQ(second.Caption(), "Second");
    // the scale object is also a child of the control, yet it is translated only once
    EXPECT_EQ(Lookups(*dictionary), (std::vector<std::string>{"Successor", "Ticks", "First", "Second"}));
}

// String list lines are looked up from the last to the first.
TEST_F(ComponentTranslation, OwnedComponentsAreWalkedDepthFirstAndASecondPassChangesNothing)
{
    TTestControl form, panel(&form), button(&panel), label(&form);
    form.SetCaption("BF_Next");
    panel.SetCaption("BF_Panel");
    button.SetCaption("BF_Button");
    button.Tabs = {"BF_Random Area", "BF_Histogram", "plain", "bf_x", "BF_Correlation Graph"};
    label.SetCaption("BF_Label");
    dictionary->TranslateComponent(&form);
    const std::vector<std::string> lookups = {"Panel", "Button", "Correlation Graph", "Histogram", "Label"};
    EXPECT_EQ(Lookups(*dictionary), lookups);
    EXPECT_EQ(form.Caption(), "Weiter");
    EXPECT_EQ(button.Caption(), "Button");

    const int writes = form.CaptionWrites + panel.CaptionWrites + button.CaptionWrites + label.CaptionWrites;
    dictionary->TranslateComponent(&form);
    EXPECT_EQ(form.CaptionWrites + panel.CaptionWrites + button.CaptionWrites + label.CaptionWrites, writes);
    EXPECT_EQ(form.Caption(), "Weiter");
    EXPECT_EQ(button.Tabs, (QStringList{"Zufallsfl\u00e4che", "Histogram", "plain", "bf_x", "Correlation Graph"}));
    EXPECT_EQ(Lookups(*dictionary), lookups);

    TTestControl alone, child(&alone);
    child.SetCaption("BF_Child");
    dictionary->TranslateObject(&alone);
    EXPECT_EQ(child.Caption(), "BF_Child");
}

TEST_F(ComponentTranslation, HookCanStopOneObjectWithItsPartsButNotItsChildren)
{
    TTestControl form, stopped(&form), child(&stopped);
    TScaleProps scale(&stopped);  // a part of the stopped object, though also its child
    scale.Caption = "BF_Scale";
    stopped.Scale = &scale;
    stopped.SetCaption("BF_Stopped");
    child.SetCaption("BF_Child");
    form.SetCaption("BF_Form");
    std::vector<QObject*> asked;
    dictionary->OnBeforeTranslateObject = [&](TBabelfish2000* sender, QObject* instance, bool& allow) {
        EXPECT_EQ(sender, dictionary.get());
        asked.push_back(instance);
        if (instance == &stopped)
            allow = false;
    };
    dictionary->TranslateComponent(&form);
    EXPECT_EQ(form.Caption(), "Form");
    EXPECT_EQ(stopped.Caption(), "BF_Stopped");
    EXPECT_EQ(scale.Caption, "BF_Scale");
    EXPECT_EQ(child.Caption(), "Child");
    EXPECT_EQ(asked, (std::vector<QObject*>{&form, &stopped, &child}));
}

TEST_F(ComponentTranslation, QtWidgetTextsAreTranslated)
{
    QWidget window;
    window.setWindowTitle("BF_LCG - Random Number Generator");
    auto* label = new QLabel("BF_Next", &window);
    label->setToolTip("The number of different random values");
    TTestControl client(&window);
    window.setProperty("cliDemon", QVariant::fromValue<QObject*>(&client));  // not a declared property
    client.SetCaption("BF_Exit");
    dictionary->TranslateComponent(&window);
    EXPECT_EQ(window.windowTitle(), "LCG - Random Number Generator");
    EXPECT_EQ(label->text(), "Weiter");
    EXPECT_EQ(label->toolTip(), "The number of different random values");
    EXPECT_EQ(client.Caption(), "Exit");
}

}  // namespace

#include "ComponentTranslationTest.moc"
