#pragma once
// TRChart: a chart control that records drawing commands as a display list in world units and redraws the
// whole list, with its 16 layers of axes, grid, caption, shadow, text labels and crosshairs, on every paint.

#include <array>
#include <functional>

#include <QWidget>

#include "chart/BackgroundImage.h"
#include "chart/ChartData.h"
#include "chart/ChartMouse.h"
#include "chart/ChartScaleProps.h"
#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "chart/JointLayers.h"
#include "chart/PlotBackground.h"
#include "platform/draw/Bitmap.h"
#include "scale/Quarn_Scale.h"
#include "scale/Quarn_quarnbase.h"
#include "scale/SettingStore.h"

class TCustomRChart;

// Called with the canvas that is drawn on; a handler may hand back another canvas to draw the rest on.
using TRenderEvent = std::function<void(QObject* Sender, TCanvas*& Canvas, int Top, int Left)>;
// After every pan or zoom step of the mouse.
using TZoomPanEvent = std::function<void(QObject* Sender)>;
using TCrossHairMoveEvent = std::function<void(QObject* Sender, int WhichCrossHair)>;
using TTextLabelMoveEvent = std::function<void(QObject* Sender, int WhichTextLabel)>;
// The mouse position in world units of layer 1, and whether it lies inside the plot area.
using TMouseMoveInChartEvent =
    std::function<void(QObject* Sender, bool InChart, TShiftState Shift, double rMousePosX, double rMousePosY)>;
using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a Qt key code; a handler may change it.
using TKeyEvent = std::function<void(QObject* Sender, int& Key, TShiftState Shift)>;

class TCustomRChart : public QWidget, private IJointLayerHost, private IChartMouseHost {
    Q_OBJECT
    Q_PROPERTY(int AllocSize READ AllocSize WRITE SetAllocSize)
    Q_PROPERTY(TColor DataColor READ DataColor WRITE SetDataColor)
    Q_PROPERTY(TColor FillColor READ FillColor WRITE SetFillColor)
    Q_PROPERTY(TPenStyle PenStyle READ PenStyle WRITE SetPenStyle)
    Q_PROPERTY(int LineWidth READ LineWidth WRITE SetLineWidth)
    Q_PROPERTY(int ClassDefault READ ClassDefault WRITE SetClassDefault)
    Q_PROPERTY(int TextFontStyle READ TextFontStyle WRITE SetTextFontStyle)
    Q_PROPERTY(TTextBkStyle TextBkStyle READ TextBkStyle WRITE SetTextBkStyle)
    Q_PROPERTY(TColor TextBkColor READ TextBkColor WRITE SetTextBkColor)
    Q_PROPERTY(TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_PROPERTY(TCustomRChart* UseDataOf READ UseDataOf WRITE SetUseDataOf)
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    Q_PROPERTY(int LRim READ MarginLeft WRITE SetMarginLeft)
    Q_PROPERTY(int RRim READ MarginRight WRITE SetMarginRight)
    Q_PROPERTY(int TRim READ MarginTop WRITE SetMarginTop)
    Q_PROPERTY(int BRim READ MarginBottom WRITE SetMarginBottom)
    Q_PROPERTY(int ShadowWidth READ ShadowWidth WRITE SetShadowWidth)
    Q_PROPERTY(TShadowStyle ShadowStyle READ ShadowStyle WRITE SetShadowStyle)
    Q_PROPERTY(TColor WindColor READ WindColor WRITE SetWindColor)
    Q_PROPERTY(TColor ChartColor READ ChartColor WRITE SetChartColor)
    Q_PROPERTY(TColor ChartFrameColor READ ChartFrameColor WRITE SetChartFrameColor)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(TColor ShadowBakColor READ ShadowBakColor WRITE SetShadowBakColor)
    Q_PROPERTY(TGridStyle GridStyle READ GridStyle WRITE SetGridStyle)
    Q_PROPERTY(TColor GridColor READ GridColor WRITE SetGridColor)
    Q_PROPERTY(double GridDx READ GridDx WRITE SetGridDx)
    Q_PROPERTY(double GridDy READ GridDy WRITE SetGridDy)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionPosX READ CaptionPosX WRITE SetCaptionPosX)
    Q_PROPERTY(int CaptionPosY READ CaptionPosY WRITE SetCaptionPosY)
    Q_PROPERTY(TAlignment CaptionAlignment READ CaptionAlignment WRITE SetCaptionAlignment)
    Q_PROPERTY(TCaptionAnchorHoriz CaptionAnchorHoriz READ CaptionAnchorHoriz WRITE SetCaptionAnchorHoriz)
    Q_PROPERTY(TCaptionAnchorVert CaptionAnchorVert READ CaptionAnchorVert WRITE SetCaptionAnchorVert)
    Q_PROPERTY(bool Isometric READ Isometric WRITE SetIsometric)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE SetAutoRedraw)
    Q_PROPERTY(TCrossHair* CrossHair1 READ CrossHair1)
    Q_PROPERTY(TCrossHair* CrossHair2 READ CrossHair2)
    Q_PROPERTY(TCrossHair* CrossHair3 READ CrossHair3)
    Q_PROPERTY(TCrossHair* CrossHair4 READ CrossHair4)
    Q_PROPERTY(TScalePropsHoriz* Scale1X READ Scale1X)
    Q_PROPERTY(TScalePropsVert* Scale1Y READ Scale1Y)
    Q_PROPERTY(TScalePropsHoriz* Scale2X READ Scale2X)
    Q_PROPERTY(TScalePropsVert* Scale2Y READ Scale2Y)
    Q_PROPERTY(TScalePropsHoriz* Scale3X READ Scale3X)
    Q_PROPERTY(TScalePropsVert* Scale3Y READ Scale3Y)
    Q_PROPERTY(TScalePropsHoriz* Scale4X READ Scale4X)
    Q_PROPERTY(TScalePropsVert* Scale4Y READ Scale4Y)
    Q_PROPERTY(TJointLayers* JointLayers READ JointLayers)
    Q_PROPERTY(TBakGndImg* BackGroundImg READ BackGroundImg)
    Q_PROPERTY(TrcLayout StandardLayout READ StandardLayout WRITE SetStandardLayout)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TMouseActMode MouseAction READ MouseAction WRITE SetMouseAction)
    Q_PROPERTY(bool MouseCursorFixed READ MouseCursorFixed WRITE SetMouseCursorFixed)

