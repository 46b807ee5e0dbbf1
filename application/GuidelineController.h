#pragma once
// Owns the guideline window, sized to the visible frame of its screen.
#include "AppKit/NSWindowController.h"
#include "GuidelineWindowView.h"

class GuidelineController : public NSWindowController {
    NS_OBJECT(GuidelineController, NSWindowController)
protected:
    GuidelineController() = default;

public:
    Id init() override;
    void awakeFromNib() override;
    void handleScreenParametersHasChanged(const Id& sender);
    void newGuideline(int32_t type);
    Ref<GuidelineWindowView> getView()
    {
        window();
        return m_view;
    }

    static void describeClass(NSClassMembers<GuidelineController>& m);

private:
    Ref<GuidelineWindowView> m_view;
};
