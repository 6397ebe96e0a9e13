#include "platform/draw/TextStamp.h"

#include <algorithm>
#include <cstdint>

#include <QPainter>

#include "platform/draw/PixelRasterizer.h"

namespace {

// Room round the cell for glyphs that reach out of it (italic overhang, bearings, accents). A text whose
// pixels touch the outermost margin pixels may reach further and is left to QPainter.
int MarginFor(int height)
{
    return std::max(height, 8);
}

// Texts worth keeping are a label's size; a larger scratch image than this (4 MB) is not worth its memory.
constexpr std::int64_t MaxScratchPixels = std::int64_t(1) << 20;

}  // namespace

TextStamp::TextStamp(const QFont& font, int ascent, int height, int width, const QString& text)
{
    const int margin = MarginFor(height);
    const std::int64_t scratchWidth = std::int64_t(width) + 2 * std::int64_t(margin);
    const std::int64_t scratchHeight = std::int64_t(height) + 2 * std::int64_t(margin);
    if (width < 0 || scratchWidth > INT16_MAX || scratchHeight > INT16_MAX ||
        scratchWidth * scratchHeight > MaxScratchPixels) {
        exact_ = false;  // checked before allocating: a huge font would ask for gigabytes
        return;
    }
    QImage scratch(int(scratchWidth), int(scratchHeight), QImage::Format_ARGB32_Premultiplied);
    if (scratch.isNull()) {
        exact_ = false;
        return;
    }
    scratch.fill(Qt::transparent);
    {
        // the same settings as the canvas's painter, so the glyphs fall on the same pixels
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(margin, margin + ascent, text);
    }
    const int w = scratch.width(), h = scratch.height();
    for (int y = 0; y < h && exact_; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < w;) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0) {
                ++x;
                continue;
            }
            const bool atEdge = x == 0 || y == 0 || y == h - 1;
            int end = x;
            while (end < w && qAlpha(line[end]) == 255)
                ++end;
            if (alpha != 255 || atEdge || end == w) {
                exact_ = false;
                break;
            }
            runs_.push_back({std::int16_t(y - margin), std::int16_t(x - margin), std::int16_t(end - x)});
            x = end;
        }
    }
    if (!exact_)
        runs_.clear();
}

void TextStamp::Stamp(PixelRaster::PixelWriter& writer, int x, int y, QRgb rgb) const
{
    for (const Run& run : runs_)
        writer.FillRun(y + run.Dy, x + run.Dx, x + run.Dx + run.Length, rgb);
}
