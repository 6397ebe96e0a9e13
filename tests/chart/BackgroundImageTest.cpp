// The background settings keep only the file name of an image unless told to keep its path.

#include <gtest/gtest.h>

#include "chart/BackgroundImage.h"
#include "support/PublishedProperties.h"

namespace {

TEST(BackgroundImage, WithoutIncludePathOnlyTheFileNameIsKept)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\pictures\\sky.bmp", "sky.bmp"},
        {"/home/anna/img/grid.png", "grid.png"},
        {"D:sky.bmp", "sky.bmp"},
        {"a/b\\c.bmp", "c.bmp"},
        {"a\\b/c.bmp", "c.bmp"},
        {"plain.bmp", "plain.bmp"},
        {"pictures/", ""},
        {"", ""},
    };
    TBakGndImg image;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        image.SetName(QString::fromUtf8(c.path));
        EXPECT_EQ(image.Name(), QString::fromUtf8(c.name));
    }
}

TEST(BackgroundImage, IncludePathKeepsTheNameUntilItIsSwitchedOff)
{
    TBakGndImg image;
    image.SetIncludePath(true);
    image.SetName(QStringLiteral("C:\\pictures\\sky.bmp"));
    EXPECT_EQ(image.Name(), QStringLiteral("C:\\pictures\\sky.bmp"));
    image.SetIncludePath(true);
    EXPECT_EQ(image.Name(), QStringLiteral("C:\\pictures\\sky.bmp"));
    image.SetIncludePath(false);
    EXPECT_EQ(image.Name(), QStringLiteral("sky.bmp"));
    // turning it on again does not bring the path back
    image.SetIncludePath(true);
    EXPECT_EQ(image.Name(), QStringLiteral("sky.bmp"));
}

TEST(BackgroundImage, AssignCopiesEverySettingAndNotifiesOnce)
{
    TBakGndImg source;
    source.SetIncludePath(true);
    published::ChangeEveryWritableProperty(source);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    TBakGndImg target;
    int notes = 0;
    target.OnChange = [&](QObject*) { ++notes; };
    target.Assign(source);
    published::ExpectPropertiesCopied(source, target);
    EXPECT_EQ(notes, 1);
}

}  // namespace
