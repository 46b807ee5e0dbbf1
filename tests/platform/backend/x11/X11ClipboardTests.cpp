// The general pasteboard as the X CLIPBOARD selection, against other clients
// on the test's Xvfb: large texts both ways, bad bytes from another client,
// and an owner that never answers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "AppKit/NSApplication.h"
#include "AppKit/NSPasteboard.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "X11TestSupport.h"
#include "backend/x11/X11WindowServer.h"
#include "backend/x11/X11Xkb.h"

namespace {

using namespace std::chrono_literals;

class X11ClipboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* backend = std::getenv("PLUMBLINE_BACKEND");
        if (!backend || std::string(backend) != "x11")
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        NSApplication::sharedApplication();
        ASSERT_NE(X11WindowServer::current(), nullptr);
        m_conn = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_conn));
        m_folder = testing::TempDir() + "x11-clipboard-" + std::to_string(getpid());
        ASSERT_TRUE(runTool({"mkdir", "-p", m_folder}));
        // A window for a text view to edit in.
        m_window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 400, 300), NSTitledWindowMask,
                                                                    NSBackingStoreBuffered, false);
        m_view = NSObject::alloc<NSTextView>();
        m_view->initWithFrame(NSMakeRect(0, 0, 400, 300));
        m_view->layoutManager()->setAllowsNonContiguousLayout(true);
        m_window->setContentView(m_view);
        m_window->orderFront(nullptr);
    }
    void TearDown() override
    {
        if (m_window) m_window->orderOut(nullptr);
        if (m_conn) xcb_disconnect(m_conn);
        if (!m_folder.empty()) runTool({"rm", "-rf", m_folder});
    }

    xcb_atom_t atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : XCB_NONE;
        std::free(r);
        return a;
    }
    xcb_window_t clipboardOwner()
    {
        auto* r = xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, atom("CLIPBOARD")), nullptr);
        const xcb_window_t owner = r ? r->owner : XCB_NONE;
        std::free(r);
        return owner;
    }
    // xclip offers the file's bytes on the clipboard until another client
    // takes it.
    void offer(const std::string& bytes)
    {
        const std::string file = m_folder + "/offer";
        std::ofstream(file, std::ios::binary) << bytes;
        const xcb_window_t before = clipboardOwner();
        ASSERT_TRUE(runTool({"xclip", "-selection", "clipboard", "-i", file}));
        ASSERT_TRUE(waitFor([&] { return clipboardOwner() != XCB_NONE && clipboardOwner() != before; }));
    }
    std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    xcb_connection_t* m_conn = nullptr;
    std::string m_folder;
    Ref<NSWindow> m_window;
    Ref<NSTextView> m_view;
};

// Lines of ASCII and two-byte letters, about the given size.
std::string largeText(size_t bytes)
{
    std::string line;
    for (int i = 0; line.size() < 1000; ++i) line += "w\xC3\xB6rd " + std::to_string(i) + " ";
    line += "\n";
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes) text += line;
    return text + "end";
}

}

// Both ways in chunks (INCR); a text view pasting that much lays out only
// what it shows, which the headless editing tests check.
TEST_F(X11ClipboardTest, FiftyMegabytesCrossTheClipboardBothWays)
{
    const std::string text = largeText(50u << 20);
    auto general = NSPasteboard::generalPasteboard();

    // In: another client's 50 MB arrive whole.
    ASSERT_NO_FATAL_FAILURE(offer(text));
    auto pasted = general->stringForType(NSPasteboardTypeString);
    ASSERT_TRUE(pasted);
    EXPECT_TRUE(pasted->UTF8String() == text) << pasted->length();

    // Out: the same text copied here reaches another client whole.
    general->declareTypes(NSArray::arrayWithObject(NSPasteboardTypeString), nullptr);
    general->setString(NSString::stringWithUTF8String("copied " + text), NSPasteboardTypeString);
    ASSERT_TRUE(waitFor([&] { return clipboardOwner() != XCB_NONE; }));
    const std::string out = m_folder + "/out";
    const pid_t reader = spawnTool({"sh", "-c", "xclip -o -selection clipboard > '" + out + "'"});
    ASSERT_GT(reader, 0);
    int status = -1;
    // Our side answers while the loop runs.
    const bool ended = test_support::waitUntil(
        [&] {
            while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, NSDate::dateWithTimeIntervalSinceNow(0.01),
                                                         NSDefaultRunLoopMode, true))
                NSApp->sendEvent(e);
            return waitpid(reader, &status, WNOHANG) == reader;
        },
        120s, 0ms);
    if (!ended) test_support::waitForExitOrKill(reader, 1s);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string received = readFile(out);
    EXPECT_EQ(received.size(), 7 + text.size());
    EXPECT_TRUE(received == "copied " + text);
}

