#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "Foundation/NSArray.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSUserDefaults.h"
#include "Foundation/NSUserDefaultsController.h"
#include "Foundation/NSValue.h"
#include "Foundation/SignalSource.h"
#include "RunLoopTestSupport.h"
#include "TemporaryFolder.h"

namespace {

// The values a second process must read back exactly.
const char* kText = "Gr\u00FC\u00DFe \u2192 \U0001D11E";
const uint8_t kBytes[] = {0x00, 0xFF, 0x10, 0x80, 0x0A};
const NSTimeInterval kDate = 786000000;  // XML dates carry whole seconds

void storeEveryType(NSUserDefaults& d)
{
    d.setObject(NSString::stringWithUTF8String(kText), "text"_ns);
    d.setInteger(-1, "minusOne"_ns);
    d.setInteger(NSInteger(1) << 40, "twoToTheForty"_ns);
    d.setDouble(0.1, "tenth"_ns);
    d.setFloat(0.56f, "widenedFloat"_ns);
    d.setBool(true, "yes"_ns);
    d.setInteger(1, "one"_ns);
    d.setObject(NSData::dataWithBytes(kBytes, sizeof kBytes), "data"_ns);
    d.setObject(NSDate::dateWithTimeIntervalSinceReferenceDate(kDate), "date"_ns);
    auto inner = NSDictionary::dictionaryWithEntries({{"three"_ns, NSNumber::numberWithDouble(3.5)}});
    d.setObject(NSDictionary::dictionaryWithEntries({
                    {"list"_ns, NSArray::arrayWithObjects({NSNumber::numberWithInteger(1), "two"_ns, inner})},
                    {"empty"_ns, NSArray::array()},
                }),
                "nested"_ns);
}

void expectEveryType(NSUserDefaults& d)
{
    EXPECT_EQ(d.stringForKey("text"_ns)->UTF8String(), kText);
    EXPECT_EQ(d.integerForKey("minusOne"_ns), -1);
    EXPECT_EQ(d.integerForKey("twoToTheForty"_ns), NSInteger(1) << 40);
    EXPECT_EQ(std::bit_cast<uint64_t>(d.doubleForKey("tenth"_ns)), std::bit_cast<uint64_t>(0.1));
    EXPECT_EQ(std::bit_cast<uint64_t>(d.doubleForKey("widenedFloat"_ns)), std::bit_cast<uint64_t>((double)0.56f));
    EXPECT_EQ(std::bit_cast<uint32_t>(d.floatForKey("widenedFloat"_ns)), std::bit_cast<uint32_t>(0.56f));
    auto yes = dynamic_ref_cast<NSNumber>(d.objectForKey("yes"_ns));
    auto one = dynamic_ref_cast<NSNumber>(d.objectForKey("one"_ns));
    ASSERT_TRUE(yes && one);
    EXPECT_EQ(yes->kind(), NSNumber::Kind::Bool);
    EXPECT_NE(one->kind(), NSNumber::Kind::Bool);
    EXPECT_EQ(one->integerValue(), 1);
    auto data = d.dataForKey("data"_ns);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->vector(), std::vector<uint8_t>(std::begin(kBytes), std::end(kBytes)));
    auto date = dynamic_ref_cast<NSDate>(d.objectForKey("date"_ns));
    ASSERT_TRUE(date);
    EXPECT_EQ(date->timeIntervalSinceReferenceDate(), kDate);
    auto nested = d.dictionaryForKey("nested"_ns);
    ASSERT_TRUE(nested);
    auto list = dynamic_ref_cast<NSArray>(nested->objectForKey("list"_ns));
    ASSERT_TRUE(list && list->count() == 3);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(list->objectAtIndex(0))->integerValue(), 1);
    EXPECT_TRUE(dynamic_ref_cast<NSString>(list->objectAtIndex(1))->isEqualToString("two"_ns));
    auto three = dynamic_ref_cast<NSDictionary>(list->objectAtIndex(2));
    ASSERT_TRUE(three);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(three->objectForKey("three"_ns))->doubleValue(), 3.5);
    auto empty = dynamic_ref_cast<NSArray>(nested->objectForKey("empty"_ns));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->count(), 0u);
}

