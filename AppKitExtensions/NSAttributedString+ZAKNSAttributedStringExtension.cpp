#include "AppKitExtensions/NSAttributedString+ZAKNSAttributedStringExtension.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFontManager.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextContainer.h"
#include "AppKit/NSTextStorage.h"
#include "Foundation/NSCharacterSet.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"

namespace {

struct OneLineSystem {
    Ref<NSTextStorage> storage;
    Ref<NSLayoutManager> manager;
    Ref<NSTextContainer> container;
};

// Made on first use and kept for the life of the process.
OneLineSystem& oneLineSystem()
{
    static OneLineSystem system = [] {
        OneLineSystem s;
        s.storage = NSObject::make<NSTextStorage>();
        s.manager = NSObject::make<NSLayoutManager>();
        s.container = NSTextContainer::initWithContainerSize(NSMakeSize(10000000, 10000000));
        s.container->setLineFragmentPadding(0);
        s.manager->addTextContainer(s.container);
        s.storage->addLayoutManager(s.manager);
        return s;
    }();
    return system;
}

Ref<NSDictionary> ellipsisAttributes(const Ref<NSAttributedString>& string, NSRange lineCharacters)
{
    NSUInteger index = lineCharacters.length > 0 ? NSMaxRange(lineCharacters) - 1 : 0;
    return string->attributesAtIndex(index, nullptr);
}

}

namespace NSAttributedStringExt {

Ref<NSLayoutManager> oneLineLayoutManager() { return oneLineSystem().manager; }

ZAKOneLineDrawing oneLineDrawing(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                                 bool verticallyCentered)
{
    ZAKOneLineDrawing drawing;
    if (!string || string->length() == 0) return drawing;
    OneLineSystem& system = oneLineSystem();
    system.storage->setAttributedString(string);
    Ref<NSLayoutManager> manager = system.manager;
    if (manager->numberOfGlyphs() == 0) return drawing;

    NSRange line{0, 0};
    NSRect used = manager->lineFragmentUsedRectForGlyphAtIndex(0, &line);
    CGFloat width = used.size.width;
    CGFloat halfHeight = used.size.height * 0.5;
    NSUInteger g = line.location;
    NSUInteger n = line.length;
    NSRange characters = manager->characterRangeForGlyphRange(line, nullptr);
    const CGFloat available = rectangle.size.width;

    CGFloat textWidth = width;
    if (width > available || NSMaxRange(characters) < string->length()) {
        drawing.rightToLeft = manager->intAttribute(NSGlyphAttributeBidiLevel, manager->numberOfGlyphs() - 1) != 0;
        Ref<NSDictionary> attributes = ellipsisAttributes(string, characters);
        CGFloat e = NSStringExt::sizeWithAttributes(NSStringExt::horizontalEllipsisString(), attributes).width;
        drawing.ellipsis = true;
        if (width <= available && width + e <= available) {
            textWidth = width + e;
        } else {
            CGFloat cutX = drawing.rightToLeft ? e : available - e;
            NSUInteger cut = manager->glyphIndexForPoint(NSMakePoint(cutX, halfHeight), system.container);
            if (cut == 0) {
                // Not even one glyph fits beside the ellipsis: glyphs only.
                cut = manager->glyphIndexForPoint(NSMakePoint(drawing.rightToLeft ? 0 : available, halfHeight),
                                                  system.container);
                drawing.ellipsis = false;
            }
            n = cut;
            CGFloat x = manager->locationForGlyphAtIndex(cut + g).x;
            textWidth = (drawing.rightToLeft ? available - x : x) + (drawing.ellipsis ? e : 0);
        }
    }
    if (n == 0) return ZAKOneLineDrawing{};

    CGFloat x = rectangle.origin.x;
    if (alignment == 1) x = rectangle.origin.x + available - textWidth;
    else if (alignment == 2) x = rectangle.origin.x + available * 0.5 - textWidth * 0.5;
    CGFloat y = verticallyCentered ? rectangle.origin.y + rectangle.size.height * 0.5 - halfHeight : rectangle.origin.y;

    drawing.glyphs = NSMakeRange(g, n);
    drawing.origin = NSMakePoint(x, y);
    drawing.textWidth = textWidth;
    if (drawing.ellipsis) {
        CGFloat e = NSStringExt::sizeWithAttributes(NSStringExt::horizontalEllipsisString(),
                                                    ellipsisAttributes(string, characters))
                        .width;
        drawing.ellipsisOrigin = drawing.rightToLeft ? NSMakePoint(x, y) : NSMakePoint(x + textWidth - e, y);
    }
    return drawing;
}

void drawInRectangle(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                     bool verticallyCentered)
{
    ZAKOneLineDrawing drawing = oneLineDrawing(string, rectangle, alignment, verticallyCentered);
    if (drawing.glyphs.length == 0) return;
    oneLineSystem().manager->drawGlyphsForGlyphRange(drawing.glyphs, drawing.origin);
    if (!drawing.ellipsis) return;
    NSRange line{0, 0};
    oneLineSystem().manager->lineFragmentUsedRectForGlyphAtIndex(0, &line);
    NSRange characters = oneLineSystem().manager->characterRangeForGlyphRange(line, nullptr);
    NSStringExt::drawAtPoint(NSStringExt::horizontalEllipsisString(), drawing.ellipsisOrigin,
                             ellipsisAttributes(string, characters));
}

}

