// The array pseudo-keys, the process-wide undefined-key behaviour, the list
// operations of mutable arrays, per-class bundles and binding write-back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValueTransformer.h"
#include "FoundationExtensions/NSMutableArray+ZAKNSMutableArray_Extension.h"
#include "FoundationExtensions/ZAKNSObject.Extension.h"
#include "LogCapture.h"

namespace {

Ref<NSString> str(const char* s) { return NSString::stringWithUTF8String(s); }

std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

// The elements' descriptions, joined by commas.
std::string contents(const Ref<NSArray>& array)
{
    std::string out;
    for (const Id& element : array->snapshot()) out += (out.empty() ? "" : ",") + text(element);
    return out;
}

class KVItem : public NSObject {
    NS_OBJECT(KVItem, NSObject)
protected:
    KVItem() = default;

public:
    static Ref<KVItem> withValue(NSInteger value)
    {
        auto item = alloc<KVItem>();
        item->m_value = value;
        return item;
    }
    static void describeClass(NSClassMembers<KVItem>& m)
    {
        m.property("items", &KVItem::items);
        m.action("doubled", &KVItem::doubled);
    }
    Ref<NSMutableArray> items() const { return m_items; }
    // nil for 0, so a caller can meet an element that answers nothing.
    Id doubled() { return m_value ? Id(withValue(m_value * 2)) : nullptr; }
    Ref<NSString> description() const override { return NSString::stringWithFormat("%ld", m_value); }

    NSInteger m_value = 0;
    Ref<NSMutableArray> m_items = NSMutableArray::array();
};
NS_CLASS_DEFINE(KVItem)

}

TEST(ArrayPseudoKeys, AnswerJoinedTextAndIndexedElements)
{
    struct Case {
        const char* key;
        std::vector<const char*> elements;
        const char* expected;
    };
    const Case cases[] = {
        {"allValues", {}, ""},
        {"allValues", {"a", "b"}, "a b"},
        {"objectAtIndex1", {"a", "b"}, "b"},
        {"objectAtIndex", {"a", "b"}, "a"},    // no digits: index 0
        {"objectAtIndex1x", {"a", "b"}, "b"},  // digits up to the first other character
        {"objectAtIndex 1", {"a", "b"}, "b"},  // leading white space skipped
        {"objectAtIndex2", {"a", "b"}, ""},
        {"objectAtIndex-1", {"a", "b"}, ""},  // negative counts as out of range
        {"objectAtIndexes", {"a", "b"}, "a"},
        {"@count", {"a", "b"}, "2"},  // other keys keep the array's own lookup
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto array = NSMutableArray::array();
        for (const char* e : c.elements) array->addObject(str(e));
        EXPECT_EQ(text(array->valueForKey(str(c.key))), c.expected);
    }

    // An immutable array maps keys over its elements, but its undefined-key
    // handler answers the same pseudo-keys.
    auto fixed = NSArray::arrayWithObjects({str("x"), str("y")});
    EXPECT_EQ(text(fixed->valueForUndefinedKey("allValues"_ns)), "x y");
    EXPECT_EQ(text(fixed->valueForUndefinedKey("objectAtIndex1"_ns)), "y");

    // Key paths reach an element of an array property.
    auto owner = NSObject::make<KVItem>();
    owner->items()->addObject(str("first"));
    owner->items()->addObject(str("second"));
    EXPECT_EQ(text(owner->valueForKeyPath("items.objectAtIndex1"_ns)), "second");
    EXPECT_EQ(text(owner->valueForKeyPath("items.allValues"_ns)), "first second");
}

TEST(ArrayPseudoKeys, AnyOtherUndefinedKeyRaisesKVOUndefinedKey)
{
    struct Case {
        std::string name;
        std::function<void()> lookUp;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"key on a plain object", [] { NSObject::make<KVItem>()->valueForKey("colour"_ns); },
         "KVItem KVO/Undefined Key: colour"},
        {"number", [] { NSNumber::numberWithInt(3)->valueForKey("size"_ns); }, "NSNumber KVO/Undefined Key: size"},
        {"other key on an array", [] { NSArray::array()->valueForUndefinedKey("size"_ns); },
         "NSArray KVO/Undefined Key: size"},
        // Only a key that begins with the prefix is a pseudo-key; this one is
        // mapped over the elements, which do not know it.
        {"prefix further on",
         [] { NSMutableArray::arrayWithObjects({KVItem::withValue(1)})->valueForKey("xobjectAtIndex0"_ns); },
         "KVItem KVO/Undefined Key: xobjectAtIndex0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.lookUp();
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), "KVO/Undefined Key");
            EXPECT_EQ(e.reasonUTF8(), c.reason);
            EXPECT_FALSE(e.userInfo());
        }
    }
}

