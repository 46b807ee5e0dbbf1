#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRuler.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTableView.h"
#include "AppKit/NSTextStorage.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(ZAKLineNumberRuler)

namespace {

constexpr CGFloat kMinimumThickness = 24;

// The end of the line range holding an empty range at the index.
NSUInteger lineEnd(const Ref<NSString>& text, NSUInteger index)
{
    NSUInteger end = index;
    text->getLineStart(nullptr, &end, nullptr, NSMakeRange(index, 0));
    return end;
}

// Whether the line starting at the index ends with a line terminator.
bool endsWithTerminator(const Ref<NSString>& text, NSUInteger start)
{
    NSUInteger end = start, contentsEnd = start;
    text->getLineStart(nullptr, &end, &contentsEnd, NSMakeRange(start, 0));
    return contentsEnd < end;
}

Ref<NSString> textOf(const Ref<NSView>& client)
{
    auto textView = dynamic_ref_cast<NSTextView>(client);
    return textView ? textView->string() : nullptr;
}

}

void ZAKLineNumberRuler::describeClass(NSClassMembers<ZAKLineNumberRuler>& m)
{
    m.action("textDidChange:", &ZAKLineNumberRuler::textDidChange);
}

Ref<ZAKLineNumberRuler> ZAKLineNumberRuler::initWithScrollView(const Ref<NSScrollView>& scrollView)
{
    NSRulerView::initWithScrollView(scrollView, NSVerticalRuler);
    m_linesToMarkers = NSMutableDictionary::dictionary();
    setClientView(scrollView ? scrollView->documentView() : nullptr);
    return this;
}

void ZAKLineNumberRuler::awakeFromNib()
{
    NSRulerView::awakeFromNib();
    m_linesToMarkers = NSMutableDictionary::dictionary();
    auto scroll = scrollView();
    setClientView(scroll ? scroll->documentView() : nullptr);
}

void ZAKLineNumberRuler::setClientView(const Ref<NSView>& client)
{
    if (client != clientView()) stopObservingText();
    NSRulerView::setClientView(client);
    invalidateLineIndices();
    if (auto textView = dynamic_ref_cast<NSTextView>(client)) observeText(textView);
}

void ZAKLineNumberRuler::observeText(const Ref<NSTextView>& textView)
{
    auto storage = textView->textStorage();
    if (!storage || storage == m_observedStorage.get()) return;
    stopObservingText();
    m_observedStorage = storage;
    NSNotificationCenter::defaultCenter()->addObserver(
        this, "textDidChange:", NSTextStorageDidProcessEditingNotification, storage);
}

void ZAKLineNumberRuler::stopObservingText()
{
    auto storage = m_observedStorage.get();
    m_observedStorage = nullptr;
    if (storage)
        NSNotificationCenter::defaultCenter()->removeObserver(this, NSTextStorageDidProcessEditingNotification,
                                                              storage);
}

void ZAKLineNumberRuler::textDidChange(const Ref<NSNotification>& notification)
{
    auto storage = notification ? dynamic_ref_cast<NSTextStorage>(notification->object()) : nullptr;
    auto text = textOf(clientView());
    if (m_lineIndices && storage && text && (storage->editedMask() & NSTextStorageEditedCharacters)) {
        patchLineStarts(storage->editedRange(), storage->changeInLength(), text);
        scheduleThicknessCheck();
    } else if (!storage || (storage->editedMask() & NSTextStorageEditedCharacters)) {
        invalidateLineIndices();
    }
    setNeedsDisplay(true);
}

Ref<NSArray> ZAKLineNumberRuler::lineIndices()
{
    const auto& starts = lineStarts();
    std::vector<Id> numbers;
    numbers.reserve(starts.size());
    for (NSUInteger start : starts) numbers.push_back(NSNumber::numberWithUnsignedInteger(start));
    return NSArray::arrayWithVector(std::move(numbers));
}

const std::vector<NSUInteger>& ZAKLineNumberRuler::lineStarts()
{
    if (!m_lineIndices) calculateLines();
    if (!m_lineIndices) m_lineIndices.emplace();
    return *m_lineIndices;
}

void ZAKLineNumberRuler::invalidateLineIndices() { m_lineIndices.reset(); }

void ZAKLineNumberRuler::appendLineStarts(const Ref<NSString>& text, NSUInteger from, NSUInteger limit, bool toEnd)
{
    auto& starts = *m_lineIndices;
    const NSUInteger length = text->length();
    NSUInteger index = from;
    for (;;) {
        starts.push_back(index);
        index = lineEnd(text, index);
        if (index >= length || (!toEnd && index >= limit)) break;
    }
    // A final line terminator opens one more, empty, line.
    if (toEnd && endsWithTerminator(text, starts.back())) starts.push_back(length);
}

