// View controllers: the view loaded on first use (from an interface file
// through the loading hook, or a plain one), the observable represented
// object and title, and the controller's place in the responder chain.
#include <gtest/gtest.h>

#include "AppKit/NSNibLoading.h"
#include "AppKit/NSViewController.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSKeyValueObserving.h"
#include "LogCapture.h"

namespace {

class CoreCountingController : public NSViewController {
    NS_OBJECT(CoreCountingController, NSViewController)
protected:
    CoreCountingController() = default;

public:
    int didLoad = 0;
    std::vector<std::string> actions;
    static void describeClass(NSClassMembers<CoreCountingController>& m)
    {
        m.action("controllerAction:", &CoreCountingController::controllerAction);
    }
    void controllerAction(const Id&) { actions.push_back("controller"); }
    void viewDidLoad() override { ++didLoad; }
};
NS_CLASS_DEFINE(CoreCountingController)

class CoreChangeCounter : public NSObject {
    NS_OBJECT(CoreChangeCounter, NSObject)
protected:
    CoreChangeCounter() = default;

public:
    std::vector<Id> values;
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>&, const Id&, const Ref<NSDictionary>& change,
                                                     void*) override
    {
        values.push_back(change->objectForKey(NSKeyValueChangeNewKey));
    }
};
NS_CLASS_DEFINE(CoreChangeCounter)

class CoreNibLoaderTest : public ::testing::Test {
protected:
    void TearDown() override { NSNibLoading::setLoader(m_previousLoader); }
    NSNibLoading::Loader m_previousLoader = NSNibLoading::currentLoader();
};

}

TEST(CoreViewController, WithoutAFileLoadViewMakesAPlainViewOnce)
{
    auto controller = NSObject::alloc<CoreCountingController>();
    controller->initWithNibName(nullptr, nullptr);
    EXPECT_FALSE(controller->isViewLoaded());
    auto view = controller->view();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->realClass().name(), std::string("NSView"));
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(controller->didLoad, 1);
    EXPECT_EQ(controller->nibBundle(), NSBundle::mainBundle());
}

TEST_F(CoreNibLoaderTest, TheViewComesFromTheInterfaceFileWithTheControllerAsOwner)
{
    std::vector<std::string> loaded;
    Ref<NSView> made = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 40, 30));
    NSNibLoading::setLoader([&](const Ref<NSString>& name, const Id& owner, Ref<NSArray>*) {
        loaded.push_back(name->UTF8String());
        if (name->isEqualToString("Accessory"_ns)) owner->setValueForKey(made, "view"_ns);
        return !name->isEqualToString("Missing"_ns);
    });
    auto controller = NSObject::alloc<CoreCountingController>();
    controller->initWithNibName("Accessory"_ns, nullptr);
    EXPECT_TRUE(loaded.empty());  // nothing until the view is asked for
    EXPECT_EQ(controller->view(), made);
    EXPECT_EQ(controller->view(), made);
    EXPECT_EQ(loaded.size(), 1u);
    EXPECT_EQ(controller->didLoad, 1);

    // A file that fails, or sets no view, is reported and leaves no view.
    LogCapture log;
    auto missing = NSObject::alloc<CoreCountingController>();
    missing->initWithNibName("Missing"_ns, nullptr);
    EXPECT_FALSE(missing->view());
    auto empty = NSObject::alloc<CoreCountingController>();
    empty->initWithNibName("Empty"_ns, nullptr);
    EXPECT_FALSE(empty->view());
    EXPECT_EQ(missing->didLoad + empty->didLoad, 0);
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_NE(log.lines()[0].find("Missing"), std::string::npos);
    EXPECT_NE(log.lines()[1].find("Empty"), std::string::npos);
}

TEST(CoreViewController, RepresentedObjectAndTitleNotifyOncePerChange)
{
    auto controller = NSObject::alloc<NSViewController>()->initWithNibName(nullptr, nullptr);
    auto counter = NSObject::make<CoreChangeCounter>();
    auto changes = static_ref_cast<CoreChangeCounter>(counter);
    controller->addObserver(counter, "representedObject"_ns, NSKeyValueObservingOptionNew, nullptr);
    controller->addObserver(counter, "title"_ns, NSKeyValueObservingOptionNew, nullptr);

    controller->setRepresentedObject("model"_ns);
    controller->setValueForKey("other"_ns, "representedObject"_ns);
    controller->setTitle("Ruler"_ns);
    controller->setValueForKey("Guides"_ns, "title"_ns);
    ASSERT_EQ(changes->values.size(), 4u);
    EXPECT_TRUE(changes->values[0]->isEqual("model"_ns.get()));
    EXPECT_TRUE(changes->values[1]->isEqual("other"_ns.get()));
    EXPECT_TRUE(changes->values[3]->isEqual("Guides"_ns.get()));
    EXPECT_TRUE(controller->valueForKey("representedObject"_ns)->isEqual("other"_ns.get()));
    EXPECT_TRUE(controller->title()->isEqualToString("Guides"_ns));
    controller->removeObserver(counter, "representedObject"_ns);
    controller->removeObserver(counter, "title"_ns);
}

TEST(CoreViewController, TheControllerFollowsItsViewInTheResponderChain)
{
    auto superview = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 100, 100));
    auto controller = NSObject::alloc<CoreCountingController>();
    controller->initWithNibName(nullptr, nullptr);
    auto view = controller->view();

    // Added to a superview after the controller took it, and before.
    superview->addSubview(view);
    EXPECT_EQ(view->nextResponder(), Ref<NSResponder>(controller));
    EXPECT_EQ(controller->nextResponder(), Ref<NSResponder>(superview));
    EXPECT_TRUE(view->tryToPerform("controllerAction:", nullptr));
    EXPECT_EQ(controller->actions.size(), 1u);

    auto other = NSObject::alloc<CoreCountingController>();
    other->initWithNibName(nullptr, nullptr);
    auto placed = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 10, 10));
    superview->addSubview(placed);
    other->setView(placed);
    EXPECT_EQ(placed->nextResponder(), Ref<NSResponder>(other));
    EXPECT_EQ(other->nextResponder(), Ref<NSResponder>(superview));

    // Removing the view clears the controller's link; a controller that goes
    // away hands the view's link back to the superview.
    view->removeFromSuperview();
    EXPECT_EQ(view->nextResponder(), Ref<NSResponder>(controller));
    EXPECT_FALSE(controller->nextResponder());
    other = nullptr;
    EXPECT_EQ(placed->nextResponder(), Ref<NSResponder>(superview));
}
