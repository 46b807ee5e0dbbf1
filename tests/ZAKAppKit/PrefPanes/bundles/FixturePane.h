#pragma once
// The principal classes of the fixture pane bundles: a pane that counts
// loadMainView, keeps its sort order and records every hook it is sent, so
// that a test can read them through key-value coding ("loads", "hooks").
#include "AppKit/NSView.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSObject.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

template <class Self> class FixturePaneBase : public NSObject, public ZAKPrefPaneBundleProtocol {
public:
    Id initWithBundle(const Ref<NSBundle>& bundle) override
    {
        m_bundle = bundle;
        m_hooks = NSMutableArray::array();
        return this;
    }
    Ref<NSView> mainView() override { return m_view; }
    NSUInteger sortOrder() const override { return m_sortOrder; }
    void setSortOrder(NSUInteger order) override { m_sortOrder = order; }

    Ref<NSView> loadMainView()
    {
        ++m_loads;
        if (!m_view) m_view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 320, 180));
        return m_view;
    }
    Ref<NSString> identifier() const { return m_bundle ? m_bundle->bundleIdentifier() : nullptr; }
    NSInteger loads() const { return m_loads; }
    Ref<NSArray> hooks() const { return m_hooks; }
    void record(const char* hook) { m_hooks->addObject(NSString::stringWithUTF8String(hook)); }
    void willSelect() { record("willSelect"); }
    void didSelect() { record("didSelect"); }
    void willUnselect() { record("willUnselect"); }
    void didUnselect() { record("didUnselect"); }
    NSSize standardSize() { return NSMakeSize(500, 300); }

    static void describeMembers(NSClassMembers<Self>& m)
    {
        m.action("loadMainView", &Self::loadMainView);
        m.action("willSelect", &Self::willSelect);
        m.action("didSelect", &Self::didSelect);
        m.action("willUnselect", &Self::willUnselect);
        m.action("didUnselect", &Self::didUnselect);
        m.action("standardSize", &Self::standardSize);
        m.property("identifier", &Self::identifier);
        m.property("sortOrder", &Self::sortOrder, &Self::setSortOrder);
        m.property("loads", &Self::loads);
        m.property("hooks", &Self::hooks);
    }

private:
    Ref<NSBundle> m_bundle;
    Ref<NSView> m_view;
    Ref<NSMutableArray> m_hooks;
    NSUInteger m_sortOrder = 0;
    NSInteger m_loads = 0;
};

// Declares a fixture pane class named T.
#define FIXTURE_PANE(T)                                                                                                \
    class T : public FixturePaneBase<T> {                                                                              \
        NS_OBJECT(T, NSObject)                                                                                         \
    protected:                                                                                                         \
        T() = default;                                                                                                 \
                                                                                                                       \
    public:                                                                                                            \
        static void describeClass(NSClassMembers<T>& m) { describeMembers(m); }                                        \
    };                                                                                                                 \
    NS_CLASS_DEFINE(T)
