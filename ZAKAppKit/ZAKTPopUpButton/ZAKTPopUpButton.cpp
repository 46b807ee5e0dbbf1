#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTPopUpButton)

void ZAKTPopUpButton::setThemeKey(const Ref<NSString>& key)
{
    if (auto cell = themedCell()) cell->setThemeKey(key);
}

void ZAKTPopUpButton::setHighlightBackgroundMode(NSUInteger mode)
{
    if (auto cell = themedCell()) cell->setHighlightBackgroundMode(mode);
}

void ZAKTPopUpButton::setBorderSideMask(NSUInteger mask)
{
    if (auto cell = themedCell()) cell->setBorderSideMask(mask);
}
