#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "ArchiveTestSupport.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValue.h"
#include "fixtures/CollectionSamples.h"

using json = nlohmann::ordered_json;

namespace {

class KeyedTestShape : public NSObject, public NSCoding {
    NS_OBJECT(KeyedTestShape, NSObject)
protected:
    KeyedTestShape() = default;

public:
    static Ref<KeyedTestShape> create(const char* name)
    {
        auto s = make<KeyedTestShape>();
        s->m_name = NSString::stringWithUTF8String(name);
        return s;
    }
    void encodeWithCoder(NSCoder* coder) const override
    {
        coder->encodeObject(m_name, "name"_ns);
        coder->encodeRect(m_frame, "frame"_ns);
        coder->encodeBool(m_visible, "visible"_ns);
        coder->encodeObject(m_shared, "shared"_ns);
        coder->encodeConditionalObject(m_delegate, "delegate"_ns);
    }
    Id initWithCoder(NSCoder* coder) override
    {
        m_name = dynamic_ref_cast<NSString>(coder->decodeObjectForKey("name"_ns));
        m_frame = coder->decodeRectForKey("frame"_ns);
        m_visible = coder->decodeBoolForKey("visible"_ns);
        m_shared = coder->decodeObjectForKey("shared"_ns);
        m_hadDelegate = coder->containsValueForKey("delegate"_ns);
        m_delegate = coder->decodeObjectForKey("delegate"_ns);
        return this;
    }
    Ref<NSString> m_name;
    NSRect m_frame{};
    bool m_visible = false;
    Id m_shared;
    Id m_delegate;
    bool m_hadDelegate = false;
};
NS_CLASS_DEFINE(KeyedTestShape)

// Every scalar form, after the superclass's keys.
class KeyedTestCircle : public KeyedTestShape {
    NS_OBJECT(KeyedTestCircle, KeyedTestShape)
protected:
    KeyedTestCircle() = default;

public:
    void encodeWithCoder(NSCoder* coder) const override
    {
        KeyedTestShape::encodeWithCoder(coder);
        coder->encodeDouble(m_radius, "radius"_ns);
        coder->encodeFloat(m_weight, "weight"_ns);
        coder->encodeInt(m_int, "int"_ns);
        coder->encodeInt32(m_int32, "int32"_ns);
        coder->encodeInt64(m_int64, "int64"_ns);
        coder->encodeInteger(m_integer, "integer"_ns);
        coder->encodePoint(m_center, "center"_ns);
        coder->encodeSize(m_size, "size"_ns);
        coder->encodeBytes(m_bytes.data(), m_bytes.size(), "bytes"_ns);
        coder->encodeString(m_label, "label"_ns);
    }
    Id initWithCoder(NSCoder* coder) override
    {
        KeyedTestShape::initWithCoder(coder);
        m_radius = coder->decodeDoubleForKey("radius"_ns);
        m_weight = coder->decodeFloatForKey("weight"_ns);
        m_int = coder->decodeIntForKey("int"_ns);
        m_int32 = coder->decodeInt32ForKey("int32"_ns);
        m_int64 = coder->decodeInt64ForKey("int64"_ns);
        m_integer = coder->decodeIntegerForKey("integer"_ns);
        m_center = coder->decodePointForKey("center"_ns);
        m_size = coder->decodeSizeForKey("size"_ns);
        m_bytes = coder->decodeBytesForKey("bytes"_ns);
        m_label = coder->decodeStringForKey("label"_ns);
        return this;
    }
    double m_radius = 0;
    float m_weight = 0;
    int m_int = 0;
    int32_t m_int32 = 0;
    int64_t m_int64 = 0;
    NSInteger m_integer = 0;
    NSPoint m_center{};
    NSSize m_size{};
    std::vector<uint8_t> m_bytes;
    Ref<NSString> m_label;
};
NS_CLASS_DEFINE(KeyedTestCircle)

// A tree whose children point back at their parent without owning it.
class KeyedTestNode : public NSObject, public NSCoding {
    NS_OBJECT(KeyedTestNode, NSObject)
protected:
    KeyedTestNode() = default;

public:
    void encodeWithCoder(NSCoder* coder) const override
    {
        coder->encodeObject(m_children, "children"_ns);
        coder->encodeConditionalObject(m_parent.get(), "parent"_ns);
    }
    Id initWithCoder(NSCoder* coder) override
    {
        m_children = dynamic_ref_cast<NSMutableArray>(coder->decodeObjectForKey("children"_ns));
        m_parent = dynamic_ref_cast<KeyedTestNode>(coder->decodeObjectForKey("parent"_ns));
        return this;
    }
    Ref<NSMutableArray> m_children = NSMutableArray::array();
    Weak<KeyedTestNode> m_parent;
};
NS_CLASS_DEFINE(KeyedTestNode)

Ref<NSData> dataOf(const std::string& text) { return NSData::dataWithBytes(text.data(), text.size()); }

std::string inconsistency(const std::function<void()>& decode)
{
    try {
        decode();
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInconsistentArchiveException) << e.reasonUTF8();
        return e.reasonUTF8();
    }
    ADD_FAILURE() << "decoded without raising";
    return {};
}

