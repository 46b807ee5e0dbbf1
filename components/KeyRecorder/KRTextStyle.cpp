#include "KeyRecorder/KRTextStyle.h"

#include "AppKit/NSParagraphStyle.h"

Id KRCenteredTruncatingParagraphStyle()
{
    auto style = NSMutableParagraphStyle::paragraphStyle();
    style->setAlignment(NSCenterTextAlignment);
    style->setLineBreakMode(NSLineBreakByTruncatingTail);
    return style;
}