void ZAKLineNumberRuler::calculateLines()
{
    auto client = clientView();
    if (auto text = textOf(client)) {
        m_lineIndices.emplace();
        appendLineStarts(text, 0, 0, true);
    } else if (auto table = dynamic_ref_cast<NSTableView>(client)) {
        m_lineIndices.emplace();
        const NSInteger rows = table->numberOfRows();
        for (NSInteger row = 0; row < rows; ++row) m_lineIndices->push_back(NSUInteger(row));
    } else {
        return;
    }
    scheduleThicknessCheck();
}

void ZAKLineNumberRuler::patchLineStarts(NSRange edited, NSInteger delta, const Ref<NSString>& text)
{
    const std::vector<NSUInteger> old = std::move(*m_lineIndices);
    const NSUInteger newEnd = NSMaxRange(edited);
    const NSInteger oldEndSigned = NSInteger(newEnd) - delta;
    if (edited.location == NSNotFound || oldEndSigned < NSInteger(edited.location) || newEnd > text->length()) {
        m_lineIndices.reset();
        calculateLines();
        return;
    }
    const NSUInteger oldEnd = NSUInteger(oldEndSigned);
    // Whether an index starts a line depends only on the characters just
    // before and at it: starts before the edit stay, starts after the
    // replaced characters move by the change in length.
    const size_t first = edited.location == 0
                             ? 0
                             : size_t(std::upper_bound(old.begin(), old.end(), edited.location - 1) - old.begin()) - 1;
    const size_t tail = size_t(std::upper_bound(old.begin(), old.end(), oldEnd) - old.begin());
    m_lineIndices.emplace(old.begin(), old.begin() + NSInteger(first));
    if (tail == old.size()) {
        appendLineStarts(text, old[first], 0, true);
        return;
    }
    const NSUInteger limit = NSUInteger(NSInteger(old[tail]) + delta);
    appendLineStarts(text, old[first], limit, false);
    if (lineEnd(text, m_lineIndices->back()) != limit) {
        // The text changed in a way the notice did not describe.
        m_lineIndices.reset();
        calculateLines();
        return;
    }
    m_lineIndices->reserve(m_lineIndices->size() + old.size() - tail);
    for (size_t i = tail; i < old.size(); ++i) m_lineIndices->push_back(NSUInteger(NSInteger(old[i]) + delta));
}

void ZAKLineNumberRuler::scheduleThicknessCheck()
{
    const CGFloat required = requiredThickness();
    if (std::fabs(ruleThickness() - required) <= 1) return;
    // Never resized while the lines are being counted: the next turn does it.
    performSelectorAfterDelay("setRuleThickness:", NSNumber::numberWithDouble(required), 0);
}

CGFloat ZAKLineNumberRuler::requiredThickness() const
{
    const size_t lines = const_cast<ZAKLineNumberRuler*>(this)->lineStarts().size();
    const int digits = lines == 0 ? 1 : std::max(1, int(std::floor(std::log10(double(lines)))) + 1);
    const auto eights = NSString::stringWithUTF8String(std::string(size_t(digits), '8').c_str());
    const NSSize size = NSStringExt::sizeWithAttributes(eights, textAttributes());
    return std::ceil(float(std::max(size.width + 12, kMinimumThickness)));
}

NSUInteger ZAKLineNumberRuler::lineNumberForCharacterIndex(NSUInteger index, const Ref<NSString>&)
{
    const auto& starts = lineStarts();
    size_t low = 0, high = starts.size();
    while (high - low >= 2) {
        const size_t mid = (low + high) / 2;
        if (index < starts[mid]) {
            high = mid;
        } else {
            low = mid;
            if (starts[mid] == index) break;
        }
    }
    return low;
}

NSRect ZAKLineNumberRuler::visibleDocumentRect() const
{
    auto scroll = scrollView();
    auto clip = scroll ? scroll->contentView() : nullptr;
    return clip ? clip->bounds() : NSZeroRect;
}

