// Joining layers: which joints the table refuses (with which message), what a joint asks of the chart, and
// copying a table.

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "chart/JointLayers.h"

namespace {

struct RecordingHost : IJointLayerHost {
    std::vector<std::tuple<int, bool, int>> calls;
    void TakeAxisRange(int layer, bool xAxis, int fromLayer) override { calls.emplace_back(layer, xAxis, fromLayer); }
};

// The chart error's message, or "" when nothing was raised.
std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EQuarnRChartError& e) {
        return e.what();
    }
    return {};
}

class JointLayers : public testing::Test {
protected:
    JointLayers() : joints(nullptr, &host)
    {
        joints.OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &joints);
            ++notes;
        };
    }

    // A refused joint leaves the table alone, asks nothing of the chart and does not notify.
    void ExpectRefused(const std::function<void()>& action, const std::string& message)
    {
        const auto before = Entries();
        const auto calls = host.calls.size();
        const int notesBefore = notes;
        EXPECT_EQ(ErrorOf(action), message);
        EXPECT_EQ(Entries(), before);
        EXPECT_EQ(host.calls.size(), calls);
        EXPECT_EQ(notes, notesBefore);
    }

    std::vector<int> Entries() const
    {
        std::vector<int> entries;
        for (int n = 1; n <= ChartLayerCount; ++n)
            entries.insert(entries.end(), {joints.ControlledBy(n, true), joints.ControlledBy(n, false)});
        return entries;
    }

    RecordingHost host;
    TJointLayers joints;
    int notes = 0;
};

TEST_F(JointLayers, AJoinedLayerTakesTheDestinationsRangeOnThatAxis)
{
    joints.SetL02xControlledBy(1);
    EXPECT_EQ(joints.L02xControlledBy(), 1);
    EXPECT_EQ(joints.L02yControlledBy(), 2);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], std::make_tuple(2, true, 1));
    EXPECT_EQ(notes, 1);

    joints.SetL07yControlledBy(3);
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ(host.calls[1], std::make_tuple(7, false, 3));
}

TEST_F(JointLayers, JoinedDestinationsAndJoinedSourcesAreRefused)
{
    joints.SetL02xControlledBy(1);
    ExpectRefused([&] { joints.SetL03xControlledBy(2); }, "Destination layer 2 is already joined");
    ExpectRefused([&] { joints.SetL01xControlledBy(4); }, "Layer 1 is joined by other layers (2)");
    // the y axis keeps a table of its own
    joints.SetL01yControlledBy(4);
    EXPECT_EQ(joints.L01yControlledBy(), 4);
}

TEST_F(JointLayers, AllLayersJoinedToOneAreListedInOrder)
{
    joints.SetL05yControlledBy(2);
    joints.SetL03yControlledBy(2);
    joints.SetL16yControlledBy(2);
    ExpectRefused([&] { joints.SetL02yControlledBy(7); }, "Layer 2 is joined by other layers (3, 5, 16)");
}

TEST_F(JointLayers, DestinationsOutsideTheLayersAreRefused)
{
    ExpectRefused([&] { joints.SetL05yControlledBy(17); }, "Destination layer 17 is out of range");
    ExpectRefused([&] { joints.SetL05xControlledBy(0); }, "Destination layer 0 is out of range");
    ExpectRefused([&] { joints.SetL05xControlledBy(-3); }, "Destination layer -3 is out of range");
}

TEST_F(JointLayers, TheLayerItselfReleasesTheJointQuietly)
{
    joints.SetL04xControlledBy(9);
    host.calls.clear();
    notes = 0;
    joints.SetL04xControlledBy(4);
    EXPECT_EQ(joints.L04xControlledBy(), 4);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(notes, 0);
    // released, layer 9 may now join elsewhere
    joints.SetL09xControlledBy(1);
    EXPECT_EQ(joints.L09xControlledBy(), 1);
}

TEST_F(JointLayers, AssignCopiesTheTableAndTheCopyReports)
{
    RecordingHost sourceHost;
    TJointLayers source(nullptr, &sourceHost);
    source.SetL02xControlledBy(1);
    source.SetL16yControlledBy(8);
    int sourceNotes = 0;
    source.OnChange = [&](QObject*) { ++sourceNotes; };

    joints.SetL05xControlledBy(6);
    host.calls.clear();
    notes = 0;
    joints.Assign(source);
    EXPECT_EQ(joints.L02xControlledBy(), 1);
    EXPECT_EQ(joints.L16yControlledBy(), 8);
    EXPECT_EQ(joints.L05xControlledBy(), 5);
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(sourceNotes, 0);
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
