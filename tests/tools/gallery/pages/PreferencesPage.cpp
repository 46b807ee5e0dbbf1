// The preference window: panes made in code, a pane loaded from the
// gallery's plug-in bundle, the show-all item and the icon view grouped by
// category. The window is the process's one preference window; the page's
// own window only starts it and then leaves the screen, and the preference
// window takes a "Gallery: " title so that the screenshot tool finds it.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPreferencePanel.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPreferenceWindowController.h"

namespace {

// A pane written into the program: a label and a few switches.
class GalleryCodePane : public ZAKPreferencePanel {
    NS_OBJECT(GalleryCodePane, ZAKPreferencePanel)
protected:
    GalleryCodePane() = default;

public:
    static Ref<GalleryCodePane> make(const char* identifier, const char* label, const char* category, NSColor* tint,
                                     std::initializer_list<const char*> switches)
    {
        auto pane = static_ref_cast<GalleryCodePane>(NSObject::make<GalleryCodePane>());
        pane->setPaneIdentifier(NSString::stringWithUTF8String(identifier));
        pane->m_label = NSString::stringWithUTF8String(label);
        pane->m_category = NSString::stringWithUTF8String(category);
        pane->m_icon = NSImage::imageWithSize(NSMakeSize(32, 32), false, [tint = Ref<NSColor>(tint)](NSRect) {
            tint->setFill();
            NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(2, 2, 28, 28), 7, 7)->fill();
            NSColor::whiteColor()->setFill();
            NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(10, 10, 12, 12))->fill();
            return true;
        });
        auto view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 540, 40.0 + 28 * switches.size()));
        CGFloat y = view->frame().size.height - 40;
        for (const char* title : switches) {
            auto box = NSObject::alloc<NSButton>();
            box->initWithFrame(NSMakeRect(20, y, 360, 20));
            box->setButtonType(NSSwitchButton);
            box->setTitle(NSString::stringWithUTF8String(title));
            box->setState(1);
            view->addSubview(box);
            y -= 28;
        }
        pane->setPaneMainView(view);
        return pane;
    }
    Ref<NSString> label() override { return m_label; }
    Ref<NSString> category() override { return m_category; }
    Ref<NSImage> icon() override { return m_icon; }

private:
    Ref<NSString> m_label;
    Ref<NSString> m_category;
    Ref<NSImage> m_icon;
};

Ref<ZAKPreferenceWindowController> makeController()
{
    auto controller = ZAKPreferenceWindowController::allocController();
    controller->initWithAutosaveName("GalleryPreferences"_ns);
    controller->setUsesConfigurationPane(true);
    struct Pane {
        const char* identifier;
        const char* label;
        const char* category;
        Ref<NSColor> tint;
        std::initializer_list<const char*> switches;
    };
    for (const Pane& p : {Pane{"general",
                               "General",
                               "Personal",
                               NSColor::colorWithCalibratedRed(0.45, 0.5, 0.58, 1),
                               {"Open a ruler at startup", "Remember guide positions"}},
                          Pane{"appearance",
                               "Appearance",
                               "Personal",
                               NSColor::colorWithCalibratedRed(0.85, 0.45, 0.2, 1),
                               {"Dark rulers", "Show tick labels", "Smooth edges"}},
                          Pane{"units",
                               "Units",
                               "Measuring",
                               NSColor::colorWithCalibratedRed(0.25, 0.65, 0.35, 1),
                               {"Points", "Show the unit beside values"}},
                          Pane{"screens",
                               "Screens",
                               "Measuring",
                               NSColor::colorWithCalibratedRed(0.55, 0.35, 0.75, 1),
                               {"Follow the pointer between screens"}},
                          Pane{"shortcuts",
                               "Shortcuts",
                               "Personal",
                               NSColor::colorWithCalibratedRed(0.8, 0.25, 0.3, 1),
                               {"Global shortcut for a new guide"}}}) {
        auto pane = GalleryCodePane::make(p.identifier, p.label, p.category, p.tint.get(), p.switches);
        controller->addPaneWithIdentifier(pane, pane->identifier());
    }
    controller->addPluginsOfTypeFromPath("prefPane"_ns, NSString::stringWithUTF8String(PLUMBLINE_GALLERY_PLUGINS));
    return controller;
}

Ref<NSView> placeholder(NSRect bounds) { return NSObject::alloc<NSView>()->initWithFrame(bounds); }

// Shows the preference window in place of the page's window.
void showInstead(const Ref<NSWindow>& pageWindow, bool showAll)
{
    static Ref<ZAKPreferenceWindowController> controller = makeController();
    auto window = controller->window();
    if (showAll) {
        // With no pane active, sorting by category shows all panes.
        controller->setCategorySortOrder(NSArray::arrayWithObjects({"Personal"_ns, "Measuring"_ns}));
        controller->setSortByCategory(true);
        window->setTitle("Gallery: Preference icons"_ns);
    } else {
        controller->selectPaneWithIdentifier("org.plumbline.gallery.Updates"_ns);
        window->setTitle("Gallery: Preferences"_ns);
    }
    window->center();
    window->makeKeyAndOrderFront(nullptr);
    pageWindow->setTitle("Preferences page"_ns);
    pageWindow->orderOut(nullptr);
}

}  // namespace

NS_CLASS_DEFINE(GalleryCodePane)

GALLERY_PAGE(preferences_window,
             {"preferences-window", "Preferences", {200, 100}, placeholder, [](const Ref<NSWindow>& window) {
                  showInstead(window, false);
              }});
GALLERY_PAGE(preferences_icons,
             {"preferences-icons", "Preference icons", {200, 100}, placeholder, [](const Ref<NSWindow>& window) {
                  showInstead(window, true);
              }});
