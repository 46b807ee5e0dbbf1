// Live links over a private session bus: publishing, a second process that
// serves "Upper", edits both ways, closing, the search for the server's
// application and the wait for it to publish.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "AppKit/AlertLog.h"
#include "AppKit/NSAlert.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "LiveLink/LiveLink.h"
#include "LiveLink/LiveLinkBus.h"
#include "LiveLink/LiveLinkServer.h"
#include "LiveLink/NSDictionary+LiveLinkData.h"
#include "LogCapture.h"
#include "PrivateSessionBus.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"

class RecordingLinkDelegate : public NSObject, public LiveLinkDelegate {
    NS_OBJECT(RecordingLinkDelegate, NSObject)
protected:
    RecordingLinkDelegate() = default;

public:
    int closed = 0, edits = 0, requests = 0;
    Ref<LiveLink> lastLink;
    void liveLinkDidClose(const Ref<LiveLink>& link) override
    {
        ++closed;
        lastLink = link;
    }
    void liveLinkClientDidRequestEdit(const Ref<LiveLink>& link) override
    {
        ++requests;
        lastLink = link;
    }
    void liveLinkServerDidSendEdit(const Ref<LiveLink>& link) override
    {
        ++edits;
        lastLink = link;
    }
};
NS_CLASS_DEFINE(RecordingLinkDelegate)

namespace {

constexpr const char* kUpperIdentifier = "org.plumbline.test.Upper";

class LiveLinks : public WindowingTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning()) << "dbus-daemon did not start";
        WindowingTest::SetUp();
        Clock::useRealClock();
        AlertLog::clear();
    }
    void TearDown() override
    {
        for (pid_t pid : serverPids())
            if (pid > 0) kill(pid, SIGKILL);
        WindowingTest::TearDown();
    }

    // "<home>/.local/lib/plumbline/Applications/<sub>/<Name>.app" with an
    // Info.plist; the executable is the test server or the script given.
    std::string installApplication(const std::string& sub, const std::string& name, const std::string& identifier,
                                   const std::string& script = "")
    {
        const std::string app = applications() + "/" + (sub.empty() ? "" : sub + "/") + name + ".app";
        std::filesystem::create_directories(app);
        writeFile(app + "/Info.plist",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                  "<key>CFBundleIdentifier</key><string>" +
                      identifier +
                      "</string>"
                      "<key>CFBundleExecutable</key><string>server</string>"
                      "<key>LiveLinkServer</key><array><string>Lower</string><string>Upper</string></array>"
                      "</dict></plist>\n");
        if (script.empty()) {
            std::filesystem::copy_file(LIVELINK_TEST_SERVER, app + "/server");
        } else {
            writeFile(app + "/server", "#!/bin/sh\n" + script);
            chmod((app + "/server").c_str(), 0755);
        }
        return app;
    }
    std::string applications() const { return home / ".local/lib/plumbline/Applications"; }
    std::vector<std::string> recordLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(readFile(record).value_or(""));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::vector<pid_t> serverPids() const
    {
        std::vector<pid_t> pids;
        for (const auto& line : recordLines())
            if (line.rfind("pid ", 0) == 0) pids.push_back(pid_t(std::stoi(line.substr(4))));
        return pids;
    }
    size_t recordCount(const std::string& prefix) const
    {
        size_t n = 0;
        for (const auto& line : recordLines()) n += line.rfind(prefix, 0) == 0;
        return n;
    }
    static bool runUntil(const std::function<bool()>& condition, NSTimeInterval seconds = 20)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            NSRunLoop::mainRunLoop()->runModeBeforeDate(NSDefaultRunLoopMode,
                                                        NSDate::dateWithTimeIntervalSinceNow(0.02));
        }
        return true;
    }
    static Ref<NSDictionary> upperData(const std::string& text)
    {
        return NSDictionary::dictionaryWithEntries({
            {"bundleId"_ns, NSString::stringWithUTF8String(kUpperIdentifier)},
            {"serverName"_ns, "Upper"_ns},
            {"version"_ns, "A"_ns},
            {"serverAppName"_ns, "Upper"_ns},
            {"appData"_ns, NSString::stringWithUTF8String(text)},
        });
    }
    static std::string appDataOn(const Ref<LiveLink>& link)
    {
        auto data = dynamic_ref_cast<NSDictionary>(link->pasteboard()->propertyListForType(LiveLinkDataPboardType));
        auto text = data ? dynamic_ref_cast<NSString>(data->objectForKey("appData"_ns)) : nullptr;
        return text ? text->UTF8String() : "";
    }

    PrivateSessionBus bus;
    TemporaryFolder home;
    ScopedEnvironment homeVariable{"HOME", home.path()};
    // The server programs find their bundle beside their executable.
    ScopedEnvironment noResources{"PLUMBLINE_RESOURCES", std::nullopt};
    std::string record = home / "server-record";
    ScopedEnvironment recordVariable{"LIVELINK_TEST_RECORD", record};
    Ref<RecordingLinkDelegate> delegate = NSObject::make<RecordingLinkDelegate>();
};

}

