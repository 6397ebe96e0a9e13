#pragma once

// A zoom of everything a screen shows: windows, their controls, fonts and pictures grow by a factor on top of
// the screen's own scale, at once and while the program runs, as if the screen had that scale.

class QScreen;

// 1 shows the screen as it is; every window on the screen keeps its logical size, and so grows on it.
void SetScreenZoom(QScreen& Screen, double Factor);
