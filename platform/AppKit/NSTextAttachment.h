#pragma once
// An object embedded in text at an attachment character (U+FFFC) through
// NSAttachmentAttributeName; its cell is laid out as one glyph.
#include "AppKit/NSTextAttachmentCell.h"

inline constexpr char16_t NSAttachmentCharacter = 0xFFFC;

class NSTextAttachment : public NSObject {
    NS_OBJECT(NSTextAttachment, NSObject)
protected:
    NSTextAttachment() = default;

public:
    // An attachment with a plain cell.
    Id init() override;

    Ref<NSTextAttachmentCell> attachmentCell() const { return m_cell; }
    // The cell learns of its attachment.
    void setAttachmentCell(const Ref<NSTextAttachmentCell>& cell);

private:
    Ref<NSTextAttachmentCell> m_cell;
};
