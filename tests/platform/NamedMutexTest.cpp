#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "LinkTestSupport.h"
#include "platform/os/LastError.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/NamedMutex.h"

namespace {

using namespace std::chrono_literals;

TEST(NamedMutex, SecondOwnerIsRefusedUntilTheFirstReleases)
{
    PrivateRuntimeDir runtime;
    auto first = NamedMutex::TryAcquire("SK_sewella").Mutex;
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->Handle(), 0u);
    EXPECT_TRUE(NamedMutex::Exists("SK_sewella"));
    EXPECT_FALSE(NamedMutex::Exists("SK_other"));
    const NamedMutexAcquisition second = NamedMutex::TryAcquire("SK_sewella");
    EXPECT_EQ(second.Outcome, NamedMutexAcquisition::Status::HeldByAnother);
    EXPECT_EQ(second.Mutex, nullptr);
    EXPECT_FALSE(second.Error.empty());
    first.reset();
    EXPECT_FALSE(NamedMutex::Exists("SK_sewella"));
    const NamedMutexAcquisition third = NamedMutex::TryAcquire("SK_sewella");
    EXPECT_EQ(third.Outcome, NamedMutexAcquisition::Status::Acquired);
    EXPECT_NE(third.Mutex, nullptr);
}

TEST(NamedMutex, KernelReleasesTheLockOfAKilledHolder)
{
    PrivateRuntimeDir runtime;
    HelperProcess holder("lock", "SK_held");
    ASSERT_EQ(holder.ReadLine(10s), "ready");
    EXPECT_TRUE(NamedMutex::Exists("SK_held"));
    EXPECT_EQ(NamedMutex::TryAcquire("SK_held").Outcome, NamedMutexAcquisition::Status::HeldByAnother);
    holder.Kill();
    EXPECT_NE(NamedMutex::TryAcquire("SK_held").Mutex, nullptr);
}

TEST(NamedMutex, AskingWhetherItExistsNeverKeepsAnOwnerFromAcquiringIt)
{
    PrivateRuntimeDir runtime;
    HelperProcess prober("probe", "SK_probed");
    ASSERT_EQ(prober.ReadLine(10s), "ready");
    int refused = 0;
    for (int i = 0; i < 2000; ++i) {
        if (NamedMutex::TryAcquire("SK_probed").Mutex == nullptr)
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
    const auto mutex = NamedMutex::TryAcquire("../../escape").Mutex;
    ASSERT_NE(mutex, nullptr);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime.Path())) {
        if (!entry.is_directory()) {
            EXPECT_EQ(entry.path().parent_path(), runtime.LinkDir()) << entry.path();
        }
    }
}

TEST(NamedMutex, UnusableLockSaysWhyWithTheSystemsText)
{
    PrivateRuntimeDir runtime;
    struct Row {
        const char* name;
        void (*spoil)(const PrivateRuntimeDir&);
        std::string expected;
    };
    const Row rows[] = {
        {"lock file is a directory",
            [](const PrivateRuntimeDir& R) {
                std::filesystem::create_directories(R.LinkDir() + "/" + NamedMutexFileName("SK_spoilt"));
            },
            GetErrorString(EISDIR)},
        {"link directory is a file",
            [](const PrivateRuntimeDir& R) {
                std::filesystem::remove_all(R.LinkDir());
                std::ofstream(R.LinkDir()) << "not a directory";
            },
            "is not a directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(LinkDirectory().has_value());
        row.spoil(runtime);
        const NamedMutexAcquisition acquisition = NamedMutex::TryAcquire("SK_spoilt");
        EXPECT_EQ(acquisition.Outcome, NamedMutexAcquisition::Status::Unusable);
        EXPECT_EQ(acquisition.Mutex, nullptr);
        EXPECT_NE(acquisition.Error.find(row.expected), std::string::npos) << acquisition.Error;
        std::filesystem::remove_all(runtime.LinkDir());
    }
}

}  // namespace
