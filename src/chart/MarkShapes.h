#pragma once
// The chart's marks: small shapes centred on a pixel, chosen by a one-byte code.

#include <array>
#include <cstdint>

#include "platform/Canvas.h"

// The rows of a pixel-pattern mark, top row first; bit b of a row covers the pixel 3 - b to the right of the
// centre.
using MarkPatternRows = std::array<std::uint8_t, 7>;

// The pattern of codes 1-6, 18 and 25; nullptr for every other code.
const MarkPatternRows* MarkPattern(std::uint8_t Kind);

// Draws mark Kind centred on (X, Y) with the canvas's pen: 0 one pixel, 1-47 the fixed shapes, 48-255 the
// character of that code in the canvas's font and font colour. Filled shapes are filled in the pen colour;
// the brush colour is the same afterwards, and a hollow shape leaves the brush style solid.
void DrawMark(TCanvas& Canvas, std::uint8_t Kind, int X, int Y);