public:
    static constexpr int CrossHairCount = IChartMouseHost::CrossHairs;
    static constexpr int TextLabelCount = IChartMouseHost::TextLabels;

    explicit TCustomRChart(QWidget* parent = nullptr);
    ~TCustomRChart() override;

    // The display list.
    void AddMark(std::uint8_t MarkKind, double X, double Y);
    void AddRectangle(double X1, double Y1, double X2, double Y2);
    void AddText(int Size, const QString& Text, double X, double Y);
    void ClearItems();
    void ShowItems();
    void SetUpdateSuspended(bool Suspended);
    bool UpdateSuspended() const { return data_.UpdateSuspended(); }
    const ChartItemList& Items() const { return data_.Items(); }

    int AllocSize() const { return data_.AllocSize(); }
    void SetAllocSize(int Value) { data_.SetAllocSize(Value); }
    TColor DataColor() const { return data_.DataColor(); }
    void SetDataColor(TColor Value) { data_.SetDataColor(Value); }
    TColor FillColor() const { return data_.FillColor(); }
    void SetFillColor(TColor Value) { data_.SetFillColor(Value); }
    TPenStyle PenStyle() const { return data_.PenStyle(); }
    void SetPenStyle(TPenStyle Value) { data_.SetPenStyle(Value); }
    int LineWidth() const { return data_.LineWidth(); }
    void SetLineWidth(int Value) { data_.SetLineWidth(static_cast<std::uint8_t>(Value)); }
    int ClassDefault() const { return data_.ClassDefault(); }
    void SetClassDefault(int Value) { data_.SetClassDefault(static_cast<std::uint8_t>(Value)); }

    int TextFontStyle() const { return looks_.TextFontStyle; }
    void SetTextFontStyle(int Value) { Store(looks_.TextFontStyle, static_cast<TFontStyles>(Value)); }
    TTextBkStyle TextBkStyle() const { return looks_.TextBkStyle; }
    void SetTextBkStyle(TTextBkStyle Value) { Store(looks_.TextBkStyle, Value); }
    TColor TextBkColor() const { return looks_.TextBkColor; }
    void SetTextBkColor(TColor Value) { Store(looks_.TextBkColor, Value); }
    TAlignment TextAlignment() const { return looks_.TextAlignment; }
    void SetTextAlignment(TAlignment Value) { Store(looks_.TextAlignment, Value); }

    // Refusals are shown in an information box; the sharing stays as it was.
    TCustomRChart* UseDataOf() const;
    void SetUseDataOf(TCustomRChart* Chart);

    // Geometry.
    int MarginLeft() const { return geometry_.MarginLeft; }
    int MarginRight() const { return geometry_.MarginRight; }
    int MarginTop() const { return geometry_.MarginTop; }
    int MarginBottom() const { return geometry_.MarginBottom; }
    void SetMarginLeft(int Value) { StoreGeometry(geometry_.MarginLeft, Value); }
    void SetMarginRight(int Value) { StoreGeometry(geometry_.MarginRight, Value); }
    void SetMarginTop(int Value) { StoreGeometry(geometry_.MarginTop, Value); }
    void SetMarginBottom(int Value) { StoreGeometry(geometry_.MarginBottom, Value); }
    int ShadowWidth() const { return geometry_.ShadowWidth; }
    void SetShadowWidth(int Value);  // clamped to 0..32
    const ChartGeometry& Geometry() const { return geometry_; }
    // Resizes the control; the plot keeps at least 80 by 20 pixels.
    void SetBounds(int Left, int Top, int Width, int Height);

    // Appearance; each setter repaints when AutoRedraw is set.
    TShadowStyle ShadowStyle() const { return looks_.ShadowStyle; }
    void SetShadowStyle(TShadowStyle Value) { Store(looks_.ShadowStyle, Value); }
    TColor WindColor() const { return looks_.WindColor; }
    void SetWindColor(TColor Value);
    TColor ChartColor() const { return looks_.ChartColor; }
    void SetChartColor(TColor Value) { Store(looks_.ChartColor, Value); }
    TColor ChartFrameColor() const { return looks_.ChartFrameColor; }
    void SetChartFrameColor(TColor Value) { Store(looks_.ChartFrameColor, Value); }
    TColor ShadowColor() const { return looks_.ShadowColor; }
    void SetShadowColor(TColor Value) { Store(looks_.ShadowColor, Value); }
    TColor ShadowBakColor() const { return looks_.ShadowBakColor; }
    void SetShadowBakColor(TColor Value) { Store(looks_.ShadowBakColor, Value); }
    TGridStyle GridStyle() const { return looks_.GridStyle; }
    void SetGridStyle(TGridStyle Value) { Store(looks_.GridStyle, Value); }
    TColor GridColor() const { return looks_.GridColor; }
    void SetGridColor(TColor Value) { Store(looks_.GridColor, Value); }
    // Spacings below -3 are ignored.
    double GridDx() const { return looks_.GridDx; }
    void SetGridDx(double Value);
    double GridDy() const { return looks_.GridDy; }
    void SetGridDy(double Value);
    QString Caption() const { return looks_.Caption; }
    void SetCaption(const QString& Value) { Store(looks_.Caption, Value); }
    int CaptionPosX() const { return looks_.CaptionPosX; }
    void SetCaptionPosX(int Value) { Store(looks_.CaptionPosX, Value); }
    int CaptionPosY() const { return looks_.CaptionPosY; }
    void SetCaptionPosY(int Value) { Store(looks_.CaptionPosY, Value); }
    TAlignment CaptionAlignment() const { return looks_.CaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value) { Store(looks_.CaptionAlignment, Value); }
    TCaptionAnchorHoriz CaptionAnchorHoriz() const { return looks_.CaptionAnchorHoriz; }
    void SetCaptionAnchorHoriz(TCaptionAnchorHoriz Value) { Store(looks_.CaptionAnchorHoriz, Value); }
    TCaptionAnchorVert CaptionAnchorVert() const { return looks_.CaptionAnchorVert; }
    void SetCaptionAnchorVert(TCaptionAnchorVert Value) { Store(looks_.CaptionAnchorVert, Value); }
    bool Isometric() const { return isometric_; }
    void SetIsometric(bool Value);
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool Value) { autoRedraw_ = Value; }
    // The chart's own flag: a chart paints only while it is visible.
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    // What a mouse drag does, and the cursor over the plot area (the default cursor when MouseCursorFixed).
    TMouseActMode MouseAction() const { return mouseAction_; }
    void SetMouseAction(TMouseActMode Value) { mouseAction_ = Value; }
    bool MouseCursorFixed() const { return mouseCursorFixed_; }
    void SetMouseCursorFixed(bool Value) { mouseCursorFixed_ = Value; }
    const ChartMouse& Mouse() const { return mouse_; }
    // The font of the caption and of new text labels.
    TFont& Font() { return font_; }

    // Layers, their axes and the objects the chart owns (no setters: they are changed through their properties).
    TScalePropsHoriz* ScaleX(int Layer) const { return xProps_[LayerIndex(Layer)]; }
    TScalePropsVert* ScaleY(int Layer) const { return yProps_[LayerIndex(Layer)]; }
    TScalePropsHoriz* Scale1X() const { return ScaleX(1); }
    TScalePropsVert* Scale1Y() const { return ScaleY(1); }
    TScalePropsHoriz* Scale2X() const { return ScaleX(2); }
    TScalePropsVert* Scale2Y() const { return ScaleY(2); }
    TScalePropsHoriz* Scale3X() const { return ScaleX(3); }
    TScalePropsVert* Scale3Y() const { return ScaleY(3); }
    TScalePropsHoriz* Scale4X() const { return ScaleX(4); }
    TScalePropsVert* Scale4Y() const { return ScaleY(4); }
    TScale* ScaleControlX(int Layer) const { return xScales_[LayerIndex(Layer)]; }
    TScale* ScaleControlY(int Layer) const { return yScales_[LayerIndex(Layer)]; }
    TCrossHair* CrossHair(int Number) const { return crossHairs_[Number - 1]; }
    TCrossHair* CrossHair1() const { return crossHairs_[0]; }
    TCrossHair* CrossHair2() const { return crossHairs_[1]; }
    TCrossHair* CrossHair3() const { return crossHairs_[2]; }
    TCrossHair* CrossHair4() const { return crossHairs_[3]; }
    TCustomTextLabel* TextLabel(int Number) const { return labels_[Number - 1]; }
    TJointLayers* JointLayers() const { return joints_; }
    // Copies the given table's settings into the chart's own.
    void SetJointLayers(const TJointLayers& Value) { joints_->Assign(Value); }
    TBakGndImg* BackGroundImg() const { return background_; }
    void SetBackGroundImg(const TBakGndImg& Value) { background_->Assign(Value); }
    TrcLayout StandardLayout() const { return layout_; }
    void SetStandardLayout(TrcLayout Value);

    // Sets a layer's ranges directly (joined axes keep their controller's range); a layer joined to it takes both
    // its ranges from their controllers again. Ends with one paint unless updates were suspended.
    void SetLayerRanges(int Layer, double XLow, double XHigh, double YLow, double YHigh);
    // Layers outside 1..16 are taken as the nearest of them.
    PixelPosition WorldToPixel(int Layer, double X, double Y) const;
    WorldPosition PixelToWorld(int Layer, double Px, double Py) const;

    // Reading a form: BeginLoading, the stored properties, then Loaded. In between the chart neither paints nor
    // computes its transforms.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    // The full paint: frame, axes, plot background, items, labels and crosshairs, then shown.
    void Paint();
    // The whole control's picture (what the window shows), in device pixels at the screen's scale.
    const QImage& Image() const { return frame_.Image(); }
    // The picture drawn at another scale (a worksheet's 2x, say); the chart then draws at its own again. Null while
    // the chart cannot paint (hidden, loading or with updates suspended).
    QImage PictureAt(const TDeviceScale& Scale);

    TRenderEvent OnBeforeRenderData;
    TRenderEvent OnDataRendered;
    TRenderEvent OnScalesRendered;
    TScaleTickDrawnEvent OnScaleTickDrawn;
    TZoomPanEvent OnZoomPan;
    TCrossHairMoveEvent OnCrossHairMove;
    TTextLabelMoveEvent OnTextLabelMove;
    TMouseMoveInChartEvent OnMouseMoveInChart;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;

