#include <gtest/gtest.h>

#include <map>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSColorSpace.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKCenteringClipView/ZAKCenteringClipView.h"
#include "ZAKAppKit/ZAKColorBackgroundView/ZAKColorBackgroundView.h"
#include "ZAKAppKit/ZAKRoundedBox/ZAKRoundedBox.h"
#include "ZAKAppKit/ZAKWindow/ZAKGreyBackgroundWindow.h"
#include "ZAKAppKit/ZAKWindow/ZAKWindow.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

// A keyed coder holding a few values, which reports a chosen version for
// every class name.
class VersionedKeyedCoder : public NSCoder {
    NS_OBJECT(VersionedKeyedCoder, NSCoder)
protected:
    VersionedKeyedCoder() = default;

public:
    NSInteger version = 1;
    std::map<std::string, Id> objects;
    std::map<std::string, bool> flags;

    bool allowsKeyedCoding() const override { return true; }
    NSInteger versionForClassName(const Ref<NSString>&) const override { return version; }
    bool containsValueForKey(const Ref<NSString>& key) const override
    {
        return objects.count(key->UTF8String()) || flags.count(key->UTF8String());
    }
    Id decodeObjectForKey(const Ref<NSString>& key) override
    {
        auto it = objects.find(key->UTF8String());
        return it == objects.end() ? nullptr : it->second;
    }
    bool decodeBoolForKey(const Ref<NSString>& key) override
    {
        auto it = flags.find(key->UTF8String());
        return it != flags.end() && it->second;
    }
    NSRect decodeRectForKey(const Ref<NSString>&) override { return NSMakeRect(0, 0, 40, 30); }
    NSInteger decodeIntegerForKey(const Ref<NSString>&) override { return 0; }
};
NS_CLASS_DEFINE(VersionedKeyedCoder)

namespace {

Ref<ZAKColorBackgroundView> backgroundView(CGFloat height)
{
    return dynamic_ref_cast<ZAKColorBackgroundView>(
        NSObject::alloc<ZAKColorBackgroundView>()->initWithFrame(NSMakeRect(0, 0, 50, height)));
}

std::vector<CGRecordedOperation> fillsOf(const Ref<NSView>& view)
{
    return ofKind(record([&] { view->drawRect(view->bounds()); }), Kind::Fill);
}

}  // namespace

TEST(ColorBackgroundView, DefaultsVersionAndBlendedSlices)
{
    EXPECT_EQ(ZAKColorBackgroundView::staticClass().version(), 1);
    auto view = backgroundView(10.5);
    auto colour = view->backgroundColor()->colorUsingColorSpaceName(NSCalibratedRGBColorSpace);
    EXPECT_EQ(colour->redComponent(), 0.8);
    EXPECT_EQ(colour->blueComponent(), 0.8);
    EXPECT_FALSE(view->blended());
    EXPECT_EQ(fillsOf(view).size(), 1u);  // plain fill of the bounds

    view->setBlended(2);
    EXPECT_TRUE(view->blended());
    auto slices = fillsOf(view);
    ASSERT_EQ(slices.size(), 10u);
    // One-point slices from the bottom up, lightening towards the top.
    EXPECT_EQ(slices.front().path.bounds().size.height, 1);
    EXPECT_LT(slices.front().paint.color.r, slices.back().paint.color.r);

    auto thin = backgroundView(0.5);
    thin->setBlended(1);
    EXPECT_TRUE(fillsOf(thin).empty());
}

TEST(ColorBackgroundView, ColoursWithoutRGBFillPlainly)
{
    auto view = backgroundView(20);
    view->setBlended(1);
    view->setBackgroundColor(NSColor::colorWithCalibratedWhite(0.5, 1));  // grey converts
    EXPECT_EQ(fillsOf(view).size(), 20u);
    auto pattern = NSImage::initWithSize(NSMakeSize(2, 2));
    view->setBackgroundColor(NSColor::colorWithPatternImage(pattern));  // a pattern does not
    EXPECT_EQ(fillsOf(view).size(), 1u);
}

