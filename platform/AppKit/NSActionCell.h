#pragma once
// A cell with a target (not retained) and an action, sent from its control
// view. Keyed-coding keys: NSAction (the selector text), NSTarget
// (conditional).
#include "AppKit/NSCell.h"

class NSActionCell : public NSCell {
    NS_OBJECT(NSActionCell, NSCell)
protected:
    NSActionCell() = default;

public:
    Id target() const override { return m_target.get(); }
    void setTarget(const Id& target) override { m_target = target; }
    SEL action() const override { return m_action; }
    void setAction(const SEL& action) override { m_action = action; }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    Weak<NSObject> m_target;
    SEL m_action;
};
