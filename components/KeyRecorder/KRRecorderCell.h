#pragma once
// The shortcut recorder's behaviour: filters modifier flags through allowed
// and required sets, runs the idle/recording state machine (with an optional
// animated transition), checks new combinations with a KRValidator, keeps
// the combination in the user defaults under "KeyRecorder <autosave name>",
// and draws itself. Keyed-coding keys: "autosaveName", "keyComboCode",
// "keyComboFlags", "allowedFlags", "requiredFlags", "keyChars",
// "keyCharsIgnoringModifiers" (only when recorded from typed keys),
// "allowsKeyOnly", "escapeKeysRecord", "isAnimating", "style".
#include <set>

#include "AppKit/NSActionCell.h"
#include "AppKit/NSGradient.h"
#include "KeyRecorder/KRKeyCombo.h"
#include "KeyRecorder/KRValidator.h"

class KRRecorderCell;

// What the cell asks its delegate (the control).
class KRRecorderCellDelegate {
public:
    virtual ~KRRecorderCellDelegate() = default;
    // keyRecorderCell:isKeyCode:andFlagsTaken:reason: (event flags)
    virtual bool keyRecorderCellIsKeyCodeAndFlagsTakenReason(const Ref<KRRecorderCell>&, NSInteger, NSUInteger,
                                                             Ref<NSString>*)
    {
        return false;
    }
    // keyRecorderCell:keyComboDidChange:
    virtual void keyRecorderCellKeyComboDidChange(const Ref<KRRecorderCell>&, _KeyCombo) { }
};

class KRRecorderCell : public NSActionCell, public KRValidatorDelegate {
    NS_OBJECT(KRRecorderCell, NSActionCell)
protected:
    KRRecorderCell() = default;

public:
    ~KRRecorderCell() override;

    Id init() override;
    static void describeClass(NSClassMembers<KRRecorderCell>& m);

    // --- Settings ---
    bool animates() const { return m_isAnimating; }
    void setAnimates(bool flag) { m_isAnimating = flag; }
    int32_t style() const { return m_style; }
    // 1 is the animated style; every other value is the regular style 0.
    void setStyle(int32_t style);
    static bool styleSupportsAnimation(int32_t style) { return style == 1; }
    NSUInteger allowedFlags() const { return m_allowedFlags; }
    void setAllowedFlags(NSUInteger flags);
    NSUInteger requiredFlags() const { return m_requiredFlags; }
    void setRequiredFlags(NSUInteger flags);
    bool allowsKeyOnly() const { return m_allowsKeyOnly; }
    bool escapeKeysRecord() const { return m_escapeKeysRecord; }
    void setAllowsKeyOnly(bool allowsKeyOnly, bool escapeKeysRecord);
    bool canCaptureGlobalHotKeys() const { return m_globalHotKeys; }
    void setCanCaptureGlobalHotKeys(bool flag) { m_globalHotKeys = flag; }
    Ref<NSString> autosaveName() const { return m_autosaveName; }
    // Neither loads nor saves: the next change is saved under the new name.
    void setAutosaveName(const Ref<NSString>& name);

    // --- The combination ---
    _KeyCombo keyCombo() const { return m_keyCombo; }
    // Tells the delegate even when nothing changed, saves and redraws.
    void setKeyCombo(_KeyCombo combo);
    Ref<NSString> keyComboString() const;
    Ref<NSString> keyChars() const;
    Ref<NSString> keyCharsIgnoringModifiers() const;

    // --- State ---
    bool isRecording() const { return m_isRecording; }
    NSUInteger recordingFlags() const { return m_recordingFlags; }
    bool isAnimatingNow() const { return m_isAnimatingNow; }
    double transitionProgress() const { return m_transitionProgress; }
    bool mouseInsideTrackingArea() const { return m_mouseInsideTrackingArea; }
    // Ends a recording at once, without a transition (the window closed or
    // lost the keyboard): the suspended system shortcuts come back.
    void abortRecording();

