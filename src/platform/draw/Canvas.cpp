#include "platform/draw/Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include "platform/draw/Bitmap.h"
#include "platform/draw/PixelRasterizer.h"
#include "platform/draw/TextStamp.h"

namespace {

// The magnitude of a font size; the most negative int has none in an int, so it takes the largest.
int SizeMagnitude(int value)
{
    return value == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(value);
}

}  // namespace

int TFont::Height() const
{
    if (pixels_ > 0)
        return pixels_;
    // rounded like MulDiv; a size in points beyond the largest height in pixels gives that height
    const long long pixels = (static_cast<long long>(points_) * PixelsPerInch + 36) / 72;
    return static_cast<int>(std::min<long long>(pixels, std::numeric_limits<int>::max()));
}

void TFont::SetHeight(int pixels)
{
    if (pixels == 0) {  // no height given: the default size
        pixels_ = 0;
        points_ = 8;
        return;
    }
    pixels_ = SizeMagnitude(pixels);
}

int TFont::Size() const
{
    if (pixels_ == 0)
        return points_;
    return static_cast<int>((static_cast<long long>(pixels_) * 72 + PixelsPerInch / 2) / PixelsPerInch);
}

void TFont::SetSize(int points)
{
    points_ = std::max(1, SizeMagnitude(points));
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

TDeviceScale TDeviceScale::Of(double factor)
{
    if (!std::isfinite(factor) || factor <= 1.001)
        return {};
    factor = std::min(factor, MaxFactor);
    return {factor, int(std::ceil(factor - 1e-9))};
}

int TDeviceScale::Device(long long x) const
{
    constexpr double Far = 1 << 30;  // beyond every picture, and room to add a block
    return Factor == 1 ? int(std::clamp<long long>(x, -(1LL << 30), 1LL << 30))
                       : int(std::clamp(std::floor(double(x) * Factor + 1e-9), -Far, Far));
}

int TDeviceScale::LogicalSize(int device) const
{
    return Factor == 1 ? device : int(std::floor(device / Factor + 1e-6));
}

int TDeviceScale::DeviceSize(int logical) const
{
    if (Factor == 1 || logical <= 0)
        return logical;
    return std::max(int(std::ceil(logical * Factor - 1e-9)), ExtentEnd(logical));
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

void RequireGui()
{
    if (!HasGuiApplication())
        throw std::logic_error("text on a canvas needs a GUI application (see EnsureGuiApplication)");
}

// What is known of one text in one font: its width, and once it was written, its pixels.
struct TextEntry {
    int Width = 0;
    std::optional<TextStamp> Stamp;
};

// A font as Qt draws and measures it, with the texts written in it lately.
struct QtFont {
    TFont font;
    QFont qfont;
    QFontMetrics metrics;
    mutable QHash<QString, TextEntry> texts = {};
};

// Enough for every label of a few charts; past it the texts start afresh.
constexpr qsizetype MaxTextsPerFont = 1024;

TextEntry& TextEntryOf(const QtFont& font, const QString& text)
{
    auto& texts = font.texts;
    auto found = texts.find(text);
    if (found != texts.end())
        return *found;
    if (texts.size() >= MaxTextsPerFont)
        texts.clear();
    return *texts.insert(text, TextEntry{font.metrics.horizontalAdvance(text), std::nullopt});
}

// The last few fonts asked for: text is written and measured often, fonts change rarely, and building a
// QFont per text would look the face up every time.
const QtFont& QtFontOf(const TFont& font)
{
    // never destroyed: font objects must not outlive the application at exit
    static auto& cache = *new std::vector<QtFont>;
    for (const QtFont& e : cache) {
        if (e.font.Name() == font.Name() && e.font.Height() == font.Height() && e.font.Style() == font.Style())
            return e;
    }
    if (cache.size() >= 16)
        cache.erase(cache.begin());
    const QFont qfont = font.ToQFont();
    cache.push_back({font, qfont, QFontMetrics(qfont)});
    return cache.back();
}

const QFontMetrics& MetricsOf(const TFont& font)
{
    return QtFontOf(font).metrics;
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

// The pixels a wide pen of the given width may touch along the points.
TRect BoundsOf(std::span<const TPoint> points, int penWidth)
{
    TRect r{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), std::numeric_limits<int>::min(),
        std::numeric_limits<int>::min()};
    for (const TPoint& pt : points)
        r = {std::min(r.Left, pt.X), std::min(r.Top, pt.Y), std::max(r.Right, pt.X), std::max(r.Bottom, pt.Y)};
    const int pad = std::max(1, penWidth);
    const auto widen = [](int v, int by) { return int(std::clamp<long long>(0LL + v + by, INT_MIN, INT_MAX)); };
    return {widen(r.Left, -pad), widen(r.Top, -pad), widen(r.Right, pad + 1), widen(r.Bottom, pad + 1)};
}

// The same pixels seen at a device pixel ratio of 1, for drawing in device pixels.
QImage DeviceView(QImage& image)
{
    return QImage(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
}

bool IsThin(const TPen& pen)
{
    return pen.Width <= 1;
}

bool HasThirtyTwoBitPixels(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: return true;
    default: return false;
    }
}

}  // namespace

TCanvas::TCanvas(QImage* target)
{
    SetTarget(target);
}

void TCanvas::SetTarget(QImage* target)
{
    target_ = nullptr;
    premultiplied_ = false;
    scale_ = {};
    width_ = height_ = 0;
    if (target == nullptr || target->isNull())
        return;
    if (!HasThirtyTwoBitPixels(*target)) {
        *target = target->convertToFormat(QImage::Format_RGB32);
        if (target->isNull())
            throw std::bad_alloc();
    }
    target_ = target;
    premultiplied_ = target->format() == QImage::Format_ARGB32_Premultiplied;
    scale_ = TDeviceScale::Of(target->devicePixelRatio());
    width_ = scale_.LogicalSize(target->width());
    height_ = scale_.LogicalSize(target->height());
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
    if (target_ == nullptr || Pen.Style == psClear || from == penPos_)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode, scale_);
        PixelRaster::ThinPen pen(writer, Pen, Brush);
        pen.Line(from.X, from.Y, x, y);
        return;
    }
    const TPoint line[] = {from, penPos_};
    PaintWithPen(BoundsOf(line, Pen.Width), [&](QPainter& p) { p.drawLine(from.X, from.Y, x, y); });
}

