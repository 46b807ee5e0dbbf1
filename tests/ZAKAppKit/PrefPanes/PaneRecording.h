#pragma once
// Panes and a delegate for the preference window tests: each pane writes
// every hook it is sent into a shared log as "<name>.<hook>", the delegate
// writes "delegate.<method>:<identifier>".
#include <set>
#include <string>
#include <vector>

#include "Foundation/NSClass.h"
#include "Foundation/NSValue.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPreferencePanel.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPreferenceWindowController.h"

using HookLog = std::vector<std::string>;

class RecordingPane : public ZAKPreferencePanel {
    NS_OBJECT(RecordingPane, ZAKPreferencePanel)
protected:
    RecordingPane() = default;

public:
    // A pane named `name` (also its identifier and label) with a view of
    // that size, or none when the size is empty.
    static Ref<RecordingPane> make(const std::string& name, HookLog* log, NSSize viewSize,
                                   const char* category = nullptr)
    {
        auto pane = static_ref_cast<RecordingPane>(NSObject::make<RecordingPane>());
        pane->m_name = name;
        pane->m_log = log;
        pane->setPaneIdentifier(NSString::stringWithUTF8String(name.c_str()));
        if (viewSize.width > 0)
            pane->setPaneMainView(
                NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, viewSize.width, viewSize.height)));
        if (category) pane->m_category = NSString::stringWithUTF8String(category);
        return pane;
    }

    NSSize standard = NSMakeSize(400, 250);
    Ref<NSString> label() override { return NSString::stringWithUTF8String(("Pane " + m_name).c_str()); }
    Ref<NSString> category() override { return m_category; }
    bool shouldResize() override { return note("shouldResize"), true; }
    void willSelect() override { note("willSelect"); }
    void didSelect() override { note("didSelect"); }
    void willUnselect() override { note("willUnselect"); }
    void didUnselect() override { note("didUnselect"); }
    void panelDidBecomeMain() override { note("panelDidBecomeMain"); }
    Ref<NSView> loadMainView() { return note("loadMainView"), mainView(); }
    NSSize standardSize() { return standard; }

    static void describeClass(NSClassMembers<RecordingPane>& m)
    {
        m.action("loadMainView", &RecordingPane::loadMainView);
        m.action("standardSize", &RecordingPane::standardSize);
    }

private:
    void note(const char* hook)
    {
        if (m_log) m_log->push_back(m_name + "." + hook);
    }
    std::string m_name;
    HookLog* m_log = nullptr;
    Ref<NSString> m_category;
};

class RecordingPaneDelegate : public NSObject, public ZAKPreferenceWindowControllerDelegate {
    NS_OBJECT(RecordingPaneDelegate, NSObject)
protected:
    RecordingPaneDelegate() = default;

public:
    HookLog* log = nullptr;
    std::set<std::string> refused;
    bool renamesCategories = false;
    bool answersNilCategory = false;

    std::optional<bool> shouldLoadPreferencePane(const Ref<NSString>& identifier) override
    {
        return !refused.count(identifier->UTF8String());
    }
    void didLoadPreferencePane(const Ref<NSString>& identifier) override { note("didLoad", identifier); }
    void willSelectPreferencePane(const Ref<NSString>& identifier) override { note("willSelect", identifier); }
    void didUnselectPreferencePane(const Ref<NSString>& identifier) override { note("didUnselect", identifier); }
    std::optional<Ref<NSString>> categoryForPreferencePane(const Ref<NSString>&, const Ref<NSString>& category) override
    {
        if (answersNilCategory) return Ref<NSString>();
        return category;
    }
    Ref<NSString> displayNameForCategory(const Ref<NSString>& category) override
    {
        if (!renamesCategories || !category) return nullptr;
        return NSString::stringWithFormat("Group %@", category);
    }

private:
    void note(const char* what, const Ref<NSString>& identifier)
    {
        if (log) log->push_back(std::string("delegate.") + what + ":" + identifier->UTF8String());
    }
};