// Runs this test program again with only `filter`, the variable set, and its
// output in a file; answers the exit status and the output.
std::pair<int, std::string> runChild(const std::string& filter, const char* variable, const std::string& value,
                                     const std::string& outputFile)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv(variable, value.c_str(), 1);
        ::unsetenv("GTEST_OUTPUT");  // the child must not overwrite the parent's report
        int fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        std::string arg = "--gtest_filter=" + filter;
        ::execl("/proc/self/exe", "FoundationTests", arg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outputFile).value_or("")};
}

}

TEST(UserDefaultsFile, ASecondProcessReadsBackEveryTypeExactly)
{
    TemporaryFolder folder;
    std::string file = folder / "org.example.Test.plist";
    {
        auto d = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file));
        d->registerDefaults(NSDictionary::dictionaryWithEntries({{"RegisteredOnly"_ns, "never written"_ns}}));
        storeEveryType(*d);
        expectEveryType(*d);  // visible at once, before any write
        ASSERT_TRUE(d->synchronize());
    }
    std::string xml = readFile(file).value_or("");
    EXPECT_EQ(xml.find("RegisteredOnly"), std::string::npos);
    EXPECT_EQ(xml.find("never written"), std::string::npos);

    auto [status, output] = runChild("UserDefaultsFileChild.ReadsBackWhatTheParentWrote", "PLUMBLINE_DEFAULTS_CHILD",
                                     file, folder / "child.log");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

// The reading half of the test above; it runs only in the child process.
TEST(UserDefaultsFileChild, ReadsBackWhatTheParentWrote)
{
    const char* file = ::getenv("PLUMBLINE_DEFAULTS_CHILD");
    if (!file) GTEST_SKIP() << "runs as the second process of ASecondProcessReadsBackEveryTypeExactly";
    auto d = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file));
    expectEveryType(*d);
    EXPECT_FALSE(d->objectForKey("RegisteredOnly"_ns));
}

TEST(UserDefaultsFile, NothingIsWrittenWhenNothingChanged)
{
    TemporaryFolder folder;
    std::string file = folder / "d.plist";
    auto d = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file));
    d->registerDefaults(NSDictionary::dictionaryWithEntries({{"a"_ns, NSNumber::numberWithInteger(1)}}));
    EXPECT_TRUE(d->synchronize());
    NSUserDefaults::synchronizeAllIfChanged();
    EXPECT_FALSE(std::filesystem::exists(file)) << "registration alone must not create the file";

    d->setObject("v"_ns, "k"_ns);
    EXPECT_TRUE(d->hasUnsavedChanges());
    NSUserDefaults::synchronizeAllIfChanged();
    EXPECT_FALSE(d->hasUnsavedChanges());
    struct stat before { };
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    // Each write replaces the file by a rename, so an unchanged inode means
    // no write happened.
    d->setObject("v"_ns, "k"_ns);  // the same value again
    d->removeObjectForKey("not there"_ns);
    EXPECT_TRUE(d->synchronize());
    NSUserDefaults::synchronizeAllIfChanged();
    struct stat after { };
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // YES replacing 1 is a change, though the two compare equal.
    d->setInteger(1, "n"_ns);
    d->synchronize();
    d->setBool(true, "n"_ns);
    EXPECT_TRUE(d->hasUnsavedChanges());
}

TEST(UserDefaultsFile, ApplicationDomainHidesRegistrationAndRemovalUncoversIt)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    d->registerDefaults(
        NSDictionary::dictionaryWithEntries({{"k"_ns, "registered"_ns}, {"r"_ns, "only registered"_ns}}));
    d->setObject("stored"_ns, "k"_ns);
    EXPECT_TRUE(d->stringForKey("k"_ns)->isEqualToString("stored"_ns));
    auto all = d->dictionaryRepresentation();
    EXPECT_TRUE(dynamic_ref_cast<NSString>(all->objectForKey("k"_ns))->isEqualToString("stored"_ns));
    EXPECT_TRUE(all->objectForKey("r"_ns));
    d->removeObjectForKey("k"_ns);
    EXPECT_TRUE(d->stringForKey("k"_ns)->isEqualToString("registered"_ns));
    d->setObject(nullptr, "r"_ns);  // nil removes; the registered value stays
    EXPECT_TRUE(d->stringForKey("r"_ns)->isEqualToString("only registered"_ns));
}

