#pragma once
// TNumLab: a framed box showing one value, with a caption on its left and a text (typically a
// unit) on its right. It renders into its own image on every change; paintEvent only copies.

#include <functional>

#include <QImage>
#include <QString>
#include <QWidget>

#include "numlab/NumLabText.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"

class TNumLab : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int LeftSpace READ LeftSpace WRITE SetLeftSpace)
    Q_PROPERTY(bool Empty READ Empty WRITE SetEmpty)
    Q_PROPERTY(int LabelWidth READ LabelWidth WRITE SetLabelWidth)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)
    Q_PROPERTY(bool Comma READ Comma WRITE SetComma)
    Q_PROPERTY(bool ForcePlusSign READ ForcePlusSign WRITE SetForcePlusSign)
    Q_PROPERTY(QString LeftText READ LeftText WRITE SetLeftText)
    Q_PROPERTY(QString RightText READ RightText WRITE SetRightText)
    Q_PROPERTY(TFrameStyle FrameStyle READ FrameStyle WRITE SetFrameStyle)
    Q_PROPERTY(QString StateText READ StateText WRITE SetStateText)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TAlignment LeftTextAlignment READ LeftTextAlignment WRITE SetLeftTextAlignment)
    Q_PROPERTY(TAlignment RightTextAlignment READ RightTextAlignment WRITE SetRightTextAlignment)
    Q_PROPERTY(int MouseArea READ MouseArea)
    Q_PROPERTY(QString OverflowIndicator READ OverflowIndicator WRITE SetOverflowIndicator)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(TColor ColorLabBakG READ ColorLabBakG WRITE SetColorLabBakG)
    Q_PROPERTY(TColor ColorLabText READ ColorLabText WRITE SetColorLabText)
    Q_PROPERTY(TColor ColorOutBakG READ ColorOutBakG WRITE SetColorOutBakG)
    Q_PROPERTY(TColor ColorOutText READ ColorOutText WRITE SetColorOutText)
    Q_PROPERTY(TColorScheme ColorScheme READ ColorScheme WRITE SetColorScheme)
    Q_PROPERTY(TDisplay DisplayType READ DisplayType WRITE SetDisplayType)
    Q_PROPERTY(QString DTFormat READ DTFormat WRITE SetDTFormat)

public:
    explicit TNumLab(QWidget* parent = nullptr);
    ~TNumLab() override;

    int LeftSpace() const { return display_.leftSpace; }
    bool Empty() const { return display_.empty; }
    int LabelWidth() const { return display_.labelWidth; }
    int Precision() const { return display_.text.Precision; }
    bool Comma() const { return format_.Comma; }
    bool ForcePlusSign() const { return format_.ForcePlusSign; }
    QString LeftText() const { return display_.leftText; }
    QString RightText() const { return display_.rightText; }
    TFrameStyle FrameStyle() const { return display_.frameStyle; }
    QString StateText() const { return display_.text.StateText; }
    TAlignment Alignment() const { return display_.alignment; }
    TAlignment LeftTextAlignment() const { return display_.leftTextAlignment; }
    TAlignment RightTextAlignment() const { return display_.rightTextAlignment; }
    // Where the mouse was last seen: 0 left text, 1 box, 2 right text.
    int MouseArea() const { return mouseArea_; }
    QString OverflowIndicator() const { return display_.text.OverflowIndicator; }
    double Value() const { return display_.value; }
    TColor ColorLabBakG() const { return display_.colorLabBakG; }
    TColor ColorLabText() const { return display_.colorLabText; }
    TColor ColorOutBakG() const { return display_.colorOutBakG; }
    TColor ColorOutText() const { return display_.colorOutText; }
    TColor FrameColor() const { return display_.frameColors.frame; }
    TColor ShadowColor() const { return display_.frameColors.shadow; }
    TColor HighlightColor() const { return display_.frameColors.highlight; }
    TColorScheme ColorScheme() const { return display_.colorScheme; }
    TDisplay DisplayType() const { return display_.text.DisplayType; }
    QString DTFormat() const { return format_.DTFormat; }

    // Negative values are ignored; a value beyond the control's width is stored as the width.
    void SetLeftSpace(int value);
    void SetEmpty(bool value);
    void SetLabelWidth(int value);
    // Negative values are ignored; values above MaxNumLabPrecision are stored as that.
    void SetPrecision(int value);
    void SetComma(bool value);
    void SetForcePlusSign(bool value);
    void SetLeftText(const QString& value);
    void SetRightText(const QString& value);
    void SetFrameStyle(TFrameStyle value);
    void SetStateText(const QString& value);
    void SetAlignment(TAlignment value);
    void SetLeftTextAlignment(TAlignment value);
    void SetRightTextAlignment(TAlignment value);
    void SetOverflowIndicator(const QString& value);
    // A NaN is ignored.
    void SetValue(double value);
    void SetColorLabBakG(TColor value);
    void SetColorLabText(TColor value);
    void SetColorOutBakG(TColor value);
    void SetColorOutText(TColor value);
    // Also sets the shadow and highlight colours of the frame.
    void SetColorScheme(TColorScheme value);
    void SetDisplayType(TDisplay value);
    void SetDTFormat(const QString& value);

    // Copies the display settings of another TNumLab (not Comma, ForcePlusSign, DTFormat, the
    // font or OnBeforeDisplay) and repaints. Any other source raises EQuarnError.
    void Assign(const QObject* source);
    // Hands this control to destination's Assign when this control is an instance of the
    // destination's class; otherwise raises EQuarnError.
    void AssignTo(QObject* destination) const;

    // Renders the whole control into its image now (and asks the window to show it).
    void Paint();
    // The latest rendered picture.
    const QImage& Image() const { return image_; }
    // The text drawn in the box by the last Paint (empty when Empty is set).
    QString DisplayedText() const { return displayedText_; }

    // Called just before the value text is measured and drawn; may change the text.
    std::function<void(TNumLab* Sender, QString& Text)> OnBeforeDisplay;
    // The control's ordinary mouse-move event, after MouseArea is updated.
    std::function<void(TNumLab* Sender, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseMove;

    // Updates MouseArea for a mouse at (x, y), then raises OnMouseMove.
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Everything Assign copies: layout, texts, value, display and colours. The number format
    // (Comma, ForcePlusSign, DTFormat) stays each control's own.
    struct Display {
        int leftSpace = 35;
        bool empty = false;
        int labelWidth = 80;
        QString leftText;
        QString rightText;
        TFrameStyle frameStyle = fsLowered;
        TAlignment alignment = taCenter;
        TAlignment leftTextAlignment = taRightJustify;
        TAlignment rightTextAlignment = taLeftJustify;
        double value = 0.0;
        TValueDisplay text;
        TColor colorLabBakG = clBtnFace;
        TColor colorLabText = clBlack;
        TColor colorOutBakG = clBtnFace;
        TColor colorOutText = clBlack;
        TColorScheme colorScheme = csBWG;
        TFrameColors frameColors;  // follow the colour scheme
    };

    // The setters' common tail (see StoreSetting): an unchanged value returns at once, a changed
    // one is stored and painted.
    template <typename T, typename V> void Store(T& field, V&& value);
    // False only when the control was hidden on purpose.
    bool VisibleFlag() const;
    // The steps of Paint, each drawing on the control's off-screen canvas.
    void DrawSideTexts(TCanvas& canvas, int yText) const;
    void DrawBox(TCanvas& canvas) const;
    void DrawValue(TCanvas& canvas, int yText);

    Display display_;
    TNumberFormat format_;
    int mouseArea_ = 0;
    QImage image_;
    QString displayedText_;
};
