// Login items as XDG autostart entries, checked with the desktop's own
// validator.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"
#include "Foundation/LSSharedFileList.h"
#include "TemporaryFolder.h"

namespace {

// desktop-file-validate's verdict: empty when the entry is valid.
std::string validate(const std::string& entry)
{
    TemporaryFolder out;
    std::string command = "desktop-file-validate '" + entry + "' > " + (out / "log") + " 2>&1";
    int status = std::system(command.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    return readFile(out / "log").value_or("failed") + " (status " + std::to_string(status) + ")";
}

std::string ownExecutable()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, size_t(n)) : "";
}

std::vector<std::string> entryNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class LoginItems : public ::testing::Test {
protected:
    TemporaryFolder config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    Ref<NSWorkspace> workspace = NSWorkspace::sharedWorkspace();
};

}

TEST_F(LoginItems, AddingWritesAValidEntryAndRemovingLeavesOtherProgramsEntries)
{
    writeFile(config / "autostart/other.desktop", "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true\n");
    EXPECT_FALSE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));

    NSWorkspaceExt::addAppAsLoginItem(workspace);
    auto names = entryNames(config / "autostart");
    ASSERT_EQ(names.size(), 2u);
    const std::string own = config / ("autostart/" + names[0]);
    EXPECT_NE(names[0], "other.desktop");
    EXPECT_EQ(validate(own), "");
    EXPECT_TRUE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));

    NSWorkspaceExt::removeAppFromLoginItem(workspace);
    EXPECT_EQ(entryNames(config / "autostart"), std::vector<std::string>{"other.desktop"});
    EXPECT_FALSE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));
}

TEST_F(LoginItems, AnEntryCountsByTheRealPathOfItsProgramAndNotWhenHidden)
{
    // A link to the executable resolves to it; a switched-off entry does not count.
    const std::string link = config / "bin/starter";
    std::filesystem::create_directories(config / "bin");
    std::filesystem::create_symlink(ownExecutable(), link);
    writeFile(config / "autostart/hidden.desktop",
              "[Desktop Entry]\nType=Application\nName=Off\nExec=" + ownExecutable() + "\nHidden=true\n");
    EXPECT_FALSE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));
    writeFile(config / "autostart/linked.desktop", "[Desktop Entry]\nType=Application\nName=On\nExec=" +
                                                       LSSharedFileList::execValueForPath(link) + " --hidden %u\n");
    EXPECT_TRUE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));
}

TEST_F(LoginItems, AnExecutablePathWithSpacesQuotesAndPercentSurvivesTheEntry)
{
    for (std::string folder : {"with space", "with \"quote\"", "100% \\ $HOME `x`"}) {
        SCOPED_TRACE(folder);
        std::filesystem::remove_all(config / "autostart");
        const std::string program = config / (folder + "/prog");
        std::filesystem::create_directories(config / folder);
        std::filesystem::copy_file("/bin/true", program);
        auto list = LSSharedFileList::sessionLoginItems();
        ASSERT_TRUE(list);
        ASSERT_TRUE(list->insertItemLast("org.example.Prog", "Prog \"One\"\nTwo", program));
        EXPECT_EQ(validate(config / "autostart/org.example.Prog.desktop"), "");
        auto items = list->snapshot();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].resolvedPath, program);
    }
}

TEST_F(LoginItems, WithoutAConfigurationFolderNothingIsWritten)
{
    ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_FALSE(LSSharedFileList::sessionLoginItems());
    NSWorkspaceExt::addAppAsLoginItem(workspace);
    EXPECT_FALSE(NSWorkspaceExt::isAppRegisteredAsLoginItem(workspace));
    EXPECT_FALSE(std::filesystem::exists(config / "autostart"));
}
