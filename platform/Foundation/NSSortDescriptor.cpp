#include "Foundation/NSSortDescriptor.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSSortDescriptor)

void NSSortDescriptor::describeClass(NSClassMembers<NSSortDescriptor>& m)
{
    m.property("key", &NSSortDescriptor::key);
    m.property("ascending", &NSSortDescriptor::ascending);
}

Ref<NSSortDescriptor> NSSortDescriptor::sortDescriptorWithKey(const Ref<NSString>& key, bool ascending,
                                                              const SEL& selector)
{
    auto d = alloc<NSSortDescriptor>();
    d->m_key = key ? static_ref_cast<NSString>(key->copy()) : nullptr;
    d->m_ascending = ascending;
    d->m_selector = selector.empty() ? SEL("compare:") : selector;
    return d;
}

Ref<NSSortDescriptor> NSSortDescriptor::sortDescriptorWithKey(const Ref<NSString>& key, bool ascending,
                                                              const NSComparator& comparator)
{
    auto d = sortDescriptorWithKey(key, ascending);
    d->m_selector.clear();
    d->m_comparator = comparator;
    return d;
}

Ref<NSSortDescriptor> NSSortDescriptor::reversedSortDescriptor() const
{
    auto d = alloc<NSSortDescriptor>();
    d->m_key = m_key;
    d->m_ascending = !m_ascending;
    d->m_selector = m_selector;
    d->m_comparator = m_comparator;
    return d;
}

int NSSortDescriptor::compareObject(const Id& a, const Id& b) const
{
    Id va = m_key && a ? a->valueForKeyPath(m_key) : a;
    Id vb = m_key && b ? b->valueForKeyPath(m_key) : b;
    int result;
    if (!va || !vb) result = (va ? 1 : 0) - (vb ? 1 : 0);
    else if (m_comparator) result = m_comparator(va, vb);
    else result = CompareObjects(va, vb, m_selector);
    result = result < 0 ? -1 : (result > 0 ? 1 : 0);
    return m_ascending ? result : -result;
}

int NSSortDescriptor::compareObjects(const Id& a, const Id& b, const Ref<NSArray>& descriptors)
{
    if (!descriptors) return 0;
    for (const Id& item : descriptors->snapshot()) {
        auto* d = dynamic_cast<NSSortDescriptor*>(item.get());
        if (!d) continue;
        if (int r = d->compareObject(a, b)) return r;
    }
    return 0;
}

bool NSSortDescriptor::isEqual(const NSObject* other) const
{
    auto* d = dynamic_cast<const NSSortDescriptor*>(other);
    if (!d || d->m_ascending != m_ascending || d->m_selector != m_selector) return false;
    if (m_comparator || d->m_comparator) return d == this;
    if (!m_key || !d->m_key) return !m_key && !d->m_key;
    return m_key->isEqual(d->m_key.get());
}

NSUInteger NSSortDescriptor::hash() const { return (m_key ? m_key->hash() : 0) ^ (m_ascending ? 1 : 0); }

Ref<NSString> NSSortDescriptor::description() const
{
    return NSString::stringWithFormat("(%@, %s, %s)", m_key, m_ascending ? "ascending" : "descending",
                                      m_selector.empty() ? "comparator" : m_selector.c_str());
}
