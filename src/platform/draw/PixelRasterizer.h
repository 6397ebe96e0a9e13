#pragma once

// The canvas's own rasteriser: single pixels, one-pixel lines with the classic
// dash patterns, axis-parallel rectangles and ellipses with a one-pixel pen,
// written straight into the scan lines of a 32-bit image. Everything else
// (wide pens, polygon fills, text, pictures) goes through QPainter in Canvas.cpp.
// Internal to the platform layer: TCanvas is the interface.

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include <QImage>

#include "platform/draw/Canvas.h"

namespace PixelRaster {

// The on/off run lengths of a cosmetic dash style; empty for a solid line.
std::span<const int> DashPatternOf(TPenStyle style);

// The opaque 32-bit pixel of a colour (system colours resolved).
inline QRgb OpaqueRgb(TColor color)
{
    if (IsSystemColor(color))
        return ToQRgb(color);
    return 0xFF000000u | (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}

// n pixels from p on set to rgb. Short runs (the rows of chart boxes and cells) are written four pixels at a
// time, the last four overlapping the ones before, so a run of 4 to 47 pixels takes a few stores and no loop
// per pixel; long runs go to the C library's wide-character fill where it is 32 bits, which is vectorised for
// the processor it runs on (background and histogram fills are most of a chart's pixels).
inline void FillPixels(QRgb* p, int n, QRgb rgb)
{
    constexpr int ShortRun = 48;  // below this the stores beat the call
    if (n < 4) {
        for (int i = 0; i < n; ++i)
            p[i] = rgb;
        return;
    }
    if (n < ShortRun) {
        const QRgb quad[4] = {rgb, rgb, rgb, rgb};  // one 16-byte store each (memcpy of a known size)
        for (int i = 0; i < n - 4; i += 4)
            std::memcpy(p + i, quad, sizeof quad);
        std::memcpy(p + n - 4, quad, sizeof quad);
        return;
    }
    if constexpr (sizeof(wchar_t) == sizeof(QRgb))
        std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(rgb), std::size_t(n));
    else
        std::fill_n(p, n, rgb);
}

// Writes pixels with the pen mode, inside the image and the clip. The image
// has 32-bit pixels; the canvas made sure of that when it was given the image.
// Coordinates are logical: at a scale other than 1 a plotted pixel is a block
// of device pixels and a filled box covers the device pixels its pixels cover.
class PixelWriter {
public:
    PixelWriter(QImage& image, const std::optional<TRect>& clip, TPenMode mode, const TDeviceScale& scale = {});

    // The writable area, logical.
    const TRect& Bounds() const { return bounds_; }
    const TDeviceScale& Scale() const { return scale_; }
    const TRect& DeviceBounds() const { return device_; }

    void Plot(int x, int y, QRgb rgb)
    {
        if (!bounds_.Contains(x, y))
            return;
        if (!scale_.IsOne() && mode_ != pmCopy) {
            // the xor modes flip the tiles of the pixels, which do not overlap, so no device pixel flips twice
            FillDevice({scale_.Device(x), scale_.Device(y), scale_.Device(x + 1LL), scale_.Device(y + 1LL)}, rgb);
            return;
        }
        if (!scale_.IsOne()) {
            PlotBlock(scale_.Device(x), scale_.Device(y), rgb);
            return;
        }
        QRgb& px = Line(y)[x];
        px = mode_ == pmCopy ? Opaque(rgb) : Opaque(px ^ XorKey(rgb));
    }

    // The part of box inside the writable area.
    void Fill(const TRect& box, QRgb rgb)
    {
        const TRect r = box.Normalized().Intersected(bounds_);
        FillDevice(scale_.IsOne() ? r : (r.IsEmpty() ? TRect{} : scale_.DeviceBox(r)), rgb);
    }
    // The part of a box of device pixels inside the writable area.
    void FillDevice(const TRect& deviceBox, QRgb rgb);

    // The device pixels x0..x1-1 of device scan line y inside the writable area, in copy mode.
    void FillRun(int y, int x0, int x1, QRgb rgb)
    {
        if (y < device_.Top || y >= device_.Bottom)
            return;
        x0 = std::max(x0, device_.Left);
        x1 = std::min(x1, device_.Right);
        if (x0 < x1)
            FillPixels(Line(y) + x0, x1 - x0, Opaque(rgb));
    }

    TPenMode Mode() const { return mode_; }
    std::ptrdiff_t StridePixels() const { return stride_ / std::ptrdiff_t(sizeof(QRgb)); }
    // Scan line y; the caller keeps to Bounds(). Only at a scale of 1.
    QRgb* ScanLine(int y) const { return Line(y); }

private:
    // The block of a logical pixel from device pixel (dx, dy), in copy mode: lines are made of these, so a whole
    // block inside the area is written without a box to clip.
    void PlotBlock(int dx, int dy, QRgb rgb)
    {
        const int k = scale_.Block;
        if (dx < device_.Left || dy < device_.Top || dx + k > device_.Right || dy + k > device_.Bottom) {
            FillDevice({dx, dy, dx + k, dy + k}, rgb);
            return;
        }
        for (int row = 0; row < k; ++row) {
            QRgb* px = Line(dy + row) + dx;
            for (int i = 0; i < k; ++i)
                px[i] = Opaque(rgb);
        }
    }
    static QRgb Opaque(QRgb rgb) { return 0xFF000000u | rgb; }
    // xor and not-xor both flip the colour bits of the destination by this key
    QRgb XorKey(QRgb rgb) const { return (mode_ == pmNotXor ? ~rgb : rgb) & 0xFFFFFFu; }
    QRgb* Line(int y) const { return reinterpret_cast<QRgb*>(bits_ + std::ptrdiff_t(y) * stride_); }

    uchar* bits_;
    qsizetype stride_;
    TPenMode mode_;
    TDeviceScale scale_;
    TRect bounds_;  // logical
    TRect device_;  // the device pixels of the bounds, within the image
};

// A one-pixel pen: the dash pattern runs on across the segments of one primitive.
class ThinPen {
public:
    ThinPen(PixelWriter& writer, const TPen& pen, const TBrush& brush);

    // Moves the pattern on by n pixels without drawing.
    void Advance(std::int64_t n);
    // One pixel of the pattern at (x, y); gaps take the brush colour under a solid brush.
    void Dot(int x, int y);
    // Bresenham from (x0, y0), leaving out (x1, y1).
    void Line(int x0, int y0, int x1, int y1);

private:
    PixelWriter& writer_;
    QRgb color_;
    std::span<const int> pattern_;
    bool opaqueGaps_;
    QRgb gapColor_;
    std::size_t index_ = 0;
    int run_ = 0;
};

// A solid one-pixel outline in edge round an optional solid fill, in copy mode, into the scan lines from bits
// (stride in pixels) inside bounds: each row is written once, which gives the pixels of the fill and the four
// edges drawn one after the other. Chart items call it with the scan lines they looked up once.
void WriteSolidBox(
    QRgb* bits, std::ptrdiff_t stride, const TRect& bounds, const TRect& box, QRgb edge, std::optional<QRgb> fill);

// WriteSolidBox at a scale other than 1, into the device pixels of deviceArea: the edges are a block wide.
void WriteScaledSolidBox(QRgb* bits, std::ptrdiff_t stride, const TRect& deviceArea, const TDeviceScale& scale,
    const TRect& box, QRgb edge, std::optional<QRgb> fill);

// Outline with a one-pixel (or clear) pen, fill with the brush; box is normalised and not empty.
void DrawThinRectangle(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush);
void DrawThinEllipse(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush);

}  // namespace PixelRaster
