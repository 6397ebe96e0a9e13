#pragma once

// The pictures both charts draw in chart_bench: the lesson's three views at c = 1000 and two bulk loads.
// Each is plain data, so our chart and the peer draw exactly the same items.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/draw/Color.h"

namespace chartbench {

constexpr int FrameWidth = 361;
constexpr int FrameHeight = 297;
constexpr int MarginLeft = 46;
constexpr int MarginRight = 30;
constexpr int MarginTop = 20;
constexpr int MarginBottom = 40;

// How the peer draws the picture's items.
enum class PeerStyle { Scatter, Bars, ColorMap, Rectangles };

struct Mark {
    double X, Y;
};

struct Rect {
    double X1, Y1, X2, Y2;
    TColor Fill;
};

struct Picture {
    std::string Name;
    PeerStyle Peer;
    double XLow, XHigh, YLow, YHigh;
    TColor DataColor = clBlack;
    std::uint8_t MarkKind = 2;  // a plus 5 pixels across
    std::vector<Mark> Marks = {};
    std::vector<Rect> Rects = {};
    int GridSize = 0;           // the colour map's cells per side
    bool ScalesVisible = true;  // the lesson hides them in its random area
};

// The generator the lesson plots: x[i] = (a + b x[i-1]) mod c with a = 1, b = 21, x[1] = 0; its full period
// at c = 1000 visits every value once.
std::vector<int> LessonSequence(int c);

std::vector<Picture> AllPictures();

}  // namespace chartbench