protected:
    void paintEvent(QPaintEvent* Event) override;
    // The mouse and key events live in ChartEvents.cpp.
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    // The chart wants Tab itself, like the arrow keys: focus does not move on.
    bool focusNextPrevChild(bool Next) override;
    void resizeEvent(QResizeEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    // Every appearance setting that only repaints.
    struct Looks {
        TFontStyles TextFontStyle = 0;
        TTextBkStyle TextBkStyle = tbClear;
        TColor TextBkColor = 0xFFFFFF;
        TAlignment TextAlignment = taCenter;
        TShadowStyle ShadowStyle = ssFlying;
        TColor WindColor = clBtnFace;
        TColor ChartColor = 0xFFFFFF;
        TColor ChartFrameColor = 0;
        TColor ShadowColor = clGrayText;
        TColor ShadowBakColor = clBtnFace;
        TGridStyle GridStyle = gsNone;
        TColor GridColor = 0;
        double GridDx = 0, GridDy = 0;
        QString Caption;
        int CaptionPosX = 0, CaptionPosY = -15;
        TAlignment CaptionAlignment = taRightJustify;
        TCaptionAnchorHoriz CaptionAnchorHoriz = cahChartRight;
        TCaptionAnchorVert CaptionAnchorVert = cavChartTop;
    };

    static int LayerIndex(int Layer) { return Layer >= 1 && Layer <= ChartLayerCount ? Layer - 1 : 0; }
    // The setters' common tail: store, then repaint if the chart repaints now.
    template <typename T, typename V> void Store(T& Field, V&& Value)
    {
        StoreSetting(Field, std::forward<V>(Value), Unchanged::Apply, [this] { RepaintIfAuto(); });
    }
    void StoreGeometry(int& Field, int Value);
    void RepaintIfAuto();
    void GeometryChanged(bool AdjustRanges);
    void CreateLayers();
    void CreateDecorations();
    void CreateScale(int Layer, bool XAxis);
    void CopyPropsToScale(int Layer, bool XAxis);
    void CopyAllPropsToScales();
    void ScalePropsChanged();
    void ComputeTransforms();
    bool AdjustIsometric();
    void StoreLayerRange(int Layer, bool XAxis, double Low, double High);
    void TakeAxisRange(int Layer, bool XAxis, int FromLayer) override;

    // What the mouse logic reaches (ChartEvents.cpp).
    const ChartGeometry& MouseGeometry() const override { return geometry_; }
    TMouseActMode DragMode() const override { return mouseAction_; }
    bool FixedCursor() const override { return mouseCursorFixed_; }
    bool SquareZoom() const override { return isometric_; }
    PixelPosition PixelOf(int Layer, double X, double Y) const override { return WorldToPixel(Layer, X, Y); }
    WorldPosition WorldOf(int Layer, double Px, double Py) const override { return PixelToWorld(Layer, Px, Py); }
    RangeEnds AxisRange(int Layer, bool Vertical) const override;
    bool AxisLogarithmic(int Layer, bool Vertical) const override;
    void SetAxisRanges(int Layer, const RangeEnds& X, const RangeEnds& Y) override;
    TCrossHair& CrossHairAt(int Number) override { return *CrossHair(Number); }
    TCustomTextLabel& TextLabelAt(int Number) override { return *TextLabel(Number); }
    bool StepSuspended() const override { return UpdateSuspended(); }
    void SuspendForStep(bool Suspended) override { SetUpdateSuspended(Suspended); }
    void ZoomedOrPanned() override;
    void CrossHairMoved(int Number) override;
    void TextLabelMoved(int Number) override;
    void ShowAnew(const QRect& Area) override;

    void DrawChartFrame();
    void DrawPlotBackground();
    void RenderItems();
    void DrawGrid(TCanvas& Canvas);
    void PresentFrame(int Dx, int Dy, TBitmap& Bitmap);
    [[nodiscard]] bool SetPictureScale(const TDeviceScale& Scale);
    bool CanPaint() const;
    void CallRenderEvent(const TRenderEvent& Event, TCanvas*& Canvas, int Top, int Left);

    TChartData data_;
    ChartGeometry geometry_;
    Looks looks_;
    TFont font_;
    bool isometric_ = false;
    bool autoRedraw_ = true;
    bool visible_ = true;
    bool loading_ = false;
    bool shownOnce_ = false;
    TrcLayout layout_ = rcl_X1Bottom_Y1Left;
    double aspectX_ = 1, aspectY_ = 1;  // the screen's relative pixel width and height
    TMouseActMode mouseAction_ = maNone;
    bool mouseCursorFixed_ = true;
    ChartMouse mouse_{*this};

    std::array<TScalePropsHoriz*, ChartLayerCount> xProps_{};
    std::array<TScalePropsVert*, ChartLayerCount> yProps_{};
    std::array<TScale*, ChartLayerCount> xScales_{};
    std::array<TScale*, ChartLayerCount> yScales_{};
    std::array<LayerTransform, ChartLayerCount> transforms_{};
    std::array<CachedLayerTransform, ChartLayerCount> transformCache_{};
    std::array<TCrossHair*, CrossHairCount> crossHairs_{};
    std::array<TCustomTextLabel*, TextLabelCount> labels_{};
    TJointLayers* joints_ = nullptr;
    TBakGndImg* background_ = nullptr;

    TBitmap frame_;
    TBitmap plot_;
    BackgroundImage image_;
};

// The chart as placed on forms.
class TRChart : public TCustomRChart {
    Q_OBJECT

public:
    using TCustomRChart::TCustomRChart;
};
