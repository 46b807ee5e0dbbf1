#pragma once
// A pop-up of the enabled text encodings, with an optional "Automatic" item
// first and the item that opens the encodings panel last. Once filled it
// follows every change of the list, keeping its encoding selected.
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSPopUpButtonCell.h"
#include "Foundation/NSNotification.h"

// Never selects the last two items (the separator and the customising item).
class ZAKEncodingPopUpButtonCell : public NSPopUpButtonCell {
    NS_OBJECT(ZAKEncodingPopUpButtonCell, NSPopUpButtonCell)
protected:
    ZAKEncodingPopUpButtonCell() = default;

public:
    void selectItemAtIndex(NSInteger index) override;
};

class ZAKEncodingPopUpButton : public NSPopUpButton {
    NS_OBJECT(ZAKEncodingPopUpButton, NSPopUpButton)
protected:
    ZAKEncodingPopUpButton() = default;

public:
    // Takes an encoding cell (keeping action, target, control size and
    // font), lets the items' enabling alone and starts following the list
    // (the centre holds observers weakly: the observation ends with the
    // button).
    void awakeFromNib() override;
    // Shows the list with the encoding selected.
    void setEncoding(NSStringEncoding encoding, bool defaultEntry);
    NSStringEncoding defaultEncoding() const { return m_defaultEncoding; }
    bool hasDefaultEntry() const { return m_hasDefaultEntry; }
    void setHasDefaultEntry(bool flag) { m_hasDefaultEntry = flag; }
    void encodingsListChanged(const Ref<NSNotification>& notification);
    static void describeClass(NSClassMembers<ZAKEncodingPopUpButton>& m);

private:
    NSStringEncoding m_defaultEncoding = 0xFFFFFFFFu;
    bool m_hasDefaultEntry = false;
};
