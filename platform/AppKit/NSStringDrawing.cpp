#include "AppKit/NSStringDrawing.h"

#include <unicode/ubrk.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <list>
#include <memory>
#include <unordered_map>

#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSShadow.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSNumber.h"

namespace {

struct Style {
    Ref<NSFont> font;
    Ref<NSColor> color, background, underlineColor, strikeColor;
    Ref<NSShadow> shadow;
    Ref<NSParagraphStyle> paragraph;
    NSInteger underline = 0, strike = 0;
    CGFloat kern = 0, baselineOffset = 0;
};

struct Item {
    uint32_t glyph;
    CGFloat advance;
    size_t style;
};

struct Line {
    std::vector<Item> items;
    CGFloat width = 0;  // without trailing white space
    CGFloat ascent = 0, descent = 0, leading = 0;
    CGFloat top = 0;  // distance down from the layout's top
    CGFloat indent = 0;
    NSTextAlignment alignment = NSTextAlignmentNatural;
    CGFloat height() const { return ascent - descent + leading; }
};

struct Layout {
    std::vector<Style> styles;
    std::vector<Line> lines;
    CGFloat width = 0, height = 0;
};

Ref<NSFont> defaultFont()
{
    static const Ref<NSFont> font = NSFont::fontWithName("Helvetica"_ns, 12);
    return font;
}

template <class T> Ref<T> attribute(const Ref<NSDictionary>& d, const Ref<NSString>& key)
{
    return dynamic_ref_cast<T>(d->objectForKey(key));
}

Style styleFrom(const Ref<NSDictionary>& d)
{
    Style s;
    s.font = attribute<NSFont>(d, NSFontAttributeName);
    if (!s.font) s.font = defaultFont();
    s.color = attribute<NSColor>(d, NSForegroundColorAttributeName);
    if (!s.color) s.color = NSColor::blackColor();
    s.background = attribute<NSColor>(d, NSBackgroundColorAttributeName);
    s.underlineColor = attribute<NSColor>(d, NSUnderlineColorAttributeName);
    s.strikeColor = attribute<NSColor>(d, NSStrikethroughColorAttributeName);
    s.shadow = attribute<NSShadow>(d, NSShadowAttributeName);
    s.paragraph = attribute<NSParagraphStyle>(d, NSParagraphStyleAttributeName);
    if (!s.paragraph) s.paragraph = NSParagraphStyle::defaultParagraphStyle();
    if (auto n = attribute<NSNumber>(d, NSUnderlineStyleAttributeName)) s.underline = n->integerValue();
    if (auto n = attribute<NSNumber>(d, NSStrikethroughStyleAttributeName)) s.strike = n->integerValue();
    if (auto n = attribute<NSNumber>(d, NSKernAttributeName)) s.kern = n->doubleValue();
    if (auto n = attribute<NSNumber>(d, NSBaselineOffsetAttributeName)) s.baselineOffset = n->doubleValue();
    return s;
}

bool isNewline(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x2028; }
bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00a0 || c == 0x3000; }

class Typesetter {
public:
    Typesetter(const Ref<NSAttributedString>& text, CGFloat widthLimit, bool truncateLastVisible, CGFloat heightLimit)
        : m_text(text->utf16())
        , m_limit(widthLimit > 0 ? widthLimit : 0)
    {
        m_styleOf.resize(m_text.size());
        m_glyph.resize(m_text.size());
        m_advance.resize(m_text.size());
        NSUInteger start = 0;
        for (const auto& run : text->runs()) {
            size_t index = m_layout.styles.size();
            m_layout.styles.push_back(styleFrom(run.attributes));
            const Style& s = m_layout.styles.back();
            auto shaped = s.font->cgFont()->shape(m_text.substr(start, run.length), s.font->pointSize());
            for (NSUInteger i = 0; i < run.length; ++i) {
                m_styleOf[start + i] = index;
                m_glyph[start + i] = shaped[i].glyph;
                m_advance[start + i] = shaped[i].advance + s.kern;
            }
            start += run.length;
        }
        if (m_layout.styles.empty()) m_layout.styles.push_back(styleFrom(NSDictionary::dictionary()));
        layOut();
        if (truncateLastVisible && heightLimit > 0) truncateAtHeight(heightLimit);
    }

