#pragma once
// A single ruler's scale, pointer marker, close and rotate boxes and label.
#include "AppKit/NSImage.h"
#include "Foundation/NSDictionary.h"
#include "GeneralRulerView.h"
#include "ResizeButton.h"
#include "RulerArm.h"

class SingleRulerController;

class SingleRulerView : public GeneralRulerView, public RulerArm {
    NS_OBJECT(SingleRulerView, GeneralRulerView)
protected:
    SingleRulerView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    void awakeFromNib() override;
    bool horizontal() const override;
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void rotateView();
    Ref<ResizeButton> resizeButton() const { return m_resizeButton; }

private:
    Ref<SingleRulerController> controller() const;
    void drawHorizontal(CGFloat W, NSPoint m);
    void drawVertical(CGFloat H, NSPoint m);

    Ref<NSDictionary> m_dSmallDict, m_dMarkerDict;
    Ref<NSImage> m_rotateHorImage, m_rotateVerImage, m_horRuler, m_verRuler, m_exitImage, m_resizeHorImage,
        m_resizeVerImage, m_horRulerMarker, m_verRulerMarker;
    Ref<ResizeButton> m_resizeButton;
};
