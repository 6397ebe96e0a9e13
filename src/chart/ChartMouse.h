#pragma once
// What the mouse does on a chart: panning and zooming the axes of the mouse-enabled layers, the zoom window,
// dragging crosshairs and text labels, and the cursor over the plot area.

#include <array>
#include <cstdint>
#include <optional>

#include <QPoint>
#include <QRect>

#include "chart/ChartTransform.h"
#include "platform/draw/Cursors.h"
#include "scale/Quarn_quarnbase.h"

class QImage;
class QPainter;

// The keys and mouse buttons held when an event came.
struct TShiftState {
    Qt::KeyboardModifiers Keys;
    Qt::MouseButtons Buttons;
};

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// The chart's own cursors in the application's cursor table.
constexpr TCursor crChartHand = 1;
constexpr TCursor crChartZoomWindow = 2;
constexpr TCursor crChartZoomDrag = 3;
constexpr TCursor crChartZoomPosition = 4;

// Loads the hand and the three zoom cursors into their slots.
void LoadChartCursors();

// The plot area with its frame: MarginLeft <= x <= Width - MarginRight - ShadowWidth, likewise for y.
bool InsidePlot(const ChartGeometry& Geometry, QPoint Mouse);

// The cursor a mode shows over the plot area; nullopt for a mode that leaves the cursor alone.
std::optional<TCursor> PlotCursorOf(TMouseActMode Mode);

// The two ends of an axis range, low first as the axis stores them (a mirrored axis has Low > High).
struct RangeEnds {
    double Low = 0, High = 1;
    bool operator==(const RangeEnds&) const = default;
};

// A range an axis can show: both ends finite and distinct, and on a logarithmic axis both at least 1e-100.
bool IsUsableRange(const RangeEnds& Range, bool Logarithmic);

// The start range moved by Fraction of the present range: shifted by Fraction of its width (linear) or scaled by
// the present High/Low ratio to the power Fraction (logarithmic). nullopt when the result is no usable range.
[[nodiscard]] std::optional<RangeEnds> PannedRange(
    const RangeEnds& Start, const RangeEnds& Present, bool Logarithmic, double Fraction);

// The start range scaled by Factor about its centre. A factor of zero or less (a drag as long as the control
// or longer) and a result that is no usable range give nullopt.
[[nodiscard]] std::optional<RangeEnds> ZoomedRange(const RangeEnds& Start, double Factor, bool Logarithmic);

// The zoom factors of a drag from Start to Mouse on a control of the given size: moving right narrows x,
// moving down widens y; with Isometric y takes x's factor.
struct ZoomFactors {
    double X = 1, Y = 1;
};
ZoomFactors ZoomDragFactors(QPoint Start, QPoint Mouse, int Width, int Height, bool Isometric);

// The zoom rectangle's corner for the mouse at Mouse: x clamped into the plot, then squared about Start when
// Isometric, then y clamped into the plot.
QPoint ZoomCorner(const ChartGeometry& Geometry, QPoint Start, QPoint Mouse, bool Isometric);

// The pixels a rectangle between two corners outlines (the corner further right and down is outside it);
// empty when the corners share an x or a y.
QRect ZoomOutline(QPoint A, QPoint B);

// Outlines Outline on the window in the inverted colours of Picture, the image the window shows: the
// exclusive-or rectangle, drawn over the picture and never into it.
void DrawZoomOutline(QPainter& Painter, const QImage& Picture, const QRect& Outline);

// What the mouse logic reaches of its chart: the geometry and the pixel mapping, the settings that steer a drag,
// the axis ranges it pans and zooms, the crosshairs and labels it drags, one paint for a step, and the
// notifications after each step. The chart gives it.
class IChartMouseHost {
public:
    static constexpr int CrossHairs = 4, TextLabels = 30;

