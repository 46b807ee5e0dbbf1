#include "KeyRecorder/KRRecorderCell.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSWindow.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaultsController.h"
#include "KeyRecorder/KRKeyNaming.h"
#include "KeyRecorder/KRSharedImageProvider.h"
#include "KeyRecorder/NSAlertKRAdditions.h"

NS_CLASS_DEFINE(KRRecorderCell)

namespace {

constexpr NSUInteger kFunctionKey = 0x800000;
constexpr const char* kSystemColorsDidChange = "NSSystemColorsDidChangeNotification";

Ref<NSString> autosaveKey(const Ref<NSString>& name) { return NSString::stringWithFormat("KeyRecorder %@", name); }

}

void KRRecorderCell::describeClass(NSClassMembers<KRRecorderCell>& m)
{
    m.action("systemColorsDidChange:", &KRRecorderCell::systemColorsDidChange);
    m.action("_transitionTick", &KRRecorderCell::transitionTick);
}

KRRecorderCell::~KRRecorderCell()
{
    // The notification centre drops registrations of dead observers itself.
    // Never leave the desktop's shortcuts suspended behind a dead recorder.
    if (m_hotKeyModeToken) PopSymbolicHotKeyMode(m_hotKeyModeToken);
}

Id KRRecorderCell::init()
{
    NSActionCell::init();
    privateInit();
    return this;
}

void KRRecorderCell::privateInit()
{
    m_validator = alloc<KRValidator>()->initWithDelegate(this);
    m_keyCombo = {};
    m_allowedFlags = KRAllModifierFlags;
    m_requiredFlags = 0;
    m_recordingFlags = 0;
    m_allowsKeyOnly = false;
    m_escapeKeysRecord = false;
    m_isRecording = false;
    m_cancelCharacterSet = {53, 51, 117};
    makeRecordingGradient();
    NSNotificationCenter::defaultCenter()->addObserver(
        this, "systemColorsDidChange:", NSString::stringWithUTF8String(kSystemColorsDidChange), nullptr);
    loadCombo();
}

void KRRecorderCell::makeRecordingGradient()
{
    const Ref<NSColor> base = NSColor::alternateSelectedControlColor();
    m_recordingGradient =
        NSGradient::initWithStartingColor(base->shadowWithLevel(0.2)->colorWithAlphaComponent(0.9),
                                          base->highlightWithLevel(0.2)->colorWithAlphaComponent(0.9));
}

void KRRecorderCell::systemColorsDidChange(const Id&) { makeRecordingGradient(); }

void KRRecorderCell::redraw() const
{
    if (const Ref<NSView> view = controlView()) view->setNeedsDisplay(true);
}

// --- Flags ---

NSUInteger KRRecorderCell::filteredCocoaFlags(NSUInteger flags) const
{
    NSUInteger result = 0;
    const NSUInteger held = flags & m_allowedFlags;
    for (NSUInteger bit :
         {NSUInteger(0x100000), NSUInteger(0x80000), NSUInteger(0x40000), NSUInteger(0x20000), kFunctionKey})
        if ((m_requiredFlags & bit) || (held & bit)) result |= bit;
    return result;
}

bool KRRecorderCell::validModifierFlags(NSUInteger flags) const
{
    return m_allowsKeyOnly || (flags & KRAllModifierFlags) != 0;
}

NSUInteger KRRecorderCell::filteredCocoaToCarbonFlags(NSUInteger flags) const
{
    return KRModifiersToCarbon(filteredCocoaFlags(flags));
}

bool KRRecorderCell::isEmpty() const
{
    if (!validModifierFlags(m_keyCombo.flags)) return true;
    const Ref<NSString> name = KRKeyNameForCode(m_keyCombo.code);
    return !name || name->length() == 0;
}

// --- Settings ---

void KRRecorderCell::setStyle(int32_t style) { m_style = style == 1 ? 1 : 0; }

void KRRecorderCell::setAllowsKeyOnly(bool allowsKeyOnly, bool escapeKeysRecord)
{
    m_allowsKeyOnly = allowsKeyOnly;
    m_escapeKeysRecord = escapeKeysRecord;
    redraw();
}

