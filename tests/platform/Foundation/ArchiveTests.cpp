#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "ArchiveTestSupport.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCountedSet.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUnarchiver.h"
#include "Foundation/NSValue.h"
#include "fixtures/CollectionSamples.h"

namespace {

// A mark: a type written as "c" and a position written as "f".
class ArchiveTestMark : public NSObject, public NSCoding {
    NS_OBJECT(ArchiveTestMark, NSObject)
protected:
    ArchiveTestMark() = default;

public:
    static Ref<ArchiveTestMark> create(int8_t type, float position)
    {
        auto m = make<ArchiveTestMark>();
        m->m_type = type, m->m_position = position;
        return m;
    }
    void encodeWithCoder(NSCoder* coder) const override
    {
        coder->encodeValueOfObjCType("c", &m_type);
        coder->encodeValueOfObjCType("f", &m_position);
    }
    Id initWithCoder(NSCoder* coder) override
    {
        coder->decodeValueOfObjCType("c", &m_type);
        coder->decodeValueOfObjCType("f", &m_position);
        return this;
    }
    int8_t m_type = 0;
    float m_position = 0;
};
NS_CLASS_DEFINE(ArchiveTestMark)

// A named set of marks: its name (an object), then its array of marks.
class ArchiveTestSet : public NSObject, public NSCoding {
    NS_OBJECT(ArchiveTestSet, NSObject)
protected:
    ArchiveTestSet() = default;

public:
    static Ref<ArchiveTestSet> create(const Ref<NSString>& name, const Ref<NSMutableArray>& marks)
    {
        auto s = make<ArchiveTestSet>();
        s->m_name = name, s->m_marks = marks;
        return s;
    }
    void encodeWithCoder(NSCoder* coder) const override
    {
        coder->encodeObject(m_name);
        coder->encodeObject(m_marks);
    }
    Id initWithCoder(NSCoder* coder) override
    {
        m_name = dynamic_ref_cast<NSString>(coder->decodeObject());
        m_marks = dynamic_ref_cast<NSMutableArray>(coder->decodeObject());
        m_versionSeen = coder->versionForClassName("ArchiveTestSet"_ns);
        m_keyed = coder->allowsKeyedCoding();
        return this;
    }
    Ref<NSString> m_name;
    Ref<NSMutableArray> m_marks;
    NSInteger m_versionSeen = -1;
    bool m_keyed = true;
};
NS_CLASS_DEFINE(ArchiveTestSet)

// Writes itself under the intruder's name, so the intruder class is never
// touched while the archive is made.
class ArchiveTestDecoy : public NSObject, public NSCoding {
    NS_OBJECT(ArchiveTestDecoy, NSObject)
protected:
    ArchiveTestDecoy() = default;

public:
    void encodeWithCoder(NSCoder*) const override { }
    Id initWithCoder(NSCoder*) override { return this; }
    const NSClass* classForCoder() const override { return &ArchiveTestIntruder::classRecord(); }
};
NS_CLASS_DEFINE(ArchiveTestDecoy)

const float kPositions[] = {0.1f, -0.0f, 1e-45f, std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity()};

NSClassList graphClasses()
{
    return {&NSArray::classRecord(), &NSString::classRecord(), &NSNumber::classRecord(), &ArchiveTestSet::classRecord(),
            &ArchiveTestMark::classRecord()};
}

// Nested arrays, strings, numbers and two custom classes; one mark belongs
// to both sets.
struct Graph {
    Ref<ArchiveTestMark> shared = ArchiveTestMark::create(7, 0.1f);
    Ref<NSMutableArray> root;

