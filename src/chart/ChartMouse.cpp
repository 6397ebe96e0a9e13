#include "chart/ChartMouse.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QImage>
#include <QPainter>

#include "scale/Rounding.h"

// Outside any namespace, as Qt asks: the resources live in this static library.
static void InitChartCursorResources()
{
    Q_INIT_RESOURCE(ChartCursors);
}

namespace {

// The chart paints once for a step, when the step ends.
class StepPaint {
public:
    explicit StepPaint(IChartMouseHost& Chart) : chart_(Chart), saved_(Chart.StepSuspended())
    {
        chart_.SuspendForStep(true);
    }
    ~StepPaint() { chart_.SuspendForStep(saved_); }
    StepPaint(const StepPaint&) = delete;
    StepPaint& operator=(const StepPaint&) = delete;

private:
    IChartMouseHost& chart_;
    bool saved_;
};

// Larger than any squared pixel distance: the first competitor always wins.
constexpr double NoDistance = 1.7e308;

bool IsPanMode(TMouseActMode Mode)
{
    return Mode == maPan || Mode == maPanHoriz || Mode == maPanVert;
}

bool IsZoomWindowMode(TMouseActMode Mode)
{
    return Mode == maZoomWind || Mode == maZoomWindPos;
}

// The modes that follow the left button from the drag start.
bool IsDragMode(TMouseActMode Mode)
{
    return IsPanMode(Mode) || Mode == maZoomDrag || Mode == maDragCrossH || Mode == maDragLabel;
}

double Square(double V)
{
    return V * V;
}

// The right and bottom edges of the plot area, both on its frame.
int PlotRight(const ChartGeometry& G)
{
    return G.Width - G.MarginRight - G.ShadowWidth;
}

int PlotBottom(const ChartGeometry& G)
{
    return G.Height - G.MarginBottom - G.ShadowWidth;
}

// std::clamp without its precondition: a plot of no room clamps to its low edge.
int ClampInto(int V, int Low, int High)
{
    return std::max(Low, std::min(V, High));
}

// Swaps A and B when they run the other way than Present does.
void OrderLike(double& A, double& B, const RangeEnds& Present)
{
    if ((B < A && Present.Low < Present.High) || (B > A && Present.Low > Present.High))
        std::swap(A, B);
}

}  // namespace

void LoadChartCursors()
{
    InitChartCursorResources();
    // the library draws these four when the program ships none, so they fail only without a GUI application,
    // where there is no cursor to show either
    static_cast<void>(LoadCursorResource(crChartHand, QStringLiteral("CURHAND")));
    static_cast<void>(LoadCursorResource(crChartZoomWindow, QStringLiteral("CURZOOMW")));
    static_cast<void>(LoadCursorResource(crChartZoomDrag, QStringLiteral("CURZOOMD")));
    static_cast<void>(LoadCursorResource(crChartZoomPosition, QStringLiteral("CURZOOMP")));
}

bool InsidePlot(const ChartGeometry& G, QPoint Mouse)
{
    return G.MarginLeft <= Mouse.x() && Mouse.x() <= PlotRight(G) && G.MarginTop <= Mouse.y() &&
        Mouse.y() <= PlotBottom(G);
}

std::optional<TCursor> PlotCursorOf(TMouseActMode Mode)
{
    switch (Mode) {
    case maNone: return crCross;
    case maPan:
    case maPanHoriz:
    case maPanVert: return crChartHand;
    case maZoomWind: return crChartZoomWindow;
    case maZoomWindPos: return crChartZoomPosition;
    case maZoomDrag: return crChartZoomDrag;
    case maDragCrossH:
    case maDragLabel: return crDefault;
    default: return std::nullopt;
    }
}

bool IsUsableRange(const RangeEnds& R, bool Logarithmic)
{
    if (!std::isfinite(R.Low) || !std::isfinite(R.High) || R.Low == R.High)
        return false;
    return !Logarithmic || (R.Low >= SmallestLogValue && R.High >= SmallestLogValue);
}

std::optional<RangeEnds> PannedRange(
    const RangeEnds& Start, const RangeEnds& Present, bool Logarithmic, double Fraction)
{
    if (!std::isfinite(Fraction))
        return std::nullopt;
    RangeEnds r;
    if (Logarithmic) {
        const double f = std::exp(std::log(Present.High / Present.Low) * Fraction);
        r = {Start.Low * f, Start.High * f};
    } else {
        const double s = (Present.High - Present.Low) * Fraction;
        r = {Start.Low + s, Start.High + s};
    }
    if (!IsUsableRange(r, Logarithmic))
        return std::nullopt;
    return r;
}

