#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

// One application object for the whole suite, with its own link directory and an empty registry, so that
// neither the user's running programs nor the machine's settings take part.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        QDir(FDir.path()).mkdir("run");
        QFile::setPermissions(FDir.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(FDir.path()).mkdir("registry");
        setenv("XDG_RUNTIME_DIR", FDir.filePath("run").toLocal8Bit().constData(), 1);
        setenv("SEWELLA_REGISTRY_PATH", FDir.filePath("registry").toLocal8Bit().constData(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        FApp = std::make_unique<QApplication>(FArgc, FArgv);
        QApplication::setApplicationDisplayName("HostlinkTests");
    }
    void TearDown() override { FApp.reset(); }

private:
    QTemporaryDir FDir;
    int FArgc = 1;
    char FName[16] = "hostlink_tests";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] const auto* const Registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
