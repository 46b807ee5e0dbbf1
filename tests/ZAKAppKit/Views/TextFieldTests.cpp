#include <gtest/gtest.h>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSParagraphStyle.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSNumberFormatter.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKTextFields/NSTextField+ZAKNSTextFieldExtension.h"
#include "ZAKAppKit/ZAKTextFields/ZAKAutoCompleteTextField.h"
#include "ZAKAppKit/ZAKTextFields/ZAKNumberTextField.h"
#include "ZAKAppKit/ZAKTextFields/ZAKURLClickField.h"

namespace {

Ref<ZAKNumberTextField> numberField()
{
    return dynamic_ref_cast<ZAKNumberTextField>(
        NSObject::alloc<ZAKNumberTextField>()->initWithFrame(NSMakeRect(0, 0, 120, 22)));
}

std::string unit(const char* key)
{
    return NSBundle::bundleForClassNamed("ZAKNumberTextField")
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKNumberTextField"_ns)
        ->UTF8String();
}

std::string shown(const Ref<NSTextField>& field) { return field->stringValue()->UTF8String(); }

}

TEST(NumberTextField, ANewFieldShowsZeroWithFourDecimalsAndThePercentUnit)
{
    const std::string percent = unit("ZAKNumberTextFieldPercentChar");
    ASSERT_FALSE(percent.empty());
    auto field = numberField();
    EXPECT_EQ(field->showNumberType(), 1);
    EXPECT_EQ(field->numberOfDigitsAfterPoint(), 4u);
    EXPECT_EQ(shown(field), "0.0000" + percent);
    // The unit is text: a half stays a half.
    field->setDoubleValue(0.5);
    EXPECT_EQ(shown(field), "0.5000" + percent);
    EXPECT_EQ(field->inspectorClassName()->UTF8String(), std::string("ZAKNumberTextFieldInspector"));

    field->setMinimum(NSNumber::numberWithDouble(0));
    field->setMaximum(NSNumber::numberWithDouble(1));
    EXPECT_EQ(field->maximum()->doubleValue(), 1);
    auto formatter = dynamic_ref_cast<NSNumberFormatter>(field->formatter());
    ASSERT_TRUE(formatter);
    EXPECT_EQ(formatter->minimum()->doubleValue(), 0);
    EXPECT_TRUE(formatter->localizesFormat());
    EXPECT_FALSE(formatter->hasThousandSeparators());
}

TEST(NumberTextField, FormatsFollowTheDecimalsAndTheUnitType)
{
    const std::string degree = unit("ZAKNumberTextFieldDegreeChar");
    const std::string third = unit("ZAKNumberTextFieldPDIChar");
    struct Case {
        int32_t type;
        uint32_t digits;
        std::string format;
    } cases[] = {
        {0, 0, "#0"},         {0, 2, "#0.00"},       {2, 1, "#0.0" + degree},
        {3, 0, "#0" + third}, {-1, 0, "#0" + third}, {0, 25, "#0." + std::string(20, '0')},
    };
    auto field = numberField();
    for (const auto& c : cases) {
        field->setShowNumberType(c.type);
        field->setNumberOfDigitsAfterPoint(c.digits);
        auto formatter = dynamic_ref_cast<NSNumberFormatter>(field->formatter());
        EXPECT_EQ(formatter->format()->UTF8String(), c.format) << c.type << " " << c.digits;
    }
    EXPECT_EQ(field->numberOfDigitsAfterPoint(), 20u);
}

TEST(NumberTextField, KeyedArchivesKeepTheUnitAndDecimals)
{
    auto field = numberField();
    field->setShowNumberType(2);
    field->setNumberOfDigitsAfterPoint(2);
    EXPECT_EQ(themed_cells::ownKeys(field, "ZAKNumberTextField"),
              (std::vector<std::string>{"showType", "numberOfDigitsAfterPoint"}));
    auto keyed = dynamic_ref_cast<ZAKNumberTextField>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(field)));
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->showNumberType(), 2);
    EXPECT_EQ(keyed->numberOfDigitsAfterPoint(), 2u);
    EXPECT_EQ(dynamic_ref_cast<NSNumberFormatter>(keyed->formatter())->format()->UTF8String(),
              "#0.00" + unit("ZAKNumberTextFieldDegreeChar"));
}

class FieldWindowTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 120), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        window->makeKeyAndOrderFront(nullptr);
        pump();
    }
    Ref<NSWindow> window;
};

