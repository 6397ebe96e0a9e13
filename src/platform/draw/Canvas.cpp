#include "platform/draw/Canvas.h"

#include <algorithm>
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
    if (cache.size() >= 8)
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
    if (target == nullptr || target->isNull())
        return;
    if (!HasThirtyTwoBitPixels(*target)) {
        *target = target->convertToFormat(QImage::Format_RGB32);
        if (target->isNull())
            throw std::bad_alloc();
    }
    target_ = target;
    premultiplied_ = target->format() == QImage::Format_ARGB32_Premultiplied;
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
    if (target_ == nullptr || Pen.Style == psClear || from == penPos_)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode);
        PixelRaster::ThinPen pen(writer, Pen, Brush);
        pen.Line(from.X, from.Y, x, y);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->drawLine(from.X, from.Y, x, y);
}

// As on the classic desktop, a polyline neither starts at nor moves the current point.
void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (target_ == nullptr || Pen.Style == psClear || points.size() < 2)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode);
        PixelRaster::ThinPen pen(writer, Pen, Brush);
        for (std::size_t i = 1; i < points.size(); ++i)
            pen.Line(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->drawPolyline(ToQPolygon(points));
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
        ScopedPainter p(*target_, clip_);
        p->setCompositionMode(CompositionOf(Pen.Mode));
        p->setPen(Qt::NoPen);
        p->setBrush(ToQColor(Brush.Color));
        p->drawPolygon(poly, Qt::OddEvenFill);
    }
    if (Pen.Style == psClear)
        return;
    if (IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode);
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
    ScopedPainter p(*target_, clip_, Pen);
    p->drawPolygon(ToQPolygon(points));
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (target_ == nullptr)
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    if (Pen.Style == psClear || IsThin(Pen)) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode);
        PixelRaster::DrawThinRectangle(writer, box, Pen, Brush);
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
    if (target_ == nullptr)
        return;
    const TRect box = TRect{left, top, right, bottom}.Normalized();
    if (box.IsEmpty())
        return;
    if (IsThin(Pen) || Pen.Style == psClear) {
        PixelRaster::PixelWriter writer(*target_, clip_, Pen.Mode);
        PixelRaster::DrawThinEllipse(writer, box, Pen, Brush);
        return;
    }
    ScopedPainter p(*target_, clip_, Pen);
    p->setBrush(FillOf(Brush));
    p->drawEllipse(WideOutlinePath(box, Pen));
}

void TCanvas::FillRect(const TRect& r)
{
    if (target_ == nullptr || Brush.Style != bsSolid)
        return;
    PixelRaster::PixelWriter writer(*target_, clip_, pmCopy);
    writer.Fill(r, ToQRgb(Brush.Color));
}

// Pixels are read and written one at a time by pictures drawn point by point, so
// these two make as few calls into Qt as they can: the size and one scan line.
TColor TCanvas::Pixel(int x, int y) const
{
    if (target_ == nullptr)
        return InvalidPixel;
    const QImage& image = *target_;  // const: reading must not detach the picture
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return InvalidPixel;
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
    const QtFont& font = QtFontOf(Font);
    const QFontMetrics& m = font.metrics;
    TextEntry& entry = TextEntryOf(font, text);
    const int w = entry.Width;
    penPos_ = {x + w, y};
    if (!entry.Stamp)
        entry.Stamp.emplace(font.qfont, m.ascent(), m.ascent() + m.descent(), w, text);
    if (entry.Stamp->Exact()) {
        PixelRaster::PixelWriter writer(*target_, clip_, pmCopy);
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
    if (target_ == nullptr || image.isNull() || dest.Width() == 0 || dest.Height() == 0)
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
    if (source.target_ == nullptr)
        return;
    const TRect s = sourceRect.Normalized();
    if (s.IsEmpty())
        return;
    StretchDraw(dest, source.target_->copy(ToQRect(s)));
}

TPixelBatch::TPixelBatch(TCanvas& canvas) : mode_(canvas.Pen.Mode)
{
    QImage* image = canvas.Target();
    if (image == nullptr)
        return;
    bits_ = reinterpret_cast<QRgb*>(image->bits());  // one detach check for the whole batch
    stride_ = image->bytesPerLine() / std::ptrdiff_t(sizeof(QRgb));
    area_ = {0, 0, image->width(), image->height()};
    if (const std::optional<TRect> clip = canvas.ClipRect())
        area_ = area_.Intersected(clip->Normalized());
}

void TPixelBatch::SolidBox(const TRect& box, QRgb edge, std::optional<QRgb> fill)
{
    if (bits_ != nullptr)
        PixelRaster::WriteSolidBox(bits_, stride_, area_, box.Normalized(), edge, fill);
}
