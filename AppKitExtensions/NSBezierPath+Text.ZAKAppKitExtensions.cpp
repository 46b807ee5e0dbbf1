// Text laid along a path: preparing and kerning the text, placing the
// glyphs, and the drawing and outline entry points with their cache.
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKitExtensions/HSKPathGlyphInfo.h"
#include "AppKitExtensions/HSKTextOnPathGlyphAccumulator.h"
#include "AppKitExtensions/HSKTextOnPathGlyphDrawer.h"
#include "AppKitExtensions/HSKTextOnPathMetricsHelper.h"
#include "AppKitExtensions/NSBezierPath+Editing.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"

namespace NSBezierPathExt {

namespace {

const Ref<NSString> kChecksumKey = "HSKTextOnPathChecksum"_ns;
const Ref<NSString> kDigestKey = "HSKTextOnPathShapeDigest"_ns;
const Ref<NSString> kPositionsKey = "HSKTextOnPathGlyphPositions"_ns;
const Ref<NSString> kFittedKey = "HSKTextOnPathTextFitted"_ns;
constexpr CGFloat kLineHeightLimit = 50000;

// Never destroyed: both live for the process.
Ref<NSLayoutManager>& sharedLayoutManager()
{
    static auto* manager = new Ref<NSLayoutManager>;
    return *manager;
}

Ref<NSDictionary>& defaultAttributes()
{
    static auto* attributes = new Ref<NSDictionary>;
    return *attributes;
}

// The exact elements, hashed two independent ways: unlike the checksum,
// paths that differ anywhere differ here.
Ref<NSString> shapeDigest(const Ref<NSBezierPath>& path)
{
    uint64_t a = 0xcbf29ce484222325ull, b = 0x9e3779b97f4a7c15ull;
    auto mixIn = [&](uint64_t v) {
        a = (a ^ v) * 0x100000001b3ull;
        b ^= v + 0x9e3779b97f4a7c15ull + (b << 6) + (b >> 2);
        b = (b ^ (b >> 31)) * 0xbf58476d1ce4e5b9ull;
    };
    for (NSInteger i = 0; i < path->elementCount(); ++i) {
        NSPoint p[3] = {};
        mixIn(path->elementAtIndex(i, p));
        for (const NSPoint& q : p) {
            uint64_t x, y;
            std::memcpy(&x, &q.x, sizeof x);
            std::memcpy(&y, &q.y, sizeof y);
            mixIn(x);
            mixIn(y);
        }
    }
    char text[40];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return NSString::stringWithUTF8String(text);
}

Ref<NSTextContainer> lastContainer(const Ref<NSLayoutManager>& layoutManager)
{
    return layoutManager && !layoutManager->textContainers().empty() ? layoutManager->textContainers().back() : nullptr;
}

// An offset that is not finite counts as 0: nothing is drawn at infinity.
CGFloat usableOffset(CGFloat offset) { return std::isfinite(offset) ? offset : 0; }

// Makes the storage the layout manager's own, leaving the one it had.
void attach(const Ref<NSTextStorage>& storage, const Ref<NSLayoutManager>& layoutManager)
{
    if (auto previous = layoutManager->textStorage()) previous->removeLayoutManager(layoutManager);
    storage->removeLayoutManager(layoutManager);
    storage->addLayoutManager(layoutManager);
}

// A length a container can take.
CGFloat containerWidth(CGFloat length) { return std::isfinite(length) && length > 0 ? length : 0; }

}

// --- Shared objects ---

Ref<NSLayoutManager> textOnPathLayoutManager()
{
    Ref<NSLayoutManager>& shared = sharedLayoutManager();
    if (!shared) {
        shared = NSObject::make<NSLayoutManager>();
        auto container = NSTextContainer::initWithContainerSize(NSMakeSize(1000000, 1000000));
        container->setLineFragmentPadding(0);
        shared->addTextContainer(container);
        shared->setUsesScreenFonts(false);
    }
    return shared;
}

Ref<NSDictionary> textOnPathDefaultAttributes()
{
    Ref<NSDictionary>& attributes = defaultAttributes();
    if (!attributes)
        attributes =
            NSDictionary::dictionaryWithObjectsAndKeys({NSFont::fontWithName("Helvetica"_ns, 12), NSFontAttributeName});
    return attributes;
}

void setTextOnPathDefaultAttributes(const Ref<NSDictionary>& attributes) { defaultAttributes() = attributes; }

// --- Preparing the text ---

Ref<NSTextStorage> preadjustedTextStorageWithString(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                                    const Ref<NSLayoutManager>& layoutManager)
{
    NSCAssert(layoutManager != nullptr, "nil layout manager passed while processing text on path");
    NSCAssert(text != nullptr, "nil string passed while processing text on path");
    auto container = lastContainer(layoutManager);
    NSCAssert(container != nullptr, " no text container was present in the layout manager");
    NSTextAlignment alignment = NSTextAlignmentLeft;
    if (text->length() > 0)
        if (auto style =
                dynamic_ref_cast<NSParagraphStyle>(text->attributeAtIndex(NSParagraphStyleAttributeName, 0, nullptr)))
            alignment = style->alignment();
    auto storage = NSTextStorage::initWithAttributedString(text);
    attach(storage, layoutManager);
    CGFloat pathLength = containerWidth(path ? length(path) : 0);
    container->setContainerSize(NSMakeSize(pathLength, kLineHeightLimit));
    if (alignment == NSTextAlignmentJustified) kernText(path, storage, pathLength);
    return storage;
}

void kernText(const Ref<NSBezierPath>&, const Ref<NSTextStorage>& storage, CGFloat length)
{
    NSCAssert(storage != nullptr, "oops, text storage was nil");
    if (storage->layoutManagers().empty()) return;
    auto layoutManager = storage->layoutManagers().back();
    auto container = lastContainer(layoutManager);
    if (!container) return;
    length = containerWidth(length);
    container->setContainerSize(NSMakeSize(length, kLineHeightLimit));
    NSRange glyphs = layoutManager->glyphRangeForBoundingRect(NSMakeRect(0, 0, length, kLineHeightLimit), container);
    if (glyphs.length == 0) return;
    // One glyph needs no kerning. Others share the difference between the
    // length and the text's unwrapped width, so that a text too long is
    // tightened too, by at most 0.15 x its height per glyph.
    CGFloat kern = 0;
    if (glyphs.length > 1) {
        NSSize natural = NSAttributedStringExt::size(storage);
        kern = (length - natural.width) / CGFloat(glyphs.length - 1);
        if (kern <= 0) kern = std::max(-0.15 * natural.height, kern);
        if (!std::isfinite(kern)) kern = 0;
    }
    storage->addAttribute(NSKernAttributeName, NSNumber::numberWithDouble(kern), glyphs);
}

// --- Placing the glyphs ---

bool layoutStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSTextStorage>& storage, CGFloat yOffset,
                        const Id& helper, const Ref<NSLayoutManager>& layoutManager,
                        const Ref<NSMutableDictionary>& cache)
{
    if (!path || path->elementCount() < 2 || !storage || storage->length() == 0) return false;
    yOffset = usableOffset(yOffset);
    NSCAssert(helper != nullptr, " cannot proceed without a valid helper object");
    NSCAssert(layoutManager != nullptr, "cannot proceed without a valid layout manager");
    auto* placement = dynamic_cast<TextOnPathPlacement*>(helper.get());
    if (!placement)
        NSException::raise(NSInternalInconsistencyException,
                           "The helper object does not implement the TextOnPathPlacement informal protocol");
    // One line only: what does not fit is clipped, not wrapped by words.
    if (auto style =
            dynamic_ref_cast<NSParagraphStyle>(storage->attributeAtIndex(NSParagraphStyleAttributeName, 0, nullptr))) {
        auto clipped = static_ref_cast<NSMutableParagraphStyle>(style->mutableCopy());
        clipped->setLineBreakMode(NSLineBreakByClipping);
        storage->addAttribute(NSParagraphStyleAttributeName, clipped, NSMakeRange(0, storage->length()));
    }
    auto container = lastContainer(layoutManager);
    if (!container) return false;
    NSSize size = container->containerSize();
    NSRange glyphs = layoutManager->glyphRangeForBoundingRect(NSMakeRect(0, 0, size.width, size.height), container);

    if (cache)
        if (auto stored = dynamic_ref_cast<NSArray>(cache->objectForKey(kPositionsKey))) {
            for (NSUInteger i = 0; i < stored->count(); ++i) {
                auto info = static_ref_cast<HSKPathGlyphInfo>(stored->objectAtIndex(i));
                placement->layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(
                    layoutManager, info->glyphIndex(), info->point(), info->slope(), yOffset);
            }
            auto fitted = dynamic_ref_cast<NSNumber>(cache->objectForKey(kFittedKey));
            return fitted && fitted->boolValue();
        }

    bool fitted = true;
    // Placements are recorded only for a cache to replay.
    Ref<NSMutableArray> records;
    if (cache) records = NSMutableArray::array();
    // One walk along the path for all glyphs, each placed where trimming
    // the path at its centre would put it.
    PathTrimCursor cursor(path);
    CGFloat total = length(path);
    for (NSUInteger i = glyphs.location; i < NSMaxRange(glyphs); ++i) {
        NSRect fragment = layoutManager->lineFragmentRectForGlyphAtIndex(i, nullptr);
        if (fragment.origin.y > 0) {
            fitted = false;
            break;
        }
        NSPoint location = layoutManager->locationForGlyphAtIndex(i);
        NSRect box = layoutManager->boundingRectForGlyphRange(NSMakeRange(i, 1), container);
        CGFloat half = box.size.width * 0.5;
        if (!(half > 0)) continue;
        CGFloat distance = fragment.origin.x + location.x + half;
        NSPoint onPath;
        CGFloat slope = 0;
        bool rest = cursor.startAt(distance, onPath, slope);
        // Near the end the rest of the path is measured as the trim would.
        if (rest && total - distance < half + 1) rest = length(bezierPathByTrimmingFromLength(path, distance)) >= half;
        if (!rest) {
            NSLog("abort");
            fitted = false;
            break;
        }
        CGFloat h = box.size.height - layoutManager->baselineOffsetForGlyphAtIndex(i);
        float angle = float(slope), normal = float(double(angle) + std::numbers::pi / 2);
        NSPoint point = NSMakePoint(onPath.x - h * double(std::cos(normal)) - half * double(std::cos(angle)),
                                    onPath.y - h * double(std::sin(normal)) - half * double(std::sin(angle)));
        if (records) records->addObject(HSKPathGlyphInfo::initWithGlyphIndex(i, point, slope));
        placement->layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(layoutManager, i, point, slope,
                                                                                yOffset);
    }
    if (cache) {
        cache->setObject(records, kPositionsKey);
        cache->setObject(NSNumber::numberWithBool(fitted), kFittedKey);
    }
    return fitted;
}

