// Copy, cut and paste in a text view, and the selection pasteboard that
// holds the text selected last.
#include "AppKit/NSApplication.h"
#include "AppKit/NSPasteboard.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSClass.h"

namespace {

// Gives the selection pasteboard the text of the selection it was claimed
// for, read only when asked.
class SelectionOwner : public NSObject, public NSPasteboardOwner {
    NS_OBJECT(SelectionOwner, NSObject)
protected:
    SelectionOwner() = default;

public:
    Weak<NSTextView> view;
    NSRange range{0, 0};
    void pasteboardProvideDataForType(const Ref<NSPasteboard>& board, const Ref<NSString>& type) override
    {
        auto v = view.get();
        if (!v) return;
        auto text = v->string();
        if (NSMaxRange(range) > text->length()) return;
        board->setString(text->substringWithRange(range), type);
    }
};

}

NS_CLASS_DEFINE(SelectionOwner)

Ref<NSPasteboard> NSTextView::selectionPasteboard() { return NSPasteboard::pasteboardWithName(NSSelectionPboard); }

Ref<NSArray> NSTextView::writablePasteboardTypes() const { return NSArray::arrayWithObject(NSPasteboardTypeString); }

Ref<NSArray> NSTextView::readablePasteboardTypes() const { return NSArray::arrayWithObject(NSPasteboardTypeString); }

bool NSTextView::writeSelectionToPasteboard(const Ref<NSPasteboard>& pasteboard, const Ref<NSArray>& types)
{
    if (!pasteboard || m_selection.length == 0 || m_secure) return false;
    if (!types || !types->containsObject(NSPasteboardTypeString)) return false;
    pasteboard->declareTypes(NSArray::arrayWithObject(NSPasteboardTypeString), nullptr);
    return pasteboard->setString(string()->substringWithRange(m_selection), NSPasteboardTypeString);
}

bool NSTextView::readSelectionFromPasteboard(const Ref<NSPasteboard>& pasteboard)
{
    if (!pasteboard) return false;
    auto text = pasteboard->stringForType(NSPasteboardTypeString);
    if (!text) return false;
    // Pasted text is plain: it takes the typing attributes.
    userReplace(m_selection, text, EditKind::Paste);
    return true;
}

void NSTextView::copy(const Id&)
{
    if (!validateAction("copy:")) return NSBeep();
    writeSelectionToPasteboard(NSPasteboard::generalPasteboard(), writablePasteboardTypes());
}

void NSTextView::cut(const Id&)
{
    if (!validateAction("cut:")) return NSBeep();
    if (!writeSelectionToPasteboard(NSPasteboard::generalPasteboard(), writablePasteboardTypes())) return NSBeep();
    userReplace(m_selection, NSString::string(), EditKind::Cut);
}

void NSTextView::paste(const Id&)
{
    if (!validateAction("paste:") || !readSelectionFromPasteboard(NSPasteboard::generalPasteboard())) NSBeep();
}

void NSTextView::pasteAsPlainText(const Id& sender) { paste(sender); }

void NSTextView::claimSelectionPasteboard()
{
    if (m_selection.length == 0 || m_secure) return;
    auto owner = make<SelectionOwner>();
    owner->view = Ref<NSTextView>(this);
    owner->range = m_selection;
    // The owner lives as long as the claim: the pasteboard holds it weakly,
    // so the view keeps the latest.
    m_selectionOwner = owner;
    selectionPasteboard()->declareTypes(NSArray::arrayWithObject(NSPasteboardTypeString), owner);
}
