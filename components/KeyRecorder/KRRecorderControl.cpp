#include "KeyRecorder/KRRecorderControl.h"

#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValueTransformer.h"
#include "KeyRecorder/KRKeyNaming.h"

NS_CLASS_DEFINE(KRRecorderControl)

namespace {

constexpr const char* kWriteBackMethod = "-[KRRecorderControl keyRecorderCell:keyComboDidChange:]";

NSRect constrained(NSRect frame)
{
    frame.size.height = 22;
    if (frame.size.width < 50) frame.size.width = 50;
    return frame;
}

bool present(const Id& value) { return value && !dynamic_ref_cast<NSNull>(value); }

}

void KRRecorderControl::describeClass(NSClassMembers<KRRecorderControl>& m)
{
    m.action("frameDidChange:", &KRRecorderControl::frameDidChange);
    m.action("windowEndsFocus:", &KRRecorderControl::windowEndsFocus);
    m.property("value", &KRRecorderControl::objectValue, &KRRecorderControl::setObjectValue);
}

void KRRecorderControl::initialize() { exposeBinding<KRRecorderControl>("value"_ns); }

const NSClass& KRRecorderControl::cellClass() { return KRRecorderCell::staticClass(); }

KRRecorderControl::~KRRecorderControl()
{
    // The notification centre drops registrations of dead observers itself.
    if (const Ref<NSCell> c = cell()) static_ref_cast<KRRecorderCell>(c)->abortRecording();
}

void KRRecorderControl::adoptCell()
{
    if (!dynamic_ref_cast<KRRecorderCell>(cell())) setCell(make<KRRecorderCell>());
    recorderCell()->setDelegate(this);
}

Ref<NSView> KRRecorderControl::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(constrained(frame));
    adoptCell();
    return this;
}

Id KRRecorderControl::initWithCoder(NSCoder* coder)
{
    NSControl::initWithCoder(coder);
    NSControl::setFrame(constrained(frame()));
    adoptCell();
    return this;
}

// --- Value ---

Id KRRecorderControl::objectValue() const
{
    const _KeyCombo combo = keyCombo();
    if (combo.code == -1 || combo.flags == 0) return nullptr;
    const Ref<NSString> characters = keyCharsIgnoringModifiers();
    return NSDictionary::dictionaryWithObjectsAndKeys(
        {characters ? Id(characters) : Id(NSString::string()), "characters"_ns, NSNumber::numberWithInteger(combo.code),
         "keyCode"_ns, NSNumber::numberWithUnsignedInteger(combo.flags), "modifierFlags"_ns});
}

void KRRecorderControl::setObjectValue(const Id& value)
{
    const auto dictionary = dynamic_ref_cast<NSDictionary>(value);
    const auto code = dictionary ? dynamic_ref_cast<NSNumber>(dictionary->objectForKey("keyCode"_ns)) : nullptr;
    const auto flags = dictionary ? dynamic_ref_cast<NSNumber>(dictionary->objectForKey("modifierFlags"_ns)) : nullptr;
    if (!code || !flags) {
        setKeyCombo({});
        return;
    }
    setKeyCombo({flags->unsignedIntegerValue(), code->integerValue()});
}

const NSClass* KRRecorderControl::valueClassForBinding(const Ref<NSString>& binding) const
{
    if (binding && binding->isEqualToString("value"_ns)) return &NSDictionary::staticClass();
    return NSControl::valueClassForBinding(binding);
}

NSUInteger KRRecorderControl::cocoaToCarbonFlags(NSUInteger flags) { return KRModifiersToCarbon(flags); }
NSUInteger KRRecorderControl::carbonToCocoaFlags(NSUInteger flags) { return KRModifiersFromCarbon(flags); }

// --- Geometry and focus ---

void KRRecorderControl::setFrame(const NSRect& frame) { NSControl::setFrame(constrained(frame)); }

void KRRecorderControl::setFrameSize(NSSize size)
{
    NSControl::setFrameSize(constrained(NSMakeRect(0, 0, size.width, size.height)).size);
}

bool KRRecorderControl::becomeFirstResponder()
{
    if (!recorderCell()->becomeFirstResponder()) return false;
    recorderCell()->setShowsFirstResponder(true);
    setKeyboardFocusRingNeedsDisplayInRect(bounds());
    return true;
}

