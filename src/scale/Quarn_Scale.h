#pragma once
// TScale: one axis (base line, tick marks, tick labels, caption) for a numeric, logarithmic,
// time-of-day or calendar range, standing alone on a form or painted by a host into its bitmap.

#include <memory>

#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/draw/Bitmap.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"
#include "scale/ScaleGeometry.h"
#include "scale/ScalePainter.h"
#include "scale/TickRules.h"

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
    static constexpr int MaxTicks = ::MaxTicks;

    explicit TScale(QWidget* parent = nullptr);
    ~TScale() override;

    ::TFrameStyle FrameStyle() const { return settings_.frameStyle; }
    TColor ColorScale() const { return settings_.colorScale; }
    TColor ColorBackGnd() const { return settings_.colorBackGnd; }
    ::TColorScheme ColorScheme() const { return settings_.colorScheme; }
    bool Logarithmic() const { return settings_.logarithmic; }
    double RangeHigh() const { return settings_.rangeHigh; }
    double RangeLow() const { return settings_.rangeLow; }
    bool ShortTicks() const { return settings_.shortTicks; }
    int NumTicks() const { return lastTicks_->Count(); }
    int MinTicks() const { return settings_.minTicks; }
    int DecPlaces() const { return settings_.decPlaces; }
    bool ShowBaseLine() const { return settings_.showBaseLine; }
    bool Transparent() const { return settings_.transparent; }
    TFigType LabelType() const { return settings_.labelType; }
    TDTLabel* DateFormat() const { return dateFormat_; }
    int MarginTop() const { return settings_.marginTop; }
    int MarginBottom() const { return settings_.marginBottom; }
    int MarginRight() const { return settings_.marginRight; }
    int MarginLeft() const { return settings_.marginLeft; }
    int CaptionPosX() const { return settings_.captionPosX; }
    int CaptionPosY() const { return settings_.captionPosY; }
    TAlignment CaptionAlignment() const { return settings_.captionAlignment; }
    TScaleUnitAnchor CaptionAnchor() const { return settings_.captionAnchor; }
    QString UserTickText() const { return settings_.userTickText; }
    QString ScaleInscript() const { return settings_.scaleInscript; }
    QString Caption() const { return settings_.caption; }
    ::TScaleType ScaleType() const { return settings_.scaleType; }
    bool Visible() const { return visible_; }
    bool Hosted() const { return hosted_; }
    bool Suspended() const { return suspended_; }
    bool Initializing() const { return initializing_; }
    TColor FrameColor() const { return settings_.frameColors.frame; }
    TColor ShadowColor() const { return settings_.frameColors.shadow; }
    TColor HighlightColor() const { return settings_.frameColors.highlight; }
    double ScaleFactor() const { return transform_.factor; }
    double ScaleOffset() const { return transform_.offset; }
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
    // The ticks of the last painting (none before the first); a hidden or suspended scale keeps them.
    const ScaleTicks& LastTicks() const { return *lastTicks_; }
    void SetSuspended(bool value);
    // Paints once even while suspended; a host calls this after drawing its own frame.
    void ForcePaint();
    // The host's canvas to paint into (not owned), and the shift applied there.
    void SetTargetCanvas(TCanvas* canvas, int offsetX, int offsetY);
    TCanvas* TargetCanvas() const { return target_.canvas; }
    // Copies the settings (the date format included), the transform and tick list of the last
    // painting, the host's canvas, the suspension and OnScaleTickDrawn, then repaints. The
    // scale's own place stays: size, Visible, hosting, font, loading state and render events.
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
    // A picture the window system asks for before it is drawn is drawn first; paintEvent copies it.
    bool event(QEvent* event) override;
    bool OwnImageStale() const;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct HostTarget {
        TCanvas* canvas = nullptr;  // not owned
        int offsetX = 0;
        int offsetY = 0;
    };

    // The setters' common tail (see StoreSetting): store, then RepaintRequest.
    template <typename T, typename V> void Store(T& field, V&& value, Unchanged unchanged);
    // As Store, with the pixel transform recomputed before the repaint.
    template <typename T, typename V> void StoreLayout(T& field, V&& value, Unchanged unchanged);
    // Paints now unless a transparent stand-alone scale waits for the window system.
    void RepaintRequest();
    void CalcTransform();
    // negative margins become 0
    void SetMargin(int& margin, int value);
    ScaleGeometry Geometry() const { return {settings_, width(), height()}; }
    void PrepareOwnImage(bool transparent);

    ScaleSettings settings_;
    TDTLabel* dateFormat_ = nullptr;
    bool visible_ = true;
    TFont font_;
    ScaleTransform transform_;
    // shared with a painting in progress, which an event handler may start again
    std::shared_ptr<const ScaleTicks> lastTicks_ = std::make_shared<const ScaleTicks>();
    HostTarget target_;
    bool initializing_ = true;
    bool loading_ = false;
    bool hosted_ = false;
    bool suspended_ = false;

    QImage image_;
    TCanvas ownCanvas_;
    bool inPaintEvent_ = false;
    QSize transformSize_;
    ScalePainter painter_{this, OnScaleTickDrawn, OnAfterScaleRendered};
};
