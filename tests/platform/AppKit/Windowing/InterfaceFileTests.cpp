// Interface files: each kind of object is made the way its kind asks, once;
// placeholders, outlets, actions and bindings are connected before
// awakeFromNib reaches every object and the owner; bad files fail quietly.
#include <filesystem>
#include <fstream>

#include "AppKit/InterfaceFileWriter.h"
#include "AppKit/NSBundleNibLoading.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSNib.h"
#include "AppKit/NSNibAwaking.h"
#include "AppKit/NSNibLoading.h"
#include "Foundation/NSCoder.h"
#include "LogCapture.h"
#include "WindowingFixture.h"

// What ran, in order, across the fixture's classes.
static std::vector<std::string> g_log;
static bool connectionsComplete();

class FixtureWindow : public NSWindow, public NSNibAwaking {
    NS_OBJECT(FixtureWindow, NSWindow)
protected:
    FixtureWindow() = default;

public:
    NSRect askedRect;
    NSUInteger askedStyle = 99;
    // An overlay: borderless whatever the file asks for.
    Ref<NSWindow> initWithContentRect(const NSRect& rect, NSUInteger style, NSBackingStoreType backing,
                                      bool defer) override
    {
        g_log.push_back("window initWithContentRect");
        askedRect = rect;
        askedStyle = style;
        return NSWindow::initWithContentRect(rect, NSBorderlessWindowMask, backing, defer);
    }
    void awakeFromNib() override
    {
        g_log.push_back(std::string("awake window ") + (connectionsComplete() ? "connected" : "early"));
    }
};
NS_CLASS_DEFINE(FixtureWindow)

class FixtureView : public NSView {
    NS_OBJECT(FixtureView, NSView)
protected:
    FixtureView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override
    {
        g_log.push_back("view initWithFrame");
        return NSView::initWithFrame(frame);
    }
    void awakeFromNib() override
    {
        g_log.push_back(std::string("awake view ") + (connectionsComplete() ? "connected" : "early"));
    }
};
NS_CLASS_DEFINE(FixtureView)

// Stands for a platform control: made from its keys, with a target and action.
class FixtureCodedView : public NSView, public NSCoding {
    NS_OBJECT(FixtureCodedView, NSView)
protected:
    FixtureCodedView() = default;

public:
    Ref<NSString> label;
    Weak<NSObject> target;
    SEL action;
    Id initWithCoder(NSCoder* coder) override
    {
        g_log.push_back("control initWithCoder");
        NSView::initWithFrame(coder->decodeRectForKey("NSFrame"_ns));
        label = coder->decodeStringForKey("label"_ns);
        return Ref<FixtureCodedView>(this);
    }
    void encodeWithCoder(NSCoder*) const override { }
    void awakeFromNib() override
    {
        g_log.push_back(std::string("awake control ") + (connectionsComplete() ? "connected" : "early"));
    }
    Ref<NSString> labelValue() const { return label; }
    void setLabel(const Ref<NSString>& l) { label = l; }
    Id targetValue() const { return target.get(); }
    void setTarget(const Id& t) { target = t; }
    Ref<NSString> actionValue() const { return NSString::stringWithUTF8String(action); }
    void setAction(const Ref<NSString>& a) { action = a ? a->UTF8String() : ""; }
    static void describeClass(NSClassMembers<FixtureCodedView>& m)
    {
        m.property("label", &FixtureCodedView::labelValue, &FixtureCodedView::setLabel);
        m.property("target", &FixtureCodedView::targetValue, &FixtureCodedView::setTarget);
        m.property("action", &FixtureCodedView::actionValue, &FixtureCodedView::setAction);
    }
};
NS_CLASS_DEFINE(FixtureCodedView)

static bool g_delegateClassInitialized = false;

