// Text laid along a curve, underlined and broken at its descenders, and
// swatches of the multi-stop gradient presets.
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "GalleryPage.h"

class TextOnPathGalleryView : public NSView {
    NS_OBJECT(TextOnPathGalleryView, NSView)
protected:
    TextOnPathGalleryView() = default;

public:
    void drawRect(const NSRect&) override
    {
        NSColor::whiteColor()->setFill();
        NSBezierPath::fillRect(bounds());

        auto curve = NSBezierPath::bezierPath();
        curve->moveToPoint({30, 250});
        curve->curveToPoint({490, 250}, {170, 350}, {330, 150});
        NSColor::colorWithCalibratedWhite(0.85, 1)->setStroke();
        curve->stroke();
        auto attributes = NSMutableDictionary::dictionary();
        attributes->setObject(NSFont::fontWithName("Helvetica"_ns, 26), NSFontAttributeName);
        attributes->setObject(NSNumber::numberWithInteger(1), NSUnderlineStyleAttributeName);
        attributes->setObject(NSColor::colorWithCalibratedRed(0.1, 0.2, 0.5, 1), NSForegroundColorAttributeName);
        auto text = NSAttributedString::initWithString("Typography gently swaying"_ns, attributes);
        NSBezierPathExt::drawTextOnPath(curve, text, 0, nullptr, m_cache);

        struct Swatch {
            const char* name;
            Ref<ZAKMultiGradient> gradient;
        } swatches[] = {
            {"aqua", ZAKMultiGradient::aquaNormalGradient()},
            {"aqua selected", ZAKMultiGradient::aquaSelectedGradient()},
            {"aqua pressed", ZAKMultiGradient::aquaPressedGradient()},
            {"unified", ZAKMultiGradient::unifiedNormalGradient()},
            {"source list", ZAKMultiGradient::sourceListSelectedGradient()},
            {"rainbow", ZAKMultiGradient::rainbowGradient()},
            {"hydrogen", ZAKMultiGradient::hydrogenSpectrumGradient()},
        };
        auto label =
            NSDictionary::dictionaryWithObjectsAndKeys({NSFont::fontWithName("Helvetica"_ns, 10), NSFontAttributeName});
        CGFloat x = 20;
        for (const Swatch& s : swatches) {
            NSRect rect = NSMakeRect(x, 40, 60, 60);
            s.gradient->drawInRect(rect, 90);
            NSColor::grayColor()->setStroke();
            NSBezierPath::strokeRect(NSInsetRect(rect, -0.5, -0.5));
            NSStringExt::drawAtPoint(NSString::stringWithUTF8String(s.name), NSMakePoint(x, 20), label);
            x += 70;
        }
    }

private:
    Ref<NSMutableDictionary> m_cache = NSMutableDictionary::dictionary();
};
NS_CLASS_DEFINE(TextOnPathGalleryView)

namespace {
Ref<NSView> makeTextOnPath(NSRect bounds) { return NSObject::alloc<TextOnPathGalleryView>()->initWithFrame(bounds); }
}  // namespace

GALLERY_PAGE(textOnPath, {"text-on-path", "Text on a path", {520, 330}, makeTextOnPath});
