#include <gtest/gtest.h>

#include "platform/draw/MessageBox.h"

namespace {

TEST(MessageBox, RecorderCollectsMessagesAndPutsThePreviousSinkBack)
{
    std::vector<QString> outer;
    const TMessageSink before = SetMessageSink([&](const QString& t) { outer.push_back(t); });
    EXPECT_FALSE(before);
    {
        TMessageRecorder rec;
        ShowInfoMessage(QStringLiteral("RChart: Cannot share data with myself"));
        ShowInfoMessage(QStringLiteral("second"));
        ASSERT_EQ(rec.Messages().size(), 2u);
        EXPECT_EQ(rec.Messages()[0], QStringLiteral("RChart: Cannot share data with myself"));
        rec.Clear();
        EXPECT_TRUE(rec.Messages().empty());
    }
    ShowInfoMessage(QStringLiteral("after"));
    EXPECT_EQ(outer, (std::vector<QString>{QStringLiteral("after")}));
    EXPECT_TRUE(SetMessageSink(TMessageSink()));
}

}  // namespace
