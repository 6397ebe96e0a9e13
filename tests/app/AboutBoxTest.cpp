#include "app/AboutBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <sstream>
#include <string>
#include <vector>

#include "app/AppIcon.h"
#include "platform/draw/Cursors.h"
#include "translate/Babelfish2000.h"

namespace {

const QString GermanWebSite = QStringLiteral("Mehr Informationen finden Sie auf folgenden Webseiten:");
const QString EnglishWebSite = QStringLiteral("More information can be found at the following Web sites:");

void Load(TBabelfish2000& Dictionary, const std::string& Records)
{
    std::istringstream stream(Records);
    ASSERT_TRUE(Dictionary.LoadFromStream(stream));
}

QColor TextColor(const QWidget* Widget)
{
    return Widget->palette().color(QPalette::WindowText);
}

void MoveMouseOn(QWidget* Widget)
{
    const QPointF at(2, 2);
    QMouseEvent move(QEvent::MouseMove, at, Widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Widget, &move);
}

struct FillCase {
    const char* Name;
    std::string Records;
    QString HomePageAddress, HomePage, OK, Caption, WebSite;
    bool German;
};

TEST(AboutBox, FillingFollowsTheDictionary)
{
    const FillCase cases[] = {
        {"no dictionary", "", "HomePageURL", "HomePage", "OK", "About", EnglishWebSite, false},
        {"language in mixed case", "[$dlglanguage$]=LgGerman|$$[HomePageURL]=README.md|$$", "README.md", "HomePage",
            "OK", "About", GermanWebSite, true},
        {"English with captions",
            "[$DlgLanguage$]=lgenglish|$$[homepage]=Home page|$$[ok]=Fine|$$[About]=About Sewella|$$", "HomePageURL",
            "Home page", "Fine", "About Sewella", EnglishWebSite, false},
        {"German captions", "[$dlglanguage$]=lggerman|$$[HomePage]=Startseite|$$[About]=Über Sewella|$$", "HomePageURL",
            "Startseite", "OK", "Über Sewella", GermanWebSite, true},
        // only the lower-cased text decides: a near miss is English
        {"unknown language", "[$dlglanguage$]=lggerman2|$$", "HomePageURL", "HomePage", "OK", "About", EnglishWebSite,
            false},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBabelfish2000 dictionary;
        Load(dictionary, c.Records);
        TFrmAbout about;
        FillAboutBox(about, dictionary);
        EXPECT_EQ(about.LblName->text(), "Linear Congruential Generator");
        EXPECT_EQ(about.LblVersion->text(), "Version 1.2");
        EXPECT_EQ(about.HomePageAddress, c.HomePageAddress);
        EXPECT_EQ(about.LblHomePage->text(), c.HomePage);
        EXPECT_EQ(about.BButOK->text(), c.OK);
        EXPECT_EQ(about.windowTitle(), c.Caption);
        EXPECT_EQ(about.LblWebSite->text(), c.WebSite);
        EXPECT_EQ(about.LblDescription->text().startsWith("Dieses Programm zeigt"), c.German);
        EXPECT_EQ(about.LblDescription->text().startsWith("This program shows"), !c.German);
        EXPECT_TRUE(about.LblAuthor->text().isEmpty());
    }
}

TEST(AboutBox, ClosingOnlyHidesAndAnotherShowingKeepsTheTexts)
{
    TBabelfish2000 dictionary;
    Load(dictionary, "[$dlglanguage$]=lggerman|$$[HomePage]=Startseite|$$");
    TFrmAbout about;
    EXPECT_TRUE(about.LblHomePage->isHidden());
    FillAboutBox(about, dictionary);
    about.show();
    EXPECT_TRUE(about.LblHomePage->isVisible());
    QTest::mouseClick(about.BButOK, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);

    // the dictionary now says English; the About button shows the dialog without refilling it
    Load(dictionary, "[$dlglanguage$]=lgenglish|$$[HomePage]=Home page|$$");
    about.show();
    EXPECT_TRUE(about.LblHomePage->isVisible());
    EXPECT_EQ(about.LblWebSite->text(), GermanWebSite);
    EXPECT_EQ(about.LblHomePage->text(), "Startseite");
    about.hide();
}

TEST(AboutBox, LinksTurnRedUnderTheMouseAndBlueOnTheirPanel)
{
    TFrmAbout about;
    about.show();
    const QColor blue(0, 0, 255), red(255, 0, 0);
    EXPECT_EQ(TextColor(about.LblHomePage), blue);
    EXPECT_EQ(TextColor(about.LblSimus), blue);

    MoveMouseOn(about.LblHomePage);
    EXPECT_EQ(TextColor(about.LblHomePage), red);
    EXPECT_EQ(TextColor(about.LblSimus), blue);
    MoveMouseOn(about.LblSimus);
    EXPECT_EQ(TextColor(about.LblHomePage), red) << "leaving a link for another does not reset it";
    EXPECT_EQ(TextColor(about.LblSimus), red);
    MoveMouseOn(about.Panel2);
    EXPECT_EQ(TextColor(about.LblHomePage), blue);
    EXPECT_EQ(TextColor(about.LblSimus), blue);
    about.hide();
}

TEST(AboutBox, ALinkOpensItsAddressUnderTheBusyCursor)
{
    TBabelfish2000 dictionary;
    Load(dictionary, "[HomePageURL]=https://example.invalid/sewella|$$");
    TFrmAbout about;
    FillAboutBox(about, dictionary);
    about.show();
    std::vector<QString> opened;
    std::vector<TCursor> cursors;
    about.ShellOpen = [&](const QString& Address) {
        opened.push_back(Address);
        cursors.push_back(AppCursor());
    };

    QTest::mouseClick(about.LblHomePage, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(about.LblSimus, Qt::LeftButton, {}, QPoint(3, 3));
    // a right click and a release outside the label open nothing
    QTest::mouseClick(about.LblSimus, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseClick(about.LblSimus, Qt::LeftButton, {}, QPoint(-5, 3));

    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "https://example.invalid/sewella");
    EXPECT_EQ(opened[1], about.SimulationsAddress);
    EXPECT_EQ(cursors, (std::vector<TCursor>{crAppStart, crAppStart}));
    EXPECT_EQ(AppCursor(), crDefault);
    about.hide();
}

TEST(AboutBox, SimulationsLinkNamesTheProgramsDocumentation)
{
    TFrmAbout about;
    EXPECT_TRUE(about.SimulationsAddress.startsWith("file:///"));
    EXPECT_TRUE(about.SimulationsAddress.endsWith("/share/doc/sewella/"));
    EXPECT_EQ(about.LblSimus->toolTip(), about.SimulationsAddress);
    // shown whole when it fits, shortened in the middle otherwise; never wider than the label
    EXPECT_LE(QFontMetrics(about.LblSimus->font()).horizontalAdvance(about.LblSimus->text()), 369);
    EXPECT_TRUE(about.LblSimus->text().endsWith("sewella/"));
}

TEST(AboutBox, RelativeAddressesNameDocumentationFiles)
{
    // the tests run outside an installed tree: no documentation file exists, so nothing is rewritten
    const QString unchanged[] = {
        "README.md", "https://example.invalid/a", "www.example.invalid", "/tmp/x.html", "HomePageURL", ""};
    for (const QString& address : unchanged)
        EXPECT_EQ(TFrmAbout::ResolveAddress(address), address) << address.toStdString();
}

TEST(AboutBox, FontsResolveToTheMetricCompatibleFaces)
{
    TFrmAbout about;
    EXPECT_EQ(QFontInfo(about.font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(about.font()).pixelSize(), 13);
    const QFontInfo name(about.LblName->font());
    EXPECT_EQ(name.family(), "Liberation Sans");
    EXPECT_EQ(name.pixelSize(), 30);
    EXPECT_TRUE(name.bold());
    EXPECT_TRUE(name.italic());
    EXPECT_EQ(TextColor(about.LblName), QColor(128, 0, 0));
    EXPECT_EQ(TextColor(about.LblDescription), QColor(128, 0, 0));
    for (const QLabel* link : {about.LblHomePage, about.LblSimus}) {
        const QFontInfo info(link->font());
        EXPECT_EQ(info.family(), "Liberation Mono");
        EXPECT_TRUE(info.bold());
        EXPECT_TRUE(info.underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(about.size(), QSize(543, 332));
}

}  // namespace

TEST(ProgramIcon, ShippedPicturesAreTheDrawnIconAtEverySize)
{
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage shipped(
            QString(SEWELLA_DATA_DIR "/icons/hicolor/%1x%1/apps/io.github.sewella.Sewella.png").arg(size));
        ASSERT_FALSE(shipped.isNull());
        EXPECT_EQ(shipped.convertToFormat(QImage::Format_ARGB32),
            SewellaIconImage(size).convertToFormat(QImage::Format_ARGB32));
    }
}
