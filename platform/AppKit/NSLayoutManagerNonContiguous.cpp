// Non-contiguous layout: with it allowed, a question about a place far past
// what is laid out lays out the paragraphs there (an island) at the top the
// paragraphs laid out so far lead one to expect, instead of everything
// before it. Positions there are estimates until layout from the start
// reaches the island and takes it over, moved to where it really is.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSRunLoop.h"

namespace {

// Paragraphs laid out at a time when an island grows to fill a rectangle.
constexpr size_t kIslandStep = 16;

}

bool NSLayoutManager::isLaidOut(size_t paragraph) const
{
    return paragraph < m_laidOut || (paragraph >= m_island.start && paragraph < m_island.end);
}

bool NSLayoutManager::islandsAllowed() const
{
    if (!m_allowsNonContiguousLayout || m_containers.size() != 1 || m_layingOut) return false;
    Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
    return typesetter->laysOutParagraphsIndependently();
}

bool NSLayoutManager::farAhead(size_t paragraph) const
{
    if (paragraph >= m_paragraphs.size() || paragraph < m_laidOut) return false;
    const NSUInteger laid = m_laidOut < m_paragraphs.size() ? m_paragraphs[m_laidOut].start : 0;
    return m_paragraphs[paragraph].start - laid > kNearCharacters;
}

CGFloat NSLayoutManager::prefixBottom() const { return m_laidOut > 0 ? m_paragraphs[m_laidOut - 1].after().y : 0; }

CGFloat NSLayoutManager::islandBottom() const
{
    return hasIsland() ? m_paragraphs[m_island.end - 1].after().y : m_island.top;
}

CGFloat NSLayoutManager::averageParagraphHeight() const
{
    size_t count = m_laidOut;
    CGFloat height = prefixBottom();
    if (hasIsland()) count += m_island.end - m_island.start, height += islandBottom() - m_island.top;
    if (count > 0 && height > 0) return height / static_cast<CGFloat>(count);
    return defaultLineHeightForFont(nullptr);
}

CGFloat NSLayoutManager::estimatedTop(size_t paragraph) const
{
    if (paragraph <= m_laidOut) return prefixBottom();
    if (hasIsland() && paragraph < m_island.start) {
        // Between the two, evenly.
        const CGFloat gap = std::max<CGFloat>(0, m_island.top - prefixBottom());
        return prefixBottom() +
               gap * static_cast<CGFloat>(paragraph - m_laidOut) / static_cast<CGFloat>(m_island.start - m_laidOut);
    }
    if (hasIsland() && paragraph >= m_island.end)
        return islandBottom() + averageParagraphHeight() * static_cast<CGFloat>(paragraph - m_island.end);
    return prefixBottom() + averageParagraphHeight() * static_cast<CGFloat>(paragraph - m_laidOut);
}

size_t NSLayoutManager::estimatedParagraphAt(CGFloat y)
{
    auto clamped = [&](CGFloat k, size_t lo, size_t hi) {
        return static_cast<size_t>(
            std::clamp<CGFloat>(std::floor(k), static_cast<CGFloat>(lo), static_cast<CGFloat>(hi)));
    };
    if (hasIsland() && y < m_island.top) {
        const CGFloat gap = m_island.top - prefixBottom();
        if (gap <= 0 || m_island.start == m_laidOut) return m_laidOut;
        return clamped(static_cast<CGFloat>(m_laidOut) +
                           (y - prefixBottom()) / gap * static_cast<CGFloat>(m_island.start - m_laidOut),
                       m_laidOut, m_island.start - 1);
    }
    const size_t from = hasIsland() ? m_island.end : m_laidOut;
    const CGFloat top = hasIsland() ? islandBottom() : prefixBottom();
    const CGFloat estimate = static_cast<CGFloat>(from) + (y - top) / averageParagraphHeight();
    // The text is split as far as the estimate reaches.
    splitTo(clamped(estimate, from, SIZE_MAX / 2));
    const size_t n = m_paragraphs.size();
    if (from >= n) return n - 1;
    return clamped(estimate, from, n - 1);
}

