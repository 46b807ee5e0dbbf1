// The link text view showing the licence agreement, its addresses as links,
// in a scroll view; and the installed alert sounds as the sound manager's
// menu offers them.
#include "AppKit/NSAttributedStringDocumentReading.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextStorage.h"
#include "AppKit/RTFReader.h"
#include "Foundation/NSBundle.h"
#include "FoundationExtensions/ZAKNSMutableAttributedStringExtensions.h"
#include "GalleryPage.h"
#include "ZAKAppKit/URLTextView/URLTextView.h"
#include "ZAKAppKit/ZAKSoundManager/ZAKSoundManager.h"

namespace {

Ref<NSTextStorage> licenceText()
{
    auto path = NSBundle::mainBundle()->pathForResource("ZAKLicense"_ns, "rtf"_ns);
    auto text = path ? NSAttributedStringWithRTF(NSData::dataWithContentsOfFile(path), nullptr) : nullptr;
    auto storage = NSTextStorage::initWithAttributedString(text ? text : NSAttributedString::initWithString(""_ns));
    NSMutableAttributedStringExt::detectURLs(storage, NSColor::blueColor());
    return storage;
}

Ref<NSView> makeLinksPage(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto scroll = static_ref_cast<NSScrollView>(
        NSObject::alloc<NSScrollView>()->initWithFrame(NSMakeRect(20, 60, bounds.size.width - 40, 260)));
    scroll->setHasVerticalScroller(true);
    auto text = static_ref_cast<URLTextView>(
        NSObject::alloc<URLTextView>()->initWithFrame(NSMakeRect(0, 0, bounds.size.width - 56, 260)));
    scroll->setDocumentView(text);
    text->layoutManager()->replaceTextStorage(licenceText());
    root->addSubview(scroll);

    auto sounds =
        static_ref_cast<NSPopUpButton>(NSObject::alloc<NSPopUpButton>()->initWithFrame(NSMakeRect(20, 16, 180, 26)));
    sounds->setMenu(ZAKSoundManager::getSharedSoundManager()->getSoundMenu());
    root->addSubview(sounds);
    return root;
}

}  // namespace

GALLERY_PAGE(links, {"links", "Link text view and alert sounds", {520, 340}, makeLinksPage});