class FixtureDelegate : public NSObject, public NSNibAwaking {
    NS_OBJECT(FixtureDelegate, NSObject)
protected:
    FixtureDelegate() = default;

public:
    Weak<NSWindow> window;  // set through the class table's outlet
    Weak<NSView> view;      // set by key
    Ref<NSMenu> menu;       // set by key
    Ref<NSString> title = "Bound"_ns;
    static void initialize() { g_delegateClassInitialized = true; }
    Id init() override
    {
        g_log.push_back(g_delegateClassInitialized ? "delegate init" : "delegate init before initialize");
        return this;
    }
    void buttonPressed(const Id&) { }
    void awakeFromNib() override
    {
        g_log.push_back(std::string("awake delegate ") + (connectionsComplete() ? "connected" : "early"));
    }
    Ref<NSView> viewValue() const { return view.get(); }
    void setView(const Ref<NSView>& v) { view = v; }
    Ref<NSMenu> menuValue() const { return menu; }
    void setMenu(const Ref<NSMenu>& m) { menu = m; }
    Ref<NSString> titleValue() const { return title; }
    void setTitle(const Ref<NSString>& t) { title = t; }
    static void describeClass(NSClassMembers<FixtureDelegate>& m)
    {
        m.action("buttonPressed:", &FixtureDelegate::buttonPressed);
        m.outlet("window", &FixtureDelegate::window);
        m.property("view", &FixtureDelegate::viewValue, &FixtureDelegate::setView);
        m.property("menu", &FixtureDelegate::menuValue, &FixtureDelegate::setMenu);
        m.property("title", &FixtureDelegate::titleValue, &FixtureDelegate::setTitle);
    }
};
NS_CLASS_DEFINE(FixtureDelegate)

class FixtureOwner : public NSObject, public NSNibAwaking {
    NS_OBJECT(FixtureOwner, NSObject)
protected:
    FixtureOwner() = default;

public:
    Ref<FixtureDelegate> delegate;
    void awakeFromNib() override
    {
        g_log.push_back(std::string("awake owner ") + (connectionsComplete() ? "connected" : "early"));
    }
    Id delegateValue() const { return delegate; }
    void setDelegate(const Id& d) { delegate = dynamic_ref_cast<FixtureDelegate>(d); }
    static void describeClass(NSClassMembers<FixtureOwner>& m)
    {
        m.property("delegate", &FixtureOwner::delegateValue, &FixtureOwner::setDelegate);
    }
};
NS_CLASS_DEFINE(FixtureOwner)

static FixtureOwner* g_owner = nullptr;

static bool connectionsComplete()
{
    if (!g_owner || !g_owner->delegate) return false;
    auto& d = *g_owner->delegate;
    auto view = d.view.get();
    if (!d.window.get() || !view || !d.menu || view->subviews().empty()) return false;
    auto control = dynamic_ref_cast<FixtureCodedView>(view->subviews().front());
    return control && control->target.get() == Id(g_owner->delegate) && control->action == "buttonPressed:" &&
           control->label && control->label->isEqualToString("Bound"_ns) && d.window.get()->contentView() == view &&
           d.menu->itemAtIndex(1)->action() == "terminate:";
}