void KRRecorderCell::setAllowedFlags(NSUInteger flags)
{
    m_allowedFlags = flags;
    if (m_isRecording) {
        const Ref<NSEvent> current = NSApp ? NSApp->currentEvent() : nullptr;
        m_recordingFlags = filteredCocoaFlags(current ? current->modifierFlags() : 0);
    } else {
        const NSUInteger filtered = filteredCocoaFlags(m_keyCombo.flags);
        if (filtered != m_keyCombo.flags && m_keyCombo.code >= 0) {
            m_keyCombo.flags = filtered;
            tellDelegate();
            saveCombo();
        }
    }
    redraw();
}

void KRRecorderCell::setRequiredFlags(NSUInteger flags)
{
    m_requiredFlags = flags;
    setAllowedFlags(m_allowedFlags);
}

void KRRecorderCell::setAutosaveName(const Ref<NSString>& name)
{
    m_autosaveName = name ? NSString::stringWithString(name) : nullptr;
}

// --- The combination ---

void KRRecorderCell::tellDelegate()
{
    if (auto* d = dynamic_cast<KRRecorderCellDelegate*>(m_delegate.get().get()))
        d->keyRecorderCellKeyComboDidChange(this, m_keyCombo);
}

void KRRecorderCell::setKeyCombo(_KeyCombo combo)
{
    m_keyCombo = {filteredCocoaFlags(combo.flags), combo.code};
    m_hasKeyChars = false;
    tellDelegate();
    saveCombo();
    redraw();
}

Ref<NSString> KRRecorderCell::keyComboString() const
{
    if (isEmpty()) return nullptr;
    return NSString::stringWithFormat("%@%@", KRGlyphsForCocoaModifiers(m_keyCombo.flags),
                                      KRKeyNameForCode(m_keyCombo.code));
}

Ref<NSString> KRRecorderCell::keyChars() const
{
    return m_hasKeyChars ? m_keyChars : KRKeyNameForCode(m_keyCombo.code);
}

Ref<NSString> KRRecorderCell::keyCharsIgnoringModifiers() const
{
    return m_hasKeyChars ? m_keyCharsIgnoringModifiers : KRKeyCharacterForCocoaFlags(m_keyCombo.code, m_keyCombo.flags);
}

// --- Autosave ---

void KRRecorderCell::saveCombo() const
{
    if (!m_autosaveName || m_autosaveName->length() == 0) return;
    auto stored = NSMutableDictionary::dictionary();
    // Signed, so that "no key" (-1) reads back as -1.
    stored->setObject(NSNumber::numberWithShort(int16_t(m_keyCombo.code)), "keyCode"_ns);
    stored->setObject(NSNumber::numberWithUnsignedInteger(m_keyCombo.flags), "modifierFlags"_ns);
    stored->setObject(NSNumber::numberWithUnsignedInteger(KRModifiersToCarbon(m_keyCombo.flags)), "modifiers"_ns);
    if (m_hasKeyChars) {
        stored->setObject(m_keyChars ? m_keyChars : NSString::string(), "keyChars"_ns);
        stored->setObject(m_keyCharsIgnoringModifiers ? m_keyCharsIgnoringModifiers : NSString::string(),
                          "keyCharsIgnoringModifiers"_ns);
    }
    NSUserDefaultsController::sharedUserDefaultsController()->values()->setValueForKey(stored,
                                                                                       autosaveKey(m_autosaveName));
}

void KRRecorderCell::loadCombo()
{
    if (!m_autosaveName || m_autosaveName->length() == 0) return;
    const auto stored = dynamic_ref_cast<NSDictionary>(
        NSUserDefaultsController::sharedUserDefaultsController()->values()->valueForKey(autosaveKey(m_autosaveName)));
    // Nothing stored is no shortcut, not key code 0 with the required flags.
    if (!stored) {
        m_keyCombo = {};
        m_hasKeyChars = false;
        tellDelegate();
        redraw();
        return;
    }
    const auto code = dynamic_ref_cast<NSNumber>(stored->objectForKey("keyCode"_ns));
    const auto flags = dynamic_ref_cast<NSNumber>(stored->objectForKey("modifierFlags"_ns));
    const auto carbon = dynamic_ref_cast<NSNumber>(stored->objectForKey("modifiers"_ns));
    NSUInteger cocoa = flags ? flags->unsignedIntegerValue() : 0;
    if (!flags && carbon) cocoa = KRModifiersFromCarbon(carbon->unsignedIntegerValue());
    m_keyCombo = {filteredCocoaFlags(cocoa), code ? NSInteger(code->shortValue()) : 0};
    const auto chars = dynamic_ref_cast<NSString>(stored->objectForKey("keyChars"_ns));
    m_hasKeyChars = static_cast<bool>(chars);
    if (m_hasKeyChars) {
        m_keyChars = chars;
        m_keyCharsIgnoringModifiers = dynamic_ref_cast<NSString>(stored->objectForKey("keyCharsIgnoringModifiers"_ns));
    }
    tellDelegate();
    redraw();
}

