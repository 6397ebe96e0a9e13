#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/os/Registry.h"

namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"SEWELLA_REGISTRY_PATH", "XDG_CONFIG_DIRS", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        root = fs::temp_directory_path() / ("registry-" + std::to_string(::getpid()));
        fs::create_directories(root);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        fs::remove_all(root);
    }

    std::string Ini(const std::string& Dir, const std::string& Text)
    {
        const fs::path file = root / Dir / "Quellwerk" / "tarvos.ini";
        fs::create_directories(file.parent_path());
        std::ofstream(file) << Text;
        return (root / Dir).string();
    }

    fs::path root;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(RegistryTest, KeyNamesOrganisationApplicationAndGroup)
{
    const std::string first = Ini("first", "[demon]\nViewerHandle=0000abcd\nList=a, b\n[demon/deeper]\nX=deep\n");
    const std::string second = Ini("second", "[General]\nTop=top\n[demon]\nViewerHandle=ignored\nOnlyHere=second\n");
    ::setenv("SEWELLA_REGISTRY_PATH", (first + ":" + second).c_str(), 1);
    const struct {
        const char* key;
        const char* value;
        const char* expected;
    } rows[] = {
        {"\\Software\\Quellwerk\\tarvos\\demon", "ViewerHandle", "0000abcd"},
        {"Software\\Quellwerk\\tarvos\\demon", "ViewerHandle", "0000abcd"},
        {"\\SOFTWARE\\Quellwerk\\tarvos\\demon\\", "ViewerHandle", "0000abcd"},
        {"\\Software\\Quellwerk\\tarvos\\demon", "OnlyHere", "second"},
        {"\\Software\\Quellwerk\\tarvos\\demon", "List", "a, b"},
        {"\\Software\\Quellwerk\\tarvos\\demon\\deeper", "X", "deep"},
        {"\\Software\\Quellwerk\\tarvos", "Top", "top"},
        {"\\Software\\Quellwerk\\tarvos\\demon", "Missing", ""},
        {"\\Software\\Quellwerk\\tarvos\\other", "ViewerHandle", ""},
        {"\\Software\\Quellwerk\\nothere\\demon", "ViewerHandle", ""},
        {"\\Software\\Quellwerk", "ViewerHandle", ""},
        {"\\Hardware\\Quellwerk\\tarvos\\demon", "ViewerHandle", ""},
        {"\\Software\\..\\tarvos\\demon", "ViewerHandle", ""},
        {"", "ViewerHandle", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.value);
        EXPECT_EQ(ReadRegistryString(RegistryRoot::LocalMachine, row.key, row.value), row.expected);
    }
}

TEST_F(RegistryTest, WithoutOverrideTheConfigurationDirectoriesAreSearched)
{
    ::unsetenv("SEWELLA_REGISTRY_PATH");
    ::setenv("XDG_CONFIG_DIRS", Ini("system", "[demon]\nViewerHandle=system\n").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", Ini("user", "[demon]\nViewerHandle=user\n").c_str(), 1);
    const std::string key = "\\Software\\Quellwerk\\tarvos\\demon";
    EXPECT_EQ(ReadRegistryString(RegistryRoot::LocalMachine, key, "ViewerHandle"), "system");
    EXPECT_EQ(ReadRegistryString(RegistryRoot::CurrentUser, key, "ViewerHandle"), "user");
}

}  // namespace
