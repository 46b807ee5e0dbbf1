// Values attached to objects: kept while the object lives (or weakly, when
// assigned), replaced and removed by key, and gone with their object.
#include <gtest/gtest.h>

#include "Foundation/NSObjectAssociation.h"
#include "Foundation/NSString.h"

namespace {

const char kFirst = 0, kSecond = 0;

TEST(AssociatedObjects, LiveAsLongAsTheirObjectAndNoLonger)
{
    Weak<NSObject> value, assigned;
    {
        auto owner = NSObject::make<NSObject>();
        {
            auto v = NSObject::make<NSObject>();
            auto a = NSObject::make<NSObject>();
            value = v;
            assigned = a;
            objc_setAssociatedObject(owner, &kFirst, v, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
            objc_setAssociatedObject(owner, &kSecond, a, OBJC_ASSOCIATION_ASSIGN);
            EXPECT_EQ(objc_getAssociatedObject(owner, &kSecond), Id(a));
        }
        // Retained: still there; assigned: gone with the last owner of its own.
        EXPECT_EQ(objc_getAssociatedObject(owner, &kFirst), value.get());
        EXPECT_TRUE(value.get());
        EXPECT_FALSE(assigned.get());
        EXPECT_FALSE(objc_getAssociatedObject(owner, &kSecond));
    }
    EXPECT_FALSE(value.get()) << "the value outlived its object";
}

TEST(AssociatedObjects, ReplacedCopiedAndRemovedByKey)
{
    auto owner = NSObject::make<NSObject>();
    auto text = NSMutableString::stringWithString("draft"_ns);
    objc_setAssociatedObject(owner, &kFirst, text, OBJC_ASSOCIATION_COPY);
    text->appendString(" changed"_ns);
    auto stored = dynamic_ref_cast<NSString>(objc_getAssociatedObject(owner, &kFirst));
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->isEqualToString("draft"_ns));

    Weak<NSObject> replaced = stored;
    objc_setAssociatedObject(owner, &kFirst, "final"_ns, OBJC_ASSOCIATION_RETAIN);
    stored = nullptr;
    EXPECT_FALSE(replaced.get());
    EXPECT_TRUE(dynamic_ref_cast<NSString>(objc_getAssociatedObject(owner, &kFirst))->isEqualToString("final"_ns));
    objc_setAssociatedObject(owner, &kFirst, nullptr, OBJC_ASSOCIATION_RETAIN);
    EXPECT_FALSE(objc_getAssociatedObject(owner, &kFirst));
    EXPECT_FALSE(objc_getAssociatedObject(nullptr, &kFirst));
}

}  // namespace
