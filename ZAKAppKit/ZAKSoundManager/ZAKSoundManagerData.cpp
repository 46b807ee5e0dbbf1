#include "ZAKAppKit/ZAKSoundManager/ZAKSoundManagerData.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKSoundManagerData)

Id ZAKSoundManagerData::init()
{
    NSObject::init();
    m_soundName = ""_ns;
    m_soundFileName = ""_ns;
    return this;
}
