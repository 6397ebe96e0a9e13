#pragma once
// The chart's own enumerations, each stored as a byte.

#include <cstdint>

enum TGridStyle : std::uint8_t {
    gsNone,
    gsPoints,
    gsVertLines,
    gsHorizLines,
    gsLines,
    gsVertDotLines,
    gsHorizDotLines,
    gsDotLines
};

enum TTextBkStyle : std::uint8_t { tbClear, tbSolid };

enum TCaptionAnchorHoriz : std::uint8_t {
    cahControlLeft,
    cahChartLeft,
    cahChartCenter,
    cahChartRight,
    cahControlRight
};

enum TCaptionAnchorVert : std::uint8_t { cavControlTop, cavChartTop, cavChartCenter, cavChartBottom, cavControlBottom };

enum TBkgFill : std::uint8_t { bfSimple, bfStretch, bfTile };

enum TBGAreaMode : std::uint8_t { bamNone, bamLeft, bamRight, bamTop, bamBottom, bamVStripe, bamHStripe, bamRect };

enum TrcLayout : std::uint8_t {
    rcl_X1Bottom_Y1Left,
    rcl_X1Bottom_Y2Left,
    rcl_X1Bottom_Y3Left,
    rcl_X1Bottom_Y4Left,
    rcl_X1Bottom_Y2Both,
    rcl_X2Bottom_Y2Left,
    rcl_X2Both_Y2Both
};

enum TScaleLocationHoriz : std::uint8_t { slTop, slBottom };
enum TScaleLocationVert : std::uint8_t { slLeft, slRight };
