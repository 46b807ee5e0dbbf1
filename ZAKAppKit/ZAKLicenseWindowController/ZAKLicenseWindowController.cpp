#include "ZAKAppKit/ZAKLicenseWindowController/ZAKLicenseWindowController.h"

#include <mutex>

#include "AppKit/NSAttributedStringDocumentReading.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSTextStorage.h"
#include "AppKit/RTFReader.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "FoundationExtensions/ZAKNSMutableAttributedStringExtensions.h"

NS_CLASS_DEFINE(ZAKLicenseWindowController)

namespace {

// The controller lives as long as the process: its one reference is kept
// here, and every caller shares it.
struct SharedController {
    std::mutex lock;
    Ref<ZAKLicenseWindowController> controller;
};

SharedController& shared()
{
    static auto* holder = new SharedController;
    return *holder;
}

}  // namespace

void ZAKLicenseWindowController::describeClass(NSClassMembers<ZAKLicenseWindowController>& m)
{
    m.outlet("textView", &ZAKLicenseWindowController::m_textView);
    m.action("showLicenseWindow:", &ZAKLicenseWindowController::showLicenseWindow);
}

Ref<ZAKLicenseWindowController> ZAKLicenseWindowController::sharedLicenseWindow()
{
    std::lock_guard guard(shared().lock);
    if (!shared().controller)
        shared().controller = static_ref_cast<ZAKLicenseWindowController>(make<ZAKLicenseWindowController>());
    return shared().controller;
}

Id ZAKLicenseWindowController::init() { return initWithWindowNibName("ZAKLicense"_ns); }

void ZAKLicenseWindowController::showLicenseWindow(const Id&)
{
    auto window = sharedLicenseWindow()->window();
    if (!window) return;
    window->center();
    sharedLicenseWindow()->showWindow(nullptr);
}

void ZAKLicenseWindowController::awakeFromNib()
{
    NSWindowController::awakeFromNib();
    auto bundle = NSBundle::bundleForClass(classRecord());
    if (m_textView) {
        auto path = bundle->pathForResource("ZAKLicense"_ns, "rtf"_ns);
        auto data = path ? NSData::dataWithContentsOfFile(path) : nullptr;
        auto options = NSDictionary::dictionaryWithEntries({{NSDocumentTypeDocumentOption(), NSRTFTextDocumentType()}});
        auto text = data ? NSAttributedStringWithDocumentData(data, options, nullptr, nullptr) : nullptr;
        auto storage = NSTextStorage::initWithAttributedString(text ? text : NSAttributedString::initWithString(""_ns));
        NSMutableAttributedStringExt::detectURLs(storage, NSColor::blueColor());
        if (auto manager = m_textView->layoutManager()) manager->replaceTextStorage(storage);
    }
    auto key = "ZAKLWCWindowTitle"_ns;
    auto format = bundle->localizedStringForKey(key, ""_ns, "ZAKLicenseWindowController"_ns);
    if (format->isEqualToString(key)) format = ""_ns;  // not in the table
    auto name = dynamic_ref_cast<NSString>(NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleName"_ns));
    if (auto w = loadedWindow()) w->setTitle(NSString::stringWithFormat(format, name ? name : ""_ns));
}
