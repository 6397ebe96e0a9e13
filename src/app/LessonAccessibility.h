#pragma once

// What assistive technology is told about the lesson's own controls: a slider reports the value it stands
// for (not its upside-down position) and takes a value set through it; the chart is a chart and the numeric
// label a text. Installed once for the application; later calls do nothing.
void InstallLessonAccessibility();
