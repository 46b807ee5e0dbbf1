// Pasteboards: typed data on the first item, owners that promise data,
// items kept as live objects, text from outside, and pasteboards shared
// between processes through their folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "AppKit/NSPasteboard.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"
#include "TemporaryFolder.h"

namespace {

class PromisingOwner : public NSObject, public NSPasteboardOwner {
    NS_OBJECT(PromisingOwner, NSObject)
protected:
    PromisingOwner() = default;

public:
    int asked = 0;
    int lost = 0;
    void pasteboardProvideDataForType(const Ref<NSPasteboard>& board, const Ref<NSString>& type) override
    {
        ++asked;
        board->setString("promised"_ns, type);
    }
    void pasteboardChangedOwner(const Ref<NSPasteboard>&) override { ++lost; }
};

class TabItem : public NSPasteboardItem {
    NS_OBJECT(TabItem, NSPasteboardItem)
protected:
    TabItem() = default;

public:
};

Ref<NSArray> typesOf(std::initializer_list<Ref<NSString>> types)
{
    std::vector<Id> list(types.begin(), types.end());
    return NSArray::arrayWithVector(std::move(list));
}

}

NS_CLASS_DEFINE(PromisingOwner)
NS_CLASS_DEFINE(TabItem)

class PasteboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        NSPasteboard::resetForTesting();
    }
    void TearDown() override { NSPasteboard::resetForTesting(); }
    TemporaryFolder runtime;
};

TEST_F(PasteboardTest, DeclaredTypesTakeStringsDataAndPropertyLists)
{
    auto board = NSPasteboard::generalPasteboard();
    EXPECT_EQ(board, NSPasteboard::pasteboardWithName(NSGeneralPboard));
    NSInteger before = board->changeCount();
    NSInteger count = board->declareTypes(typesOf({NSStringPboardType, "LiveLinkData"_ns}), nullptr);
    EXPECT_GT(count, before);
    EXPECT_TRUE(board->setString("héllo"_ns, NSStringPboardType));
    auto plist = NSDictionary::dictionaryWithEntries({{"version"_ns, NSNumber::numberWithInteger(2)}});
    EXPECT_TRUE(board->setPropertyList(plist, "LiveLinkData"_ns));
    // Only declared types take data.
    EXPECT_FALSE(board->setString("x"_ns, "other"_ns));

    EXPECT_EQ(board->types()->count(), 2u);
    EXPECT_EQ(board->stringForType(NSPasteboardTypeString)->UTF8String(), "héllo");
    EXPECT_TRUE(board->propertyListForType("LiveLinkData"_ns)->isEqual(plist.get()));
    EXPECT_EQ(board->dataForType(NSStringPboardType)->length(), 6u);
    EXPECT_EQ(board->availableTypeFromArray(typesOf({"nope"_ns, "LiveLinkData"_ns}))->UTF8String(), "LiveLinkData");
    EXPECT_EQ(board->availableTypeFromArray(typesOf({"nope"_ns})), nullptr);
    EXPECT_EQ(board->changeCount(), count);

    board->clearContents();
    EXPECT_EQ(board->types()->count(), 0u);
    EXPECT_EQ(board->stringForType(NSStringPboardType), nullptr);
}

TEST_F(PasteboardTest, TheOwnerGivesDataOnFirstReadAndHearsWhenItLosesThePasteboard)
{
    auto board = NSPasteboard::pasteboardWithName(NSDragPboard);
    auto owner = NSObject::make<PromisingOwner>();
    board->declareTypes(typesOf({"public.text"_ns}), owner);
    EXPECT_EQ(owner->asked, 0);
    EXPECT_EQ(board->stringForType("public.text"_ns)->UTF8String(), "promised");
    EXPECT_EQ(board->stringForType("public.text"_ns)->UTF8String(), "promised");
    EXPECT_EQ(owner->asked, 1);

    board->addTypes(typesOf({"second"_ns}), owner);
    EXPECT_EQ(board->types()->count(), 2u);
    EXPECT_EQ(owner->lost, 0);
    board->declareTypes(typesOf({"public.text"_ns}), nullptr);
    EXPECT_EQ(owner->lost, 1);
    EXPECT_EQ(board->stringForType("public.text"_ns), nullptr);
}