static const char* kFixture = R"({
  "version": 1,
  "objects": [
    {"id": 1, "placeholder": "owner"},
    {"id": 2, "placeholder": "firstResponder"},
    {"id": 3, "placeholder": "application"},
    {"id": 10, "class": "FixtureWindow",
     "window": {"contentRect": {"$rect": [100, 200, 300, 150]}, "styleMask": 15, "title": "Fixture",
                "contentView": {"$ref": 11}}},
    {"id": 11, "class": "FixtureView", "view": {"frame": {"$rect": [0, 0, 300, 150]}, "subviews": [{"$ref": 12}]}},
    {"id": 12, "class": "FixtureCodedView", "keys": {"NSFrame": {"$rect": [10, 10, 80, 24]}, "label": "Press"}},
    {"id": 13, "class": "FixtureDelegate"},
    {"id": 20, "class": "NSMenu", "keys": {"NSTitle": "Main", "NSMenuItems": [{"$ref": 21}, {"$ref": 22}]}},
    {"id": 21, "class": "NSMenuItem",
     "keys": {"NSTitle": "About", "NSAction": "showAbout:", "NSTarget": {"$ref": 1}, "NSKeyEquivModMask": 1048576}},
    {"id": 22, "class": "NSMenuItem", "keys": {"NSTitle": "Quit", "NSKeyEquiv": "q", "NSKeyEquivModMask": 1048576}}
  ],
  "connections": [
    {"outlet": "delegate", "source": {"$ref": 1}, "destination": {"$ref": 13}},
    {"outlet": "window", "source": {"$ref": 13}, "destination": {"$ref": 10}},
    {"outlet": "view", "source": {"$ref": 13}, "destination": {"$ref": 11}},
    {"outlet": "menu", "source": {"$ref": 13}, "destination": {"$ref": 20}},
    {"action": "buttonPressed:", "source": {"$ref": 12}, "target": {"$ref": 13}},
    {"action": "terminate:", "source": {"$ref": 22}, "target": {"$ref": 2}},
    {"binding": "label", "source": {"$ref": 12}, "to": {"$ref": 13}, "keyPath": "title"}
  ],
  "topLevelObjects": [{"$ref": 10}, {"$ref": 13}, {"$ref": 20}]
})";

class InterfaceFileTest : public WindowingTest {
protected:
    std::filesystem::path dir;
    Ref<NSBundle> bundle;

    void SetUp() override
    {
        WindowingTest::SetUp();
        NSNib::installAsLoader();  // another test may have replaced the hook
        dir = std::filesystem::temp_directory_path() / ("nibtest-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "Interface");
        write("Fixture", kFixture);
        bundle = NSBundle::bundleWithPath(NSString::stringWithUTF8String(dir.string()));
        g_log.clear();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        WindowingTest::TearDown();
    }
    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / "Interface" / (name + ".json")) << text;
    }
};

TEST_F(InterfaceFileTest, BuildsEachKindOnceAndConnectsBeforeAwakeFromNib)
{
    auto owner = NSObject::make<FixtureOwner>();
    g_owner = owner.get();
    auto nib = NSObject::alloc<NSNib>()->initWithNibNamed("Fixture"_ns, bundle);
    ASSERT_TRUE(nib);
    Ref<NSArray> top;
    ASSERT_TRUE(nib->instantiateWithOwner(owner, &top));
    g_owner = nullptr;

    EXPECT_EQ(g_log, (std::vector<std::string>{"window initWithContentRect", "view initWithFrame",
                                               "control initWithCoder", "delegate init", "awake window connected",
                                               "awake view connected", "awake control connected",
                                               "awake delegate connected", "awake owner connected"}));

    auto delegate = owner->delegate;
    ASSERT_TRUE(delegate);
    auto window = dynamic_ref_cast<FixtureWindow>(delegate->window.get());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->askedStyle, 15u);
    EXPECT_EQ(window->styleMask(), NSUInteger(NSBorderlessWindowMask));  // the class's override won
    EXPECT_TRUE(NSEqualRects(window->askedRect, NSMakeRect(100, 200, 300, 150)));
    EXPECT_TRUE(NSEqualRects(window->frame(), NSMakeRect(100, 200, 300, 150)));
    EXPECT_TRUE(window->title()->isEqualToString("Fixture"_ns));
    auto control = dynamic_ref_cast<FixtureCodedView>(delegate->view.get()->subviews().front());
    ASSERT_TRUE(control);
    EXPECT_TRUE(NSEqualRects(control->frame(), NSMakeRect(10, 10, 80, 24)));
    EXPECT_EQ(control->window(), Ref<NSWindow>(window));

    // The binding follows the model.
    delegate->setValueForKey("Changed"_ns, "title"_ns);
    EXPECT_TRUE(control->label->isEqualToString("Changed"_ns));

    // Coded menus: a key may refer to the owner; an action to the first
    // responder has no target.
    auto menu = delegate->menu;
    EXPECT_TRUE(menu->itemAtIndex(0)->title()->isEqualToString("About"_ns));
    EXPECT_EQ(menu->itemAtIndex(0)->target(), Id(owner));
    EXPECT_EQ(menu->itemAtIndex(0)->action(), "showAbout:");
    EXPECT_EQ(menu->itemAtIndex(1)->target(), nullptr);
    EXPECT_EQ(menu->itemAtIndex(1)->keyEquivalentModifierMask(), NSUInteger(NSCommandKeyMask));

    ASSERT_EQ(top->count(), 3u);
    EXPECT_EQ(top->objectAtIndex(0), Id(window));
    EXPECT_EQ(top->objectAtIndex(1), Id(delegate));
    EXPECT_EQ(top->objectAtIndex(2), Id(menu));
}

