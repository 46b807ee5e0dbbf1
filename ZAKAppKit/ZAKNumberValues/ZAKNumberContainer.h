#pragma once
// A number paired with an info string (shown after the number by the
// application measurement formatter). It compares and tests equality as its
// number, against a number or another container.
//
// Keyed archive: "numberObject", "infoString"; non-keyed, the two objects in
// that order.
#include "Foundation/NSCoding.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

class ZAKNumberContainer : public NSObject, public NSCoding {
    NS_OBJECT(ZAKNumberContainer, NSObject)
protected:
    ZAKNumberContainer() = default;

public:
    static Ref<ZAKNumberContainer> numberContainerWithNumber(const Ref<NSNumber>& number,
                                                             const Ref<NSString>& infoString);
    // The single-precision number 0 and no info string.
    Id init() override;

    Ref<NSNumber> numberObject() const { return m_numberObject; }
    void setNumberObject(const Ref<NSNumber>& number) { m_numberObject = number; }
    Ref<NSString> infoString() const { return m_infoString; }
    void setInfoString(const Ref<NSString>& info) { m_infoString = info; }

    // The number's comparison with a number or another container's number;
    // anything else compares as the number against nil.
    NSComparisonResult compare(const Id& other) const;
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;

    // A new container sharing the number and the info string.
    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    // The number of a number or a container, else nil.
    static Ref<NSNumber> numberOf(const NSObject* object);

    Ref<NSNumber> m_numberObject;
    Ref<NSString> m_infoString;
};