TEST_F(PasteboardTest, WrittenItemsComeBackAsTheSameObjects)
{
    auto board = NSPasteboard::pasteboardWithName(NSDragPboard);
    board->clearContents();
    auto item = NSObject::make<TabItem>();
    item->setStringForType("tab"_ns, "TBCTabBarControlItemPBType"_ns);
    ASSERT_TRUE(board->writeObjects(NSArray::arrayWithObjects({item, "text"_ns})));

    EXPECT_EQ(board->pasteboardItems()->count(), 2u);
    auto items = board->readObjectsForClasses({&TabItem::staticClass()}, nullptr);
    ASSERT_EQ(items->count(), 1u);
    EXPECT_EQ(items->objectAtIndex(0).get(), item.get());
    auto strings = board->readObjectsForClasses({&NSString::staticClass()}, nullptr);
    ASSERT_EQ(strings->count(), 1u);
    EXPECT_TRUE(strings->objectAtIndex(0)->isEqual("text"_ns.get()));
    EXPECT_TRUE(board->canReadItemWithDataConformingToTypes(typesOf({"TBCTabBarControlItemPBType"_ns})));
    EXPECT_FALSE(board->canReadItemWithDataConformingToTypes(typesOf({"ZAKTableGridRowDataType"_ns})));
    // Data set on an item after writing is on the pasteboard.
    item->setStringForType("later"_ns, "more"_ns);
    EXPECT_TRUE(board->canReadItemWithDataConformingToTypes(typesOf({"more"_ns})));
}

TEST_F(PasteboardTest, InvalidUTF8ReadsWithReplacementCharacters)
{
    auto board = NSPasteboard::generalPasteboard();
    board->declareTypes(typesOf({NSStringPboardType}), nullptr);
    // Valid text, a NUL, a lone surrogate encoded in UTF-8, a truncated
    // sequence, an overlong slash.
    const char bytes[] = "ok\0\xED\xA0\x80|\xE2\x82|\xC0\xAF";
    board->setData(NSData::dataWithBytes(bytes, sizeof bytes - 1), NSStringPboardType);
    EXPECT_EQ(board->stringForType(NSStringPboardType)->utf16(),
              std::u16string(u"ok\0\uFFFD\uFFFD\uFFFD|\uFFFD|\uFFFD\uFFFD", 11));
}

TEST_F(PasteboardTest, NamedPasteboardsAreSharedThroughTheirFolder)
{
    auto writer = NSPasteboard::pasteboardWithUniqueName();
    auto name = writer->name();
    EXPECT_NE(name, NSPasteboard::pasteboardWithUniqueName()->name());
    writer->declareTypes(typesOf({"LiveLinkData"_ns, "promised"_ns}), NSObject::make<PromisingOwner>());
    writer->setPropertyList(NSDictionary::dictionaryWithEntries({{"serverName"_ns, "Server"_ns}}), "LiveLinkData"_ns);

    // Another process: the same folder, a pasteboard object of its own.
    NSPasteboard::resetForTesting();
    auto reader = NSPasteboard::pasteboardWithName(name);
    ASSERT_NE(reader.get(), writer.get());
    auto plist = dynamic_ref_cast<NSDictionary>(reader->propertyListForType("LiveLinkData"_ns));
    ASSERT_TRUE(plist);
    EXPECT_EQ(static_ref_cast<NSString>(plist->objectForKey("serverName"_ns))->UTF8String(), "Server");
    // The promise the writer's owner never kept is not offered outside.
    EXPECT_EQ(reader->types()->count(), 1u);

    // A change there shows here, with a new change count.
    NSInteger count = reader->changeCount();
    writer->declareTypes(typesOf({NSStringPboardType}), nullptr);
    writer->setString("edited"_ns, NSStringPboardType);
    EXPECT_EQ(reader->stringForType(NSStringPboardType)->UTF8String(), "edited");
    EXPECT_GT(reader->changeCount(), count);

    reader->releaseGlobally();
    EXPECT_EQ(writer->types()->count(), 0u);
    EXPECT_FALSE(std::filesystem::exists(runtime.path() + "/plumbline-ipc/pasteboards/" + name->UTF8String()));
}
