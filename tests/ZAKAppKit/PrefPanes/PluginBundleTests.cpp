#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPreferencePanel.h"

namespace {

Ref<NSBundle> fixtureBundle(const char* name)
{
    return NSBundle::bundleWithPath(
        NSString::stringWithUTF8String((std::string(PLUMBLINE_PREFPANE_BUNDLES) + "/" + name + ".prefPane").c_str()));
}

// Whether the bundle's shared object is in the process, without loading it.
bool codeIsLoaded(const Ref<NSBundle>& bundle)
{
    auto path = bundle->executablePath();
    if (!path) return false;
    void* handle = ::dlopen(path->UTF8String().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) ::dlclose(handle);  // drops only the reference taken here
    return handle != nullptr;
}

bool logged(const LogCapture& log, const std::string& text)
{
    for (const auto& line : log.lines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(PluginBundle, LoadsOnceAndOwnsTheClassesItRegisters)
{
    auto bundle = fixtureBundle("GoodPane");
    ASSERT_TRUE(bundle);
    EXPECT_TRUE(bundle->executablePath()->hasSuffix("/GoodPane.prefPane/Linux/libGoodPane.so"_ns));
    // (Each test runs in a process of its own under CTest; run together,
    // an earlier test may have loaded the bundle.)
    if (!bundle->isLoaded()) {
        EXPECT_FALSE(codeIsLoaded(bundle));
        EXPECT_FALSE(NSClassFromString("GoodPrefPane"_ns));
    }

    EXPECT_TRUE(bundle->load());
    EXPECT_TRUE(bundle->isLoaded());
    EXPECT_TRUE(codeIsLoaded(bundle));
    EXPECT_TRUE(bundle->load());
    const NSClass* principal = bundle->principalClass();
    ASSERT_TRUE(principal);
    EXPECT_EQ(principal->name(), "GoodPrefPane");
    EXPECT_EQ(bundle->classNamed("GoodPrefPane"_ns), principal);
    EXPECT_EQ(NSClassFromString("GoodPrefPane"_ns), principal);
    EXPECT_FALSE(bundle->classNamed("ZAKPreferencePanel"_ns));  // not the bundle's
    EXPECT_EQ(NSBundle::bundleForClass(*principal).get(), bundle.get());
    EXPECT_TRUE(NSBundle::mainBundle()->isLoaded());
}

TEST(PluginBundle, RefusedBundlesLogOnceAndLoadNothing)
{
    {
        LogCapture log;
        auto old = fixtureBundle("OldFrameworkPane");
        EXPECT_FALSE(old->load());
        EXPECT_FALSE(old->isLoaded());
        EXPECT_FALSE(codeIsLoaded(old));
        EXPECT_FALSE(old->principalClass());
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(logged(log, "built for framework version 0, not 1"));
    }
    {
        // Registering an existing name would have raised inside the loader.
        LogCapture log;
        auto taken = fixtureBundle("TakenNamePane");
        EXPECT_FALSE(taken->load());
        EXPECT_TRUE(logged(log, "class ZAKPreferencePanel already exists"));
        EXPECT_EQ(NSClassFromString("ZAKPreferencePanel"_ns), &ZAKPreferencePanel::staticClass());
        EXPECT_EQ(NSBundle::bundleForClass(ZAKPreferencePanel::staticClass()).get(), NSBundle::mainBundle().get());
    }

    TemporaryFolder folder;
    const std::string root = folder.path() + "/Broken.prefPane";
    std::filesystem::create_directories(root + "/Linux");
    std::ofstream(root + "/Info.plist") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                           "<key>CFBundleExecutable</key><string>Broken</string>"
                                           "<key>PlumblineFrameworkVersion</key><integer>1</integer></dict></plist>\n";
    std::ofstream(root + "/Linux/libBroken.so") << "not a shared object";
    auto broken = NSBundle::bundleWithPath(NSString::stringWithUTF8String(root.c_str()));
    LogCapture log;
    EXPECT_FALSE(broken->load());
    EXPECT_FALSE(broken->load());
    EXPECT_FALSE(broken->classNamed("Anything"_ns));
    ASSERT_EQ(log.lines().size(), 1u);  // the loader's own words, once
    EXPECT_TRUE(logged(log, "libBroken.so"));

    std::filesystem::remove(root + "/Linux/libBroken.so");
    auto empty = NSBundle::bundleWithPath(NSString::stringWithUTF8String(folder.path().c_str()));
    EXPECT_FALSE(empty->executablePath());
    EXPECT_FALSE(empty->load());
}
