#pragma once
// Random (version 4) universally unique identifiers.
#include <array>

#include "Foundation/NSString.h"

class NSUUID : public NSObject {
    NS_OBJECT(NSUUID, NSObject)
protected:
    NSUUID() = default;

public:
    // A new identifier from the kernel's random source.
    static Ref<NSUUID> UUID();

    // Upper-case hexadecimal in groups of 8-4-4-4-12.
    Ref<NSString> UUIDString() const;
    const std::array<uint8_t, 16>& bytes() const { return m_bytes; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return UUIDString(); }
    Id copy() const override { return const_cast<NSUUID*>(this); }

private:
    std::array<uint8_t, 16> m_bytes{};
};