    Layout& layout() { return m_layout; }

private:
    void layOut()
    {
        size_t p = 0;
        CGFloat top = 0;
        while (true) {
            size_t end = p;
            while (end < m_text.size() && !isNewline(m_text[end])) ++end;
            top = paragraph(p, end, top);
            if (end >= m_text.size()) break;
            if (m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n') ++end;
            p = end + 1;
            // A final line break opens no empty line.
            if (p >= m_text.size()) break;
        }
        m_layout.height = top;
        for (const Line& l : m_layout.lines) m_layout.width = std::max(m_layout.width, l.indent + l.width);
    }

    size_t styleAt(size_t index) const
    {
        if (m_text.empty()) return 0;
        return m_styleOf[std::min(index, m_text.size() - 1)];
    }

    CGFloat paragraph(size_t start, size_t end, CGFloat top)
    {
        const Style& first = m_layout.styles[styleAt(start)];
        const NSParagraphStyle& ps = *first.paragraph;
        NSLineBreakMode mode = ps.lineBreakMode();
        bool wraps = m_limit > 0 && (mode == NSLineBreakByWordWrapping || mode == NSLineBreakByCharWrapping);
        std::vector<std::pair<size_t, size_t>> ranges;
        if (wraps) ranges = breakLines(start, end, mode == NSLineBreakByWordWrapping, ps);
        else ranges.push_back({start, end});
        for (size_t i = 0; i < ranges.size(); ++i) {
            Line line = makeLine(ranges[i].first, ranges[i].second, start);
            line.indent = i == 0 ? ps.firstLineHeadIndent() : ps.headIndent();
            line.alignment = ps.alignment();
            if (!wraps && m_limit > 0 && line.width + line.indent > m_limit)
                truncate(line, mode, m_limit - line.indent, ranges[i]);
            line.top = top;
            top += line.height() + ps.lineSpacing();
            m_layout.lines.push_back(std::move(line));
        }
        return top + ps.paragraphSpacing();
    }

    std::vector<std::pair<size_t, size_t>> breakLines(size_t start, size_t end, bool byWord, const NSParagraphStyle& ps)
    {
        std::vector<std::pair<size_t, size_t>> ranges;
        // A paragraph that fits on its first line needs no break positions
        // (most labels).
        CGFloat whole = 0;
        for (size_t i = start; i < end; ++i) whole += m_advance[i];
        if (whole <= m_limit - ps.firstLineHeadIndent() + 1e-9) {
            ranges.push_back({start, end});
            return ranges;
        }
        std::vector<bool> canBreak(end - start + 1, !byWord);
        if (byWord && end > start) {
            UBreakIterator* it =
                BreakIteratorCache::forCurrentThread().iterator(UBRK_LINE, m_text.data() + start, end - start);
            if (it) {
                for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it))
                    canBreak[static_cast<size_t>(b)] = true;
            }
        }
        size_t lineStart = start;
        while (true) {
            CGFloat limit = m_limit - (ranges.empty() ? ps.firstLineHeadIndent() : ps.headIndent());
            CGFloat width = 0;
            size_t i = lineStart, lastBreak = 0;
            for (; i < end; ++i) {
                if (i > lineStart && canBreak[i - start]) lastBreak = i;
                // White space may hang past the edge.
                if (!isSpace(m_text[i]) && i > lineStart && width + m_advance[i] > limit + 1e-9) break;
                width += m_advance[i];
            }
            if (i >= end) {
                ranges.push_back({lineStart, end});
                return ranges;
            }
            // A word longer than the line breaks between characters.
            size_t lineEnd = lastBreak > lineStart ? lastBreak : i;
            ranges.push_back({lineStart, lineEnd});
            lineStart = lineEnd;
        }
    }

    Line makeLine(size_t start, size_t end, size_t paragraphStart)
    {
        Line line;
        for (size_t i = start; i < end; ++i) line.items.push_back({m_glyph[i], m_advance[i], m_styleOf[i]});
        size_t visibleEnd = end;
        while (visibleEnd > start && isSpace(m_text[visibleEnd - 1])) --visibleEnd;
        for (size_t i = start; i < visibleEnd; ++i) line.width += m_advance[i];
        // Metrics of every font on the line; an empty line takes its paragraph's.
        auto measure = [&](const Style& s) {
            line.ascent = std::max(line.ascent, s.font->ascender() + std::max(0.0, s.baselineOffset));
            line.descent = std::min(line.descent, s.font->descender() + std::min(0.0, s.baselineOffset));
            line.leading = std::max(line.leading, s.font->leading());
        };
        if (start == end)
            measure(m_layout.styles[styleAt(paragraphStart > 0 && paragraphStart == m_text.size() ? paragraphStart - 1
                                                                                                  : paragraphStart)]);
        for (size_t i = start; i < end; ++i) measure(m_layout.styles[m_styleOf[i]]);
        return line;
    }

    Item ellipsis(size_t style) const
    {
        const Ref<NSFont>& font = m_layout.styles[style].font;
        uint32_t g = font->glyphForCharacter(0x2026);
        return {g, font->advancementForGlyph(g).width, style};
    }

    // Shortens a line that does not fit, as the line-break mode says.
    void truncate(Line& line, NSLineBreakMode mode, CGFloat limit, std::pair<size_t, size_t> range)
    {
        if (mode == NSLineBreakByClipping || line.items.empty()) return;
        std::vector<Item> all = std::move(line.items);
        // Trailing white space never counts.
        size_t count = all.size();
        while (count > 0 && isSpace(m_text[range.first + count - 1])) --count;
        all.resize(count);
        std::vector<Item> out;
        if (mode == NSLineBreakByTruncatingHead) {
            Item dots = ellipsis(all.front().style);
            CGFloat width = dots.advance;
            size_t keep = 0;
            while (keep < all.size() && width + all[all.size() - 1 - keep].advance <= limit + 1e-9)
                width += all[all.size() - 1 - ++keep].advance;
            out.push_back(dots);
            out.insert(out.end(), all.end() - static_cast<std::ptrdiff_t>(keep), all.end());
        } else if (mode == NSLineBreakByTruncatingMiddle) {
            Item dots = ellipsis(all.front().style);
            CGFloat width = dots.advance;
            size_t head = 0, tail = 0;
            bool takeHead = true;
            while (head + tail < all.size()) {
                const Item& next = takeHead ? all[head] : all[all.size() - 1 - tail];
                if (width + next.advance > limit + 1e-9) break;
                width += next.advance;
                (takeHead ? head : tail)++;
                takeHead = !takeHead;
            }
            out.insert(out.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(head));
            out.push_back(dots);
            out.insert(out.end(), all.end() - static_cast<std::ptrdiff_t>(tail), all.end());
        } else {
            CGFloat width = 0;
            size_t keep = 0;
            while (keep < all.size()) {
                Item dots = ellipsis(all[keep].style);
                if (width + all[keep].advance + dots.advance > limit + 1e-9) break;
                width += all[keep++].advance;
            }
            out.insert(out.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(keep));
            out.push_back(ellipsis(keep > 0 ? all[keep - 1].style : all.front().style));
        }
        line.items = std::move(out);
        line.width = 0;
        for (const Item& item : line.items) line.width += item.advance;
    }

    void truncateAtHeight(CGFloat heightLimit)
    {
        auto& lines = m_layout.lines;
        size_t visible = 0;
        while (visible < lines.size() && lines[visible].top + lines[visible].height() <= heightLimit + 1e-9) ++visible;
        if (visible == 0 || visible == lines.size()) return;
        Line& last = lines[visible - 1];
        // The last visible line ends in an ellipsis, whatever followed it.
        Item dots = ellipsis(last.items.empty() ? 0 : last.items.back().style);
        CGFloat limit = m_limit > 0 ? m_limit - last.indent : last.width + dots.advance;
        while (!last.items.empty() && last.width + dots.advance > limit + 1e-9) {
            last.width -= last.items.back().advance;
            last.items.pop_back();
        }
        last.items.push_back(dots);
        last.width += dots.advance;
        lines.resize(visible);
        m_layout.height = last.top + last.height();
    }

    std::u16string m_text;
    CGFloat m_limit;
    std::vector<size_t> m_styleOf;
    std::vector<uint32_t> m_glyph;
    std::vector<CGFloat> m_advance;
    Layout m_layout;
};

