#include "platform/draw/PixelRasterizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace PixelRaster {

namespace {

// The classic cosmetic dash patterns, in pixels: on, off, on, off ...
constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 2> kDot{3, 3};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

}  // namespace

std::span<const int> DashPatternOf(TPenStyle style)
{
    switch (style) {
    case psDash: return kDash;
    case psDot: return kDot;
    case psDashDot: return kDashDot;
    case psDashDotDot: return kDashDotDot;
    default: return {};
    }
}

PixelWriter::PixelWriter(QImage& image, const std::optional<TRect>& clip, TPenMode mode, const TDeviceScale& scale)
    : bits_(image.bits()),
      stride_(image.bytesPerLine()),
      mode_(mode),
      scale_(scale),
      bounds_{0, 0, image.width(), image.height()},
      device_(bounds_)
{
    Q_ASSERT(image.depth() == 32);
    if (!scale_.IsOne())
        bounds_ = {0, 0, scale_.LogicalSize(image.width()), scale_.LogicalSize(image.height())};
    if (clip)
        bounds_ = bounds_.Intersected(clip->Normalized());
    if (!scale_.IsOne())
        device_ = bounds_.IsEmpty() ? TRect{} : scale_.DeviceBox(bounds_).Intersected(device_);
    else
        device_ = bounds_;
}

void PixelWriter::FillDevice(const TRect& box, QRgb rgb)
{
    const TRect r = box.Normalized().Intersected(device_);
    const int n = r.Width();
    if (mode_ == pmCopy) {
        for (int y = r.Top; y < r.Bottom && n > 0; ++y)
            FillPixels(Line(y) + r.Left, n, Opaque(rgb));
        return;
    }
    const QRgb key = XorKey(rgb);
    for (int y = r.Top; y < r.Bottom; ++y) {
        QRgb* px = Line(y) + r.Left;
        for (int i = 0; i < n; ++i)
            px[i] = Opaque(px[i] ^ key);
    }
}

ThinPen::ThinPen(PixelWriter& writer, const TPen& pen, const TBrush& brush)
    : writer_(writer),
      color_(ToQRgb(pen.Color)),
      pattern_(DashPatternOf(pen.Style)),
      opaqueGaps_(brush.Style == bsSolid),
      gapColor_(ToQRgb(brush.Color))
{
}

void ThinPen::Advance(std::int64_t n)
{
    if (pattern_.empty() || n <= 0)
        return;
    std::int64_t period = 0;
    for (int len : pattern_)
        period += len;
    n %= period;
    while (n > 0) {
        const std::int64_t left = pattern_[index_] - run_;
        if (n < left) {
            run_ += int(n);
            return;
        }
        n -= left;
        run_ = 0;
        index_ = (index_ + 1) % pattern_.size();
    }
}

void ThinPen::Dot(int x, int y)
{
    if (pattern_.empty()) {
        writer_.Plot(x, y, color_);
        return;
    }
    const bool on = (index_ % 2) == 0;
    if (on)
        writer_.Plot(x, y, color_);
    else if (opaqueGaps_)
        writer_.Plot(x, y, gapColor_);
    if (++run_ >= pattern_[index_]) {
        run_ = 0;
        index_ = (index_ + 1) % pattern_.size();
    }
}

namespace {

// A line along its major axis a (the one with more steps) and its minor axis m.
struct MajorMinor {
    bool xMajor;
    std::int64_t a0, a1, m0, m1;
    std::int64_t da, dm;  // step counts
    std::int64_t sa, sm;  // step directions
};

MajorMinor SplitAxes(int x0, int y0, int x1, int y1)
{
    MajorMinor l{};
    l.xMajor = std::abs(std::int64_t(x1) - x0) >= std::abs(std::int64_t(y1) - y0);
    l.a0 = l.xMajor ? x0 : y0;
    l.a1 = l.xMajor ? x1 : y1;
    l.m0 = l.xMajor ? y0 : x0;
    l.m1 = l.xMajor ? y1 : x1;
    l.da = l.a1 > l.a0 ? l.a1 - l.a0 : l.a0 - l.a1;
    l.dm = l.m1 > l.m0 ? l.m1 - l.m0 : l.m0 - l.m1;
    l.sa = l.a0 < l.a1 ? 1 : -1;
    l.sm = l.m0 < l.m1 ? 1 : -1;
    return l;
}

// The steps i in [first, last) whose major coordinate a0 + sa*i lies inside lo..hi.
std::pair<std::int64_t, std::int64_t> StepsInside(const MajorMinor& l, const TRect& b)
{
    const std::int64_t lo = l.xMajor ? b.Left : b.Top;
    const std::int64_t hi = (l.xMajor ? b.Right : b.Bottom) - 1;
    if (l.sa > 0)
        return {std::max<std::int64_t>(0, lo - l.a0), std::min<std::int64_t>(l.da, hi - l.a0 + 1)};
    return {std::max<std::int64_t>(0, l.a0 - hi), std::min<std::int64_t>(l.da, l.a0 - lo + 1)};
}

}  // namespace