TEST(ColorBackgroundView, ArchivesKeepColourAndFlagUnlessTheOldVersionSpeaks)
{
    auto view = backgroundView(30);
    view->setBackgroundColor(NSColor::redColor());
    view->setBlended(1);
    EXPECT_EQ(ownKeys(view, "ZAKColorBackgroundView"), (std::vector<std::string>{"_bgColor", "_blended"}));

    // Both coders: the former class name is not in the stream, so the flag is read.
    auto keyed = NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(view));
    auto sequential = NSUnarchiver::unarchiveObjectWithData(
        NSArchiver::archivedDataWithRootObject(view), {&ZAKColorBackgroundView::staticClass(), &NSColor::staticClass(),
                                                       &NSArray::staticClass(), &NSString::staticClass()});
    for (const Id& decoded : {keyed, sequential}) {
        auto back = dynamic_ref_cast<ZAKColorBackgroundView>(decoded);
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->blended());
        EXPECT_TRUE(back->backgroundColor()->isEqual(NSColor::redColor().get()));
    }

    auto coder = NSObject::alloc<VersionedKeyedCoder>();
    coder->objects["_bgColor"] = NSColor::blueColor();
    coder->flags["_blended"] = true;
    for (NSInteger version : {NSInteger(1), NSInteger(2)}) {
        coder->version = version;
        auto decoded = dynamic_ref_cast<ZAKColorBackgroundView>(
            NSObject::alloc<ZAKColorBackgroundView>()->initWithCoder(coder.get()));
        EXPECT_EQ(decoded->blended(), version >= 2) << version;
        EXPECT_TRUE(decoded->backgroundColor()->isEqual(NSColor::blueColor().get()));
    }
}

TEST(ColorBackgroundView, InterfaceEditorAnswers)
{
    auto view = backgroundView(10);
    EXPECT_TRUE(view->inspectorClassName()->isEqualToString("HSKColorBackgroundViewInspector"_ns));
    EXPECT_TRUE(view->ibIsContainer() && view->ibSupportsInsideOutSelection() && view->ibShouldShowContainerGuides() &&
                view->ibDrawFrameWhileResizing() && view->canEditSelf() && view->editorHandlesCaches());
    EXPECT_EQ(view->ibNearestTargetForDrag().get(), view.get());
}

namespace {

Ref<ZAKCenteringClipView> clipWithDocument(NSSize document)
{
    auto clip = dynamic_ref_cast<ZAKCenteringClipView>(
        NSObject::alloc<ZAKCenteringClipView>()->initWithFrame(NSMakeRect(0, 0, 300, 200)));
    auto doc = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, document.width, document.height));
    clip->setDocumentView(doc);
    return clip;
}

}  // namespace

TEST(CenteringClipView, SmallDocumentsStayCentredLargeOnesScroll)
{
    EXPECT_EQ(ZAKCenteringClipView::staticClass().version(), 1);
    auto small = clipWithDocument(NSMakeSize(100, 100));
    EXPECT_EQ(small->bounds().origin, NSMakePoint(-100, -50));
    small->scrollToPoint(NSMakePoint(20, 20));
    EXPECT_EQ(small->bounds().origin, NSMakePoint(-100, -50));
    // A new clip size centres again.
    small->setFrameSize(NSMakeSize(200, 300));
    EXPECT_EQ(small->bounds().origin, NSMakePoint(-50, -100));
    // So does a document that changes size.
    small->documentView()->setFrameSize(NSMakeSize(151, 100));
    EXPECT_EQ(small->bounds().origin, NSMakePoint(-25, -100));  // -24.5 rounds away from zero

    auto large = clipWithDocument(NSMakeSize(1000, 1000));
    EXPECT_EQ(large->constrainScrollPoint(NSMakePoint(900, -5)), NSMakePoint(700, 0));
    large->scrollToPoint(NSMakePoint(120.4, 330.6));
    EXPECT_EQ(large->bounds().origin, NSMakePoint(120, 331));

    // Wide but short: centred vertically only.
    auto mixed = clipWithDocument(NSMakeSize(1000, 50));
    mixed->scrollToPoint(NSMakePoint(50, 50));
    EXPECT_EQ(mixed->bounds().origin, NSMakePoint(50, -75));
}

TEST(CenteringClipView, ScalingRecentresAndTheMenuIsTheDocuments)
{
    auto clip = clipWithDocument(NSMakeSize(100, 100));
    clip->scaleUnitSquareToSize(NSMakeSize(2, 2));  // bounds 150 x 100
    EXPECT_EQ(clip->bounds().origin, NSMakePoint(-25, 0));
    auto menu = NSMenu::alloc<NSMenu>()->initWithTitle("Document"_ns);
    clip->documentView()->setMenu(menu);
    EXPECT_EQ(clip->menuForEvent(nullptr).get(), menu.get());
}

class ZAKWindowTest : public WindowingTest { };

TEST_F(ZAKWindowTest, SwitchesStartOffAndDriveTheButtons)
{
    auto w = dynamic_ref_cast<ZAKWindow>(NSObject::alloc<ZAKWindow>()->initWithContentRect(
        NSMakeRect(100, 100, 200, 100), NSTitledWindowMask | NSResizableWindowMask, NSBackingStoreBuffered, true));
    EXPECT_FALSE(w->canResize());
    EXPECT_FALSE(w->canZoom());
    EXPECT_TRUE(w->standardWindowButton(NSWindowZoomButton)->isEnabled());  // whatever the button shows
    w->setCanZoom(false);
    EXPECT_FALSE(w->standardWindowButton(NSWindowZoomButton)->isEnabled());
    w->setCanZoom(true);
    EXPECT_TRUE(w->canZoom());
    EXPECT_TRUE(w->standardWindowButton(NSWindowZoomButton)->isEnabled());
    w->setCanResize(true);
    EXPECT_TRUE(w->showsResizeIndicator());
    w->setCanResize(false);
    EXPECT_FALSE(w->canResize());
    EXPECT_FALSE(w->showsResizeIndicator());
}

