// The encoding manager's names and judgements, and its list in pop-ups and
// in the panel, driven by clicks on the headless server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "AppKit/MenuView.h"
#include "AppKit/NSMatrix.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingManager.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingPopUpButton.h"

namespace {

constexpr NSStringEncoding kNone = ZAKNoStringEncoding;
const std::vector<NSStringEncoding> kDefaultList = {10,         4,          30,         12,         0x80000001,
                                                    0x80000A01, 0x80000002, 0x80000003, 0x80000019, 0x80000632};

std::vector<NSStringEncoding> numbers(const Ref<NSArray>& list)
{
    std::vector<NSStringEncoding> out;
    if (list)
        for (const Id& n : list->snapshot()) out.push_back(static_ref_cast<NSNumber>(n)->unsignedIntegerValue());
    return out;
}

std::string name(NSStringEncoding encoding) { return NSString::localizedNameOfStringEncoding(encoding)->UTF8String(); }

// Titles of the pop-up's items, "-" for a separator; the selected one in [].
std::vector<std::string> items(const Ref<NSPopUpButton>& popUp)
{
    std::vector<std::string> out;
    for (NSInteger i = 0; i < popUp->numberOfItems(); ++i) {
        Ref<NSMenuItem> item = popUp->itemAtIndex(i);
        std::string title = item->isSeparatorItem() ? "-" : item->title()->UTF8String();
        out.push_back(i == popUp->indexOfSelectedItem() ? "[" + title + "]" : title);
    }
    return out;
}

class EncodingManagerTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        ZAKEncodingManager::sharedInstance()->revertToDefault(nullptr);
    }
    Ref<ZAKEncodingPopUpButton> popUp(NSStringEncoding encoding, bool defaultEntry)
    {
        if (!m_window) {
            m_window = NSObject::alloc<NSWindow>()->initWithContentRect(
                NSMakeRect(600, 500, 400, 100), NSTitledWindowMask, NSBackingStoreBuffered, false);
            m_window->orderFront(nullptr);
        }
        auto button = NSObject::alloc<ZAKEncodingPopUpButton>();
        button->initWithFrame(NSMakeRect(20, 60 - 30 * CGFloat(m_window->contentView()->subviews().size()), 300, 24));
        m_window->contentView()->addSubview(button);
        button->awakeFromNib();
        button->setEncoding(encoding, defaultEntry);
        return button;
    }
    static NSPoint centreOf(const Ref<NSView>& view)
    {
        NSRect r = view->window()->convertRectToScreen(view->convertRectToView(view->bounds(), nullptr));
        return NSMakePoint(NSMidX(r), NSMidY(r));
    }
    static void click(NSPoint p)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
    }
    Ref<NSWindow> panel()
    {
        for (const auto& w : NSWindow::allWindows())
            if (w->title()->UTF8String() == "Text Encodings") return w;
        return nullptr;
    }

    TemporaryFolder m_config;
    ScopedEnvironment m_home{"XDG_CONFIG_HOME", m_config.path()};
    Ref<NSWindow> m_window;
};

}

TEST(ZAKEncodingManagerNames, ConvertsIANANamesInEitherCase)
{
    const std::pair<const char*, NSStringEncoding> names[] = {
        {"UTF-8", 4},
        {"utf-8", 4},
        {"UTF-16", 10},
        {"ISO-8859-1", 5},
        {"iso-8859-1", 5},
        {"windows-1252", 12},
        {"WINDOWS-1252", 12},
        {"macintosh", 30},
        {"Shift_JIS", 0x80000A01},
        {"SHIFT_JIS", 0x80000A01},
        {"GB18030", 0x80000632},
        {"latin1", 5},
        {"no-such-set", 0},
    };
    for (const auto& [iana, encoding] : names)
        EXPECT_EQ(ZAKEncodingManager::stringEncodingForMIMEEncoding(NSString::stringWithUTF8String(iana)), encoding)
            << iana;
    EXPECT_EQ(ZAKEncodingManager::stringEncodingForMIMEEncoding(nullptr), 0u);

    const std::pair<NSStringEncoding, const char*> back[] = {
        {4, "UTF-8"}, {10, "UTF-16"}, {30, "macintosh"}, {12, "windows-1252"}, {0x80000A01, "Shift_JIS"},
    };
    for (const auto& [encoding, iana] : back) {
        auto text = ZAKEncodingManager::MIMEEncodingForStringEncoding(encoding);
        EXPECT_EQ(text ? text->UTF8String() : "<nil>", iana) << encoding;
    }
    EXPECT_FALSE(ZAKEncodingManager::MIMEEncodingForStringEncoding(NSNonLossyASCIIStringEncoding));
}

