// The link text view driven by injected clicks, the licence-agreement window
// it shows, the sharing menu and the reachability check.
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSSharingService.h"
#include "AppKit/NSTextStorage.h"
#include "AppKitExtensions/NSSharingServicePicker+ZAKSharingServicePickerMenu.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSURL.h"
#include "SystemConfiguration/SCNetworkReachability.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/URLTextView/URLTextView.h"
#include "ZAKAppKit/ZAKLicenseWindowController/ZAKLicenseWindowController.h"
#include "ZAKAppKit/ZAKNetwork/ZAKNetwork.h"

namespace {

bool sameColor(const Ref<NSColor>& a, const Ref<NSColor>& b)
{
    return a && b && std::abs(a->redComponent() - b->redComponent()) < 1e-6 &&
           std::abs(a->greenComponent() - b->greenComponent()) < 1e-6 &&
           std::abs(a->blueComponent() - b->blueComponent()) < 1e-6;
}

class LinkTextViewTest : public WindowingTest {
protected:
    Ref<NSWindow> window;
    Ref<URLTextView> view;
    std::vector<Ref<NSColor>> linkColors;  // the link's colour after each edit
    Id observer;
    static constexpr NSUInteger kLinkStart = 8;

    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 100, 400, 200), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
        view = static_ref_cast<URLTextView>(NSObject::alloc<URLTextView>()->initWithFrame(NSMakeRect(0, 0, 400, 200)));
        window->setContentView(view);
        auto storage = view->textStorage();
        storage->replaceCharactersInRange(NSMakeRange(0, 0), "Visit   the site today, or stay."_ns);
        storage->addAttribute(NSLinkAttributeName, NSURL::URLWithString("http://example.org/"_ns),
                              NSMakeRange(kLinkStart, 8));
        window->orderFront(nullptr);
        pump();
        observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            NSTextStorageDidProcessEditingNotification, storage, nullptr, [this](const Ref<NSNotification>&) {
                linkColors.push_back(static_ref_cast<NSColor>(
                    view->textStorage()->attributeAtIndex(NSForegroundColorAttributeName, kLinkStart, nullptr)));
            });
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(observer);
        WindowingTest::TearDown();
    }

    // A point of the view's character in screen coordinates.
    NSPoint screenPointOf(NSUInteger character)
    {
        auto rects = view->layoutManager()->rectArrayForCharacterRange(
            NSMakeRange(character, 1), NSMakeRange(character, 1), view->textContainer());
        const NSRect r = rects.at(0);
        const NSPoint inView =
            NSMakePoint(NSMidX(r) + view->textContainerOrigin().x, NSMidY(r) + view->textContainerOrigin().y);
        const NSPoint inWindow = view->convertPoint(inView, nullptr);
        return window->convertBaseToScreen(inWindow);
    }
};

}  // namespace

TEST_F(LinkTextViewTest, PressingALinkColoursItAndOpensItOnlyWhenReleasedOnIt)
{
    const NSPoint onLink = screenPointOf(kLinkStart + 2);
    const NSPoint offLink = screenPointOf(kLinkStart + 14);

    // Press, drag off, release: orange, then the rest colour; nothing opened.
    server().injectMouse(NSEventTypeLeftMouseDown, onLink);
    server().injectMouse(NSEventTypeLeftMouseDragged, offLink);
    server().injectMouse(NSEventTypeLeftMouseUp, offLink);
    pump();
    ASSERT_GE(linkColors.size(), 2u);
    EXPECT_TRUE(sameColor(linkColors.front(), NSColor::orangeColor()));
    EXPECT_TRUE(sameColor(linkColors[1], URLTextView::linkRestColor()));
    EXPECT_TRUE(sameColor(linkColors.back(), URLTextView::linkRestColor()));
    EXPECT_TRUE(server().openedURLs().empty());
    EXPECT_EQ(view->selectedRange().length, 0u) << "the press did not select";

    // Press and release on it: opened once, left in the rest colour.
    linkColors.clear();
    click(onLink);
    ASSERT_EQ(server().openedURLs().size(), 1u);
    EXPECT_EQ(server().openedURLs()[0], "http://example.org/");
    ASSERT_FALSE(linkColors.empty());
    EXPECT_TRUE(sameColor(linkColors.front(), NSColor::orangeColor()));
    EXPECT_TRUE(sameColor(linkColors.back(), URLTextView::linkRestColor()));
}