// --- Drawing and outlines ---

bool drawTextOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text, CGFloat yOffset,
                    const Ref<NSLayoutManager>& givenLayoutManager, const Ref<NSMutableDictionary>& cache)
{
    if (!path) return false;
    yOffset = usableOffset(yOffset);
    if (cache) {
        // The checksum alone lets different shapes share a cache; the digest
        // of the exact elements tells them apart.
        auto storedSum = dynamic_ref_cast<NSNumber>(cache->objectForKey(kChecksumKey));
        auto storedDigest = dynamic_ref_cast<NSString>(cache->objectForKey(kDigestKey));
        uint64_t sum = checksum(path);
        auto digest = shapeDigest(path);
        uint64_t stored = storedSum ? storedSum->unsignedLongLongValue() : 0;
        bool changed = stored != sum || (storedDigest && !storedDigest->isEqual(digest.get()));
        if (changed || !storedDigest) {
            if (stored != 0 || storedDigest) cache->removeAllObjects();
            cache->setObject(NSNumber::numberWithUnsignedLongLong(sum), kChecksumKey);
            cache->setObject(digest, kDigestKey);
        }
    }
    bool shared = !givenLayoutManager;
    Ref<NSLayoutManager> layoutManager = shared ? textOnPathLayoutManager() : givenLayoutManager;
    auto storage = preadjustedTextStorageWithString(path, text, layoutManager);
    drawUnderlinePathForLayoutManager(path, layoutManager, yOffset, cache);
    NSRange all = NSMakeRange(0, storage->length());
    storage->removeAttribute(NSUnderlineStyleAttributeName, all);
    storage->removeAttribute(NSStrikethroughStyleAttributeName, all);
    bool fitted =
        layoutStringOnPath(path, storage, yOffset, NSObject::make<HSKTextOnPathGlyphDrawer>(), layoutManager, cache);
    if (shared) {
        auto struck = preadjustedTextStorageWithString(path, text, layoutManager);
        drawStrikethroughPathForLayoutManager(path, layoutManager, yOffset, cache);
    }
    return fitted;
}

