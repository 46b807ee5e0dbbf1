// The array helpers: filtering, searching, joining, mapping, copying and
// comparing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/UTType.h"
#include "FoundationExtensions/NSArray+ZAKNSArray_Extension.h"

namespace {

Ref<NSString> str(const char* s) { return NSString::stringWithUTF8String(s); }
Ref<NSMutableString> mstr(const char* s) { return NSMutableString::stringWithString(str(s)); }
std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

std::string contents(const Ref<NSArray>& array)
{
    std::string out;
    for (const Id& element : array->snapshot()) out += (out.empty() ? "" : ",") + text(element);
    return out;
}

// An element with a name, a price and actions of every arity the helpers send.
class Ware : public NSObject {
    NS_OBJECT(Ware, NSObject)
protected:
    Ware() = default;

public:
    static Ref<Ware> named(const char* name, const char* price = "0", const Id& owner = nullptr)
    {
        auto ware = make<Ware>();
        ware->m_name = name ? str(name) : nullptr;
        ware->m_price = NSDecimalNumber::decimalNumberWithString(str(price));
        ware->m_owner = owner;
        return ware;
    }
    static void describeClass(NSClassMembers<Ware>& m)
    {
        m.property("name", &Ware::name);
        m.property("owner", &Ware::owner);
        m.action("name", &Ware::nameAction);
        m.action("price", &Ware::priceAction);
        m.action("shared", &Ware::shared);
        m.action("labelWith:", &Ware::labelWith);
        m.action("setMarked:", &Ware::setMarked);
        m.action("takeFirst:second:", &Ware::takeFirst);
    }
    Ref<NSString> name() const { return m_name; }
    Id owner() const { return m_owner; }
    Id nameAction() { return m_name; }
    Id priceAction() { return m_name ? Id(m_price) : nullptr; }
    Id shared()
    {
        static const Ref<NSString> one = "the same"_ns;
        return one;
    }
    Id labelWith(const Id& suffix) { return NSString::stringWithFormat("%@-%@", m_name, suffix); }
    void setMarked(bool marked) { m_marked = marked; }
    void takeFirst(const Id& first, const Id& second) { m_taken = {first, second}; }
    Ref<NSString> description() const override { return m_name ? m_name : "unnamed"_ns; }

    Ref<NSString> m_name;
    Ref<NSDecimalNumber> m_price;
    Id m_owner;
    bool m_marked = false;
    std::vector<Id> m_taken;
};
NS_CLASS_DEFINE(Ware)

}

TEST(ArrayHelpers, FilterByKeyKeyPathClassAndIndexes)
{
    auto alice = Ware::named("alice");
    auto apple = Ware::named("apple", "1", alice);
    auto pear = Ware::named("pear", "2", Ware::named("bob"));
    auto plum = Ware::named(nullptr);
    auto wares = NSArray::arrayWithObjects({apple, pear, plum, apple});

    EXPECT_EQ(contents(NSArrayExt::arrayFromArrayForKey(wares, "name"_ns, "apple"_ns)), "apple,apple");
    EXPECT_EQ(contents(NSArrayExt::arrayFromArrayForKey(wares, "name"_ns, nullptr)), "");
    EXPECT_EQ(contents(NSArrayExt::arrayFromArrayForKeyPath(wares, "owner.name"_ns, "bob"_ns)), "pear");
    EXPECT_EQ(contents(NSArrayExt::arrayFromArrayForKeyPath(wares, "owner.name"_ns)), "apple,pear,apple");
    EXPECT_EQ(contents(NSArrayExt::arrayFromArrayForKeyPath(wares, "name"_ns)), "apple,pear,apple");

    auto mixed = NSArray::arrayWithObjects({str("a"), mstr("b"), NSNumber::numberWithInt(3), apple});
    EXPECT_EQ(contents(NSArrayExt::arrayWithObjectsOfClass(mixed, NSString::staticClass())), "a,b");
    EXPECT_EQ(contents(NSArrayExt::arrayWithObjectsOfClass(mixed, NSMutableString::staticClass())), "b");
    EXPECT_EQ(contents(NSArrayExt::arrayWithObjectsOfClass(mixed, NSObject::staticClass())), "a,b,3,apple");

    auto indexes = NSMutableIndexSet::indexSet();
    indexes->addIndex(3);
    indexes->addIndex(1);
    Ref<NSMutableArray> picked = NSArrayExt::arrayFromIndexes(wares, indexes);
    EXPECT_EQ(contents(picked), "pear,apple");
    picked->addObject(pear);  // mutable
    indexes->addIndex(9);
    EXPECT_THROW(NSArrayExt::arrayFromIndexes(wares, indexes), NSException);
}

