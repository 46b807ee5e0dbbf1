#include "AppKit/NSDragging.h"

#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSDraggingInfo)

Ref<NSDraggingInfo> NSDraggingInfo::draggingInfo(const Ref<NSPasteboard>& pasteboard, const Id& source,
                                                 const Ref<NSImage>& image, NSInteger sequenceNumber)
{
    auto info = NSObject::make<NSDraggingInfo>();
    info->m_pasteboard = pasteboard;
    info->m_source = source;
    info->m_image = image;
    info->m_sequenceNumber = sequenceNumber;
    return info;
}

Ref<NSWindow> NSDraggingInfo::draggingDestinationWindow() const { return m_window.get(); }

void NSDraggingInfo::update(const Ref<NSWindow>& window, NSPoint location, NSPoint imageLocation, NSDragOperation mask)
{
    m_window = window;
    m_location = location;
    m_imageLocation = imageLocation;
    m_sourceOperationMask = mask;
}
