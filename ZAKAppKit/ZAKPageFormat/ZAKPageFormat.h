#pragma once
// The 28 standard paper and card formats (ISO A and B series, the DIN long
// formats, the American paper sizes and two business cards), in points:
// a pop-up menu of them, the menu entry of a page size in either
// orientation, and the name of a size. The metric sizes are converted from
// millimetres once, with the single precision of every stored length.
// Names come from the string table "ZAKPageFormat". Class methods only.
#include "AppKit/NSMenu.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

enum ZAKPageFormatDirection : NSInteger {
    ZAKPageFormatAsStored = 0,  // portrait for the paper formats
    ZAKPageFormatTurned = 1,
    ZAKPageFormatNoStandard = 2,
};

class ZAKPageFormat : public NSObject {
    NS_OBJECT(ZAKPageFormat, NSObject)
protected:
    ZAKPageFormat() = default;

public:
    // Class version 1; converts the metric rows to points.
    static void initialize();

    // The number of formats, and the tag of the free-size entry.
    static constexpr NSInteger standardFormatCount = 28;

    // One item per format (title, the size as represented object, the row as
    // tag) with separators between the groups; with the flag, a separator
    // and a free-size item (no represented object, tag 28) at the end.
    static Ref<NSMenu> standardPageFormatMenuWithUserDefineEntry(bool userDefineEntry);
    // The index of the menu item whose size equals the given one exactly,
    // with the direction it matched in; else the free-size item's index (or
    // -1 without one) and direction 2. `direction` may be null.
    static NSInteger indexOfStandardPageFormatWithSize(NSSize size, const Ref<NSMenu>& menu, NSInteger* direction);
    // The size of a row; the zero size for an index outside 0-27 (the
    // free-size item's tag included).
    static NSSize sizeOfPageStandardFormat(int32_t index);
    // The name of the first format of exactly that size as stored; the empty
    // string when there is none.
    static Ref<NSString> nameForFormatWithSize(NSSize size);
};
