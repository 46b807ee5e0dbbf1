#include "ZAKAppKit/ZAKPageFormat/ZAKPageFormat.h"

#include "AppKit/NSMenuItem.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSValue.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

NS_CLASS_DEFINE(ZAKPageFormat)

namespace {

struct Format {
    bool separatorAfter;
    bool metric;  // the size is in millimetres until the class is initialised
    NSSize size;
    const char* nameKey;
};

Format gFormats[ZAKPageFormat::standardFormatCount] = {
    {false, true, {841, 1189}, "ZAKPageFormatA0Name"},
    {false, true, {594, 841}, "ZAKPageFormatA1Name"},
    {false, true, {420, 594}, "ZAKPageFormatA2Name"},
    {false, true, {297, 420}, "ZAKPageFormatA3Name"},
    {false, true, {210, 297}, "ZAKPageFormatA4Name"},
    {false, true, {148, 210}, "ZAKPageFormatA5Name"},
    {false, true, {105, 148}, "ZAKPageFormatA6Name"},
    {false, true, {74, 105}, "ZAKPageFormatA7Name"},
    {false, true, {99, 210}, "ZAKPageFormatDINLongName"},
    {true, true, {110, 220}, "ZAKPageFormatDINLongEnvelopeName"},
    {false, true, {1000, 1414}, "ZAKPageFormatB0Name"},
    {false, true, {707, 1000}, "ZAKPageFormatB1Name"},
    {false, true, {500, 707}, "ZAKPageFormatB2Name"},
    {false, true, {353, 500}, "ZAKPageFormatB3Name"},
    {false, true, {250, 353}, "ZAKPageFormatB4Name"},
    {false, true, {176, 250}, "ZAKPageFormatB5Name"},
    {false, true, {125, 176}, "ZAKPageFormatB6Name"},
    {true, true, {88, 125}, "ZAKPageFormatB7Name"},
    {false, false, {396, 612}, "ZAKPageFormatInvoiceName"},
    {false, false, {522, 756}, "ZAKPageFormatExecutiveName"},
    {false, false, {612, 792}, "ZAKPageFormatLetterName"},
    {false, false, {612, 1008}, "ZAKPageFormatLegalName"},
    {false, false, {792, 1224}, "ZAKPageFormatLedgerName"},
    {false, false, {1224, 1584}, "ZAKPageFormatBroadsheetCName"},
    {false, false, {1584, 2448}, "ZAKPageFormatBroadsheetDName"},
    {true, false, {2448, 3168}, "ZAKPageFormatBroadsheetEName"},
    {false, false, {240.94488188976376, 153.0708661417323}, "ZAKPageFormatBusinessCardEuropeName"},
    {false, false, {252, 144}, "ZAKPageFormatBusinessCardAmericaName"},
};

Ref<NSString> pageFormatText(const char* key)
{
    return NSBundle::bundleForClass(ZAKPageFormat::staticClass())
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKPageFormat"_ns);
}

bool sameSize(NSSize a, NSSize b) { return a.width == b.width && a.height == b.height; }

}  // namespace

void ZAKPageFormat::initialize()
{
    classRecord().setVersion(1);
    for (Format& format : gFormats) {
        if (!format.metric) continue;
        format.size = ZAKConvertUnitSize(ZAKUnitMillimeter, ZAKUnitPoint, format.size);
        format.metric = false;
    }
}

Ref<NSMenu> ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(bool userDefineEntry)
{
    staticClass();
    auto menu = NSMenu::menuWithTitle(""_ns);
    for (NSInteger row = 0; row < standardFormatCount; ++row) {
        const Format& format = gFormats[row];
        auto item = NSMenuItem::itemWithTitle(pageFormatText(format.nameKey), SEL(), ""_ns);
        item->setRepresentedObject(NSValue::valueWithSize(format.size));
        item->setTag(row);
        menu->addItem(item);
        if (format.separatorAfter) menu->addItem(NSMenuItem::separatorItem());
    }
    if (userDefineEntry) {
        menu->addItem(NSMenuItem::separatorItem());
        auto item = NSMenuItem::itemWithTitle(pageFormatText("ZAKPageFormatUserDefined"), SEL(), ""_ns);
        item->setTag(standardFormatCount);
        menu->addItem(item);
    }
    return menu;
}

NSInteger ZAKPageFormat::indexOfStandardPageFormatWithSize(NSSize size, const Ref<NSMenu>& menu, NSInteger* direction)
{
    if (direction) *direction = ZAKPageFormatNoStandard;
    if (!menu) return -1;
    NSInteger freeSizeIndex = -1;
    for (NSInteger index = 0; index < menu->numberOfItems(); ++index) {
        const Ref<NSMenuItem> item = menu->itemAtIndex(index);
        if (item->isSeparatorItem()) continue;
        const Id represented = item->representedObject();
        if (!represented) {
            freeSizeIndex = index;
            continue;
        }
        auto value = dynamic_ref_cast<NSValue>(represented);
        if (!value) continue;
        const NSSize itemSize = value->sizeValue();
        if (sameSize(size, itemSize)) {
            if (direction) *direction = ZAKPageFormatAsStored;
            return index;
        }
        if (sameSize(NSMakeSize(size.height, size.width), itemSize)) {
            if (direction) *direction = ZAKPageFormatTurned;
            return index;
        }
    }
    return freeSizeIndex;
}

NSSize ZAKPageFormat::sizeOfPageStandardFormat(int32_t index)
{
    staticClass();
    if (index < 0 || index >= standardFormatCount) return NSZeroSize;
    return gFormats[index].size;
}

Ref<NSString> ZAKPageFormat::nameForFormatWithSize(NSSize size)
{
    staticClass();
    for (const Format& format : gFormats)
        if (sameSize(size, format.size)) return pageFormatText(format.nameKey);
    return ""_ns;
}