// An outlet holds only its declared class; a subclass inherits the outlets
// of its superclasses (a view's "menu" is the responder's).
TEST_F(InterfaceFileTest, OutletsAreTypedAndInherited)
{
    write("Outlets", R"({"objects": [
        {"id": 1, "class": "FixtureDelegate"},
        {"id": 2, "class": "FixtureView", "view": {"frame": {"$rect": [0, 0, 10, 10]}}},
        {"id": 3, "class": "NSMenu", "keys": {"NSTitle": "Context"}}],
      "connections": [
        {"outlet": "window", "source": {"$ref": 1}, "destination": {"$ref": 2}},
        {"outlet": "view", "source": {"$ref": 1}, "destination": {"$ref": 2}},
        {"outlet": "menu", "source": {"$ref": 2}, "destination": {"$ref": 3}}],
      "topLevelObjects": [{"$ref": 1}, {"$ref": 2}]})");
    Ref<NSArray> top;
    ASSERT_TRUE(NSObject::alloc<NSNib>()->initWithNibNamed("Outlets"_ns, bundle)->instantiateWithOwner(nullptr, &top));
    auto delegate = dynamic_ref_cast<FixtureDelegate>(top->objectAtIndex(0));
    auto view = dynamic_ref_cast<FixtureView>(top->objectAtIndex(1));
    ASSERT_TRUE(delegate && view);
    EXPECT_FALSE(delegate->window.get());  // a view is no window
    EXPECT_EQ(delegate->view.get(), Ref<NSView>(view));
    auto menu = dynamic_ref_cast<NSMenu>(view->menu());
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->title()->isEqualToString("Context"_ns));
}

