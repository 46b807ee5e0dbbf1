#include <cmath>
#include <limits>

#include "../ValueFixture.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

namespace {

using Units = ValueTest;

TEST_F(Units, ConversionsCarrySinglePrecision)
{
    struct Case {
        NSInteger from, to;
        double value, expected;
    } cases[] = {
        {ZAKUnitInch, ZAKUnitMillimeter, 1, 25.399999618530273},
        {ZAKUnitCentimeter, ZAKUnitPoint, 10, 283.4645690917969},
        {ZAKUnitPoint, ZAKUnitInch, 144, 2},
        {ZAKUnitMeter, ZAKUnitCentimeter, 1, 100},
        {ZAKUnitMillimeter, ZAKUnitPoint, 210, 595.2755737304688},
        // Unknown source units are points, unknown targets give 0.
        {9, ZAKUnitInch, 72, 1},
        {-1, ZAKUnitPoint, 5, 5},
        {ZAKUnitInch, 5, 1, 0},
        {ZAKUnitInch, -3, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZAKConvertUnitValue(c.from, c.to, c.value), c.expected) << c.from << "->" << c.to << " " << c.value;
    for (NSInteger from = -1; from <= 6; ++from)
        for (NSInteger to = -1; to <= 6; ++to) EXPECT_EQ(ZAKConvertUnitValue(from, to, 0), 0);
    EXPECT_TRUE(std::isnan(ZAKConvertUnitValue(ZAKUnitInch, ZAKUnitPoint, std::nan(""))));
}

TEST_F(Units, GeometryConvertsEachComponent)
{
    const NSRect rect = ZAKConvertUnitRect(ZAKUnitInch, ZAKUnitPoint, NSMakeRect(1, 2, 0.5, 10));
    EXPECT_EQ(rect.origin.x, 72);
    EXPECT_EQ(rect.origin.y, 144);
    EXPECT_EQ(rect.size.width, 36);
    EXPECT_EQ(rect.size.height, 720);
    const NSPoint point = ZAKConvertUnitPoint(ZAKUnitPoint, ZAKUnitMillimeter, NSMakePoint(72, 0));
    EXPECT_EQ(point.x, 25.399999618530273);
    EXPECT_EQ(point.y, 0);
    const NSSize size = ZAKConvertUnitSize(ZAKUnitMillimeter, ZAKUnitPoint, NSMakeSize(210, 297));
    EXPECT_EQ(size.width, 595.2755737304688);
    EXPECT_EQ(size.height, 841.8897705078125);
}

TEST_F(Units, NamesComeFromTheStringTable)
{
    const char* identifiers[] = {"ZAKUnitPointType", "ZAKUnitMeterType", "ZAKUnitCentimeterType",
                                 "ZAKUnitMillimeterType", "ZAKUnitInchType"};
    const char* shortNames[] = {"pt", "m", "cm", "mm", "in"};
    for (NSInteger unit = 0; unit <= 4; ++unit) {
        EXPECT_EQ(utf8(ZAKUnitTypeIdentifier(unit)), identifiers[unit]);
        EXPECT_EQ(utf8(ZAKLocalizedUnitShortName(unit)), shortNames[unit]);
    }
    EXPECT_EQ(utf8(ZAKLocalizedUnitName(ZAKUnitMillimeter)), "Millimeters");
    for (NSInteger unit : {-1, 5}) {
        EXPECT_FALSE(ZAKUnitTypeIdentifier(unit));
        EXPECT_FALSE(ZAKLocalizedUnitName(unit));
        EXPECT_FALSE(ZAKLocalizedUnitShortName(unit));
    }
}

TEST_F(Units, TypedUnitsAreRecognised)
{
    struct Case {
        const char* entry;
        NSInteger unit;  // -1: not recognised
    } cases[] = {
        {"12,5 mm", ZAKUnitMillimeter},
        {"12.5mm", ZAKUnitMillimeter},
        {"mm", ZAKUnitMillimeter},
        {" 3\tin\n", ZAKUnitInch},
        {"1 m", ZAKUnitMeter},
        {"2.54cm", ZAKUnitCentimeter},
        {"10 pt", ZAKUnitPoint},
        {"12 km", -1},
        {"12 mmm", -1},
        {"12", -1},
        {"", -1},
    };
    for (const Case& c : cases) {
        NSInteger unit = 42;
        const bool found = ZAKUnitTypeFromShortName(NSString::stringWithUTF8String(c.entry), &unit);
        EXPECT_EQ(found, c.unit >= 0) << c.entry;
        EXPECT_EQ(unit, c.unit >= 0 ? c.unit : 42) << c.entry;
    }
    EXPECT_FALSE(ZAKUnitTypeFromShortName(nullptr, nullptr));
}

struct NotificationSpy {
    Ref<NSMutableArray> objects = NSMutableArray::array();
    Id token;
    NotificationSpy()
    {
        token = NSNotificationCenter::defaultCenter()->addObserverForName(
            ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(), nullptr, nullptr,
            [this](const Ref<NSNotification>& note) { objects->addObject(note->object()); });
    }
    ~NotificationSpy() { NSNotificationCenter::defaultCenter()->removeObserver(token); }
};

using MeasurementCenter = ValueTest;

TEST_F(MeasurementCenter, PurposesStartAtTheirRegisteredUnits)
{
    auto center = ZAKApplicationMeasurementCenter::informationCenter();
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(ZAKAppUnitPage), 2);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(ZAKAppUnitFont), 0);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(ZAKAppUnitLine), 3);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(ZAKAppUnitTextRuler), 3);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(4), 0);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(-1), 0);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("ZAKICPageUnitMeasurementType"_ns), 2);
}

TEST_F(MeasurementCenter, IsOneObject)
{
    auto center = ZAKApplicationMeasurementCenter::informationCenter();
    EXPECT_EQ(NSObject::make<ZAKApplicationMeasurementCenter>().get(), center.get());
    EXPECT_TRUE(center->hasSharedInstances());
}

TEST_F(MeasurementCenter, SettingStoresAndAnnounces)
{
    NotificationSpy spy;
    auto center = ZAKApplicationMeasurementCenter::informationCenter();
    center->setMeasurementUnitType(ZAKUnitInch, ZAKAppUnitLine);
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(ZAKAppUnitLine), ZAKUnitInch);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("ZAKICLineUnitMeasurementType"_ns), ZAKUnitInch);
    // Purpose 7 stores nothing but is still announced.
    center->setMeasurementUnitType(ZAKUnitInch, 7);
    ASSERT_EQ(spy.objects->count(), 2u);
    EXPECT_TRUE(spy.objects->objectAtIndex(0)->isEqual(NSNumber::numberWithInt(ZAKAppUnitLine).get()));
    EXPECT_TRUE(spy.objects->objectAtIndex(1)->isEqual(NSNumber::numberWithInt(7).get()));
    EXPECT_EQ(center->measurementUnitTypeForZAKAppUnitType(7), 0);
    for (int32_t purpose : {ZAKAppUnitPage, ZAKAppUnitFont, ZAKAppUnitTextRuler})
        EXPECT_NE(center->measurementUnitTypeForZAKAppUnitType(purpose), ZAKUnitInch);
}

}  // namespace