size_t NSLayoutManager::firstParagraphReaching(CGFloat y) const
{
    const bool inIsland = hasIsland() && y >= m_island.top;
    const auto begin = m_paragraphs.begin() + static_cast<std::ptrdiff_t>(inIsland ? m_island.start : 0);
    const auto end = m_paragraphs.begin() + static_cast<std::ptrdiff_t>(inIsland ? m_island.end : m_laidOut);
    auto it = std::lower_bound(begin, end, y, [](const Paragraph& p, CGFloat at) { return p.after().y <= at; });
    return static_cast<size_t>(it - m_paragraphs.begin());
}

void NSLayoutManager::ensureParagraphLaidOut(size_t paragraph)
{
    splitParagraphs();
    if (paragraph >= m_paragraphs.size() || isLaidOut(paragraph)) return;
    if (islandsAllowed() && farAhead(paragraph)) layOutIsland(paragraph, estimatedTop(paragraph));
    if (!isLaidOut(paragraph)) layOutThrough(paragraph);
}

void NSLayoutManager::ensureParagraphsLaidOut(size_t first, size_t last)
{
    ensureParagraphLaidOut(first);
    if (last < m_laidOut) return;
    if (hasIsland() && first >= m_island.start && first < m_island.end) extendIslandTo(last);
    if (!isLaidOut(last)) layOutThrough(last);
}

void NSLayoutManager::layOutIsland(size_t paragraph, CGFloat top)
{
    if (hasIsland()) {
        auto between = [&](size_t a, size_t b) { return m_paragraphs[b].start - m_paragraphs[a].start; };
        if (paragraph >= m_island.end && between(m_island.end, paragraph) <= kNearCharacters)
            return extendIslandTo(paragraph);
        if (paragraph < m_island.start && paragraph >= m_laidOut &&
            between(paragraph, m_island.start) <= kNearCharacters)
            return extendIslandBackTo(paragraph);
    }
    clearIsland();
    NSTypesetter::LayoutPosition position{0, top, false};
    layOutParagraph(paragraph, position);
    if (position.full) return;
    m_island = {paragraph, paragraph + 1, top};
}

void NSLayoutManager::extendIslandTo(size_t paragraph)
{
    splitTo(paragraph);
    paragraph = std::min(paragraph, m_paragraphs.size() - 1);
    while (hasIsland() && m_island.end <= paragraph) {
        NSTypesetter::LayoutPosition position = m_paragraphs[m_island.end - 1].after();
        layOutParagraph(m_island.end, position);
        if (position.full) return clearIsland();
        ++m_island.end;
    }
}

// Earlier paragraphs go above the island, which stays where it is unless
// they would reach into what is laid out from the start.
void NSLayoutManager::extendIslandBackTo(size_t paragraph)
{
    paragraph = std::max(paragraph, m_laidOut);
    if (!hasIsland() || paragraph >= m_island.start) return;
    NSTypesetter::LayoutPosition position;
    for (size_t k = paragraph; k < m_island.start; ++k) layOutParagraph(k, position);
    if (position.full) return clearIsland();
    const CGFloat height = position.y;
    const CGFloat top = std::max(m_island.top - height, prefixBottom());
    moveParagraphs(paragraph, m_island.start, top);
    moveParagraphs(m_island.start, m_island.end, top + height - m_island.top);
    m_island.start = paragraph;
    m_island.top = top;
    if (m_island.start == m_laidOut) mergeIsland();
}

void NSLayoutManager::mergeIsland()
{
    moveParagraphs(m_island.start, m_island.end, prefixBottom() - m_island.top);
    m_laidOut = m_island.end;
    clearIsland();
}

void NSLayoutManager::joinIsland()
{
    if (!hasIsland() || m_island.start > m_laidOut) return;
    if (m_island.start == m_laidOut) mergeIsland();
    else clearIsland();
}

void NSLayoutManager::keepIslandBelowPrefix()
{
    if (!hasIsland() || prefixBottom() <= m_island.top) return;
    moveParagraphs(m_island.start, m_island.end, prefixBottom() - m_island.top);
    m_island.top = prefixBottom();
}

