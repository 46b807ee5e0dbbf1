#include "AppKit/NSTextAttachment.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTextAttachment)

Id NSTextAttachment::init()
{
    setAttachmentCell(make<NSTextAttachmentCell>());
    return Ref<NSTextAttachment>(this);
}

void NSTextAttachment::setAttachmentCell(const Ref<NSTextAttachmentCell>& cell)
{
    if (m_cell) m_cell->setAttachment(nullptr);
    m_cell = cell;
    if (m_cell) m_cell->setAttachment(Ref<NSTextAttachment>(this));
}
