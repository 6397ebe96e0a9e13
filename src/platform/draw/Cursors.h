#pragma once

// Cursor numbers and the application's cursor table: negative numbers are the
// system cursors, 0 the default, positive numbers slots an application loads.

#include <QCursor>
#include <QImage>
#include <QString>

using TCursor = int;

constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;  // arrow with hourglass
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The cursor of a number; a slot nothing was loaded into gives the arrow.
// Needs a GUI application for loaded (picture) cursors.
QCursor CursorOf(TCursor cursor);
bool HasCursor(TCursor slot);

void SetCursorSlot(TCursor slot, const QCursor& cursor);  // slot > 0

// Loads the named cursor picture into a slot (> 0). The picture comes from the
// Qt resource ":/cursors/<name>.png" (or .cur; "<name>@2x.png" on a screen of
// device pixel ratio above 1), hot spot in its centre; the
// library draws its own for CURHAND, CURZOOMW, CURZOOMD and CURZOOMP when the
// application ships none. Returns false, leaving the slot, for an unknown name
// or when no GUI application exists.
[[nodiscard]] bool LoadCursorResource(TCursor slot, const QString& name);

// The picture of a cursor resource for a device pixel ratio: the @2x picture,
// marked with ratio 2, when the ratio is above 1 and there is one; a null image
// when there is no picture of that name.
QImage CursorPicture(const QString& name, qreal ratio);

// The application-wide cursor (overrides every widget's own). crDefault lets
// the widgets' own cursors show again.
void SetAppCursor(TCursor cursor);
TCursor AppCursor();

// Sets the application cursor for a scope and puts the previous one back.
class TAppCursorScope {
public:
    explicit TAppCursorScope(TCursor cursor) : previous_(AppCursor()) { SetAppCursor(cursor); }
    ~TAppCursorScope() { SetAppCursor(previous_); }
    TAppCursorScope(const TAppCursorScope&) = delete;
    TAppCursorScope& operator=(const TAppCursorScope&) = delete;

private:
    TCursor previous_;
};
