#include <dlfcn.h>
#include <gtest/gtest.h>

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "LogCapture.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPlugInPreferencePane.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPreferencePanel.h"

namespace {

Ref<NSBundle> fixtureBundle(const char* name)
{
    return NSBundle::bundleWithPath(
        NSString::stringWithUTF8String((std::string(PLUMBLINE_PREFPANE_BUNDLES) + "/" + name + ".prefPane").c_str()));
}

Ref<ZAKPlugInPreferencePane> plugIn(const char* name)
{
    return NSObject::alloc<ZAKPlugInPreferencePane>()->initWithBundle(fixtureBundle(name));
}

bool codeIsLoaded(const Ref<NSBundle>& bundle)
{
    void* handle = ::dlopen(bundle->executablePath()->UTF8String().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) ::dlclose(handle);
    return handle != nullptr;
}

NSInteger integerFor(const Id& object, const char* key)
{
    auto n = dynamic_ref_cast<NSNumber>(object->valueForKey(NSString::stringWithUTF8String(key)));
    return n ? n->integerValue() : -1;
}

}  // namespace

TEST(PlugInPreferencePane, InfoKeysAtOnceCodeAtTheFirstQuestion)
{
    auto pane = plugIn("GoodPane");
    ASSERT_TRUE(pane);
    const bool fresh = !pane->bundle()->isLoaded();  // see PluginBundleTests
    EXPECT_TRUE(pane->identifier()->isEqualToString("org.plumbline.test.GoodPane"_ns));
    EXPECT_TRUE(pane->label()->isEqualToString(pane->identifier()));  // no NSPrefPaneIconLabel
    ASSERT_TRUE(pane->icon());                                        // the image named like the identifier
    EXPECT_EQ(pane->icon()->size(), NSMakeSize(32, 32));
    EXPECT_TRUE(pane->category()->isEqualToString("Plug-ins"_ns));
    EXPECT_TRUE(pane->version()->isEqualToString("1.0"_ns));
    EXPECT_TRUE(pane->helpURL()->isEqualToString("help/GoodPane.html"_ns));
    if (fresh) EXPECT_FALSE(codeIsLoaded(pane->bundle()));

    EXPECT_TRUE(pane->paneRespondsToSelector("willSelect"));
    EXPECT_TRUE(codeIsLoaded(pane->bundle()));
    EXPECT_FALSE(pane->paneRespondsToSelector("panelDidBecomeMain"));
    EXPECT_TRUE(pane->paneRespondsToSelector("loadMainView"));
    auto principal = pane->prefPane();
    EXPECT_EQ(integerFor(principal, "loads"), 1);  // once, when it was made
    auto view = pane->mainView();
    ASSERT_TRUE(view);
    pane->setMainView(NSObject::alloc<NSView>()->initWithFrame(NSZeroRect));  // ignored with a bundle
    EXPECT_EQ(pane->mainView().get(), view.get());

    pane->panePerformSelector("willSelect");
    auto hooks = dynamic_ref_cast<NSArray>(principal->valueForKey("hooks"_ns));
    ASSERT_EQ(hooks->count(), 1u);
    EXPECT_THROW(pane->panePerformSelector("panelDidBecomeMain"), NSException);
}

TEST(PlugInPreferencePane, SortOrderAndKeysReachThePrincipalObject)
{
    auto pane = plugIn("GoodPane");
    pane->setSortOrder(5);  // nothing asked for the principal object before
    EXPECT_EQ(integerFor(pane->prefPane(), "sortOrder"), 5);
    EXPECT_EQ(pane->sortOrder(), 5u);
    EXPECT_EQ(integerFor(pane, "sortOrder"), 5);
    EXPECT_TRUE(dynamic_ref_cast<NSString>(pane->valueForKey("identifier"_ns))->isEqualToString(pane->identifier()));
}

TEST(PlugInPreferencePane, BadBundlesGiveNoPane)
{
    struct Case {
        const char* bundle;
        const char* line;
    };
    for (const Case& c : {Case{"NoPrincipalPane", "principal class name not found"},
                          Case{"TakenNamePane", "class ZAKPreferencePanel already exists"}}) {
        LogCapture log;
        EXPECT_FALSE(plugIn(c.bundle)) << c.bundle;
        ASSERT_EQ(log.lines().size(), 1u) << c.bundle;
        EXPECT_EQ(log.lines()[0], c.line);
        EXPECT_FALSE(codeIsLoaded(fixtureBundle(c.bundle)));
    }

    // A principal object that cannot be made: the pane has none, and the
    // first message passed on raises.
    auto nilInit = plugIn("NilInitPane");
    ASSERT_TRUE(nilInit);
    EXPECT_FALSE(nilInit->prefPane());
    EXPECT_FALSE(nilInit->mainView());
    EXPECT_THROW(nilInit->setSortOrder(0), NSException);

    auto noIdentifier = plugIn("NoIdentifierPane");
    ASSERT_TRUE(noIdentifier);
    EXPECT_FALSE(noIdentifier->identifier());
    EXPECT_FALSE(noIdentifier->icon());
}

TEST(PlugInPreferencePane, WithoutABundleItKeepsItsOwnView)
{
    auto pane = NSObject::make<ZAKPlugInPreferencePane>();
    auto view = NSObject::alloc<NSView>()->initWithFrame(NSZeroRect);
    pane->setMainView(view);
    EXPECT_EQ(pane->mainView().get(), view.get());
    EXPECT_EQ(pane->loadMainView().get(), view.get());
    EXPECT_FALSE(pane->prefPane());
}

class LabelledPanel : public ZAKPreferencePanel {
    NS_OBJECT(LabelledPanel, ZAKPreferencePanel)
protected:
    LabelledPanel() = default;

public:
    int didLoad = 0;
    void viewDidLoad() override { ++didLoad; }
    void willSelect() override { ++selects; }
    int selects = 0;
};

NS_CLASS_DEFINE(LabelledPanel)

TEST(PreferencePanel, DefaultsAndAMissingInterfaceFile)
{
    auto panel = NSObject::make<LabelledPanel>();
    EXPECT_TRUE(panel->label()->isEqualToString(""_ns));
    EXPECT_TRUE(panel->category()->isEqualToString(""_ns));
    EXPECT_FALSE(panel->icon());
    EXPECT_FALSE(panel->shouldResize());
    EXPECT_TRUE(panel->categoryDisplayName()->isEqualToString(""_ns));
    panel->setSortOrder(3);
    EXPECT_EQ(integerFor(panel, "sortOrder"), 3);
    EXPECT_TRUE(panel->paneRespondsToSelector("didUnselect"));
    EXPECT_FALSE(panel->paneRespondsToSelector("standardSize"));
    panel->panePerformSelector("willSelect");  // the subclass's override
    EXPECT_EQ(panel->selects, 1);

    try {
        NSObject::alloc<LabelledPanel>()->initWithNibNameAndIndentifier("NoSuchPanel"_ns, "p"_ns);
        FAIL() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), "View initialization failed");
        EXPECT_EQ(e.reasonUTF8(), "NoSuchPanel: Could not load views resources!");
    }
}
