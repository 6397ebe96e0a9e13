#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include "platform/Canvas.h"
#include "platform/Color.h"
#include "platform/Cursors.h"

namespace {

constexpr const char* kProbeVariable = "SEWELLA_CORE_APPLICATION_PROBE";

// Started again with the probe variable, this executable checks the drawing layer under a plain
// QCoreApplication and exits with the number of checks that failed.
int ProbeUnderCoreApplication()
{
    static int argc = 1;
    static char name[] = "probe";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    int failures = 0;
    failures += HasGuiApplication() ? 1 : 0;
    try {
        EnsureGuiApplication();
        ++failures;
    } catch (const std::logic_error&) {
    }
    failures += ColorToRGB(clBtnFace) == RGBColor(212, 208, 200) ? 0 : 1;
    failures += LoadCursorResource(1, QStringLiteral("CURHAND")) ? 1 : 0;
    SetAppCursor(crCross);
    TCanvas canvas;
    try {
        (void)canvas.TextWidth(QStringLiteral("x"));
        ++failures;
    } catch (const std::logic_error&) {
    }
    return failures;
}

const bool kProbe = [] {
    if (std::getenv(kProbeVariable) != nullptr)
        std::_Exit(ProbeUnderCoreApplication());
    return false;
}();

TEST(GuiApplication, APlainCoreApplicationIsRefusedClearlyInsteadOfCrashing)
{
    ASSERT_TRUE(HasGuiApplication());
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kProbeVariable), QStringLiteral("1"));
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
}

}  // namespace
