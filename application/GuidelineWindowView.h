#pragma once
// Draws the current set's guidelines with their handles and lets the user
// delete a line (delete box) or drag it (drag box).
#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSView.h"
#include "GuidelineSet.h"

class NSNotification;

class GuidelineWindowView : public NSView {
    NS_OBJECT(GuidelineWindowView, NSView)
protected:
    GuidelineWindowView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    bool isFlipped() const override { return true; }
    Ref<NSView> opaqueAncestor() { return this; }

    static void fillImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color);
    void calcControllerPosition();

    void handleSetActived(const Ref<NSNotification>& notification);
    void handleGuideColorHasChanged(const Ref<NSNotification>& notification);
    void handleGuideControllerHasChanged(const Ref<NSNotification>& notification);

    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;

    Ref<GuidelineSet> set() const { return m_set.get(); }
    float horControllerPos() const { return m_horControllerPos; }
    float verControllerPos() const { return m_verControllerPos; }
    Ref<Guidelines> draggingLine() const { return m_dragging ? m_draggingLine.get() : nullptr; }

    static void describeClass(NSClassMembers<GuidelineWindowView>& m);

    // The strip a line and its handle cover.
    NSRect lineRect(const Ref<Guidelines>& line) const;

private:
    void makePatterns();
    static void fillTiles(const Ref<NSColor>& pattern, const NSRect& tiles, const NSRect& dirtyRect);

    Ref<NSImage> m_horImage, m_verImage, m_horMoverImage, m_verMoverImage;
    Ref<NSColor> m_horPattern, m_verPattern;
    Weak<GuidelineSet> m_set;
    float m_horControllerPos = 0;
    float m_verControllerPos = 0;
    bool m_firstDraw = true;
    bool m_dragging = false;
    // Held weakly: deleting the line or switching sets must not leave a drag
    // that writes into a freed guideline.
    Weak<Guidelines> m_draggingLine;
};
