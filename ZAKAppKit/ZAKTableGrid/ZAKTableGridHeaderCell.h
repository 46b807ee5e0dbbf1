#pragma once
// Draws one header of a table grid: its edge lines, a tint when its column
// or row is selected (state on), and the title (left aligned in a column
// header, centred in a row header).
#include "AppKit/NSCell.h"
#include "AppKit/NSTrackingArea.h"

class ZAKTableGridHeaderCell : public NSCell {
    NS_OBJECT(ZAKTableGridHeaderCell, NSCell)
protected:
    ZAKTableGridHeaderCell() = default;

public:
    int32_t orientation() const { return m_orientation; }
    void setOrientation(int32_t orientation) { m_orientation = orientation; }
    // For clients; the grid does not read it.
    Ref<NSTrackingArea> resizeTrackingArea() const { return m_resizeTrackingArea; }
    void setResizeTrackingArea(const Ref<NSTrackingArea>& area) { m_resizeTrackingArea = area; }

    void drawWithFrame(const NSRect& frame, const Ref<NSView>& view) override;
    void drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& view) override;

private:
    int32_t m_orientation = 0;
    Ref<NSTrackingArea> m_resizeTrackingArea;
};
