#include "chart/Quarn_rchart.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>

#include "chart/ChartFrame.h"
#include "chart/ChartGrid.h"
#include "chart/CrossHairs.h"
#include "chart/ItemRenderer.h"
#include "chart/StandardLayouts.h"
#include "chart/TextLabelPainter.h"
#include "chart/UpdateSuspension.h"
#include "platform/draw/MessageBox.h"

namespace {

constexpr int MaxShadowWidth = 32;
// The plot keeps at least this much room when the control is made smaller.
constexpr int MinPlotWidth = 80;
constexpr int MinPlotHeight = 20;
// Grid spacings below this are no mode of the grid.
constexpr double LowestGridSpacing = -3;

// The colour of each layer's axes, layer 1 first.
constexpr TColor LayerColors[ChartLayerCount] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
    0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
// Axes of the higher layers stand further out: each pair of layers one step more.
constexpr int HorizontalScaleStep = 30;
constexpr int VerticalScaleStep = 50;

AxisRange RangeOf(const TScaleProps& Props)
{
    return {Props.RangeLow(), Props.RangeHigh(), Props.Logarithmic()};
}

}  // namespace

TCustomRChart::TCustomRChart(QWidget* parent) : QWidget(parent), data_(this)
{
    data_.RepaintIfAuto = [this] { RepaintIfAuto(); };
    data_.PaintPlotBackground = [this] { DrawPlotBackground(); };
    font_ = TFont::FromQFont(QWidget::font());
    QWidget::resize(geometry_.Width, geometry_.Height);
    setMouseTracking(true);  // moves without a button choose the cursor and report the position
    LoadChartCursors();
    CreateLayers();
    CreateDecorations();
    CopyAllPropsToScales();
    ComputeTransforms();
}

TCustomRChart::~TCustomRChart() = default;

void TCustomRChart::RepaintIfAuto()
{
    if (autoRedraw_)
        Paint();
}

void TCustomRChart::CreateLayers()
{
    for (int i = 0; i < ChartLayerCount; ++i) {
        const int layer = i + 1;
        xProps_[i] = new TScalePropsHoriz(this);
        yProps_[i] = new TScalePropsVert(this);
        xProps_[i]->SetScaleType(layer % 2 == 1 ? sctXT : sctXB);
        yProps_[i]->SetScaleType(layer % 2 == 1 ? sctYR : sctYL);
        xProps_[i]->SetScalePos((layer - 1) / 2 * HorizontalScaleStep);
        yProps_[i]->SetScalePos((layer - 1) / 2 * VerticalScaleStep);
        xProps_[i]->SetColorScale(LayerColors[i]);
        yProps_[i]->SetColorScale(LayerColors[i]);
        CreateScale(layer, true);
        CreateScale(layer, false);
    }
    // the listed margins and caption stay; the first layout arranges the axes
    ApplyLayoutToAxes(rcl_X1Bottom_Y1Left, xProps_, yProps_);
    for (int i = 0; i < ChartLayerCount; ++i) {
        xProps_[i]->OnChange = [this](QObject*) { ScalePropsChanged(); };
        yProps_[i]->OnChange = [this](QObject*) { ScalePropsChanged(); };
    }
}

// A scale control painting into the frame bitmap; it paints only when the chart asks it to.
void TCustomRChart::CreateScale(int Layer, bool XAxis)
{
    auto* scale = new TScale(this);
    scale->setObjectName(QStringLiteral("RC_FScale_%1_%2").arg(XAxis ? 'X' : 'Y').arg(Layer));
    scale->SetSuspended(true);
    scale->SetHosted(true);
    scale->SetTargetCanvas(&frame_.Canvas(), 0, 0);
    scale->SetTransparent(true);
    scale->SetColorBackGnd(looks_.WindColor);
    scale->SetFrameStyle(fsNone);
    scale->SetBounds(0, 0, geometry_.Width, geometry_.Height);
    scale->OnScaleTickDrawn = [this](QObject*, TCanvas& Canvas, TScaleType Type, double Tick, int X, int Y) {
        if (OnScaleTickDrawn)
            OnScaleTickDrawn(this, Canvas, Type, Tick, X, Y);
    };
    (XAxis ? xScales_ : yScales_)[LayerIndex(Layer)] = scale;
}

