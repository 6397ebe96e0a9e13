#include "app/AboutBox.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

#include "app/AppIcon.h"
#include "platform/os/AnsiText.h"
#include "platform/draw/Cursors.h"
#include "platform/draw/PlainToolTips.h"
#include "platform/draw/Shell.h"
#include "translate/ComponentTranslation.h"

namespace {

const QColor Maroon(128, 0, 0);
const QColor LinkBlue(0, 0, 255);
const QColor LinkRed(255, 0, 0);

QFont FontOf(const char* Family, int PixelSize)
{
    QFont font(QString::fromLatin1(Family));
    font.setPixelSize(PixelSize);
    return font;
}

void SetTextColor(QWidget* Widget, const QColor& Color)
{
    QPalette palette = Widget->palette();
    palette.setColor(QPalette::WindowText, Color);
    Widget->setPalette(palette);
}

// "&About" -> "About"; "&&" stands for one ampersand
QString WithoutMnemonic(const QString& Text)
{
    QString plain;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text[i] == QLatin1Char('&') && i + 1 < Text.size())
            ++i;
        plain += Text[i];
    }
    return plain;
}

QFrame* CreatePanel(QWidget* Parent, const QRect& Geometry)
{
    // an etched rim: lowered outside, raised inside
    auto* panel = new QFrame(Parent);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setGeometry(Geometry);
    return panel;
}

QLabel* CreateLabel(QWidget* Parent, const QRect& Geometry, Qt::Alignment Alignment, const QString& Text = {})
{
    auto* label = new QLabel(Parent);
    // dictionary texts are never markup: rich text would load any <img src=...> it names
    label->setTextFormat(Qt::PlainText);
    label->setText(Text);
    label->setGeometry(Geometry);
    label->setAlignment(Alignment);
    return label;
}

QLabel* CreateLinkLabel(QWidget* Parent, const QRect& Geometry, const QString& Text)
{
    QLabel* label = CreateLabel(Parent, Geometry, Qt::AlignLeft | Qt::AlignTop, Text);
    QFont font = FontOf("Courier New", 13);
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->setFocusPolicy(Qt::TabFocus);
    SetTextColor(label, LinkBlue);
    return label;
}

}  // namespace

// An address the desktop cannot open leaves the click without effect; the box shows the address to copy.
TFrmAbout::TFrmAbout(QWidget* Parent)
    : QDialog(Parent), ShellOpen([](const QString& Address) { static_cast<void>(OpenUrl(Address)); })
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("BF_About"));
    setWindowIcon(SewellaIcon());
    ShowToolTipsAsPlainText();
    setFont(FontOf("Arial", 13));
    setFixedSize(543, 332);

    CreateNamePanel();
    LblDescription = CreateLabel(this, QRect(8, 152, 529, 65), Qt::AlignHCenter | Qt::AlignTop);
    LblDescription->setWordWrap(true);
    SetTextColor(LblDescription, Maroon);
    CreateLinkPanel();

    BButOK = new QPushButton(QStringLiteral("BF_OK"), this);
    BButOK->setGeometry(424, 296, 113, 33);
    BButOK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BButOK->setDefault(true);
    connect(BButOK, &QPushButton::clicked, this, [this] { BButOKClick(); });
}

void TFrmAbout::CreateNamePanel()
{
    Panel1 = CreatePanel(this, QRect(8, 10, 529, 127));
    LblName = CreateLabel(Panel1, QRect(8, 12, 513, 34), Qt::AlignHCenter | Qt::AlignTop);
    QFont nameFont = FontOf("Arial", 30);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    LblName->setFont(nameFont);
    SetTextColor(LblName, Maroon);
    LblVersion = CreateLabel(Panel1, QRect(8, 50, 513, 16), Qt::AlignHCenter | Qt::AlignTop);
    LblAuthor = CreateLabel(Panel1, QRect(8, 74, 513, 16), Qt::AlignHCenter | Qt::AlignTop);
    LblNotice = CreateLabel(Panel1, QRect(8, 100, 513, 16), Qt::AlignHCenter | Qt::AlignTop,
        QStringLiteral("Sewella is free teaching software, offered without any warranty."));
}

void TFrmAbout::CreateLinkPanel()
{
    Panel2 = CreatePanel(this, QRect(8, 224, 529, 65));
    Panel2->setMouseTracking(true);
    Panel2->installEventFilter(this);
    LblWebSite = CreateLabel(Panel2, QRect(8, 8, 137, 49), Qt::AlignRight | Qt::AlignTop);
    LblWebSite->setWordWrap(true);

    LblHomePage = CreateLinkLabel(Panel2, QRect(152, 12, 369, 16), QStringLiteral("BF_HomePage"));
    LblHomePage->hide();
    LblHomePage->installEventFilter(this);

    SimulationsAddress = QUrl::fromLocalFile(DocumentationDirectory() + QLatin1Char('/')).toString();
    LblSimus = CreateLinkLabel(Panel2, QRect(152, 36, 369, 16), {});
    // a deep install prefix gives a long address: show its ends, keep the whole in the tool tip
    LblSimus->setText(QFontMetrics(LblSimus->font()).elidedText(SimulationsAddress, Qt::ElideMiddle, 369));
    LblSimus->setToolTip(SimulationsAddress);
    LblSimus->installEventFilter(this);
}

