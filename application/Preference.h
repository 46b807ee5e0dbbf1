#pragma once
// The preferences window: ruler opacity, handle edges, the hot key and colours.
#include "AppKit/NSButton.h"
#include "AppKit/NSCell.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSColorWell.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindowController.h"
#include "KeyRecorder/KRRecorderControl.h"

class Preference : public NSWindowController, public KRRecorderControlDelegate {
    NS_OBJECT(Preference, NSWindowController)
protected:
    Preference() = default;

public:
    Id init() override;
    void awakeFromNib() override;

    void closeDialog(const Id& sender);
    void transSliderHasChanged(const Id& sender);
    void radioButtonHasChanged(const Id& sender);
    void acceptHotKeyHasChanged(const Id& sender);
    void guidelineColorChanged(const Id& sender);
    void screenColorChanged(const Id& sender);
    // A new combination (flags 0 and code -1 when cleared).
    void keyRecorderKeyComboDidChange(const Ref<KRRecorderControl>& recorder, _KeyCombo combo) override;

    Ref<NSSlider> transSlider()
    {
        window();
        return m_transSlider;
    }
    Ref<NSTextField> transValue()
    {
        window();
        return m_transValue;
    }
    Ref<NSMatrix> horMatrix()
    {
        window();
        return m_horMatrix;
    }
    Ref<NSMatrix> verMatrix()
    {
        window();
        return m_verMatrix;
    }
    Ref<NSButton> acceptHotKey()
    {
        window();
        return m_acceptHotKey;
    }

    Ref<KRRecorderControl> keyCodeRecorder()
    {
        window();
        return m_keyCodeRecorder;
    }
    Ref<NSColorWell> guideColorWell()
    {
        window();
        return m_guideColorWell;
    }
    Ref<NSColorWell> screenColorWell()
    {
        window();
        return m_screenColorWell;
    }

    static void describeClass(NSClassMembers<Preference>& m);

private:
    Ref<NSSlider> m_transSlider;
    Ref<NSTextField> m_transValue;
    Ref<NSMatrix> m_horMatrix, m_verMatrix;
    Ref<NSButton> m_acceptHotKey;
    Ref<NSColorWell> m_guideColorWell, m_screenColorWell;
    Ref<KRRecorderControl> m_keyCodeRecorder;
};
