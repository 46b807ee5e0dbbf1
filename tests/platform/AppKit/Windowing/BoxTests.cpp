// Boxes place their content view inside the border, below the title and the
// margins, and keep it there when they change.
#include "AppKit/NSBox.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

TEST(BoxLayout, ContentViewSitsInsideBorderTitleAndMargins)
{
    auto probe = NSObject::alloc<NSBox>();
    probe->initWithFrame(NSMakeRect(0, 0, 200, 100));
    probe->setTitlePosition(NSAboveTop);
    const CGFloat T = probe->titleRect().size.height;
    ASSERT_GE(T, 11);  // one line of the small system text

    struct Case {
        const char* name;
        NSBoxType type;
        NSBorderType border;
        NSTitlePosition position;
        NSSize margins;
        CGFloat borderWidth;
        NSRect content;
    } cases[] = {
        {"old style, line, no title", NSBoxOldStyle, NSLineBorder, NSNoTitle, {5, 5}, 1, {6, 6, 188, 88}},
        {"primary, no title", NSBoxPrimary, NSNoBorder, NSNoTitle, {5, 5}, 1, {6, 6, 188, 88}},
        {"groove", NSBoxOldStyle, NSGrooveBorder, NSNoTitle, {0, 0}, 1, {2, 2, 196, 96}},
        {"custom, width 3, no margins", NSBoxCustom, NSNoBorder, NSNoTitle, {0, 0}, 3, {3, 3, 194, 94}},
        {"no border, title above top", NSBoxOldStyle, NSNoBorder, NSAboveTop, {5, 5}, 1, {5, 5, 190, 90 - T}},
        {"line, title at top", NSBoxOldStyle, NSLineBorder, NSAtTop, {5, 5}, 1, {6, 6, 188, 89 - T}},
        {"line, title at bottom", NSBoxOldStyle, NSLineBorder, NSAtBottom, {5, 5}, 1, {6, T + 5, 188, 89 - T}},
    };
    for (const auto& c : cases) {
        auto box = NSObject::alloc<NSBox>();
        box->initWithFrame(NSMakeRect(0, 0, 200, 100));
        box->setBoxType(c.type);
        box->setBorderType(c.border);
        box->setTitlePosition(c.position);
        box->setContentViewMargins(c.margins);
        box->setBorderWidth(c.borderWidth);
        EXPECT_EQ(box->contentView()->frame(), c.content) << c.name;
        EXPECT_EQ(box->contentView()->superview(), box) << c.name;
    }
}

TEST(BoxLayout, ReplacedAndResizedContentFollowsTheBox)
{
    auto box = NSObject::alloc<NSBox>();
    box->initWithFrame(NSMakeRect(0, 0, 200, 100));
    box->setTitlePosition(NSNoTitle);
    auto old = box->contentView();
    auto content = NSObject::alloc<NSView>();
    content->initWithFrame(NSMakeRect(50, 50, 10, 10));
    box->setContentView(content);
    EXPECT_EQ(old->superview(), nullptr);
    EXPECT_EQ(content->frame(), NSMakeRect(6, 6, 188, 88));
    box->setFrameSize(NSMakeSize(300, 150));
    EXPECT_EQ(content->frame(), NSMakeRect(6, 6, 288, 138));
    box->setFrameFromContentFrame(NSMakeRect(20, 30, 100, 40));
    EXPECT_EQ(box->frame(), NSMakeRect(14, 24, 112, 52));

    // A separator shows no content; coding keeps the box's settings.
    box->setBoxType(NSBoxSeparator);
    EXPECT_TRUE(content->isHidden());
    box->setBoxType(NSBoxCustom);
    box->setBorderWidth(2);
    box->setTitle("Options"_ns);
    box->setTitlePosition(NSBelowTop);
    auto copy = dynamic_ref_cast<NSBox>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(box)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->boxType(), NSBoxCustom);
    EXPECT_EQ(copy->titlePosition(), NSBelowTop);
    EXPECT_EQ(std::string(copy->title()->UTF8String()), "Options");
    EXPECT_EQ(copy->contentView()->frame(), box->contentView()->frame());
}