TEST_F(InterfaceFileTest, MissingAndMalformedFilesFailWithOneLogLine)
{
    // Nested deeper than any reader may recurse (the loader copies keys).
    std::string deepKeys = R"({"objects": [{"id": 1, "class": "NSMenu", "keys": )";
    for (int i = 0; i < 10000; ++i) deepKeys += R"({"a": )";
    deepKeys += "1" + std::string(10000, '}') + "}]}";
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"TooDeep", deepKeys},
        {"NotJSON", "{\"objects\": [ {\"id\": 1,"},
        {"NoObjects", "{\"version\": 1}"},
        {"UnknownClass", R"({"objects": [{"id": 1, "class": "NoSuchClassAnywhere"}]})"},
        {"DanglingRef",
         R"({"objects": [{"id": 1, "class": "FixtureView", "view": {"frame": {"$rect": [0,0,1,1]}, "subviews": [{"$ref": 9}]}}]})"},
        {"DuplicateID",
         R"({"objects": [{"id": 1, "class": "FixtureDelegate"}, {"id": 1, "class": "FixtureDelegate"}]})"},
        {"BadRect", R"({"objects": [{"id": 1, "class": "FixtureWindow", "window": {"contentRect": [1, 2]}}]})"},
        {"NotAWindow",
         R"({"objects": [{"id": 1, "class": "FixtureDelegate", "window": {"contentRect": {"$rect": [0,0,1,1]}}}]})"},
        {"UnknownOutlet", R"({"objects": [{"id": 1, "class": "FixtureDelegate"}, {"id": 2, "class": "FixtureDelegate"}],
                             "connections": [{"outlet": "noSuchOutlet", "source": {"$ref": 1}, "destination": {"$ref": 2}}]})"},
        {"BadKeys", R"({"objects": [{"id": 1, "class": "NSMenu", "keys": {"NSMenuItems": {"$ref": 5}}}]})"},
    };
    for (auto& c : cases) write(c.name, c.text);
    auto owner = NSObject::make<FixtureOwner>();
    for (auto& c : cases) {
        LogCapture log;
        auto nib = NSObject::alloc<NSNib>()->initWithNibNamed(NSString::stringWithUTF8String(c.name), bundle);
        ASSERT_TRUE(nib) << c.name;
        Ref<NSArray> top;
        EXPECT_FALSE(nib->instantiateWithOwner(owner, &top)) << c.name;
        EXPECT_EQ(log.lines().size(), 1u) << c.name;
    }
    LogCapture log;
    EXPECT_FALSE(NSObject::alloc<NSNib>()->initWithNibNamed("Absent"_ns, bundle));
    EXPECT_FALSE(NSBundleExt::loadNibNamed("Absent"_ns, owner));
    // Window controllers and NSApplicationMain load through the same loader.
    EXPECT_FALSE(NSNibLoading::loadNibNamed("Absent"_ns, owner));
    EXPECT_EQ(log.lines().size(), 3u);
}

// A main interface file as the application's own tools write it: the
// application's delegate and main menu, and a window's delegate.
TEST_F(InterfaceFileTest, WrittenMainFileConnectsTheApplication)
{
    InterfaceFileWriter writer;
    auto app = writer.addPlaceholder("application");
    auto firstResponder = writer.addPlaceholder("firstResponder");
    auto window = writer.addWindow("NSWindow", NSMakeRect(50, 60, 200, 100), NSTitledWindowMask, "Main");
    auto content = writer.addView("FixtureView", NSMakeRect(0, 0, 200, 100));
    auto delegate = writer.addObject("FixtureDelegate");
    auto quit =
        writer.addCodedObject("NSMenuItem", {{"NSTitle", "Quit"}, {"NSKeyEquiv", "q"}, {"NSKeyEquivModMask", 1048576}});
    auto menu =
        writer.addCodedObject("NSMenu", {{"NSTitle", "Main"}, {"NSMenuItems", {InterfaceFileWriter::ref(quit)}}});
    writer.setContentView(window, content);
    writer.connectOutlet(app, "delegate", delegate);
    writer.connectOutlet(app, "mainMenu", menu);
    writer.connectOutlet(window, "delegate", delegate);
    writer.connectOutlet(delegate, "menu", menu);
    writer.connectAction(quit, "terminate:", firstResponder);
    ASSERT_TRUE(writer.writeToFile((dir / "Interface" / "Written.json").string()));

    Id previousDelegate = NSApp->delegate();
    Id previousMenu = NSApp->mainMenu();
    auto nib = NSObject::alloc<NSNib>()->initWithNibNamed("Written"_ns, bundle);
    ASSERT_TRUE(nib);
    Ref<NSArray> top;
    ASSERT_TRUE(nib->instantiateWithOwner(Id(NSApp), &top));
    auto made = dynamic_ref_cast<FixtureDelegate>(NSApp->delegate());
    auto mainMenu = NSMenu::mainMenu();
    NSApp->setDelegate(previousDelegate);
    NSApp->setMainMenu(previousMenu);

    ASSERT_TRUE(made);
    ASSERT_EQ(top->count(), 2u);  // the window and the delegate
    auto w = dynamic_ref_cast<NSWindow>(top->objectAtIndex(0));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->delegate(), Id(made));
    EXPECT_TRUE(dynamic_ref_cast<FixtureView>(w->contentView()));
    ASSERT_TRUE(mainMenu);
    EXPECT_EQ(mainMenu, made->menu);
    EXPECT_EQ(mainMenu->itemAtIndex(0)->action(), "terminate:");
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "awake delegate early"), 1);
}

