#pragma once
// A vertical ruler that numbers the lines of a text view (paragraphs, not
// wrapped display lines) or the rows of a table view, sized to its widest
// number, with marker images beside chosen lines and an optional table
// header drawn in its top part.
//
// The start of every line is cached. An edit of the observed text storage
// patches the cache from the edited range (lines before it stay, lines after
// it move by the change in length, the lines between are found again), so
// the cache always equals what calculateLines finds from scratch. The
// thickness follows the line count one run-loop turn later.
#include <optional>
#include <vector>

#include "AppKit/NSRulerView.h"
#include "AppKit/NSTableHeaderView.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotification.h"
#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRulerMarker.h"

class ZAKLineNumberRuler : public NSRulerView {
    NS_OBJECT(ZAKLineNumberRuler, NSRulerView)
protected:
    ZAKLineNumberRuler() = default;

public:
    static void describeClass(NSClassMembers<ZAKLineNumberRuler>& m);

    // A vertical ruler on the scroll view whose client is its document view.
    virtual Ref<ZAKLineNumberRuler> initWithScrollView(const Ref<NSScrollView>& scrollView);
    void awakeFromNib() override;
    void setClientView(const Ref<NSView>& client) override;
    void textDidChange(const Ref<NSNotification>& notification);

    // The start of each line (text) or each row index (table), computed when
    // absent.
    Ref<NSArray> lineIndices();
    const std::vector<NSUInteger>& lineStarts();
    void invalidateLineIndices();
    void calculateLines();

    // 1-based line at a vertical position in the ruler, or NSNotFound. The
    // scroll offset is added; for a table the position is measured below
    // the header view (callers take its height off).
    NSUInteger lineNumberForLocation(CGFloat location);
    Ref<ZAKLineNumberRulerMarker> markerAtLine(NSUInteger line) const;
    // 0-based line holding the character index.
    NSUInteger lineNumberForCharacterIndex(NSUInteger index, const Ref<NSString>& text);

    Ref<NSDictionary> textAttributes() const;
    Ref<NSDictionary> markerTextAttributes() const;
    CGFloat requiredThickness() const override;
    void drawHashMarksAndLabelsInRect(const NSRect& rect) override;

    // Line markers go into the line table (one per line); other markers to
    // the ruler view's own list.
    void addMarker(const Ref<NSRulerMarker>& marker) override;
    void removeMarker(const Ref<NSRulerMarker>& marker) override;
    void setMarkers(const Ref<NSArray>& markers) override;
    // The ruler view's own markers, then the line markers.
    Ref<NSArray> markers() const override;
    void removeAllMarker();

    Ref<NSFont> font() const { return m_font; }
    void setFont(const Ref<NSFont>& font);
    Ref<NSColor> textColor() const { return m_textColor; }
    void setTextColor(const Ref<NSColor>& color);
    Ref<NSColor> alternateTextColor() const { return m_alternateTextColor; }
    void setAlternateTextColor(const Ref<NSColor>& color);
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    Ref<NSView> tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(const Ref<NSView>& view) { m_tableHeaderView = view; }

    // Keys: the ruler view's, then "font", "textColor", "alternateTextColor",
    // "backgroundColor"; the sequential form writes the four in that order.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void observeText(const Ref<NSTextView>& textView);
    void stopObservingText();
    void patchLineStarts(NSRange editedRange, NSInteger changeInLength, const Ref<NSString>& text);
    void appendLineStarts(const Ref<NSString>& text, NSUInteger from, NSUInteger limit, bool toEnd);
    void scheduleThicknessCheck();
    Ref<ZAKLineNumberRulerMarker> markerForKey(NSUInteger key) const;
    NSRect visibleDocumentRect() const;
    void drawLine(NSUInteger key, CGFloat y, CGFloat h, CGFloat width);

    std::optional<std::vector<NSUInteger>> m_lineIndices;
    Ref<NSMutableDictionary> m_linesToMarkers;
    Ref<NSFont> m_font;
    Ref<NSColor> m_textColor;
    Ref<NSColor> m_alternateTextColor;
    Ref<NSColor> m_backgroundColor;
    Ref<NSView> m_tableHeaderView;
    Weak<NSTextStorage> m_observedStorage;
};