    // --- Delegate (not retained; a KRRecorderCellDelegate) ---
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // --- Events ---
    bool performKeyEquivalent(const Ref<NSEvent>& event);
    void flagsChanged(const Ref<NSEvent>& event);
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;
    void resetTrackingRects();
    void mouseEntered(const Ref<NSEvent>& event);
    void mouseExited(const Ref<NSEvent>& event);
    // Resigning ends a recording; both always agree.
    bool becomeFirstResponder();
    bool resignFirstResponder();

    // --- Drawing (KRRecorderCellDrawing.cpp) ---
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    NSRect removeButtonRectForFrame(const NSRect& frame) const;
    // The text the face shows now.
    Ref<NSString> displayedText() const { return m_isRecording ? recordingText() : idleText(); }
    NSRect snapbackRectForFrame(const NSRect& frame) const;

    // --- Transition ---
    void startRecordingTransition();
    void endRecordingTransition();
    void transitionTick();

    // KRValidatorDelegate: asks the cell's delegate.
    bool shortcutValidatorIsKeyCodeAndFlagsTakenReason(const Ref<KRValidator>& validator, int64_t keyCode,
                                                       NSUInteger flags, Ref<NSString>* reason) override;

    NSUInteger filteredCocoaFlags(NSUInteger flags) const;
    bool validModifierFlags(NSUInteger flags) const;
    NSUInteger filteredCocoaToCarbonFlags(NSUInteger flags) const;
    bool isEmpty() const;

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void privateInit();
    void makeRecordingGradient();
    void systemColorsDidChange(const Id& notification);
    void startRecording();
    void endRecording();
    bool effectiveIsAnimating() const { return m_isAnimating && styleSupportsAnimation(m_style); }
    void finishRecording();
    bool controlIsFirstResponder() const;
    void tellDelegate();
    void saveCombo() const;
    void loadCombo();
    void redraw() const;
    void drawStyleRegular(const NSRect& frame);
    void drawStyleAnimated(const NSRect& frame);
    Ref<NSString> recordingText() const;
    Ref<NSString> idleText() const;
    Ref<NSDictionary> textAttributes(bool recording, CGFloat alpha = 1) const;
    NSRect textRect(const NSRect& frame, const Ref<NSString>& text, const Ref<NSDictionary>& attributes) const;

    Ref<NSGradient> m_recordingGradient;
    Ref<NSString> m_autosaveName;
    bool m_isRecording = false;
    bool m_mouseInsideTrackingArea = false;
    bool m_mouseDown = false;
    int32_t m_style = 0;
    bool m_isAnimating = false;
    double m_transitionProgress = 0;
    bool m_isAnimatingNow = false;
    bool m_isAnimatingTowardsRecording = false;
    bool m_comboJustChanged = false;
    NSInteger m_removeTrackingRectTag = 0;
    NSInteger m_snapbackTrackingRectTag = 0;
    _KeyCombo m_keyCombo;
    bool m_hasKeyChars = false;
    Ref<NSString> m_keyChars;
    Ref<NSString> m_keyCharsIgnoringModifiers;
    NSUInteger m_allowedFlags = 0;
    NSUInteger m_requiredFlags = 0;
    NSUInteger m_recordingFlags = 0;
    bool m_allowsKeyOnly = false;
    bool m_escapeKeysRecord = false;
    std::set<uint16_t> m_cancelCharacterSet;
    Ref<KRValidator> m_validator;
    Weak<NSObject> m_delegate;
    bool m_globalHotKeys = false;
    // The suspension of the system's shortcuts, while one is in force. Kept
    // apart from the setting so that every suspension is ended exactly once.
    void* m_hotKeyModeToken = nullptr;
    // While the refusal alert runs, the window gives up the keyboard to it
    // without the recording ending.
    bool m_presentingAlert = false;
};
