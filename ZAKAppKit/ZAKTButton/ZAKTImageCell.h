#pragma once
// An image cell that draws its image over the whole frame at the theme's
// alpha for its background style and enabled state; with no theme under the
// key it draws as the platform's cell. Archive key (after the platform
// cell's): themeKey.
#include "AppKit/NSImageCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKTImageCell : public NSImageCell, public ZAKThemedObject {
    NS_OBJECT(ZAKTImageCell, NSImageCell)
public:
    ZAKTImageCell() = default;

    Ref<NSString> themeKey() const override { return m_themeKey; }
    void setThemeKey(const Ref<NSString>& key) override;

    void drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSString> m_themeKey;
};
