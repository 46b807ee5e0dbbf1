#pragma once
// A segmented cell that draws through the theme its key names: the outline
// in the theme's stroke colour, each segment on the theme's gradient with a
// separator after it, and the segment's image and label centred together in
// the theme's text colour. With no theme under the key it draws as the
// platform's cell. Only the rounded (1) and small-square (6) styles are
// taken. Archive key (after the platform cell's): themeKey.
#include <mutex>

#include "AppKit/NSSegmentedCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKTSegmentedCell : public NSSegmentedCell, public ZAKThemedObject {
    NS_OBJECT(ZAKTSegmentedCell, NSSegmentedCell)
protected:
    ZAKTSegmentedCell() = default;

public:
    Ref<NSString> themeKey() const override;
    void setThemeKey(const Ref<NSString>& key) override;

    // Any other style is refused with a warning in the log.
    void setSegmentStyle(NSInteger style) override;
    // At least one segment has a non-empty label.
    bool hasText() const;

    NSRect drawingRectForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawSegment(NSInteger segment, const NSRect& frame, const Ref<NSView>& controlView) override;
    virtual void drawInteriorForSegment(NSInteger segment, const NSRect& frame);

    // The theme draws without the platform's selection animation and slider look.
    bool _canAnimate() const override { return false; }
    bool _isSliderStyle() const override { return false; }

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<ZAKTheme> theme() const;

    mutable std::mutex m_keyLock;
    Ref<NSString> m_themeKey;
};
