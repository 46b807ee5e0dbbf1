// Text fields with a formatter show their value through it; an edit ends
// only with text the formatter reads (else the field beeps and keeps
// editing), and commits what it read. Interface files attach formatters
// with the key "NSFormatter".
#include <filesystem>
#include <fstream>

#include "AppKit/NSNib.h"
#include "AppKit/NSTextField.h"
#include "ControlsFixture.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSNumberFormatter.h"

namespace {

Ref<NSNumberFormatter> twoDecimals()
{
    auto formatter = NSObject::make<NSNumberFormatter>();
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier("en_US"_ns));
    formatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    formatter->setMinimumFractionDigits(2);
    formatter->setMaximumFractionDigits(2);
    return formatter;
}

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : "<nil>"; }

class AcceptingDelegate : public NSObject, public NSControlTextEditingDelegate {
    NS_OBJECT(AcceptingDelegate, NSObject)
protected:
    AcceptingDelegate() = default;

public:
    std::string failedString, failedError;
    std::optional<bool> controlDidFailToFormatStringErrorDescription(const Ref<NSControl>&, const Ref<NSString>& string,
                                                                     const Ref<NSString>& error) override
    {
        failedString = utf8(string);
        failedError = utf8(error);
        return true;
    }
};

}  // namespace

NS_CLASS_DEFINE(AcceptingDelegate)

class FormatterFieldTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        field = add<NSTextField>(NSMakeRect(20, 200, 200, 22));
        field->setFormatter(twoDecimals());
        field->setObjectValue(NSNumber::numberWithDouble(1234.5));
    }
    void retype(const std::u16string& text)
    {
        if (!field->currentEditor()) clickAt(centreOf(field));
        key(kVK_ANSI_A, NSCommandKeyMask);
        type(text);
    }
    Ref<NSTextField> field;
};

TEST_F(FormatterFieldTest, ShowsAndCommitsWhatTheFormatterReads)
{
    EXPECT_EQ(utf8(field->stringValue()), "1,234.50");
    clickAt(centreOf(field));
    ASSERT_TRUE(field->currentEditor());
    EXPECT_EQ(utf8(field->currentEditor()->string()), "1,234.50");

    const int beeps = server().beepCount();
    retype(u"12 apples");
    key(kVK_Return);
    EXPECT_TRUE(field->currentEditor()) << "refused text keeps the editor open";
    EXPECT_EQ(server().beepCount(), beeps + 1);
    EXPECT_EQ(recorder->count, 0);

    retype(u"42.5");
    key(kVK_Return);
    EXPECT_FALSE(field->currentEditor());
    auto value = dynamic_ref_cast<NSNumber>(field->objectValue());
    ASSERT_TRUE(value);
    EXPECT_EQ(value->doubleValue(), 42.5);
    EXPECT_EQ(utf8(field->stringValue()), "42.50");
    EXPECT_EQ(recorder->count, 1);
    EXPECT_EQ(server().beepCount(), beeps + 1);

    // Setting a string parses it; a string the formatter refuses stays as text.
    field->setStringValue("7"_ns);
    EXPECT_TRUE(dynamic_ref_cast<NSNumber>(field->objectValue()));
    EXPECT_EQ(utf8(field->stringValue()), "7.00");
    field->setStringValue("n/a"_ns);
    EXPECT_EQ(utf8(field->stringValue()), "n/a");
}

TEST_F(FormatterFieldTest, DelegateMayAcceptTextTheFormatterRefuses)
{
    auto delegate = NSObject::make<AcceptingDelegate>();
    field->setDelegate(delegate);
    const int beeps = server().beepCount();
    retype(u"lots");
    key(kVK_Tab);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(delegate->failedString, "lots");
    EXPECT_EQ(delegate->failedError, "Invalid number");
    EXPECT_EQ(server().beepCount(), beeps);
    EXPECT_EQ(utf8(field->stringValue()), "lots");
}

TEST_F(FormatterFieldTest, InterfaceFilesAttachFormattersByReference)
{
    const auto dir = std::filesystem::temp_directory_path() / ("formatter-nib-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "Interface");
    std::ofstream(dir / "Interface" / "Field.json") << R"({
      "version": 1,
      "objects": [
        {"id": 1, "class": "NSNumberFormatter",
         "keys": {"NSNumberStyle": 1, "NSLocaleIdentifier": "de_DE", "NSMinimumFractionDigits": 1,
                  "NSMaximumFractionDigits": 1}},
        {"id": 2, "class": "NSTextField",
         "keys": {"NSFrame": {"$rect": [0, 0, 120, 22]}, "NSContents": 2.25, "NSEditable": true,
                  "NSFormatter": {"$ref": 1}}}
      ],
      "topLevelObjects": [{"$ref": 2}]
    })";
    auto nib = NSObject::alloc<NSNib>()->initWithNibNamed(
        "Field"_ns, NSBundle::bundleWithPath(NSString::stringWithUTF8String(dir.string())));
    ASSERT_TRUE(nib);
    Ref<NSArray> top;
    ASSERT_TRUE(nib->instantiateWithOwner(nullptr, &top));
    std::filesystem::remove_all(dir);
    auto loaded = dynamic_ref_cast<NSTextField>(top->objectAtIndex(0));
    ASSERT_TRUE(loaded);
    auto formatter = dynamic_ref_cast<NSNumberFormatter>(loaded->formatter());
    ASSERT_TRUE(formatter);
    EXPECT_EQ(formatter->numberStyle(), NSNumberFormatterDecimalStyle);
    EXPECT_TRUE(formatter->allowsFloats()) << "keys the file leaves out keep their defaults";
    EXPECT_EQ(utf8(loaded->stringValue()), "2,2");
}
