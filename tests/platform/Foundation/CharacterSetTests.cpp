#include <gtest/gtest.h>

#include "Foundation/NSCharacterSet.h"

TEST(CharacterSet, StandardSetsByUnicodeCategory)
{
    struct Case {
        Ref<NSCharacterSet> set;
        UTF32Char c;
        bool member;
    };
    auto ws = NSCharacterSet::whitespaceCharacterSet();
    auto nl = NSCharacterSet::newlineCharacterSet();
    auto wsnl = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    auto digits = NSCharacterSet::decimalDigitCharacterSet();
    auto punct = NSCharacterSet::punctuationCharacterSet();
    auto letters = NSCharacterSet::letterCharacterSet();
    auto alnum = NSCharacterSet::alphanumericCharacterSet();
    auto upper = NSCharacterSet::uppercaseLetterCharacterSet();
    auto lower = NSCharacterSet::lowercaseLetterCharacterSet();
    const Case cases[] = {
        {ws, ' ', true},         {ws, '\t', true},        {ws, 0x00A0, true},    {ws, 0x3000, true},
        {ws, '\n', false},       {ws, 0x200B, false},     {nl, '\n', true},      {nl, '\r', true},
        {nl, 0x0B, true},        {nl, 0x0C, true},        {nl, 0x0085, true},    {nl, 0x2028, true},
        {nl, 0x2029, true},      {nl, ' ', false},        {nl, '\t', false},     {wsnl, ' ', true},
        {wsnl, 0x2029, true},    {wsnl, 'a', false},      {digits, '7', true},   {digits, 0x0663, true},
        {digits, 0xFF15, true},  {digits, 0x00BD, false}, {digits, 'a', false},  {punct, '!', true},
        {punct, 0x00BF, true},   {punct, '$', false},     {punct, '+', false},   {letters, 0x00E9, true},
        {letters, 0x0301, true}, {letters, 0x4E2D, true}, {letters, '1', false}, {letters, 0x1D400, true},
        {alnum, '1', true},      {alnum, 0x00BD, true},   {alnum, '_', false},   {upper, 'A', true},
        {upper, 0x01C5, true},   {upper, 'a', false},     {lower, 'a', true},    {lower, 0x00DF, true},
        {lower, 'A', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.c);
        EXPECT_EQ(c.set->longCharacterIsMember(c.c), c.member);
        if (c.c <= 0xFFFF) {
            EXPECT_EQ(c.set->characterIsMember(static_cast<unichar>(c.c)), c.member);
        }
    }
    EXPECT_EQ(NSCharacterSet::whitespaceCharacterSet().get(), ws.get());
}

TEST(CharacterSet, CustomSetsWorkOnCodePoints)
{
    auto emoji = NSCharacterSet::characterSetWithCharactersInString(u"a\U0001F600"_ns);
    EXPECT_TRUE(emoji->longCharacterIsMember(0x1F600));
    EXPECT_TRUE(emoji->characterIsMember(u'a'));
    EXPECT_FALSE(emoji->characterIsMember(0xD83D));  // never half a pair

    auto range = NSCharacterSet::characterSetWithRange(NSMakeRange('a', 3));
    EXPECT_TRUE(range->characterIsMember(u'c'));
    EXPECT_FALSE(range->characterIsMember(u'd'));
    EXPECT_FALSE(range->characterIsMember(u'`'));

    auto inverted = range->invertedSet();
    EXPECT_FALSE(inverted->characterIsMember(u'b'));
    EXPECT_TRUE(inverted->characterIsMember(u'd'));
    EXPECT_TRUE(inverted->longCharacterIsMember(0x10FFFF));
    EXPECT_FALSE(NSCharacterSet::letterCharacterSet()->invertedSet()->characterIsMember(u'x'));

    auto set = NSMutableCharacterSet::characterSet();
    set->addCharactersInString("xyz"_ns);
    set->addCharactersInRange(NSMakeRange('0', 10));
    set->removeCharactersInString("y5"_ns);
    Id snapshot = set->copy();
    set->formUnionWithCharacterSet(NSCharacterSet::whitespaceCharacterSet());
    EXPECT_TRUE(set->characterIsMember(u'x'));
    EXPECT_FALSE(set->characterIsMember(u'y'));
    EXPECT_TRUE(set->characterIsMember(u'9'));
    EXPECT_FALSE(set->characterIsMember(u'5'));
    EXPECT_TRUE(set->characterIsMember(u' '));
    set->formIntersectionWithCharacterSet(NSCharacterSet::decimalDigitCharacterSet());
    EXPECT_FALSE(set->characterIsMember(u'x'));
    EXPECT_TRUE(set->characterIsMember(u'0'));
    set->removeCharactersInRange(NSMakeRange('0', 2));
    EXPECT_FALSE(set->characterIsMember(u'1'));
    set->invert();
    EXPECT_TRUE(set->characterIsMember(u'1'));
    EXPECT_FALSE(set->characterIsMember(u'2'));

    // The copy is immutable and kept apart from later changes.
    auto frozen = dynamic_ref_cast<NSCharacterSet>(snapshot);
    ASSERT_TRUE(frozen);
    EXPECT_FALSE(dynamic_cast<NSMutableCharacterSet*>(frozen.get()));
    EXPECT_TRUE(frozen->characterIsMember(u'x'));
    EXPECT_FALSE(frozen->characterIsMember(u' '));
    EXPECT_EQ(frozen->copy().get(), frozen.get());
    EXPECT_TRUE(frozen->isEqual(
        NSCharacterSet::characterSetWithCharactersInString("xz012346789"_ns)->invertedSet()->invertedSet().get()));

    auto thawed = dynamic_ref_cast<NSMutableCharacterSet>(NSCharacterSet::whitespaceCharacterSet()->mutableCopy());
    ASSERT_TRUE(thawed);
    thawed->addCharactersInString("-"_ns);
    EXPECT_TRUE(thawed->characterIsMember(u'-'));
    EXPECT_FALSE(NSCharacterSet::whitespaceCharacterSet()->characterIsMember(u'-'));
}