TEST(ArrayHelpers, IdentityLookupsTellEqualFromIdentical)
{
    auto a = mstr("a");
    auto b = mstr("b");
    auto equalToA = mstr("a");
    auto array = NSArray::arrayWithObjects({a, b, a});

    auto indexesOf = [](const Ref<NSIndexSet>& set) {
        std::vector<NSUInteger> out;
        set->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { out.push_back(i); });
        return out;
    };
    EXPECT_EQ(indexesOf(NSArrayExt::indexSetForObjects(array, NSArray::arrayWithObjects({b, equalToA, a}))),
              (std::vector<NSUInteger>{0, 1}));
    EXPECT_EQ(indexesOf(NSArrayExt::indexSetForObjects(array, NSSet::setWithObjects({b}))),
              (std::vector<NSUInteger>{1}));
    EXPECT_TRUE(NSArrayExt::containsObjectIdenticalTo(array, b));
    EXPECT_FALSE(NSArrayExt::containsObjectIdenticalTo(array, equalToA));

    EXPECT_TRUE(NSArrayExt::isIdenticalToArray(array, NSArray::arrayWithObjects({a, b, a})));
    EXPECT_FALSE(NSArrayExt::isIdenticalToArray(array, NSArray::arrayWithObjects({equalToA, b, a})));
    EXPECT_FALSE(NSArrayExt::isIdenticalToArray(array, NSArray::arrayWithObjects({a, b})));

    auto empty = NSArray::array();
    EXPECT_EQ(NSArrayExt::firstObject(array), Id(a));
    EXPECT_EQ(NSArrayExt::anyObject(array), Id(a));
    EXPECT_EQ(NSArrayExt::firstObject(empty), nullptr);
    EXPECT_EQ(NSArrayExt::anyObject(empty), nullptr);
}