// Only the steps whose major coordinate lies inside the writable area are
// walked, so far-away end points cost nothing; the dash pattern still counts
// the skipped steps.
void ThinPen::Line(int x0, int y0, int x1, int y1)
{
    const MajorMinor l = SplitAxes(x0, y0, x1, y1);
    if (l.da == 0)
        return;
    const auto [first, last] = StepsInside(l, writer_.Bounds());
    if (first >= last) {
        Advance(l.da);
        return;
    }
    if (pattern_.empty() && l.dm == 0) {
        // an axis-parallel solid line (tick marks, plot frames): no pattern to follow, no minor steps to take
        for (std::int64_t i = first, a = l.a0 + l.sa * first; i < last; ++i, a += l.sa) {
            if (l.xMajor)
                writer_.Plot(int(a), int(l.m0), color_);
            else
                writer_.Plot(int(l.m0), int(a), color_);
        }
        return;
    }
    Advance(first);
    // the minor step count after i steps: ceil((2 i dm - da) / (2 da))
    const std::int64_t num = 2 * first * l.dm - l.da;
    const std::int64_t den = 2 * l.da;
    const std::int64_t k = num >= 0 ? (num + den - 1) / den : -((-num) / den);
    std::int64_t err = 2 * l.dm - l.da + 2 * first * l.dm - 2 * l.da * k;
    std::int64_t a = l.a0 + l.sa * first;
    std::int64_t m = l.m0 + l.sm * k;
    for (std::int64_t i = first; i < last; ++i) {
        if (l.xMajor)
            Dot(int(a), int(m));
        else
            Dot(int(m), int(a));
        if (err > 0) {
            m += l.sm;
            err -= 2 * l.da;
        }
        err += 2 * l.dm;
        a += l.sa;
    }
    Advance(l.da - last);
}

namespace {

// The outline a solid one-pixel pen draws as four lines round the box, each
// leaving out its end point, so every edge pixel is written exactly once (which
// matters under xor): the top from the left, the right side from the top, the
// bottom from the right, the left side from the bottom.
void SolidFrame(PixelWriter& writer, const TRect& box, QRgb rgb)
{
    const int r = box.Right - 1;
    const int b = box.Bottom - 1;
    if (!writer.Scale().IsOne()) {
        // the same four runs as blocks: the edges are Block device pixels wide and do not overlap
        const TDeviceScale& s = writer.Scale();
        const TRect d = s.DeviceBox(box);
        const int k = s.Block, dr = s.Device(r), db = s.Device(b);
        writer.FillDevice({d.Left, d.Top, dr, d.Top + k}, rgb);
        writer.FillDevice({dr, d.Top, d.Right, db}, rgb);
        writer.FillDevice({d.Left + k, db, d.Right, d.Bottom}, rgb);
        writer.FillDevice({d.Left, d.Top + k, d.Left + k, d.Bottom}, rgb);
        return;
    }
    writer.Fill({box.Left, box.Top, r, box.Top + 1}, rgb);
    writer.Fill({r, box.Top, r + 1, b}, rgb);
    writer.Fill({box.Left + 1, b, r + 1, b + 1}, rgb);
    writer.Fill({box.Left, box.Top + 1, box.Left + 1, b + 1}, rgb);
}

void DashedFrame(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush)
{
    ThinPen thin(writer, pen, brush);
    const int r = box.Right - 1;
    const int b = box.Bottom - 1;
    thin.Line(box.Left, box.Top, r, box.Top);
    thin.Line(r, box.Top, r, b);
    thin.Line(r, b, box.Left, b);
    thin.Line(box.Left, b, box.Left, box.Top);
}

}  // namespace

