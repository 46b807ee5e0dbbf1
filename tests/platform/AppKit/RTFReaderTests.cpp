// Rich text read into attributed strings: the text a table of documents
// gives, the character formats, and malformed documents refused.
#include <gtest/gtest.h>

#include "AppKit/NSAttributedStringDocumentReading.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSFontManager.h"
#include "AppKit/RTFReader.h"
#include "Foundation/NSNumber.h"

namespace {

Ref<NSData> bytes(const std::string& s) { return NSData::dataWithBytes(s.data(), s.size()); }

Ref<NSAttributedString> read(const std::string& rtf) { return NSAttributedStringWithRTF(bytes(rtf), nullptr); }

std::u16string textOf(const Ref<NSAttributedString>& s) { return s->string()->utf16(); }

}  // namespace

TEST(RTFReader, DocumentsGiveTheirText)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {R"({\rtf1\ansi Hello, world.})", u"Hello, world."},
        {R"({\rtf1 one\par two\line three\tab four})", u"one\ntwo\u2028three\tfour"},
        {"{\\rtf1 line\nbreaks\r\nin the source}", u"linebreaksin the source"},
        {R"({\rtf1 escaped \\ \{ and \}})", u"escaped \\ { and }"},
        {R"({\rtf1 caf\'e9 \'80 \'a0})", u"caf\u00e9 \u20ac \u00a0"},
        {R"({\rtf1 \u8364? and \uc2\u8212 ab then \uc0\u233 e})", u"\u20ac and \u2014 then \u00e9e"},
        {R"({\rtf1 \u-10179?\u-8704? end})", u"\U0001F600 end"},
        {R"({\rtf1 \uc1\u20013\'3f rest})", u"\u4e2d rest"},
        {R"({\rtf1{\fonttbl{\f0\fswiss Helvetica;}}{\colortbl;\red255\green0\blue0;}{\*\generator X;}{\info{\title T}}Body})",
         u"Body"},
        {R"({\rtf1 a{\*\unknowndestination skipped {nested}}b\unknownword c})", u"abc"},
        {R"({\rtf1 \ldblquote q\rdblquote \emdash \bullet  \~x})", u"\u201cq\u201d\u2014\u2022 \u00a0x"},
        {"  \n{\\rtf1 leading space}", u"leading space"},
    };
    for (const auto& [rtf, expected] : cases) {
        auto string = read(rtf);
        ASSERT_NE(string, nullptr) << rtf;
        EXPECT_EQ(textOf(string), expected) << rtf;
    }
}

TEST(RTFReader, MalformedDocumentsAreRefused)
{
    for (const std::string rtf :
         {"", "plain text", "{\\rtf1 unclosed", "{\\rtf1 \\'zz}", "{\\rtf1 \\'4", "{\\rtf1 \\f-}", "{\\rtf"})
        EXPECT_EQ(read(rtf), nullptr) << rtf;

    // Through document reading: an error, nothing read.
    Ref<NSError> error;
    auto options = NSDictionary::dictionaryWithEntries({{NSDocumentTypeDocumentOption(), NSRTFTextDocumentType()}});
    EXPECT_EQ(NSAttributedStringWithDocumentData(bytes("{\\rtf1 broken"), options, nullptr, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), NSFileReadCorruptFileError);
}

TEST(RTFReader, CharacterFormatsBecomeAttributes)
{
    auto s = read(R"({\rtf1\deff0{\fonttbl{\f0\fswiss DejaVu Sans;}{\f1\fmodern DejaVu Sans Mono;}})"
                  R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
                  R"(plain {\b bold} {\i\fs36 big italic} {\ul under}\ulnone  {\f1 mono} {\cf1 red}\cf2 blue})");
    ASSERT_NE(s, nullptr);
    const std::u16string text = textOf(s);
    auto at = [&](const std::u16string& word) { return static_cast<NSUInteger>(text.find(word)); };
    auto font = [&](const std::u16string& word) {
        return static_ref_cast<NSFont>(s->attributeAtIndex(NSFontAttributeName, at(word), nullptr));
    };
    auto traits = [&](const std::u16string& word) {
        return NSFontManager::sharedFontManager()->traitsOfFont(font(word));
    };
    EXPECT_EQ(font(u"plain")->pointSize(), 12);
    EXPECT_FALSE(traits(u"plain") & NSBoldFontMask);
    EXPECT_TRUE(traits(u"bold") & NSBoldFontMask);
    EXPECT_TRUE(traits(u"big") & NSItalicFontMask);
    EXPECT_EQ(font(u"big")->pointSize(), 18);
    EXPECT_FALSE(traits(u"under") & NSBoldFontMask) << "a group's format ends with it";
    EXPECT_NE(font(u"mono")->fontName()->UTF8String().find("Mono"), std::string::npos);
    auto underline =
        dynamic_ref_cast<NSNumber>(s->attributeAtIndex(NSUnderlineStyleAttributeName, at(u"under"), nullptr));
    ASSERT_NE(underline, nullptr);
    EXPECT_EQ(underline->integerValue(), NSUnderlineStyleSingle);
    EXPECT_EQ(s->attributeAtIndex(NSUnderlineStyleAttributeName, at(u"mono"), nullptr), nullptr);
    auto red = static_ref_cast<NSColor>(s->attributeAtIndex(NSForegroundColorAttributeName, at(u"red"), nullptr));
    EXPECT_DOUBLE_EQ(red->redComponent(), 1.0);
    EXPECT_DOUBLE_EQ(red->blueComponent(), 0.0);
    auto blue = static_ref_cast<NSColor>(s->attributeAtIndex(NSForegroundColorAttributeName, at(u"blue"), nullptr));
    EXPECT_DOUBLE_EQ(blue->blueComponent(), 1.0);
    EXPECT_EQ(s->attributeAtIndex(NSForegroundColorAttributeName, at(u"plain"), nullptr), nullptr);

    Ref<NSDictionary> attributes;
    ASSERT_NE(NSAttributedStringWithDocumentData(bytes("{\\rtf1 x}"), nullptr, &attributes, nullptr), nullptr);
    EXPECT_TRUE(static_ref_cast<NSString>(attributes->objectForKey(NSDocumentTypeDocumentAttribute()))
                    ->isEqualToString(NSRTFTextDocumentType()));
}
