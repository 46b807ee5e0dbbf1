#pragma once
// A named, ordered list of guidelines.
#include "Foundation/NSArray.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSEnumerator.h"
#include "Foundation/NSString.h"
#include "Guidelines.h"

class GuidelineSet : public NSObject, public NSCoding {
    NS_OBJECT(GuidelineSet, NSObject)
protected:
    GuidelineSet() = default;

public:
    Id init() override;
    Ref<GuidelineSet> initWithName(const Ref<NSString>& name);
    static Ref<GuidelineSet> create(const Ref<NSString>& name) { return alloc<GuidelineSet>()->initWithName(name); }

    Ref<NSString> name() const { return m_name; }
    void setName(const Ref<NSString>& name) { m_name = name; }

    Ref<NSMutableArray> getLinesArray() const { return m_lines; }
    Ref<NSEnumerator> getLinesEnumerator() const;
    void addGuideline(const Ref<Guidelines>& line);
    void removeGuideline(const Ref<Guidelines>& line);
    void removeAllGuidelines();
    // A position for a new line of the type: 80, moved 14 past each line of
    // that type met within 7 points, in one pass over the list.
    float freePosForType(int32_t type) const;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSString> m_name;
    Ref<NSMutableArray> m_lines;
};
