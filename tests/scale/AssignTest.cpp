// Assign copies every published property, except the few a class keeps as its own; the walk over
// the property list catches a field that a new setting forgot to bring along.

#include <gtest/gtest.h>

#include "support/PublishedProperties.h"
#include "scale/Quarn_Scale.h"

namespace {

TEST(PublishedAssign, ScaleCopiesEveryPublishedPropertyButVisible)
{
    TScale source;
    published::ChangeEveryWritableProperty(source);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    TScale target;
    target.Assign(source);
    // whether a scale is shown belongs to where it is placed, like its size and hosting
    published::ExpectPropertiesCopied(source, target, {"Visible"});
}

TEST(PublishedAssign, DateLabelCopiesEveryPublishedProperty)
{
    TDTLabel source;
    published::ChangeEveryWritableProperty(source);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    TDTLabel target;
    int notes = 0;
    target.OnChange = [&](QObject*) { ++notes; };
    target.Assign(source);
    published::ExpectPropertiesCopied(source, target);
    EXPECT_EQ(notes, 1);
}

TEST(PublishedAssign, ScaleDefaultsOfTheDateLabelAreItsFormatsDefaults)
{
    TDTLabel label;
    EXPECT_EQ(label.DateSeparator(), 0) << "a fresh record has every field zero";
    label.ApplyScaleDefaults();
    const DateLabelFormat defaults;
    EXPECT_EQ(label.TimeFormat(), defaults.TimeFormat);
    EXPECT_EQ(label.DateSeparator(), '-');
    EXPECT_EQ(label.TimeSeparator(), ':');
    EXPECT_EQ(label.YearLength(), ylYYYY);
    EXPECT_TRUE(label.MonthName());
    EXPECT_EQ(label.DateOrder(), doDDMMYY);
    EXPECT_EQ(label.DateForTime(), dtOnePerDay);
}

}  // namespace