const json* entryOfClass(const json& document, const std::string& cls)
{
    for (const json& entry : document["objects"])
        if (entry.value("class", "") == cls) return &entry;
    return nullptr;
}

}

TEST(KeyedArchive, GraphRoundTripsWithSharedAndConditionalObjects)
{
    auto shared = KeyedTestShape::create("shared");
    auto kept = KeyedTestShape::create("kept");
    auto dropped = KeyedTestShape::create("dropped");
    auto a = NSObject::make<KeyedTestCircle>();
    a->m_name = "a"_ns;
    a->m_frame = NSMakeRect(1.5, -2, 300, 0.25);
    a->m_visible = true;
    a->m_shared = shared;
    a->m_delegate = kept;  // also archived outright, later in the root array
    a->m_radius = 0.1;
    a->m_weight = 0.56f;
    a->m_int = -7;
    a->m_int32 = INT32_MIN;
    a->m_int64 = INT64_MAX;
    a->m_integer = int64_t(1) << 40;
    a->m_center = {-0.0, 1e300};
    a->m_size = {3, 4};
    a->m_bytes = {0, 1, 2, 0xFF, 0x80};
    a->m_label = "caf\u00e9 \U0001F600"_ns;
    auto b = KeyedTestShape::create("b");
    b->m_shared = shared;
    b->m_delegate = dropped;  // only ever archived conditionally
    auto root = NSArray::arrayWithObjects({a, b, kept});

    auto archiver = NSKeyedArchiver::create();
    EXPECT_TRUE(archiver->allowsKeyedCoding());
    archiver->encodeObject(root, "root"_ns);
    const json& document = archiver->encodedJSON();
    auto data = archiver->encodedData();

    // Shared objects are written once; the dropped delegate is not written.
    size_t shapes = 0;
    for (const json& entry : document["objects"]) {
        shapes += entry["class"] == "KeyedTestShape";
        EXPECT_NE(entry["keys"].value("name", ""), "dropped");
    }
    EXPECT_EQ(shapes, 3u);  // shared, b, kept
    // A subclass's keys follow its superclass's.
    const json* circle = entryOfClass(document, "KeyedTestCircle");
    ASSERT_TRUE(circle);
    std::vector<std::string> keys;
    for (auto& [key, value] : (*circle)["keys"].items()) keys.push_back(key);
    ASSERT_GE(keys.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 6),
              (std::vector<std::string>{"name", "frame", "visible", "shared", "delegate", "radius"}));

    auto decoded = dynamic_ref_cast<NSArray>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->count(), 3u);
    auto da = dynamic_ref_cast<KeyedTestCircle>(decoded->objectAtIndex(0));
    auto db = dynamic_ref_cast<KeyedTestShape>(decoded->objectAtIndex(1));
    ASSERT_TRUE(da && db);
    EXPECT_TRUE(da->m_name->isEqualToString("a"_ns));
    EXPECT_EQ(da->m_frame, a->m_frame);
    EXPECT_TRUE(da->m_visible);
    EXPECT_EQ(bitsOf(da->m_radius), bitsOf(0.1));
    EXPECT_EQ(bitsOf(da->m_weight), bitsOf(0.56f));
    EXPECT_EQ(da->m_int, -7);
    EXPECT_EQ(da->m_int32, INT32_MIN);
    EXPECT_EQ(da->m_int64, INT64_MAX);
    EXPECT_EQ(da->m_integer, int64_t(1) << 40);
    EXPECT_EQ(bitsOf(da->m_center.x), bitsOf(-0.0));
    EXPECT_EQ(da->m_center.y, 1e300);
    EXPECT_EQ(da->m_size, a->m_size);
    EXPECT_EQ(da->m_bytes, a->m_bytes);
    EXPECT_TRUE(da->m_label->isEqualToString(a->m_label));

    EXPECT_EQ(da->m_shared.get(), db->m_shared.get());
    ASSERT_TRUE(da->m_shared);
    EXPECT_EQ(da->m_delegate.get(), decoded->objectAtIndex(2).get());
    EXPECT_TRUE(da->m_hadDelegate);
    EXPECT_FALSE(db->m_delegate);
    EXPECT_FALSE(db->m_hadDelegate);
    EXPECT_FALSE(db->m_visible);
}