namespace NSAttributedStringExt {

NSComparisonResult caseInsensitiveCompare(const Ref<NSAttributedString>& a, const Ref<NSAttributedString>& b)
{
    return a->string()->caseInsensitiveCompare(b->string());
}

NSComparisonResult localizedCaseInsensitiveCompare(const Ref<NSAttributedString>& a, const Ref<NSAttributedString>& b)
{
    return a->string()->localizedCaseInsensitiveCompare(b->string());
}

Ref<NSString> humanReadableDescriptionForAttributes(const Ref<NSDictionary>& attributes)
{
    auto font = attributes ? dynamic_ref_cast<NSFont>(attributes->objectForKey(NSFontAttributeName)) : nullptr;
    if (!font) return ""_ns;
    return NSString::stringWithFormat("%@, %@", font->displayName(),
                                      NSString::stringWithFormat("%.2f pt", font->pointSize()));
}

}

namespace NSTextStorageExt {

static NSRange findRun(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, const Id& value, uint32_t start,
                       bool longest)
{
    NSUInteger index = start;
    const NSRange whole = NSMakeRange(0, storage->length());
    while (index < storage->length()) {
        NSRange run{0, 0};
        Id found = longest ? storage->attributeAtIndexLongestEffectiveRange(name, index, &run, whole)
                           : storage->attributeAtIndex(name, index, &run);
        if (found && value && found.get() == value.get()) return run;
        if (run.length == 0) break;
        index = NSMaxRange(run);
    }
    return NSMakeRange(NSNotFound, 0);
}

NSRange longestRangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, const Id& value,
                                 uint32_t start)
{
    return findRun(storage, name, value, start, true);
}

NSRange rangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, const Id& value, uint32_t start)
{
    return findRun(storage, name, value, start, false);
}

NSRange rangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, NSRange range)
{
    NSUInteger end = std::min<NSUInteger>(NSMaxRange(range), storage->length());
    for (NSUInteger index = range.location; index < end;) {
        NSRange run{0, 0};
        Id found = storage->attributeAtIndex(name, index, &run);
        if (found) {
            NSRange cut = NSIntersectionRange(run, range);
            return cut.length > 0 ? cut : NSMakeRange(NSNotFound, 0);
        }
        if (run.length == 0) break;
        index = NSMaxRange(run);
    }
    return NSMakeRange(NSNotFound, 0);
}

}

namespace NSFontExt {

Ref<NSString> fullDisplayName(const Ref<NSFont>& font)
{
    Ref<NSString> style = ""_ns;
    Ref<NSArray> members = NSFontManager::sharedFontManager()->availableMembersOfFontFamily(font->familyName());
    for (NSUInteger i = 0; members && i < members->count(); ++i) {
        auto member = dynamic_ref_cast<NSArray>(members->objectAtIndex(i));
        if (!member || member->count() < 2) continue;
        auto name = dynamic_ref_cast<NSString>(member->objectAtIndex(0));
        if (name && name->isEqualToString(font->fontName()))
            style = dynamic_ref_cast<NSString>(member->objectAtIndex(1));
    }
    return NSString::stringWithFormat("%@ %@", font->familyName(), style ? style : ""_ns)
        ->stringByTrimmingCharactersInSet(NSCharacterSet::whitespaceCharacterSet());
}

Ref<NSString> localizedNameOfMostCompatibleStringEncoding(const Ref<NSFont>& font)
{
    return NSString::localizedNameOfStringEncoding(font->mostCompatibleStringEncoding());
}

}

namespace {
// The string utilities' draw functions draw through drawInRectangle from the
// moment this library is loaded.
const bool stringDrawingInstalled = [] {
    NSStringExt::setDrawingFunction([](const Ref<NSString>& text, const Ref<NSDictionary>& attributes,
                                       NSInteger alignment, bool verticallyCentered, const NSRect& rectangle) {
        Ref<NSAttributedString> string = NSAttributedString::initWithString(text, attributes);
        NSAttributedStringExt::drawInRectangle(string, rectangle, static_cast<NSUInteger>(alignment),
                                               verticallyCentered);
    });
    return true;
}();
}