TEST_F(LinkTextViewTest, AClickOnPlainTextIsHandledAsTextAndOpensNothing)
{
    server().injectMouse(NSEventTypeLeftMouseDown, screenPointOf(20));
    server().injectMouse(NSEventTypeLeftMouseDragged, screenPointOf(24));
    server().injectMouse(NSEventTypeLeftMouseUp, screenPointOf(24));
    pump();
    EXPECT_TRUE(server().openedURLs().empty());
    EXPECT_TRUE(linkColors.empty());
    EXPECT_GT(view->selectedRange().length, 0u) << "dragging over text selects it";
}

TEST_F(LinkTextViewTest, OnlyTheVisiblePartOfALinkGetsTheHand)
{
    // Outside a scroll view there is no visible rectangle, so no hand.
    view->resetCursorRects();
    EXPECT_TRUE(view->cursorRects().empty());

    // In a scroll view showing the top 30 points of a link that runs over two
    // long lines.
    auto scroll =
        static_ref_cast<NSScrollView>(NSObject::alloc<NSScrollView>()->initWithFrame(NSMakeRect(0, 0, 200, 30)));
    auto linked =
        static_ref_cast<URLTextView>(NSObject::alloc<URLTextView>()->initWithFrame(NSMakeRect(0, 0, 200, 30)));
    scroll->setDocumentView(linked);
    auto container = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 400, 200));
    container->addSubview(scroll);
    window->setContentView(container);
    auto storage = linked->textStorage();
    storage->replaceCharactersInRange(NSMakeRange(0, 0), "a link\nthat goes on\nand on\nand on\nand on"_ns);
    storage->addAttribute(NSLinkAttributeName, "http://example.org/"_ns, NSMakeRange(0, storage->length()));
    linked->sizeToFit();
    linked->discardCursorRects();
    linked->resetCursorRects();
    const NSRect visible = scroll->documentVisibleRect();
    const NSRect whole =
        linked->layoutManager()->boundingRectForGlyphRange(NSMakeRange(0, storage->length()), linked->textContainer());
    ASSERT_GT(NSHeight(whole), NSHeight(visible));
    ASSERT_FALSE(linked->cursorRects().empty());
    for (const auto& cursorRect : linked->cursorRects()) {
        EXPECT_TRUE(NSContainsRect(visible, cursorRect.rect));
        EXPECT_EQ(cursorRect.cursor.get(), URLTextView::handCursor().get());
    }
    EXPECT_EQ(URLTextView::handCursor()->hotSpot().x, 5);
    EXPECT_EQ(URLTextView::handCursor()->hotSpot().y, 0);
}

TEST_F(WindowingTest, TheLicenceWindowShowsOurAgreementWithLinksUnderTheApplicationsName)
{
    auto controller = ZAKLicenseWindowController::sharedLicenseWindow();
    EXPECT_EQ(controller.get(), ZAKLicenseWindowController::sharedLicenseWindow().get());
    controller->showLicenseWindow(nullptr);
    auto window = controller->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->title()->UTF8String(), "Plumbline Licence Agreement");
    auto view = controller->textView();
    ASSERT_NE(view, nullptr);
    // The view keeps the storage the document was read into.
    auto storage = view->textStorage();
    ASSERT_NE(storage, nullptr);
    const std::u16string text = storage->string()->utf16();
    EXPECT_EQ(text.find(u"Plumbline Licence Agreement"), 0u);
    for (const std::u16string address :
         {u"http://www.plumbline.example/licence", u"mailto:licence@plumbline.example"}) {
        const size_t at = text.find(address);
        ASSERT_NE(at, std::u16string::npos);
        EXPECT_NE(storage->attributeAtIndex(NSLinkAttributeName, at + 1, nullptr), nullptr)
            << std::string(address.begin(), address.end());
    }
    pump();
    EXPECT_EQ(view->textStorage()->length(), text.size());
}