TEST(KeyedArchive, StandardClassesKeepTheirKindAndMutability)
{
    auto dict = NSMutableDictionary::dictionary();
    dict->setObject(NSNumber::numberWithBool(true), "yes"_ns);
    dict->setObject(NSDate::dateWithTimeIntervalSinceReferenceDate(-123.456), "date"_ns);
    auto root = NSArray::arrayWithObjects({"text"_ns,
                                           NSMutableString::stringWithString("m"_ns),
                                           dict,
                                           NSData::dataWithBytes("\0\1\2", 3),
                                           NSMutableData::dataWithLength(4),
                                           NSNumber::numberWithChar(-5),
                                           NSNumber::numberWithShort(-300),
                                           NSNumber::numberWithInt(70000),
                                           NSNumber::numberWithInteger(int64_t(1) << 40),
                                           NSNumber::numberWithUnsignedInteger(NSUIntegerMax),
                                           NSNumber::numberWithFloat(0.1f),
                                           NSNumber::numberWithDouble(std::numeric_limits<double>::infinity()),
                                           NSValue::valueWithPoint({1, 2}),
                                           NSValue::valueWithSize({3, 4}),
                                           NSValue::valueWithRect(NSMakeRect(5, 6, 7, 8)),
                                           NSValue::valueWithRange(NSMakeRange(9, 10)),
                                           NSNull::null(),
                                           NSMutableArray::array(),
                                           NSData::data(),
                                           ""_ns});
    auto decoded = dynamic_ref_cast<NSArray>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(root)));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(root.get()));
    EXPECT_TRUE(decoded->isMemberOfClass(NSArray::staticClass()));
    for (size_t i = 0; i < root->count(); ++i)
        EXPECT_TRUE(decoded->objectAtIndex(i)->isMemberOfClass(root->objectAtIndex(i)->classObject())) << i;
    for (size_t i = 5; i <= 11; ++i) {
        auto n = dynamic_ref_cast<NSNumber>(root->objectAtIndex(i));
        auto d = dynamic_ref_cast<NSNumber>(decoded->objectAtIndex(i));
        EXPECT_EQ(d->kind(), n->kind()) << i;
        EXPECT_EQ(bitsOf(d->doubleValue()), bitsOf(n->doubleValue())) << i;
    }
    auto yes =
        dynamic_ref_cast<NSNumber>(dynamic_ref_cast<NSDictionary>(decoded->objectAtIndex(2))->objectForKey("yes"_ns));
    EXPECT_EQ(yes->kind(), NSNumber::Kind::Bool);
}

