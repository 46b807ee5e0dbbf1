#pragma once
// Lets the user record one keyboard shortcut. The cell does the work; the
// control forwards its settings and events, keeps a delegate, and writes
// each change back through a "value" binding (a dictionary with
// "characters", "keyCode" and "modifierFlags", or nil for no shortcut).
// Always 22 points high and at least 50 wide. It archives nothing beyond
// NSControl's keys; the cell has its own.
#include "AppKit/NSControl.h"
#include "KeyRecorder/KRRecorderCell.h"

class KRRecorderControl;

// The control's delegate; both methods are optional.
class KRRecorderControlDelegate {
public:
    virtual ~KRRecorderControlDelegate() = default;
    // keyRecorder:isKeyCode:andFlagsTaken:reason: (event flags).
    virtual bool keyRecorderIsKeyCodeAndFlagsTakenReason(const Ref<KRRecorderControl>&, NSInteger, NSUInteger,
                                                         Ref<NSString>*)
    {
        return false;
    }
    // keyRecorder:keyComboDidChange:
    virtual void keyRecorderKeyComboDidChange(const Ref<KRRecorderControl>&, _KeyCombo) { }
};

class KRRecorderControl : public NSControl, public KRRecorderCellDelegate {
    NS_OBJECT(KRRecorderControl, NSControl)
protected:
    KRRecorderControl() = default;

public:
    ~KRRecorderControl() override;

    // Exposes the "value" binding.
    static void initialize();
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Id initWithCoder(NSCoder* coder) override;
    Ref<KRRecorderCell> recorderCell() const { return static_ref_cast<KRRecorderCell>(cell()); }

    // --- Settings, forwarded to the cell ---
    bool animates() const { return recorderCell()->animates(); }
    void setAnimates(bool flag) { recorderCell()->setAnimates(flag); }
    int32_t style() const { return recorderCell()->style(); }
    void setStyle(int32_t style) { recorderCell()->setStyle(style); }
    NSUInteger allowedFlags() const { return recorderCell()->allowedFlags(); }
    void setAllowedFlags(NSUInteger flags) { recorderCell()->setAllowedFlags(flags); }
    NSUInteger requiredFlags() const { return recorderCell()->requiredFlags(); }
    void setRequiredFlags(NSUInteger flags) { recorderCell()->setRequiredFlags(flags); }
    bool allowsKeyOnly() const { return recorderCell()->allowsKeyOnly(); }
    // Also stops the cancel keys from being recorded.
    void setAllowsKeyOnly(bool flag) { recorderCell()->setAllowsKeyOnly(flag, false); }
    bool escapeKeysRecord() const { return recorderCell()->escapeKeysRecord(); }
    void setEscapeKeysRecord(bool flag) { recorderCell()->setAllowsKeyOnly(allowsKeyOnly(), flag); }
    void setAllowsKeyOnly(bool allowsKeyOnly, bool escapeKeysRecord)
    {
        recorderCell()->setAllowsKeyOnly(allowsKeyOnly, escapeKeysRecord);
    }
    bool canCaptureGlobalHotKeys() const { return recorderCell()->canCaptureGlobalHotKeys(); }
    void setCanCaptureGlobalHotKeys(bool flag) { recorderCell()->setCanCaptureGlobalHotKeys(flag); }
    _KeyCombo keyCombo() const { return recorderCell()->keyCombo(); }
    void setKeyCombo(_KeyCombo combo) { recorderCell()->setKeyCombo(combo); }
    Ref<NSString> autosaveName() const { return recorderCell()->autosaveName(); }
    void setAutosaveName(const Ref<NSString>& name) { recorderCell()->setAutosaveName(name); }
    Ref<NSString> keyComboString() const { return recorderCell()->keyComboString(); }
    Ref<NSString> keyChars() const { return recorderCell()->keyChars(); }
    Ref<NSString> keyCharsIgnoringModifiers() const { return recorderCell()->keyCharsIgnoringModifiers(); }

    // --- Value and binding ---
    // nil when the code is -1 or the flags are 0.
    Id objectValue() const;
    // A dictionary whose "keyCode" and "modifierFlags" are numbers; anything
    // else clears the combination.
    void setObjectValue(const Id& value) override;
    const NSClass* valueClassForBinding(const Ref<NSString>& binding) const override;
    static NSUInteger cocoaToCarbonFlags(NSUInteger flags);
    static NSUInteger carbonToCocoaFlags(NSUInteger flags);

    // The delegate (NSControl's, not retained) is asked as a
    // KRRecorderControlDelegate.
    void resetTrackingRects() { recorderCell()->resetTrackingRects(); }

    // --- Geometry, focus and events ---
    void setFrame(const NSRect& frame) override;
    void setFrameSize(NSSize size) override;
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return true; }
    bool acceptsFirstMouse(const Ref<NSEvent>&) override { return true; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void viewDidMoveToWindow() override;
    bool performKeyEquivalent(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    void flagsChanged(const Ref<NSEvent>& event) override;
    void mouseEntered(const Ref<NSEvent>& event) override { recorderCell()->mouseEntered(event); }
    void mouseExited(const Ref<NSEvent>& event) override { recorderCell()->mouseExited(event); }

    // --- KRRecorderCellDelegate ---
    bool keyRecorderCellIsKeyCodeAndFlagsTakenReason(const Ref<KRRecorderCell>& cell, NSInteger keyCode,
                                                     NSUInteger flags, Ref<NSString>* reason) override;
    void keyRecorderCellKeyComboDidChange(const Ref<KRRecorderCell>& cell, _KeyCombo combo) override;

    static void describeClass(NSClassMembers<KRRecorderControl>& m);

private:
    void adoptCell();
    void frameDidChange(const Id& notification);
    void windowEndsFocus(const Id& notification);
    void writeBackValue();

    bool m_writingBack = false;
};
