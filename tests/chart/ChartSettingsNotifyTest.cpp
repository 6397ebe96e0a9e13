// Every published setter of the chart's settings objects reports through OnChange, with an unchanged value as
// well as a new one; the walk over the property lists catches a setter that forgets to.

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "chart/BackgroundImage.h"
#include "chart/ChartScaleProps.h"
#include "chart/JointLayers.h"
#include "support/PublishedProperties.h"

namespace {

QVariant OtherValue(const QVariant& current)
{
    if (current.metaType() == QMetaType::fromType<TFont>()) {
        TFont font = current.value<TFont>();
        font.SetHeight(font.Height() + 3);
        return QVariant::fromValue(font);
    }
    return published::OtherValue(current);
}

struct SettingsObject {
    const char* name;
    std::function<std::unique_ptr<TSettingsRecord>()> create;
};

TEST(SettingsNotify, EveryPublishedSetterNotifiesForUnchangedAndNewValues)
{
    const SettingsObject objects[] = {
        {"TScalePropsHoriz", [] { return std::make_unique<TScalePropsHoriz>(); }},
        {"TScalePropsVert", [] { return std::make_unique<TScalePropsVert>(); }},
        {"TBakGndImg", [] { return std::make_unique<TBakGndImg>(); }},
    };
    for (const SettingsObject& o : objects) {
        SCOPED_TRACE(o.name);
        const std::unique_ptr<TSettingsRecord> object = o.create();
        int notes = 0;
        object->OnChange = [&](QObject* sender) {
            EXPECT_EQ(sender, object.get());
            ++notes;
        };
        int walked = 0;
        for (const QMetaProperty& p : published::PropertiesOf(*object)) {
            // MinRange reports only a change of the range (its own test)
            if (!p.isWritable() || p.name() == QByteArray("MinRange"))
                continue;
            SCOPED_TRACE(p.name());
            ++walked;
            const QVariant current = p.read(object.get());
            notes = 0;
            ASSERT_TRUE(p.write(object.get(), current));
            EXPECT_EQ(notes, 1) << "unchanged value";

            const QVariant other = OtherValue(current);
            ASSERT_TRUE(other.isValid()) << "no other value known for " << current.metaType().name();
            notes = 0;
            ASSERT_TRUE(p.write(object.get(), other));
            EXPECT_EQ(notes, 1) << "new value";
            EXPECT_EQ(p.read(object.get()), other);
        }
        EXPECT_GE(walked, 9);
    }
}

struct JointHost : IJointLayerHost {
    int calls = 0;
    void TakeAxisRange(int, bool, int) override { ++calls; }
};

TEST(SettingsNotify, EveryJointPropertyNotifiesAJointButNotARelease)
{
    JointHost host;
    TJointLayers joints(nullptr, &host);
    int notes = 0;
    joints.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &joints);
        ++notes;
    };
    int walked = 0;
    for (const QMetaProperty& p : published::PropertiesOf(joints)) {
        SCOPED_TRACE(p.name());
        // published in layer order, x before y
        const int layer = walked / 2 + 1;
        const bool xAxis = walked % 2 == 0;
        ++walked;
        EXPECT_EQ(QString::fromLatin1(p.name()),
            QStringLiteral("L%1%2ControlledBy").arg(layer, 2, 10, QLatin1Char('0')).arg(xAxis ? 'x' : 'y'));
        EXPECT_EQ(p.read(&joints).toInt(), layer);
        const int destination = layer == 1 ? 2 : 1;
        notes = host.calls = 0;
        ASSERT_TRUE(p.write(&joints, destination));
        EXPECT_EQ(joints.ControlledBy(layer, xAxis), destination);
        EXPECT_EQ(joints.ControlledBy(layer, !xAxis), layer);
        EXPECT_EQ(notes, 1);
        EXPECT_EQ(host.calls, 1);

        notes = host.calls = 0;
        ASSERT_TRUE(p.write(&joints, layer));
        EXPECT_EQ(p.read(&joints).toInt(), layer);
        EXPECT_EQ(notes, 0);
        EXPECT_EQ(host.calls, 0);
    }
    EXPECT_EQ(walked, 2 * ChartLayerCount);
}

}  // namespace
