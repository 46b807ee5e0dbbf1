#pragma once
// One guideline: a horizontal (type 0) or vertical (type 1) line at a position
// in the guideline view's flipped coordinates.
#include <cstdint>

#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"

class Guidelines : public NSObject, public NSCoding {
    NS_OBJECT(Guidelines, NSObject)
protected:
    Guidelines() = default;

public:
    Ref<Guidelines> initWithType(int32_t type, float value);
    static Ref<Guidelines> create(int32_t type, float value) { return alloc<Guidelines>()->initWithType(type, value); }

    int8_t type() const { return m_type; }
    void setType(int8_t type) { m_type = type; }
    float value() const { return m_value; }
    void setValue(float value) { m_value = value; }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    int8_t m_type = 0;
    float m_value = 0;
};
