// Segmented controls on bordered views in the dark, HUD, glass and gray
// themes: one row per theme, the view active on the left and inactive on
// the right.
#include "AppKit/ControlText.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSSegmentedControl.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKTBorderedView/ZAKTBorderedView.h"
#include "ZAKAppKit/ZAKTSegmentedCell/ZAKTSegmentedCell.h"

namespace {

const char* const kThemes[] = {"ZAKFlatDarkTheme", "ZAKHUDTheme", "ZAKGlassTheme", "ZAKGrayTheme"};
constexpr CGFloat kRowHeight = 56;
constexpr CGFloat kHeader = 26;
constexpr CGFloat kNameWidth = 110;
constexpr CGFloat kColumn = 200;

class SegmentedThemesBackdrop : public NSView {
    NS_OBJECT(SegmentedThemesBackdrop, NSView)
protected:
    SegmentedThemesBackdrop() = default;

public:
    bool isFlipped() const override { return true; }
    void drawRect(const NSRect& r) override
    {
        NSColor::windowBackgroundColor()->set();
        NSRectFill(r);
        const ControlText::Style label{12, true};
        const auto black = NSColor::blackColor();
        ControlText::drawInRect(u"Active", NSMakeRect(kNameWidth, 4, 120, 20), label, black, NSLeftTextAlignment);
        ControlText::drawInRect(u"Inactive", NSMakeRect(kNameWidth + kColumn, 4, 120, 20), label, black,
                                NSLeftTextAlignment);
        for (size_t i = 0; i < std::size(kThemes); ++i) {
            const std::string name = kThemes[i] + 3;
            ControlText::drawInRect(std::u16string(name.begin(), name.end()),
                                    NSMakeRect(8, kHeader + CGFloat(i) * kRowHeight + 16, kNameWidth - 12, 20),
                                    {12, false}, black, NSLeftTextAlignment);
        }
    }
};
NS_CLASS_DEFINE(SegmentedThemesBackdrop)

Ref<NSSegmentedControl> segmented(const Ref<NSString>& theme, NSRect frame, NSInteger selected)
{
    auto control = dynamic_ref_cast<NSSegmentedControl>(NSObject::alloc<NSSegmentedControl>()->initWithFrame(frame));
    auto cell = NSObject::make<ZAKTSegmentedCell>();
    cell->setThemeKey(theme);
    control->setCell(cell);
    control->setSegmentCount(3);
    const char* labels[] = {"List", "Grid", "Flow"};
    for (NSInteger s = 0; s < 3; ++s) {
        control->setLabel(NSString::stringWithUTF8String(labels[s]), s);
        control->setWidth(52, s);
    }
    control->setSelectedSegment(selected);
    return control;
}

Ref<NSView> makeSegmentedThemes(NSRect bounds)
{
    auto root = NSObject::alloc<SegmentedThemesBackdrop>()->initWithFrame(bounds);
    for (size_t i = 0; i < std::size(kThemes); ++i) {
        auto theme = NSString::stringWithUTF8String(kThemes[i]);
        for (int column = 0; column < 2; ++column) {
            auto view =
                dynamic_ref_cast<ZAKTBorderedView>(NSObject::alloc<ZAKTBorderedView>()->initWithFrame(NSMakeRect(
                    kNameWidth + column * kColumn, kHeader + CGFloat(i) * kRowHeight, kColumn - 16, kRowHeight - 8)));
            view->setThemeKey(theme);
            view->setActive(column == 0);
            view->addSubview(segmented(theme, NSMakeRect(12, 12, 160, 24), column == 0 ? 0 : 1));
            root->addSubview(view);
        }
    }
    return root;
}

}  // namespace

GALLERY_PAGE(segmentedThemes,
             {"segmented-themes", "Segmented controls in four themes", {520, 26 + 4 * 56 + 8}, makeSegmentedThemes});
