// Checks the drawing layer under a plain QCoreApplication and exits with the number of checks that failed:
// every call must refuse clearly or fall back, never crash.

#include <QCoreApplication>

#include <cstdio>
#include <stdexcept>

#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/draw/Cursors.h"
#include "platform/draw/GuiApplication.h"

namespace {

int Check(bool passed, const char* what)
{
    if (!passed)
        std::fprintf(stderr, "failed: %s\n", what);
    return passed ? 0 : 1;
}

template <typename Call> bool Refuses(Call call)
{
    try {
        call();
    } catch (const std::logic_error&) {
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failures = Check(!HasGuiApplication(), "no GUI application is seen");
    failures += Check(Refuses([] { EnsureGuiApplication(); }), "EnsureGuiApplication refuses");
    failures += Check(ColorToRGB(clBtnFace) == RGBColor(212, 208, 200), "system colours keep their fixed values");
    failures += Check(!LoadCursorResource(1, QStringLiteral("CURHAND")), "no cursor is loaded");
    SetAppCursor(crCross);
    TCanvas canvas;
    failures += Check(Refuses([&] { (void)canvas.TextWidth(QStringLiteral("x")); }), "text measuring refuses");
    return failures;
}