    Graph()
    {
        auto firstMarks = NSMutableArray::array();
        for (size_t i = 0; i < std::size(kPositions); ++i)
            firstMarks->addObject(ArchiveTestMark::create(static_cast<int8_t>(i), kPositions[i]));
        firstMarks->addObject(shared);
        auto first = ArchiveTestSet::create("Zebra"_ns, firstMarks);
        auto second = ArchiveTestSet::create("Yak"_ns, NSMutableArray::arrayWithObjects({shared}));
        auto nested = NSArray::arrayWithObjects(
            {"inner"_ns, NSNumber::numberWithInt(-3),
             NSArray::arrayWithObjects({NSNumber::numberWithFloat(0.1f), NSNumber::numberWithDouble(0.1)})});
        root = NSMutableArray::arrayWithObjects({first, second, nested});
    }
    Ref<NSData> archive() const { return NSArchiver::archivedDataWithRootObject(root); }
};

std::vector<uint8_t> bytesOf(const Ref<NSData>& data) { return data->vector(); }

// Re-seals a changed body with a valid checksum, so the structural checks
// behind it are what the decoder meets.
Ref<NSData> resealed(std::vector<uint8_t> bytes)
{
    uint32_t crc = ArchiveFormat::checksum(std::span(bytes).subspan(ArchiveFormat::headerSize));
    for (int i = 0; i < 4; ++i) bytes[12 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return NSData::dataWithVector(std::move(bytes));
}

size_t find(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& pattern, size_t from = 0)
{
    auto it = std::search(bytes.begin() + from, bytes.end(), pattern.begin(), pattern.end());
    return it == bytes.end() ? std::string::npos : it - bytes.begin();
}

std::vector<uint8_t> utf16Bytes(const char* ascii)
{
    std::vector<uint8_t> out;
    for (const char* p = ascii; *p; ++p) out.push_back(static_cast<uint8_t>(*p)), out.push_back(0);
    return out;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
void setLE32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Asserts that decoding raises NSInconsistentArchiveException and answers its reason.
std::string inconsistency(const Ref<NSData>& data, const NSClassList& allowed)
{
    try {
        NSUnarchiver::unarchiveObjectWithData(data, allowed);
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInconsistentArchiveException) << e.reasonUTF8();
        return e.reasonUTF8();
    }
    ADD_FAILURE() << "decoded without raising";
    return {};
}

}

TEST(NonKeyedArchive, GraphRoundTripsWithFloatsBitForBitAndSharedObjectsOnce)
{
    ArchiveTestSet::classRecord().setVersion(3);
    Graph graph;
    auto decoded =
        dynamic_ref_cast<NSMutableArray>(NSUnarchiver::unarchiveObjectWithData(graph.archive(), graphClasses()));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isMemberOfClass(NSMutableArray::staticClass()));
    ASSERT_EQ(decoded->count(), 3u);

    auto first = dynamic_ref_cast<ArchiveTestSet>(decoded->objectAtIndex(0));
    auto second = dynamic_ref_cast<ArchiveTestSet>(decoded->objectAtIndex(1));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->m_name->isEqualToString("Zebra"_ns));
    EXPECT_EQ(first->m_versionSeen, 3);
    EXPECT_FALSE(first->m_keyed);
    ASSERT_EQ(first->m_marks->count(), std::size(kPositions) + 1);
    for (size_t i = 0; i < std::size(kPositions); ++i) {
        auto mark = dynamic_ref_cast<ArchiveTestMark>(first->m_marks->objectAtIndex(i));
        ASSERT_TRUE(mark);
        EXPECT_EQ(mark->m_type, static_cast<int8_t>(i));
        EXPECT_EQ(bitsOf(mark->m_position), bitsOf(kPositions[i])) << i;
    }
    // One object shared by two parents comes back as one object.
    EXPECT_EQ(first->m_marks->lastObject().get(), second->m_marks->firstObject().get());
    EXPECT_NE(first->m_marks->lastObject().get(), graph.shared.get());

    auto nested = dynamic_ref_cast<NSArray>(decoded->objectAtIndex(2));
    ASSERT_TRUE(nested);
    EXPECT_TRUE(nested->isEqual(graph.root->objectAtIndex(2).get()));
    auto numbers = dynamic_ref_cast<NSArray>(nested->objectAtIndex(2));
    auto f = dynamic_ref_cast<NSNumber>(numbers->objectAtIndex(0));
    auto d = dynamic_ref_cast<NSNumber>(numbers->objectAtIndex(1));
    EXPECT_EQ(f->kind(), NSNumber::Kind::Float);
    EXPECT_EQ(bitsOf(f->floatValue()), bitsOf(0.1f));
    EXPECT_EQ(d->kind(), NSNumber::Kind::Double);
    EXPECT_EQ(bitsOf(d->doubleValue()), bitsOf(0.1));
}

