#include "ZAKAppKit/ZAKNumberValues/ZAKNumberContainer.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(ZAKNumberContainer)

Ref<ZAKNumberContainer> ZAKNumberContainer::numberContainerWithNumber(const Ref<NSNumber>& number,
                                                                      const Ref<NSString>& infoString)
{
    auto container = make<ZAKNumberContainer>();
    container->setNumberObject(number);
    container->setInfoString(infoString);
    return container;
}

Id ZAKNumberContainer::init()
{
    m_numberObject = NSNumber::numberWithFloat(0);
    m_infoString = nullptr;
    return this;
}

Ref<NSNumber> ZAKNumberContainer::numberOf(const NSObject* object)
{
    if (auto* number = dynamic_cast<const NSNumber*>(object)) return const_cast<NSNumber*>(number);
    if (auto* container = dynamic_cast<const ZAKNumberContainer*>(object)) return container->m_numberObject;
    return nullptr;
}

NSComparisonResult ZAKNumberContainer::compare(const Id& other) const
{
    // A container without a number answers as a message to nil would.
    if (!m_numberObject) return NSOrderedSame;
    return static_cast<NSComparisonResult>(m_numberObject->compare(numberOf(other.get())));
}

bool ZAKNumberContainer::isEqual(const NSObject* other) const
{
    const Ref<NSNumber> number = numberOf(other);
    return m_numberObject && number && m_numberObject->isEqualToNumber(number);
}

NSUInteger ZAKNumberContainer::hash() const { return m_numberObject ? m_numberObject->hash() : 0; }

Ref<NSString> ZAKNumberContainer::description() const
{
    if (!m_numberObject) return ""_ns;
    if (!m_infoString) return m_numberObject->description();
    return NSString::stringWithFormat("%@ %@", m_numberObject, m_infoString);
}

Id ZAKNumberContainer::copy() const { return numberContainerWithNumber(m_numberObject, m_infoString); }

void ZAKNumberContainer::encodeWithCoder(NSCoder* coder) const
{
    if (!coder->allowsKeyedCoding()) {
        coder->encodeObject(m_numberObject);
        coder->encodeObject(m_infoString);
        return;
    }
    coder->encodeObject(m_numberObject, "numberObject"_ns);
    coder->encodeObject(m_infoString, "infoString"_ns);
}

Id ZAKNumberContainer::initWithCoder(NSCoder* coder)
{
    init();
    if (!coder->allowsKeyedCoding()) {
        m_numberObject = dynamic_ref_cast<NSNumber>(coder->decodeObject());
        m_infoString = dynamic_ref_cast<NSString>(coder->decodeObject());
        return this;
    }
    m_numberObject = dynamic_ref_cast<NSNumber>(coder->decodeObjectForKey("numberObject"_ns));
    m_infoString = dynamic_ref_cast<NSString>(coder->decodeObjectForKey("infoString"_ns));
    return this;
}
