#pragma once
// The bindable colour-label picker control around ZAKColorLabelWidgetCell.
// Exposed bindings: "value" (the control's object value, written back by the
// cell on every tracking step) and "enabled". It takes the first click of an
// inactive window.
#include "AppKit/NSControl.h"
#include "ZAKAppKit/ZAKColorLabelWidget/ZAKColorLabelWidgetCell.h"

class ZAKColorLabelWidget : public NSControl {
    NS_OBJECT(ZAKColorLabelWidget, NSControl)
protected:
    ZAKColorLabelWidget() = default;

public:
    static void initialize();
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    bool acceptsFirstMouse(const Ref<NSEvent>&) override { return true; }

    Ref<ZAKColorLabelWidgetCell> colorLabelCell() const { return dynamic_ref_cast<ZAKColorLabelWidgetCell>(m_cell); }
    int32_t colorLabelType() const;
    void setColorLabelType(int32_t type);
    Id value() const { return objectValue(); }
    void setValue(const Id& value) { setObjectValue(value); }

    static void describeClass(NSClassMembers<ZAKColorLabelWidget>& m);
};