TEST(NonKeyedArchive, PropertyListClassesKeepTheirKindAndMutability)
{
    std::u16string text = u"caf\u00e9 \U0001F600 ";
    text.push_back(static_cast<char16_t>(0xD800));  // a lone surrogate survives too
    auto date = NSDate::dateWithTimeIntervalSinceReferenceDate(-123.456);
    auto dict = NSMutableDictionary::dictionary();
    dict->setObject(NSNumber::numberWithBool(true), "yes"_ns);
    dict->setObject(NSNumber::numberWithInteger(1), "one"_ns);
    dict->setObject(NSData::dataWithBytes("\0\1\2", 3), "data"_ns);
    auto root = NSArray::arrayWithObjects(
        {NSString::stringWithUTF16(text), NSMutableString::stringWithString("m"_ns), date, dict,
         NSMutableData::dataWithLength(2), NSNumber::numberWithChar(-5), NSNumber::numberWithShort(-300),
         NSNumber::numberWithInteger(int64_t(1) << 40), NSNumber::numberWithUnsignedInteger(NSUIntegerMax),
         NSNumber::numberWithDouble(-0.0), NSDictionary::dictionary(), NSArray::array(), NSData::data(), ""_ns});

    auto decoded =
        dynamic_ref_cast<NSArray>(NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(root)));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(root.get()));
    EXPECT_TRUE(decoded->isMemberOfClass(NSArray::staticClass()));
    EXPECT_EQ(dynamic_ref_cast<NSString>(decoded->objectAtIndex(0))->utf16(), text);
    EXPECT_TRUE(decoded->objectAtIndex(1)->isMemberOfClass(NSMutableString::staticClass()));
    EXPECT_TRUE(decoded->objectAtIndex(3)->isMemberOfClass(NSMutableDictionary::staticClass()));
    EXPECT_TRUE(decoded->objectAtIndex(4)->isMemberOfClass(NSMutableData::staticClass()));
    auto yes =
        dynamic_ref_cast<NSNumber>(dynamic_ref_cast<NSDictionary>(decoded->objectAtIndex(3))->objectForKey("yes"_ns));
    EXPECT_EQ(yes->kind(), NSNumber::Kind::Bool);
    const NSNumber::Kind kinds[] = {NSNumber::Kind::Char, NSNumber::Kind::Short, NSNumber::Kind::Integer,
                                    NSNumber::Kind::Unsigned, NSNumber::Kind::Double};
    for (size_t i = 0; i < std::size(kinds); ++i)
        EXPECT_EQ(dynamic_ref_cast<NSNumber>(decoded->objectAtIndex(5 + i))->kind(), kinds[i]) << i;
    EXPECT_EQ(bitsOf(dynamic_ref_cast<NSNumber>(decoded->objectAtIndex(9))->doubleValue()), bitsOf(-0.0));
}

TEST(NonKeyedArchive, ValuesAndNullNeedToBeAllowed)
{
    auto root = NSArray::arrayWithObjects({NSValue::valueWithPoint({1.5, -2}), NSValue::valueWithSize({3, 4}),
                                           NSValue::valueWithRect(NSMakeRect(1, 2, 3, 4)),
                                           NSValue::valueWithRange(NSMakeRange(5, 6)), NSNull::null()});
    auto data = NSArchiver::archivedDataWithRootObject(root);
    EXPECT_NE(inconsistency(data, NSCoder::propertyListClasses()).find("'NSValue' is not among the allowed classes"),
              std::string::npos);
    auto decoded = NSUnarchiver::unarchiveObjectWithData(
        data, {&NSArray::classRecord(), &NSValue::classRecord(), &NSNull::classRecord()});
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(root.get()));
    EXPECT_EQ(dynamic_ref_cast<NSArray>(decoded)->lastObject().get(), NSNull::null().get());
}

TEST(NonKeyedArchive, TypedValuesReadBackInOrderAndATypeMismatchRaises)
{
    auto archiver = NSArchiver::create();
    EXPECT_FALSE(archiver->allowsKeyedCoding());
    archiver->encodeChar(-1);
    archiver->encodeShort(-2);
    archiver->encodeInt(-3);
    archiver->encodeInt64(int64_t(1) << 40);
    archiver->encodeFloat(0.56f);
    archiver->encodeDouble(static_cast<double>(0.56f));
    archiver->encodeObject("x"_ns);
    archiver->encodeChar(9);
    auto data = archiver->archiverData();

    auto u = NSUnarchiver::unarchiverForReadingWithData(data, NSCoder::propertyListClasses());
    EXPECT_EQ(u->decodeChar(), -1);
    EXPECT_EQ(u->decodeShort(), -2);
    EXPECT_EQ(u->decodeInt(), -3);
    EXPECT_EQ(u->decodeInt64(), int64_t(1) << 40);
    EXPECT_EQ(bitsOf(u->decodeFloat()), bitsOf(0.56f));
    EXPECT_EQ(bitsOf(u->decodeDouble()), bitsOf(static_cast<double>(0.56f)));
    EXPECT_TRUE(u->decodeObject()->isEqual("x"_ns.get()));
    EXPECT_FALSE(u->isAtEnd());
    try {
        u->decodeInt();
        FAIL() << "an \"i\" read where a \"c\" is stored decoded";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInconsistentArchiveException);
        EXPECT_NE(e.reasonUTF8().find("expected type 'i' but the archive holds 'c'"), std::string::npos)
            << e.reasonUTF8();
    }
    // More than one top-level value is not a single root object.
    EXPECT_NE(inconsistency(data, NSCoder::propertyListClasses()).find("expected an object"), std::string::npos);
}