void WriteSolidBox(
    QRgb* bits, std::ptrdiff_t stride, const TRect& bounds, const TRect& box, QRgb edge, std::optional<QRgb> fill)
{
    // in locals: the pixel writes could alias the boxes, which would reload them on every row
    const int left = std::max(box.Left, bounds.Left), right = std::min(box.Right, bounds.Right);
    int top = std::max(box.Top, bounds.Top);
    const int bottom = std::min(box.Bottom, bounds.Bottom);
    if (left >= right || top >= bottom)
        return;
    edge |= 0xFF000000u;
    QRgb* line = bits + std::ptrdiff_t(top) * stride;
    if (top == box.Top) {
        FillPixels(line + left, right - left, edge);
        line += stride;
        ++top;
    }
    const bool bottomEdge = bottom == box.Bottom && top < bottom;
    const int innerBottom = bottomEdge ? bottom - 1 : bottom;
    const bool leftEdge = left == box.Left, rightEdge = right == box.Right;
    const int from = left + (leftEdge ? 1 : 0), n = std::max(0, right - (rightEdge ? 1 : 0) - from);
    const QRgb inside = 0xFF000000u | fill.value_or(0);
    const int rows = innerBottom - top;
    if (fill && n >= 4 && n < 48) {
        // cells and bars: the same few four-pixel stores on every row, so the run length is looked at once
        const QRgb quad[4] = {inside, inside, inside, inside};
        for (int row = 0; row < rows; ++row, line += stride) {
            QRgb* run = line + from;
            for (int i = 0; i < n - 4; i += 4)
                std::memcpy(run + i, quad, sizeof quad);
            std::memcpy(run + n - 4, quad, sizeof quad);
            if (leftEdge)
                line[left] = edge;
            if (rightEdge)
                line[right - 1] = edge;
        }
    } else {
        for (int row = 0; row < rows; ++row, line += stride) {
            if (fill)
                FillPixels(line + from, n, inside);
            if (leftEdge)
                line[left] = edge;
            if (rightEdge)
                line[right - 1] = edge;
        }
    }
    if (bottomEdge)
        FillPixels(line + left, right - left, edge);
}

void WriteScaledSolidBox(QRgb* bits, std::ptrdiff_t stride, const TRect& deviceArea, const TDeviceScale& scale,
    const TRect& box, QRgb edge, std::optional<QRgb> fill)
{
    const int k = scale.Block;
    const TRect d = scale.DeviceBox(box);
    const int dr = scale.Device(box.Right - 1), db = scale.Device(box.Bottom - 1);
    const auto put = [&](const TRect& part, QRgb rgb) {
        const TRect r = part.Intersected(deviceArea);
        for (int y = r.Top; y < r.Bottom && r.Width() > 0; ++y)
            FillPixels(bits + std::ptrdiff_t(y) * stride + r.Left, r.Width(), 0xFF000000u | rgb);
    };
    if (fill)
        put({d.Left + k, d.Top + k, dr, db}, *fill);
    put({d.Left, d.Top, d.Right, d.Top + k}, edge);
    put({d.Left, db, d.Right, d.Bottom}, edge);
    put({d.Left, d.Top + k, d.Left + k, db}, edge);
    put({dr, d.Top + k, d.Right, db}, edge);
}