bool drawStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSString>& string, const Ref<NSDictionary>& attributes)
{
    auto text = NSAttributedString::initWithString(string ? string : ""_ns,
                                                   attributes ? attributes : textOnPathDefaultAttributes());
    return drawTextOnPath(path, text, 0);
}

Ref<NSArray> bezierPathsWithGlyphsOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                         CGFloat yOffset)
{
    auto layoutManager = textOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(path, text, layoutManager);
    auto accumulator = NSObject::make<HSKTextOnPathGlyphAccumulator>();
    layoutStringOnPath(path, storage, yOffset, accumulator, layoutManager, nullptr);
    return accumulator->glyphs();
}

Ref<NSBezierPath> bezierPathWithTextOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                           CGFloat yOffset)
{
    auto result = NSBezierPath::bezierPath();
    auto glyphs = bezierPathsWithGlyphsOnPath(path, text, yOffset);
    for (NSUInteger i = 0; i < glyphs->count(); ++i)
        result->appendBezierPath(static_ref_cast<NSBezierPath>(glyphs->objectAtIndex(i)));
    return result;
}

Ref<NSBezierPath> bezierPathWithStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSString>& string,
                                             const Ref<NSDictionary>& attributes)
{
    auto text = NSAttributedString::initWithString(string ? string : ""_ns,
                                                   attributes ? attributes : textOnPathDefaultAttributes());
    return bezierPathWithTextOnPath(path, text, 0);
}