TEST_F(FieldWindowTest, TheURLFieldOpensItsAddressOnAClick)
{
    auto field = dynamic_ref_cast<ZAKURLClickField>(
        NSObject::alloc<ZAKURLClickField>()->initWithFrame(NSMakeRect(10, 10, 200, 20)));
    field->setStringValue("Plumbline"_ns);
    EXPECT_FALSE(field->isEditable());
    EXPECT_FALSE(field->isSelectable());
    EXPECT_FALSE(field->isBordered());
    EXPECT_FALSE(field->isBezeled());
    EXPECT_EQ(field->URLString()->length(), 0u);
    window->contentView()->addSubview(field);
    pump();

    struct Case {
        const char* url;
        bool opens;
    } cases[] = {{"https://example.org/plumbline", true}, {"not a url at all", false}};
    for (const auto& c : cases) {
        field->setURLString(NSString::stringWithUTF8String(c.url));
        const size_t before = server().openedURLs().size();
        click(window->convertBaseToScreen(field->convertPointToView(NSMakePoint(20, 10), nullptr)));
        ASSERT_EQ(server().openedURLs().size(), before + (c.opens ? 1 : 0)) << c.url;
        if (c.opens) EXPECT_EQ(server().openedURLs().back(), c.url);
    }

    // Archives keep the address and the label's look.
    field->setURLString("https://example.org/"_ns);
    auto back = dynamic_ref_cast<ZAKURLClickField>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(field)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->URLString()->UTF8String(), std::string("https://example.org/"));
    EXPECT_FALSE(back->isSelectable());
}

TEST_F(FieldWindowTest, TheURLFieldShowsThePointingHandOverItsBounds)
{
    auto field = dynamic_ref_cast<ZAKURLClickField>(
        NSObject::alloc<ZAKURLClickField>()->initWithFrame(NSMakeRect(10, 10, 200, 20)));
    window->contentView()->addSubview(field);
    pump();
    server().injectMouse(NSEventTypeMouseMoved,
                         window->convertBaseToScreen(field->convertPointToView(NSMakePoint(100, 10), nullptr)));
    pump();
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::pointingHandCursor());
}

TEST_F(FieldWindowTest, TheCompletingFieldAsksForCompletionAfterALetterOnly)
{
    auto field = dynamic_ref_cast<ZAKAutoCompleteTextField>(
        NSObject::alloc<ZAKAutoCompleteTextField>()->initWithFrame(NSMakeRect(10, 10, 200, 22)));
    window->contentView()->addSubview(field);
    window->makeFirstResponder(field);
    pump();
    ASSERT_TRUE(field->currentEditor());
    // Nothing in the text completes "zq", so every request beeps once.
    auto keyUp = [&](const std::u16string& characters) {
        const int before = server().beepCount();
        field->keyUp(NSEvent::keyEventWithType(NSEventTypeKeyUp, NSZeroPoint, 0, 0, window->windowNumber(), nullptr,
                                               NSString::stringWithUTF16(characters),
                                               NSString::stringWithUTF16(characters), false, 0));
        return server().beepCount() - before;
    };
    field->currentEditor()->setString("zq"_ns);
    field->currentEditor()->setSelectedRange(NSMakeRange(2, 0));
    struct Case {
        std::u16string characters;
        int asks;
    } cases[] = {
        {u"q", 1},
        {u"\t", 0},
        {u"\r", 0},
        {u"\x7f", 0},
        {std::u16string(1, char16_t(NSLeftArrowFunctionKey)), 0},
        {std::u16string(1, char16_t(NSRightArrowFunctionKey)), 0},
        {u"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keyUp(c.characters), c.asks) << int(c.characters.empty() ? 0 : c.characters[0]);
}

TEST(TextFieldExtension, MarkingRecoloursAndKeepsTextAndAlignment)
{
    auto field =
        dynamic_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(0, 0, 100, 22)));
    field->setStringValue("Marked"_ns);
    field->setAlignment(NSRightTextAlignment);
    field->cell()->setControlSize(NSSmallControlSize);
    NSTextFieldExt::markTextField(field, NSColor::redColor());
    EXPECT_EQ(field->stringValue()->UTF8String(), std::string("Marked"));
    EXPECT_EQ(field->alignment(), NSRightTextAlignment);
    auto text = dynamic_ref_cast<NSAttributedString>(field->objectValue());
    ASSERT_TRUE(text);
    auto attributes = text->attributesAtIndex(0, nullptr);
    auto color = dynamic_ref_cast<NSColor>(attributes->objectForKey(NSForegroundColorAttributeName));
    ASSERT_TRUE(color);
    EXPECT_EQ(color->redComponent(), 1);
    EXPECT_EQ(color->greenComponent(), 0);
    EXPECT_EQ(dynamic_ref_cast<NSFont>(attributes->objectForKey(NSFontAttributeName))->pointSize(),
              NSFont::systemFontSizeForControlSize(NSSmallControlSize));
    auto style = dynamic_ref_cast<NSParagraphStyle>(attributes->objectForKey(NSParagraphStyleAttributeName));
    ASSERT_TRUE(style);
    EXPECT_EQ(style->alignment(), NSRightTextAlignment);
}