TEST_F(InterfaceFileTest, ButtonsCentreTheirTitlesAndTheDefaultButtonStandsOut)
{
    write("Buttons", R"({"objects": [
      {"id": 1, "class": "NSWindow", "window": {"contentRect": {"$rect": [100, 100, 300, 80]}, "styleMask": 0,
                                               "contentView": {"$ref": 2}}},
      {"id": 2, "class": "NSView", "view": {"frame": {"$rect": [0, 0, 300, 80]},
                                            "subviews": [{"$ref": 3}, {"$ref": 4}, {"$ref": 5}]}},
      {"id": 3, "class": "NSButton", "keys": {"NSFrame": {"$rect": [10, 10, 120, 28]}, "NSTitle": "Cancel",
                                              "NSBezelStyle": 1, "NSBordered": true}},
      {"id": 4, "class": "NSButton", "keys": {"NSFrame": {"$rect": [170, 10, 120, 28]}, "NSTitle": "OK",
                                              "NSBezelStyle": 1, "NSBordered": true, "NSKeyEquivalent": "\r"}},
      {"id": 5, "class": "NSButton", "keys": {"NSFrame": {"$rect": [10, 50, 200, 18]}, "NSTitle": "Check",
                                              "NSButtonType": 3}}
    ], "topLevelObjects": [{"$ref": 1}, {"$ref": 3}, {"$ref": 4}, {"$ref": 5}]})");
    auto nib = NSObject::alloc<NSNib>()->initWithNibNamed("Buttons"_ns, bundle);
    ASSERT_TRUE(nib);
    Ref<NSArray> top;
    ASSERT_TRUE(nib->instantiateWithOwner(NSObject::make<FixtureOwner>(), &top));
    auto window = dynamic_ref_cast<NSWindow>(top->objectAtIndex(0));
    auto cancel = dynamic_ref_cast<NSButton>(top->objectAtIndex(1));
    auto ok = dynamic_ref_cast<NSButton>(top->objectAtIndex(2));
    auto check = dynamic_ref_cast<NSButton>(top->objectAtIndex(3));
    EXPECT_EQ(cancel->alignment(), NSCenterTextAlignment);
    EXPECT_EQ(ok->alignment(), NSCenterTextAlignment);
    EXPECT_EQ(check->alignment(), NSLeftTextAlignment);
    window->orderFront(nullptr);
    pump();
    // The title's ink is as far from the left edge as from the right.
    const auto screen = server().screenImage();
    auto screenPixel = [&](int x, int row) { return screen->pixel(size_t(x), size_t(row)); };
    auto inkColumns = [&](int left, int right, int row) {
        int first = -1, last = -1;
        for (int x = left; x < right; ++x)
            for (int y = row - 6; y <= row + 6; ++y)
                if (((screenPixel(x, y) >> 16) & 0xFF) < 90) {
                    if (first < 0) first = x;
                    last = x;
                }
        return std::pair{first, last};
    };
    const int buttonRow = 1080 - (100 + 24);
    auto [first, last] = inkColumns(100 + 14, 100 + 126, buttonRow);
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first - (100 + 10), (100 + 130) - last, 3);
    // The default button is filled with the accent colour, the other white.
    const uint32_t okFill = screenPixel(100 + 180, buttonRow - 8);
    const uint32_t cancelFill = screenPixel(100 + 20, buttonRow - 8);
    EXPECT_GT(okFill & 0xFF, 200u);
    EXPECT_LT((okFill >> 16) & 0xFF, 120u);
    EXPECT_EQ(cancelFill & 0xFFFFFF, 0xFFFFFFu);
    window->orderOut(nullptr);
}