std::atomic<uint64_t> madeLayouts{0};

// The recent layouts of short texts, per thread. Views draw the same labels
// on every redraw (a ruler's numbers, a button's title) and shaping them is
// most of what drawing text costs. A layout is found again by its text, its
// attributes (compared with isEqual) and the limits it was made for. The
// least recently used go first; there is room for a ruler's position label at
// every pixel of a wide screen.
class LayoutCache {
public:
    static LayoutCache& forCurrentThread()
    {
        thread_local LayoutCache cache;
        return cache;
    }

    std::shared_ptr<const Layout> layout(const Ref<NSAttributedString>& text, CGFloat widthLimit, bool truncate,
                                         CGFloat heightLimit)
    {
        auto make = [&] {
            ++madeLayouts;
            return std::make_shared<const Layout>(
                std::move(Typesetter(text, widthLimit, truncate, heightLimit).layout()));
        };
        // Long texts are rarely drawn twice unchanged; comparing them costs.
        if (text->length() > kLongestText) return make();
        const size_t hash = std::hash<std::u16string>()(text->utf16()) ^ std::hash<CGFloat>()(widthLimit) ^
                            (std::hash<CGFloat>()(heightLimit) << 1) ^ static_cast<size_t>(truncate);
        auto [first, last] = m_index.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (!it->second->matches(text, widthLimit, truncate, heightLimit)) continue;
            m_entries.splice(m_entries.begin(), m_entries, it->second);
            return m_entries.front().layout;
        }
        Entry fresh{hash, text->utf16(), {}, widthLimit, heightLimit, truncate, make()};
        for (const auto& run : text->runs()) fresh.runs.push_back({run.length, frozen(run.attributes)});
        m_entries.push_front(std::move(fresh));
        m_index.emplace(hash, m_entries.begin());
        if (m_entries.size() > kEntries) {
            const auto oldest = std::prev(m_entries.end());
            auto [a, b] = m_index.equal_range(oldest->hash);
            for (auto it = a; it != b; ++it) {
                if (it->second != oldest) continue;
                m_index.erase(it);
                break;
            }
            m_entries.pop_back();
        }
        return m_entries.front().layout;
    }

