#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/ChartData.h"

namespace {

std::size_t ArrayLength(const TChartData& d)
{
    return d.Items().Items.size();
}

QString u8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const ChartItem& Item(const TChartData& d, int index)
{
    return d.Items().Items.at(std::size_t(index));
}

// Records the order in which the charts of a sharing group ask for a repaint.
struct RepaintLog {
    std::vector<std::string> Names;
    void Watch(TChartData& chart, std::string name)
    {
        chart.RepaintIfAuto = [this, name] { Names.push_back(name); };
    }
};

TEST(ChartData, TheThousandAndFirstItemGrowsTheArrayByTheStepAndKeepsTheFirstThousand)
{
    TChartData d;
    for (int i = 0; i < 1000; ++i)
        d.AddMark(std::uint8_t(i % 48), i, -i);
    EXPECT_EQ(ArrayLength(d), 1000u);
    d.AddMark(3, 1000, -1000);
    EXPECT_EQ(d.Items().Count, 1001);
    EXPECT_EQ(ArrayLength(d), 2000u);
    for (int i = 0; i <= 1000; ++i) {
        ASSERT_EQ(Item(d, i).x1, i) << i;
        ASSERT_EQ(Item(d, i).y1, -i) << i;
        ASSERT_EQ(Item(d, i).MarkKind, i < 1000 ? i % 48 : 3) << i;
    }
    const ChartItem& unused = Item(d, 1999);
    EXPECT_EQ(unused.x1, 0);
    EXPECT_EQ(unused.Color, 0u);
    EXPECT_EQ(unused.Text, 0u);
}

TEST(ChartData, AllocSizeAcceptsOnlyOneToAMillionAndSetsTheGrowthStep)
{
    const struct {
        std::int32_t Value;
        std::int32_t Expected;
    } rows[] = {{1, 1}, {1000000, 1000000}, {7, 7}, {0, 1000}, {-3, 1000}, {1000001, 1000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Value);
        TChartData d;
        d.SetAllocSize(row.Value);
        EXPECT_EQ(d.AllocSize(), row.Expected);
    }
    TChartData d;
    d.SetAllocSize(3);
    for (int i = 0; i < 4; ++i)
        d.AddRectangle(i, i, i + 1, i + 1);
    EXPECT_EQ(ArrayLength(d), 6u);
}

TEST(ChartData, ClearEmptiesTheArrayAndTheNextAddStartsFromZeroFilledEntries)
{
    TChartData d;
    int backgrounds = 0;
    d.PaintPlotBackground = [&] { ++backgrounds; };
    d.SetAllocSize(4);
    d.SetFillColor(0x123456);
    d.AddText(12, u"abc", 1, 2);
    d.AddRectangle(1, 2, 3, 4);
    d.ClearItems();
    EXPECT_EQ(backgrounds, 1);
    EXPECT_EQ(d.Items().Count, 0);
    EXPECT_EQ(ArrayLength(d), 0u);

    d.AddMark(5, 7, 8);
    d.AddMark(6, 9, 10);
    EXPECT_EQ(ArrayLength(d), 4u);
    // the marks occupy the entries that held the text and the rectangle: fields marks do not use are zero
    EXPECT_EQ(Item(d, 0).Text, 0u);
    EXPECT_TRUE(d.Items().Texts.empty());
    EXPECT_EQ(Item(d, 0).Size, 0);
    EXPECT_EQ(Item(d, 1).FillColor, 0u);
    EXPECT_EQ(Item(d, 1).x2, 0);
    EXPECT_EQ(Item(d, 1).MarkKind, 6);
}

// A cleared list hands out its old entries again without zeroing them first: each add must leave nothing of the
// item that was there before.
TEST(ChartData, ARefilledEntryKeepsNothingOfTheItemThatHeldItBefore)
{
    TChartData d;
    d.SetAllocSize(3);
    d.SetFillColor(0x0000FF);
    d.AddText(12, u"a long old text", 1, 2);
    d.AddRectangle(1, 2, 3, 4);
    d.AddText(9, u"another text", 5, 6);
    d.ClearItems();

    d.SetFillColor(0x00FF00);
    d.AddMark(2, 7, 8);              // over the long text
    d.AddText(10, u"xy", 9, 10);     // over the rectangle
    d.AddRectangle(11, 12, 13, 14);  // over the other text
    EXPECT_STREQ(d.Items().TextOf(Item(d, 0)), "");
    EXPECT_EQ(Item(d, 0).Size, 0);
    EXPECT_EQ(Item(d, 0).MarkKind, 2);
    EXPECT_STREQ(d.Items().TextOf(Item(d, 1)), "xy");
    ASSERT_EQ(d.Items().Texts.size(), 1u);  // the cleared texts are gone
    const ChartItemText& xy = d.Items().Texts[0];
    EXPECT_TRUE(std::all_of(xy.begin() + 2, xy.end(), [](char c) { return c == '\0'; })) << "no rest of the old text";
    EXPECT_EQ(Item(d, 1).FillColor, 0u);
    EXPECT_EQ(Item(d, 1).x2, 0);
    EXPECT_EQ(Item(d, 1).y2, 0);
    EXPECT_STREQ(d.Items().TextOf(Item(d, 2)), "");
    EXPECT_EQ(Item(d, 2).Size, 0);
    EXPECT_EQ(Item(d, 2).FillColor, 0x00FF00u);
    EXPECT_EQ(Item(d, 2).x2, 13);
    EXPECT_EQ(ArrayLength(d), 3u);
    EXPECT_THROW(Item(d, 3), std::out_of_range);  // the old length is gone with the clear
}

TEST(ChartData, ItemsCaptureTheAttributesCurrentWhenTheyWereAdded)
{
    TChartData d;
    d.SetDataColor(0x0000FF);
    d.SetFillColor(0x00FF00);
    d.SetPenStyle(psDash);
    d.SetLineWidth(3);
    d.SetClassDefault(9);
    d.AddRectangle(1, 2, 3, 4);

    d.SetDataColor(0xFF0000);
    d.SetFillColor(0x0000FF);
    d.SetPenStyle(psDot);
    d.SetLineWidth(5);
    d.SetClassDefault(255);  // ignored: the class stays 9
    d.AddMark(17, 5, 6);
    d.SetClassDefault(0);
    d.AddText(10, u"t", 7, 8);

    const ChartItem& rect = Item(d, 0);
    EXPECT_EQ(rect.Kind, TChartItemKind::Rectangle);
    EXPECT_EQ(rect.Color, 0x0000FFu);
    EXPECT_EQ(rect.FillColor, 0x00FF00u);
    EXPECT_EQ(rect.PenStyle, psDash);
    EXPECT_EQ(rect.LineWidth, 3);
    EXPECT_EQ(rect.Class, 9);
    EXPECT_EQ(rect.Layer, 1);
    EXPECT_EQ(rect.x2, 3);
    EXPECT_EQ(rect.y2, 4);

    const ChartItem& mark = Item(d, 1);
    EXPECT_EQ(mark.Kind, TChartItemKind::Mark);
    EXPECT_EQ(mark.Color, 0xFF0000u);
    EXPECT_EQ(mark.FillColor, 0u);  // marks take no fill colour
    EXPECT_EQ(mark.PenStyle, psDot);
    EXPECT_EQ(mark.LineWidth, 5);
    EXPECT_EQ(mark.Class, 9);
    EXPECT_EQ(mark.MarkKind, 17);

    const ChartItem& text = Item(d, 2);
    EXPECT_EQ(text.Kind, TChartItemKind::Text);
    EXPECT_EQ(text.Class, 0);
    EXPECT_EQ(text.Size, 10);
    EXPECT_EQ(text.x1, 7);
    EXPECT_EQ(text.y1, 8);
}

TEST(ChartData, TextIsCutToItsFirstFifteenWholeCharacters)
{
    const QString grin = QString::fromUcs4(U"\U0001F600");
    const struct {
        const char* Name;
        QString Text;
        QString Expected;
    } rows[] = {
        {"empty", u8(""), u8("")},
        {"short", u8("Histogram"), u8("Histogram")},
        {"twenty ASCII", u8("abcdefghijklmnopqrst"), u8("abcdefghijklmno")},
        {"exactly fifteen", u8("abcdefghijklmno"), u8("abcdefghijklmno")},
        {"two-byte characters", u8("äöüßéèêëàáâãåçñÄÖÜ"), u8("äöüßéèêëàáâãåçñ")},
        {"three-byte characters", u8("€€€€€€€€€€€€€€€€"), u8("€€€€€€€€€€€€€€€")},
        {"astral character at the cut", u8("abcdefghijklmn") + grin + u8("z"), u8("abcdefghijklmn") + grin},
        {"astral character after the fifteenth", u8("abcdefghijklmno") + grin, u8("abcdefghijklmno")},
        {"sixteen astral characters", grin.repeated(16), grin.repeated(15)},
        {"unpaired surrogate", QString(QChar(0xD800)) + u8("a"), QString(QChar::ReplacementCharacter) + u8("a")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TChartData d;
        d.AddText(8, row.Text, 0, 0);
        EXPECT_EQ(std::string(d.Items().TextOf(Item(d, 0))), row.Expected.toStdString());
    }
}

TEST(ChartData, ASharingChainEndsAtTheFirstOwner)
{
    TChartData a, b, c;
    EXPECT_EQ(b.UseDataOf(&a), TShareResult::Done);
    EXPECT_EQ(c.UseDataOf(&b), TShareResult::Done);
    EXPECT_EQ(c.DataOwner(), &a);
    EXPECT_EQ(b.DataOwner(), &a);
    ASSERT_EQ(a.DataUserCount(), 2);
    EXPECT_EQ(a.DataUser(0), &b);
    EXPECT_EQ(a.DataUser(1), &c);
    EXPECT_EQ(b.DataUserCount(), 0);
}

TEST(ChartData, AnItemAddedThroughAnyChartOfAGroupIsSeenByAll)
{
    TChartData a, b, c;
    a.AddMark(1, 1, 1);  // a's items before sharing replace b's and c's
    b.AddMark(2, 2, 2);
    ASSERT_EQ(b.UseDataOf(&a), TShareResult::Done);
    ASSERT_EQ(c.UseDataOf(&a), TShareResult::Done);
    c.SetDataColor(0x00AA00);
    c.AddRectangle(0, 0, 5, 5);
    for (const TChartData* chart : {&a, &b, &c}) {
        ASSERT_EQ(chart->Items().Count, 2);
        EXPECT_EQ(Item(*chart, 0).MarkKind, 1);
        EXPECT_EQ(Item(*chart, 1).Color, 0x00AA00u);
    }
    b.ClearItems();
    for (const TChartData* chart : {&a, &b, &c})
        EXPECT_EQ(chart->Items().Count, 0);
}

TEST(ChartData, AddsThroughChartsWithDifferentStepsNeverWriteOutsideTheSharedArray)
{
    TChartData owner, user;
    owner.SetAllocSize(10);
    user.SetAllocSize(1000);
    ASSERT_EQ(user.UseDataOf(&owner), TShareResult::Done);
    for (int i = 0; i < 25; ++i)
        (i % 2 == 0 ? owner : user).AddMark(std::uint8_t(i), i, 2 * i);
    for (const TChartData* chart : {&owner, &user}) {
        ASSERT_EQ(chart->Items().Count, 25);
        EXPECT_GE(ArrayLength(*chart), 25u);
        for (int i = 0; i < 25; ++i) {
            EXPECT_EQ(Item(*chart, i).x1, i);
            EXPECT_EQ(Item(*chart, i).y1, 2 * i);
            EXPECT_EQ(Item(*chart, i).MarkKind, i);
        }
    }
}

TEST(ChartData, RefusalsInTheirOrderLeaveTheSharingAsItWas)
{
    TChartData a, b, c, d, e, f, lone;
    for (TChartData* user : {&b, &c, &d, &e})
        ASSERT_EQ(user->UseDataOf(&a), TShareResult::Done);
    f.AddMark(4, 4, 4);
    const struct {
        const char* Name;
        TChartData* Chart;
        TChartData* Target;
        TShareResult Expected;
    } rows[] = {
        {"owner with itself", &a, &a, TShareResult::RefusedSelf},
        {"owner with none", &a, nullptr, TShareResult::RefusedHasUsers},
        {"owner with another chart", &a, &f, TShareResult::RefusedHasUsers},
        {"user with itself", &b, &b, TShareResult::RefusedSelf},
        {"fifth user", &f, &a, TShareResult::RefusedFull},
        {"fifth user through a user", &f, &c, TShareResult::RefusedFull},
        {"user naming its owner again", &b, &a, TShareResult::Unchanged},
        {"lone chart with none", &lone, nullptr, TShareResult::Unchanged},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        RepaintLog log;
        log.Watch(*row.Chart, "chart");
        EXPECT_EQ(row.Chart->UseDataOf(row.Target), row.Expected);
        EXPECT_TRUE(log.Names.empty());
        ASSERT_EQ(a.DataUserCount(), 4);
        EXPECT_EQ(a.DataUser(0), &b);
        EXPECT_EQ(a.DataUser(3), &e);
        EXPECT_EQ(f.DataOwner(), nullptr);
        ASSERT_EQ(f.Items().Count, 1);  // f keeps its own list
        EXPECT_EQ(Item(f, 0).MarkKind, 4);
    }
}

TEST(ChartData, EachRefusalHasItsMessage)
{
    EXPECT_EQ(ShareRefusalMessage(TShareResult::RefusedSelf), u8("RChart: Cannot share data with myself"));
    EXPECT_EQ(ShareRefusalMessage(TShareResult::RefusedHasUsers),
        u8("RChart: Cannot use foreign data. Other RCharts are using my own data."));
    EXPECT_EQ(ShareRefusalMessage(TShareResult::RefusedFull), u8("RChart: Max. number of data shares exceeded"));
    EXPECT_TRUE(ShareRefusalMessage(TShareResult::Done).isEmpty());
    EXPECT_TRUE(ShareRefusalMessage(TShareResult::Unchanged).isEmpty());
}

TEST(ChartData, MovingToAnotherOwnerClosesTheGapInTheOldOwnersSlots)
{
    TChartData a, b, c, d, other;
    for (TChartData* user : {&b, &c, &d})
        ASSERT_EQ(user->UseDataOf(&a), TShareResult::Done);
    other.AddMark(9, 0, 0);
    RepaintLog log;
    log.Watch(c, "c");
    EXPECT_EQ(c.UseDataOf(&other), TShareResult::Done);
    EXPECT_EQ(log.Names, std::vector<std::string>{"c"});
    ASSERT_EQ(a.DataUserCount(), 2);
    EXPECT_EQ(a.DataUser(0), &b);
    EXPECT_EQ(a.DataUser(1), &d);
    EXPECT_EQ(a.DataUser(2), nullptr);
    EXPECT_EQ(c.DataOwner(), &other);
    ASSERT_EQ(c.Items().Count, 1);
    EXPECT_EQ(Item(c, 0).MarkKind, 9);
}

TEST(ChartData, AChartThatStopsSharingKeepsACopyOfTheItemsItShows)
{
    TChartData a, b;
    ASSERT_EQ(b.UseDataOf(&a), TShareResult::Done);
    a.SetAllocSize(100);
    for (int i = 0; i < 3; ++i)
        a.AddMark(std::uint8_t(i), i, i);
    RepaintLog log;
    log.Watch(b, "b");
    EXPECT_EQ(b.UseDataOf(nullptr), TShareResult::Done);
    EXPECT_EQ(log.Names, std::vector<std::string>{"b"});
    EXPECT_EQ(b.DataOwner(), nullptr);
    EXPECT_EQ(a.DataUserCount(), 0);
    ASSERT_EQ(b.Items().Count, 3);

    a.AddMark(30, 30, 30);
    b.AddMark(40, 40, 40);  // the same index in the array the two charts held: it must not reach a's item
    ASSERT_EQ(a.Items().Count, 4);
    EXPECT_EQ(Item(a, 3).MarkKind, 30);
    ASSERT_EQ(b.Items().Count, 4);
    EXPECT_EQ(Item(b, 3).MarkKind, 40);
    EXPECT_EQ(Item(b, 2).MarkKind, 2);
}

TEST(ChartData, ADestroyedUserLeavesItsOwnersSlots)
{
    TChartData a, c;
    auto b = std::make_unique<TChartData>();
    ASSERT_EQ(b->UseDataOf(&a), TShareResult::Done);
    ASSERT_EQ(c.UseDataOf(&a), TShareResult::Done);
    b.reset();
    ASSERT_EQ(a.DataUserCount(), 1);
    EXPECT_EQ(a.DataUser(0), &c);
    EXPECT_EQ(a.DataUser(1), nullptr);
    RepaintLog log;
    log.Watch(a, "a");
    log.Watch(c, "c");
    c.RepaintSharingCharts();
    EXPECT_EQ(log.Names, (std::vector<std::string>{"a", "c"}));
}

TEST(ChartData, ADestroyedOwnerLeavesItsUsersWithTheirOwnItemsAndNoOwner)
{
    TChartData b, c;
    auto a = std::make_unique<TChartData>();
    a->AddMark(1, 1, 1);
    ASSERT_EQ(b.UseDataOf(a.get()), TShareResult::Done);
    ASSERT_EQ(c.UseDataOf(a.get()), TShareResult::Done);
    a.reset();
    for (TChartData* user : {&b, &c}) {
        EXPECT_EQ(user->DataOwner(), nullptr);
        ASSERT_EQ(user->Items().Count, 1);
        EXPECT_EQ(Item(*user, 0).MarkKind, 1);
    }
    b.AddMark(2, 2, 2);
    EXPECT_EQ(b.Items().Count, 2);
    EXPECT_EQ(c.Items().Count, 1);  // no longer sharing, with each other neither
    EXPECT_EQ(c.UseDataOf(nullptr), TShareResult::Unchanged);
    EXPECT_EQ(b.UseDataOf(&c), TShareResult::Done);
    EXPECT_EQ(c.DataUserCount(), 1);
}

TEST(ChartData, ShowingItemsRepaintsTheOwnerThenItsUsersThenOwnUsers)
{
    TChartData a, b, c, lone;
    RepaintLog log;
    log.Watch(a, "a");
    log.Watch(b, "b");
    log.Watch(c, "c");
    log.Watch(lone, "lone");
    ASSERT_EQ(b.UseDataOf(&a), TShareResult::Done);
    ASSERT_EQ(c.UseDataOf(&a), TShareResult::Done);
    log.Names.clear();

    b.RepaintSharingCharts();
    EXPECT_EQ(log.Names, (std::vector<std::string>{"a", "b", "c"}));
    log.Names.clear();
    a.RepaintSharingCharts();
    EXPECT_EQ(log.Names, (std::vector<std::string>{"b", "c"}));
    log.Names.clear();
    lone.RepaintSharingCharts();
    EXPECT_TRUE(log.Names.empty());
}

TEST(ChartData, OnlyClearingTheSuspendedFlagAsksForAPaint)
{
    TChartData d;
    EXPECT_TRUE(d.UpdateSuspended());
    EXPECT_FALSE(d.SetUpdateSuspended(true));
    EXPECT_TRUE(d.SetUpdateSuspended(false));
    EXPECT_FALSE(d.SetUpdateSuspended(false));
    EXPECT_FALSE(d.SetUpdateSuspended(true));
    EXPECT_TRUE(d.UpdateSuspended());
    d.ResumeUpdatesWithoutPaint();
    EXPECT_FALSE(d.UpdateSuspended());
    EXPECT_FALSE(d.SetUpdateSuspended(false));
}

}  // namespace