TEST(KeyedArchive, FloatsAndDoublesReadBackBitForBit)
{
    std::mt19937_64 random(42);
    std::vector<float> floats = {0.1f,
                                 0.56f,
                                 -0.0f,
                                 1e-45f,
                                 1.17549435e-38f,
                                 std::numeric_limits<float>::max(),
                                 -std::numeric_limits<float>::max(),
                                 16777217.0f,
                                 1.0f / 3};
    std::vector<double> doubles = {0.1, -0.0, 5e-324, std::numeric_limits<double>::max(), 1.0 / 3, 0.56f};
    for (int i = 0; i < 1000; ++i) {
        float f;
        double d;
        uint32_t fb = static_cast<uint32_t>(random());
        uint64_t db = random();
        std::memcpy(&f, &fb, 4);
        std::memcpy(&d, &db, 8);
        if (std::isfinite(f)) floats.push_back(f);
        if (std::isfinite(d)) doubles.push_back(d);
    }
    auto archiver = NSKeyedArchiver::create();
    for (size_t i = 0; i < floats.size(); ++i)
        archiver->encodeFloat(floats[i], NSString::stringWithUTF8String("f" + std::to_string(i)));
    for (size_t i = 0; i < doubles.size(); ++i)
        archiver->encodeDouble(doubles[i], NSString::stringWithUTF8String("d" + std::to_string(i)));
    // Floats are written as their shortest text, not as the widened double.
    std::string text(archiver->encodedData()->view());
    EXPECT_NE(text.find("\"f0\": 0.1,"), std::string::npos);

    auto u = NSKeyedUnarchiver::unarchiverForReadingWithData(dataOf(text));
    for (size_t i = 0; i < floats.size(); ++i)
        ASSERT_EQ(bitsOf(u->decodeFloatForKey(NSString::stringWithUTF8String("f" + std::to_string(i)))),
                  bitsOf(floats[i]))
            << floats[i];
    for (size_t i = 0; i < doubles.size(); ++i)
        ASSERT_EQ(bitsOf(u->decodeDoubleForKey(NSString::stringWithUTF8String("d" + std::to_string(i)))),
                  bitsOf(doubles[i]))
            << doubles[i];
}

TEST(KeyedArchive, NonFiniteDoublesAreTaggedValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    auto archiver = NSKeyedArchiver::create();
    archiver->encodeDouble(std::nan(""), "nan"_ns);
    archiver->encodeDouble(inf, "inf"_ns);
    archiver->encodeDouble(-inf, "minusInf"_ns);
    archiver->encodeFloat(-std::numeric_limits<float>::infinity(), "floatMinusInf"_ns);
    archiver->encodePoint({inf, 1}, "point"_ns);
    const json& top = archiver->encodedJSON()["top"];
    EXPECT_EQ(top["nan"], (json{{"$double", "nan"}}));
    EXPECT_EQ(top["inf"], (json{{"$double", "inf"}}));
    EXPECT_EQ(top["minusInf"], (json{{"$double", "-inf"}}));

    auto u = NSKeyedUnarchiver::unarchiverForReadingWithData(archiver->encodedData());
    EXPECT_TRUE(std::isnan(u->decodeDoubleForKey("nan"_ns)));
    EXPECT_EQ(u->decodeDoubleForKey("inf"_ns), inf);
    EXPECT_EQ(u->decodeDoubleForKey("minusInf"_ns), -inf);
    EXPECT_EQ(u->decodeFloatForKey("floatMinusInf"_ns), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(u->decodePointForKey("point"_ns).x, inf);
    auto boxed = dynamic_ref_cast<NSNumber>(u->decodeObjectForKey("nan"_ns));
    ASSERT_TRUE(boxed);
    EXPECT_TRUE(std::isnan(boxed->doubleValue()));
}

TEST(KeyedArchive, MissingKeysDecodeAsZero)
{
    auto u = NSKeyedUnarchiver::unarchiverForReadingWithData(dataOf(R"({"top": {"present": 1}})"));
    auto key = "absent"_ns;
    EXPECT_TRUE(u->containsValueForKey("present"_ns));
    EXPECT_FALSE(u->containsValueForKey(key));
    EXPECT_FALSE(u->decodeObjectForKey(key));
    EXPECT_FALSE(u->decodeBoolForKey(key));
    EXPECT_EQ(u->decodeIntForKey(key), 0);
    EXPECT_EQ(u->decodeInt32ForKey(key), 0);
    EXPECT_EQ(u->decodeInt64ForKey(key), 0);
    EXPECT_EQ(u->decodeIntegerForKey(key), 0);
    EXPECT_EQ(u->decodeFloatForKey(key), 0.0f);
    EXPECT_EQ(u->decodeDoubleForKey(key), 0.0);
    EXPECT_EQ(u->decodePointForKey(key), NSZeroPoint);
    EXPECT_EQ(u->decodeSizeForKey(key), NSZeroSize);
    EXPECT_EQ(u->decodeRectForKey(key), NSZeroRect);
    EXPECT_TRUE(u->decodeBytesForKey(key).empty());
    EXPECT_FALSE(u->decodeStringForKey(key));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(nullptr));
}

