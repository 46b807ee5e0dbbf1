#pragma once
// The corner ruler: a horizontal and a vertical arm meeting at the top left.
#include "AppKit/NSTextField.h"
#include "DoubleRulerHorView.h"
#include "DoubleRulerVerView.h"
#include "RulerWindowController.h"

class DoubleRulerController : public RulerWindowController {
    NS_OBJECT(DoubleRulerController, RulerWindowController)
protected:
    DoubleRulerController() = default;

public:
    Id init() override;
    void awakeFromNib() override;
    void updateUI() override;
    void closeRuler(const Id& sender);
    void setMouseLocation(NSPoint screenPoint) override;

    Ref<DoubleRulerHorView> horView()
    {
        window();
        return m_horView;
    }
    Ref<DoubleRulerVerView> verView()
    {
        window();
        return m_verView;
    }
    Ref<NSTextField> widthText()
    {
        window();
        return m_widthText;
    }
    Ref<NSTextField> heightText()
    {
        window();
        return m_heightText;
    }

    static void describeClass(NSClassMembers<DoubleRulerController>& m);

private:
    Ref<DoubleRulerHorView> m_horView;
    Ref<DoubleRulerVerView> m_verView;
    Ref<NSTextField> m_widthText, m_heightText;
    Ref<ResizeButton> m_horResizeButton, m_verResizeButton;
    Ref<NSButton> m_closeButton;
};