TEST(UserDefaults, TypedGettersConvertLikeThePlatform)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    d->registerDefaults(NSDictionary::dictionaryWithEntries({
        {"str42abc"_ns, "42abc"_ns},
        {"real39"_ns, NSNumber::numberWithDouble(3.9)},
        {"strYES"_ns, "YES"_ns},
        {"str1"_ns, "1"_ns},
        {"num1"_ns, NSNumber::numberWithInteger(1)},
        {"strNO"_ns, "NO"_ns},
        {"str25"_ns, " 2.5"_ns},
        {"num5"_ns, NSNumber::numberWithInteger(5)},
        {"data"_ns, NSData::data()},
    }));
    EXPECT_EQ(d->integerForKey("str42abc"_ns), 42);
    EXPECT_EQ(d->integerForKey("real39"_ns), 3);
    EXPECT_EQ(d->integerForKey("data"_ns), 0);
    EXPECT_EQ(d->integerForKey("absent"_ns), 0);
    EXPECT_TRUE(d->boolForKey("strYES"_ns));
    EXPECT_TRUE(d->boolForKey("str1"_ns));
    EXPECT_TRUE(d->boolForKey("num1"_ns));
    EXPECT_FALSE(d->boolForKey("strNO"_ns));
    EXPECT_FALSE(d->boolForKey("absent"_ns));
    EXPECT_EQ(d->floatForKey("absent"_ns), 0.0f);
    EXPECT_EQ(d->doubleForKey("absent"_ns), 0.0);
    EXPECT_EQ(d->doubleForKey("str25"_ns), 2.5);
    EXPECT_EQ(d->floatForKey("real39"_ns), 3.9f);
    EXPECT_TRUE(d->stringForKey("num5"_ns)->isEqualToString("5"_ns));
    EXPECT_FALSE(d->stringForKey("data"_ns));
    EXPECT_FALSE(d->arrayForKey("str1"_ns));
    EXPECT_FALSE(d->dictionaryForKey("str1"_ns));
    EXPECT_FALSE(d->dataForKey("str1"_ns));
    EXPECT_TRUE(d->dataForKey("data"_ns));
}

TEST(UserDefaults, OnlyPropertyListValuesCanBeStoredAndContainersAreCopied)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    auto expectRejected = [&](const Id& value) {
        try {
            d->setObject(value, "bad"_ns);
            ADD_FAILURE() << "accepted " << value->description()->UTF8String();
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
        }
    };
    expectRejected(NSValue::valueWithPoint({1, 2}));
    expectRejected(NSArray::arrayWithObject(NSNull::null()));
    expectRejected(NSDictionary::dictionaryWithEntries({{NSNumber::numberWithInteger(1), "v"_ns}}));
    expectRejected(NSString::stringWithUTF16(std::u16string(u"a\0b", 3)));
    EXPECT_FALSE(d->objectForKey("bad"_ns));
    EXPECT_FALSE(d->hasUnsavedChanges());

    auto list = NSMutableArray::arrayWithObjects({"a"_ns});
    d->setObject(list, "list"_ns);
    list->addObject("b"_ns);
    EXPECT_EQ(d->arrayForKey("list"_ns)->count(), 1u);
}

TEST(UserDefaults, StandardDefaultsLiveInTheConfigFolderUnderTheBundleIdentifier)
{
    TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder / "config");
    NSUserDefaults::resetStandardUserDefaults();
    auto d = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(d->path()->UTF8String(), folder / "config/org.plumbline.Plumbline.plist");
    EXPECT_EQ(NSUserDefaults::standardUserDefaults(), d);
    d->setInteger(7, "seven"_ns);
    NSUserDefaults::synchronizeAllIfChanged();  // what the run loop does at the end of a turn
    EXPECT_NE(readFile(folder / "config/org.plumbline.Plumbline.plist").value_or("").find("seven"), std::string::npos);

    d->setInteger(8, "eight"_ns);
    NSUserDefaults::resetStandardUserDefaults();  // writes what is pending
    auto again = NSUserDefaults::standardUserDefaults();
    EXPECT_NE(again, d);
    EXPECT_EQ(again->integerForKey("eight"_ns), 8);
    NSUserDefaults::resetStandardUserDefaults();
}