// --- Validation ---

bool KRRecorderCell::shortcutValidatorIsKeyCodeAndFlagsTakenReason(const Ref<KRValidator>&, int64_t keyCode,
                                                                   NSUInteger flags, Ref<NSString>* reason)
{
    auto* d = dynamic_cast<KRRecorderCellDelegate*>(m_delegate.get().get());
    return d && d->keyRecorderCellIsKeyCodeAndFlagsTakenReason(this, keyCode, flags, reason);
}

// --- Keys ---

bool KRRecorderCell::controlIsFirstResponder() const
{
    const Ref<NSView> view = controlView();
    const Ref<NSWindow> window = view ? view->window() : nullptr;
    return window && window->firstResponder().get() == view.get();
}

void KRRecorderCell::finishRecording()
{
    m_recordingFlags = 0;
    endRecordingTransition();
    resetTrackingRects();
    redraw();
}

bool KRRecorderCell::performKeyEquivalent(const Ref<NSEvent>& event)
{
    Ref<KRRecorderCell> keep(this);
    const NSUInteger raw = event->modifierFlags();
    const NSUInteger filtered = filteredCocoaFlags(raw);
    const bool cancelKey = m_cancelCharacterSet.count(event->keyCode()) > 0;
    const bool valid = validModifierFlags(cancelKey ? raw : filtered);
    const Ref<NSString> characters = event->characters();

    bool record = false;
    if (!m_isRecording) {
        if (characters && characters->isEqualToString(" "_ns)) {
            startRecordingTransition();
            return true;
        }
    } else if (cancelKey) {
        const bool keyOnly = (filtered & ~kFunctionKey) == 0;
        if (!valid || (keyOnly && m_allowsKeyOnly && !m_escapeKeysRecord)) {
            finishRecording();
            return true;
        }
        record = true;
    } else if (valid) {
        record = true;
    }

    if (record) {
        const Ref<NSString> ignoring = event->charactersIgnoringModifiers();
        if (!ignoring || ignoring->uppercaseString()->length() == 0) {
            NSBeep();
            finishRecording();
            return true;
        }
        Ref<NSError> error;
        if (m_validator->isKeyCodeAndFlagsTaken(event->keyCode(), KRModifiersToCarbon(filtered), &error)) {
            const Ref<NSAlert> alert = NSAlertExt::alertWithNonRecoverableError(error);
            alert->setAlertStyle(NSCriticalAlertStyle);
            m_presentingAlert = true;
            alert->runModal();
            m_presentingAlert = false;
            // The keys were released while the alert had them: show what is
            // held now, not what was held when the combination was typed.
            if (m_isRecording) {
                m_recordingFlags = filteredCocoaFlags(NSEvent::modifierFlagsNow());
                redraw();
            }
            return true;
        }
        m_keyCombo = {filtered, NSInteger(event->keyCode())};
        m_hasKeyChars = true;
        m_keyChars = characters;
        m_keyCharsIgnoringModifiers = ignoring;
        tellDelegate();
        saveCombo();
        m_comboJustChanged = true;
        finishRecording();
        return true;
    }

    // Not used.
    if (!controlIsFirstResponder()) return false;
    if (!m_isRecording && characters && characters->length() > 0 && characters->characterAtIndex(0) == u' ' &&
        isEnabled())
        startRecordingTransition();
    return false;
}

void KRRecorderCell::flagsChanged(const Ref<NSEvent>& event)
{
    if (!m_isRecording) return;
    m_recordingFlags = filteredCocoaFlags(event ? event->modifierFlags() : 0);
    redraw();
}

