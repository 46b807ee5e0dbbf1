#pragma once
// The area text is laid out in: a size in points, y down, with line
// fragments at their top-left corners, and padding kept clear at both ends of
// every line fragment.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class NSLayoutManager;
class NSTextView;

class NSTextContainer : public NSObject {
    NS_OBJECT(NSTextContainer, NSObject)
protected:
    NSTextContainer() = default;

public:
    static Ref<NSTextContainer> initWithContainerSize(NSSize size);
    Id init() override;

    NSSize containerSize() const { return m_size; }
    void setContainerSize(NSSize size);
    // 5 points unless set.
    CGFloat lineFragmentPadding() const { return m_padding; }
    void setLineFragmentPadding(CGFloat padding);
    // The width (height) follows the text view's, less twice its inset.
    bool widthTracksTextView() const { return m_widthTracks; }
    void setWidthTracksTextView(bool flag) { m_widthTracks = flag; }
    bool heightTracksTextView() const { return m_heightTracks; }
    void setHeightTracksTextView(bool flag) { m_heightTracks = flag; }

    // Back pointers, not retained.
    Ref<NSLayoutManager> layoutManager() const;
    void setLayoutManager(const Ref<NSLayoutManager>& manager);
    Ref<NSTextView> textView() const;
    void setTextView(const Ref<NSTextView>& view);

private:
    NSSize m_size{1e7, 1e7};
    CGFloat m_padding = 5;
    bool m_widthTracks = false, m_heightTracks = false;
    Weak<NSLayoutManager> m_layoutManager;
    Weak<NSTextView> m_textView;
};