std::optional<RangeEnds> ZoomedRange(const RangeEnds& Start, double Factor, bool Logarithmic)
{
    if (!(Factor > 0))
        return std::nullopt;
    const double centre = (Start.Low + Start.High) / 2;
    const double half = (Start.High - Start.Low) * Factor / 2;
    const RangeEnds r{centre - half, centre + half};
    if (!IsUsableRange(r, Logarithmic))
        return std::nullopt;
    return r;
}

ZoomFactors ZoomDragFactors(QPoint Start, QPoint Mouse, int Width, int Height, bool Isometric)
{
    // a control of no size gives NaN, which ZoomedRange refuses
    const double mx = Width > 0 ? 1 - double(Mouse.x() - Start.x()) / Width : NAN;
    const double my = Height > 0 ? double(Mouse.y() - Start.y()) / Height + 1 : NAN;
    return {mx, Isometric ? mx : my};
}

QPoint ZoomCorner(const ChartGeometry& G, QPoint Start, QPoint Mouse, bool Isometric)
{
    const int x = ClampInto(Mouse.x(), G.MarginLeft, PlotRight(G));
    int y = Mouse.y();
    if (Isometric) {
        const long long dx = x - Start.x(), dy = y - Start.y();
        y = dy * dx < 1 ? Start.y() + Start.x() - x : Start.y() + x - Start.x();
    }
    return {x, ClampInto(y, G.MarginTop, PlotBottom(G))};
}