TEST(KeyedArchive, MalformedDocumentsAndWrongTypesRaise)
{
    struct Case {
        const char* json;
        const char* reason;
    } documents[] = {
        {"", "not a valid JSON document"},
        {R"({"top": {"root": 1})", "not a valid JSON document"},
        {"[1, 2]", "not an object"},
        {R"({"version": 2})", "unsupported archive version"},
        {R"({"top": []})", "\"top\" is not an object"},
        {R"({"objects": {}})", "\"objects\" is not an array"},
        {R"({"objects": [{"class": "NSArray"}]})", "without an integer \"id\""},
        {R"({"objects": [{"id": "1", "class": "NSArray"}]})", "without an integer \"id\""},
        {R"({"objects": [{"id": 1, "class": "NSArray"}, {"id": 1, "class": "NSArray"}]})", "appears twice"},
        {R"({"objects": [{"id": 1}]})", "exactly one of"},
        {R"({"objects": [{"id": 1, "class": 5}]})", "not a string"},
        {R"({"objects": [{"id": 1, "class": "NSArray", "keys": []}]})", "\"keys\" is not an object"},
        {R"({"top": {"root": {"$ref": 2}}, "objects": [{"id": 1, "class": "NSArray"}]})", "does not hold"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NoSuchClass"}]})",
         "unknown class 'NoSuchClass'"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSObject"}]})", "does not adopt NSCoding"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSArray", "keys": {"NS.objects": [{"$ref": 1}]}}]})",
         "contains itself"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSArray", "keys": {"NS.objects": 3}}]})",
         "expected an array"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSArray", "keys": {"NS.objects": [null]}}]})",
         "null element"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSNumber", "keys": {"NS.type": "c", "NS.value": 300}}]})",
         "out of range"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSNumber", "keys": {"NS.type": "x", "NS.value": 3}}]})",
         "unknown number type"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSDictionary", "keys": {"NS.keys": ["a"], "NS.objects": []}}]})",
         "differ in length"},
        {R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "placeholder": "owner"}]})", "which nothing resolves"},
        {R"({"top": {"root": {"$what": 1}}})", "unknown value"},
        {R"({"top": {"root": {"$bytes": "abc"}}})", "base64"},
        {R"({"top": {"root": {"$point": [1, 2, 3]}}})", "2 numbers"},
    };
    for (const Case& c : documents) {
        std::string reason = inconsistency([&] { NSKeyedUnarchiver::unarchiveObjectWithData(dataOf(c.json)); });
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.json << "\n" << reason;
    }

    // Typed reads of values of another type.
    auto u = NSKeyedUnarchiver::unarchiverForReadingWithData(dataOf(
        R"({"top": {"s": "text", "big": 3000000000, "huge": 18446744073709551615, "f": 1e39, "n": null, "o": {"$ref": 9}}})"));
    struct Read {
        const char* name;
        std::function<void()> read;
        const char* reason;
    } reads[] = {
        {"int of a string", [&] { u->decodeIntForKey("s"_ns); }, "expected a number"},
        {"bool of a string", [&] { u->decodeBoolForKey("s"_ns); }, "expected a boolean"},
        {"double of null", [&] { u->decodeDoubleForKey("n"_ns); }, "expected a number"},
        {"int of 3e9", [&] { u->decodeIntForKey("big"_ns); }, "out of range"},
        {"int64 of 2^64-1", [&] { u->decodeInt64ForKey("huge"_ns); }, "out of range"},
        {"float of 1e39", [&] { u->decodeFloatForKey("f"_ns); }, "out of the float range"},
        {"point of a string", [&] { u->decodePointForKey("s"_ns); }, "$point"},
        {"bytes of a string", [&] { u->decodeBytesForKey("s"_ns); }, "$bytes"},
        {"string of a number", [&] { u->decodeStringForKey("big"_ns); }, "expected a string"},
        {"object of a dangling reference", [&] { u->decodeObjectForKey("o"_ns); }, "does not hold"},
    };
    for (const Read& r : reads) {
        std::string reason = inconsistency(r.read);
        EXPECT_NE(reason.find(r.reason), std::string::npos) << r.name << ": " << reason;
        EXPECT_NE(reason.find("key '"), std::string::npos) << r.name << ": " << reason;
    }
}