void NSLayoutManager::layOutRect(int container, CGFloat top, CGFloat bottom)
{
    splitParagraphs();
    if (!islandsAllowed() || container != 0 || laidOutToEnd() || top < prefixBottom())
        return layOutBelow(container, bottom);
    const bool inIsland = hasIsland() && top >= m_island.top && top < islandBottom();
    const size_t paragraph = inIsland ? firstParagraphReaching(top) : estimatedParagraphAt(top);
    if (!farAhead(paragraph)) return layOutBelow(container, bottom);
    if (!isLaidOut(paragraph)) layOutIsland(paragraph, estimatedTop(paragraph));
    // Up to the top of the rectangle, then down to its bottom.
    while (hasIsland() && m_island.top > top && m_island.start > m_laidOut)
        extendIslandBackTo(m_island.start > kIslandStep ? m_island.start - kIslandStep : 0);
    while (hasIsland() && islandBottom() < bottom && splitTo(m_island.end))
        extendIslandTo(m_island.end + kIslandStep - 1);
    if (!hasIsland()) layOutBelow(container, bottom);
}

bool NSLayoutManager::hasNonContiguousLayout()
{
    splitParagraphs();
    return !laidOutToEnd() || !m_extraValid;
}

void NSLayoutManager::scheduleIdleLayout()
{
    if (m_idleScheduled || !hasNonContiguousLayout()) return;
    m_idleScheduled = true;
    Weak<NSLayoutManager> self(this);
    NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode}, [self] {
        if (auto manager = self.get()) manager->layOutIdleSlice();
    });
}

void NSLayoutManager::layOutIdleSlice()
{
    m_idleScheduled = false;
    if (!hasNonContiguousLayout()) return;
    const bool hadIsland = hasIsland();
    const size_t islandStart = m_island.start;
    const CGFloat islandTop = m_island.top;
    // A slice takes a few milliseconds, so input waits less than a frame.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(4);
    while (!laidOutToEnd() && std::chrono::steady_clock::now() < until) {
        const size_t before = m_laidOut;
        layOutThrough(m_laidOut + 31);
        if (m_laidOut == before) break;
    }
    const bool done = laidOutToEnd();
    if (done) ensureLayout();
    // Where the island went: a view showing it scrolls with it, so the text
    // under the reader stays.
    CGFloat dy = 0;
    if (hadIsland && islandStart < m_laidOut)
        dy = (islandStart > 0 ? m_paragraphs[islandStart - 1].after().y : 0) - islandTop;
    else if (hadIsland && hasIsland()) dy = m_island.top - islandTop;
    if (done || dy != 0)
        for (const auto& c : std::vector<Ref<NSTextContainer>>(m_containers)) {
            auto view = c->textView();
            if (!view) continue;
            // The estimate gives way to the real size.
            view->sizeToFit();
            NSRect visible = view->visibleRect();
            if (dy != 0 && NSMinY(visible) - view->textContainerOrigin().y >= islandTop)
                view->scrollPoint(NSMakePoint(NSMinX(visible), NSMinY(visible) + dy));
        }
    if (!done) scheduleIdleLayout();
}

// The laid-out parts, then the rest at the height per paragraph seen so far.
std::optional<NSRect> NSLayoutManager::estimatedUsedRect()
{
    if (!m_allowsNonContiguousLayout || m_containers.size() != 1) return std::nullopt;
    splitParagraphs();
    if (m_laidOut == 0 && m_length > 0) layOutThrough(31);
    if (laidOutToEnd()) return std::nullopt;
    NSRect used = NSZeroRect;
    bool any = false;
    forEachFragment(0, m_paragraphs.size(), [&](const Fragment& f) {
        used = any ? NSUnionRect(used, f.used) : f.used;
        any = true;
        return true;
    });
    const size_t from = hasIsland() ? m_island.end : m_laidOut;
    // Paragraphs not split yet are counted at the characters per paragraph
    // split so far.
    CGFloat paragraphs = static_cast<CGFloat>(m_paragraphs.size() - std::min(from, m_paragraphs.size()));
    if (!allSplit() && m_splitEnd > 0)
        paragraphs += static_cast<CGFloat>(m_length - m_splitEnd) * static_cast<CGFloat>(m_paragraphs.size()) /
                      static_cast<CGFloat>(m_splitEnd);
    const CGFloat bottom =
        (hasIsland() ? islandBottom() : prefixBottom()) + averageParagraphHeight() * std::ceil(paragraphs);
    used.size.height = std::max<CGFloat>(used.size.height, bottom - used.origin.y);
    scheduleIdleLayout();
    return used;
}
