#pragma once
// The resolution frame, anchored at the top-left corner of its screen.
#include "AppKit/NSWindowController.h"
#include "ScreenView.h"

class ScreenController : public NSWindowController {
    NS_OBJECT(ScreenController, NSWindowController)
protected:
    ScreenController() = default;

public:
    Id init() override;
    void awakeFromNib() override;
    void setWidth(int32_t width, int32_t height);
    Ref<ScreenView> view()
    {
        window();
        return m_view;
    }

    static void describeClass(NSClassMembers<ScreenController>& m);

private:
    Ref<ScreenView> m_view;
};
