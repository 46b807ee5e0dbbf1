// Alerts the user can switch off, shown as a sheet over a dimmed window, and
// the progress window as a sheet fed by a worker thread, beside the progress
// indicators it is made of.
#include <chrono>
#include <thread>

#include "AppKit/NSProgressIndicator.h"
#include "AppKit/NSTextField.h"
#include "AppKitExtensions/ZAKNSAlert.Extensions.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKProgressWindowController/NSNotificationCenter+KQProgressWindowController.h"
#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressWindowController.h"
#include "ZAKAppKit/ZAKSheetPresentation/ZAKSheetPresentation.h"

namespace {

Ref<NSTextField> label(const Ref<NSView>& parent, NSRect frame, const char* text)
{
    auto field = static_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(frame));
    field->setStringValue(NSString::stringWithUTF8String(text));
    field->setEditable(false);
    field->setBezeled(false);
    field->setDrawsBackground(false);
    parent->addSubview(field);
    return field;
}

Ref<NSProgressIndicator> indicator(const Ref<NSView>& parent, NSRect frame)
{
    auto view = static_ref_cast<NSProgressIndicator>(NSObject::alloc<NSProgressIndicator>()->initWithFrame(frame));
    parent->addSubview(view);
    return view;
}

// A document-like page: a few lines of text and the indicators.
Ref<NSView> makeIndicators(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    CGFloat y = bounds.size.height - 40;
    for (double value : {0.0, 40.0, 100.0}) {
        label(root, NSMakeRect(20, y, 120, 18), value == 0 ? "Empty" : value == 40 ? "40 %" : "Full");
        auto bar = indicator(root, NSMakeRect(150, y - 1, 300, 20));
        bar->setIndeterminate(false);
        bar->setDoubleValue(value);
        y -= 32;
    }
    label(root, NSMakeRect(20, y, 120, 18), "Indeterminate");
    indicator(root, NSMakeRect(150, y - 1, 300, 20))->startAnimation(nullptr);
    y -= 44;
    label(root, NSMakeRect(20, y + 8, 120, 18), "Spinning");
    auto spinner = indicator(root, NSMakeRect(150, y, 32, 32));
    spinner->setStyle(NSProgressIndicatorSpinningStyle);
    spinner->startAnimation(nullptr);
    auto pie = indicator(root, NSMakeRect(200, y, 32, 32));
    pie->setStyle(NSProgressIndicatorSpinningStyle);
    pie->setIndeterminate(false);
    pie->setDoubleValue(65);
    return root;
}

void showSuppressibleAlert(const Ref<NSWindow>& window)
{
    auto alert = NSObject::make<NSAlert>();
    alert->setMessageText("Remove the guideline set \u201cLayout grid\u201d?"_ns);
    alert->setInformativeText("Its 14 guidelines are removed from every screen."_ns);
    alert->addButtonWithTitle("Remove"_ns);
    alert->addButtonWithTitle("Cancel"_ns);
    ZAKSheetPresentation::sharedSheetPresentation()->prepareSheetPresentationForWindow(window);
    NSAlertExt::zakBeginSheetModalForWindow(
        alert, window, "GalleryRemoveSet"_ns, 1, [window](const Ref<NSAlert>&, NSInteger) {
            ZAKSheetPresentation::sharedSheetPresentation()->cleanUpSheetPresentationForWindow(window);
        });
}

// The worker reports one step after another and then waits for a minute
// (or the Cancel button); the sheet stays up meanwhile.
void showProgressSheet(const Ref<NSWindow>& window)
{
    static Ref<ZAKProgressWindowController> controller = NSObject::make<ZAKProgressWindowController>();
    controller->setupAsDeterminateWithTitle("Exporting guidelines"_ns, 0, 100, 0, true);
    controller->operationQueue()->addOperationWithBlock([] {
        auto center = NSNotificationCenter::defaultCenter();
        auto descriptor = NSNotificationCenterExt::postWillBeginProcessing(
            center, "Exporting guidelines"_ns, "Writing \u201cLayout grid.csv\u201d"_ns, 0, 14, 0, true);
        for (int row = 1; row <= 6; ++row)
            NSNotificationCenterExt::postUpdateProgressDescriptor(
                center, descriptor, double(row), NSString::stringWithFormat("Guideline %d of 14", row));
        for (int i = 0; i < 1200 && !descriptor->isCancelled(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        NSNotificationCenterExt::postDidEndProcessingWithProgressDescriptor(center, descriptor);
    });
    controller->beginProgressSheetForWindow(window, nullptr);
}

}  // namespace

GALLERY_PAGE(alerts, {"alerts", "Alerts", {520, 260}, makeIndicators, showSuppressibleAlert});
GALLERY_PAGE(progress, {"progress", "Progress", {520, 260}, makeIndicators, showProgressSheet});