NSUInteger ZAKLineNumberRuler::lineNumberForLocation(CGFloat location)
{
    auto client = clientView();
    const NSRect visible = visibleDocumentRect();
    const CGFloat y = location + NSMinY(visible);
    if (auto table = dynamic_ref_cast<NSTableView>(client)) {
        const NSInteger row = table->rowAtPoint(NSMakePoint(1, y));
        return row < 0 ? NSNotFound : NSUInteger(row) + 1;
    }
    auto textView = dynamic_ref_cast<NSTextView>(client);
    if (!textView) return NSNotFound;
    auto layout = textView->layoutManager();
    auto container = textView->textContainer();
    auto text = textView->string();
    if (!layout || !container || !text) return NSNotFound;
    const auto& starts = lineStarts();
    if (starts.empty()) return NSNotFound;
    // Lines lie top to bottom: the line whose first fragment spans y holds
    // the character found there, so only its neighbours need asking.
    const CGFloat inset = textView->textContainerInset().height;
    const NSUInteger glyph = layout->glyphIndexForPoint(NSMakePoint(1, y - inset), container);
    const NSUInteger character = std::min(glyph, text->length());
    const size_t candidate = lineNumberForCharacterIndex(character, text);
    const size_t from = candidate == 0 ? 0 : candidate - 1;
    const size_t to = std::min(starts.size(), candidate + 2);
    for (size_t line = from; line < to; ++line) {
        for (const NSRect& r :
             layout->rectArrayForCharacterRange(NSMakeRange(starts[line], 0), NSMakeRange(NSNotFound, 0), container)) {
            const CGFloat top = NSMinY(r) + inset;
            if (y >= top && y < top + r.size.height) return NSUInteger(line) + 1;
        }
    }
    return NSNotFound;
}

Ref<ZAKLineNumberRulerMarker> ZAKLineNumberRuler::markerForKey(NSUInteger key) const
{
    if (!m_linesToMarkers || m_linesToMarkers->count() == 0) return nullptr;
    return dynamic_ref_cast<ZAKLineNumberRulerMarker>(
        m_linesToMarkers->objectForKey(NSNumber::numberWithUnsignedInteger(key)));
}

Ref<ZAKLineNumberRulerMarker> ZAKLineNumberRuler::markerAtLine(NSUInteger line) const
{
    return line == 0 ? nullptr : markerForKey(line - 1);
}

Ref<NSDictionary> ZAKLineNumberRuler::textAttributes() const
{
    auto font = m_font ? m_font : NSFont::labelFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize));
    auto color = m_textColor ? m_textColor : NSColor::blackColor();
    return NSDictionary::dictionaryWithObjectsAndKeys(
        {font, NSFontAttributeName, color, NSForegroundColorAttributeName});
}

Ref<NSDictionary> ZAKLineNumberRuler::markerTextAttributes() const
{
    auto font = m_font ? m_font : NSFont::labelFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize));
    auto color = m_alternateTextColor ? m_alternateTextColor : NSColor::whiteColor();
    return NSDictionary::dictionaryWithObjectsAndKeys(
        {font, NSFontAttributeName, color, NSForegroundColorAttributeName});
}

void ZAKLineNumberRuler::drawLine(NSUInteger key, CGFloat y, CGFloat h, CGFloat width)
{
    auto marker = markerForKey(key);
    if (marker && marker->image()) {
        const NSSize size = marker->image()->size();
        marker->image()->drawInRect(
            NSMakeRect(width - size.width - 1, y + h / 2 - marker->imageOrigin().y, size.width, size.height),
            NSZeroRect, NSCompositeSourceOver, 1.0, true, nullptr);
    }
    const auto label = NSString::stringWithFormat("%lu"_ns, key + 1);
    const auto attributes = marker ? markerTextAttributes() : textAttributes();
    const NSSize size = NSStringExt::sizeWithAttributes(label, attributes);
    NSStringExt::drawInRect(label, NSMakeRect(width - size.width - 6, y + (h - size.height) / 2, width - 12, h),
                            attributes);
}

void ZAKLineNumberRuler::drawHashMarksAndLabelsInRect(const NSRect&)
{
    const NSRect b = bounds();
    const CGFloat width = b.size.width;
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(NSMakeRect(b.origin.x, b.origin.y + 1, width - 1, b.size.height - 1));
    if (m_backgroundColor) {
        m_backgroundColor->set();
        NSRectFill(b);
    }
    auto client = clientView();
    const NSRect visible = visibleDocumentRect();
    if (auto textView = dynamic_ref_cast<NSTextView>(client)) {
        auto layout = textView->layoutManager();
        auto container = textView->textContainer();
        const auto& starts = lineStarts();
        if (layout && container && !starts.empty()) {
            const NSSize inset = textView->textContainerInset();
            const NSRect inContainer = NSOffsetRect(visible, -inset.width, -inset.height);
            const NSRange glyphs = layout->glyphRangeForBoundingRect(inContainer, container);
            const NSRange range = layout->characterRangeForGlyphRange(glyphs, nullptr);
            const NSUInteger last = NSMaxRange(range);
            for (size_t line = lineNumberForCharacterIndex(range.location, nullptr); line < starts.size(); ++line) {
                const NSUInteger start = starts[line];
                if (start >= range.location && start <= last) {
                    const auto rects = layout->rectArrayForCharacterRange(NSMakeRange(start, 0),
                                                                          NSMakeRange(NSNotFound, 0), container);
                    if (!rects.empty())
                        drawLine(line, NSMinY(rects[0]) + inset.height - NSMinY(visible), rects[0].size.height, width);
                }
                if (start > last + 1) break;
            }
        }
    } else if (auto table = dynamic_ref_cast<NSTableView>(client)) {
        auto header = table->headerView();
        const CGFloat headerHeight = header ? header->frame().size.height : 0;
        const NSRange rows = table->rowsInRect(visible);
        for (NSUInteger row = rows.location; row < NSMaxRange(rows); ++row) {
            const NSRect r = table->rectOfRow(NSInteger(row));
            drawLine(row, NSMinY(r) - NSMinY(visible) + headerHeight, table->rowHeight(), width);
        }
        if (m_tableHeaderView) m_tableHeaderView->drawRect(m_tableHeaderView->frame());
    }
    NSGraphicsContext::restoreGraphicsState();
    // The edge towards the client, drawn outside the clip so that it shows.
    NSColor::darkGrayColor()->set();
    NSBezierPath::strokeLineFromPoint(NSMakePoint(NSMaxX(b) - 0.5, NSMinY(b)), NSMakePoint(NSMaxX(b) - 0.5, NSMaxY(b)));
}