TEST(KeyedArchive, AClassOutsideTheAllowedSetRaisesBeforeAnythingOfItRuns)
{
    auto data = dataOf(R"({"top": {"root": {"$ref": 1}},
                           "objects": [{"id": 1, "class": "NSArray", "keys": {"NS.objects": [{"$ref": 2}]}},
                                       {"id": 2, "class": "ArchiveTestIntruder"}]})");
    std::string reason =
        inconsistency([&] { NSKeyedUnarchiver::unarchiveObjectWithData(data, NSCoder::propertyListClasses()); });
    EXPECT_NE(reason.find("class 'ArchiveTestIntruder' is not among the allowed classes"), std::string::npos) << reason;
    EXPECT_FALSE(ArchiveTestIntruder::initialized);
    EXPECT_FALSE(ArchiveTestIntruder::constructed);
    EXPECT_FALSE(ArchiveTestIntruder::decoded);
    // Inline values are checked too.
    reason = inconsistency([&] {
        NSKeyedUnarchiver::unarchiveObjectWithData(dataOf(R"({"top": {"root": "text"}})"), {&NSNumber::classRecord()});
    });
    EXPECT_NE(reason.find("'NSString' is not among the allowed classes"), std::string::npos) << reason;

    // Without a set, any registered class decodes.
    auto decoded = dynamic_ref_cast<NSArray>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->firstObject()->isKindOfClass(ArchiveTestIntruder::staticClass()));
    EXPECT_TRUE(ArchiveTestIntruder::initialized);
    EXPECT_TRUE(ArchiveTestIntruder::decoded);
}

TEST(KeyedArchive, PlaceholdersResolveThroughTheCallersHook)
{
    json document = json::parse(R"({
        "top": {"root": {"$ref": 2}},
        "objects": [
            {"id": 1, "placeholder": "owner"},
            {"id": 2, "class": "KeyedTestShape", "keys": {"name": "window", "shared": {"$ref": 1},
                                                          "frame": {"$rect": [0, 0, 640, 480]}}}
        ]})");
    auto owner = KeyedTestShape::create("owner");
    auto u = NSKeyedUnarchiver::unarchiverForReadingWithJSON(document);
    std::vector<std::string> asked;
    u->setPlaceholderResolver([&](const std::string& name) -> Id {
        asked.push_back(name);
        return owner;
    });
    auto shape = dynamic_ref_cast<KeyedTestShape>(u->decodeObjectForKey("root"_ns));
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->m_shared.get(), owner.get());
    EXPECT_EQ(shape->m_frame, NSMakeRect(0, 0, 640, 480));
    EXPECT_EQ(u->objectWithID(2).get(), shape.get());  // decoded once
    EXPECT_EQ(asked, std::vector<std::string>{"owner"});
}