void TCustomRChart::CreateDecorations()
{
    for (int n = 0; n < CrossHairCount; ++n) {
        crossHairs_[n] = new TCrossHair(this);
        crossHairs_[n]->SetLayer(n + 1);
        crossHairs_[n]->OnChange = [this](QObject*) { RepaintIfAuto(); };
    }
    for (TCustomTextLabel*& label : labels_) {
        label = new TCustomTextLabel(this);
        label->SetPosX(0);
        label->SetPosY(0);
        label->SetLayer(1);
        label->SetAttachToData(tlamBoth);
        label->SetAlignment(taCenter);
        label->SetVerticalAlignment(vaBottom);
        label->SetColorBkg(0xFFFFFF);
        label->SetColorBorder(0);
        label->SetShadowDx(3);
        label->SetShadowDy(3);
        label->SetColorShadow(0x808080);
        label->SetTransparent(false);
        label->SetFont(font_);
        label->SetVisible(false);
        label->SetMode(tlOff);
        label->OnChange = [this](QObject*) { RepaintIfAuto(); };
    }
    joints_ = new TJointLayers(this, this);
    joints_->OnChange = [this](QObject*) { RepaintIfAuto(); };
    background_ = new TBakGndImg(this);
    background_->OnChange = [this](QObject*) { RepaintIfAuto(); };
}

// --- the display list ---

void TCustomRChart::AddMark(std::uint8_t MarkKind, double X, double Y)
{
    data_.AddMark(MarkKind, X, Y);
}

void TCustomRChart::AddRectangle(double X1, double Y1, double X2, double Y2)
{
    data_.AddRectangle(X1, Y1, X2, Y2);
}

void TCustomRChart::AddText(int Size, const QString& Text, double X, double Y)
{
    data_.AddText(Size, Text, X, Y);
}

void TCustomRChart::ClearItems()
{
    data_.ClearItems();
}

void TCustomRChart::ShowItems()
{
    if (visible_) {
        if (autoRedraw_) {
            DrawPlotBackground();
            RenderItems();
            PresentFrame(geometry_.MarginLeft, geometry_.MarginTop, plot_);
        } else {
            Paint();
        }
    }
    data_.RepaintSharingCharts();
}

void TCustomRChart::SetUpdateSuspended(bool Suspended)
{
    if (data_.SetUpdateSuspended(Suspended))
        Paint();
}

TCustomRChart* TCustomRChart::UseDataOf() const
{
    const TChartData* owner = data_.DataOwner();
    return owner ? static_cast<TCustomRChart*>(owner->Host()) : nullptr;
}

void TCustomRChart::SetUseDataOf(TCustomRChart* Chart)
{
    const TShareResult result = data_.UseDataOf(Chart ? &Chart->data_ : nullptr);
    const QString refusal = ShareRefusalMessage(result);
    if (!refusal.isEmpty())
        ShowInfoMessage(refusal);
}

// --- geometry ---

void TCustomRChart::StoreGeometry(int& Field, int Value)
{
    Field = Value;
    GeometryChanged(true);
}

// The shadow leaves the isometric ranges alone; only the margins adjust them.
void TCustomRChart::SetShadowWidth(int Value)
{
    geometry_.ShadowWidth = std::clamp(Value, 0, MaxShadowWidth);
    GeometryChanged(false);
}

// After a margin or the shadow changed: the plot bitmap, the isometric ranges (if asked), the scales and the
// transforms follow, then one repaint.
void TCustomRChart::GeometryChanged(bool AdjustRanges)
{
    plot_.SetSize(std::max(geometry_.PlotWidth() + 1, 0), std::max(geometry_.PlotHeight() + 1, 0));
    if (AdjustRanges && isometric_)
        AdjustIsometric();
    CopyAllPropsToScales();
    ComputeTransforms();
    RepaintIfAuto();
}

void TCustomRChart::SetBounds(int Left, int Top, int Width, int Height)
{
    const ChartGeometry& g = geometry_;
    Height = std::max(Height, g.MarginTop + g.MarginBottom + MinPlotHeight + g.ShadowWidth);
    Width = std::max(Width, g.MarginLeft + g.MarginRight + MinPlotWidth + g.ShadowWidth);
    // the size is the chart's before the widget takes it, so the resize event this sends finds nothing to do
    geometry_.Width = Width;
    geometry_.Height = Height;
    setGeometry(Left, Top, Width, Height);
    if (isometric_)
        AdjustIsometric();
    for (int i = 0; i < ChartLayerCount; ++i) {
        xScales_[i]->SetBounds(0, 0, Width, Height);
        yScales_[i]->SetBounds(0, 0, Width, Height);
    }
    CopyAllPropsToScales();
    ComputeTransforms();
    RepaintIfAuto();
}

void TCustomRChart::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    if (Event->size() != QSize(geometry_.Width, geometry_.Height))
        SetBounds(x(), y(), Event->size().width(), Event->size().height());
}

