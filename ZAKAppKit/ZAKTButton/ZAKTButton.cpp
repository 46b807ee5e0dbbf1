#include "ZAKAppKit/ZAKTButton/ZAKTButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTButton)

void ZAKTButton::setThemeKey(const Ref<NSString>& key)
{
    if (auto cell = themedCell()) cell->setThemeKey(key);
}

void ZAKTButton::setHighlightBackgroundMode(NSUInteger mode)
{
    if (auto cell = themedCell()) cell->setHighlightBackgroundMode(mode);
}

void ZAKTButton::setStateBackgroundMode(NSUInteger mode)
{
    if (auto cell = themedCell()) cell->setStateBackgroundMode(mode);
}

void ZAKTButton::setBorderSideMask(NSUInteger mask)
{
    if (auto cell = themedCell()) cell->setBorderSideMask(mask);
}
