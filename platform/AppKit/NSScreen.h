#pragma once
// Screens as the window server reports them; the main screen (the one at the
// origin of the global space) comes first. The list may be empty.
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometry.h"

class NSScreen : public NSObject {
    NS_OBJECT(NSScreen, NSObject)
protected:
    NSScreen() = default;

public:
    static Ref<NSArray> screens();
    // The first screen, or nil when there is none.
    static Ref<NSScreen> mainScreen();
    static Ref<NSScreen> deepestScreen() { return mainScreen(); }

    NSRect frame() const { return m_frame; }
    NSRect visibleFrame() const { return m_visibleFrame; }
    // "NSScreenNumber", "NSDeviceSize", "NSDeviceResolution" (72 dpi points).
    Ref<NSDictionary> deviceDescription() const;
    CGFloat userSpaceScaleFactor() const { return 1.0; }
    CGFloat backingScaleFactor() const { return 1.0; }
    uint32_t displayID() const { return m_displayID; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_displayID; }

private:
    NSRect m_frame;
    NSRect m_visibleFrame;
    uint32_t m_displayID = 0;
};