TEST(KeyedArchive, ABackPointerToAnObjectBeingDecodedFindsIt)
{
    auto parent = NSObject::make<KeyedTestNode>();
    auto child = NSObject::make<KeyedTestNode>();
    parent->m_children->addObject(child);
    child->m_parent = parent;
    auto decoded = dynamic_ref_cast<KeyedTestNode>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(parent)));
    ASSERT_TRUE(decoded);
    auto decodedChild = dynamic_ref_cast<KeyedTestNode>(decoded->m_children->firstObject());
    ASSERT_TRUE(decodedChild);
    EXPECT_EQ(decodedChild->m_parent.get().get(), decoded.get());
    EXPECT_FALSE(decoded->m_parent.get());
}

TEST(KeyedArchive, DeepNestingIsRefusedOnBothSides)
{
    Id deep = NSArray::array();
    for (int i = 0; i < NSKeyedArchiver::maximumDepth; ++i) deep = NSArray::arrayWithObject(deep);
    EXPECT_THROW(NSKeyedArchiver::archivedDataWithRootObject(deep), NSException);

    std::string text = R"({"top": {"root": )";
    for (int i = 0; i < 100000; ++i) text += '[';
    for (int i = 0; i < 100000; ++i) text += ']';
    text += "}}";
    std::string reason = inconsistency([&] { NSKeyedUnarchiver::unarchiveObjectWithData(dataOf(text)); });
    EXPECT_NE(reason.find("nested too deeply"), std::string::npos) << reason;

    json objects = json::array();
    for (int i = 1; i <= 1000; ++i)
        objects.push_back(
            {{"id", i}, {"class", "NSArray"}, {"keys", {{"NS.objects", json::array({{{"$ref", i + 1}}})}}}});
    objects.push_back({{"id", 1001}, {"class", "NSArray"}});
    json document = {{"top", {{"root", {{"$ref", 1}}}}}, {"objects", objects}};
    reason = inconsistency(
        [&] { NSKeyedUnarchiver::unarchiverForReadingWithJSON(document)->decodeObjectForKey("root"_ns); });
    EXPECT_NE(reason.find("nested more than"), std::string::npos) << reason;
}

TEST(KeyedArchive, EncodingAfterFinishingAndUnarchivableObjectsRaise)
{
    auto archiver = NSKeyedArchiver::create();
    EXPECT_THROW(archiver->encodeObject(NSObject::make<NSObject>(), "x"_ns), NSException);
    EXPECT_THROW(archiver->encodeObject("x"_ns), NSException);  // the non-keyed form
    archiver->finishEncoding();
    try {
        archiver->encodeInt(1, "late"_ns);
        ADD_FAILURE() << "encoded after finishing";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArchiveOperationException);
    }
}

TEST(KeyedArchive, SetsIndexSetsAndIndexPathsRoundTrip)
{
    auto root = setsIndexSetsAndIndexPaths();
    auto data = NSKeyedArchiver::archivedDataWithRootObject(root);
    auto decoded = dynamic_ref_cast<NSArray>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(root.get()));
    for (size_t i = 0; i < root->count(); ++i)
        EXPECT_TRUE(decoded->objectAtIndex(i)->isMemberOfClass(root->objectAtIndex(i)->classObject())) << i;

    const char* bad[] = {
        R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSIndexSet", "keys": {"NS.ranges": [1]}}]})",
        R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSIndexSet", "keys": {"NS.ranges": [9223372036854775807, 1]}}]})",
        R"({"top": {"root": {"$ref": 1}}, "objects": [{"id": 1, "class": "NSIndexPath", "keys": {"NS.indexes": [-1]}}]})",
    };
    for (const char* document : bad)
        inconsistency([&] { NSKeyedUnarchiver::unarchiveObjectWithData(dataOf(document)); });
}