// As on the classic desktop, a polyline neither starts at nor moves the current point.
void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (target_ == nullptr || Pen.Style == psClear || points.size() < 2)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode, scale_);
        PixelRaster::ThinPen pen(writer, Pen, Brush);
        for (std::size_t i = 1; i < points.size(); ++i)
            pen.Line(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
        return;
    }
    PaintWithPen(BoundsOf(points, Pen.Width), [&](QPainter& p) { p.drawPolyline(ToQPolygon(points)); });
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (target_ == nullptr || points.empty())
        return;
    if (Brush.Style == bsSolid && points.size() >= 3) {
        // vertices at pixel centres, so the fill lines up with the outline
        QPolygonF poly;
        for (const TPoint& pt : points)
            poly << QPointF(pt.X + 0.5, pt.Y + 0.5);
        const auto fill = [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(ToQColor(Brush.Color));
            p.drawPolygon(poly, Qt::OddEvenFill);
        };
        if (scale_.IsOne()) {
            ScopedPainter p(*target_, clip_);
            p->setCompositionMode(CompositionOf(Pen.Mode));
            fill(*p);
        } else {
            DrawExpanded(BoundsOf(points, 1), Pen.Mode, fill);
        }
    }
    if (Pen.Style == psClear)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode, scale_);
        PixelRaster::ThinPen pen(writer, Pen, Brush);
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
    PaintWithPen(BoundsOf(points, Pen.Width), [&](QPainter& p) { p.drawPolygon(ToQPolygon(points)); });
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (target_ == nullptr)
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    if (Pen.Style == psClear || IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode, scale_);
        PixelRaster::DrawThinRectangle(writer, box, Pen, Brush);
        return;
    }
    const TPoint corners[] = {{box.Left, box.Top}, {box.Right, box.Bottom}};
    PaintWithPen(BoundsOf(corners, Pen.Width), [&](QPainter& p) {
        QPen pen = WidePen(Pen);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(FillOf(Brush));
        p.drawRect(WideOutlinePath(box, Pen));
    });
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (target_ == nullptr)
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    if (IsThin(Pen) || Pen.Style == psClear) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode, scale_);
        PixelRaster::DrawThinEllipse(writer, box, Pen, Brush);
        return;
    }
    const TPoint corners[] = {{box.Left, box.Top}, {box.Right, box.Bottom}};
    PaintWithPen(BoundsOf(corners, Pen.Width), [&](QPainter& p) {
        p.setBrush(FillOf(Brush));
        p.drawEllipse(WideOutlinePath(box, Pen));
    });
}

