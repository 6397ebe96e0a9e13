#include "chart/ChartMouse.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QImage>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "chart/Quarn_rchart.h"
#include "chart/UpdateSuspension.h"
#include "scale/Rounding.h"

// Outside any namespace, as Qt asks: the resources live in this static library.
static void InitChartCursorResources()
{
    Q_INIT_RESOURCE(ChartCursors);
}

namespace {

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

RangeEnds EndsOf(const TScaleProps& Props)
{
    return {Props.RangeLow(), Props.RangeHigh()};
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
    for (const QRect& strip : strips) {
        const QRect visible = strip.intersected(Picture.rect());
        if (visible.isEmpty())
            continue;
        QImage inverted = Picture.copy(visible);
        inverted.invertPixels(QImage::InvertRgb);
        Painter.drawImage(visible.topLeft(), inverted);
    }
}

// --- the handlers ---

ChartMouse::ChartMouse(TCustomRChart& Chart) : chart_(Chart)
{
}

bool ChartMouse::MouseEnabled(int Layer) const
{
    return Layer >= 1 && Layer <= ChartLayerCount && enabled_[Layer - 1];
}

void ChartMouse::Press(TMouseButton Button, QPoint Mouse)
{
    if (Button != mbLeft || !IsZoomWindowMode(chart_.MouseAction()) || zoom_.Dragging ||
        !InsidePlot(chart_.Geometry(), Mouse))
        return;
    zoom_ = {true, Mouse, Mouse};
}

void ChartMouse::Move(Qt::MouseButtons Buttons, QPoint Mouse)
{
    const TMouseActMode mode = chart_.MouseAction();
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
        ApplyZoomWindow(chart_.MouseAction() == maZoomWindPos);
    zoom_.Dragging = false;
    chart_.update();
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
    const QPoint corner = ZoomCorner(chart_.Geometry(), zoom_.Start, Mouse, chart_.Isometric());
    if (corner == zoom_.Last)
        return;
    const QRect old = ZoomOutline(zoom_.Start, zoom_.Last);
    zoom_.Last = corner;
    // the window shows the outline only, so the old one and the new one are all that changes
    chart_.update(old.united(ZoomOutline(zoom_.Start, zoom_.Last)));
}

void ChartMouse::FollowDrag(TMouseActMode Mode, bool LeftHeld, QPoint Mouse)
{
    if (!LeftHeld) {
        dragStarted_ = false;
        return;
    }
    if (!dragStarted_)
        StartDrag(Mode, Mouse);
    else if (Mode == maDragCrossH || Mode == maDragLabel || InsidePlot(chart_.Geometry(), Mouse))
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
    return {EndsOf(*chart_.ScaleX(Layer)), EndsOf(*chart_.ScaleY(Layer))};
}

// An axis whose new range is not usable keeps its present one.
void ChartMouse::SetRanges(int Layer, std::optional<RangeEnds> X, std::optional<RangeEnds> Y)
{
    const LayerRanges present = PresentRanges(Layer);
    const RangeEnds x = X.value_or(present.X), y = Y.value_or(present.Y);
    chart_.SetLayerRanges(Layer, x.Low, x.High, y.Low, y.High);
}

void ChartMouse::ZoomPanDone()
{
    if (chart_.OnZoomPan)
        chart_.OnZoomPan(&chart_);
}

void ChartMouse::PanStep(TMouseActMode Mode, QPoint Mouse)
{
    {
        const UpdateSuspension suspension(chart_);
        const ChartGeometry& g = chart_.Geometry();
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
                x = PannedRange(start.X, present.X, chart_.ScaleX(layer)->Logarithmic(), fx);
            if (Mode != maPanHoriz)
                y = PannedRange(start.Y, present.Y, chart_.ScaleY(layer)->Logarithmic(), fy);
            SetRanges(layer, x, y);
        }
    }
    ZoomPanDone();
}

void ChartMouse::ZoomDragStep(QPoint Mouse)
{
    {
        const UpdateSuspension suspension(chart_);
        const ChartGeometry& g = chart_.Geometry();
        const ZoomFactors m = ZoomDragFactors(dragStart_, Mouse, g.Width, g.Height, chart_.Isometric());
        for (int layer = 1; layer <= ChartLayerCount; ++layer) {
            if (!MouseEnabled(layer))
                continue;
            const LayerRanges& start = startRanges_[layer - 1];
            SetRanges(layer, ZoomedRange(start.X, m.X, chart_.ScaleX(layer)->Logarithmic()),
                ZoomedRange(start.Y, m.Y, chart_.ScaleY(layer)->Logarithmic()));
        }
    }
    ZoomPanDone();
}

