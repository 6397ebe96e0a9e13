#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/os/LastError.h"
#include "platform/os/Process.h"

namespace {

TEST(WaitForProcess, ReturnsTheExitCodeOfOwnChildren)
{
    const struct {
        const char* script;
        int expected;
    } rows[] = {{"exit 0", 0}, {"exit 3", 3}, {"kill -9 $$", 128 + 9}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        const pid_t pid = StartProcess("sh", {"-c", row.script});
        ASSERT_NE(pid, 0);
        EXPECT_EQ(WaitForProcess(pid), row.expected);
    }
}

TEST(WaitForProcess, WaitsForAStrangerButCannotKnowItsExitCode)
{
    // the shell leaves a grandchild behind that is not ours
    FILE* shell = ::popen("sleep 0.3 >/dev/null 2>&1 & echo $!", "r");
    ASSERT_NE(shell, nullptr);
    int stranger = 0;
    ASSERT_EQ(std::fscanf(shell, "%d", &stranger), 1);
    ::pclose(shell);
    EXPECT_EQ(WaitForProcess(stranger), UnknownExitCode);
}

TEST(WaitForProcess, ProcessThatCannotBeOpenedGivesNothing)
{
    const pid_t pid = StartProcess("true", {});
    ASSERT_NE(pid, 0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    std::string error;
    EXPECT_EQ(WaitForProcess(pid, &error), std::nullopt);
    EXPECT_EQ(error, GetErrorString(ESRCH));
    error.clear();
    EXPECT_EQ(WaitForProcess(0, &error), std::nullopt);
    EXPECT_EQ(error, GetErrorString(ESRCH));
}

TEST(StartProcess, MissingProgramGivesZeroAndTheReason)
{
    std::string error;
    EXPECT_EQ(StartProcess("/nonexistent/program", {}, &error), 0);
    EXPECT_EQ(error, std::strerror(ENOENT));
}

}  // namespace
