// The gallery's plug-in preference pane: a bundle of its own whose code the
// preference window loads when the pane is first shown.
#include "AppKit/NSButton.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

class GalleryPlugInPane : public NSObject, public ZAKPrefPaneBundleProtocol {
    NS_OBJECT(GalleryPlugInPane, NSObject)
protected:
    GalleryPlugInPane() = default;

public:
    Id initWithBundle(const Ref<NSBundle>& bundle) override
    {
        m_bundle = bundle;
        return this;
    }
    Ref<NSView> mainView() override { return m_view; }
    NSUInteger sortOrder() const override { return m_sortOrder; }
    void setSortOrder(NSUInteger order) override { m_sortOrder = order; }
    Ref<NSString> identifier() const { return m_bundle->bundleIdentifier(); }

    Ref<NSView> loadMainView()
    {
        if (m_view) return m_view;
        m_view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 540, 170));
        auto note = NSObject::alloc<NSTextField>();
        note->initWithFrame(NSMakeRect(20, 125, 380, 22));
        note->setStringValue("This pane was loaded from a plug-in bundle."_ns);
        note->setBezeled(false);
        note->setDrawsBackground(false);
        note->setEditable(false);
        m_view->addSubview(note);
        const char* titles[] = {"Check for updates", "Show tips at startup", "Share usage statistics"};
        for (int i = 0; i < 3; ++i) {
            auto box = NSObject::alloc<NSButton>();
            box->initWithFrame(NSMakeRect(20, 90 - 28 * i, 300, 20));
            box->setButtonType(NSSwitchButton);
            box->setTitle(NSString::stringWithUTF8String(titles[i]));
            box->setState(i == 1 ? 0 : 1);
            m_view->addSubview(box);
        }
        return m_view;
    }

    static void describeClass(NSClassMembers<GalleryPlugInPane>& m)
    {
        m.action("loadMainView", &GalleryPlugInPane::loadMainView);
        m.property("identifier", &GalleryPlugInPane::identifier);
        m.property("sortOrder", &GalleryPlugInPane::sortOrder, &GalleryPlugInPane::setSortOrder);
    }

private:
    Ref<NSBundle> m_bundle;
    Ref<NSView> m_view;
    NSUInteger m_sortOrder = 0;
};
NS_CLASS_DEFINE(GalleryPlugInPane)
