// A typed length ends the edit through the field's measurement formatter, in
// whatever unit the user wrote.
#include "../ValueFixture.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKAppMeasurementNumberFormatter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementTextField.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

namespace {

class MeasurementTextField : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 300, 100), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        window->makeKeyAndOrderFront(nullptr);
        field = static_ref_cast<ZAKAppMeasurementTextField>(
            NSObject::alloc<ZAKAppMeasurementTextField>()->initWithFrame(NSMakeRect(20, 40, 200, 22)));
        window->contentView()->addSubview(field);
        pump();
    }
    void TearDown() override
    {
        window = nullptr;
        WindowingTest::TearDown();
    }
    void retype(const std::u16string& text)
    {
        const NSRect b = field->bounds();
        const NSPoint centre =
            window->convertBaseToScreen(field->convertPointToView(NSMakePoint(NSMidX(b), NSMidY(b)), nullptr));
        if (!field->currentEditor()) {
            server().injectMouse(NSEventTypeLeftMouseDown, centre);
            server().injectMouse(NSEventTypeLeftMouseUp, centre);
            pump();
        }
        key(kVK_ANSI_A, NSCommandKeyMask);
        type(text);
        key(kVK_Return);
    }

    ValueEnvironment m_values;
    Ref<NSWindow> window;
    Ref<ZAKAppMeasurementTextField> field;
};

TEST_F(MeasurementTextField, TypedInchesInACentimetreFieldArePoints)
{
    auto formatter = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    formatter->setNumberOfDigitsAfterPoint(2);
    field->setFormatter(formatter);
    field->setObjectValue(NSNumber::numberWithInt(72));
    EXPECT_EQ(utf8(field->stringValue()), "2.54 cm");

    retype(u"1 in");
    EXPECT_FALSE(field->currentEditor());
    auto value = dynamic_ref_cast<NSNumber>(field->objectValue());
    ASSERT_TRUE(value);
    EXPECT_EQ(value->doubleValue(), 72);
    EXPECT_EQ(utf8(field->stringValue()), "2.54 cm");

    retype(u"10");
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(field->objectValue())->doubleValue(), 283.4645690917969);
}

TEST_F(MeasurementTextField, KeepsThePurposeOfItsInterfaceFile)
{
    EXPECT_EQ(field->calUnitType(), 0);
    field->setCalUnitType(ZAKAppUnitLine);
    EXPECT_EQ(field->calUnitType(), 0) << "the purpose comes from the interface file";

    auto archive = NSKeyedArchiver::archivedDataWithRootObject(field);
    auto text = std::string(reinterpret_cast<const char*>(archive->bytes()), archive->length());
    const std::string stored = "\"_calUnitType\": 0";
    ASSERT_NE(text.find(stored), std::string::npos) << text;
    text.replace(text.find(stored), stored.size(), "\"_calUnitType\": 2");
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&NSView::staticClass());
    allowed.push_back(&NSCell::staticClass());
    allowed.push_back(&NSColor::staticClass());
    auto decoded = dynamic_ref_cast<ZAKAppMeasurementTextField>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSData::dataWithBytes(text.data(), text.size()), allowed));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->calUnitType(), ZAKAppUnitLine);
    // A unit change of its purpose leaves it as it was.
    ZAKApplicationMeasurementCenter::informationCenter()->setMeasurementUnitType(ZAKUnitInch, ZAKAppUnitLine);
    EXPECT_EQ(decoded->calUnitType(), ZAKAppUnitLine);
}

}  // namespace
