#pragma once
// One entry of the preference window's icon view: identifier, title,
// category, a 32 x 32 icon and the target and selector its choice invokes.
// Entries sort by title.
#include "AppKit/NSImage.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class ZAKPrefPaneIcon : public NSObject {
    NS_OBJECT(ZAKPrefPaneIcon, NSObject)
protected:
    ZAKPrefPaneIcon() = default;

public:
    // Empty identifier and title, no image.
    Id init() override;
    Ref<ZAKPrefPaneIcon> initWithIdentifier(const Ref<NSString>& identifier, const Ref<NSImage>& image,
                                            const Ref<NSString>& title);

    Ref<NSString> itemIdentifier() const { return m_itemIdentifier; }
    void setItemIdentifier(const Ref<NSString>& identifier);
    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& title);
    Ref<NSString> category() const { return m_category; }
    void setCategory(const Ref<NSString>& category);
    // Always a 32 x 32 rendition of the image given, stretched to fill; an
    // empty one for nil.
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image);
    Id target() const { return m_target.get(); }
    void setTarget(const Id& target) { m_target = target; }
    SEL selector() const { return m_selector; }
    void setSelector(const SEL& selector) { m_selector = selector; }

    // By title; the second ignoring case.
    NSComparisonResult compare(const Ref<ZAKPrefPaneIcon>& other) const;
    NSComparisonResult caseInsensitiveCompare(const Ref<ZAKPrefPaneIcon>& other) const;

private:
    Ref<NSString> m_itemIdentifier;
    Ref<NSImage> m_image;
    Ref<NSString> m_title;
    Ref<NSString> m_category;
    Weak<NSObject> m_target;
    SEL m_selector;
};