TEST(ArrayHelpers, ContainsObjectsInOrderByIdentity)
{
    Id one = mstr("1"), two = mstr("2"), three = mstr("3"), otherTwo = mstr("2");
    auto receiver = NSArray::arrayWithObjects({one, two, three});
    struct Case {
        std::vector<Id> wanted;
        bool expected;
    };
    const Case cases[] = {
        {{}, true},
        {{one, three}, true},
        {{one, two, three}, true},
        {{two, one}, false},
        {{one, otherTwo}, false},
        {{three, three}, false},
        {{one, two, three, one}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NSArrayExt::containsObjectsInOrder(receiver, NSArray::arrayWithVector(c.wanted)), c.expected)
            << contents(NSArray::arrayWithVector(c.wanted));
    EXPECT_FALSE(NSArrayExt::containsObjectsInOrder(NSArray::array(), NSArray::arrayWithObject(one)));
}

TEST(ArrayHelpers, IndexOfStringComparesWithOptionsAndSkipsOtherElements)
{
    auto array = NSArray::arrayWithObjects({NSNumber::numberWithInt(1), str("Alpha"), str("beta"), str("alpha")});
    struct Case {
        const char* wanted;
        NSStringCompareOptions options;
        NSRange range;  // {NSNotFound, 0}: the whole string
        NSUInteger expected;
    };
    const NSUInteger notFound = static_cast<NSUInteger>(NSNotFound);
    const Case cases[] = {
        {"alpha", 0, {notFound, 0}, 3},
        {"ALPHA", NSCaseInsensitiveSearch, {notFound, 0}, 1},
        {"ALPHA", 0, {notFound, 0}, notFound},
        {"1", 0, {notFound, 0}, notFound},
        {"xbeta", 0, {1, 4}, 2},
        {"gamma", NSCaseInsensitiveSearch, {notFound, 0}, notFound},
    };
    for (const Case& c : cases) {
        NSUInteger index = c.range.location == notFound
                               ? NSArrayExt::indexOfString(array, str(c.wanted), c.options)
                               : NSArrayExt::indexOfString(array, str(c.wanted), c.options, c.range);
        EXPECT_EQ(index, c.expected) << c.wanted;
    }
    EXPECT_EQ(NSArrayExt::indexOfString(array, "alpha"_ns), 3u);
}

TEST(ArrayHelpers, FindsTheFirstTypeThatConforms)
{
    auto types = NSArray::arrayWithObjects(
        {NSNumber::numberWithInt(7), kUTTypeFolder(), kUTTypePNG(), kUTTypePlainText(), kUTTypeJPEG()});
    EXPECT_EQ(text(NSArrayExt::UTIConformsTo(types, kUTTypeImage())), "public.png");
    EXPECT_EQ(text(NSArrayExt::UTIConformsTo(types, kUTTypeText())), "public.plain-text");
    EXPECT_EQ(text(NSArrayExt::UTIConformsTo(types, kUTTypeMovie())), "nil");
    EXPECT_TRUE(NSArrayExt::containsUTIConformsTo(types, kUTTypeData()));
    EXPECT_FALSE(NSArrayExt::containsUTIConformsTo(types, kUTTypeAudio()));
}

TEST(ArrayHelpers, JoinsWithCommasAndAnd)
{
    struct Case {
        std::vector<const char*> words;
        const char* comma;
        const char* commaAndAnd;
    };
    const Case cases[] = {
        {{}, "", ""},
        {{"red"}, "red", "red"},
        {{"red", "green"}, "red, green", "red and green"},
        {{"red", "green", "blue"}, "red, green, blue", "red, green, and blue"},
        {{"a", "b", "c", "d"}, "a, b, c, d", "a, b, c, and d"},
    };
    for (const Case& c : cases) {
        std::vector<Id> words;
        for (const char* w : c.words) words.push_back(str(w));
        auto array = NSArray::arrayWithVector(words);
        EXPECT_EQ(text(NSArrayExt::componentsJoinedByComma(array)), c.comma);
        EXPECT_EQ(text(NSArrayExt::componentsJoinedByCommaAndAnd(array)), c.commaAndAnd);
    }
    auto number = NSNumber::numberWithInt(4);
    EXPECT_EQ(text(NSArrayExt::componentsJoinedByCommaAndAnd(NSArray::arrayWithObjects({number}))), "4");
    EXPECT_EQ(text(NSArrayExt::componentsJoinedByCommaAndAnd(NSArray::arrayWithObjects({number, str("x")}))),
              "4 and x");
    // With three or more, the last element must be a string.
    try {
        NSArrayExt::componentsJoinedByCommaAndAnd(NSArray::arrayWithObjects({str("a"), str("b"), number}));
        ADD_FAILURE() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(text(e.name()), NSInvalidArgumentException);
        EXPECT_NE(text(e.reason()).find("unrecognized selector"), std::string::npos) << text(e.reason());
    }
}

TEST(ArrayHelpers, NumbersDescriptionsAndSumsDecimalAnswers)
{
    Ref<NSArray> lines =
        NSArrayExt::numberedArrayDescribedBySelector(NSArray::arrayWithObjects({str("a"), str("b")}), "description");
    EXPECT_EQ(contents(lines), "0. a,1. b");
    EXPECT_FALSE(lines->isKindOfClass(NSMutableArray::staticClass()));

    auto wares = NSArray::arrayWithObjects(
        {Ware::named("x", "0.1"), Ware::named(nullptr, "5"), Ware::named("y", "0.2"), Ware::named("z", "-1.25")});
    EXPECT_EQ(text(NSArrayExt::decimalNumberSumForSelector(wares, "price")), "-0.95");
    EXPECT_EQ(text(NSArrayExt::decimalNumberSumForSelector(NSArray::array(), "price")), "0");
    EXPECT_THROW(NSArrayExt::decimalNumberSumForSelector(wares, "unknown"), NSException);
}

TEST(ArrayHelpers, MapsAnswersIntoArraysSetsAndIndexes)
{
    auto apple = Ware::named("apple");
    auto pear = Ware::named("pear");
    auto unnamed = Ware::named(nullptr);
    auto secondApple = Ware::named("apple");
    auto wares = NSArray::arrayWithObjects({apple, unnamed, pear, secondApple});

    Ref<NSMutableArray> names = NSArrayExt::arrayByPerformingSelector(wares, "name");
    EXPECT_EQ(contents(names), "apple,pear,apple");
    EXPECT_EQ(
        contents(NSArrayExt::arrayByPerformingSelector(NSArray::arrayWithObjects({apple, pear}), "labelWith:", "1"_ns)),
        "apple-1,pear-1");

    Ref<NSSet> none = NSArrayExt::setByPerformingSelector(NSArray::arrayWithObject(unnamed), "name");
    EXPECT_EQ(none->count(), 0u);
    Ref<NSSet> one = NSArrayExt::setByPerformingSelector(NSArray::arrayWithObjects({apple, pear, unnamed}), "shared");
    EXPECT_EQ(one->count(), 1u);
    EXPECT_FALSE(one->isKindOfClass(NSMutableSet::staticClass()));
    Ref<NSSet> several = NSArrayExt::setByPerformingSelector(wares, "name");
    EXPECT_EQ(several->count(), 2u);
    EXPECT_TRUE(several->isKindOfClass(NSMutableSet::staticClass()));

    Ref<NSDictionary> index = NSArrayExt::indexBySelector(wares, "name");
    EXPECT_EQ(index->count(), 2u);
    EXPECT_EQ(index->objectForKey("apple"_ns), Id(secondApple));
    EXPECT_EQ(index->objectForKey("pear"_ns), Id(pear));
    EXPECT_FALSE(index->isKindOfClass(NSMutableDictionary::staticClass()));
    EXPECT_EQ(NSArrayExt::indexBySelector(wares, "labelWith:", "2"_ns)->objectForKey("pear-2"_ns), Id(pear));

    NSArrayExt::makeObjectsPerformSelector(wares, "setMarked:", true);
    EXPECT_TRUE(apple->m_marked && pear->m_marked && unnamed->m_marked);
    NSArrayExt::makeObjectsPerformSelector(wares, "setMarked:", false);
    EXPECT_FALSE(apple->m_marked);
    NSArrayExt::makeObjectsPerformSelector(wares, "takeFirst:second:", "one"_ns, "two"_ns);
    EXPECT_EQ(contents(NSArray::arrayWithVector(pear->m_taken)), "one,two");
}

TEST(ArrayHelpers, RemovingAndReversingMakeCopies)
{
    auto a = mstr("a");
    auto equalToA = mstr("a");
    auto b = mstr("b");
    auto array = NSArray::arrayWithObjects({a, b, a});

    Ref<NSArray> withoutA = NSArrayExt::arrayByRemovingObject(array, equalToA);
    EXPECT_EQ(contents(withoutA), "b");
    EXPECT_FALSE(withoutA->isKindOfClass(NSMutableArray::staticClass()));
    // Nothing equal: the immutable receiver's copy is the receiver.
    EXPECT_EQ(NSArrayExt::arrayByRemovingObject(array, "z"_ns), Id(array));

    EXPECT_EQ(contents(NSArrayExt::arrayByRemovingObjectIdenticalTo(array, a)), "b");
    Ref<NSArray> unchanged = NSArrayExt::arrayByRemovingObjectIdenticalTo(array, equalToA);
    EXPECT_TRUE(NSArrayExt::isIdenticalToArray(unchanged, array));
    auto mutableArray = NSMutableArray::arrayWithArray(array);
    Ref<NSArray> copied = NSArrayExt::arrayByRemovingObjectIdenticalTo(mutableArray, "z"_ns);
    EXPECT_NE(copied, Id(mutableArray));
    EXPECT_FALSE(copied->isKindOfClass(NSMutableArray::staticClass()));

    Ref<NSMutableArray> reversed = NSArrayExt::reversedArray(NSArray::arrayWithObjects({a, b, str("c")}));
    EXPECT_EQ(contents(reversed), "c,b,a");
    EXPECT_EQ(contents(NSArrayExt::reversedArray(NSArray::array())), "");
}

TEST(ArrayHelpers, DeepMutableCopyCopiesWhatCanBeCopied)
{
    auto number = NSNumber::numberWithInt(5);
    auto ware = Ware::named("w");
    auto inner = NSArray::arrayWithObjects({str("x"), NSArray::arrayWithObject(str("y"))});
    auto dictionary = NSDictionary::dictionaryWithObjectForKey(str("v"), str("k"));
    auto array = NSArray::arrayWithObjects({str("s"), number, ware, inner, dictionary});

    EXPECT_TRUE(array->respondsToSelector("deepMutableCopy"));
    EXPECT_TRUE(str("s")->respondsToSelector("mutableCopy"));
    EXPECT_FALSE(number->respondsToSelector("mutableCopy"));
    EXPECT_FALSE(ware->respondsToSelector("mutableCopy"));

    Ref<NSMutableArray> copy = NSArrayExt::deepMutableCopy(array);
    ASSERT_EQ(copy->count(), 5u);
    EXPECT_TRUE(copy->objectAtIndex(0)->isKindOfClass(NSMutableString::staticClass()));
    EXPECT_EQ(copy->objectAtIndex(1), Id(number));
    EXPECT_EQ(copy->objectAtIndex(2), Id(ware));
    auto innerCopy = dynamic_ref_cast<NSMutableArray>(copy->objectAtIndex(3));
    ASSERT_TRUE(innerCopy);
    EXPECT_NE(innerCopy, Id(inner));
    EXPECT_TRUE(innerCopy->objectAtIndex(0)->isKindOfClass(NSMutableString::staticClass()));
    EXPECT_TRUE(innerCopy->objectAtIndex(1)->isKindOfClass(NSMutableArray::staticClass()));
    EXPECT_TRUE(copy->objectAtIndex(4)->isKindOfClass(NSMutableDictionary::staticClass()));
    EXPECT_TRUE(copy->isEqual(array.get()));
    // Sent by name, as a caller that only knows the selector does.
    EXPECT_TRUE(inner->performSelector("deepMutableCopy")->isKindOfClass(NSMutableArray::staticClass()));
}

TEST(ArrayHelpers, DeepCopyReplacesOnlyWhatTheFunctionOrCopiesChange)
{
    auto keep = str("keep");
    auto swap = mstr("swap");
    auto nested = NSArray::arrayWithObjects({keep, swap});
    auto array = NSArray::arrayWithObjects({keep, nested, keep});

    // Nothing replaced, strings copy to themselves: the receiver's copy.
    auto noReplacement = [](const Id&, void*) -> Id { return nullptr; };
    auto identity = NSArray::arrayWithObjects({keep, NSArray::arrayWithObject(keep)});
    EXPECT_EQ(NSArrayExt::deepCopyWithReplacementFunction(identity, noReplacement, nullptr), Id(identity));

    // The mutable string copies to a new immutable string, and the function
    // replaces one element inside the nested array.
    int calls = 0;
    auto replaceSwap = [](const Id& element, void* context) -> Id {
        ++*static_cast<int*>(context);
        auto text = dynamic_ref_cast<NSString>(element);
        return text && text->isEqualToString("swap"_ns) ? Id("swapped"_ns) : nullptr;
    };
    Ref<NSArray> copy = NSArrayExt::deepCopyWithReplacementFunction(array, replaceSwap, &calls);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(contents(copy), "keep,(\n    keep,\n    swapped\n),keep");
    EXPECT_FALSE(copy->isKindOfClass(NSMutableArray::staticClass()));
    EXPECT_EQ(copy->objectAtIndex(0), Id(keep));
    EXPECT_EQ(dynamic_ref_cast<NSArray>(copy->objectAtIndex(1))->objectAtIndex(0), Id(keep));

    Ref<NSArray> copied = NSArrayExt::deepCopyWithReplacementFunction(nested, noReplacement, nullptr);
    EXPECT_NE(copied, Id(nested));
    EXPECT_FALSE(copied->objectAtIndex(1)->isKindOfClass(NSMutableString::staticClass()));
}