void pathPosition(const Ref<NSBezierPath>& path, CGFloat* position, CGFloat* length,
                  const Ref<NSAttributedString>& text, NSRange range)
{
    if (!position || !length) return;
    auto layoutManager = textOnPathLayoutManager();
    // Measuring borrows the shared layout manager: its text and container
    // size come back afterwards, for a caller drawing through it.
    auto previous = layoutManager->textStorage();
    NSSize previousSize = lastContainer(layoutManager)->containerSize();
    auto storage = preadjustedTextStorageWithString(path, text, layoutManager);
    auto metrics = NSObject::make<HSKTextOnPathMetricsHelper>();
    metrics->setCharacterRange(range);
    layoutStringOnPath(path, storage, 0, metrics, layoutManager, nullptr);
    *position = metrics->position();
    *length = metrics->length();
    if (previous) {
        attach(previous, layoutManager);
        lastContainer(layoutManager)->setContainerSize(previousSize);
    }
}

}

namespace NSFontExt {

namespace {
CGFloat meanOfHelveticaAndTimes(const Ref<NSFont>& font, CGFloat (NSFont::*metric)() const)
{
    CGFloat size = font ? font->pointSize() : 12;
    auto helvetica = NSFont::fontWithName("Helvetica"_ns, size), times = NSFont::fontWithName("Times"_ns, size);
    if (!helvetica || !times) return 0;
    return ((*helvetica.*metric)() + (*times.*metric)()) / 2;
}
}

CGFloat valueForInvalidUnderlinePosition(const Ref<NSFont>& font)
{
    return meanOfHelveticaAndTimes(font, &NSFont::underlinePosition);
}

CGFloat valueForInvalidUnderlineThickness(const Ref<NSFont>& font)
{
    return meanOfHelveticaAndTimes(font, &NSFont::underlineThickness);
}

}