// NUL characters pass; invalid UTF-8 and encoded lone surrogates become
// U+FFFD; the valid text around them is kept.
TEST_F(X11ClipboardTest, BadBytesFromAnotherClientBecomeReplacementCharacters)
{
    static const char bytes[] = "ok\0nul \xFF\xFE bad \xED\xA0\x80 lone";
    ASSERT_NO_FATAL_FAILURE(offer(std::string(bytes, sizeof bytes - 1)));
    m_view->setString(""_ns);
    m_view->paste(nullptr);
    const std::u16string pasted = m_view->string()->utf16();
    EXPECT_EQ(pasted.substr(0, 7), std::u16string(u"ok\0nul ", 7));
    EXPECT_NE(pasted.find(u" bad "), std::u16string::npos) << pasted.size();
    EXPECT_EQ(pasted.substr(pasted.size() - 5), u" lone");
    EXPECT_GE(std::count(pasted.begin(), pasted.end(), u'\uFFFD'), 3);
    for (char16_t c : pasted) EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF);
}

// A client owns the clipboard and never answers: the paste gives up after
// the time-out with a beep and nothing changed; once that client is gone,
// pasting works again.
TEST_F(X11ClipboardTest, AnOwnerThatNeverAnswersPastesNothingAndBeeps)
{
    xcb_connection_t* silent = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(silent));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(silent)).data->root;
    const xcb_window_t owner = xcb_generate_id(silent);
    xcb_create_window(silent, XCB_COPY_FROM_PARENT, owner, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(silent, owner, atom("CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(silent);
    ASSERT_TRUE(waitFor([&] { return clipboardOwner() == owner; }));

    // The bell rings as an XKB event on the test's connection.
    auto* xkb = xcb_xkb_use_extension_reply(m_conn, xcb_xkb_use_extension(m_conn, 1, 0), nullptr);
    ASSERT_TRUE(xkb && xkb->supported);
    std::free(xkb);
    const uint8_t xkbEvent = xcb_get_extension_data(m_conn, &xcb_xkb_id)->first_event;
    xcb_xkb_select_events(m_conn, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_BELL_NOTIFY, 0,
                          XCB_XKB_EVENT_TYPE_BELL_NOTIFY, 0, 0, nullptr);
    xcb_flush(m_conn);

    m_view->setString("kept"_ns);
    m_view->setSelectedRange(NSMakeRange(4, 0));
    const auto start = std::chrono::steady_clock::now();
    m_view->paste(nullptr);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 900ms);
    EXPECT_LT(waited, 5s);
    EXPECT_EQ(m_view->string()->UTF8String(), "kept");
    bool rang = false;
    EXPECT_TRUE(waitFor([&] {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            rang = rang || ((e->response_type & 0x7f) == xkbEvent &&
                            reinterpret_cast<xcb_xkb_bell_notify_event_t*>(e)->xkbType == XCB_XKB_BELL_NOTIFY);
            std::free(e);
        }
        return rang;
    }));

    xcb_disconnect(silent);
    ASSERT_NO_FATAL_FAILURE(offer(" again"));
    m_view->paste(nullptr);
    EXPECT_EQ(m_view->string()->UTF8String(), "kept again");
}
