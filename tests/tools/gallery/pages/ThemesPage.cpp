// Themed buttons in every registered theme, painted by the bezel painters in
// four states, with a check box, a radio button and pop-up arrows.
#include "AppKit/ControlText.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"
#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace {

const char* const kThemes[] = {"ZAKWhiteTheme", "ZAKLightGrayTheme", "ZAKGrayTheme",
                               "ZAKGlassTheme", "ZAKFlatDarkTheme",  "ZAKHUDTheme"};
const char* const kStates[] = {"Normal", "Pressed", "Disabled", "On"};
constexpr CGFloat kRowHeight = 44;
constexpr CGFloat kHeader = 28;
constexpr CGFloat kNameWidth = 130;
constexpr CGFloat kColumn = 96;

class ThemesView : public NSView {
    NS_OBJECT(ThemesView, NSView)
protected:
    ThemesView() = default;

public:
    bool isFlipped() const override { return true; }

    void drawRect(const NSRect&) override
    {
        NSColor::windowBackgroundColor()->setFill();
        NSRectFill(bounds());
        const ControlText::Style label{12, true};
        for (int s = 0; s < 4; ++s)
            ControlText::drawInRect(u16(kStates[s]), NSMakeRect(kNameWidth + s * kColumn, 4, 80, 20), label,
                                    NSColor::controlTextColor(), 2);
        ControlText::drawInRect(u"Check, radio, arrows", NSMakeRect(kNameWidth + 4 * kColumn, 4, 150, 20), label,
                                NSColor::controlTextColor(), 2);
        for (size_t t = 0; t < std::size(kThemes); ++t) drawRow(t, kHeader + CGFloat(t) * kRowHeight);
    }

private:
    static std::u16string u16(const char* s) { return NSString::stringWithUTF8String(s)->utf16(); }

    Ref<ZAKTButtonCell> cell(const char* theme, const char* title)
    {
        auto c = NSObject::make<ZAKTButtonCell>();
        c->setThemeKey(NSString::stringWithUTF8String(theme));
        c->setTitle(NSString::stringWithUTF8String(title));
        c->setControlView(this);
        return c;
    }

    void drawRow(size_t t, CGFloat y)
    {
        const char* theme = kThemes[t];
        auto resolved = ZAKThemeManager::sharedThemeManager()->themeForKey(NSString::stringWithUTF8String(theme));
        const bool dark = resolved && resolved->backgroundStyle() == 1;
        (dark ? NSColor::colorWithCalibratedWhite(0.18, 1) : NSColor::colorWithCalibratedWhite(0.93, 1))->setFill();
        NSRectFill(NSMakeRect(0, y, bounds().size.width, kRowHeight - 4));
        ControlText::drawInRect(u16(theme + 3), NSMakeRect(8, y, kNameWidth - 12, kRowHeight - 4), {12, false},
                                dark ? NSColor::whiteColor() : NSColor::controlTextColor(), 0);
        for (int s = 0; s < 4; ++s) {
            auto c = cell(theme, "Button");
            if (s == 1) c->setHighlighted(true);
            if (s == 2) c->setEnabled(false);
            if (s == 3) {
                c->setShowsStateBy(12);
                c->setHighlightsBy(12);
                c->setState(NSOnState);
            }
            c->drawTexturedRoundedButtonInFrame(NSMakeRect(kNameWidth + s * kColumn, y + 8, 84, 24));
        }
        const CGFloat x = kNameWidth + 4 * kColumn + 8;
        // The boxes centre in their control view: one as high as the box.
        auto box = NSView::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 20, 18));
        auto check = cell(theme, "");
        check->setControlView(box);
        check->setState(NSOnState);
        check->setImagePosition(NSImageOnly);
        check->drawCheckInFrame(NSMakeRect(x, y + 4, 20, 18), false);
        auto radio = cell(theme, "");
        radio->setControlView(box);
        radio->setState(NSOnState);
        radio->setImagePosition(NSImageOnly);
        radio->drawCheckInFrame(NSMakeRect(x + 28, y + 4, 20, 18), true);
        auto popUp = NSObject::make<ZAKTPopUpButtonCell>();
        popUp->setThemeKey(NSString::stringWithUTF8String(theme));
        popUp->setControlView(this);
        popUp->setBordered(true);
        popUp->drawArrowsInRect(NSMakeRect(x + 50, y + 8, 40, 22));
    }
};

}

NS_CLASS_DEFINE(ThemesView)

GALLERY_PAGE(themes, {"themes", "Themes", {700, 300}, [](NSRect bounds) -> Ref<NSView> {
                          return NSObject::alloc<ThemesView>()->initWithFrame(bounds);
                      }});
