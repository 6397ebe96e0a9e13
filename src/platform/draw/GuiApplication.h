#pragma once

// Whether the application object can draw text, resolve palette colours and
// show cursors: a QGuiApplication (a plain QCoreApplication cannot).
bool HasGuiApplication();

// Text needs a GUI application. Tests and tools without one call this first; it
// creates a QApplication (offscreen when no display is configured) once, and
// throws std::logic_error when a plain QCoreApplication was created before.
void EnsureGuiApplication();