TEST(MutableArrayExtension, ListOperations)
{
    auto a = str("a");
    auto b = str("b");
    struct Case {
        std::string name;
        std::vector<Id> start;
        std::function<void(const Ref<NSMutableArray>&)> apply;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"add absent", {a}, [&](auto& x) { NSMutableArrayExt::addObjectIfAbsent(x, b); }, "a,b"},
        {"add equal object", {a}, [](auto& x) { NSMutableArrayExt::addObjectIfAbsent(x, str("a")); }, "a"},
        {"add nil", {a}, [](auto& x) { NSMutableArrayExt::addObjectIfAbsent(x, nullptr); }, "a"},
        {"add array if absent",
         {a},
         [&](auto& x) {
             NSMutableArrayExt::addObjectsFromArrayIfAbsent(x, NSArray::arrayWithObjects({b, a, str("b")}));
         },
         "a,b"},
        {"add nil array", {a}, [](auto& x) { NSMutableArrayExt::addObjectsFromArrayIfAbsent(x, nullptr); }, "a"},
        {"insert before index",
         {a, str("d")},
         [](auto& x) {
             NSMutableArrayExt::insertObjectsFromArray(x, NSArray::arrayWithObjects({str("b"), str("c")}), 1);
         },
         "a,b,c,d"},
        {"insert at end",
         {a},
         [&](auto& x) { NSMutableArrayExt::insertObjectsFromArray(x, NSArray::arrayWithObjects({b}), 1); },
         "a,b"},
        {"add set in its order",
         {a},
         [](auto& x) {
             NSMutableArrayExt::addObjectsFromSet(x, NSSet::setWithObjects({str("z"), str("c")}));
         },
         "a,z,c"},
        {"add empty set", {a}, [](auto& x) { NSMutableArrayExt::addObjectsFromSet(x, NSSet::set()); }, "a"},
        {"add nil set", {a}, [](auto& x) { NSMutableArrayExt::addObjectsFromSet(x, nullptr); }, "a"},
        {"reverse empty", {}, [](auto& x) { NSMutableArrayExt::reverse(x); }, ""},
        {"reverse one", {a}, [](auto& x) { NSMutableArrayExt::reverse(x); }, "a"},
        {"reverse five",
         {str("1"), str("2"), str("3"), str("4"), str("5")},
         [](auto& x) { NSMutableArrayExt::reverse(x); },
         "5,4,3,2,1"},
        {"reverse four",
         {str("1"), str("2"), str("3"), str("4")},
         [](auto& x) { NSMutableArrayExt::reverse(x); },
         "4,3,2,1"},
        {"apply selector to range",
         {KVItem::withValue(1), KVItem::withValue(2), KVItem::withValue(3), KVItem::withValue(4)},
         [](auto& x) { NSMutableArrayExt::replaceObjectsInRange(x, NSMakeRange(1, 2), "doubled"); },
         "1,4,6,4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto array = NSMutableArray::array();
        for (const Id& e : c.start) array->addObject(e);
        c.apply(array);
        EXPECT_EQ(contents(array), c.expected);
    }
}

TEST(MutableArrayExtension, RemovesIdenticalObjectsOnly)
{
    auto x = str("x");
    auto equalToX = str("x");
    auto array = NSMutableArray::arrayWithObjects({x, equalToX, str("y"), x});
    NSMutableArrayExt::removeIdenticalObjectsFromArray(array, NSArray::arrayWithObject(x));
    ASSERT_EQ(array->count(), 2u);
    EXPECT_EQ(array->objectAtIndex(0), equalToX);
    NSMutableArrayExt::removeIdenticalObjectsFromArray(array, nullptr);
    // The array may be asked to remove its own elements.
    NSMutableArrayExt::removeIdenticalObjectsFromArray(array, array);
    EXPECT_EQ(array->count(), 0u);
}

