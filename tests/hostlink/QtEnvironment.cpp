#include <gtest/gtest.h>

#include <QGuiApplication>

namespace {

// The component announces the application's display name to the host; the tests expect this one.
class DisplayName : public ::testing::Environment {
public:
    void SetUp() override { QGuiApplication::setApplicationDisplayName("HostlinkTests"); }
};

[[maybe_unused]] const auto* const Registered = ::testing::AddGlobalTestEnvironment(new DisplayName);

}  // namespace
