#include <gtest/gtest.h>

#include <algorithm>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "ZAKAppKit/ZAKPrefPaneIcon/ZAKPrefPaneIcon.h"

namespace {

// Left half red, right half blue.
Ref<NSImage> twoColourImage(CGFloat w, CGFloat h)
{
    auto image = NSImage::initWithSize(NSMakeSize(w, h));
    image->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, w / 2, h));
    NSColor::blueColor()->setFill();
    NSRectFill(NSMakeRect(w / 2, 0, w / 2, h));
    image->unlockFocus();
    return image;
}

uint32_t pixel(const Ref<NSImage>& image, size_t x, size_t y)
{
    return image->CGImageForProposedRect(nullptr, nullptr, nullptr)->pixel(x, y);
}

}

TEST(PrefPaneIcon, InitGivesEmptyStringsAndAnEmptyIcon)
{
    auto icon = NSObject::make<ZAKPrefPaneIcon>();
    for (const auto& s : {icon->itemIdentifier(), icon->title(), icon->category()}) {
        ASSERT_TRUE(s);
        EXPECT_EQ(s->length(), 0u);
    }
    ASSERT_TRUE(icon->image());
    EXPECT_TRUE(NSEqualSizes(icon->image()->size(), NSMakeSize(32, 32)));
    EXPECT_EQ(pixel(icon->image(), 16, 16) >> 24, 0u);  // nothing drawn
}

TEST(PrefPaneIcon, ImagesAreStoredStretchedToThirtyTwoPoints)
{
    auto given = twoColourImage(128, 64);
    auto icon = NSObject::alloc<ZAKPrefPaneIcon>()->initWithIdentifier("general"_ns, given, "General"_ns);
    EXPECT_TRUE(NSEqualSizes(icon->image()->size(), NSMakeSize(32, 32)));
    EXPECT_NE(icon->image().get(), given.get());
    EXPECT_TRUE(NSEqualSizes(given->size(), NSMakeSize(128, 64)));
    // Stretched, not fitted: the colours meet in the middle at every height.
    for (size_t y : {1u, 16u, 30u}) {
        EXPECT_EQ(pixel(icon->image(), 8, y), 0xffff0000u) << y;
        EXPECT_EQ(pixel(icon->image(), 24, y), 0xff0000ffu) << y;
    }
}

TEST(PrefPaneIcon, SortsByTitle)
{
    std::vector<Ref<ZAKPrefPaneIcon>> icons;
    for (const char* title : {"b", "A", "a"})
        icons.push_back(NSObject::alloc<ZAKPrefPaneIcon>()->initWithIdentifier(""_ns, nullptr,
                                                                               NSString::stringWithUTF8String(title)));
    auto titles = [&] {
        std::string out;
        for (const auto& icon : icons) out += icon->title()->UTF8String();
        return out;
    };
    std::stable_sort(icons.begin(), icons.end(),
                     [](const auto& l, const auto& r) { return l->caseInsensitiveCompare(r) == NSOrderedAscending; });
    EXPECT_EQ(titles(), "Aab");
    std::stable_sort(icons.begin(), icons.end(),
                     [](const auto& l, const auto& r) { return l->compare(r) == NSOrderedAscending; });
    EXPECT_EQ(titles().front(), 'A');
    EXPECT_EQ(titles().back(), 'b');
}
