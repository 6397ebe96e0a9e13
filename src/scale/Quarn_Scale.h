#pragma once
// TScale: one axis (base line, tick marks, tick labels, caption) for a numeric, logarithmic,
// time-of-day or calendar range, standing alone on a form or painted by a host into its bitmap.

#include <functional>
#include <vector>

#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Color.h"
#include "scale/Quarn_quarnbase.h"
#include "scale/TickRules.h"

using TScaleRenderEvent = std::function<void(QObject* Sender, TCanvas& Canvas)>;
using TScaleTickDrawnEvent = std::function<void(
    QObject* Sender, TCanvas& Canvas, TScaleType ScaleType, double CurrentTickPos, int ChartX, int ChartY)>;

class TScale : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TFrameStyle FrameStyle READ FrameStyle WRITE SetFrameStyle)
    Q_PROPERTY(TColor ColorScale READ ColorScale WRITE SetColorScale)
    Q_PROPERTY(TColor ColorBackGnd READ ColorBackGnd WRITE SetColorBackGnd)
    Q_PROPERTY(TColorScheme ColorScheme READ ColorScheme WRITE SetColorScheme)
    Q_PROPERTY(bool Logarithmic READ Logarithmic WRITE SetLogarithmic)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE SetRangeHigh)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE SetRangeLow)
    Q_PROPERTY(bool ShortTicks READ ShortTicks WRITE SetShortTicks)
    Q_PROPERTY(int NumTicks READ NumTicks)
    Q_PROPERTY(int MinTicks READ MinTicks WRITE SetMinTicks)
    Q_PROPERTY(int DecPlaces READ DecPlaces WRITE SetDecPlaces)
    Q_PROPERTY(bool ShowBaseLine READ ShowBaseLine WRITE SetShowBaseLine)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TFigType LabelType READ LabelType WRITE SetLabelType)
    Q_PROPERTY(TDTLabel* DateFormat READ DateFormat)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    Q_PROPERTY(int CaptionPosX READ CaptionPosX WRITE SetCaptionPosX)
    Q_PROPERTY(int CaptionPosY READ CaptionPosY WRITE SetCaptionPosY)
    Q_PROPERTY(TAlignment CaptionAlignment READ CaptionAlignment WRITE SetCaptionAlignment)
    Q_PROPERTY(TScaleUnitAnchor CaptionAnchor READ CaptionAnchor WRITE SetCaptionAnchor)
    Q_PROPERTY(QString UserTickText READ UserTickText WRITE SetUserTickText)
    Q_PROPERTY(QString ScaleInscript READ ScaleInscript WRITE SetScaleInscript)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TScaleType ScaleType READ ScaleType WRITE SetScaleType)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    static constexpr int MaxTicks = 50;

    explicit TScale(QWidget* parent = nullptr);
    ~TScale() override;

    ::TFrameStyle FrameStyle() const { return frameStyle_; }
    TColor ColorScale() const { return colorScale_; }
    TColor ColorBackGnd() const { return colorBackGnd_; }
    ::TColorScheme ColorScheme() const { return colorScheme_; }
    bool Logarithmic() const { return logarithmic_; }
    double RangeHigh() const { return rangeHigh_; }
    double RangeLow() const { return rangeLow_; }
    bool ShortTicks() const { return shortTicks_; }
    int NumTicks() const { return numTicks_; }
    int MinTicks() const { return minTicks_; }
    int DecPlaces() const { return decPlaces_; }
    bool ShowBaseLine() const { return showBaseLine_; }
    bool Transparent() const { return transparent_; }
    TFigType LabelType() const { return labelType_; }
    TDTLabel* DateFormat() const { return dateFormat_; }
    int MarginTop() const { return marginTop_; }
    int MarginBottom() const { return marginBottom_; }
    int MarginRight() const { return marginRight_; }
    int MarginLeft() const { return marginLeft_; }
    int CaptionPosX() const { return captionPosX_; }
    int CaptionPosY() const { return captionPosY_; }
    TAlignment CaptionAlignment() const { return captionAlignment_; }
    TScaleUnitAnchor CaptionAnchor() const { return captionAnchor_; }
    QString UserTickText() const { return userTickText_; }
    QString ScaleInscript() const { return scaleInscript_; }
    QString Caption() const { return caption_; }
    ::TScaleType ScaleType() const { return scaleType_; }
    bool Visible() const { return visible_; }
    bool Hosted() const { return hosted_; }
    bool Suspended() const { return suspended_; }
    bool Initializing() const { return initializing_; }
    TColor FrameColor() const { return frameColor_; }
    TColor ShadowColor() const { return shadowColor_; }
    TColor HighlightColor() const { return highlightColor_; }
    double ScaleFactor() const { return factor_; }
    double ScaleOffset() const { return offset_; }
    // The text font with its colour; the chart copies its axis font here.
    const TFont& Font() const { return font_; }

    void SetFrameStyle(::TFrameStyle value);
    void SetColorScale(TColor value);
    void SetColorBackGnd(TColor value);
    void SetColorScheme(::TColorScheme value);
    void SetLogarithmic(bool value);
    void SetRangeHigh(double value);
    void SetRangeLow(double value);
    void SetShortTicks(bool value);
    void SetMinTicks(int value);
    void SetDecPlaces(int value);
    void SetShowBaseLine(bool value);
    void SetTransparent(bool value);
    void SetLabelType(TFigType value);
    // Copies the seven settings of the given record.
    void SetDateFormat(const TDTLabel& value);
    void SetMarginTop(int value);
    void SetMarginBottom(int value);
    void SetMarginRight(int value);
    void SetMarginLeft(int value);
    void SetCaptionPosX(int value);
    void SetCaptionPosY(int value);
    void SetCaptionAlignment(TAlignment value);
    void SetCaptionAnchor(TScaleUnitAnchor value);
    void SetUserTickText(const QString& value);
    void SetScaleInscript(const QString& value);
    void SetCaption(const QString& value);
    void SetScaleType(::TScaleType value);
    // A hosted scale keeps this as its own flag: it is never shown as a widget.
    void SetVisible(bool value);
    void SetHosted(bool value);
    void SetFont(const TFont& value);
    // Position and size; recomputes the transform and repaints.
    void SetBounds(int left, int top, int width, int height);

    // Pixel along the axis (x of horizontal, y of vertical scales) of a value.
    int ValueToPixel(double value) const;
    // Entry index (1-based) of the tick list of the last painting; 0.0 outside 1..NumTicks.
    double TickValue(int index) const;
    void SetSuspended(bool value);
    // Paints once even while suspended; a host calls this after drawing its own frame.
    void ForcePaint();
    // The host's canvas to paint into (not owned), and the shift applied there.
    void SetTargetCanvas(TCanvas* canvas, int offsetX, int offsetY);
    TCanvas* TargetCanvas() const { return targetCanvas_; }
    void Assign(const TScale& source);

    // A form reading stored properties brackets them with these two.
    void BeginLoading();
    void Loaded();

    // The control's own picture (what a stand-alone scale shows on screen).
    const QImage& Image() const { return image_; }
    // Paints the whole scale now, as the window system's paint request does.
    void Paint();

    TScaleTickDrawnEvent OnScaleTickDrawn;
    TScaleRenderEvent OnBeforeScaleRendered;
    TScaleRenderEvent OnAfterScaleRendered;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CalcTransform();
    void RepaintRequest();
    // negative margins become 0
    void SetMargin(int& margin, int value);
    bool IsVertical() const { return scaleType_ == sctYL || scaleType_ == sctYR; }
    int BasePosition(int ox, int oy) const;
    TickSettings CurrentTickSettings() const;
    void PaintAxis(TCanvas& canvas, int base);
    void DrawBaseLine(TCanvas& canvas, int base) const;
    void DrawTick(TCanvas& canvas, int base, const ScaleTick& tick);
    void DrawTickLabel(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const;
    void DrawHorizontalLabel(TCanvas& canvas, int lineBase, int pos, const QString& text) const;
    void DrawVerticalLabels(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const;
    void DrawCaption(TCanvas& canvas, int base) const;
    void DrawCalendarMessage(TCanvas& canvas, int base, CalendarMessage message) const;
    void RecordTick(double value);
    void PrepareOwnImage(bool transparent);

    ::TFrameStyle frameStyle_ = fsLowered;
    TColor colorScale_ = clBlack;
    TColor colorBackGnd_ = clBtnFace;
    TColor frameColor_ = clBlack;
    TColor shadowColor_ = 0x808080;
    TColor highlightColor_ = 0xFFFFFF;
    ::TColorScheme colorScheme_ = csBWG;
    bool logarithmic_ = false;
    double factor_ = 1.0;
    double offset_ = 0.0;
    double rangeHigh_ = 100.0;
    double rangeLow_ = 0.0;
    bool shortTicks_ = true;
    int numTicks_ = 0;
    int minTicks_ = 3;
    int decPlaces_ = -2;
    bool initializing_ = true;
    bool loading_ = false;
    bool showBaseLine_ = true;
    bool transparent_ = false;
    TFigType labelType_ = ftNum;
    TDTLabel* dateFormat_ = nullptr;
    int marginTop_ = 20;
    int marginBottom_ = 20;
    int marginRight_ = 20;
    int marginLeft_ = 20;
    bool hosted_ = false;
    int captionPosX_ = 4;
    int captionPosY_ = 4;
    TAlignment captionAlignment_ = taCenter;
    TScaleUnitAnchor captionAnchor_ = uaSclTopLft;
    QString userTickText_;
    QString scaleInscript_;
    std::vector<double> tickList_;
    QString caption_;
    TCanvas* targetCanvas_ = nullptr;
    int targetOffsetX_ = 0;
    int targetOffsetY_ = 0;
    ::TScaleType scaleType_ = sctXB;
    bool suspended_ = false;
    bool visible_ = true;
    TFont font_;

    QImage image_;
    TCanvas ownCanvas_;
    bool inPaintEvent_ = false;
    QSize transformSize_;
};
