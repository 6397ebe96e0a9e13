#pragma once

// A text as a font without antialiasing draws it: the runs of pixels the glyphs set, relative to the top-left
// corner of the text cell. Such a text sets each pixel fully or not at all, so the runs written in the font
// colour give the same pixels as drawing the text again, at a fraction of the cost: the scale labels and
// captions of a chart are the same few texts on every paint. Internal to the platform layer: TCanvas uses it.

#include <cstdint>
#include <vector>

#include <QFont>
#include <QImage>
#include <QString>

#include "platform/draw/Canvas.h"

namespace PixelRaster {
class PixelWriter;
}

class TextStamp {
public:
    // Draws text with font the way TCanvas draws it (origin at the cell's top-left corner, baseline at
    // ascent) into a scratch image and keeps the pixels it set. A text whose pixels are not all fully set or
    // fully clear (a font that antialiases anyway) or that reaches past the scratch margin is not Exact and
    // must be drawn by QPainter.
    TextStamp(const QFont& font, int ascent, int height, int width, const QString& text);

    bool Exact() const { return exact_; }

    // Writes the pixels with the cell's top-left corner at (x, y), inside the writer's bounds.
    void Stamp(PixelRaster::PixelWriter& writer, int x, int y, QRgb rgb) const;

private:
    struct Run {
        std::int16_t Dy, Dx, Length;  // from the cell's top-left corner
    };
    std::vector<Run> runs_;
    bool exact_ = true;
};
