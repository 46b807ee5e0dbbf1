#pragma once
// The default line height of a font, from one shared private text system.
#include "AppKit/NSLayoutManager.h"

class ZAKLayoutManager : public NSLayoutManager {
    NS_OBJECT(ZAKLayoutManager, NSLayoutManager)
public:
    ZAKLayoutManager() = default;
    static CGFloat lineHeightForFont(const Ref<NSFont>& font);
};