TEST(ZAKEncodingManagerNames, ListsEveryAvailableEncodingByScriptUnicodeFirst)
{
    const auto& all = ZAKEncodingManager::allAvailableStringEncodings();
    ASSERT_GE(all.size(), 30u);
    const std::vector<NSStringEncoding> first = {10,         4,          0x8C000100, 0x90000100, 0x94000100,
                                                 0x98000100, 0x9C000100, 30,         5};
    EXPECT_EQ(std::vector<NSStringEncoding>(all.begin(), all.begin() + first.size()), first);
    for (NSStringEncoding encoding : kDefaultList)
        EXPECT_NE(std::find(all.begin(), all.end(), encoding), all.end()) << encoding;
    for (NSStringEncoding encoding : all) EXPECT_FALSE(name(encoding).empty()) << encoding;
}

TEST(ZAKEncodingManagerNames, JudgesFilesByTheirMarkOrTheirUTF8)
{
    using namespace std::string_literals;
    TemporaryFolder folder;
    const std::pair<std::string, NSStringEncoding> files[] = {
        {"\xFF\xFE"
         "a\0b\0"s,
         NSUnicodeStringEncoding},
        {"\xFE\xFF\0a"s, NSUnicodeStringEncoding},
        {"\xFF\xFE\0\0a\0\0\0"s, NSUTF32StringEncoding},
        {"na\xC3\xAFve caf\xC3\xA9", NSUTF8StringEncoding},
        {"caf\xE9 na\xEFve", NSMacOSRomanStringEncoding},  // Latin 1: the default C-string encoding
        {"", NSUTF8StringEncoding},
    };
    int n = 0;
    for (const auto& [bytes, encoding] : files) {
        std::string path = folder / ("f" + std::to_string(n++));
        writeFile(path, bytes);
        EXPECT_EQ(ZAKEncodingManager::encodingForFile(NSString::stringWithUTF8String(path)), encoding) << bytes;
    }
    EXPECT_EQ(ZAKEncodingManager::encodingForFile(folder.ns("missing")), NSUTF8StringEncoding);
    EXPECT_EQ(ZAKEncodingManager::encodingForFile(folder.ns()), NSUTF8StringEncoding) << "a folder";
}

TEST(ZAKEncodingManagerNames, LogsTheCandidatesOfTheSnifferAndAnswersUTF8)
{
    LogCapture log;
    std::string text = "Gr\xC3\xBC\xC3\x9F"
                       "e aus K\xC3\xB6ln, na\xC3\xAFve caf\xC3\xA9 \xE2\x80\x94 "
                       "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    EXPECT_EQ(ZAKEncodingManager::autoDetectedStringEncodingOfData(NSData::dataWithBytes(text.data(), text.size())),
              NSUTF8StringEncoding);
    ASSERT_GE(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0], "encoding: Unicode (UTF-8)");
    EXPECT_EQ(log.lines().back().rfind("result: (", 0), 0u) << log.lines().back();
    EXPECT_NE(log.lines().back().find("Unicode (UTF-8)"), std::string::npos);
}

TEST_F(EncodingManagerTest, TheDefaultListAppliesUntilAListIsStored)
{
    auto manager = ZAKEncodingManager::sharedInstance();
    EXPECT_EQ(numbers(manager->enabledEncodings()), kDefaultList);
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->objectForKey("Encodings"_ns));
    EXPECT_EQ(NSObject::make<ZAKEncodingManager>().get(), manager.get()) << "one manager";
}

TEST_F(EncodingManagerTest, PopUpsListTheEnabledEncodings)
{
    std::vector<std::string> encodings;
    for (NSStringEncoding e : kDefaultList) encodings.push_back(name(e));
    const std::string customise = "Customize Encodings List\u2026";

    // With "Automatic": an encoding that is not listed selects it.
    auto automatic = popUp(NSISOLatin1StringEncoding, true);
    std::vector<std::string> expected = {"[Automatic]"};
    expected.insert(expected.end(), encodings.begin(), encodings.end());
    expected.insert(expected.end(), {"-", customise});
    EXPECT_EQ(items(automatic), expected);
    EXPECT_EQ(automatic->itemAtIndex(0)->tag(), NSInteger(kNone));
    EXPECT_EQ(automatic->itemAtIndex(1)->tag(), 10);
    EXPECT_EQ(automatic->lastItem()->tag(), NSInteger(kNone));
    EXPECT_EQ(automatic->itemAtIndex(11)->tag(), NSInteger(kNone));
    EXPECT_TRUE(automatic->hasDefaultEntry());

    // Without: the encoding joins the list, selected.
    auto plain = popUp(NSISOLatin1StringEncoding, false);
    expected = encodings;
    expected.insert(expected.end(), {"[" + name(NSISOLatin1StringEncoding) + "]", "-", customise});
    EXPECT_EQ(items(plain), expected);
    EXPECT_FALSE(plain->hasDefaultEntry());

    // An empty list: only the customising item, never selected.
    ZAKEncodingManager::sharedInstance()->clearAll(nullptr);
    auto empty = popUp(kNone, false);
    EXPECT_EQ(items(empty), std::vector<std::string>{customise});
    empty->selectItemAtIndex(0);
    EXPECT_EQ(empty->indexOfSelectedItem(), -1);
}