QString TFrmAbout::DocumentationDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/sewella"));
}

QString TFrmAbout::ResolveAddress(const QString& Address)
{
    const QString text = Address.trimmed();
    if (text.isEmpty() || QDir::isAbsolutePath(text) || text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return Address;
    const QUrl url(text);
    if (!url.isValid() || !url.scheme().isEmpty())
        return Address;
    const QString file = QDir(DocumentationDirectory()).filePath(text);
    return QFileInfo::exists(file) ? file : Address;
}

void TFrmAbout::FormShow()
{
    LblHomePage->setVisible(true);
}

void TFrmAbout::BButOKClick()
{
    accept();
}

void TFrmAbout::LblHomePageClick()
{
    OpenLink(ResolveAddress(HomePageAddress));
}

void TFrmAbout::LblSimusClick()
{
    OpenLink(SimulationsAddress);
}

void TFrmAbout::LblHomePageMouseMove()
{
    SetTextColor(LblHomePage, LinkRed);
}

void TFrmAbout::LblSimusMouseMove()
{
    SetTextColor(LblSimus, LinkRed);
}

void TFrmAbout::Panel2MouseMove()
{
    SetTextColor(LblHomePage, LinkBlue);
    SetTextColor(LblSimus, LinkBlue);
}

void TFrmAbout::OpenLink(const QString& Address)
{
    // application-wide, so the busy cursor also shows over the link's own hand cursor; restored on every path
    TAppCursorScope busy(crAppStart);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (ShellOpen)
        ShellOpen(Address);
}

void TFrmAbout::showEvent(QShowEvent* Event)
{
    FormShow();
    QDialog::showEvent(Event);
    // Return closes the dialog at once; Tab reaches the links
    BButOK->setFocus(Qt::OtherFocusReason);
}

bool TFrmAbout::LinkKeyPressed(QObject* Watched, const QKeyEvent& Key)
{
    if (Key.key() != Qt::Key_Return && Key.key() != Qt::Key_Enter && Key.key() != Qt::Key_Space)
        return false;
    if (Watched == LblHomePage)
        LblHomePageClick();
    else if (Watched == LblSimus)
        LblSimusClick();
    else
        return false;
    return true;
}

bool TFrmAbout::eventFilter(QObject* Watched, QEvent* Event)
{
    const bool isLink = Watched == LblHomePage || Watched == LblSimus;
    if (isLink && Event->type() == QEvent::KeyPress)
        return LinkKeyPressed(Watched, *static_cast<QKeyEvent*>(Event));
    if (isLink && (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut)) {
        // a link with the keyboard's focus looks as under the mouse
        SetTextColor(static_cast<QWidget*>(Watched), Event->type() == QEvent::FocusIn ? LinkRed : LinkBlue);
        return false;
    }
    if (Event->type() == QEvent::MouseMove) {
        // a label passes its mouse moves on to its parent: stop them here, or the panel would turn it blue again
        if (Watched == LblHomePage) {
            LblHomePageMouseMove();
            return true;
        }
        if (Watched == LblSimus) {
            LblSimusMouseMove();
            return true;
        }
        if (Watched == Panel2)
            Panel2MouseMove();
    } else if (Event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(Event);
        auto* label = qobject_cast<QLabel*>(Watched);
        if (label && mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == LblHomePage)
                LblHomePageClick();
            else if (label == LblSimus)
                LblSimusClick();
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void FillAboutBox(TFrmAbout& About, TBabelfish2000& Dictionary)
{
    About.LblName->setText(QStringLiteral("Linear Congruential Generator"));
    About.LblVersion->setText(QStringLiteral("Version " SEWELLA_VERSION));
    About.HomePageAddress = TranslateString(Dictionary, QStringLiteral("HomePageURL"));
    const std::string language = LowerAscii(Dictionary.Translate("$dlglanguage$"));
    Dictionary.TranslateComponent(&About);
    // the caption shares its text with the About button, whose mnemonic marker a title does not show
    About.setWindowTitle(WithoutMnemonic(About.windowTitle()));
    if (language == "lggerman") {
        About.LblWebSite->setText(QStringLiteral("Mehr Informationen finden Sie auf folgenden Webseiten:"));
        About.LblDescription->setText(QStringLiteral(
            "Dieses Programm zeigt die Wirkungsweise eines in vielen Softwareprodukten verwendeten Typs eines "
            "Pseudo-Zufallsgenerators und wurde in der Gruppe von Varnholt an der Pelzmoor entwickelt und wird in "
            "verschiedenen interaktiven elektronischen Lehrbüchern eingesetzt."));
    } else {
        About.LblWebSite->setText(QStringLiteral("More information can be found at the following Web sites:"));
        About.LblDescription->setText(QStringLiteral(
            "This program shows the function of a type of a random number generator which is used in many "
            "software products. It is an application developed by the electronic media group of Varnholt at the "
            "Pelzmoor. It is used in various electronic textbooks."));
    }
}
