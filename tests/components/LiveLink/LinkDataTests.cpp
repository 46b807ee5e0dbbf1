// The link data a client keeps, the item keys and the exceptions.
#include <gtest/gtest.h>

#include "Foundation/Clock.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "LiveLink/LiveLink.h"
#include "LiveLink/LiveLinkServer.h"
#include "LiveLink/NSDictionary+LiveLinkData.h"

namespace {

std::vector<std::string> keysOf(const Ref<NSDictionary>& d)
{
    std::vector<std::string> keys;
    auto all = d->allKeys();
    for (NSUInteger i = 0; i < all->count(); ++i)
        keys.push_back(dynamic_ref_cast<NSString>(all->objectAtIndex(i))->UTF8String());
    return keys;
}

std::string reasonOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const NSException& e) {
        return e.nameUTF8() + ": " + e.reasonUTF8();
    }
    return "no exception";
}

}

TEST(LinkData, KeysComeInTheirOrderWithVersionAAndRefreshZeroByDefault)
{
    auto data = LiveLinkDataCreate("Upper"_ns, "item"_ns);
    EXPECT_EQ(keysOf(data),
              (std::vector<std::string>{"bundleId", "serverName", "version", "serverAppName", "appData", "refresh"}));
    EXPECT_EQ(LiveLinkData::liveLinkVersion(data)->UTF8String(), "A");
    EXPECT_EQ(LiveLinkData::liveLinkSuggestedRefreshRate(data), 0.0f);
    EXPECT_TRUE(LiveLinkDataIsOwnApplication(data));
    EXPECT_EQ(dynamic_ref_cast<NSString>(LiveLinkDataAppData(data))->UTF8String(), "item");
    EXPECT_FALSE(LiveLinkData::liveLinkApplicationURL(data));
    EXPECT_EQ(LiveLinkData::liveLinkActionName(data)->UTF8String(), "Edit");

    auto refreshing = LiveLinkData::liveLinkDataWithServerName("Upper"_ns, nullptr, 2.5f);
    EXPECT_EQ(keysOf(refreshing), (std::vector<std::string>{"bundleId", "serverName", "version", "serverAppName",
                                                            "serverActionKey", "refresh"}));
    EXPECT_EQ(LiveLinkData::liveLinkSuggestedRefreshRate(refreshing), 2.5f);
    const std::string app = LiveLinkData::liveLinkSourceApplicationName(refreshing)->UTF8String();
    EXPECT_EQ(LiveLinkData::liveLinkEditMenuTitle(refreshing)->UTF8String(), "Refresh in " + app);
    EXPECT_EQ(LiveLinkMultipleItemsMenuTitle()->UTF8String(), "Edit LiveLink Items");
    EXPECT_EQ(LiveLinkNoItemMenuTitle()->UTF8String(), "Edit LiveLink Item");
}

TEST(LinkData, MalformedDataAndAMissingServerNameRaiseTheirExceptions)
{
    EXPECT_EQ(reasonOf([] { LiveLinkDataCreate(nullptr, "x"_ns); }),
              "NSInvalidArgumentException: LiveLink Data cannot be created without a server name.");
    EXPECT_EQ(reasonOf([] { LiveLink::editLiveLinkData("text"_ns, "doc"_ns, nullptr, "k"_ns); }),
              "NSInvalidArgumentException: LiveLinkData is not of the correct format: text");
    auto noLink = NSObject::alloc<LiveLink>()->initClientWithSourceName("doc"_ns, nullptr, "k"_ns);
    EXPECT_EQ(reasonOf([&] { noLink->requestEdit(); }),
              "NSGenericException: tried to request edit from a live link not connect to a server.");
    EXPECT_EQ(reasonOf([&] { noLink->sendEdit(); }),
              "NSGenericException: tried to request edit from a live link not connect to a server.");
}

TEST(LinkData, ItemKeysOfOneSecondDifferInTheirCounter)
{
    Clock::useVirtualClock(800000000.25);
    auto first = LiveLinkNewItemKey()->UTF8String();
    auto second = LiveLinkNewItemKey()->UTF8String();
    EXPECT_EQ(first, "org.plumbline.Plumbline800000000.0000");
    EXPECT_EQ(second, "org.plumbline.Plumbline800000000.0001");
}

TEST(LinkData, AServerListIsOneNameOrAnArrayOfNames)
{
    EXPECT_TRUE(LiveLinkServerListContainsName("Upper"_ns, "Upper"_ns));
    EXPECT_FALSE(LiveLinkServerListContainsName("Lower"_ns, "Upper"_ns));
    EXPECT_TRUE(LiveLinkServerListContainsName(NSArray::arrayWithObjects({"Lower"_ns, "Upper"_ns}), "Upper"_ns));
    EXPECT_FALSE(LiveLinkServerListContainsName(NSArray::arrayWithObjects({"Lower"_ns}), "Upper"_ns));
    EXPECT_FALSE(LiveLinkServerListContainsName(nullptr, "Upper"_ns));
}
