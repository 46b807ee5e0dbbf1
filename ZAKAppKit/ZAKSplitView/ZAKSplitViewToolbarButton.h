#pragma once
// An item of a pane toolbar: a small square push button at least
// toolbarButtonWidth wide, keeping to the left (align 0) or right (1), that
// shows one of thirteen system template images (codes 1 to 13) or a short
// title in 11-point Helvetica Neue with a white engraving.
#include "AppKit/NSButton.h"
#include "Foundation/NSAttributedString.h"

class ZAKSplitViewToolbarButton : public NSButton {
    NS_OBJECT(ZAKSplitViewToolbarButton, NSButton)
protected:
    ZAKSplitViewToolbarButton() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Id init() override;

    // The title becomes an attributed title in the bar's text style.
    void setTitle(const Ref<NSString>& title);
    Ref<NSAttributedString> attributedTitle() const { return m_attributedTitle; }

    int toolbarButtonAlign() const { return m_toolbarButtonAlign; }
    void setToolbarButtonAlign(int align);
    double toolbarButtonWidth() const { return m_toolbarButtonWidth; }
    void setToolbarButtonWidth(double width) { m_toolbarButtonWidth = width; }
    int toolbarButtonImage() const { return m_toolbarButtonImage; }
    // Codes 1 to 13 set their image; any code is stored.
    void setToolbarButtonImage(int code);
    // On the button and its cell.
    void setImagePosition(NSCellImagePosition position);

    void windowStatusChanged();

    static void describeClass(NSClassMembers<ZAKSplitViewToolbarButton>& m);

private:
    int m_toolbarButtonAlign = 0;
    double m_toolbarButtonWidth = 28.0;
    int m_toolbarButtonImage = 0;
    Ref<NSAttributedString> m_attributedTitle;
};
