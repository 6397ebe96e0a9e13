#include "platform/os/UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <utility>

namespace {

// The descriptor is open in this process: the test must see closes, not guess them.
bool IsOpen(int Fd)
{
    return ::fcntl(Fd, F_GETFD) != -1;
}

UniqueFd OpenNull()
{
    return UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
}

}  // namespace

TEST(UniqueFd, ClosesItsDescriptorWhenItGoes)
{
    int fd = -1;
    {
        const UniqueFd owner = OpenNull();
        fd = owner.Get();
        ASSERT_TRUE(IsOpen(fd));
    }
    EXPECT_FALSE(IsOpen(fd));
}

TEST(UniqueFd, MovingHandsTheDescriptorOverWithoutClosingIt)
{
    UniqueFd first = OpenNull();
    const int fd = first.Get();
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(second.Get(), fd);
    EXPECT_TRUE(IsOpen(fd));
}

TEST(UniqueFd, MoveAssignmentOverAnOpenOneClosesTheOldOneOnly)
{
    UniqueFd target = OpenNull();
    UniqueFd source = OpenNull();
    const int old = target.Get();
    const int moved = source.Get();
    target = std::move(source);
    EXPECT_FALSE(IsOpen(old));
    EXPECT_TRUE(IsOpen(moved));
    EXPECT_EQ(target.Get(), moved);
    EXPECT_FALSE(source.Valid());
}

TEST(UniqueFd, ReleasedDescriptorIsNotClosed)
{
    int fd = -1;
    {
        UniqueFd owner = OpenNull();
        fd = owner.Release();
        EXPECT_FALSE(owner.Valid());
    }
    EXPECT_TRUE(IsOpen(fd));
    ::close(fd);
}

TEST(UniqueFd, ResetClosesTheOldDescriptorAndTakesTheNew)
{
    UniqueFd owner = OpenNull();
    const int old = owner.Get();
    const int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    owner.Reset(next);
    EXPECT_FALSE(IsOpen(old));
    EXPECT_EQ(owner.Get(), next);
    owner.Reset();
    EXPECT_FALSE(IsOpen(next));
    EXPECT_FALSE(owner.Valid());
}

// A descriptor closed twice could close an unrelated one opened in between with the same number.
TEST(UniqueFd, ClosesExactlyOnce)
{
    int fd = -1;
    {
        UniqueFd owner = OpenNull();
        fd = owner.Get();
        UniqueFd moved = std::move(owner);
        moved.Reset();
        // the number is free again and now names another file
        const int reused = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(reused, fd);
    }
    // neither the emptied nor the reset owner touched the reused number on its way out
    EXPECT_TRUE(IsOpen(fd));
    ::close(fd);
}