// --- Recording ---

void KRRecorderCell::startRecording()
{
    m_isRecording = true;
    m_recordingFlags = filteredCocoaFlags(0);
    redraw();
    if (const Ref<NSView> view = controlView()) view->setKeyboardFocusRingNeedsDisplayInRect(view->bounds());
    if (m_globalHotKeys && !m_hotKeyModeToken) m_hotKeyModeToken = PushSymbolicHotKeyMode(kHIHotKeyModeAllDisabled);
}

void KRRecorderCell::endRecording()
{
    m_isRecording = false;
    m_comboJustChanged = false;
    redraw();
    if (const Ref<NSView> view = controlView()) view->setKeyboardFocusRingNeedsDisplayInRect(view->bounds());
    // Whatever the setting says now: a suspension in force is ended.
    if (m_hotKeyModeToken) {
        PopSymbolicHotKeyMode(m_hotKeyModeToken);
        m_hotKeyModeToken = nullptr;
    }
}

void KRRecorderCell::abortRecording()
{
    if (m_presentingAlert) return;
    if (m_isAnimatingNow) {
        cancelPreviousPerformRequestsWithTarget(this);
        m_isAnimatingNow = false;
        m_transitionProgress = 0;
    }
    if (!m_isRecording) return;
    m_recordingFlags = 0;
    endRecording();
    resetTrackingRects();
}

void KRRecorderCell::startRecordingTransition()
{
    if (!effectiveIsAnimating()) {
        startRecording();
        return;
    }
    m_isAnimatingTowardsRecording = true;
    m_isAnimatingNow = true;
    m_transitionProgress = 0;
    cancelPreviousPerformRequestsWithTarget(this);
    performSelectorAfterDelay("_transitionTick", nullptr, 1.0 / 30.0);
}

void KRRecorderCell::endRecordingTransition()
{
    if (!effectiveIsAnimating()) {
        endRecording();
        return;
    }
    m_isAnimatingTowardsRecording = false;
    m_isAnimatingNow = true;
    m_transitionProgress = 0;
    cancelPreviousPerformRequestsWithTarget(this);
    performSelectorAfterDelay("_transitionTick", nullptr, 1.0 / 30.0);
}

void KRRecorderCell::transitionTick()
{
    m_transitionProgress += double(2.0f / 21.0f);
    if (m_transitionProgress >= 0.998) {
        m_isAnimatingNow = false;
        m_transitionProgress = 0;
        if (m_isAnimatingTowardsRecording) startRecording();
        else endRecording();
        return;
    }
    redraw();
    cancelPreviousPerformRequestsWithTarget(this);
    performSelectorAfterDelay("_transitionTick", nullptr, 1.0 / 30.0);
}

// --- Mouse ---

bool KRRecorderCell::trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                                bool)
{
    Ref<KRRecorderCell> keep(this);
    const NSRect button = m_isRecording ? snapbackRectForFrame(cellFrame) : removeButtonRectForFrame(cellFrame);
    NSRect clickArea = cellFrame;
    if (!NSIsEmptyRect(button)) clickArea.size.width -= button.size.width + 4;

    Ref<NSEvent> current = event;
    NSPoint point{};
    while (current) {
        point = controlView->convertPointFromView(current->locationInWindow(), nullptr);
        if (current->type() == NSLeftMouseDragged) {
            m_mouseInsideTrackingArea = NSMouseInRect(point, button, controlView->isFlipped());
            redraw();
        } else if (current->type() == NSLeftMouseDown) {
            if (NSMouseInRect(point, button, controlView->isFlipped())) m_mouseDown = true;
            redraw();
        } else {
            break;
        }
        current = NSApp->nextEventMatchingMask(NSLeftMouseUpMask | NSLeftMouseDraggedMask, NSDate::distantFuture(),
                                               NSEventTrackingRunLoopMode, true);
    }
    if (!current) return true;

    m_mouseDown = false;
    m_mouseInsideTrackingArea = NSMouseInRect(point, button, controlView->isFlipped());
    if (m_mouseInsideTrackingArea) {
        if (m_isRecording) finishRecording();  // the snapback keeps the old combination
        else setKeyCombo({});
    } else if (NSMouseInRect(point, clickArea, controlView->isFlipped()) && !m_isRecording && isEnabled()) {
        startRecordingTransition();
    }
    if (isEnabled())
        if (const Ref<NSWindow> window = controlView->window()) window->makeFirstResponder(controlView);
    resetTrackingRects();
    redraw();
    return true;
}

