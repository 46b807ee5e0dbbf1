#include "GuidelineSet.h"
#include "Foundation/NSClass.h"

#include "Foundation/NSCoder.h"
#include "Foundation/NSException.h"

#include <cmath>

NS_CLASS_DEFINE(GuidelineSet)

Id GuidelineSet::init()
{
    m_lines = NSMutableArray::array();
    return this;
}

Ref<GuidelineSet> GuidelineSet::initWithName(const Ref<NSString>& name)
{
    init();
    m_name = name;
    return this;
}

Ref<NSEnumerator> GuidelineSet::getLinesEnumerator() const { return m_lines->objectEnumerator(); }

void GuidelineSet::addGuideline(const Ref<Guidelines>& line)
{
    if (line) m_lines->addObject(line);
}

void GuidelineSet::removeGuideline(const Ref<Guidelines>& line) { m_lines->removeObjectIdenticalTo(line); }

void GuidelineSet::removeAllGuidelines() { m_lines = NSMutableArray::array(); }

float GuidelineSet::freePosForType(int32_t type) const
{
    float p = 80.0f;
    for (const Id& object : *m_lines) {
        auto line = dynamic_ref_cast<Guidelines>(object);
        if (!line || line->type() != static_cast<int8_t>(type & 0xFF)) continue;
        const float v = line->value();
        if (v - 7.0f < p && p < v + 7.0f) p = v + 14.0f;
    }
    return p;
}

void GuidelineSet::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeObject(m_name);
    coder->encodeObject(m_lines);
}

// Stored data may have been edited or damaged: anything but a name and an
// array of guidelines with finite positions is refused as an inconsistent
// archive, which the store turns into its fallback.
Id GuidelineSet::initWithCoder(NSCoder* coder)
{
    m_name = dynamic_ref_cast<NSString>(coder->decodeObject());
    auto lines = dynamic_ref_cast<NSArray>(coder->decodeObject());
    if (!m_name || !lines) NSException::raise(NSInconsistentArchiveException, "GuidelineSet: missing name or lines");
    m_lines = NSMutableArray::array();
    for (const Id& object : *lines) {
        auto line = dynamic_ref_cast<Guidelines>(object);
        if (!line || !std::isfinite(line->value()))
            NSException::raise(NSInconsistentArchiveException, "GuidelineSet: a line that is not a guideline");
        m_lines->addObject(line);
    }
    return this;
}