TEST(UserDefaultsController, ValuesReadAndWriteTheDefaultsByKey)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    d->registerDefaults(NSDictionary::dictionaryWithEntries({{"width"_ns, NSNumber::numberWithInteger(3)}}));
    auto controller = NSObject::alloc<NSUserDefaultsController>()->initWithDefaults(d);
    EXPECT_EQ(controller->defaults(), d);
    Id values = controller->values();
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(values->valueForKey("width"_ns))->integerValue(), 3);
    values->setValueForKey(NSNumber::numberWithInteger(9), "width"_ns);
    EXPECT_EQ(d->integerForKey("width"_ns), 9);
    d->setObject("direct"_ns, "name"_ns);
    EXPECT_TRUE(
        dynamic_ref_cast<NSString>(controller->valueForKeyPath("values.name"_ns))->isEqualToString("direct"_ns));
    values->setValueForKey(nullptr, "width"_ns);
    EXPECT_EQ(d->integerForKey("width"_ns), 3);
}

TEST(UserDefaultsController, SharedControllerServesTheStandardDefaults)
{
    TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.path());
    NSUserDefaults::resetStandardUserDefaults();
    auto shared = NSUserDefaultsController::sharedUserDefaultsController();
    EXPECT_EQ(shared, NSUserDefaultsController::sharedUserDefaultsController());
    EXPECT_EQ(shared->defaults(), NSUserDefaults::standardUserDefaults());
    NSUserDefaults::resetStandardUserDefaults();
}

TEST(PropertyListSerialization, ReadsBackKindsAndRejectsWhatIsNotAPropertyList)
{
    auto plist = NSDictionary::dictionaryWithEntries({
        {"b"_ns, NSNumber::numberWithBool(false)},
        {"i"_ns, NSNumber::numberWithInteger(INT64_MIN)},
        {"r"_ns, NSNumber::numberWithDouble(-2.5e-300)},
        {"inf"_ns, NSNumber::numberWithDouble(INFINITY)},
        {"s"_ns, "<&>\"\t\r\n\x01"_ns},
    });
    Ref<NSError> error;
    auto data = NSPropertyListSerialization::dataWithPropertyList(plist, NSPropertyListXMLFormat_v1_0, 0, &error);
    ASSERT_TRUE(data);
    auto back = dynamic_ref_cast<NSDictionary>(
        NSPropertyListSerialization::propertyListWithData(data, NSPropertyListImmutable, nullptr, &error));
    ASSERT_TRUE(back);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(back->objectForKey("b"_ns))->kind(), NSNumber::Kind::Bool);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(back->objectForKey("i"_ns))->integerValue(), INT64_MIN);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(back->objectForKey("r"_ns))->doubleValue(), -2.5e-300);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(back->objectForKey("inf"_ns))->doubleValue(), INFINITY);
    EXPECT_TRUE(dynamic_ref_cast<NSString>(back->objectForKey("s"_ns))->isEqualToString("<&>\"\t\r\n\x01"_ns));
    EXPECT_FALSE(dynamic_ref_cast<NSMutableDictionary>(back));
    auto mutableBack =
        NSPropertyListSerialization::propertyListWithData(data, NSPropertyListMutableContainers, nullptr, nullptr);
    EXPECT_TRUE(dynamic_ref_cast<NSMutableDictionary>(mutableBack));

    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(NSArray::arrayWithObject(NSNull::null()),
                                                                   NSPropertyListXMLFormat_v1_0, 0, &error));
    EXPECT_EQ(error->code(), NSPropertyListWriteInvalidError);
    for (const char* bad : {"", "<plist><dict><key>a</key>", "not xml at all"}) {
        error = nullptr;
        EXPECT_FALSE(NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(bad, std::strlen(bad)), 0,
                                                                       nullptr, &error))
            << bad;
        ASSERT_TRUE(error) << bad;
        EXPECT_EQ(error->code(), NSPropertyListReadCorruptError);
    }
}

