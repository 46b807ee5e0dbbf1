#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingPopUpButton.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingManager.h"

NS_CLASS_DEFINE(ZAKEncodingPopUpButtonCell)
NS_CLASS_DEFINE(ZAKEncodingPopUpButton)

void ZAKEncodingPopUpButtonCell::selectItemAtIndex(NSInteger index)
{
    if (index + 2 > numberOfItems()) return;
    NSPopUpButtonCell::selectItemAtIndex(index);
}

void ZAKEncodingPopUpButton::describeClass(NSClassMembers<ZAKEncodingPopUpButton>& m)
{
    m.action("setHasDefaultEntry:", &ZAKEncodingPopUpButton::setHasDefaultEntry);
    m.action("encodingsListChanged:", &ZAKEncodingPopUpButton::encodingsListChanged);
}

void ZAKEncodingPopUpButton::awakeFromNib()
{
    NSPopUpButton::awakeFromNib();
    Ref<NSCell> old = cell();
    auto fresh = alloc<ZAKEncodingPopUpButtonCell>();
    fresh->initTextCell(""_ns, false);
    if (old) {
        fresh->setAction(old->action());
        fresh->setTarget(old->target());
        fresh->setControlSize(old->controlSize());
        fresh->setFont(old->font());
    }
    setCell(fresh);
    setAutoenablesItems(false);
    m_defaultEncoding = ZAKNoStringEncoding;
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "encodingsListChanged:", ZAKEncodingsListChangedNotification(), nullptr);
}

void ZAKEncodingPopUpButton::setEncoding(NSStringEncoding encoding, bool defaultEntry)
{
    m_defaultEncoding = encoding;
    m_hasDefaultEntry = defaultEntry;
    ZAKEncodingManager::sharedInstance()->setupPopUp(this, m_defaultEncoding, m_hasDefaultEntry);
}

void ZAKEncodingPopUpButton::encodingsListChanged(const Ref<NSNotification>&)
{
    Ref<NSMenuItem> selected = selectedItem();
    auto tag = selected ? static_cast<NSStringEncoding>(selected->tag()) : ZAKNoStringEncoding;
    if (tag != 0 && tag != ZAKNoStringEncoding) m_defaultEncoding = tag;
    ZAKEncodingManager::sharedInstance()->setupPopUp(this, m_defaultEncoding, m_hasDefaultEntry);
}