TEST(NonKeyedArchive, ConditionalObjectsAreReferencesToObjectsAlreadyWritten)
{
    auto shared = NSMutableString::stringWithString("shared"_ns);
    auto archiver = NSArchiver::create();
    archiver->encodeConditionalObject(shared);  // not written yet: nil
    archiver->encodeObject(shared);
    archiver->encodeConditionalObject(shared);  // now a reference
    auto u = NSUnarchiver::unarchiverForReadingWithData(archiver->archiverData(), NSCoder::propertyListClasses());
    EXPECT_FALSE(u->decodeObject());
    auto first = u->decodeObject();
    EXPECT_TRUE(first->isEqual(shared.get()));
    EXPECT_EQ(u->decodeObject(), first);
}

TEST(NonKeyedArchive, VersionForClassNameAnswersWhatTheArchiveRecorded)
{
    ArchiveTestSet::classRecord().setVersion(3);
    auto data = NSArchiver::archivedDataWithRootObject(ArchiveTestSet::create("a"_ns, NSMutableArray::array()));
    ArchiveTestSet::classRecord().setVersion(4);
    auto u = NSUnarchiver::unarchiverForReadingWithData(data, graphClasses());
    EXPECT_EQ(u->versionForClassName("ArchiveTestSet"_ns), NSNotFound);  // not met yet
    auto set = dynamic_ref_cast<ArchiveTestSet>(u->decodeObject());
    ASSERT_TRUE(set);
    EXPECT_EQ(set->m_versionSeen, 3);
    EXPECT_EQ(u->versionForClassName("ArchiveTestSet"_ns), 3);
    EXPECT_EQ(u->versionForClassName("NSObject"_ns), 0);  // superclasses are recorded too
    EXPECT_EQ(u->versionForClassName("ArchiveTestMark"_ns), NSNotFound);
    EXPECT_EQ(NSArchiver::create()->versionForClassName("ArchiveTestSet"_ns), 4);
    ArchiveTestSet::classRecord().setVersion(3);
}

TEST(NonKeyedArchive, EveryTruncationRaises)
{
    auto bytes = bytesOf(Graph().archive());
    for (size_t length = 0; length < bytes.size(); ++length)
        inconsistency(NSData::dataWithBytes(bytes.data(), length), graphClasses());
}

TEST(NonKeyedArchive, EveryOneByteChangeRaises)
{
    auto bytes = bytesOf(Graph().archive());
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            auto changed = bytes;
            changed[i] ^= flip;
            SCOPED_TRACE("byte " + std::to_string(i));
            inconsistency(NSData::dataWithVector(changed), graphClasses());
        }
    }
}

// Behind the checksum: every byte of a re-sealed archive set to other values
// either decodes or raises NSInconsistentArchiveException, and never reads
// out of bounds (AddressSanitizer watches).
TEST(NonKeyedArchive, ResealedChangesRaiseOrDecodeButNeverReadOutOfBounds)
{
    auto bytes = bytesOf(Graph().archive());
    for (size_t i = ArchiveFormat::headerSize; i < bytes.size(); ++i) {
        for (int value : {bytes[i] ^ 0x01, bytes[i] + 1, bytes[i] - 1, 0x00, 0x7F, 0xFF}) {
            auto changed = bytes;
            changed[i] = static_cast<uint8_t>(value);
            try {
                NSUnarchiver::unarchiveObjectWithData(resealed(changed), graphClasses());
            } catch (const NSException& e) {
                ASSERT_EQ(e.nameUTF8(), NSInconsistentArchiveException) << "byte " << i << ": " << e.reasonUTF8();
            }
        }
    }
}