TEST_F(LiveLinks, ASecondPublishOfANameAnswersNoAlsoFromAnotherProcess)
{
    EXPECT_TRUE(LiveLink::publishServerWithName("Here"_ns, delegate));
    EXPECT_FALSE(LiveLink::publishServerWithName("Here"_ns, delegate));
    LiveLink::retractServerWithName("Here"_ns);
    EXPECT_TRUE(LiveLink::publishServerWithName("Here"_ns, delegate));

    // Another process with this program's identifier holds "Upper".
    const std::string app = installApplication("", "Twin", "org.plumbline.Plumbline");
    ASSERT_TRUE(NSWorkspace::sharedWorkspace()->launchApplicationAtPath(NSString::stringWithUTF8String(app)));
    ASSERT_TRUE(runUntil([&] { return !serverPids().empty(); })) << "the server did not publish";
    EXPECT_FALSE(LiveLink::publishServerWithName("Upper"_ns, delegate));
    EXPECT_FALSE(LiveLink::publishServerWithName(NSString::stringWithUTF8String(std::string(300, 'x')), delegate));
}

TEST_F(LiveLinks, EditsTravelBothWaysAndTheSameItemReusesItsLink)
{
    installApplication("Tools", "Upper", kUpperIdentifier);
    auto key = LiveLinkNewItemKey();
    auto link = LiveLink::editLiveLinkData(upperData("hello \xC3\xA9"), "Document"_ns, delegate, key);
    ASSERT_TRUE(link) << "no link";
    ASSERT_TRUE(runUntil([&] { return delegate->edits == 1; })) << "no edit came back";
    EXPECT_EQ(delegate->lastLink.get(), link.get());
    EXPECT_EQ(appDataOn(link), "HELLO \xC3\x89");
    ASSERT_EQ(recordCount("edit "), 1u);
    EXPECT_EQ(recordLines()[1].substr(recordLines()[1].size() - 2), " 1") << "not on the server's main thread";

    auto again = LiveLink::editLiveLinkData(upperData("again"), "Document"_ns, delegate, key);
    EXPECT_EQ(again.get(), link.get());
    ASSERT_TRUE(runUntil([&] { return delegate->edits == 2; }));
    EXPECT_EQ(appDataOn(link), "AGAIN");
    auto lines = recordLines();
    ASSERT_EQ(recordCount("edit "), 2u);
    // One server-side link for both edits: one initiate.
    EXPECT_EQ(lines[1].substr(0, lines[1].rfind(' ')), lines[2].substr(0, lines[2].rfind(' ')));

    link->closeLink();
    EXPECT_FALSE(LiveLink::activeLiveLinkForItemKey(key));
    ASSERT_TRUE(runUntil([&] { return recordCount("closed ") == 1; })) << "the server was not told";
    link->requestEdit();  // a closed link does nothing
    EXPECT_EQ(delegate->closed, 0);
}

TEST_F(LiveLinks, TheServerClosingOrEndingClosesTheClientsLink)
{
    installApplication("", "Upper", kUpperIdentifier);
    auto closing = LiveLink::editLiveLinkData(upperData("close"), "Document"_ns, delegate, LiveLinkNewItemKey());
    ASSERT_TRUE(closing);
    ASSERT_TRUE(runUntil([&] { return delegate->closed == 1; })) << "the server's close did not arrive";
    EXPECT_EQ(delegate->lastLink.get(), closing.get());
    EXPECT_TRUE(closing->isClosed());

    auto key = LiveLinkNewItemKey();
    auto link = LiveLink::editLiveLinkData(upperData("x"), "Document"_ns, delegate, key);
    ASSERT_TRUE(link);
    ASSERT_TRUE(runUntil([&] { return delegate->edits == 1; }));
    ASSERT_EQ(serverPids().size(), 1u);
    kill(serverPids()[0], SIGKILL);
    EXPECT_TRUE(runUntil([&] { return delegate->closed == 2; }, 1.0)) << "no close within a second";
    EXPECT_FALSE(LiveLink::activeLiveLinkForItemKey(key));
}

