#include <gtest/gtest.h>

#include <QProcess>

#include "platform/draw/GuiApplication.h"

namespace {

// The drawing layer under a plain QCoreApplication is checked in a process of its own
// (CoreApplicationProbe.cpp), since this test program runs under a GUI application.
TEST(GuiApplication, APlainCoreApplicationIsRefusedClearlyInsteadOfCrashing)
{
    ASSERT_TRUE(HasGuiApplication());
    QProcess probe;
    probe.start(QStringLiteral(CORE_APPLICATION_PROBE_PROGRAM), {});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
}

}  // namespace
