#include "AppKit/NSTextAttachmentCell.h"

#include "AppKit/NSTextAttachment.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTextAttachmentCell)

NSRect NSTextAttachmentCell::cellFrameForTextContainer(const Ref<NSTextContainer>&, const NSRect&, NSPoint, NSUInteger)
{
    return {cellBaselineOffset(), cellSize()};
}

Ref<NSTextAttachment> NSTextAttachmentCell::attachment() const { return m_attachment.get(); }
void NSTextAttachmentCell::setAttachment(const Ref<NSTextAttachment>& attachment) { m_attachment = attachment; }