TEST_F(LiveLinks, WithoutServerOrApplicationTheNotFoundAlertAndNilAtOnce)
{
    struct Case {
        const char* name;
        const char* url;
        std::vector<std::string> buttons;
    } cases[] = {{"no URL", nullptr, {"OK"}}, {"with URL", "https://example.org/upper", {"OK", "Get Application"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertLog::clear();
        auto data = NSMutableDictionary::dictionaryWithDictionary(upperData("x"));
        if (c.url) data->setObject(NSString::stringWithUTF8String(c.url), "ApplicationURL"_ns);
        NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [] {
            server().injectKey(kVK_Return, 0, true);
            server().injectKey(kVK_Return, 0, false);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(LiveLink::editLiveLinkData(data, "Document"_ns, delegate, LiveLinkNewItemKey()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "it waited";
        auto alerts = AlertLog::all();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].style, NSUInteger(NSCriticalAlertStyle));
        EXPECT_EQ(alerts[0].messageText, "The application \"Upper\" could not be found.");
        EXPECT_EQ(alerts[0].buttons, c.buttons);
    }
    EXPECT_TRUE(server().openedURLs().empty());
}

TEST_F(LiveLinks, AnApplicationThatNeverPublishesGivesNilAfterTenSecondsOfAsking)
{
    // Four folders below: found and started from its path (it records how).
    const std::string started = home / "started";
    const std::string app =
        installApplication("a/b/c/d", "Upper", kUpperIdentifier, "echo \"$0\" > '" + started + "'\nexec sleep 20\n");
    Clock::useVirtualClock();
    Clock::setAdvancesWhenIdle(true);
    const NSTimeInterval start = Clock::now();
    const size_t asksBefore = LiveLinkBus::shared()->ownerQueries();
    EXPECT_FALSE(LiveLinkServer::LiveLinkServerWithName("Upper"_ns, NSString::stringWithUTF8String(kUpperIdentifier),
                                                        true, nullptr, "Upper"_ns));
    EXPECT_NEAR(Clock::now() - start, 10.0, 0.2);
    const size_t asks = LiveLinkBus::shared()->ownerQueries() - asksBefore;
    EXPECT_GE(asks, 95u);
    EXPECT_LE(asks, 105u);
    Clock::setAdvancesWhenIdle(false);
    ASSERT_TRUE(runUntil([&] { return readFile(started).has_value(); }, 10));
    EXPECT_EQ(*readFile(started), app + "/server\n");
    EXPECT_TRUE(AlertLog::all().empty());
}

TEST_F(LiveLinks, TheSearchGoesFourFoldersDeepAndSkipsMissingFolders)
{
    const std::string four = installApplication("1/2/3/4", "Upper", kUpperIdentifier, "exit 0\n");
    installApplication("1/2/3/4/5", "Deep", "org.plumbline.test.Deep", "exit 0\n");
    LogCapture log;
    auto found = LiveLinkFindServerApplication(NSString::stringWithUTF8String(applications()), "Upper"_ns,
                                               NSString::stringWithUTF8String(kUpperIdentifier), 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->UTF8String(), four);
    EXPECT_FALSE(LiveLinkFindServerApplication(NSString::stringWithUTF8String(applications()), "Upper"_ns,
                                               "org.plumbline.test.Deep"_ns, 0));
    EXPECT_FALSE(LiveLinkFindServerApplication(NSString::stringWithUTF8String(home / "missing"), "Upper"_ns,
                                               NSString::stringWithUTF8String(kUpperIdentifier), 0));
    for (const auto& line : log.lines()) EXPECT_EQ(line.rfind("searching for Upper in folder: ", 0), 0u) << line;
}

TEST_F(LiveLinks, ARemoteRequestMayNameOnlyALinkPasteboard)
{
    ASSERT_TRUE(LiveLink::publishServerWithName("Guard"_ns, delegate));
    auto general = NSPasteboard::generalPasteboard();
    general->declareTypes(NSArray::arrayWithObjects({NSPasteboardTypeString}), nullptr);
    general->setString("secret"_ns, NSPasteboardTypeString);
    // Another connection makes a link and names the general pasteboard.
    sd_bus* other = nullptr;
    ASSERT_GE(sd_bus_open_user(&other), 0);
    const std::string busName = LiveLinkBus::busNameFor("org.plumbline.Plumbline:Guard");
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const std::string serverPath = "/org/plumbline/LiveLink/server/" + busName.substr(strlen(LiveLinkBus::kNamePrefix));
    std::atomic<bool> finished{false};
    bool answered = false;
    std::string linkPath;
    // The server answers from this thread's run loop: call from another.
    std::thread caller([&] {
        if (sd_bus_call_method(other, busName.c_str(), serverPath.c_str(), LiveLinkBus::kInterface, "Initiate", &error,
                               &reply, "ssso", "doc", "intruder", "key-1", "/x") >= 0) {
            const char* path = nullptr;
            sd_bus_message_read(reply, "o", &path);
            linkPath = path ? path : "";
        }
        sd_bus_message_unref(reply);
        reply = nullptr;
        sd_bus_error_free(&error);
        error = SD_BUS_ERROR_NULL;
        const int r = sd_bus_call_method(other, busName.c_str(), linkPath.c_str(), LiveLinkBus::kInterface,
                                         "RequestEdit", &error, &reply, "s", "Apple CFPasteboard general");
        answered = r < 0 && error.name && std::string(error.name) == "org.plumbline.LiveLink.Error.Refused";
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        finished = true;
    });
    runUntil([&] { return finished.load(); }, 15);
    caller.join();
    EXPECT_FALSE(linkPath.empty());
    EXPECT_TRUE(answered) << "the request was not refused";
    NSRunLoop::mainRunLoop()->runUntilIdle();
    EXPECT_EQ(delegate->requests, 0);
    EXPECT_EQ(general->stringForType(NSPasteboardTypeString)->UTF8String(), "secret");
    sd_bus_flush_close_unref(other);
}
