#include "ZAKAppKit/ZAKTableViewExtension/ZAKTableViewExtension.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTableViewExtension)

void ZAKTableViewExtension::keyDown(const Ref<NSEvent>& event)
{
    auto characters = event->charactersIgnoringModifiers();
    const unichar key = characters && characters->length() ? characters->characterAtIndex(0) : 0;
    if (key == 0x7F || key == 0xF728) {
        auto* d = dynamic_cast<ZAKTableViewExtensionDelegate*>(delegate().get());
        if (d && d->tableViewDidReceiveDeleteEvent(this, event)) return;
    }
    NSTableView::keyDown(event);
}