void ChartMouse::ApplyZoomWindow(bool KeepDirection)
{
    {
        const UpdateSuspension suspension(chart_);
        for (int layer = 1; layer <= ChartLayerCount; ++layer) {
            if (!MouseEnabled(layer))
                continue;
            const WorldPosition a = chart_.PixelToWorld(layer, zoom_.Start.x(), zoom_.Start.y());
            const WorldPosition b = chart_.PixelToWorld(layer, zoom_.Last.x(), zoom_.Last.y());
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
                layer, usable(x, chart_.ScaleX(layer)->Logarithmic()), usable(y, chart_.ScaleY(layer)->Logarithmic()));
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
    for (int n = 1; n <= TCustomRChart::CrossHairCount; ++n) {
        const TCrossHair& ch = *chart_.CrossHair(n);
        const PixelPosition p = chart_.WorldToPixel(ch.Layer(), ch.PosX(), ch.PosY());
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
    for (int n = 1; n <= TCustomRChart::TextLabelCount; ++n) {
        const TCustomTextLabel& label = *chart_.TextLabel(n);
        if (label.Mode() == tlOff || !label.Visible())
            continue;
        const PixelPosition p = chart_.WorldToPixel(label.Layer(), label.PosX(), label.PosY());
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
    TCrossHair& ch = *chart_.CrossHair(selectedCrossHair_);
    const WorldPosition w = chart_.PixelToWorld(ch.Layer(), Mouse.x(), Mouse.y());
    {
        // one full paint for both positions
        const UpdateSuspension suspension(chart_);
        ch.SetPosX(w.X);
        ch.SetPosY(w.Y);
    }
    if (chart_.OnCrossHairMove)
        chart_.OnCrossHairMove(&chart_, selectedCrossHair_);
}

void ChartMouse::MoveTextLabel(QPoint Mouse)
{
    TCustomTextLabel& label = *chart_.TextLabel(selectedLabel_);
    const WorldPosition w = chart_.PixelToWorld(label.Layer(), Mouse.x(), Mouse.y());
    const TTxtLblAttachMode attach = label.AttachToData();
    {
        const UpdateSuspension suspension(chart_);
        label.SetPosX(attach == tlamXOnly || attach == tlamBoth ? w.X : Mouse.x());
        label.SetPosY(attach == tlamYOnly || attach == tlamBoth ? w.Y : Mouse.y());
    }
    if (chart_.OnTextLabelMove)
        chart_.OnTextLabelMove(&chart_, selectedLabel_);
}

void ChartMouse::SelectCursor(TMouseActMode Mode, QPoint Mouse)
{
    if (!InsidePlot(chart_.Geometry(), Mouse) || chart_.MouseCursorFixed())
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

namespace {

std::optional<TMouseButton> ButtonOf(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
    }
}

TShiftState ShiftOf(const QInputEvent& Event, Qt::MouseButtons Buttons)
{
    return {Event.modifiers(), Buttons};
}

}  // namespace

void TCustomRChart::mousePressEvent(QMouseEvent* Event)
{
    const std::optional<TMouseButton> button = ButtonOf(Event->button());
    if (!button)
        return QWidget::mousePressEvent(Event);
    const QPoint mouse = Event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, *button, ShiftOf(*Event, Event->buttons()), mouse.x(), mouse.y());
    mouse_.Press(*button, mouse);
}

void TCustomRChart::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint mouse = Event->position().toPoint();
    const TShiftState shift = ShiftOf(*Event, Event->buttons());
    if (OnMouseMove)
        OnMouseMove(this, shift, mouse.x(), mouse.y());
    mouse_.Move(Event->buttons(), mouse);
    if (OnMouseMoveInChart) {
        const WorldPosition w = PixelToWorld(TChartData::CurrentLayer, mouse.x(), mouse.y());
        OnMouseMoveInChart(this, InsidePlot(geometry_, mouse), shift, w.X, w.Y);
    }
}

void TCustomRChart::mouseReleaseEvent(QMouseEvent* Event)
{
    const std::optional<TMouseButton> button = ButtonOf(Event->button());
    if (!button)
        return QWidget::mouseReleaseEvent(Event);
    const QPoint mouse = Event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, *button, ShiftOf(*Event, Event->buttons()), mouse.x(), mouse.y());
    mouse_.Release(*button, mouse);
}

void TCustomRChart::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomRChart::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    mouse_.Leave();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomRChart::keyPressEvent(QKeyEvent* Event)
{
    if (!OnKeyDown)
        return QWidget::keyPressEvent(Event);
    int key = Event->key();
    OnKeyDown(this, key, ShiftOf(*Event, QGuiApplication::mouseButtons()));
}

bool TCustomRChart::focusNextPrevChild(bool)
{
    return false;
}