void TCanvas::FillRect(const TRect& r)
{
    if (target_ == nullptr || Brush.Style != bsSolid)
        return;
    PixelRaster::PixelWriter writer(*target_, clip_, pmCopy, scale_);
    writer.Fill(r, ToQRgb(Brush.Color));
}

// Pixels are read and written one at a time by pictures drawn point by point, so
// these two make as few calls into Qt as they can: the size and one scan line.
TColor TCanvas::Pixel(int x, int y) const
{
    if (target_ == nullptr)
        return InvalidPixel;
    const QImage& image = *target_;  // const: reading must not detach the picture
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return InvalidPixel;
    x = scale_.Device(x);
    y = scale_.Device(y);
    if (premultiplied_)
        return FromQRgb(image.pixel(x, y));
    return FromQRgb(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (target_ == nullptr)
        return;
    if (x < 0 || y < 0 || x >= target_->width() || y >= target_->height())
        return;
    if (clip_ && !clip_->Normalized().Contains(x, y))
        return;
    if (!scale_.IsOne()) {
        PixelRaster::PixelWriter(*target_, clip_, pmCopy, scale_).Plot(x, y, PixelRaster::OpaqueRgb(color));
        return;
    }
    reinterpret_cast<QRgb*>(target_->scanLine(y))[x] = PixelRaster::OpaqueRgb(color);
}

int TCanvas::TextWidth(const QString& text) const
{
    RequireGui();
    return TextEntryOf(QtFontOf(Font), text).Width;
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
    if (target_ == nullptr) {
        penPos_ = {x + TextWidth(text), y};
        return;
    }
    if (!scale_.IsOne()) {
        TextOutScaled(x, y, text);
        return;
    }
    const QtFont& font = QtFontOf(Font);
    const QFontMetrics& m = font.metrics;
    TextEntry& entry = TextEntryOf(font, text);
    const int w = entry.Width;
    penPos_ = {x + w, y};
    if (!entry.Stamp)
        entry.Stamp.emplace(font.qfont, m.ascent(), m.ascent() + m.descent(), w, text);
    if (entry.Stamp->Exact()) {
        PixelRaster::PixelWriter writer(*target_, clip_, pmCopy, scale_);
        if (Brush.Style == bsSolid)
            writer.Fill({x, y, x + w, y + m.ascent() + m.descent()}, PixelRaster::OpaqueRgb(Brush.Color));
        entry.Stamp->Stamp(writer, x, y, PixelRaster::OpaqueRgb(Font.Color()));
        return;
    }
    ScopedPainter p(*target_, clip_);
    if (Brush.Style == bsSolid)
        p->fillRect(QRect(x, y, w, m.ascent() + m.descent()), ToQColor(Brush.Color));
    p->setFont(font.qfont);
    p->setPen(ToQColor(Font.Color()));
    p->drawText(x, y + m.ascent(), text);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    RequireGui();
    if (target_ == nullptr)
        return;
    TRect area = rect.Normalized();
    if (clip_)
        area = area.Intersected(clip_->Normalized());
    if (area.IsEmpty())
        return;
    if (!scale_.IsOne()) {
        TextRectScaled(area, x, y, text);
        return;
    }
    const QtFont& font = QtFontOf(Font);
    const QFontMetrics& m = font.metrics;
    ScopedPainter p(*target_, area);
    if (Brush.Style == bsSolid)
        p->fillRect(ToQRect(area), ToQColor(Brush.Color));
    p->setFont(font.qfont);
    p->setPen(ToQColor(Font.Color()));
    p->drawText(x, y + m.ascent(), text);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    Draw(x, y, bitmap.Image());
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    if (target_ == nullptr || image.isNull())
        return;
    // drawing a picture onto itself must read the picture as it was
    const QImage source = (&image == target_) ? image.copy() : image;
    if (!scale_.IsOne()) {
        // a picture at this scale is copied pixel for pixel; any other is enlarged without smoothing
        const bool same = TDeviceScale::Of(source.devicePixelRatio()) == scale_;
        const QSizeF size = source.deviceIndependentSize();
        const int w = same ? source.width() : scale_.DeviceSize(int(size.width()));
        const int h = same ? source.height() : scale_.DeviceSize(int(size.height()));
        DrawDevice(QRect(scale_.Device(x), scale_.Device(y), w, h), source);
        return;
    }
    ScopedPainter p(*target_, clip_);
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(QPoint(x, y), source);
}

void TCanvas::DrawDevice(const QRect& deviceRect, const QImage& source)
{
    QImage view = DeviceView(*target_);
    ScopedPainter p(view, DeviceClip());
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(deviceRect, source);
}

std::optional<TRect> TCanvas::DeviceClip() const
{
    if (!clip_)
        return std::nullopt;
    const TRect c = clip_->Normalized();
    return c.IsEmpty() ? TRect{} : scale_.DeviceBox(c);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    StretchDraw(dest, bitmap.Image());
}

void TCanvas::StretchDraw(const TRect& dest, const QImage& image)
{
    if (target_ == nullptr || image.isNull() || dest.Width() == 0 || dest.Height() == 0)
        return;
    const QImage source = (&image == target_) ? image.copy() : image;
    const TRect d = dest.Normalized();
    if (!scale_.IsOne()) {
        QImage mirrored = source.mirrored(dest.Width() < 0, dest.Height() < 0);
        mirrored.setDevicePixelRatio(1);
        const int left = scale_.Device(d.Left), top = scale_.Device(d.Top);
        DrawDevice(QRect(left, top, scale_.Device(d.Right) - left, scale_.Device(d.Bottom) - top), mirrored);
        return;
    }
    ScopedPainter p(*target_, clip_);
    p->setCompositionMode(QPainter::CompositionMode_Source);
    QImage scaled =
        source.scaled(std::abs(dest.Width()), std::abs(dest.Height()), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (dest.Width() < 0 || dest.Height() < 0)
        scaled = scaled.mirrored(dest.Width() < 0, dest.Height() < 0);
    p->drawImage(QPoint(d.Left, d.Top), scaled);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect)
{
    if (source.target_ == nullptr)
        return;
    const TRect s = sourceRect.Normalized();
    if (s.IsEmpty())
        return;
    const TDeviceScale& from = source.scale_;
    StretchDraw(dest, source.target_->copy(from.IsOne() ? ToQRect(s) : ToQRect(from.DeviceBox(s))));
}

// The text's cell and pen position follow the logical font; the glyphs are the font's at the scaled size.
void TCanvas::TextOutScaled(int x, int y, const QString& text)
{
    const QtFont& logical = QtFontOf(Font);
    const int w = TextEntryOf(logical, text).Width;
    const int h = logical.metrics.ascent() + logical.metrics.descent();
    penPos_ = {x + w, y};
    PixelRaster::PixelWriter writer(*target_, clip_, pmCopy, scale_);
    if (Brush.Style == bsSolid)
        writer.Fill({x, y, x + w, y + h}, PixelRaster::OpaqueRgb(Brush.Color));
    const QtFont& font = QtFontOf(ScaledFont());  // may move the cache: logical is not used after this
    const QFontMetrics& m = font.metrics;
    TextEntry& entry = TextEntryOf(font, text);
    if (!entry.Stamp)
        entry.Stamp.emplace(font.qfont, m.ascent(), m.ascent() + m.descent(), entry.Width, text);
    const int dx = scale_.Device(x), dy = scale_.Device(y);
    if (entry.Stamp->Exact()) {
        entry.Stamp->Stamp(writer, dx, dy, PixelRaster::OpaqueRgb(Font.Color()));
        return;
    }
    QImage view = DeviceView(*target_);
    ScopedPainter p(view, DeviceClip());
    p->setFont(font.qfont);
    p->setPen(ToQColor(Font.Color()));
    p->drawText(dx, dy + m.ascent(), text);
}

void TCanvas::TextRectScaled(const TRect& area, int x, int y, const QString& text)
{
    const QtFont& font = QtFontOf(ScaledFont());
    QImage view = DeviceView(*target_);
    const TRect device = scale_.DeviceBox(area);
    ScopedPainter p(view, device);
    if (Brush.Style == bsSolid)
        p->fillRect(ToQRect(device), ToQColor(Brush.Color));
    p->setFont(font.qfont);
    p->setPen(ToQColor(Font.Color()));
    p->drawText(scale_.Device(x), scale_.Device(y) + font.metrics.ascent(), text);
}

TFont TCanvas::ScaledFont() const
{
    TFont scaled = Font;
    scaled.SetHeight(std::max(1, int(std::lround(Font.Height() * scale_.Factor))));
    return scaled;
}

template <class Paint> void TCanvas::PaintWithPen(const TRect& bounds, const Paint& paint)
{
    if (scale_.IsOne()) {
        ScopedPainter p(*target_, clip_, Pen);
        paint(*p);
        return;
    }
    DrawExpanded(bounds, Pen.Mode, [&](QPainter& p) {
        p.setPen(WidePen(Pen));
        paint(p);
    });
}

template <class Paint> void TCanvas::DrawExpanded(const TRect& box, TPenMode mode, const Paint& paint)
{
    TRect area = box.Normalized().Intersected({0, 0, width_, height_});
    if (clip_)
        area = area.Intersected(clip_->Normalized());
    if (area.IsEmpty())
        return;
    QImage scratch(area.Width(), area.Height(), QImage::Format_ARGB32_Premultiplied);
    if (scratch.isNull())
        throw std::bad_alloc();
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-area.Left, -area.Top);
        paint(p);
    }
    PixelRaster::PixelWriter writer(*target_, clip_, mode, scale_);
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        const int ly = area.Top + y;
        for (int x = 0; x < scratch.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const int lx = area.Left + x;
            writer.FillDevice({scale_.Device(lx), scale_.Device(ly), scale_.Device(lx + 1), scale_.Device(ly + 1)},
                line[x] & 0xFFFFFFu);
        }
    }
}

