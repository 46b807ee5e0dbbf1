#include "InterfaceBuilding.h"

#include "AppKit/NSButtonCell.h"

namespace InterfaceBuilding {
Ref<NSWindow> panel(const NSRect& contentRect, const Ref<NSString>& title)
{
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(contentRect, NSTitledWindowMask | NSClosableWindowMask,
                                                                    NSBackingStoreBuffered, false);
    window->setTitle(title);
    window->setReleasedWhenClosed(false);
    return window;
}

Ref<NSTextField> label(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& text)
{
    auto l = NSTextField::labelWithString(text);
    l->setFrame(frame);
    parent->addSubview(l);
    return l;
}

Ref<NSTextField> field(const Ref<NSView>& parent, const NSRect& frame)
{
    auto f = dynamic_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(frame));
    parent->addSubview(f);
    return f;
}

Ref<NSButton> button(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& title, const Id& target,
                     const SEL& action)
{
    auto b = dynamic_ref_cast<NSButton>(NSObject::alloc<NSButton>()->initWithFrame(frame));
    b->setTitle(title);
    b->setTarget(target);
    b->setAction(action);
    parent->addSubview(b);
    return b;
}

Ref<NSButton> checkBox(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& title, const Id& target,
                       const SEL& action)
{
    auto b = button(parent, frame, title, target, action);
    b->setButtonType(NSSwitchButton);
    return b;
}

Ref<NSMatrix> radios(const Ref<NSView>& parent, const NSRect& frame,
                     std::initializer_list<std::pair<Ref<NSString>, NSInteger>> titlesAndTags, const Id& target,
                     const SEL& action)
{
    auto prototype = dynamic_ref_cast<NSButtonCell>(NSObject::alloc<NSButtonCell>()->initTextCell(""_ns));
    prototype->setButtonType(NSRadioButton);
    const auto rows = static_cast<NSInteger>(titlesAndTags.size());
    auto m = NSObject::alloc<NSMatrix>()->initWithFrame(frame, NSRadioModeMatrix, prototype, rows, 1);
    m->setCellSize(NSMakeSize(frame.size.width, frame.size.height / static_cast<CGFloat>(rows)));
    NSInteger row = 0;
    for (const auto& [title, tag] : titlesAndTags) {
        auto cell = m->cellAtRow(row++, 0);
        cell->setTitle(title);
        cell->setTag(tag);
    }
    m->setTarget(target);
    m->setAction(action);
    parent->addSubview(m);
    return m;
}
}  // namespace InterfaceBuilding