TEST(NonKeyedArchive, ResealedCountLengthAndReferenceChangesRaise)
{
    auto bytes = bytesOf(Graph().archive());
    struct Field {
        const char* name;
        size_t offset;
        std::vector<uint32_t> values;
    };
    std::vector<Field> fields;

    // The length of "Zebra" precedes its UTF-16 units.
    size_t zebra = find(bytes, utf16Bytes("Zebra"));
    ASSERT_NE(zebra, std::string::npos);
    ASSERT_EQ(le32(bytes, zebra - 4), 5u);
    fields.push_back({"string length", zebra - 4, {0, 4, 6, 0x7FFFFFFF, 0xFFFFFFFF}});
    // ...and the string object's body length (its length field plus 10 bytes) before that.
    ASSERT_EQ(le32(bytes, zebra - 8), 14u);
    fields.push_back({"object length", zebra - 8, {0, 13, 15, 0xFFFFFFFF}});

    // The root array: '@', new object, a new class whose chain is
    // NSMutableArray, NSArray, NSObject, the body length, then the count.
    size_t rootCount = ArchiveFormat::headerSize + 2 + 1 + 4;
    for (const char* name : {"NSMutableArray", "NSArray", "NSObject"}) rootCount += 4 + std::strlen(name) + 8;
    rootCount += 4;
    ASSERT_EQ(le32(bytes, rootCount), 3u);
    fields.push_back({"array count", rootCount, {0, 2, 4, 0x10000, 0xFFFFFFFF}});
    fields.push_back({"class chain count", ArchiveFormat::headerSize + 3, {0, 2, 4, 0xFFFFFFFF}});

    // The second set refers back to the shared mark: '@', reference, index.
    size_t yak = find(bytes, utf16Bytes("Yak"));
    size_t reference = find(bytes, {'@', ArchiveFormat::objectReference}, yak);
    ASSERT_NE(reference, std::string::npos);
    uint32_t index = le32(bytes, reference + 2);
    // The index of an object still being read (the root), of one not yet read, and far off.
    fields.push_back({"object reference", reference + 2, {0, index + 10, 0xFFFFFFFF}});

    for (const Field& field : fields) {
        for (uint32_t value : field.values) {
            auto changed = bytes;
            setLE32(changed, field.offset, value);
            SCOPED_TRACE(std::string(field.name) + " set to " + std::to_string(value));
            std::string reason = inconsistency(resealed(changed), graphClasses());
            EXPECT_NE(reason.find(" at byte "), std::string::npos) << reason;
        }
    }
}

TEST(NonKeyedArchive, AClassOutsideTheAllowedSetRaisesBeforeAnythingOfItRuns)
{
    auto data = NSArchiver::archivedDataWithRootObject(NSArray::arrayWithObject(NSObject::make<ArchiveTestDecoy>()));
    std::string reason = inconsistency(data, NSCoder::propertyListClasses());
    EXPECT_NE(reason.find("class 'ArchiveTestIntruder' is not among the allowed classes"), std::string::npos) << reason;
    EXPECT_FALSE(ArchiveTestIntruder::initialized);
    EXPECT_FALSE(ArchiveTestIntruder::constructed);
    EXPECT_FALSE(ArchiveTestIntruder::decoded);

    // A class name that nothing registers raises too.
    auto bytes = bytesOf(data);
    size_t name = find(bytes, {'I', 'n', 't', 'r', 'u', 'd', 'e', 'r'});
    ASSERT_NE(name, std::string::npos);
    bytes[name] = 'X';
    reason = inconsistency(resealed(bytes), {&NSObject::classRecord()});
    EXPECT_NE(reason.find("unknown class 'ArchiveTestXntruder'"), std::string::npos) << reason;

    // Once allowed, the same data decodes through initWithCoder.
    auto decoded =
        NSUnarchiver::unarchiveObjectWithData(data, {&NSArray::classRecord(), &ArchiveTestIntruder::classRecord()});
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(ArchiveTestIntruder::initialized);
    EXPECT_TRUE(ArchiveTestIntruder::decoded);
}

TEST(NonKeyedArchive, MalformedInputRaises)
{
    EXPECT_EQ(NSUnarchiver::unarchiveObjectWithData(nullptr).get(), nullptr);
    auto valid = bytesOf(NSArchiver::archivedDataWithRootObject("x"_ns));
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"empty", {}, "shorter than its 16-byte header"},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', ' ', 't', 'e', 'x', 't'}, "wrong signature"},
        {"later version",
         [&] {
             auto b = valid;
             b[4] = 2;
             return b;
         }(),
         "unsupported format version 2"},
        {"extra byte",
         [&] {
             auto b = valid;
             b.push_back(0);
             return b;
         }(),
         "does not match"},
    };
    for (const Case& c : cases) {
        std::string reason = inconsistency(NSData::dataWithVector(c.bytes), NSCoder::propertyListClasses());
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
    }
}