namespace {

// What the file holds for the key now, read by a defaults object of its own.
std::string storedText(const TemporaryFolder& folder, const char* key)
{
    auto text =
        NSUserDefaults::defaultsWithPath(folder.ns("d.plist"))->stringForKey(NSString::stringWithUTF8String(key));
    return text ? text->UTF8String() : "(none)";
}

ino_t inodeOf(const std::string& file)
{
    struct stat st { };
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

using UserDefaultsRunLoop = VirtualClockTest;

}

TEST_F(UserDefaultsRunLoop, AChangeReachesTheFileAtTheEndOfTheTurnThatMadeIt)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    d->setObject("one"_ns, "k"_ns);
    EXPECT_FALSE(std::filesystem::exists(folder / "d.plist")) << "no turn has ended, so nothing is written";

    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_FALSE(d->hasUnsavedChanges());
    EXPECT_EQ(storedText(folder, "k"), "one");

    // A turn that changed nothing leaves the file alone (each write renames a
    // new file into place, so the inode would change).
    const ino_t written = inodeOf(folder / "d.plist");
    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_EQ(inodeOf(folder / "d.plist"), written);

    // Turns of the other common modes write too.
    d->setObject("two"_ns, "k"_ns);
    loop->runModeBeforeDate(NSEventTrackingRunLoopMode, NSDate::date());
    EXPECT_EQ(storedText(folder, "k"), "two");
    d->removeObjectForKey("k"_ns);
    loop->runModeBeforeDate(NSModalPanelRunLoopMode, NSDate::date());
    EXPECT_EQ(storedText(folder, "k"), "(none)");
}

TEST_F(UserDefaultsRunLoop, ATerminationSignalWritesChangesBeforeTheHandlerRuns)
{
    TemporaryFolder folder;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    std::string storedWhenHandled;
    SignalSource::setTerminationHandler([&](int) { storedWhenHandled = storedText(folder, "k"); });
    d->setObject("kept"_ns, "k"_ns);
    ASSERT_EQ(::raise(SIGTERM), 0);
    loop->runUntilIdle();
    SignalSource::setTerminationHandler(nullptr);
    EXPECT_EQ(storedWhenHandled, "kept");
}

TEST(UserDefaults, TheGlobalDomainIsSearchedBetweenTheApplicationAndTheRegistrationDomains)
{
    TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.path());
    writeFile(folder / ".GlobalPreferences.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>AppleAquaColorVariant</key><integer>6</integer><key>shared</key><string>global</string>"
              "</dict></plist>\n");
    NSUserDefaults::resetStandardUserDefaults();
    auto d = NSUserDefaults::standardUserDefaults();
    d->registerDefaults(
        NSDictionary::dictionaryWithEntries({{"shared"_ns, "registered"_ns}, {"onlyRegistered"_ns, "registered"_ns}}));
    EXPECT_EQ(d->integerForKey("AppleAquaColorVariant"_ns), 6);
    EXPECT_EQ(d->stringForKey("shared"_ns)->UTF8String(), std::string("global"));
    EXPECT_EQ(d->stringForKey("onlyRegistered"_ns)->UTF8String(), std::string("registered"));
    d->setObject("own"_ns, "shared"_ns);
    EXPECT_EQ(d->stringForKey("shared"_ns)->UTF8String(), std::string("own"));
    EXPECT_FALSE(d->persistentDomain()->objectForKey("AppleAquaColorVariant"_ns));  // not copied in

    // Replacing the global domain is announced, and reaches its own file.
    int notices = 0;
    Id token = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSUserDefaultsDidChangeNotification), nullptr, nullptr,
        [&](const Ref<NSNotification>&) { ++notices; });
    d->setPersistentDomain(
        NSDictionary::dictionaryWithEntries({{"AppleAquaColorVariant"_ns, NSNumber::numberWithInteger(1)}}),
        NSGlobalDomain);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    EXPECT_GT(notices, 0);
    EXPECT_EQ(d->integerForKey("AppleAquaColorVariant"_ns), 1);
    EXPECT_EQ(d->persistentDomainForName(NSGlobalDomain)->count(), 1u);
    EXPECT_FALSE(d->persistentDomainForName("com.example.other"_ns));
    NSUserDefaults::synchronizeAllIfChanged();
    const std::string global = readFile(folder / ".GlobalPreferences.plist").value_or("");
    EXPECT_EQ(global.find("shared"), std::string::npos);
    EXPECT_NE(global.find("AppleAquaColorVariant"), std::string::npos);
    NSUserDefaults::resetStandardUserDefaults();
}
