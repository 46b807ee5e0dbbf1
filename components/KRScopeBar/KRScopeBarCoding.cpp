// The scope bar in keyed archives (interface files). The overflow cell's key
// is "KRScopeBar overfloPullDownCell", one letter short, as files have it.
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"
#include "KRScopeBar/KRScopeBar.h"

void KRScopeBar::encodeWithCoder(NSCoder* coder) const
{
    if (!coder->allowsKeyedCoding()) return;
    NSControl::encodeWithCoder(coder);
    coder->encodeConditionalObject(m_delegate.get(), "KRScopeBar delegate"_ns);
    coder->encodeConditionalObject(m_dataSource.get(), "KRScopeBar dataSource"_ns);
    coder->encodeObject(groups(), "KRScopeBar groups"_ns);
    coder->encodeObject(m_buttonCell, "KRScopeBar buttonCell"_ns);
    coder->encodeObject(m_popUpButtonCell, "KRScopeBar popUpButtonCell"_ns);
    coder->encodeObject(m_overflowPullDownCell, "KRScopeBar overfloPullDownCell"_ns);
    coder->encodeObject(NSNumber::numberWithUnsignedInteger(m_minimumButtonWidth), "KRScopeBar minimumButtonWidth"_ns);
    coder->encodeObject(NSNumber::numberWithUnsignedInteger(m_minimumPopUpWidth), "KRScopeBar minimumPopUpWidth"_ns);
    coder->encodeObject(NSNumber::numberWithUnsignedInteger(m_intercellSpacing), "KRScopeBar intercellSpacing"_ns);
    coder->encodeObject(m_accessoryView, "KRScopeBar accessoryView"_ns);
    coder->encodeObject(m_backgroundGradient, "KRScopeBar backgroundGradient"_ns);
    coder->encodeObject(m_borderColor, "KRScopeBar borderColor"_ns);
    coder->encodeObject(m_separatorColor, "KRScopeBar separatorColor"_ns);
    coder->encodeObject(m_labelColor, "KRScopeBar labelColor"_ns);
    coder->encodeObject(NSNumber::numberWithBool(m_autoResizesGroups), "KRScopeBar autoResizesGroups"_ns);
    coder->encodeObject(m_formatter, "KRScopeBar formatter"_ns);
    coder->encodeObject(NSNumber::numberWithBool(m_ibInitialized), "KRScopeBar ibInitialized"_ns);
}

Id KRScopeBar::initWithCoder(NSCoder* coder)
{
    if (!coder->allowsKeyedCoding()) return nullptr;
    NSControl::initWithCoder(coder);
    auto number = [&](const char* key) {
        return dynamic_ref_cast<NSNumber>(coder->decodeObjectForKey(NSString::stringWithUTF8String(key)));
    };
    setDelegate(coder->decodeObjectForKey("KRScopeBar delegate"_ns));
    setDataSource(coder->decodeObjectForKey("KRScopeBar dataSource"_ns));
    setGroups(dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("KRScopeBar groups"_ns)));
    setButtonCell(dynamic_ref_cast<NSButtonCell>(coder->decodeObjectForKey("KRScopeBar buttonCell"_ns)));
    setPopUpButtonCell(dynamic_ref_cast<NSPopUpButtonCell>(coder->decodeObjectForKey("KRScopeBar popUpButtonCell"_ns)));
    setOverflowPullDownCell(
        dynamic_ref_cast<NSPopUpButtonCell>(coder->decodeObjectForKey("KRScopeBar overfloPullDownCell"_ns)));
    // Images are not archived: the face item gets the bar's own image back.
    if (m_overflowPullDownCell && m_overflowPullDownCell->numberOfItems() > 0) {
        auto face = m_overflowPullDownCell->itemAtIndex(0);
        if (!face->image()) face->setImage(overflowImage());
    }
    if (auto n = number("KRScopeBar minimumButtonWidth")) setMinimumButtonWidth(n->unsignedIntegerValue());
    if (auto n = number("KRScopeBar minimumPopUpWidth")) setMinimumPopUpWidth(n->unsignedIntegerValue());
    if (auto n = number("KRScopeBar intercellSpacing")) setIntercellSpacing(n->unsignedIntegerValue());
    setFormatter(dynamic_ref_cast<NSFormatter>(coder->decodeObjectForKey("KRScopeBar formatter"_ns)));
    setAccessoryView(dynamic_ref_cast<NSView>(coder->decodeObjectForKey("KRScopeBar accessoryView"_ns)));
    setBackgroundGradient(dynamic_ref_cast<NSGradient>(coder->decodeObjectForKey("KRScopeBar backgroundGradient"_ns)));
    setBorderColor(dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("KRScopeBar borderColor"_ns)));
    setSeparatorColor(dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("KRScopeBar separatorColor"_ns)));
    setLabelColor(dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("KRScopeBar labelColor"_ns)));
    if (auto n = number("KRScopeBar autoResizesGroups")) setAutoResizesGroups(n->boolValue());
    if (auto n = number("KRScopeBar ibInitialized")) m_ibInitialized = n->boolValue();
    return Id(this);
}