TEST_F(EncodingManagerTest, TheCustomisingItemOpensThePanelAndKeepsTheSelection)
{
    auto button = popUp(NSUTF8StringEncoding, false);
    ASSERT_EQ(button->indexOfSelectedItem(), 1);
    // The list opens below the window, where no window is yet: the click on
    // its last item comes once it is up, as a user's would.
    std::optional<NSRect> list;
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [&] {
        for (const auto& info : server().allWindows())
            if (info.visible && info.role == "menu") list = info.frame;
        if (list) click(NSMakePoint(NSMidX(*list), NSMinY(*list) + MenuView::kMargin + MenuView::kItemHeight / 2));
    });
    click(centreOf(button));
    pump();
    ASSERT_TRUE(list);
    EXPECT_EQ(button->indexOfSelectedItem(), 1);
    Ref<NSWindow> shown = panel();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->level(), 8);
    EXPECT_TRUE(shown->worksWhenModal());
    auto matrix = ZAKEncodingManager::sharedInstance()->encodingMatrix();
    ASSERT_TRUE(matrix);
    EXPECT_EQ(size_t(matrix->numberOfRows()), ZAKEncodingManager::allAvailableStringEncodings().size());
}

TEST_F(EncodingManagerTest, TickingAnEncodingStoresTheListAndRefillsEveryPopUp)
{
    auto utf8 = popUp(NSUTF8StringEncoding, false);
    auto automatic = popUp(NSWindowsCP1252StringEncoding, true);
    auto manager = ZAKEncodingManager::sharedInstance();
    manager->showPanel(nullptr);
    pump();
    auto matrix = manager->encodingMatrix();
    ASSERT_TRUE(matrix);
    NSInteger row = -1, column = -1;
    ASSERT_TRUE(matrix->getRow(&row, &column, matrix->cellWithTag(NSISOLatin1StringEncoding)));
    EXPECT_EQ(matrix->cellAtRow(row, 0)->state(), NSOffState);
    NSRect cell = matrix->cellFrameAtRow(row, 0);
    NSRect onScreen = matrix->window()->convertRectToScreen(matrix->convertRectToView(cell, nullptr));
    click(NSMakePoint(NSMinX(onScreen) + 8, NSMidY(onScreen)));
    pump();

    EXPECT_EQ(matrix->cellAtRow(row, 0)->state(), NSOnState);
    std::vector<NSStringEncoding> stored = numbers(NSUserDefaults::standardUserDefaults()->arrayForKey("Encodings"_ns));
    EXPECT_EQ(stored.size(), kDefaultList.size() + 1);
    EXPECT_NE(std::find(stored.begin(), stored.end(), NSISOLatin1StringEncoding), stored.end());
    for (const auto& button : {utf8, automatic}) {
        EXPECT_EQ(button->numberOfItems(), NSInteger(kDefaultList.size() + 3 + (button == automatic)));
        EXPECT_GE(button->indexOfItemWithTag(NSISOLatin1StringEncoding), 0);
    }
    EXPECT_EQ(utf8->titleOfSelectedItem()->UTF8String(), name(NSUTF8StringEncoding));
    EXPECT_EQ(automatic->titleOfSelectedItem()->UTF8String(), name(NSWindowsCP1252StringEncoding));

    // Back to the defaults: nothing stored, the pop-ups follow.
    manager->revertToDefault(nullptr);
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->objectForKey("Encodings"_ns));
    EXPECT_EQ(numbers(manager->enabledEncodings()), kDefaultList);
    EXPECT_EQ(matrix->cellAtRow(row, 0)->state(), NSOffState);
    EXPECT_LT(utf8->indexOfItemWithTag(NSISOLatin1StringEncoding), 0);
    EXPECT_EQ(utf8->titleOfSelectedItem()->UTF8String(), name(NSUTF8StringEncoding));
}

// In a process of its own, whose resources lack the panel's file.
TEST(ZAKEncodingManagerPanel, AMissingPanelFileIsLoggedAndShowsNothing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TemporaryFolder resources;
    std::filesystem::create_directories(resources / "Interface");
    EXPECT_EXIT(
        {
            setenv("PLUMBLINE_RESOURCES", resources.path().c_str(), 1);
            setenv("PLUMBLINE_BACKEND", "headless", 1);
            LogCapture log;
            auto manager = ZAKEncodingManager::sharedInstance();
            manager->showPanel(nullptr);
            // The interface loader says what it missed; the manager says
            // what failed.
            bool logged = !log.lines().empty() && log.lines().back() == "Failed to load ZAKSelectEncodingsPanel";
            std::_Exit(logged && !manager->encodingMatrix() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