void DrawThinRectangle(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush)
{
    const bool fill = brush.Style == bsSolid;
    if (pen.Style == psClear) {
        if (fill)
            writer.Fill(box, ToQRgb(brush.Color));
        return;
    }
    if (writer.Mode() == pmCopy && DashPatternOf(pen.Style).empty()) {
        const std::optional<QRgb> inside = fill ? std::optional(ToQRgb(brush.Color)) : std::nullopt;
        if (writer.Scale().IsOne())
            WriteSolidBox(writer.ScanLine(0), writer.StridePixels(), writer.Bounds(), box, ToQRgb(pen.Color), inside);
        else
            WriteScaledSolidBox(writer.ScanLine(0), writer.StridePixels(), writer.DeviceBounds(), writer.Scale(), box,
                ToQRgb(pen.Color), inside);
        return;
    }
    if (fill && box.Width() > 2 && box.Height() > 2) {
        const TDeviceScale& s = writer.Scale();
        if (s.IsOne())
            writer.Fill({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, ToQRgb(brush.Color));
        else  // from the edges' inner side, which a block wide edge may leave short of the next logical pixel
            writer.FillDevice({s.Device(box.Left) + s.Block, s.Device(box.Top) + s.Block, s.Device(box.Right - 1),
                                  s.Device(box.Bottom - 1)},
                ToQRgb(brush.Color));
    }
    if (box.Width() == 1 || box.Height() == 1) {
        // a one-pixel-wide box is a single run of the pen
        ThinPen thin(writer, pen, brush);
        const bool column = box.Width() == 1;
        thin.Line(box.Left, box.Top, column ? box.Left : box.Right, column ? box.Bottom : box.Top);
        return;
    }
    if (DashPatternOf(pen.Style).empty())
        SolidFrame(writer, box, ToQRgb(pen.Color));
    else
        DashedFrame(writer, box, pen, brush);
}

namespace {

// Qt's ellipses leave small and flat boxes; these stay inside the box and touch all four sides.
// The ellipse runs through the box edges pulled in a quarter pixel: small circles come out
// round (5 x 5 gives .###. on top), the middle row always spans the whole width and the top
// and bottom rows keep at least their centre pixel(s).
class EllipseSpans {
public:
    explicit EllipseSpans(const TRect& box)
        : box_(box),
          cx_((box.Left + box.Right - 1) / 2.0),
          cy_((box.Top + box.Bottom - 1) / 2.0),
          ra_(box.Width() / 2.0 - 0.25),
          rb_(box.Height() / 2.0 - 0.25)
    {
    }

    double CentreX() const { return cx_; }
    double CentreY() const { return cy_; }

    // The pixels xl..xr of row y inside the ellipse; false for a row outside the box.
    bool Span(int y, int& xl, int& xr) const
    {
        if (y < box_.Top || y >= box_.Bottom)
            return false;
        const double dy = y - cy_;
        if (std::fabs(dy) <= 0.5) {
            xl = box_.Left;
            xr = box_.Right - 1;
            return true;
        }
        const double q = dy / rb_;
        const double hw = ra_ * std::sqrt(std::max(0.0, 1.0 - q * q));
        xl = int(std::ceil(cx_ - hw));
        xr = int(std::floor(cx_ + hw));
        if (xl > xr) {
            xl = int(std::floor(cx_));
            xr = int(std::ceil(cx_));
        }
        xl = std::max(xl, box_.Left);
        xr = std::min(xr, box_.Right - 1);
        return true;
    }

private:
    TRect box_;
    double cx_, cy_, ra_, rb_;
};

// A patterned outline runs round the ellipse in order of angle.
void DrawPatternedBorder(
    PixelWriter& writer, std::vector<TPoint>& border, const EllipseSpans& spans, const TPen& pen, const TBrush& brush)
{
    const double cx = spans.CentreX();
    const double cy = spans.CentreY();
    std::sort(border.begin(), border.end(), [&](const TPoint& p, const TPoint& q) {
        return std::atan2(p.Y - cy, p.X - cx) < std::atan2(q.Y - cy, q.X - cx);
    });
    ThinPen thin(writer, pen, brush);
    for (const TPoint& pt : border)
        thin.Dot(pt.X, pt.Y);
}

}  // namespace

// A pixel is on the outline when a neighbour above, below, left or right lies outside.
void DrawThinEllipse(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush)
{
    const TRect& area = writer.Bounds();
    if (area.IsEmpty())
        return;
    const EllipseSpans spans(box);
    const bool outline = pen.Style != psClear;
    const bool fill = brush.Style == bsSolid;
    const bool patterned = !DashPatternOf(pen.Style).empty();
    const QRgb brushRgb = ToQRgb(brush.Color);
    const QRgb penRgb = ToQRgb(pen.Color);
    std::vector<TPoint> border;
    const int y0 = std::max(box.Top, area.Top - 1);
    const int y1 = std::min(box.Bottom, area.Bottom + 1);
    for (int y = y0; y < y1; ++y) {
        int xl = 0, xr = 0;
        if (!spans.Span(y, xl, xr))
            continue;
        int ul = 0, ur = -1, dl = 0, dr = -1;
        const bool up = spans.Span(y - 1, ul, ur);
        const bool down = spans.Span(y + 1, dl, dr);
        const int lo = std::max(xl, area.Left - 1);
        const int hi = std::min(xr, area.Right);
        for (int x = lo; x <= hi; ++x) {
            const bool inside = x > xl && x < xr && up && down && x >= ul && x <= ur && x >= dl && x <= dr;
            if (inside || !outline) {
                if (fill)
                    writer.Plot(x, y, brushRgb);
            } else if (!patterned) {
                writer.Plot(x, y, penRgb);
            } else {
                border.push_back({x, y});
            }
        }
    }
    if (!border.empty())
        DrawPatternedBorder(writer, border, spans, pen, brush);
}

}  // namespace PixelRaster
