#pragma once
// A floating single ruler, horizontal or vertical.
#include "RulerWindowController.h"
#include "SingleRulerView.h"

class SingleRulerController : public RulerWindowController {
    NS_OBJECT(SingleRulerController, RulerWindowController)
protected:
    SingleRulerController() = default;

public:
    Id init() override;
    Ref<SingleRulerController> initHorizontal(bool horizontal);
    static Ref<SingleRulerController> create(bool horizontal)
    {
        return alloc<SingleRulerController>()->initHorizontal(horizontal);
    }
    void awakeFromNib() override;

    bool horizontal() const { return m_horizontal; }
    void setHorizontal(bool flag) { m_horizontal = flag; }
    bool hasToBeHorizontal() const { return m_hasToBeHorizontal; }
    void setHasToBeHorizontal(bool flag) { m_hasToBeHorizontal = flag; }

    void setMouseLocation(NSPoint screenPoint) override;
    void closeRuler(const Id& sender);
    void updateUI() override { }
    void resizeButton(const Id&) { }
    Ref<SingleRulerView> view()
    {
        window();
        return m_view;
    }

    static void describeClass(NSClassMembers<SingleRulerController>& m);

private:
    Ref<SingleRulerView> m_view;
    Ref<ResizeButton> m_resizeButton;
    bool m_horizontal = true;
    bool m_hasToBeHorizontal = true;
};