void ZAKLineNumberRuler::addMarker(const Ref<NSRulerMarker>& marker)
{
    auto lineMarker = dynamic_ref_cast<ZAKLineNumberRulerMarker>(marker);
    if (!lineMarker) return NSRulerView::addMarker(marker);
    if (!m_linesToMarkers) m_linesToMarkers = NSMutableDictionary::dictionary();
    m_linesToMarkers->setObject(lineMarker, NSNumber::numberWithUnsignedInteger(lineMarker->lineNumber() - 1));
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::removeMarker(const Ref<NSRulerMarker>& marker)
{
    auto lineMarker = dynamic_ref_cast<ZAKLineNumberRulerMarker>(marker);
    if (!lineMarker) return NSRulerView::removeMarker(marker);
    if (m_linesToMarkers)
        m_linesToMarkers->removeObjectForKey(NSNumber::numberWithUnsignedInteger(lineMarker->lineNumber() - 1));
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::setMarkers(const Ref<NSArray>& markers)
{
    if (m_linesToMarkers) m_linesToMarkers->removeAllObjects();
    NSRulerView::setMarkers(nullptr);
    if (!markers) return;
    for (const auto& object : markers->snapshot())
        if (auto marker = dynamic_ref_cast<NSRulerMarker>(object)) addMarker(marker);
}

Ref<NSArray> ZAKLineNumberRuler::markers() const
{
    std::vector<Id> all = NSRulerView::markers()->snapshot();
    if (m_linesToMarkers)
        for (const auto& object : m_linesToMarkers->allValues()->snapshot()) all.push_back(object);
    return NSArray::arrayWithVector(std::move(all));
}

void ZAKLineNumberRuler::removeAllMarker()
{
    for (const auto& object : markers()->snapshot())
        if (auto marker = dynamic_ref_cast<NSRulerMarker>(object)) removeMarker(marker);
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::setFont(const Ref<NSFont>& font)
{
    m_font = font;
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::setTextColor(const Ref<NSColor>& color)
{
    m_textColor = color;
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::setAlternateTextColor(const Ref<NSColor>& color)
{
    m_alternateTextColor = color;
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setNeedsDisplay(true);
}

void ZAKLineNumberRuler::encodeWithCoder(NSCoder* coder) const
{
    NSRulerView::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        for (const Id& object : {Id(m_font), Id(m_textColor), Id(m_alternateTextColor), Id(m_backgroundColor)})
            coder->encodeObject(object);
        return;
    }
    if (m_font) coder->encodeObject(m_font, "font"_ns);
    if (m_textColor) coder->encodeObject(m_textColor, "textColor"_ns);
    if (m_alternateTextColor) coder->encodeObject(m_alternateTextColor, "alternateTextColor"_ns);
    if (m_backgroundColor) coder->encodeObject(m_backgroundColor, "backgroundColor"_ns);
}

Id ZAKLineNumberRuler::initWithCoder(NSCoder* coder)
{
    NSRulerView::initWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        m_font = dynamic_ref_cast<NSFont>(coder->decodeObject());
        m_textColor = dynamic_ref_cast<NSColor>(coder->decodeObject());
        m_alternateTextColor = dynamic_ref_cast<NSColor>(coder->decodeObject());
        m_backgroundColor = dynamic_ref_cast<NSColor>(coder->decodeObject());
    } else {
        m_font = dynamic_ref_cast<NSFont>(coder->decodeObjectForKey("font"_ns));
        m_textColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("textColor"_ns));
        m_alternateTextColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("alternateTextColor"_ns));
        m_backgroundColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("backgroundColor"_ns));
    }
    m_linesToMarkers = NSMutableDictionary::dictionary();
    return this;
}