TEST(MutableArrayExtension, NilFromTheSelectorIsLoggedAndLeavesTheArrayAsItWas)
{
    LogCapture log;
    auto array = NSMutableArray::arrayWithObjects({KVItem::withValue(1), KVItem::withValue(0), KVItem::withValue(3)});
    try {
        NSMutableArrayExt::replaceObjectsInRange(array, NSMakeRange(0, 3), "doubled");
        ADD_FAILURE() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
    }
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Object at index 1 returned nil from doubled"});
    EXPECT_EQ(contents(array), "1,0,3");
}

namespace {

class HiddenBundleClass : public NSObject {
    NS_OBJECT(HiddenBundleClass, NSObject)
protected:
    HiddenBundleClass() = default;

public:
};
NS_CLASS_DEFINE(HiddenBundleClass)

}

TEST(ObjectExtension, BundleIsTheOneRegisteredForTheClass)
{
    const std::string folder = testing::TempDir();
    NSBundle::registerClassBundle("HiddenBundleClass", folder);
    auto registered = NSBundle::bundleWithPath(str(folder.c_str()));
    ASSERT_TRUE(registered);
    EXPECT_EQ(NSObjectExt::bundle(HiddenBundleClass::staticClass()), registered);
    EXPECT_EQ(NSObjectExt::bundle(NSObject::make<HiddenBundleClass>()), registered);
    EXPECT_EQ(NSObjectExt::bundle(NSObject::make<KVItem>()), NSBundle::mainBundle());
}

// ---- Binding write-back ----

namespace {

class BoundModel : public NSObject {
    NS_OBJECT(BoundModel, NSObject)
protected:
    BoundModel() = default;

public:
    static void describeClass(NSClassMembers<BoundModel>& m)
    {
        m.property("title", &BoundModel::title, &BoundModel::setTitle);
        m.property("child", &BoundModel::child);
    }
    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& t) { m_title = t; }
    Ref<BoundModel> child() const { return m_child; }
    Ref<NSString> m_title = "old"_ns;
    Ref<BoundModel> m_child;
};
NS_CLASS_DEFINE(BoundModel)

// A field whose binding information the test writes by hand.
class BoundField : public NSObject {
    NS_OBJECT(BoundField, NSObject)
protected:
    BoundField() = default;

public:
    Ref<NSDictionary> infoForBinding(const Ref<NSString>& binding) const override
    {
        return binding->isEqualToString("value"_ns) ? m_info : nullptr;
    }
    Ref<NSDictionary> m_info;
};
NS_CLASS_DEFINE(BoundField)

// A control with a real binding made by bind.
class BoundControl : public NSObject {
    NS_OBJECT(BoundControl, NSObject)
protected:
    BoundControl() = default;

public:
    static void initialize() { exposeBinding<BoundControl>("value"_ns); }
    static void describeClass(NSClassMembers<BoundControl>& m)
    {
        m.property("value", &BoundControl::value, &BoundControl::setValue);
    }
    Id value() const { return m_value; }
    void setValue(const Id& v) { m_value = v; }
    Id m_value;
};
NS_CLASS_DEFINE(BoundControl)

class UppercaseTransformer : public NSValueTransformer {
    NS_OBJECT(UppercaseTransformer, NSValueTransformer)
protected:
    UppercaseTransformer() = default;

public:
    Id reverseTransformedValue(const Id& value) override { return static_ref_cast<NSString>(value)->uppercaseString(); }
};
NS_CLASS_DEFINE(UppercaseTransformer)

class OneWayTransformer : public NSValueTransformer {
    NS_OBJECT(OneWayTransformer, NSValueTransformer)
protected:
    OneWayTransformer() = default;

public:
    bool allowsReverseTransformation() const override { return false; }
};
NS_CLASS_DEFINE(OneWayTransformer)

}