private:
    static constexpr size_t kEntries = 4096, kLongestText = 256;

    // The key keeps copies of the attributes and of their mutable values
    // (paragraph styles, shadows): a dictionary or style the caller changes
    // later must not change what is cached.
    static Ref<NSDictionary> frozen(const Ref<NSDictionary>& attributes)
    {
        auto copy = NSMutableDictionary::dictionary();
        for (const auto& [key, value] : attributes->entries()) {
            const bool isMutable = dynamic_ref_cast<NSParagraphStyle>(value) || dynamic_ref_cast<NSShadow>(value);
            copy->setObject(isMutable ? value->copy() : value, key);
        }
        return static_ref_cast<NSDictionary>(copy->copy());
    }

    struct Entry {
        size_t hash;
        std::u16string text;
        std::vector<NSAttributedString::Run> runs;
        CGFloat widthLimit, heightLimit;
        bool truncate;
        std::shared_ptr<const Layout> layout;

        bool matches(const Ref<NSAttributedString>& other, CGFloat width, bool truncates, CGFloat height) const
        {
            if (widthLimit != width || heightLimit != height || truncate != truncates || text != other->utf16())
                return false;
            const auto& otherRuns = other->runs();
            if (runs.size() != otherRuns.size()) return false;
            for (size_t i = 0; i < runs.size(); ++i) {
                const auto& a = runs[i].attributes;
                const auto& b = otherRuns[i].attributes;
                if (runs[i].length != otherRuns[i].length || (a != b && !a->isEqual(b.get()))) return false;
            }
            return true;
        }
    };

    std::list<Entry> m_entries;  // the most recently used first
    std::unordered_multimap<size_t, std::list<Entry>::iterator> m_index;
};

std::shared_ptr<const Layout> layOut(const Ref<NSAttributedString>& text, CGFloat widthLimit = 0, bool truncate = false,
                                     CGFloat heightLimit = 0)
{
    return LayoutCache::forCurrentThread().layout(text, widthLimit, truncate, heightLimit);
}

// Draws lines from the top of a box; "down" distances become user y by the
// orientation of the user space, so text stays upright either way.
class Painter {
public:
    Painter(CGContext* port, const NSRect& box)
        : m_port(port)
        , m_box(box)
        , m_yUp(port->userSpaceIsYUp())
    { }

