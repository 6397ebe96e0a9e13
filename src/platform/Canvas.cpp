#include "platform/Canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <QFontMetrics>
#include <QPainter>

#include "platform/Bitmap.h"

TRect TRect::Normalized() const
{
    return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
}

TRect TRect::Intersected(const TRect& o) const
{
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
    if (r.IsEmpty())
        return {r.Left, r.Top, r.Left, r.Top};
    return r;
}

int TFont::Height() const
{
    return pixels_ > 0 ? pixels_ : (points_ * PixelsPerInch + 36) / 72;  // rounded like MulDiv
}

void TFont::SetHeight(int pixels)
{
    if (pixels == 0) {  // no height given: the default size
        pixels_ = 0;
        points_ = 8;
        return;
    }
    pixels_ = std::abs(pixels);
}

int TFont::Size() const
{
    return pixels_ > 0 ? (pixels_ * 72 + PixelsPerInch / 2) / PixelsPerInch : points_;
}

void TFont::SetSize(int points)
{
    points_ = std::max(1, std::abs(points));
    pixels_ = 0;
}

QFont TFont::ToQFont() const
{
    QFont f(name_);
    f.setPixelSize(Height());
    f.setBold(HasStyle(fsBold));
    f.setItalic(HasStyle(fsItalic));
    f.setUnderline(HasStyle(fsUnderline));
    f.setStrikeOut(HasStyle(fsStrikeOut));
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

TFont TFont::FromQFont(const QFont& font, TColor color)
{
    TFont f;
    f.SetName(font.family());
    if (font.pixelSize() > 0)
        f.SetHeight(font.pixelSize());
    else
        f.SetHeight(int(std::lround(font.pointSizeF() * PixelsPerInch / 72.0)));
    TFontStyles s = 0;
    if (font.bold())
        s |= fsBold;
    if (font.italic())
        s |= fsItalic;
    if (font.underline())
        s |= fsUnderline;
    if (font.strikeOut())
        s |= fsStrikeOut;
    f.SetStyle(s);
    f.SetColor(color);
    return f;
}

int ScreenAspectX()
{
    return 36;
}
int ScreenAspectY()
{
    return 36;
}

namespace {

// The classic cosmetic dash patterns, in pixels: on, off, on, off ...
constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 2> kDot{3, 3};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

std::span<const int> PatternOf(TPenStyle style)
{
    switch (style) {
    case psDash: return kDash;
    case psDot: return kDot;
    case psDashDot: return kDashDot;
    case psDashDotDot: return kDashDotDot;
    default: return {};
    }
}

void RequireGui()
{
    if (!HasGuiApplication())
        throw std::logic_error("text on a canvas needs a GUI application (see EnsureGuiApplication)");
}

const QFontMetrics& MetricsOf(const TFont& font)
{
    // the last few fonts asked for: measuring is frequent, fonts change rarely
    struct Entry {
        TFont font;
        QFontMetrics metrics;
    };
    // never destroyed: font objects must not outlive the application at exit
    static auto& cache = *new std::vector<Entry>;
    for (const Entry& e : cache) {
        if (e.font.Name() == font.Name() && e.font.Height() == font.Height() && e.font.Style() == font.Style())
            return e.metrics;
    }
    if (cache.size() >= 8)
        cache.erase(cache.begin());
    cache.push_back({font, QFontMetrics(font.ToQFont())});
    return cache.back().metrics;
}

// Writes single pixels with the pen mode, inside the image and the clip.
class PixelWriter {
public:
    PixelWriter(QImage& image, const std::optional<TRect>& clip, TPenMode mode) : image_(image), mode_(mode)
    {
        bounds_ = {0, 0, image.width(), image.height()};
        if (clip)
            bounds_ = bounds_.Intersected(clip->Normalized());
    }

    const TRect& Bounds() const { return bounds_; }

    void Plot(int x, int y, QRgb rgb)
    {
        if (!bounds_.Contains(x, y))
            return;
        auto* px = reinterpret_cast<QRgb*>(image_.scanLine(y)) + x;
        *px = Combine(*px, rgb);
    }

    void Fill(const TRect& box, QRgb rgb)
    {
        const TRect r = box.Normalized().Intersected(bounds_);
        for (int y = r.Top; y < r.Bottom; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = r.Left; x < r.Right; ++x)
                line[x] = Combine(line[x], rgb);
        }
    }

private:
    QRgb Combine(QRgb dst, QRgb src) const
    {
        switch (mode_) {
        case pmXor: return 0xFF000000u | ((dst ^ src) & 0xFFFFFFu);
        case pmNotXor: return 0xFF000000u | (~(dst ^ src) & 0xFFFFFFu);
        default: return 0xFF000000u | (src & 0xFFFFFFu);
        }
    }

    QImage& image_;
    TPenMode mode_;
    TRect bounds_;
};

// A one-pixel pen: the pattern runs on across the segments of one primitive.
class ThinPen {
public:
    ThinPen(PixelWriter& writer, const TPen& pen, const TBrush& brush)
        : writer_(writer),
          color_(ToQRgb(pen.Color)),
          pattern_(PatternOf(pen.Style)),
          opaqueGaps_(brush.Style == bsSolid),
          gapColor_(ToQRgb(brush.Color))
    {
    }

    // Moves the pattern on by n pixels without drawing.
    void Advance(std::int64_t n)
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

    void Dot(int x, int y)
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

    // Bresenham from (x0, y0), leaving out (x1, y1). Only the steps whose major
    // coordinate lies inside the writable area are walked, so far-away end
    // points cost nothing; the dash pattern still counts the skipped steps.
    void Line(int x0, int y0, int x1, int y1)
    {
        const TRect& b = writer_.Bounds();
        const bool xMajor = std::abs(std::int64_t(x1) - x0) >= std::abs(std::int64_t(y1) - y0);
        const std::int64_t a0 = xMajor ? x0 : y0;  // major axis
        const std::int64_t a1 = xMajor ? x1 : y1;
        const std::int64_t m0 = xMajor ? y0 : x0;  // minor axis
        const std::int64_t m1 = xMajor ? y1 : x1;
        const std::int64_t da = a1 > a0 ? a1 - a0 : a0 - a1;
        const std::int64_t dm = m1 > m0 ? m1 - m0 : m0 - m1;
        const std::int64_t sa = a0 < a1 ? 1 : -1;
        const std::int64_t sm = m0 < m1 ? 1 : -1;
        if (da == 0)
            return;
        const std::int64_t lo = xMajor ? b.Left : b.Top;
        const std::int64_t hi = (xMajor ? b.Right : b.Bottom) - 1;
        // steps i in [first, last) have their major coordinate a0 + sa*i inside lo..hi
        std::int64_t first = 0;
        std::int64_t last = da;
        if (sa > 0) {
            first = std::max<std::int64_t>(first, lo - a0);
            last = std::min<std::int64_t>(last, hi - a0 + 1);
        } else {
            first = std::max<std::int64_t>(first, a0 - hi);
            last = std::min<std::int64_t>(last, a0 - lo + 1);
        }
        if (first >= last) {
            Advance(da);
            return;
        }
        Advance(first);
        // the minor step count after i steps: ceil((2 i dm - da) / (2 da))
        auto minorSteps = [&](std::int64_t i) {
            const std::int64_t num = 2 * i * dm - da;
            const std::int64_t den = 2 * da;
            return num >= 0 ? (num + den - 1) / den : -((-num) / den);
        };
        std::int64_t k = minorSteps(first);
        std::int64_t err = 2 * dm - da + 2 * first * dm - 2 * da * k;
        std::int64_t a = a0 + sa * first;
        std::int64_t m = m0 + sm * k;
        for (std::int64_t i = first; i < last; ++i) {
            if (xMajor)
                Dot(int(a), int(m));
            else
                Dot(int(m), int(a));
            if (err > 0) {
                m += sm;
                err -= 2 * da;
            }
            err += 2 * dm;
            a += sa;
        }
        Advance(da - last);
    }

private:
    PixelWriter& writer_;
    QRgb color_;
    std::span<const int> pattern_;
    bool opaqueGaps_;
    QRgb gapColor_;
    std::size_t index_ = 0;
    int run_ = 0;
};

bool IsThin(const TPen& pen)
{
    return pen.Width <= 1;
}

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

// A pixel is on the outline when a neighbour above, below, left or right lies outside.
void DrawThinEllipse(PixelWriter& writer, const TRect& box, const TPen& pen, const TBrush& brush)
{
    const TRect& area = writer.Bounds();
    if (area.IsEmpty())
        return;
    const EllipseSpans spans(box);
    const bool outline = pen.Style != psClear;
    const bool fill = brush.Style == bsSolid;
    const bool patterned = !PatternOf(pen.Style).empty();
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
    if (border.empty())
        return;
    // a patterned outline runs round the ellipse in order of angle
    const double cx = spans.CentreX();
    const double cy = spans.CentreY();
    std::sort(border.begin(), border.end(), [&](const TPoint& p, const TPoint& q) {
        return std::atan2(p.Y - cy, p.X - cx) < std::atan2(q.Y - cy, q.X - cx);
    });
    ThinPen thin(writer, pen, brush);
    for (const TPoint& pt : border)
        thin.Dot(pt.X, pt.Y);
}

// Lines of wide pens are solid whatever their style, as on the classic desktop.
QPen WidePen(const TPen& pen)
{
    QPen p(ToQColor(pen.Color), pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return p;
}

QPainter::CompositionMode CompositionOf(TPenMode mode)
{
    switch (mode) {
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

// A QPainter on the canvas target, clipped, without antialiasing.
class ScopedPainter {
public:
    ScopedPainter(QImage& image, const std::optional<TRect>& clip) : painter_(&image)
    {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (clip) {
            const TRect c = clip->Normalized();
            painter_.setClipRect(QRect(c.Left, c.Top, c.Width(), c.Height()));
        }
    }
    // ... drawing in the pen's mode with the pen as a wide pen
    ScopedPainter(QImage& image, const std::optional<TRect>& clip, const TPen& pen) : ScopedPainter(image, clip)
    {
        painter_.setCompositionMode(CompositionOf(pen.Mode));
        painter_.setPen(WidePen(pen));
    }
    QPainter* operator->() { return &painter_; }
    QPainter& operator*() { return painter_; }

private:
    QPainter painter_;
};

// The pixel writers work on 32-bit pixels; any other target is converted once.
bool Usable(QImage* image)
{
    if (image == nullptr || image->isNull())
        return false;
    switch (image->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: return true;
    default: *image = image->convertToFormat(QImage::Format_RGB32); return !image->isNull();
    }
}

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

QBrush FillOf(const TBrush& brush)
{
    return brush.Style == bsSolid ? QBrush(ToQColor(brush.Color)) : QBrush(Qt::NoBrush);
}

// The path a wide pen strokes around a box: on the edge pixels' centres, or for
// an inside-frame pen far enough in that the whole stroke stays in the box.
QRectF WideOutlinePath(const TRect& box, const TPen& pen)
{
    if (pen.Style == psInsideFrame) {
        const double half = pen.Width / 2.0;
        return QRectF(box.Left + half, box.Top + half, box.Width() - pen.Width, box.Height() - pen.Width);
    }
    return QRectF(box.Left + 0.5, box.Top + 0.5, box.Width() - 1, box.Height() - 1);
}

QPolygon ToQPolygon(std::span<const TPoint> points)
{
    QPolygon poly;
    poly.reserve(qsizetype(points.size()));
    for (const TPoint& pt : points)
        poly << QPoint(pt.X, pt.Y);
    return poly;
}

}  // namespace

TCanvas::TCanvas(QImage* target) : target_(target)
{
}

int TCanvas::Width() const
{
    return target_ != nullptr ? target_->width() : 0;
}
int TCanvas::Height() const
{
    return target_ != nullptr ? target_->height() : 0;
}

TCanvasState TCanvas::SaveState() const
{
    return {Pen, Brush, Font, clip_};
}

void TCanvas::RestoreState(const TCanvasState& state)
{
    Pen = state.Pen;
    Brush = state.Brush;
    Font = state.Font;
    clip_ = state.Clip;
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = penPos_;
    penPos_ = {x, y};
    if (!Usable(target_) || Pen.Style == psClear || from == penPos_)
        return;
    if (IsThin(Pen)) {
        PixelWriter writer(*target_, clip_, Pen.Mode);
        ThinPen pen(writer, Pen, Brush);
        pen.Line(from.X, from.Y, x, y);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->drawLine(from.X, from.Y, x, y);
}

// As on the classic desktop, a polyline neither starts at nor moves the current point.
void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (!Usable(target_) || Pen.Style == psClear || points.size() < 2)
        return;
    if (IsThin(Pen)) {
        PixelWriter writer(*target_, clip_, Pen.Mode);
        ThinPen pen(writer, Pen, Brush);
        for (std::size_t i = 1; i < points.size(); ++i)
            pen.Line(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->drawPolyline(ToQPolygon(points));
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (!Usable(target_) || points.empty())
        return;
    if (Brush.Style == bsSolid && points.size() >= 3) {
        // vertices at pixel centres, so the fill lines up with the outline
        QPolygonF poly;
        for (const TPoint& pt : points)
            poly << QPointF(pt.X + 0.5, pt.Y + 0.5);
        ScopedPainter p(*target_, clip_);
        p->setCompositionMode(CompositionOf(Pen.Mode));
        p->setPen(Qt::NoPen);
        p->setBrush(ToQColor(Brush.Color));
        p->drawPolygon(poly, Qt::OddEvenFill);
    }
    if (Pen.Style == psClear)
        return;
    if (IsThin(Pen)) {
        PixelWriter writer(*target_, clip_, Pen.Mode);
        ThinPen pen(writer, Pen, Brush);
        if (points.size() == 1) {
            pen.Dot(points[0].X, points[0].Y);
            return;
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            pen.Line(a.X, a.Y, b.X, b.Y);
        }
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->drawPolygon(ToQPolygon(points));
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (!Usable(target_))
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    const bool outline = Pen.Style != psClear;
    const bool fill = Brush.Style == bsSolid;

    if (!outline || IsThin(Pen)) {
        PixelWriter writer(*target_, clip_, Pen.Mode);
        if (!outline) {
            if (fill)
                writer.Fill(box, ToQRgb(Brush.Color));
            return;
        }
        if (fill && box.Width() > 2 && box.Height() > 2)
            writer.Fill({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, ToQRgb(Brush.Color));
        ThinPen pen(writer, Pen, Brush);
        const int r = box.Right - 1;
        const int b = box.Bottom - 1;
        if (box.Width() == 1 || box.Height() == 1) {
            // a one-pixel-wide box is a single run of the pen
            pen.Line(
                box.Left, box.Top, box.Width() == 1 ? box.Left : box.Right, box.Width() == 1 ? box.Bottom : box.Top);
            return;
        }
        pen.Line(box.Left, box.Top, r, box.Top);
        pen.Line(r, box.Top, r, b);
        pen.Line(r, b, box.Left, b);
        pen.Line(box.Left, b, box.Left, box.Top);
        return;
    }

    ScopedPainter p(*target_, clip_, Pen);
    QPen pen = WidePen(Pen);
    pen.setJoinStyle(Qt::MiterJoin);
    p->setPen(pen);
    p->setBrush(FillOf(Brush));
    p->drawRect(WideOutlinePath(box, Pen));
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (!Usable(target_))
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    if (IsThin(Pen) || Pen.Style == psClear) {
        PixelWriter writer(*target_, clip_, Pen.Mode);
        DrawThinEllipse(writer, box, Pen, Brush);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->setBrush(FillOf(Brush));
    p->drawEllipse(WideOutlinePath(box, Pen));
}

void TCanvas::FillRect(const TRect& r)
{
    if (!Usable(target_) || Brush.Style != bsSolid)
        return;
    PixelWriter writer(*target_, clip_, pmCopy);
    writer.Fill(r, ToQRgb(Brush.Color));
}

// Pixels are read and written one at a time by pictures drawn point by point, so
// these two make as few calls into Qt as they can: the format, the size, one scan line.
namespace {

bool HasDirectPixels(QImage* image)
{
    const QImage::Format f = image->format();  // Format_Invalid for a null image
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || Usable(image);
}

QRgb OpaqueRgb(TColor color)
{
    if (IsSystemColor(color))
        return ToQRgb(color);
    return 0xFF000000u | (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}

}  // namespace

TColor TCanvas::Pixel(int x, int y) const
{
    if (target_ == nullptr || !HasDirectPixels(target_))
        return InvalidPixel;
    const QImage& image = *target_;
    const QSize size = image.size();
    if (x < 0 || y < 0 || x >= size.width() || y >= size.height())
        return InvalidPixel;
    if (image.format() == QImage::Format_ARGB32_Premultiplied)
        return FromQRgb(image.pixel(x, y));
    return FromQRgb(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (target_ == nullptr || !HasDirectPixels(target_))
        return;
    const QSize size = target_->size();
    if (x < 0 || y < 0 || x >= size.width() || y >= size.height())
        return;
    if (clip_ && !clip_->Normalized().Contains(x, y))
        return;
    reinterpret_cast<QRgb*>(target_->scanLine(y))[x] = OpaqueRgb(color);
}

int TCanvas::TextWidth(const QString& text) const
{
    RequireGui();
    return MetricsOf(Font).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) const
{
    RequireGui();
    const QFontMetrics& m = MetricsOf(Font);
    return m.ascent() + m.descent();
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    RequireGui();
    if (!Usable(target_)) {
        penPos_ = {x + TextWidth(text), y};
        return;
    }
    const QFontMetrics& m = MetricsOf(Font);
    const int w = m.horizontalAdvance(text);
    ScopedPainter p(*target_, clip_);
    if (Brush.Style == bsSolid)
        p->fillRect(QRect(x, y, w, m.ascent() + m.descent()), ToQColor(Brush.Color));
    p->setFont(Font.ToQFont());
    p->setPen(ToQColor(Font.Color()));
    p->drawText(x, y + m.ascent(), text);
    penPos_ = {x + w, y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    RequireGui();
    if (!Usable(target_))
        return;
    TRect area = rect.Normalized();
    if (clip_)
        area = area.Intersected(clip_->Normalized());
    if (area.IsEmpty())
        return;
    const QFontMetrics& m = MetricsOf(Font);
    ScopedPainter p(*target_, area);
    if (Brush.Style == bsSolid)
        p->fillRect(ToQRect(area), ToQColor(Brush.Color));
    p->setFont(Font.ToQFont());
    p->setPen(ToQColor(Font.Color()));
    p->drawText(x, y + m.ascent(), text);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    Draw(x, y, bitmap.Image());
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    if (!Usable(target_) || image.isNull())
        return;
    // drawing a picture onto itself must read the picture as it was
    const QImage source = (&image == target_) ? image.copy() : image;
    ScopedPainter p(*target_, clip_);
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(QPoint(x, y), source);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    StretchDraw(dest, bitmap.Image());
}

void TCanvas::StretchDraw(const TRect& dest, const QImage& image)
{
    if (!Usable(target_) || image.isNull() || dest.Width() == 0 || dest.Height() == 0)
        return;
    const QImage source = (&image == target_) ? image.copy() : image;
    ScopedPainter p(*target_, clip_);
    p->setCompositionMode(QPainter::CompositionMode_Source);
    QImage scaled =
        source.scaled(std::abs(dest.Width()), std::abs(dest.Height()), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (dest.Width() < 0 || dest.Height() < 0)
        scaled = scaled.mirrored(dest.Width() < 0, dest.Height() < 0);
    const TRect d = dest.Normalized();
    p->drawImage(QPoint(d.Left, d.Top), scaled);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect)
{
    if (!Usable(source.target_))
        return;
    const TRect s = sourceRect.Normalized();
    if (s.IsEmpty())
        return;
    StretchDraw(dest, source.target_->copy(ToQRect(s)));
}