bool KRRecorderControl::resignFirstResponder()
{
    if (!recorderCell()->resignFirstResponder()) return false;
    recorderCell()->setShowsFirstResponder(false);
    setKeyboardFocusRingNeedsDisplayInRect(bounds());
    return true;
}

void KRRecorderControl::viewDidMoveToWindow()
{
    auto center = NSNotificationCenter::defaultCenter();
    center->removeObserver(this);
    center->addObserver(this, "frameDidChange:", NSString::stringWithUTF8String(NSViewFrameDidChangeNotification),
                        this);
    // A recording must not outlive the window's focus: the suspended system
    // shortcuts would stay suspended.
    if (const Ref<NSWindow> w = window()) {
        center->addObserver(this, "windowEndsFocus:", NSString::stringWithUTF8String(NSWindowWillCloseNotification), w);
        center->addObserver(this, "windowEndsFocus:", NSString::stringWithUTF8String(NSWindowDidResignKeyNotification),
                            w);
    } else {
        recorderCell()->abortRecording();
    }
    resetTrackingRects();
}

void KRRecorderControl::frameDidChange(const Id&) { resetTrackingRects(); }

void KRRecorderControl::windowEndsFocus(const Id&) { recorderCell()->abortRecording(); }

// --- Keys ---

bool KRRecorderControl::performKeyEquivalent(const Ref<NSEvent>& event)
{
    const Ref<NSWindow> w = window();
    if (w && w->firstResponder().get() == this && recorderCell()->performKeyEquivalent(event)) return true;
    return NSControl::performKeyEquivalent(event);
}

void KRRecorderControl::keyDown(const Ref<NSEvent>& event)
{
    if (recorderCell()->performKeyEquivalent(event)) return;
    NSControl::keyDown(event);
}

void KRRecorderControl::flagsChanged(const Ref<NSEvent>& event) { recorderCell()->flagsChanged(event); }

// --- Cell delegate ---

bool KRRecorderControl::keyRecorderCellIsKeyCodeAndFlagsTakenReason(const Ref<KRRecorderCell>&, NSInteger keyCode,
                                                                    NSUInteger flags, Ref<NSString>* reason)
{
    auto* d = dynamic_cast<KRRecorderControlDelegate*>(delegate().get());
    return d && d->keyRecorderIsKeyCodeAndFlagsTakenReason(this, keyCode, flags, reason);
}

void KRRecorderControl::keyRecorderCellKeyComboDidChange(const Ref<KRRecorderCell>&, _KeyCombo combo)
{
    Ref<KRRecorderControl> keep(this);
    if (auto* d = dynamic_cast<KRRecorderControlDelegate*>(delegate().get()))
        d->keyRecorderKeyComboDidChange(this, combo);
    writeBackValue();
}

void KRRecorderControl::writeBackValue()
{
    if (m_writingBack) return;
    const Ref<NSDictionary> info = infoForBinding("value"_ns);
    if (!info) return;
    Id value = objectValue();
    const auto options = dynamic_ref_cast<NSDictionary>(info->objectForKey(NSOptionsKey));
    Ref<NSValueTransformer> transformer;
    if (options) {
        const Id given = options->objectForKey(NSValueTransformerBindingOption);
        if (present(given)) transformer = dynamic_ref_cast<NSValueTransformer>(given);
        const Id name = options->objectForKey(NSValueTransformerNameBindingOption);
        if (!transformer && present(name))
            transformer = NSValueTransformer::valueTransformerForName(dynamic_ref_cast<NSString>(name));
    }
    if (transformer) {
        if (transformer->allowsReverseTransformation()) value = transformer->reverseTransformedValue(value);
        else
            NSLog("WARNING: value has value transformer, but it doesn't allow reverse transformations in %s",
                  kWriteBackMethod);
    }
    const Id observed = info->objectForKey(NSObservedObjectKey);
    if (!present(observed)) {
        NSLog("ERROR: NSObservedObjectKey was nil for value binding in %s", kWriteBackMethod);
        return;
    }
    const auto keyPath = dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey));
    if (!keyPath) {
        NSLog("ERROR: NSObservedKeyPathKey was nil for value binding in %s", kWriteBackMethod);
        return;
    }
    // The model's change comes back through the binding; it must not be
    // written back again.
    m_writingBack = true;
    observed->setValueForKeyPath(value, keyPath);
    m_writingBack = false;
}
