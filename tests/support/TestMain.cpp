// The one main of every test executable: a GUI application created before any test runs, so the whole
// binary works in one process whatever order or filter the tests run in, and a private link directory and
// registry and settings folder, so that neither the user's running programs nor the machine's settings take part.

#include <gmock/gmock.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <iostream>

namespace {

bool MakePrivateDirectory(const QTemporaryDir& root, const char* name, const char* variable)
{
    const QString path = root.filePath(QLatin1String(name));
    if (!QDir().mkdir(path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    return ::setenv(variable, QFile::encodeName(path).constData(), 1) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QTemporaryDir root;
    if (!root.isValid() || !MakePrivateDirectory(root, "run", "XDG_RUNTIME_DIR") ||
        !MakePrivateDirectory(root, "registry", "SEWELLA_REGISTRY_PATH") ||
        !MakePrivateDirectory(root, "config", "XDG_CONFIG_HOME")) {
        std::cerr << "cannot create the tests' private directories\n";
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