TEST(SharingMenu, IsNilWithoutServicesAndListsTheServicesInOrder)
{
    auto items = NSArray::arrayWithObjects({"some text"_ns});
    EXPECT_EQ(NSSharingServicePickerExt::menuForSharingItems(items, nullptr, "share:", nullptr), nullptr);

    // A provider that shares strings only.
    const NSUInteger token = NSSharingService::addServiceProvider([](const Ref<NSArray>& offered) -> Ref<NSArray> {
        for (NSUInteger i = 0; i < offered->count(); ++i)
            if (!dynamic_ref_cast<NSString>(offered->objectAtIndex(i))) return nullptr;
        return NSArray::arrayWithObjects({NSSharingService::initWithTitle("Mail"_ns, nullptr, nullptr, nullptr),
                                          NSSharingService::initWithTitle("Messages"_ns, nullptr, nullptr, nullptr)});
    });
    auto target = NSObject::make<NSObject>();
    auto delegate = NSObject::make<NSObject>();
    auto menu = NSSharingServicePickerExt::menuForSharingItems(items, target, "share:", delegate);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title()->UTF8String(), "MountainLionSharingMenu");
    ASSERT_EQ(menu->numberOfItems(), 2);
    const char* titles[] = {"Mail", "Messages"};
    for (NSInteger i = 0; i < 2; ++i) {
        auto item = menu->itemAtIndex(i);
        EXPECT_EQ(item->title()->UTF8String(), titles[i]);
        EXPECT_EQ(item->action(), "share:");
        EXPECT_EQ(item->target().get(), target.get());
        EXPECT_EQ(item->keyEquivalent()->length(), 0u);
        auto service = dynamic_ref_cast<NSSharingService>(item->representedObject());
        ASSERT_NE(service, nullptr);
        EXPECT_EQ(service->delegate().get(), delegate.get());
    }
    EXPECT_EQ(
        NSSharingServicePickerExt::menuForSharingItems(NSArray::arrayWithObjects({target}), target, "share:", delegate),
        nullptr);
    NSSharingService::removeServiceProvider(token);
    EXPECT_EQ(NSSharingServicePickerExt::menuForSharingItems(items, target, "share:", delegate), nullptr);
}

TEST(Reachability, AnswersFromTheResolverAndTheRoutingTableWithoutLookingUpBadNames)
{
    int lookups = 0;
    auto previous = SCNetworkReachability::setResolver([&](const std::string& host) {
        ++lookups;
        if (host == "nowhere.invalid") return std::vector<sockaddr_storage>{};
        sockaddr_storage address{};
        auto& in = reinterpret_cast<sockaddr_in&>(address);
        in.sin_family = AF_INET;
        in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return std::vector<sockaddr_storage>{address};
    });
    EXPECT_FALSE(ZAKNetwork::checkIfSiteReachable(nullptr));
    EXPECT_FALSE(ZAKNetwork::checkIfSiteReachable(""_ns));
    EXPECT_FALSE(ZAKNetwork::checkIfSiteReachable("b\u00fccher.example"_ns));
    EXPECT_EQ(lookups, 0);
    EXPECT_FALSE(ZAKNetwork::checkIfSiteReachable("nowhere.invalid"_ns));
    EXPECT_TRUE(ZAKNetwork::checkIfSiteReachable("anything.example"_ns));
    EXPECT_EQ(lookups, 2);
    SCNetworkReachability::setResolver(previous);

    // The system's resolver, for names that never leave this machine.
    EXPECT_TRUE(ZAKNetwork::checkIfSiteReachable("localhost"_ns));
    EXPECT_TRUE(ZAKNetwork::checkIfSiteReachable("127.0.0.1"_ns));
}