TEST_F(ZAKWindowTest, GreyWindowsUseTheControlHighlightColourFromCodeAndArchive)
{
    auto w = NSObject::alloc<ZAKGreyBackgroundWindow>()->initWithContentRect(
        NSMakeRect(10, 10, 120, 80), NSTitledWindowMask, NSBackingStoreBuffered, true);
    EXPECT_TRUE(w->backgroundColor()->isEqual(NSColor::controlHighlightColor().get()));
    auto back = dynamic_ref_cast<ZAKGreyBackgroundWindow>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(w)));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->backgroundColor()->isEqual(NSColor::controlHighlightColor().get()));
    EXPECT_EQ(back->contentRectForFrameRect(back->frame()), NSMakeRect(10, 10, 120, 80));
    EXPECT_EQ(back->styleMask(), NSUInteger(NSTitledWindowMask));
}

namespace {

Ref<ZAKRoundedBox> roundedBox(CGFloat width)
{
    auto box =
        dynamic_ref_cast<ZAKRoundedBox>(NSObject::alloc<ZAKRoundedBox>()->initWithFrame(NSMakeRect(0, 0, width, 80)));
    box->setTitle("Options"_ns);
    return box;
}

}  // namespace

TEST(RoundedBox, DefaultsAndColours)
{
    auto box = roundedBox(200);
    EXPECT_TRUE(box->drawsTitle());
    EXPECT_EQ(box->borderWidth(), 2);
    EXPECT_TRUE(box->borderColor()->isEqual(NSColor::grayColor().get()));
    EXPECT_TRUE(box->titleColor()->isEqual(NSColor::whiteColor().get()));
    EXPECT_FALSE(box->drawsFullTitleBar());
    EXPECT_FALSE(box->isSelected());
    EXPECT_TRUE(box->preservesContentDuringLiveResize());
    EXPECT_EQ(box->titleCell()->lineBreakMode(), NSUInteger(NSLineBreakByTruncatingTail));
    EXPECT_FALSE(box->titleCell()->isEditable());

    box->setTitleColor(NSColor::redColor());
    EXPECT_TRUE(box->titleColor()->isEqual(NSColor::redColor().get()));
    EXPECT_TRUE(box->titleCell()->textColor()->isEqual(NSColor::redColor().get()));
    // Whatever an interface file set, waking from it restores the defaults.
    box->setSelected(true);
    box->setBorderWidth(5);
    box->awakeFromNib();
    EXPECT_FALSE(box->isSelected());
    EXPECT_EQ(box->borderWidth(), 2);
}

TEST(RoundedBox, TabFullBarAndSelection)
{
    auto box = roundedBox(200);
    auto ops = record([&] { box->drawRect(box->bounds()); });
    const NSRect tab = box->titlePathRect();
    // A tab at the top left, narrower than the box.
    EXPECT_EQ(tab.origin.x, 1);
    EXPECT_EQ(NSMaxY(tab), 79);
    EXPECT_LT(tab.size.width, 120);
    ASSERT_EQ(ofKind(ops, Kind::Stroke).size(), 1u);
    EXPECT_EQ(ofKind(ops, Kind::Stroke)[0].strokeStyle.lineWidth, 2);
    const auto border = ofKind(ops, Kind::Fill);
    ASSERT_GE(border.size(), 2u);  // the background, then the tab

    box->setDrawsFullTitleBar(true);
    record([&] { box->drawRect(box->bounds()); });
    EXPECT_EQ(NSMaxX(box->titlePathRect()), 199.5);  // the border rectangle's right edge

    // Too narrow for a tab: the full bar, whatever was asked.
    auto narrow = roundedBox(60);
    record([&] { narrow->drawRect(narrow->bounds()); });
    EXPECT_EQ(NSMaxX(narrow->titlePathRect()), 59.5);

    // Selected: tab and border in the alternate selected control colour.
    box->setSelected(true);
    ops = record([&] { box->drawRect(box->bounds()); });
    const CGPaint selected = NSColor::alternateSelectedControlColor()->paint();
    EXPECT_EQ(ofKind(ops, Kind::Stroke)[0].paint.color.b, selected.color.b);
    box->setBorderWidth(0);
    EXPECT_TRUE(ofKind(record([&] { box->drawRect(box->bounds()); }), Kind::Stroke).empty());
}
