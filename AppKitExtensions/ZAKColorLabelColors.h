#pragma once
// The label colours shared by the views that show colour labels (index =
// label type: none, red, orange, yellow, green, blue, purple, gray), and the
// colour of text drawn on each label. One instance per process, made on
// first use on the main thread and kept until exit.
#include "AppKit/NSColor.h"
#include "Foundation/NSArray.h"

class ZAKColorLabelColors : public NSObject {
    NS_OBJECT(ZAKColorLabelColors, NSObject)
protected:
    ZAKColorLabelColors() = default;

public:
    static Ref<ZAKColorLabelColors> sharedHSKColorLabelColors();
    // Answers the existing instance once there is one.
    Id init() override;

    // The eight colours; entry 0 is the clear colour.
    const Ref<NSMutableArray>& colorList() const { return m_colorList; }

    // A copy of the colour for 1 to 7; nil for any other index, 0 included.
    static Ref<NSColor> getLabelColorAtindex(NSInteger index);
    static Ref<NSColor> getLabelColorForLabelType(int32_t type);
    // White on the green, blue and purple labels and for -1; black otherwise.
    static Ref<NSColor> letteringColorForLabelType(int32_t type);

private:
    Ref<NSMutableArray> m_colorList;
};
