#pragma once
// What a resize button asks of the view it sits in.
class RulerArm {
public:
    virtual ~RulerArm() = default;
    virtual bool horizontal() const = 0;
};
