#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

#include <unistd.h>

#include "Foundation/LogLocations.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSDirectoryEnumerator.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(ZAKCrashReporter)

static Ref<NSString> lastReportDateKey() { return "ZAKCrashReporterLastCrashReportDate"_ns; }

static Ref<NSString> reportSeparator() { return "\n\n**********\n\n"_ns; }

static Ref<NSString> infoString(const Ref<NSDictionary>& info, const Ref<NSString>& key)
{
    if (!info) return nullptr;
    auto value = dynamic_ref_cast<NSString>(info->objectForKey(key));
    return value && value->length() > 0 ? value : nullptr;
}

static Ref<NSString> executableName()
{
    return infoString(NSBundle::mainBundle()->infoDictionary(), "CFBundleExecutable"_ns);
}

static Ref<NSDate> modificationDate(const Ref<NSDictionary>& attributes)
{
    return attributes ? dynamic_ref_cast<NSDate>(attributes->objectForKey(NSFileModificationDate())) : nullptr;
}

Ref<NSString> ZAKCrashReporter::pathAndNameOfCrashReportFile()
{
    return pathAndNameOfCrashReportFile(NSProcessInfo::processInfo()->operatingSystemVersion());
}

Ref<NSString> ZAKCrashReporter::pathAndNameOfCrashReportFile(const NSOperatingSystemVersion& version)
{
    Ref<NSString> folder = PathForPlatformLogPath("~/Library/Logs/CrashReporter/"_ns->stringByExpandingTildeInPath());
    Ref<NSString> name = executableName();
    if (!name) return nullptr;
    if (version.majorVersion < 10 || version.minorVersion <= 4)
        return folder->stringByAppendingPathComponent(NSString::stringWithFormat("%@.crash.log", name));

    Ref<NSString> prefix = NSString::stringWithFormat("%@_", name);
    Ref<NSDirectoryEnumerator> entries = NSFileManager::defaultManager()->enumeratorAtPath(folder);
    if (!entries) return nullptr;
    Ref<NSString> newest;
    Ref<NSDate> newestDate;
    while (auto entry = dynamic_ref_cast<NSString>(entries->nextObject())) {
        if (!entry->hasPrefix(prefix) || !entry->hasSuffix(".crash"_ns)) continue;
        Ref<NSDate> date = modificationDate(entries->fileAttributes());
        if (!date) continue;
        // Equal dates keep the entry enumerated first.
        if (newestDate && date->compare(newestDate) <= 0) continue;
        newest = entry;
        newestDate = date;
    }
    return newest ? folder->stringByAppendingPathComponent(newest) : nullptr;
}

Ref<NSString> ZAKCrashReporter::lastCrashReport()
{
    Ref<NSString> path = pathAndNameOfCrashReportFile();
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(path)) return ""_ns;
    Ref<NSData> data = NSData::dataWithContentsOfFile(path);
    Ref<NSString> text = data ? NSString::stringWithData(data, NSUTF8StringEncoding) : nullptr;
    if (!text) return "*** Couldn't read Report ***"_ns;
    Ref<NSArray> pieces = text->componentsSeparatedByString(reportSeparator());
    return dynamic_ref_cast<NSString>(pieces->lastObject());
}

Ref<NSString> ZAKCrashReporter::applicationName()
{
    Ref<NSBundle> bundle = NSBundle::mainBundle();
    if (Ref<NSString> name = infoString(bundle->localizedInfoDictionary(), "CFBundleExecutable"_ns)) return name;
    Ref<NSString> name = executableName();
    return name ? name : ""_ns;
}

Ref<NSString> ZAKCrashReporter::consoleLog()
{
    Ref<NSString> path = PathForPlatformLogPath(
        NSString::stringWithFormat("/Library/Logs/Console/%d/console.log", static_cast<int>(getuid())));
    Ref<NSData> data = NSData::dataWithContentsOfFile(path);
    Ref<NSString> text = data ? NSString::stringWithData(data, NSUTF8StringEncoding) : nullptr;
    if (!text) return ""_ns;
    Ref<NSString> marker = NSString::stringWithFormat("%@[", applicationName());
    Ref<NSArray> lines = text->componentsSeparatedByString("\n"_ns);
    for (NSUInteger i = 0; i < lines->count(); ++i) {
        auto line = dynamic_ref_cast<NSString>(lines->objectAtIndex(i));
        if (line->rangeOfString(marker).location == NSNotFound) continue;
        return lines->subarrayWithRange(NSMakeRange(i, lines->count() - i))->componentsJoinedByString("\n"_ns);
    }
    return ""_ns;
}

Ref<NSDate> ZAKCrashReporter::lastCheckDate()
{
    return NSDate::dateWithTimeIntervalSince1970(
        NSUserDefaults::standardUserDefaults()->doubleForKey(lastReportDateKey()));
}

void ZAKCrashReporter::storeCheckDate(const Ref<NSDate>& date)
{
    Ref<NSUserDefaults> defaults = NSUserDefaults::standardUserDefaults();
    defaults->setDouble(date->timeIntervalSince1970(), lastReportDateKey());
    defaults->synchronize();
}

Ref<NSDate> ZAKCrashReporter::dateOfCrashLogToOffer()
{
    Ref<NSString> path = pathAndNameOfCrashReportFile();
    if (!path) return nullptr;
    Ref<NSDate> logDate = modificationDate(NSFileManager::defaultManager()->attributesOfItemAtPath(path, nullptr));
    if (!logDate) return nullptr;
    if (lastCheckDate()->compare(logDate) >= 0) return nullptr;
    return logDate;
}

Ref<NSString> ZAKCrashReporter::offerMessage(const Ref<NSString>& text, const Ref<NSString>& name)
{
    std::string format = text ? text->UTF8String() : std::string();
    size_t objects = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 < format.size() && format[i + 1] == '@') {
            ++objects;
            ++i;
            continue;
        }
        return text;  // any other directive, "%%" included
    }
    return objects == 1 ? NSString::stringWithFormat(text, name) : (text ? text : ""_ns);
}

ZAKMultipartForm::Fields ZAKCrashReporter::reportFields(const Ref<NSString>& report, const Ref<NSString>& description)
{
    return {{"crashlog", report ? report->UTF8String() : ""},
            {"description", description ? description->UTF8String() : ""}};
}

ZAKMultipartForm::PostResult ZAKCrashReporter::sendReport(const Ref<NSString>& report, const Ref<NSString>& description)
{
    Ref<NSString> address = infoString(NSBundle::mainBundle()->infoDictionary(), "ZAKCrashReporterCGIURL"_ns);
    auto result = ZAKMultipartForm::post(address, "ZAKCrashReporter", reportFields(report, description), false);
    if (result == ZAKMultipartForm::PostResult::NoAddress)
        NSLog("No address for crash reports is configured (ZAKCrashReporterCGIURL); the report is kept");
    return result;
}
