#pragma once

// A drawing surface with the semantics of the classic desktop device context:
// rectangles and ellipses cover left..right-1 x top..bottom-1, lines leave out
// their end point, text is placed by the top-left corner of its cell, and the
// pen, brush and font are a state that stays until it is changed.
// A canvas draws into a QImage it does not own (usually a TBitmap's); the
// image is checked once, when it is set as the target.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

#include <QFont>
#include <QImage>
#include <QString>

#include "platform/draw/Color.h"
#include "platform/draw/GuiApplication.h"

class TBitmap;

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive, as everywhere in this library.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    // Inline: every box a chart draws passes through both.
    TRect Normalized() const
    {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
    }
    // An empty result keeps the corner where the two would meet, with no size.
    TRect Intersected(const TRect& o) const
    {
        const TRect r{
            std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? TRect{r.Left, r.Top, r.Left, r.Top} : r;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t { pmCopy, pmXor, pmNotXor };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

// Font styles combine as bits: TFontStyles s = fsBold | fsItalic.
enum TFontStyle : std::uint8_t { fsBold = 0x01, fsItalic = 0x02, fsUnderline = 0x04, fsStrikeOut = 0x08 };
using TFontStyles = std::uint8_t;

struct TPen {
    TColor Color = clBlack;
    int Width = 1;  // 0 and 1 both draw one pixel wide
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    friend bool operator==(const TPen&, const TPen&) = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

// A font description. The size is kept either as a pixel height (what the forms
// give) or as points; points become pixels at 96 dots per inch, rounded, so a
// text measures the same on every device.
class TFont {
public:
    TFont() = default;
    TFont(const QString& name, int pixelHeight, TFontStyles style = 0, TColor color = clBlack)
        : name_(name), style_(style), color_(color)
    {
        SetHeight(pixelHeight);
    }

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    // Character height in pixels; a negative value is taken as its magnitude,
    // 0 gives the default size (8 points).
    int Height() const;
    void SetHeight(int pixels);

    // Size in points (rounded when the font was given in pixels).
    int Size() const;
    void SetSize(int points);

    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style) { style_ = style; }
    bool HasStyle(TFontStyle s) const { return (style_ & s) != 0; }

    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }

    // The face, size and style as a Qt font (no antialiasing, so pixels keep the
    // font colour exactly); the colour is not part of a QFont.
    QFont ToQFont() const;
    static TFont FromQFont(const QFont& font, TColor color = clBlack);

    // Equal when they draw alike: face, pixel height, style and colour.
    friend bool operator==(const TFont& a, const TFont& b)
    {
        return a.name_ == b.name_ && a.Height() == b.Height() && a.style_ == b.style_ && a.color_ == b.color_;
    }

private:
    QString name_ = QStringLiteral("Arial");
    int pixels_ = 0;  // used when > 0
    int points_ = 8;  // used when pixels_ == 0
    TFontStyles style_ = 0;
    TColor color_ = clBlack;
};

constexpr int PixelsPerInch = 96;

// How a picture's logical pixels lie on its device pixels: logical x starts at device pixel floor(x * Factor),
// and a pixel drawn as a point (a line's, an edge's, a mark pattern's) is a square of Block device pixels, the
// same everywhere in one picture; Block is Factor rounded up, so the points of a line leave no gap between them.
// At a factor of 1 both are the identity and nothing is mapped.
struct TDeviceScale {
    double Factor = 1;
    int Block = 1;

    // Factors up to 1 (or a hair above) or not finite draw at 1; above MaxFactor at MaxFactor.
    static constexpr double MaxFactor = 8;
    static TDeviceScale Of(double factor);

    bool IsOne() const { return Factor == 1; }
    bool IsWhole() const { return Factor == Block; }
    // Far-away coordinates stay far away, without overflowing.
    int Device(long long x) const;
    // The device pixels the logical pixels from..to-1 cover when drawn as points: from the first one's start to
    // the last one's block end.
    int ExtentEnd(int to) const { return Device(to - 1LL) + Block; }
    TRect DeviceBox(const TRect& logical) const
    {
        return {Device(logical.Left), Device(logical.Top), ExtentEnd(logical.Right), ExtentEnd(logical.Bottom)};
    }
    // The device size of a picture of a logical size: every device pixel a logical pixel starts on, fully.
    int DeviceSize(int logical) const;
    // The logical size of a picture of this many device pixels (the inverse of DeviceSize).
    int LogicalSize(int device) const;
    friend bool operator==(const TDeviceScale&, const TDeviceScale&) = default;
};

// Everything a drawing step may change for a while; see TCanvasSaver.
struct TCanvasState {
    TPen Pen;
    TBrush Brush;
    TFont Font;
    std::optional<TRect> Clip;
};

class TCanvas {
public:
    explicit TCanvas(QImage* target = nullptr);

    // The drawing state, changed directly: canvas.Pen.Color = clRed.
    TPen Pen;
    TBrush Brush;
    TFont Font;

    // The canvas draws on 32-bit pixels (RGB32, or ARGB32 for pictures with
    // transparent parts): an image in another format is converted here, in
    // place; a null image leaves the canvas without a target, drawing nothing.
    // Whoever replaces the image behind the pointer sets it again.
    // The image's device pixel ratio is the canvas's scale: every coordinate
    // and size the canvas takes and gives is logical.
    void SetTarget(QImage* target);
    QImage* Target() const { return target_; }
    const TDeviceScale& Scale() const { return scale_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetClipRect(const TRect& clip) { clip_ = clip; }
    void ClearClipRect() { clip_.reset(); }
    std::optional<TRect> ClipRect() const { return clip_; }

    TCanvasState SaveState() const;
    void RestoreState(const TCanvasState& state);

    // Lines: from the current point up to but excluding the end point.
    TPoint PenPos() const { return penPos_; }
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    void LineTo(int x, int y);
    // Leaves out the last point; does not use or move the current point.
    void Polyline(std::span<const TPoint> points);
    void Polyline(std::initializer_list<TPoint> points) { Polyline(std::span(points.begin(), points.size())); }

    // Closed, filled with the brush (alternate rule), outlined with the pen.
    void Polygon(std::span<const TPoint> points);
    void Polygon(std::initializer_list<TPoint> points) { Polygon(std::span(points.begin(), points.size())); }

    // Outline with the pen, fill with the brush; covers left..right-1 x top..bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Brush only (a clear brush fills nothing); the pen mode does not apply.
    void FillRect(const TRect& r);

    // Out-of-range reads give InvalidPixel; out-of-range writes are ignored.
    static constexpr TColor InvalidPixel = 0xFFFFFFFF;
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Text in the font and font colour, (x, y) being the top-left corner of the
    // text cell; with a solid brush the cell is filled with the brush colour first.
    void TextOut(int x, int y, const QString& text);
    // As TextOut, clipped to rect; with a solid brush rect is filled first.
    void TextRect(const TRect& rect, int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;  // ascent + descent of the font
    TPoint TextExtent(const QString& text) const { return {TextWidth(text), TextHeight(text)}; }

    // Bitmap copies ignore pen, brush and pen mode; they honour the clip.
    void Draw(int x, int y, const TBitmap& bitmap);
    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    void StretchDraw(const TRect& dest, const QImage& image);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

private:
    // The same operations at a scale other than 1.
    void TextOutScaled(int x, int y, const QString& text);
    void TextRectScaled(const TRect& area, int x, int y, const QString& text);
    // Draws at logical resolution with QPainter into a scratch picture over box and writes each pixel that was
    // set as a device block in the pen mode: the polygon fills and wide pens at a scale other than 1.
    template <class Paint> void DrawExpanded(const TRect& box, TPenMode mode, const Paint& paint);
    // Wide pens: QPainter on the target at a scale of 1, expanded otherwise.
    template <class Paint> void PaintWithPen(const TRect& bounds, const Paint& paint);
    void DrawDevice(const QRect& deviceRect, const QImage& source);
    std::optional<TRect> DeviceClip() const;
    TFont ScaledFont() const;

    QImage* target_ = nullptr;  // null, or an image with 32-bit pixels
    bool premultiplied_ = false;
    TDeviceScale scale_;
    int width_ = 0, height_ = 0;  // logical
    TPoint penPos_;
    std::optional<TRect> clip_;
};

// Many small solid pieces drawn onto one canvas in turn (boxes with a one-pixel edge, single pixels, a pixel
// pattern stamped at many points) with the scan lines, the writable area (the target within the clip) and the
// pen mode taken once, when the batch begins. The chart's items and marks go through it. While a batch is in
// use the canvas keeps its target, clip and pen mode; other drawing in between is fine.
class TPixelBatch {
public:
    explicit TPixelBatch(TCanvas& canvas);

    bool HasTarget() const { return bits_ != nullptr; }
    // In copy mode pieces replace the pixels; in the xor modes they flip them by their colour.
    bool CopyMode() const { return mode_ == pmCopy; }
    const TRect& Area() const { return area_; }

    // One pixel in the pen mode; nothing outside the area.
    void Pixel(int x, int y, QRgb rgb)
    {
        if (bits_ == nullptr || !area_.Contains(x, y))
            return;
        if (scale_.IsOne())
            Put(At(x, y), rgb);
        else if (mode_ == pmCopy)
            PutBlock(scale_.Device(x), scale_.Device(y), rgb);
        else  // the pixel's own tile: tiles do not overlap, so no device pixel flips twice
            PutDevice({scale_.Device(x), scale_.Device(y), scale_.Device(x + 1LL), scale_.Device(y + 1LL)}, rgb);
    }
    // Pixel (dx, dy) of a pattern centred on (x, y): at any scale a block beside the centre's block, so that a
    // pattern keeps its shape wherever it lies.
    void PatternPixel(int x, int y, int dx, int dy, QRgb rgb)
    {
        if (scale_.IsOne())
            Pixel(x + dx, y + dy, rgb);
        else if (bits_ != nullptr && area_.Contains(x + dx, y + dy))
            PutBlock(scale_.Device(x) + dx * scale_.Block, scale_.Device(y) + dy * scale_.Block, rgb);
    }
    // Stamp needs a whole-number scale: the blocks of a pattern inside the area then lie inside the picture.
    bool CanStamp() const { return bits_ != nullptr && mode_ == pmCopy && scale_.IsWhole(); }

    // A solid one-pixel edge round an optional solid fill over the normalised box, within the area, in copy mode
    // whatever the pen mode (the caller draws other modes through the canvas); at a scale the edge is a block
    // wide.
    void SolidBox(const TRect& box, QRgb edge, std::optional<QRgb> fill);

    // The distance of pixel (dx, dy) from a centre pixel, in device pixels, for Stamp.
    std::ptrdiff_t Offset(int dx, int dy) const { return (std::ptrdiff_t(dy) * stride_ + dx) * scale_.Block; }
    // The pixels at Count offsets from (x, y), all of which lie inside the area, in copy mode: the bulk of a
    // scatter chart, with no check per pixel (a count known when compiling takes the loop away).
    template <int Count> void Stamp(int x, int y, const std::ptrdiff_t* offsets, QRgb rgb) const
    {
        if (scale_.Block != 1) {
            Stamp(x, y, offsets, Count, rgb);
            return;
        }
        QRgb* const centre = At(x, y);
        for (int i = 0; i < Count; ++i)
            centre[offsets[i]] = rgb;
    }
    void Stamp(int x, int y, const std::ptrdiff_t* offsets, int count, QRgb rgb) const
    {
        if (scale_.Block != 1) {
            StampBlocks(x, y, offsets, count, rgb);
            return;
        }
        QRgb* const centre = At(x, y);
        for (int i = 0; i < count; ++i)
            centre[offsets[i]] = rgb;
    }

private:
    QRgb* At(int x, int y) const { return bits_ + std::ptrdiff_t(y) * stride_ + x; }
    void PutBlock(int deviceX, int deviceY, QRgb rgb)
    {
        PutDevice({deviceX, deviceY, deviceX + scale_.Block, deviceY + scale_.Block}, rgb);
    }
    void PutDevice(const TRect& deviceBox, QRgb rgb);
    void StampBlocks(int x, int y, const std::ptrdiff_t* offsets, int count, QRgb rgb) const;
    void Put(QRgb* pixel, QRgb rgb) const
    {
        // xor and not-xor flip the colour bits of the pixel by this key
        const QRgb key = (mode_ == pmNotXor ? ~rgb : rgb) & 0xFFFFFFu;
        *pixel = 0xFF000000u | (mode_ == pmCopy ? rgb : *pixel ^ key);
    }

    QRgb* bits_ = nullptr;       // pixel (0, 0) of the target; null without one
    std::ptrdiff_t stride_ = 0;  // pixels per scan line
    TRect area_;                 // logical
    TRect deviceArea_;           // the device pixels the area covers, within the picture
    TDeviceScale scale_;
    TPenMode mode_ = pmCopy;
};

// Restores pen, brush, font and clip of a canvas when the scope ends.
class TCanvasSaver {
public:
    explicit TCanvasSaver(TCanvas& canvas) : canvas_(canvas), state_(canvas.SaveState()) { }
    ~TCanvasSaver() { canvas_.RestoreState(state_); }
    TCanvasSaver(const TCanvasSaver&) = delete;
    TCanvasSaver& operator=(const TCanvasSaver&) = delete;

private:
    TCanvas& canvas_;
    TCanvasState state_;
};

// The screen's relative pixel width and height (square pixels: 36 and 36).
int ScreenAspectX();
int ScreenAspectY();
