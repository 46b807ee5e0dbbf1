#include "AppKitExtensions/ZAKLayoutManager.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLayoutManager)

CGFloat ZAKLayoutManager::lineHeightForFont(const Ref<NSFont>& font)
{
    // Made on first use (main thread) and kept for the process.
    static NSLayoutManager* shared = [] {
        auto storage = NSTextStorage::initWithString("Here's"_ns);
        auto manager = make<NSLayoutManager>();
        auto container = make<NSTextContainer>();
        container->setContainerSize(NSMakeSize(10000000, 10000000));
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
        manager->setUsesScreenFonts(false);
        static auto* keptStorage = new Ref<NSTextStorage>(storage);  // it keeps its layout manager
        return (*keptStorage)->layoutManagers().back().get();
    }();
    return font ? shared->defaultLineHeightForFont(font) : 0;
}