void TCustomRChart::SetIsometric(bool Value)
{
    isometric_ = Value;
    if (!Value)
        return;
    // the adjustment ends with the one paint its suspension owes, unless updates were suspended anyway
    if (!AdjustIsometric())
        RepaintIfAuto();
}

// One world unit as long on the y axis as on the x axis, for every layer, set under one suspension: each range
// setter would otherwise paint the chart, sixteen times in all. A plot without room (W + 1 = 0) has no
// proportion to keep. Returns whether the ranges were set.
bool TCustomRChart::AdjustIsometric()
{
    const int w = geometry_.PlotWidth() + 1, h = geometry_.PlotHeight() + 1;
    if (w == 0)
        return false;
    const UpdateSuspension suspension(*this);
    for (int i = 0; i < ChartLayerCount; ++i) {
        const double width = xProps_[i]->RangeHigh() - xProps_[i]->RangeLow();
        yProps_[i]->SetRangeHigh(yProps_[i]->RangeLow() + width * h / w * aspectY_ / aspectX_);
    }
    return true;
}

void TCustomRChart::SetWindColor(TColor Value)
{
    looks_.WindColor = Value;
    for (int i = 0; i < ChartLayerCount; ++i) {
        xScales_[i]->SetColorBackGnd(Value);
        yScales_[i]->SetColorBackGnd(Value);
    }
    RepaintIfAuto();
}

void TCustomRChart::SetGridDx(double Value)
{
    if (Value >= LowestGridSpacing)
        Store(looks_.GridDx, Value);
}

void TCustomRChart::SetGridDy(double Value)
{
    if (Value >= LowestGridSpacing)
        Store(looks_.GridDy, Value);
}

// A chart shown again paints at once: what was set while it was hidden was not painted.
void TCustomRChart::SetVisible(bool Value)
{
    const bool shownAgain = Value && !visible_;
    visible_ = Value;
    QWidget::setVisible(Value);
    if (shownAgain)
        Paint();
}

// --- layers and their axes ---

// Everything a hosted scale takes from its axis and the chart's geometry goes through CopyScalePropsTo.
void TCustomRChart::CopyPropsToScale(int Layer, bool XAxis)
{
    const int i = LayerIndex(Layer);
    const TScaleProps& props = XAxis ? static_cast<const TScaleProps&>(*xProps_[i]) : *yProps_[i];
    CopyScalePropsTo(props, XAxis ? *xScales_[i] : *yScales_[i], HostedScaleMarginsOf(props, geometry_));
}

void TCustomRChart::CopyAllPropsToScales()
{
    for (int layer = 1; layer <= ChartLayerCount; ++layer) {
        CopyPropsToScale(layer, true);
        CopyPropsToScale(layer, false);
    }
}

// Every layer's ranges are set again; the picture is painted once, at the end, unless updates are suspended.
void TCustomRChart::ScalePropsChanged()
{
    const UpdateSuspension suspension(*this);
    CopyAllPropsToScales();
    for (int layer = 1; layer <= ChartLayerCount; ++layer) {
        const TScaleProps& x = *ScaleX(layer);
        const TScaleProps& y = *ScaleY(layer);
        SetLayerRanges(layer, x.RangeLow(), x.RangeHigh(), y.RangeLow(), y.RangeHigh());
    }
}

void TCustomRChart::ComputeTransforms()
{
    if (loading_)
        return;
    for (int i = 0; i < ChartLayerCount; ++i)
        if (transformCache_[i].Update(geometry_, RangeOf(*xProps_[i]), RangeOf(*yProps_[i])))
            transforms_[i] = transformCache_[i].Transform();
}

void TCustomRChart::StoreLayerRange(int Layer, bool XAxis, double Low, double High)
{
    TScaleProps& props = XAxis ? static_cast<TScaleProps&>(*ScaleX(Layer)) : *ScaleY(Layer);
    props.StoreRange(Low, High);
    CopyPropsToScale(Layer, XAxis);
}

void TCustomRChart::SetLayerRanges(int Layer, double XLow, double XHigh, double YLow, double YHigh)
{
    const UpdateSuspension suspension(*this);
    Layer = LayerIndex(Layer) + 1;
    if (joints_->ControlledBy(Layer, true) == Layer)
        StoreLayerRange(Layer, true, XLow, XHigh);
    if (joints_->ControlledBy(Layer, false) == Layer)
        StoreLayerRange(Layer, false, YLow, YHigh);
    ComputeTransforms();
    // a joined layer takes both its ranges, each from the layer that controls that axis
    for (int other = 1; other <= ChartLayerCount; ++other) {
        if (other == Layer ||
            (joints_->ControlledBy(other, true) != Layer && joints_->ControlledBy(other, false) != Layer))
            continue;
        TakeAxisRange(other, true, joints_->ControlledBy(other, true));
        TakeAxisRange(other, false, joints_->ControlledBy(other, false));
    }
}

