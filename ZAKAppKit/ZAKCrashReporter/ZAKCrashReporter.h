#pragma once
// Offers the program's newest crash log at launch and posts it, with the
// program's console lines and the user's description, to the web form named
// by the main bundle's "ZAKCrashReporterCGIURL".
//
// The class operations find and read the logs and keep the date of the last
// check in the user defaults ("ZAKCrashReporterLastCrashReportDate", seconds
// since 1970 as a double; an older single-precision value still reads). The
// date is stored when the user declines, cancels or the post succeeds, so a
// report that could not be sent is offered again at the next launch.
#include <optional>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSString.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKMultipartForm.h"

// Held by reference only: the text system's and the controls' headers cannot
// share a translation unit yet, so the dialog code is split along them.
class NSTextView;
class NSWindow;

class ZAKCrashReporter : public NSObject {
    NS_OBJECT(ZAKCrashReporter, NSObject)
protected:
    ZAKCrashReporter();

public:
    ~ZAKCrashReporter() override;

    // At launch: offers the newest crash log when it is newer than the last
    // check, and runs the dialog when the user agrees. Never raises; a fault
    // is logged as "Exception during check for crash: ...".
    static void checkForCrash();

    // Loads the interface file "ZAKCrashReporter" with the reporter as its
    // owner; raises "View initialization failed" when it cannot.
    Id init() override;
    // Fills the dialog and runs it modally until it is sent or cancelled.
    void showReporterDialog();
    // The dialog's buttons: tag 1 sends, any other cancels. A report that
    // could not be sent keeps the dialog open with both texts.
    void sendActionAbort(const Id& sender);

    Ref<NSWindow> reporterWindow() const;
    void setReporterWindow(const Ref<NSWindow>& window);
    Ref<NSTextView> reportTextView() const;
    void setReportTextView(const Ref<NSTextView>& view);
    Ref<NSTextView> describeTextView() const;
    void setDescribeTextView(const Ref<NSTextView>& view);
    static void describeClass(NSClassMembers<ZAKCrashReporter>& m);

    // Full path of the crash log to report, or nil.
    static Ref<NSString> pathAndNameOfCrashReportFile();
    // The same for a given system version (old systems keep one file per
    // program).
    static Ref<NSString> pathAndNameOfCrashReportFile(const NSOperatingSystemVersion& version);
    // The text after the log's last separator; "" without a log.
    static Ref<NSString> lastCrashReport();
    // CFBundleExecutable, the localized Info dictionary first.
    static Ref<NSString> applicationName();
    // The console log from the first line naming the program on.
    static Ref<NSString> consoleLog();

    // The stored date of the last check (1970 when none).
    static Ref<NSDate> lastCheckDate();
    static void storeCheckDate(const Ref<NSDate>& date);
    // The modification date of the crash log when it is newer than the last
    // check, else nullopt.
    static Ref<NSDate> dateOfCrashLogToOffer();

    // The question's message: the table's text as a format with the program's
    // name when it holds exactly one "%@" and no other directive, else the
    // text as it stands (a translation cannot make us read missing arguments).
    static Ref<NSString> offerMessage(const Ref<NSString>& text, const Ref<NSString>& name);

    // The fields of a report in the order the web form expects them.
    static ZAKMultipartForm::Fields reportFields(const Ref<NSString>& report, const Ref<NSString>& description);
    // Posts a report; logs when the bundle names no address.
    static ZAKMultipartForm::PostResult sendReport(const Ref<NSString>& report, const Ref<NSString>& description);

private:
    void endDialog();
    // Tells the user the report was not sent; the dialog stays.
    static void runNotSentAlert(ZAKMultipartForm::PostResult result);

    Ref<NSWindow> m_reporterWindow;
    Ref<NSTextView> m_reportTextView;
    Ref<NSTextView> m_describeTextView;
    Ref<NSArray> m_topLevelObjects;
};