    virtual const ChartGeometry& MouseGeometry() const = 0;
    virtual TMouseActMode DragMode() const = 0;
    virtual bool FixedCursor() const = 0;
    virtual bool SquareZoom() const = 0;
    virtual PixelPosition PixelOf(int Layer, double X, double Y) const = 0;
    virtual WorldPosition WorldOf(int Layer, double Px, double Py) const = 0;
    // The ends of a layer's horizontal or vertical axis, and whether it is logarithmic.
    virtual RangeEnds AxisRange(int Layer, bool Vertical) const = 0;
    virtual bool AxisLogarithmic(int Layer, bool Vertical) const = 0;
    virtual void SetAxisRanges(int Layer, const RangeEnds& X, const RangeEnds& Y) = 0;
    virtual TCrossHair& CrossHairAt(int Number) = 0;
    virtual TCustomTextLabel& TextLabelAt(int Number) = 0;
    // While a step holds this, the chart paints once, at the end.
    virtual bool StepSuspended() const = 0;
    virtual void SuspendForStep(bool Suspended) = 0;
    virtual void ZoomedOrPanned() = 0;
    virtual void CrossHairMoved(int Number) = 0;
    virtual void TextLabelMoved(int Number) = 0;
    // The window shows Area anew (the zoom outline moved); an empty area shows all of it.
    virtual void ShowAnew(const QRect& Area) = 0;

protected:
    ~IChartMouseHost() = default;
};

// The mouse state of one chart and its handlers.
class ChartMouse {
public:
    explicit ChartMouse(IChartMouseHost& Chart);
    // A cursor of ours does not outlive the chart.
    ~ChartMouse() { Leave(); }
    ChartMouse(const ChartMouse&) = delete;
    ChartMouse& operator=(const ChartMouse&) = delete;

    void Press(TMouseButton Button, QPoint Mouse);
    void Move(Qt::MouseButtons Buttons, QPoint Mouse);
    void Release(TMouseButton Button, QPoint Mouse);
    // The mouse left the control: a cursor of ours does not stay over the rest of the application.
    void Leave();

    // The outline of the zoom rectangle being dragged, or an empty rectangle.
    QRect ZoomRectangle() const;
    bool ZoomDragging() const { return zoom_.Dragging; }
    bool DragStarted() const { return dragStarted_; }
    // Only layer 1 is enabled; layers joined to it follow it through SetLayerRanges.
    bool MouseEnabled(int Layer) const;
    int SelectedCrossHair() const { return selectedCrossHair_; }
    int SelectedTextLabel() const { return selectedLabel_; }

private:
    struct LayerRanges {
        RangeEnds X, Y;
    };
    struct ZoomWindow {
        bool Dragging = false;
        QPoint Start, Last;
    };

    void FollowDrag(TMouseActMode Mode, bool LeftHeld, QPoint Mouse);
    void StartDrag(TMouseActMode Mode, QPoint Mouse);
    void DragStep(TMouseActMode Mode, QPoint Mouse);
    void PanStep(TMouseActMode Mode, QPoint Mouse);
    void ZoomDragStep(QPoint Mouse);
    void MoveZoomCorner(QPoint Mouse);
    void ApplyZoomWindow(bool KeepDirection);
    void SetRanges(int Layer, std::optional<RangeEnds> X, std::optional<RangeEnds> Y);
    void ZoomPanDone();
    int NearestCrossHair(QPoint Mouse) const;
    int NearestTextLabel(QPoint Mouse) const;
    void MoveCrossHair(QPoint Mouse);
    void MoveTextLabel(QPoint Mouse);
    void SelectCursor(TMouseActMode Mode, QPoint Mouse);
    void ShowCursor(TCursor Cursor);
    LayerRanges PresentRanges(int Layer) const;

    IChartMouseHost& chart_;
    std::array<bool, ChartLayerCount> enabled_{true};
    bool dragStarted_ = false;
    QPoint dragStart_;
    std::array<LayerRanges, ChartLayerCount> startRanges_{};
    ZoomWindow zoom_;
    int selectedCrossHair_ = 1;
    int selectedLabel_ = 1;
    TCursor shownCursor_ = crDefault;  // the cursor this chart selected last
};