void TCustomRChart::TakeAxisRange(int Layer, bool XAxis, int FromLayer)
{
    const TScaleProps& from = XAxis ? static_cast<const TScaleProps&>(*ScaleX(FromLayer)) : *ScaleY(FromLayer);
    StoreLayerRange(Layer, XAxis, from.RangeLow(), from.RangeHigh());
    ComputeTransforms();
}

PixelPosition TCustomRChart::WorldToPixel(int Layer, double X, double Y) const
{
    return ::WorldToPixel(geometry_, transforms_[std::clamp(Layer, FirstChartLayer, LastChartLayer) - 1], X, Y);
}

WorldPosition TCustomRChart::PixelToWorld(int Layer, double Px, double Py) const
{
    const int i = LayerIndex(Layer);
    return ::PixelToWorld(transforms_[i], RangeOf(*xProps_[i]), RangeOf(*yProps_[i]), Px, Py);
}

void TCustomRChart::SetStandardLayout(TrcLayout Value)
{
    const UpdateSuspension suspension(*this);
    layout_ = Value;
    const LayoutChartValues& chart = StandardLayoutOf(Value).Chart;
    SetMarginLeft(chart.MarginLeft);
    SetMarginRight(chart.MarginRight);
    SetMarginTop(chart.MarginTop);
    SetMarginBottom(chart.MarginBottom);
    SetCaptionPosX(chart.CaptionPosX);
    SetCaptionPosY(chart.CaptionPosY);
    SetCaptionAlignment(chart.CaptionAlignment);
    SetCaptionAnchorHoriz(chart.CaptionAnchorHoriz);
    SetCaptionAnchorVert(chart.CaptionAnchorVert);
    ApplyLayoutToAxes(Value, xProps_, yProps_);
    CopyAllPropsToScales();
}

void TCustomRChart::Loaded()
{
    loading_ = false;
    CopyAllPropsToScales();
    for (int i = 0; i < ChartLayerCount; ++i) {
        xProps_[i]->LoadingDone();
        yProps_[i]->LoadingDone();
    }
    ComputeTransforms();
    Paint();
}

// --- painting ---

bool TCustomRChart::CanPaint() const
{
    return visible_ && !loading_ && !data_.UpdateSuspended();
}

void TCustomRChart::Paint()
{
    if (!CanPaint())
        return;
    DrawChartFrame();
    DrawPlotBackground();
    RenderItems();
    frame_.Canvas().Draw(geometry_.MarginLeft, geometry_.MarginTop, plot_);
    PresentFrame(0, 0, frame_);
}

void TCustomRChart::DrawChartFrame()
{
    if (frame_.Width() != geometry_.Width || frame_.Height() != geometry_.Height)
        frame_.SetSize(geometry_.Width, geometry_.Height);
    ChartFrameStyle style;
    style.WindColor = looks_.WindColor;
    style.ChartFrameColor = looks_.ChartFrameColor;
    style.ShadowColor = looks_.ShadowColor;
    style.ShadowBakColor = looks_.ShadowBakColor;
    style.ShadowStyle = looks_.ShadowStyle;
    style.Caption = looks_.Caption;
    style.CaptionPosX = looks_.CaptionPosX;
    style.CaptionPosY = looks_.CaptionPosY;
    style.CaptionAlignment = looks_.CaptionAlignment;
    style.CaptionAnchorHoriz = looks_.CaptionAnchorHoriz;
    style.CaptionAnchorVert = looks_.CaptionAnchorVert;
    style.Font = font_;
    const ChartGeometry& g = geometry_;
    const TRect plot{g.MarginLeft, g.MarginTop, g.MarginLeft + std::max(0, g.PlotWidth() + 1),
        g.MarginTop + std::max(0, g.PlotHeight() + 1)};
    ::DrawChartFrame(frame_.Canvas(), geometry_, style, plot);  // Paint copies the plot bitmap over plot
    ComputeTransforms();
    for (TScale* scale : xScales_)
        scale->ForcePaint();
    for (TScale* scale : yScales_)
        scale->ForcePaint();
    TCanvas* canvas = &frame_.Canvas();
    CallRenderEvent(OnScalesRendered, canvas, 0, 0);
}

