#pragma once
// A rectangle of a view whose owner hears mouse-entered and mouse-exited
// events (and mouse-moved ones with NSTrackingMouseMoved).
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometry.h"

class NSView;

enum NSTrackingAreaOptions : NSUInteger {
    NSTrackingMouseEnteredAndExited = 0x01,
    NSTrackingMouseMoved = 0x02,
    NSTrackingCursorUpdate = 0x04,
    NSTrackingActiveWhenFirstResponder = 0x10,
    NSTrackingActiveInKeyWindow = 0x20,
    NSTrackingActiveInActiveApp = 0x40,
    NSTrackingActiveAlways = 0x80,
    NSTrackingAssumeInside = 0x100,
    NSTrackingInVisibleRect = 0x200,
    NSTrackingEnabledDuringMouseDrag = 0x400,
};

class NSTrackingArea : public NSObject {
    NS_OBJECT(NSTrackingArea, NSObject)
protected:
    NSTrackingArea() = default;

public:
    // The owner is not retained.
    Ref<NSTrackingArea> initWithRect(const NSRect& rect, NSUInteger options, const Id& owner,
                                     const Ref<NSDictionary>& userInfo);

    NSRect rect() const { return m_rect; }
    NSUInteger options() const { return m_options; }
    Id owner() const { return m_owner.get(); }
    Ref<NSDictionary> userInfo() const { return m_userInfo; }
    // The tag of an area made by addTrackingRect (0 otherwise) and its user data.
    NSInteger trackingTag() const { return m_tag; }
    void* trackingUserData() const { return m_userData; }

private:
    friend class NSView;
    friend class NSWindow;
    NSRect m_rect;
    NSUInteger m_options = 0;
    Weak<NSObject> m_owner;
    Ref<NSDictionary> m_userInfo;
    // Tracking rectangles (addTrackingRect) are areas with a tag.
    NSInteger m_tag = 0;
    void* m_userData = nullptr;
    bool m_inside = false;
    Weak<NSView> m_view;
};