    void draw(const Layout& layout, CGFloat heightLimit)
    {
        for (const Line& line : layout.lines) {
            if (heightLimit > 0 && line.top >= heightLimit) break;
            drawLine(layout, line, line.top + line.ascent);
        }
    }

    void drawLineAtBaseline(const Layout& layout, const Line& line, CGFloat baselineY)
    {
        m_baselineOverride = true;
        m_baseline = baselineY;
        drawLine(layout, line, 0);
    }

private:
    CGFloat userY(CGFloat down) const
    {
        if (m_baselineOverride) return m_yUp ? m_baseline - down : m_baseline + down;
        return m_yUp ? NSMaxY(m_box) - down : NSMinY(m_box) + down;
    }
    // A rectangle given by its top (down) and height.
    NSRect band(CGFloat x, CGFloat top, CGFloat width, CGFloat height) const
    {
        CGFloat a = userY(top), b = userY(top + height);
        return NSMakeRect(x, std::min(a, b), width, std::fabs(b - a));
    }
    void fill(const NSRect& r, const Ref<NSColor>& color)
    {
        m_port->saveGState();
        m_port->setFillColor(color->rgba());
        m_port->clearShadow();
        m_port->fillRect(r);
        m_port->restoreGState();
    }

    void drawLine(const Layout& layout, const Line& line, CGFloat baseline)
    {
        CGFloat available = m_box.size.width - line.indent;
        CGFloat x = m_box.origin.x + line.indent;
        if (available > 0 && !m_baselineOverride) {
            if (line.alignment == NSTextAlignmentRight) x += available - line.width;
            else if (line.alignment == NSTextAlignmentCenter) x += (available - line.width) / 2;
        }
        size_t i = 0;
        while (i < line.items.size()) {
            size_t styleIndex = line.items[i].style, j = i;
            std::vector<uint32_t> glyphs;
            std::vector<CGPoint> positions;
            CGFloat start = x;
            const Style& s = layout.styles[styleIndex];
            for (; j < line.items.size() && line.items[j].style == styleIndex; ++j) {
                glyphs.push_back(line.items[j].glyph);
                positions.push_back({x, userY(baseline - s.baselineOffset)});
                x += line.items[j].advance;
            }
            if (s.background) fill(band(start, line.top, x - start, line.height()), s.background);
            m_port->saveGState();
            if (s.shadow) s.shadow->set();
            m_port->setFillColor(s.color->rgba());
            m_port->showGlyphs(s.font->cgFont(), s.font->pointSize(), glyphs, positions, {});
            m_port->restoreGState();
            decorate(s, start, x - start, baseline - s.baselineOffset);
            i = j;
        }
    }

    // One decoration line: solid, or dashed by the style's pattern bits.
    void rule(CGFloat x, CGFloat width, CGFloat centre, CGFloat thickness, NSInteger pattern, const Ref<NSColor>& color)
    {
        if (pattern == NSUnderlinePatternSolid) {
            fill(band(x, centre - thickness / 2, width, thickness), color);
            return;
        }
        CGFloat t = thickness;
        CGStrokeStyle style;
        style.lineWidth = thickness;
        if (pattern == NSUnderlinePatternDot) style.dash = {t, t};
        else if (pattern == NSUnderlinePatternDash) style.dash = {3 * t, t};
        else if (pattern == NSUnderlinePatternDashDot) style.dash = {3 * t, t, t, t};
        else style.dash = {3 * t, t, t, t, t, t};
        CGPathElements line;
        line.moveTo({x, userY(centre)});
        line.lineTo({x + width, userY(centre)});
        m_port->saveGState();
        m_port->clearShadow();
        m_port->setStrokeColor(color->rgba());
        m_port->strokePath(line, style);
        m_port->restoreGState();
    }

    void decorate(const Style& s, CGFloat x, CGFloat width, CGFloat baseline)
    {
        CGFloat t = std::max(s.font->underlineThickness(), 0.5);
        if (s.underline & 0xff) {
            CGFloat centre = baseline - s.font->underlinePosition();
            auto color = s.underlineColor ? s.underlineColor : s.color;
            NSInteger pattern = s.underline & 0xff00;
            CGFloat thickness = (s.underline & 0xff) == NSUnderlineStyleThick ? 2 * t : t;
            rule(x, width, centre, thickness, pattern, color);
            if ((s.underline & 0xff) == NSUnderlineStyleDouble) rule(x, width, centre + 2 * t, t, pattern, color);
        }
        if (s.strike & 0xff) {
            CGFloat centre = baseline - s.font->xHeight() / 2;
            NSInteger pattern = s.strike & 0xff00;
            CGFloat thickness = (s.strike & 0xff) == NSUnderlineStyleThick ? 2 * t : t;
            rule(x, width, centre, thickness, pattern, s.strikeColor ? s.strikeColor : s.color);
            if ((s.strike & 0xff) == NSUnderlineStyleDouble)
                rule(x, width, centre + 2 * t, t, pattern, s.strikeColor ? s.strikeColor : s.color);
        }
    }