void TCustomRChart::DrawPlotBackground()
{
    const PlotColors colors{looks_.ChartColor, looks_.ChartFrameColor};
    const BackgroundImageStatus status =
        ::DrawPlotBackground(plot_, geometry_, colors, background_->Settings(), image_, transforms_[0]);
    if (IsRefused(status))
        background_->ForgetName();
}

void TCustomRChart::CallRenderEvent(const TRenderEvent& Event, TCanvas*& Canvas, int Top, int Left)
{
    if (Event)
        Event(this, Canvas, Top, Left);
}

void TCustomRChart::RenderItems()
{
    TCanvas* canvas = &plot_.Canvas();
    if (OnBeforeRenderData) {
        const TColor brush = canvas->Brush.Color, pen = canvas->Pen.Color;
        CallRenderEvent(OnBeforeRenderData, canvas, geometry_.MarginTop, geometry_.MarginLeft);
        canvas->Brush.Color = brush;
        canvas->Pen.Color = pen;
    }
    if (looks_.GridStyle != gsNone)
        DrawGrid(*canvas);
    ItemRenderSettings settings;
    settings.TextFontStyle = looks_.TextFontStyle;
    settings.TextBkStyle = looks_.TextBkStyle;
    settings.TextBkColor = looks_.TextBkColor;
    settings.TextAlignment = looks_.TextAlignment;
    settings.LineWidth = data_.LineWidth();
    settings.ChartColor = looks_.ChartColor;
    const ItemScene scene{geometry_, transforms_, data_.ClassVisibility(), data_.LayerVisibility()};
    ::RenderItems(*canvas, data_.Items(), scene, settings);
    DrawTextLabels(*canvas, labels_, geometry_, transforms_, data_.LayerVisibility());
    CallRenderEvent(OnDataRendered, canvas, geometry_.MarginTop, geometry_.MarginLeft);
    DrawPlotFrame(*canvas, geometry_, looks_.ChartFrameColor);
}

// The grid of layer 1 steps by the ticks its scales drew last; a hidden scale keeps those of its last painting.
void TCustomRChart::DrawGrid(TCanvas& Canvas)
{
    const GridAxis x{RangeOf(*xProps_[0]), looks_.GridDx, xScales_[0]->LastTicks().list};
    const GridAxis y{RangeOf(*yProps_[0]), looks_.GridDy, yScales_[0]->LastTicks().list};
    const GridPaint paint{looks_.GridStyle, looks_.GridColor, looks_.ChartColor};
    ::DrawGrid(Canvas, paint, geometry_, transforms_[0], x, y);
}

// The crosshairs go over the finished picture; the frame bitmap is what the window shows.
void TCustomRChart::PresentFrame(int Dx, int Dy, TBitmap& Bitmap)
{
    DrawCrossHairs(Bitmap.Canvas(), geometry_, crossHairs_, transforms_, Dx, Dy);
    if (&Bitmap != &frame_)
        frame_.Canvas().Draw(Dx, Dy, Bitmap);
    update(Dx, Dy, Bitmap.Width(), Bitmap.Height());  // only what was drawn again
}

// A chart that cannot paint now (hidden, loading, suspended) keeps its picture at the scale it has.
bool TCustomRChart::SetPictureScale(const TDeviceScale& Scale)
{
    if (!CanPaint())
        return false;
    frame_.SetScale(Scale);
    plot_.SetScale(Scale);
    Paint();
    return true;
}

QImage TCustomRChart::PictureAt(const TDeviceScale& Scale)
{
    const TDeviceScale shown = frame_.Scale();
    if (Scale == shown)
        return frame_.Image();
    if (!SetPictureScale(Scale))
        return {};
    QImage picture = frame_.Image();
    static_cast<void>(SetPictureScale(shown));  // it could paint a moment ago
    return picture;
}

void TCustomRChart::paintEvent(QPaintEvent* Event)
{
    // a screen of another scale, or a zoom: the picture is drawn again in the new device pixels
    if (const TDeviceScale screen = TDeviceScale::Of(devicePixelRatioF()); screen != frame_.Scale())
        static_cast<void>(SetPictureScale(screen));  // or later, when the chart can paint again
    QPainter painter(this);
    const QImage& picture = frame_.Image();
    if (frame_.Scale().IsOne())
        painter.drawImage(Event->rect().topLeft(), picture, Event->rect());
    else  // pixel for pixel; the painter clips to what needs drawing
        painter.drawImage(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), picture);
    DrawZoomOutline(painter, picture, mouse_.ZoomRectangle());
}

void TCustomRChart::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (shownOnce_)
        return;
    // the window exists now: updates resume, and the window system asks for the first paint
    shownOnce_ = true;
    data_.ResumeUpdatesWithoutPaint();
    Paint();
}
