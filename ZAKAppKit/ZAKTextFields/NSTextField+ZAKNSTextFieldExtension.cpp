#include "ZAKAppKit/ZAKTextFields/NSTextField+ZAKNSTextFieldExtension.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSParagraphStyle.h"
#include "Foundation/NSAttributedString.h"

namespace NSTextFieldExt {

void markTextField(const Ref<NSTextField>& field, const Ref<NSColor>& color)
{
    if (!field) return;
    auto style = dynamic_ref_cast<NSMutableParagraphStyle>(NSParagraphStyle::defaultParagraphStyle()->mutableCopy());
    style->setAlignment(field->alignment());
    const NSUInteger size = field->cell() ? field->cell()->controlSize() : 0;
    auto font = NSFont::systemFontOfSize(NSFont::systemFontSizeForControlSize(NSControlSize(size)));
    auto attributes = NSDictionary::dictionaryWithObjectsAndKeys(
        {font, NSFontAttributeName, color, NSForegroundColorAttributeName, style, NSParagraphStyleAttributeName});
    field->setObjectValue(NSAttributedString::initWithString(field->stringValue(), attributes));
}

}