void KRRecorderCell::resetTrackingRects()
{
    const Ref<NSView> view = controlView();
    if (!view) return;
    if (!isEnabled()) {
        if (m_removeTrackingRectTag) view->removeTrackingRect(m_removeTrackingRectTag);
        if (m_snapbackTrackingRectTag) view->removeTrackingRect(m_snapbackTrackingRectTag);
        m_removeTrackingRectTag = m_snapbackTrackingRectTag = 0;
        return;
    }
    const NSRect rect = m_isRecording ? snapbackRectForFrame(view->bounds()) : removeButtonRectForFrame(view->bounds());
    NSInteger& tag = m_isRecording ? m_snapbackTrackingRectTag : m_removeTrackingRectTag;
    if (tag) view->removeTrackingRect(tag);
    tag = 0;
    const Ref<NSWindow> window = view->window();
    bool inside = false;
    if (window) {
        const NSPoint global = NSEvent::mouseLocation();
        const NSPoint inWindow = window->convertScreenToBase(global);
        inside = NSMouseInRect(view->convertPointFromView(inWindow, nullptr), rect, view->isFlipped());
    }
    // The control hears the crossings (owners are responders) and passes them on.
    if (!NSIsEmptyRect(rect)) tag = view->addTrackingRect(rect, view, nullptr, inside);
    m_mouseInsideTrackingArea = inside;
}

void KRRecorderCell::mouseEntered(const Ref<NSEvent>& event)
{
    const Ref<NSView> view = controlView();
    const Ref<NSWindow> window = view ? view->window() : nullptr;
    if (!window || !(window->isKeyWindow() || view->acceptsFirstMouse(event))) return;
    m_mouseInsideTrackingArea = true;
    redraw();
}

void KRRecorderCell::mouseExited(const Ref<NSEvent>& event)
{
    const Ref<NSView> view = controlView();
    const Ref<NSWindow> window = view ? view->window() : nullptr;
    if (!window || !(window->isKeyWindow() || view->acceptsFirstMouse(event))) return;
    m_mouseInsideTrackingArea = false;
    redraw();
}

bool KRRecorderCell::becomeFirstResponder()
{
    resetTrackingRects();
    redraw();
    return true;
}

bool KRRecorderCell::resignFirstResponder()
{
    if (m_isRecording) endRecordingTransition();
    resetTrackingRects();
    redraw();
    return true;
}

// --- Copying and coding ---

Id KRRecorderCell::copy() const
{
    auto other = alloc<KRRecorderCell>();
    other->copyValuesFrom(*this);
    other->m_recordingGradient = m_recordingGradient;
    other->m_autosaveName = m_autosaveName;
    other->m_isRecording = m_isRecording;
    other->m_mouseInsideTrackingArea = m_mouseInsideTrackingArea;
    other->m_mouseDown = m_mouseDown;
    other->m_style = m_style;
    other->m_isAnimating = m_isAnimating;
    other->m_transitionProgress = m_transitionProgress;
    other->m_isAnimatingNow = m_isAnimatingNow;
    other->m_isAnimatingTowardsRecording = m_isAnimatingTowardsRecording;
    other->m_comboJustChanged = m_comboJustChanged;
    other->m_keyCombo = m_keyCombo;
    other->m_hasKeyChars = m_hasKeyChars;
    other->m_keyChars = m_keyChars;
    other->m_keyCharsIgnoringModifiers = m_keyCharsIgnoringModifiers;
    other->m_allowedFlags = m_allowedFlags;
    other->m_requiredFlags = m_requiredFlags;
    other->m_recordingFlags = m_recordingFlags;
    other->m_allowsKeyOnly = m_allowsKeyOnly;
    other->m_escapeKeysRecord = m_escapeKeysRecord;
    other->m_cancelCharacterSet = m_cancelCharacterSet;
    other->m_validator = alloc<KRValidator>()->initWithDelegate(other);
    other->m_delegate = m_delegate;
    other->m_globalHotKeys = m_globalHotKeys;
    // The copy holds no suspension of its own.
    return other;
}

void KRRecorderCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    if (!c->allowsKeyedCoding()) {
        c->encodeObject(m_autosaveName);
        c->encodeObject(NSNumber::numberWithShort(int16_t(m_keyCombo.code)));
        c->encodeObject(NSNumber::numberWithUnsignedInteger(m_keyCombo.flags));
        c->encodeObject(NSNumber::numberWithUnsignedInteger(m_allowedFlags));
        c->encodeObject(NSNumber::numberWithUnsignedInteger(m_requiredFlags));
        return;
    }
    c->encodeObject(m_autosaveName, "autosaveName"_ns);
    c->encodeObject(NSNumber::numberWithShort(int16_t(m_keyCombo.code)), "keyComboCode"_ns);
    c->encodeObject(NSNumber::numberWithUnsignedInteger(m_keyCombo.flags), "keyComboFlags"_ns);
    c->encodeObject(NSNumber::numberWithUnsignedInteger(m_allowedFlags), "allowedFlags"_ns);
    c->encodeObject(NSNumber::numberWithUnsignedInteger(m_requiredFlags), "requiredFlags"_ns);
    if (m_hasKeyChars) {
        c->encodeObject(m_keyChars, "keyChars"_ns);
        c->encodeObject(m_keyCharsIgnoringModifiers, "keyCharsIgnoringModifiers"_ns);
    }
    c->encodeBool(m_allowsKeyOnly, "allowsKeyOnly"_ns);
    c->encodeBool(m_escapeKeysRecord, "escapeKeysRecord"_ns);
    c->encodeBool(m_isAnimating, "isAnimating"_ns);
    c->encodeObject(NSNumber::numberWithShort(int16_t(m_style)), "style"_ns);
}

Id KRRecorderCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    auto unsignedOf = [](const Id& v) {
        const auto n = dynamic_ref_cast<NSNumber>(v);
        return n ? n->unsignedIntegerValue() : NSUInteger(0);
    };
    auto codeOf = [](const Id& v) {
        const auto n = dynamic_ref_cast<NSNumber>(v);
        return n ? NSInteger(n->shortValue()) : NSInteger(-1);
    };
    Ref<NSString> name;
    _KeyCombo combo;
    NSUInteger allowed = 0, required = 0;
    if (c->allowsKeyedCoding()) {
        name = dynamic_ref_cast<NSString>(c->decodeObjectForKey("autosaveName"_ns));
        combo = {unsignedOf(c->decodeObjectForKey("keyComboFlags"_ns)),
                 codeOf(c->decodeObjectForKey("keyComboCode"_ns))};
        allowed = unsignedOf(c->decodeObjectForKey("allowedFlags"_ns));
        required = unsignedOf(c->decodeObjectForKey("requiredFlags"_ns));
    } else {
        name = dynamic_ref_cast<NSString>(c->decodeObject());
        const Id code = c->decodeObject();
        combo = {unsignedOf(c->decodeObject()), codeOf(code)};
        allowed = unsignedOf(c->decodeObject());
        required = unsignedOf(c->decodeObject());
    }
    privateInit();
    m_autosaveName = name;
    m_keyCombo = combo;
    m_allowedFlags = allowed | kFunctionKey;
    m_requiredFlags = required;
    if (c->allowsKeyedCoding()) {
        m_hasKeyChars = c->containsValueForKey("keyChars"_ns);
        if (m_hasKeyChars) {
            m_keyChars = dynamic_ref_cast<NSString>(c->decodeObjectForKey("keyChars"_ns));
            m_keyCharsIgnoringModifiers =
                dynamic_ref_cast<NSString>(c->decodeObjectForKey("keyCharsIgnoringModifiers"_ns));
        }
        m_allowsKeyOnly = c->decodeBoolForKey("allowsKeyOnly"_ns);
        m_escapeKeysRecord = c->decodeBoolForKey("escapeKeysRecord"_ns);
        m_isAnimating = c->decodeBoolForKey("isAnimating"_ns);
        setStyle(int32_t(codeOf(c->decodeObjectForKey("style"_ns))));
    }
    // The stored combination wins over the archived one.
    if (m_autosaveName && m_autosaveName->length() > 0) loadCombo();
    return this;
}