QRect ZoomOutline(QPoint A, QPoint B)
{
    if (A.x() == B.x() || A.y() == B.y())
        return {};
    const int left = std::min(A.x(), B.x()), right = std::max(A.x(), B.x());
    const int top = std::min(A.y(), B.y()), bottom = std::max(A.y(), B.y());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void DrawZoomOutline(QPainter& Painter, const QImage& Picture, const QRect& Outline)
{
    const QRect& r = Outline;
    if (r.isEmpty())
        return;
    // strips that do not overlap, so no pixel is inverted twice
    std::vector<QRect> strips{{r.left(), r.top(), r.width(), 1}};
    if (r.height() > 1)
        strips.emplace_back(r.left(), r.bottom(), r.width(), 1);
    if (r.height() > 2) {
        strips.emplace_back(r.left(), r.top() + 1, 1, r.height() - 2);
        if (r.width() > 1)
            strips.emplace_back(r.right(), r.top() + 1, 1, r.height() - 2);
    }
    const TDeviceScale scale = TDeviceScale::Of(Picture.devicePixelRatio());
    for (const QRect& strip : strips) {
        const TRect device = scale.DeviceBox({strip.left(), strip.top(), strip.right() + 1, strip.bottom() + 1});
        const QRect visible =
            QRect(device.Left, device.Top, device.Width(), device.Height()).intersected(Picture.rect());
        if (visible.isEmpty())
            continue;
        QImage inverted = Picture.copy(visible);
        inverted.invertPixels(QImage::InvertRgb);
        Painter.drawImage(QPointF(visible.left() / scale.Factor, visible.top() / scale.Factor), inverted);
    }
}

// --- the handlers ---

ChartMouse::ChartMouse(IChartMouseHost& Chart) : chart_(Chart)
{
}

bool ChartMouse::MouseEnabled(int Layer) const
{
    return Layer >= 1 && Layer <= ChartLayerCount && enabled_[Layer - 1];
}

void ChartMouse::Press(TMouseButton Button, QPoint Mouse)
{
    if (Button != mbLeft || !IsZoomWindowMode(chart_.DragMode()) || zoom_.Dragging ||
        !InsidePlot(chart_.MouseGeometry(), Mouse))
        return;
    zoom_ = {true, Mouse, Mouse};
}

void ChartMouse::Move(Qt::MouseButtons Buttons, QPoint Mouse)
{
    const TMouseActMode mode = chart_.DragMode();
    if (zoom_.Dragging)
        MoveZoomCorner(Mouse);
    if (IsDragMode(mode))
        FollowDrag(mode, Buttons.testFlag(Qt::LeftButton), Mouse);
    SelectCursor(mode, Mouse);
}

void ChartMouse::Release(TMouseButton Button, QPoint)
{
    // a press that follows without a move in between starts a new drag, not the old one again
    if (Button == mbLeft)
        dragStarted_ = false;
    if (!zoom_.Dragging || Button == mbMiddle)
        return;
    if (Button == mbLeft && zoom_.Start.x() != zoom_.Last.x() && zoom_.Start.y() != zoom_.Last.y())
        ApplyZoomWindow(chart_.DragMode() == maZoomWindPos);
    zoom_.Dragging = false;
    chart_.ShowAnew({});
}

void ChartMouse::Leave()
{
    if (shownCursor_ != crDefault)
        ShowCursor(crDefault);
}

QRect ChartMouse::ZoomRectangle() const
{
    return zoom_.Dragging ? ZoomOutline(zoom_.Start, zoom_.Last) : QRect();
}

void ChartMouse::MoveZoomCorner(QPoint Mouse)
{
    const QPoint corner = ZoomCorner(chart_.MouseGeometry(), zoom_.Start, Mouse, chart_.SquareZoom());
    if (corner == zoom_.Last)
        return;
    const QRect old = ZoomOutline(zoom_.Start, zoom_.Last);
    zoom_.Last = corner;
    // the window shows the outline only, so the old one and the new one are all that changes
    chart_.ShowAnew(old.united(ZoomOutline(zoom_.Start, zoom_.Last)));
}

void ChartMouse::FollowDrag(TMouseActMode Mode, bool LeftHeld, QPoint Mouse)
{
    if (!LeftHeld) {
        dragStarted_ = false;
        return;
    }
    if (!dragStarted_)
        StartDrag(Mode, Mouse);
    else if (Mode == maDragCrossH || Mode == maDragLabel || InsidePlot(chart_.MouseGeometry(), Mouse))
        DragStep(Mode, Mouse);
    dragStarted_ = true;
}

void ChartMouse::StartDrag(TMouseActMode Mode, QPoint Mouse)
{
    dragStart_ = Mouse;
    for (int layer = 1; layer <= ChartLayerCount; ++layer)
        startRanges_[layer - 1] = PresentRanges(layer);
    if (Mode == maDragCrossH)
        selectedCrossHair_ = NearestCrossHair(Mouse);
    else if (Mode == maDragLabel)
        selectedLabel_ = NearestTextLabel(Mouse);
}

void ChartMouse::DragStep(TMouseActMode Mode, QPoint Mouse)
{
    if (IsPanMode(Mode))
        PanStep(Mode, Mouse);
    else if (Mode == maZoomDrag)
        ZoomDragStep(Mouse);
    else if (Mode == maDragCrossH)
        MoveCrossHair(Mouse);
    else
        MoveTextLabel(Mouse);
}

ChartMouse::LayerRanges ChartMouse::PresentRanges(int Layer) const
{
    return {chart_.AxisRange(Layer, false), chart_.AxisRange(Layer, true)};
}

// An axis whose new range is not usable keeps its present one.
void ChartMouse::SetRanges(int Layer, std::optional<RangeEnds> X, std::optional<RangeEnds> Y)
{
    const LayerRanges present = PresentRanges(Layer);
    const RangeEnds x = X.value_or(present.X), y = Y.value_or(present.Y);
    chart_.SetAxisRanges(Layer, x, y);
}

void ChartMouse::ZoomPanDone()
{
    chart_.ZoomedOrPanned();
}

void ChartMouse::PanStep(TMouseActMode Mode, QPoint Mouse)
{
    {
        const StepPaint suspension(chart_);
        const ChartGeometry& g = chart_.MouseGeometry();
        // positive fractions move the range up: the mouse moving left, or down
        const double fx = double(dragStart_.x() - Mouse.x()) / g.PlotWidth();
        const double fy = double(Mouse.y() - dragStart_.y()) / g.PlotHeight();
        for (int layer = 1; layer <= ChartLayerCount; ++layer) {
            if (!MouseEnabled(layer))
                continue;
            const LayerRanges& start = startRanges_[layer - 1];
            const LayerRanges present = PresentRanges(layer);
            std::optional<RangeEnds> x, y;
            if (Mode != maPanVert)
                x = PannedRange(start.X, present.X, chart_.AxisLogarithmic(layer, false), fx);
            if (Mode != maPanHoriz)
                y = PannedRange(start.Y, present.Y, chart_.AxisLogarithmic(layer, true), fy);
            SetRanges(layer, x, y);
        }
    }
    ZoomPanDone();
}

void ChartMouse::ZoomDragStep(QPoint Mouse)
{
    {
        const StepPaint suspension(chart_);
        const ChartGeometry& g = chart_.MouseGeometry();
        const ZoomFactors m = ZoomDragFactors(dragStart_, Mouse, g.Width, g.Height, chart_.SquareZoom());
        for (int layer = 1; layer <= ChartLayerCount; ++layer) {
            if (!MouseEnabled(layer))
                continue;
            const LayerRanges& start = startRanges_[layer - 1];
            SetRanges(layer, ZoomedRange(start.X, m.X, chart_.AxisLogarithmic(layer, false)),
                ZoomedRange(start.Y, m.Y, chart_.AxisLogarithmic(layer, true)));
        }
    }
    ZoomPanDone();
}

void ChartMouse::ApplyZoomWindow(bool KeepDirection)
{
    {
        const StepPaint suspension(chart_);
        for (int layer = 1; layer <= ChartLayerCount; ++layer) {
            if (!MouseEnabled(layer))
                continue;
            const WorldPosition a = chart_.WorldOf(layer, zoom_.Start.x(), zoom_.Start.y());
            const WorldPosition b = chart_.WorldOf(layer, zoom_.Last.x(), zoom_.Last.y());
            RangeEnds x{a.X, b.X}, y{a.Y, b.Y};
            if (KeepDirection) {
                const LayerRanges present = PresentRanges(layer);
                OrderLike(x.Low, x.High, present.X);
                OrderLike(y.Low, y.High, present.Y);
            }
            const auto usable = [](const RangeEnds& r, bool log) {
                return IsUsableRange(r, log) ? std::optional<RangeEnds>(r) : std::nullopt;
            };
            SetRanges(
                layer, usable(x, chart_.AxisLogarithmic(layer, false)), usable(y, chart_.AxisLogarithmic(layer, true)));
        }
    }
    ZoomPanDone();
}

// The crosshair whose line lies nearest the mouse; crosshairs that are off do not compete, so with all of
// them off it is crosshair 1.
int ChartMouse::NearestCrossHair(QPoint Mouse) const
{
    int nearest = 1;
    double best = NoDistance;
    const auto compete = [&](int number, double distance) {
        if (distance < best) {
            best = distance;
            nearest = number;
        }
    };
    for (int n = 1; n <= IChartMouseHost::CrossHairs; ++n) {
        const TCrossHair& ch = chart_.CrossHairAt(n);
        const PixelPosition p = chart_.PixelOf(ch.Layer(), ch.PosX(), ch.PosY());
        if (ch.Mode() == chOff || !p.Valid)
            continue;
        if (ch.Mode() == chVert || ch.Mode() == chBoth)
            compete(n, Square(double(p.X) - Mouse.x()));
        if (ch.Mode() == chHoriz || ch.Mode() == chBoth)
            compete(n, Square(double(p.Y) - Mouse.y()));
    }
    return nearest;
}

// The shown label whose anchor lies nearest the mouse; with none shown it is label 1.
int ChartMouse::NearestTextLabel(QPoint Mouse) const
{
    int nearest = 1;
    double best = NoDistance;
    for (int n = 1; n <= IChartMouseHost::TextLabels; ++n) {
        const TCustomTextLabel& label = chart_.TextLabelAt(n);
        if (label.Mode() == tlOff || !label.Visible())
            continue;
        const PixelPosition p = chart_.PixelOf(label.Layer(), label.PosX(), label.PosY());
        const TTxtLblAttachMode attach = label.AttachToData();
        const bool worldX = attach == tlamXOnly || attach == tlamBoth;
        const bool worldY = attach == tlamYOnly || attach == tlamBoth;
        if ((worldX || worldY) && !p.Valid)
            continue;
        const double ax = worldX ? p.X : label.PosX(), ay = worldY ? p.Y : label.PosY();
        const double distance = Square(ax - Mouse.x()) + Square(ay - Mouse.y());
        if (distance < best) {
            best = distance;
            nearest = n;
        }
    }
    return nearest;
}

void ChartMouse::MoveCrossHair(QPoint Mouse)
{
    TCrossHair& ch = chart_.CrossHairAt(selectedCrossHair_);
    const WorldPosition w = chart_.WorldOf(ch.Layer(), Mouse.x(), Mouse.y());
    {
        // one full paint for both positions
        const StepPaint suspension(chart_);
        ch.SetPosX(w.X);
        ch.SetPosY(w.Y);
    }
    chart_.CrossHairMoved(selectedCrossHair_);
}

void ChartMouse::MoveTextLabel(QPoint Mouse)
{
    TCustomTextLabel& label = chart_.TextLabelAt(selectedLabel_);
    const WorldPosition w = chart_.WorldOf(label.Layer(), Mouse.x(), Mouse.y());
    const TTxtLblAttachMode attach = label.AttachToData();
    {
        const StepPaint suspension(chart_);
        label.SetPosX(attach == tlamXOnly || attach == tlamBoth ? w.X : Mouse.x());
        label.SetPosY(attach == tlamYOnly || attach == tlamBoth ? w.Y : Mouse.y());
    }
    chart_.TextLabelMoved(selectedLabel_);
}

void ChartMouse::SelectCursor(TMouseActMode Mode, QPoint Mouse)
{
    if (!InsidePlot(chart_.MouseGeometry(), Mouse) || chart_.FixedCursor())
        ShowCursor(crDefault);
    else if (const std::optional<TCursor> cursor = PlotCursorOf(Mode))
        ShowCursor(*cursor);
}

void ChartMouse::ShowCursor(TCursor Cursor)
{
    shownCursor_ = Cursor;
    SetAppCursor(Cursor);
}

// --- the chart's mouse and key events: the application's handler first, then the chart's own ---
