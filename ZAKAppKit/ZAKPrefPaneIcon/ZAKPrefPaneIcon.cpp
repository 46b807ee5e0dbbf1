#include "ZAKAppKit/ZAKPrefPaneIcon/ZAKPrefPaneIcon.h"

#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKPrefPaneIcon)

namespace {

Ref<NSString> copied(const Ref<NSString>& s) { return s ? NSString::stringWithString(s) : nullptr; }

constexpr CGFloat kIconSide = 32;

}

Id ZAKPrefPaneIcon::init() { return initWithIdentifier(""_ns, nullptr, ""_ns); }

Ref<ZAKPrefPaneIcon> ZAKPrefPaneIcon::initWithIdentifier(const Ref<NSString>& identifier, const Ref<NSImage>& image,
                                                         const Ref<NSString>& title)
{
    NSObject::init();
    setItemIdentifier(identifier);
    setImage(image);
    setTitle(title);
    setCategory(""_ns);
    return this;
}

void ZAKPrefPaneIcon::setItemIdentifier(const Ref<NSString>& identifier)
{
    if (identifier != m_itemIdentifier) m_itemIdentifier = copied(identifier);
}

void ZAKPrefPaneIcon::setTitle(const Ref<NSString>& title)
{
    if (title != m_title) m_title = copied(title);
}

void ZAKPrefPaneIcon::setCategory(const Ref<NSString>& category)
{
    if (category != m_category) m_category = copied(category);
}

void ZAKPrefPaneIcon::setImage(const Ref<NSImage>& image)
{
    // Drawn into a flipped 32 x 32 image, then kept as a fresh image of its
    // pixels, so the entry never shares the caller's image.
    auto drawn = NSImage::initWithSize(NSMakeSize(kIconSide, kIconSide));
    drawn->setFlipped(true);
    drawn->lockFocus();
    if (image) image->drawInRect(NSMakeRect(0, 0, kIconSide, kIconSide), NSZeroRect, NSCompositeCopy, 1.0);
    drawn->unlockFocus();
    m_image = NSImage::initWithData(drawn->TIFFRepresentation());
}

NSComparisonResult ZAKPrefPaneIcon::compare(const Ref<ZAKPrefPaneIcon>& other) const
{
    return m_title->compare(other->m_title);
}

NSComparisonResult ZAKPrefPaneIcon::caseInsensitiveCompare(const Ref<ZAKPrefPaneIcon>& other) const
{
    return m_title->caseInsensitiveCompare(other->m_title);
}