TPixelBatch::TPixelBatch(TCanvas& canvas) : scale_(canvas.Scale()), mode_(canvas.Pen.Mode)
{
    QImage* image = canvas.Target();
    if (image == nullptr)
        return;
    bits_ = reinterpret_cast<QRgb*>(image->bits());  // one detach check for the whole batch
    stride_ = image->bytesPerLine() / std::ptrdiff_t(sizeof(QRgb));
    area_ = {0, 0, canvas.Width(), canvas.Height()};
    if (const std::optional<TRect> clip = canvas.ClipRect())
        area_ = area_.Intersected(clip->Normalized());
    deviceArea_ = scale_.IsOne() || area_.IsEmpty()
        ? area_
        : scale_.DeviceBox(area_).Intersected({0, 0, image->width(), image->height()});
}

void TPixelBatch::SolidBox(const TRect& box, QRgb edge, std::optional<QRgb> fill)
{
    if (bits_ == nullptr)
        return;
    if (scale_.IsOne())
        PixelRaster::WriteSolidBox(bits_, stride_, area_, box.Normalized(), edge, fill);
    else if (const TRect b = box.Normalized(); !b.IsEmpty())
        PixelRaster::WriteScaledSolidBox(bits_, stride_, deviceArea_, scale_, b, edge, fill);
}

void TPixelBatch::PutDevice(const TRect& deviceBox, QRgb rgb)
{
    const TRect block = deviceBox.Intersected(deviceArea_);
    for (int y = block.Top; y < block.Bottom; ++y)
        for (int x = block.Left; x < block.Right; ++x)
            Put(At(x, y), rgb);
}

void TPixelBatch::StampBlocks(int x, int y, const std::ptrdiff_t* offsets, int count, QRgb rgb) const
{
    QRgb* const centre = At(scale_.Device(x), scale_.Device(y));
    const int k = scale_.Block;
    for (int i = 0; i < count; ++i) {
        QRgb* row = centre + offsets[i];
        for (int dy = 0; dy < k; ++dy, row += stride_)
            PixelRaster::FillPixels(row, k, rgb);
    }
}
