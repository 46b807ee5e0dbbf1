// Attribute edits made through a base-class reference reach the primitives a
// subclass overrides, and a text storage processes them as one edit.
#include <gtest/gtest.h>

#include "AppKit/NSTextStorage.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

namespace {

class PrimitiveRecorder : public NSMutableAttributedString {
    NS_OBJECT(PrimitiveRecorder, NSMutableAttributedString)
protected:
    PrimitiveRecorder() = default;

public:
    std::vector<NSRange> attributeEdits;
    int outermostEnds = 0;
    int depth = 0;
    void setAttributes(const Ref<NSDictionary>& attributes, NSRange range) override
    {
        attributeEdits.push_back(range);
        NSMutableAttributedString::setAttributes(attributes, range);
    }
    void beginEditing() override { ++depth; }
    void endEditing() override
    {
        if (--depth == 0) ++outermostEnds;
    }
};
NS_CLASS_DEFINE(PrimitiveRecorder)

class StorageObserver : public NSObject, public NSTextStorageDelegate {
    NS_OBJECT(StorageObserver, NSObject)
protected:
    StorageObserver() = default;

public:
    std::vector<std::pair<NSUInteger, NSRange>> processed;  // mask, edited range
    void textStorageDidProcessEditing(const Ref<NSNotification>& n) override
    {
        auto storage = static_ref_cast<NSTextStorage>(n->object());
        processed.push_back({storage->editedMask(), storage->editedRange()});
    }
};
NS_CLASS_DEFINE(StorageObserver)

Ref<NSDictionary> attrs(const char* key, const char* value)
{
    return NSDictionary::dictionaryWithObjectForKey(NSString::stringWithUTF8String(value),
                                                    NSString::stringWithUTF8String(key));
}

}

TEST(CoreTextStorage, AttributeMutatorsGoThroughSetAttributesRunByRun)
{
    auto s = NSObject::alloc<PrimitiveRecorder>();
    // "aaaabbbb": two runs.
    s->replaceCharactersInRange(NSMakeRange(0, 0), NSAttributedString::initWithString("aaaa"_ns, attrs("k", "1")));
    s->replaceCharactersInRange(NSMakeRange(4, 0), NSAttributedString::initWithString("bbbb"_ns, attrs("k", "2")));
    Ref<NSMutableAttributedString> base = s;

    base->addAttribute("f"_ns, "x"_ns, NSMakeRange(2, 4));
    EXPECT_EQ(s->attributeEdits.size(), 2u);
    EXPECT_EQ(s->outermostEnds, 1);
    base->addAttributes(attrs("g", "y"), NSMakeRange(0, 8));  // over four runs now
    base->removeAttribute("f"_ns, NSMakeRange(3, 1));
    ASSERT_EQ(s->attributeEdits.size(), 7u);
    EXPECT_EQ(s->attributeEdits[0].location, 2u);
    EXPECT_EQ(s->attributeEdits[0].length, 2u);
    EXPECT_EQ(s->attributeEdits[1].location, 4u);
    EXPECT_EQ(s->attributeEdits[1].length, 2u);
    EXPECT_EQ(s->attributeEdits[6].location, 3u);
    EXPECT_EQ(s->attributeEdits[6].length, 1u);
    EXPECT_EQ(s->outermostEnds, 3);

    // The result is what the edits say, whatever path they took.
    EXPECT_TRUE(s->attributeAtIndex("f"_ns, 2, nullptr)->isEqual("x"_ns.get()));
    EXPECT_FALSE(s->attributeAtIndex("f"_ns, 3, nullptr));
    EXPECT_TRUE(s->attributeAtIndex("f"_ns, 5, nullptr)->isEqual("x"_ns.get()));
    EXPECT_FALSE(s->attributeAtIndex("f"_ns, 6, nullptr));
    EXPECT_TRUE(s->attributeAtIndex("k"_ns, 7, nullptr)->isEqual("2"_ns.get()));
    EXPECT_TRUE(s->attributeAtIndex("g"_ns, 0, nullptr)->isEqual("y"_ns.get()));

    // Out of range still raises, and an empty range edits nothing.
    EXPECT_THROW(base->addAttribute("f"_ns, "x"_ns, NSMakeRange(6, 3)), NSException);
    EXPECT_THROW(base->removeAttribute("f"_ns, NSMakeRange(9, 0)), NSException);
    base->removeAttribute("g"_ns, NSMakeRange(8, 0));
    EXPECT_EQ(s->attributeEdits.size(), 7u);
}

TEST(CoreTextStorage, TextStorageHearsAttributeEditsMadeThroughTheBaseClass)
{
    auto storage = NSTextStorage::initWithString("hello world"_ns, attrs("k", "1"));
    storage->addAttribute("k"_ns, "2"_ns, NSMakeRange(6, 5));  // two runs now
    auto observer = NSObject::make<StorageObserver>();
    auto delegate = static_ref_cast<StorageObserver>(observer);
    storage->setDelegate(observer);
    Ref<NSMutableAttributedString> base = storage;

    base->addAttribute("u"_ns, "1"_ns, NSMakeRange(3, 6));
    base->removeAttribute("k"_ns, NSMakeRange(0, 2));
    base->addAttributes(attrs("v", "1"), NSMakeRange(10, 1));
    // One processing per call, covering the whole edited range.
    ASSERT_EQ(delegate->processed.size(), 3u);
    EXPECT_EQ(delegate->processed[0].first, NSUInteger(NSTextStorageEditedAttributes));
    EXPECT_EQ(delegate->processed[0].second.location, 3u);
    EXPECT_EQ(delegate->processed[0].second.length, 6u);
    EXPECT_EQ(delegate->processed[1].second.location, 0u);
    EXPECT_EQ(delegate->processed[1].second.length, 2u);
    EXPECT_EQ(delegate->processed[2].second.location, 10u);
}
