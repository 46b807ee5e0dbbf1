// The crash reporter's dialog.
#include "AppKit/NSApplication.h"
#include "AppKit/NSNib.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSException.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

ZAKCrashReporter::ZAKCrashReporter() = default;
ZAKCrashReporter::~ZAKCrashReporter() = default;

Ref<NSWindow> ZAKCrashReporter::reporterWindow() const { return m_reporterWindow; }
void ZAKCrashReporter::setReporterWindow(const Ref<NSWindow>& window) { m_reporterWindow = window; }
Ref<NSTextView> ZAKCrashReporter::reportTextView() const { return m_reportTextView; }
void ZAKCrashReporter::setReportTextView(const Ref<NSTextView>& view) { m_reportTextView = view; }
Ref<NSTextView> ZAKCrashReporter::describeTextView() const { return m_describeTextView; }
void ZAKCrashReporter::setDescribeTextView(const Ref<NSTextView>& view) { m_describeTextView = view; }

void ZAKCrashReporter::describeClass(NSClassMembers<ZAKCrashReporter>& m)
{
    m.property("reporterWindow", &ZAKCrashReporter::reporterWindow, &ZAKCrashReporter::setReporterWindow);
    m.property("reportTextView", &ZAKCrashReporter::reportTextView, &ZAKCrashReporter::setReportTextView);
    m.property("describeTextView", &ZAKCrashReporter::describeTextView, &ZAKCrashReporter::setDescribeTextView);
    m.action("sendActionAbort:", &ZAKCrashReporter::sendActionAbort);
}

Id ZAKCrashReporter::init()
{
    NSObject::init();
    Ref<NSNib> nib = NSNib::alloc<NSNib>()->initWithNibNamed("ZAKCrashReporter"_ns, nullptr);
    Ref<NSArray> objects;
    if (!nib || !nib->instantiateWithOwner(Id(this), &objects) || !m_reporterWindow)
        NSException::raise("View initialization failed",
                           className()->UTF8String() + ": Could not load views resources!");
    m_topLevelObjects = objects;
    return Id(this);
}

void ZAKCrashReporter::showReporterDialog()
{
    m_reportTextView->setString(NSStringExt::stringWithStrings({lastCrashReport(), "\n\n"_ns, consoleLog()}));
    m_describeTextView->setString(""_ns);
    NSApp->runModalForWindow(m_reporterWindow);
}

void ZAKCrashReporter::endDialog()
{
    m_reporterWindow->orderOut(nullptr);
    NSApp->stopModal();
    storeCheckDate(NSDate::date());
}

void ZAKCrashReporter::sendActionAbort(const Id& sender)
{
    auto control = dynamic_ref_cast<NSView>(sender);
    if (!control || control->tag() != 1) {
        endDialog();
        return;
    }
    auto result = sendReport(m_reportTextView->string(), m_describeTextView->string());
    if (result == ZAKMultipartForm::PostResult::Sent) {
        endDialog();
        return;
    }
    // Not sent: keep the dialog, its texts and the log for later.
    runNotSentAlert(result);
}