TEST(NonKeyedArchive, DeepNestingIsRefusedOnBothSides)
{
    Id deep = NSArray::array();
    for (int i = 0; i < NSArchiver::maximumDepth + 1; ++i) deep = NSArray::arrayWithObject(deep);
    try {
        NSArchiver::archivedDataWithRootObject(deep);
        FAIL() << "archived";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArchiveOperationException);
    }

    // 10000 nested arrays written by hand: the outermost defines the class,
    // the others refer to it; each body is a count of one and the next array.
    const uint32_t levels = 10000;
    std::vector<uint8_t> archive(ArchiveFormat::headerSize, 0);
    std::memcpy(archive.data(), ArchiveFormat::magic, 4);
    archive[4] = 1;
    auto put32 = [&archive](uint32_t v) {
        for (int i = 0; i < 4; ++i) archive.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (uint32_t k = 0; k <= levels; ++k) {
        archive.push_back('@');
        archive.push_back(ArchiveFormat::newObject);
        if (k == 0) {
            const uint8_t definition[] = {ArchiveFormat::newClass,
                                          1,
                                          0,
                                          0,
                                          0,
                                          7,
                                          0,
                                          0,
                                          0,
                                          'N',
                                          'S',
                                          'A',
                                          'r',
                                          'r',
                                          'a',
                                          'y',
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0};
            archive.insert(archive.end(), std::begin(definition), std::end(definition));
        } else {
            archive.push_back(ArchiveFormat::classReference);
            put32(0);
        }
        // Every inner level takes 15 bytes before its own body.
        put32(4 + (k == levels ? 0 : 15 * (levels - k)));
        put32(k == levels ? 0 : 1);
    }
    setLE32(archive, 8, static_cast<uint32_t>(archive.size() - ArchiveFormat::headerSize));
    std::string reason = inconsistency(resealed(archive), NSCoder::propertyListClasses());
    EXPECT_NE(reason.find("nested more than"), std::string::npos) << reason;
}

TEST(NonKeyedArchive, ObjectsThatCannotBeArchivedAndKeyedCallsRaise)
{
    auto archiver = NSArchiver::create();
    EXPECT_THROW(archiver->encodeObject(NSObject::make<NSObject>()), NSException);
    EXPECT_THROW(archiver->encodeInt(1, "key"_ns), NSException);
    EXPECT_THROW(archiver->encodeValueOfObjCType("Q", nullptr), NSException);

    // A set inside its own marks could only be read back through an object
    // not yet made.
    auto marks = NSMutableArray::array();
    auto set = ArchiveTestSet::create("loop"_ns, marks);
    marks->addObject(set);
    try {
        NSArchiver::archivedDataWithRootObject(set);
        ADD_FAILURE() << "a cycle was archived";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArchiveOperationException);
    }
    marks->removeAllObjects();
}

TEST(NonKeyedArchive, SetsIndexSetsAndIndexPathsRoundTripWhenAllowed)
{
    auto root = setsIndexSetsAndIndexPaths();
    auto data = NSArchiver::archivedDataWithRootObject(root);

    // Sets are not property-list objects: the one-argument form refuses them.
    EXPECT_NE(inconsistency(data, NSCoder::propertyListClasses()).find("'NSSet' is not among the allowed classes"),
              std::string::npos);
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.insert(allowed.end(), {&NSSet::classRecord(), &NSIndexSet::classRecord(), &NSIndexPath::classRecord()});
    auto decoded = dynamic_ref_cast<NSArray>(NSUnarchiver::unarchiveObjectWithData(data, allowed));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(root.get()));
    for (size_t i = 0; i < root->count(); ++i)
        EXPECT_TRUE(decoded->objectAtIndex(i)->isMemberOfClass(root->objectAtIndex(i)->classObject())) << i;

    // A range reaching NSNotFound is refused, not stored.
    auto bytes = bytesOf(data);
    size_t at = find(bytes, {2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 8; ++i) bytes[at + i] = i == 7 ? 0x7F : 0xFF;
    EXPECT_NE(inconsistency(resealed(bytes), allowed).find("reaches NSNotFound"), std::string::npos);

    // A counted set would lose its counts.
    EXPECT_THROW(NSArchiver::archivedDataWithRootObject(NSCountedSet::set()), NSException);
}
