#pragma once
// The default line height of a font, from one shared private text system.
#include "AppKit/NSLayoutManager.h"

class ZAKLayoutManager : public NSLayoutManager {
    NS_OBJECT(ZAKLayoutManager, NSLayoutManager)
protected:
    ZAKLayoutManager() = default;

public:
    static CGFloat lineHeightForFont(const Ref<NSFont>& font);
};