TEST(ObjectExtension, PropagateValueWritesBackThroughTheBinding)
{
    const std::string method = " in -[NSObject(ZAKNSObject_Extension) propagateValue:forBinding:]";
    auto model = NSObject::make<BoundModel>();
    model->m_child = NSObject::make<BoundModel>();
    NSValueTransformer::setValueTransformer(NSObject::make<UppercaseTransformer>(), "TestUppercase"_ns);

    const Id null = NSNull::null();
    auto options = [](std::initializer_list<NSDictionary::Entry> entries) {
        return NSDictionary::dictionaryWithEntries(entries);
    };
    struct Case {
        std::string name;
        Ref<NSDictionary> info;
        std::string title;       // the model's title afterwards
        std::string childTitle;  // the child's
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {"no such binding", nullptr, "old", "old", {}},
        {"plain",
         NSDictionary::dictionaryWithEntries({{NSObservedObjectKey, model}, {NSObservedKeyPathKey, "title"_ns}}),
         "new",
         "old",
         {}},
        {"key path",
         NSDictionary::dictionaryWithEntries({{NSObservedObjectKey, model}, {NSObservedKeyPathKey, "child.title"_ns}}),
         "old",
         "new",
         {}},
        {"transformer object",
         NSDictionary::dictionaryWithEntries(
             {{NSObservedObjectKey, model},
              {NSObservedKeyPathKey, "title"_ns},
              {NSOptionsKey, options({{NSValueTransformerBindingOption, NSObject::make<UppercaseTransformer>()}})}}),
         "NEW",
         "old",
         {}},
        {"null transformer falls back to the name",
         NSDictionary::dictionaryWithEntries(
             {{NSObservedObjectKey, model},
              {NSObservedKeyPathKey, "title"_ns},
              {NSOptionsKey, options({{NSValueTransformerBindingOption, null},
                                      {NSValueTransformerNameBindingOption, "TestUppercase"_ns}})}}),
         "NEW",
         "old",
         {}},
        {"one-way transformer: logged, value set as it is",
         NSDictionary::dictionaryWithEntries(
             {{NSObservedObjectKey, model},
              {NSObservedKeyPathKey, "title"_ns},
              {NSOptionsKey, options({{NSValueTransformerBindingOption, NSObject::make<OneWayTransformer>()}})}}),
         "new",
         "old",
         {"WARNING: binding \"value\" has value transformer, but it doesn't allow reverse transformations" + method}},
        {"no observed object",
         NSDictionary::dictionaryWithEntries({{NSObservedObjectKey, null}, {NSObservedKeyPathKey, "title"_ns}}),
         "old",
         "old",
         {"ERROR: NSObservedObjectKey was nil for binding \"value\"" + method}},
        {"no key path",
         NSDictionary::dictionaryWithEntries({{NSObservedObjectKey, model}}),
         "old",
         "old",
         {"ERROR: NSObservedKeyPathKey was nil for binding \"value\"" + method}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model->m_title = "old"_ns;
        model->m_child->m_title = "old"_ns;
        auto field = NSObject::make<BoundField>();
        field->m_info = c.info;
        LogCapture log;
        NSObjectExt::propagateValue(field, "new"_ns, "value"_ns);
        EXPECT_EQ(text(model->m_title), c.title);
        EXPECT_EQ(text(model->m_child->m_title), c.childTitle);
        EXPECT_EQ(log.lines(), c.log);
    }

    // The same through a binding made by bind, with a transformer by name.
    model->m_title = "old"_ns;
    auto control = NSObject::make<BoundControl>();
    control->bind("value"_ns, model, "title"_ns,
                  NSDictionary::dictionaryWithEntries({{NSValueTransformerNameBindingOption, "TestUppercase"_ns}}));
    NSObjectExt::propagateValue(control, "edited"_ns, "value"_ns);
    EXPECT_EQ(text(model->m_title), "EDITED");
    control->unbind("value"_ns);
    NSValueTransformer::setValueTransformer(nullptr, "TestUppercase"_ns);
}

TEST(ObjectExtension, PropagateValueWithoutABindingNameFailsItsAssertion)
{
    LogCapture log;
    try {
        NSObjectExt::propagateValue(NSObject::make<BoundField>(), "new"_ns, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInternalInconsistencyException);
        EXPECT_EQ(e.reasonUTF8(), "Invalid parameter not satisfying: binding != nil");
    }
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("*** Assertion failure in -[BoundField propagateValue:forBinding:], "
                                   "FoundationExtensions/ZAKNSObject.Extension.cpp:",
                                   0),
              0u);
}
