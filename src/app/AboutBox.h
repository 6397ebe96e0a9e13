#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;
class TBabelfish2000;

// The About dialog: the lesson's name and version, a description in English or German and two links that open
// pages in the default browser. Created once at start-up; closing it only hides it, so showing it again keeps
// the texts the main window filled in.
class TFrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget* Parent = nullptr);

    // Filled by the main window before the first showing; a relative address names a file in the program's
    // documentation directory.
    QString HomePageAddress;
    // What LblSimus opens: the program's documentation directory (its text may be shortened to fit).
    QString SimulationsAddress;

    QFrame* Panel1 = nullptr;
    QLabel* LblName = nullptr;
    QLabel* LblVersion = nullptr;
    QLabel* LblAuthor = nullptr;
    QLabel* LblNotice = nullptr;
    QLabel* LblDescription = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* LblWebSite = nullptr;
    QLabel* LblHomePage = nullptr;
    QLabel* LblSimus = nullptr;
    QPushButton* BButOK = nullptr;

    // Asks the shell to open an address; tests put a recorder here.
    std::function<void(const QString& Address)> ShellOpen;

    void FormShow();
    void BButOKClick();
    void LblHomePageClick();
    void LblSimusClick();
    void LblHomePageMouseMove();
    void LblSimusMouseMove();
    void Panel2MouseMove();

    // Where the program's own documentation lies: <exe dir>/../share/doc/sewella.
    static QString DocumentationDirectory();
    // A relative address is a file in the documentation directory; anything else is returned unchanged.
    static QString ResolveAddress(const QString& Address);

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateNamePanel();
    void CreateLinkPanel();
    void OpenLink(const QString& Address);
    // Return, Enter or Space on a focused link opens it.
    bool LinkKeyPressed(QObject* Watched, const QKeyEvent& Key);
};

// What the main window does to the About dialog each time it is shown: name and version, the home page
// address and the language from the dictionary, translation of the dialog's "BF_" texts, and the German or
// English description. The caller then shows the dialog modally.
void FillAboutBox(TFrmAbout& About, TBabelfish2000& Dictionary);