    CGContext* m_port;
    NSRect m_box;
    bool m_yUp;
    bool m_baselineOverride = false;
    CGFloat m_baseline = 0;
};

CGContext* currentPort()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}

Ref<NSAttributedString> attributed(const Ref<NSString>& text, const Ref<NSDictionary>& attributes)
{
    return NSAttributedString::initWithString(text ? text : NSString::string(), attributes);
}

}

namespace NSAttributedStringExt {

NSSize size(const Ref<NSAttributedString>& text)
{
    if (!text || text->length() == 0) return NSZeroSize;
    auto layout = layOut(text);
    return {layout->width, layout->height};
}

void drawAtPoint(const Ref<NSAttributedString>& text, NSPoint point)
{
    CGContext* port = currentPort();
    if (!port || !text || text->length() == 0) return;
    auto layout = layOut(text);
    Painter(port, {point, {layout->width, layout->height}}).draw(*layout, 0);
}

void drawInRect(const Ref<NSAttributedString>& text, const NSRect& rect)
{
    CGContext* port = currentPort();
    if (!port || !text || text->length() == 0 || NSIsEmptyRect(rect)) return;
    auto layout = layOut(text, rect.size.width);
    port->saveGState();
    port->clipToRect(rect);
    Painter(port, rect).draw(*layout, rect.size.height);
    port->restoreGState();
}

NSRect boundingRectWithSize(const Ref<NSAttributedString>& text, NSSize size, NSStringDrawingOptions options)
{
    if (!text || text->length() == 0) return NSZeroRect;
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        auto layout = layOut(text, size.width, options & NSStringDrawingTruncatesLastVisibleLine, size.height);
        return {NSZeroPoint, {layout->width, layout->height}};
    }
    const Line& first = layOut(text)->lines.front();
    return NSMakeRect(0, first.descent, first.width, first.ascent - first.descent);
}

void drawWithRect(const Ref<NSAttributedString>& text, const NSRect& rect, NSStringDrawingOptions options)
{
    CGContext* port = currentPort();
    if (!port || !text || text->length() == 0) return;
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        auto layout =
            layOut(text, rect.size.width, options & NSStringDrawingTruncatesLastVisibleLine, rect.size.height);
        Painter(port, rect).draw(*layout, rect.size.height);
        return;
    }
    auto layout = layOut(text);
    Painter(port, rect).drawLineAtBaseline(*layout, layout->lines.front(), rect.origin.y);
}

uint64_t layoutsMade() { return madeLayouts.load(); }

}

namespace NSStringExt {

NSSize sizeWithAttributes(const Ref<NSString>& text, const Ref<NSDictionary>& attributes)
{
    return NSAttributedStringExt::size(attributed(text, attributes));
}

void drawAtPoint(const Ref<NSString>& text, NSPoint point, const Ref<NSDictionary>& attributes)
{
    NSAttributedStringExt::drawAtPoint(attributed(text, attributes), point);
}

void drawInRect(const Ref<NSString>& text, const NSRect& rect, const Ref<NSDictionary>& attributes)
{
    NSAttributedStringExt::drawInRect(attributed(text, attributes), rect);
}

NSRect boundingRectWithSize(const Ref<NSString>& text, NSSize size, NSStringDrawingOptions options,
                            const Ref<NSDictionary>& attributes)
{
    return NSAttributedStringExt::boundingRectWithSize(attributed(text, attributes), size, options);
}

void drawWithRect(const Ref<NSString>& text, const NSRect& rect, NSStringDrawingOptions options,
                  const Ref<NSDictionary>& attributes)
{
    NSAttributedStringExt::drawWithRect(attributed(text, attributes), rect, options);
}

}
