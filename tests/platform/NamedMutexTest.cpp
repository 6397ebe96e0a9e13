#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "LinkTestSupport.h"
#include "platform/NamedMutex.h"

namespace {

using namespace std::chrono_literals;

TEST(NamedMutex, SecondOwnerIsRefusedUntilTheFirstReleases)
{
    PrivateRuntimeDir runtime;
    auto first = NamedMutex::TryAcquire("SK_sewella");
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->Handle(), 0u);
    EXPECT_TRUE(NamedMutex::Exists("SK_sewella"));
    EXPECT_FALSE(NamedMutex::Exists("SK_other"));
    errno = 0;
    EXPECT_EQ(NamedMutex::TryAcquire("SK_sewella"), nullptr);
    EXPECT_EQ(errno, EWOULDBLOCK);
    first.reset();
    EXPECT_FALSE(NamedMutex::Exists("SK_sewella"));
    EXPECT_NE(NamedMutex::TryAcquire("SK_sewella"), nullptr);
}

TEST(NamedMutex, KernelReleasesTheLockOfAKilledHolder)
{
    PrivateRuntimeDir runtime;
    HelperProcess holder("lock", "SK_held");
    ASSERT_EQ(holder.ReadLine(10s), "ready");
    EXPECT_TRUE(NamedMutex::Exists("SK_held"));
    EXPECT_EQ(NamedMutex::TryAcquire("SK_held"), nullptr);
    holder.Kill();
    EXPECT_NE(NamedMutex::TryAcquire("SK_held"), nullptr);
}

TEST(NamedMutex, AskingWhetherItExistsNeverKeepsAnOwnerFromAcquiringIt)
{
    PrivateRuntimeDir runtime;
    HelperProcess prober("probe", "SK_probed");
    ASSERT_EQ(prober.ReadLine(10s), "ready");
    int refused = 0;
    for (int i = 0; i < 2000; ++i) {
        if (NamedMutex::TryAcquire("SK_probed") == nullptr)
            ++refused;
    }
    EXPECT_EQ(refused, 0);
}

TEST(NamedMutex, NamesCannotLeaveTheDirectoryOrCollide)
{
    EXPECT_EQ(NamedMutexFileName("SK_sewella.exe"), "mutex-SK_sewella.exe.lock");
    EXPECT_EQ(NamedMutexFileName("../x"), "mutex-..%2Fx.lock");
    EXPECT_NE(NamedMutexFileName("a/b"), NamedMutexFileName("a%2Fb"));

    PrivateRuntimeDir runtime;
    const auto mutex = NamedMutex::TryAcquire("../../escape");
    ASSERT_NE(mutex, nullptr);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime.Path())) {
        if (!entry.is_directory()) {
            EXPECT_EQ(entry.path().parent_path(), runtime.LinkDir()) << entry.path();
        }
    }
}

}  // namespace
