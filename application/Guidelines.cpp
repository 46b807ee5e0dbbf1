#include "Guidelines.h"
#include "Foundation/NSClass.h"

#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(Guidelines)

Ref<Guidelines> Guidelines::initWithType(int32_t type, float value)
{
    m_type = static_cast<int8_t>(type & 0xFF);
    m_value = value;
    return this;
}

void Guidelines::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeValueOfObjCType("c", &m_type);
    coder->encodeValueOfObjCType("f", &m_value);
}

Id Guidelines::initWithCoder(NSCoder* coder)
{
    coder->decodeValueOfObjCType("c", &m_type);
    coder->decodeValueOfObjCType("f", &m_value);
    return this;
}
