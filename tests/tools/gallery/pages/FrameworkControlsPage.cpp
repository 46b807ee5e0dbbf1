// The framework's containers and toolbar item: a scroll view with accessory
// slots and a header, a placeholder view, and a toolbar holding a
// context-menu item.
#include "AppKit/ControlText.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSToolbar.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKBaseView/ZAKBaseView.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuToolbarItem.h"
#include "ZAKAppKit/ZAKScrollView/ZAKScrollView.h"
#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButton.h"

namespace {

// Numbered lines, so scrolling shows.
class LinesView : public NSView {
    NS_OBJECT(LinesView, NSView)
protected:
    LinesView() = default;

public:
    bool isFlipped() const override { return true; }
    void drawRect(const NSRect&) override
    {
        NSColor::whiteColor()->setFill();
        NSRectFill(bounds());
        for (int i = 0; i < 40; ++i) {
            const NSRect line = NSMakeRect(0, i * 20, bounds().size.width, 20);
            if (i % 2) {
                NSColor::colorWithCalibratedRed(0.93, 0.95, 1, 1)->setFill();
                NSRectFill(line);
            }
            const std::string text = "Line " + std::to_string(i + 1);
            ControlText::drawInRect(NSString::stringWithUTF8String(text.c_str())->utf16(), NSInsetRect(line, 8, 0),
                                    {12, false}, NSColor::controlTextColor(), 0);
        }
    }
};

// A header strip with a caption.
class HeaderView : public ZAKContainerBox {
    NS_OBJECT(HeaderView, ZAKContainerBox)
protected:
    HeaderView() = default;

public:
    void drawRect(const NSRect& dirty) override
    {
        ZAKContainerBox::drawRect(dirty);
        ControlText::drawInRect(u"Header", NSInsetRect(bounds(), 8, 0), {11, true}, NSColor::controlTextColor(), 0);
    }
};

Ref<NSImage> roundImage(const Ref<NSColor>& colour, CGFloat side)
{
    auto image = NSImage::initWithSize(NSMakeSize(side, side));
    image->lockFocus();
    colour->setFill();
    NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(2, 2, side - 4, side - 4))->fill();
    NSColor::whiteColor()->setFill();
    NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(side / 2 - 4, side / 2 - 4, 8, 8))->fill();
    image->unlockFocus();
    return image;
}

class GalleryToolbarMaker : public NSObject, public NSToolbarDelegate {
    NS_OBJECT(GalleryToolbarMaker, NSObject)
protected:
    GalleryToolbarMaker() = default;

public:
    Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar*, const Ref<NSString>& identifier, bool) override
    {
        if (identifier->isEqualToString("actions"_ns)) {
            auto item = NSObject::alloc<ZAKContextMenuToolbarItem>()->initWithItemIdentifier(identifier);
            item->setLabel("Actions"_ns);
            item->setImage(roundImage(NSColor::colorWithCalibratedRed(0.35, 0.45, 0.6, 1), 128));
            auto menu = NSMenu::menuWithTitle(""_ns);
            menu->addItemWithTitle("Duplicate"_ns, {}, ""_ns);
            menu->addItemWithTitle("Rename"_ns, {}, ""_ns);
            static_cast<ZAKContextMenuToolbarItem*>(item.get())->setMenu(menu);
            return item;
        }
        auto item = NSObject::alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
        item->setLabel("Refresh"_ns);
        item->setImage(roundImage(NSColor::colorWithCalibratedRed(0.3, 0.6, 0.35, 1), 32));
        return item;
    }
    Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar*) override
    {
        return NSArray::arrayWithObjects({"refresh"_ns, "actions"_ns, NSToolbarFlexibleSpaceItemIdentifier});
    }
    Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar* t) override { return toolbarDefaultItemIdentifiers(t); }
};

Ref<NSView> makePage(NSRect bounds)
{
    auto view = NSView::alloc<NSView>()->initWithFrame(bounds);
    auto scroll = NSObject::alloc<ZAKScrollView>();
    scroll->initWithFrame(NSMakeRect(20, 20, 300, 240));
    scroll->setBorderType(NSLineBorder);
    auto lines = NSObject::alloc<LinesView>();
    lines->initWithFrame(NSMakeRect(0, 0, 400, 800));
    scroll->setDocumentView(lines);
    auto header = NSObject::alloc<HeaderView>();
    header->initWithFrame(NSMakeRect(0, 0, 300, 22));
    scroll->setHeaderView(header);
    auto zoom = NSObject::alloc<ZAKTPopUpButton>();
    zoom->initWithFrame(NSMakeRect(0, 0, 64, 15));
    zoom->addItemsWithTitles(NSArray::arrayWithObjects({"100%"_ns, "200%"_ns}));
    zoom->setControlSize(1);
    scroll->addView(zoom, ZAKScrollViewHorizontalLeft);
    for (const char* title : {"+", "-"}) {
        auto b = NSObject::alloc<NSButton>();
        b->initWithFrame(NSMakeRect(0, 0, 15, 15));
        b->setTitle(NSString::stringWithUTF8String(title));
        b->setControlSize(2);
        scroll->addView(b, ZAKScrollViewVerticalBottom);
    }
    auto corner = ZAKContainerBox::alloc<ZAKContainerBox>()->initWithFrame(NSZeroRect);
    scroll->setBottomRightCornerView(corner);
    view->addSubview(scroll);

    auto empty = NSObject::alloc<ZAKBaseView>();
    empty->initWithFrame(NSMakeRect(340, 20, 200, 240));
    empty->setIcon(roundImage(NSColor::grayColor(), 64));
    empty->setText("No Selection"_ns);
    view->addSubview(empty);
    return view;
}

}

NS_CLASS_DEFINE(LinesView)
NS_CLASS_DEFINE(HeaderView)
NS_CLASS_DEFINE(GalleryToolbarMaker)

GALLERY_PAGE(framework_controls,
             {"framework-controls", "Framework controls", {560, 280}, makePage, [](const Ref<NSWindow>& window) {
                  static Ref<GalleryToolbarMaker> maker = NSObject::make<GalleryToolbarMaker>();
                  auto toolbar = NSObject::alloc<NSToolbar>()->initWithIdentifier("gallery"_ns);
                  toolbar->setDelegate(maker);
                  window->setToolbar(toolbar);
              }});
