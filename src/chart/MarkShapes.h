#pragma once
// The chart's marks: small shapes centred on a pixel, chosen by a one-byte code.

#include <array>
#include <cstddef>
#include <cstdint>

#include <QRgb>

#include "platform/draw/Canvas.h"

// The rows of a pixel-pattern mark, top row first; bit b of a row covers the pixel 3 - b to the right of the
// centre.
using MarkPatternRows = std::array<std::uint8_t, 7>;

// The pattern of codes 1-6, 18 and 25; nullptr for every other code.
const MarkPatternRows* MarkPattern(std::uint8_t Kind);

// Draws mark Kind centred on (X, Y) with the canvas's pen: 0 one pixel, 1-47 the fixed shapes, 48-255 the
// character of that code in the canvas's font and font colour. Filled shapes are filled in the pen colour;
// the brush colour is the same afterwards, and a hollow shape leaves the brush style solid.
void DrawMark(TCanvas& Canvas, std::uint8_t Kind, int X, int Y);

// DrawMark for many marks on one canvas: what does not change from mark to mark (the scan lines, the writable
// area, the pen mode, the last pen colour) is worked out once. Marks of one pixel and pixel patterns go through a
// pixel batch, with no check per pixel where the whole mark lies inside and the pen mode is copy.
// While a painter is in use, the canvas keeps its target, clip and picture size (other drawing is fine).
class MarkPainter {
public:
    explicit MarkPainter(TCanvas& Canvas);

    // Inline for the bulk of a scatter chart: the pattern of the mark before, in the same colour, wholly inside.
    void Draw(std::uint8_t Kind, int X, int Y)
    {
        if (Kind == listedKind_ && inner_.Contains(X, Y) && canvas_.Pen.Color == penColor_)
            WritePattern(X, Y);
        else
            DrawAnyMark(Kind, X, Y);
    }

private:
    void WritePattern(int x, int y)
    {
        // the pluses and crosses unrolled
        switch (listedCount_) {
        case 5: batch_.Stamp<5>(x, y, offsets_.data(), penRgb_); break;
        case 9: batch_.Stamp<9>(x, y, offsets_.data(), penRgb_); break;
        case 13: batch_.Stamp<13>(x, y, offsets_.data(), penRgb_); break;
        default: batch_.Stamp(x, y, offsets_.data(), listedCount_, penRgb_);
        }
    }
    void DrawAnyMark(std::uint8_t kind, int x, int y);
    QRgb PenRgb();
    [[nodiscard]] bool ListPattern(std::uint8_t kind);

    TCanvas& canvas_;
    TPixelBatch batch_;
    TRect inner_;  // in copy mode, the centres of pattern marks that lie wholly inside the batch's area
    TColor penColor_ = 0;
    QRgb penRgb_ = 0;
    int listedKind_ = -1;  // the pattern whose pixels offsets_ lists; -1 for none
    int listedCount_ = 0;
    std::array<std::ptrdiff_t, 49> offsets_;  // from the centre pixel, in pixels (left uninitialised: per mark)
};
