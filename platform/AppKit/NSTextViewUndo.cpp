// Undo of the user's edits in a text view: coalesced typing runs, paste,
// cut and drops, and the way back for each.
#include "AppKit/NSApplication.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUndoManager.h"

// One undo action: the text in `range` replaced `replaced`. A typing run
// grows while the user types or deletes at its edge.
struct NSTextView::UndoRun {
    EditKind kind;
    NSRange range;
    Ref<NSMutableAttributedString> replaced;
};

namespace {

Ref<NSString> actionName(NSTextView::EditKind kind)
{
    switch (kind) {
    case NSTextView::EditKind::Typing:
    case NSTextView::EditKind::Deleting: return "Typing"_ns;
    case NSTextView::EditKind::Paste: return "Paste"_ns;
    case NSTextView::EditKind::Cut: return "Cut"_ns;
    case NSTextView::EditKind::Drop: return "Drag"_ns;
    case NSTextView::EditKind::Other: break;
    }
    return "Change"_ns;
}

bool coalesces(NSTextView::EditKind kind)
{
    return kind == NSTextView::EditKind::Typing || kind == NSTextView::EditKind::Deleting;
}

}

void NSTextView::setAllowsUndo(bool flag)
{
    if (m_allowsUndo == flag) return;
    m_allowsUndo = flag;
    if (!flag) {
        breakUndoCoalescing();
        if (auto manager = dynamic_ref_cast<NSUndoManager>(undoManager()))
            manager->removeAllActionsWithTarget(Ref<NSTextView>(this));
    }
}

Id NSTextView::undoManager()
{
    if (auto* d = viewDelegate())
        if (Id manager = d->undoManagerForTextView(Ref<NSTextView>(this))) return manager;
    return NSText::undoManager();
}

void NSTextView::breakUndoCoalescing() { m_undoRun = nullptr; }

void NSTextView::recordUndo(NSRange range, NSUInteger insertedLength, EditKind kind)
{
    if (!m_allowsUndo || m_secure) return;
    auto manager = dynamic_ref_cast<NSUndoManager>(undoManager());
    auto storage = textStorage();
    if (!manager || !storage) return;
    auto replaced = storage->attributedSubstringFromRange(range);
    if (auto run = m_undoRun; run && coalesces(kind) && manager->canUndo() && !manager->isUndoing()) {
        const NSUInteger runEnd = NSMaxRange(run->range);
        if (kind == EditKind::Typing && range.location == runEnd && range.length == 0) {
            run->range.length += insertedLength;
            return;
        }
        if (kind == EditKind::Deleting && insertedLength == 0) {
            // Back over text the run typed.
            if (NSMaxRange(range) == runEnd && range.location >= run->range.location) {
                run->range.length -= range.length;
                return;
            }
            // Back over text before the run, or forward past its end.
            if (NSMaxRange(range) == run->range.location) {
                run->replaced->insertAttributedString(replaced, 0);
                run->range.location = range.location;
                return;
            }
            if (range.location == runEnd) {
                run->replaced->appendAttributedString(replaced);
                return;
            }
        }
    }
    auto run = std::make_shared<UndoRun>(UndoRun{kind, NSMakeRange(range.location, insertedLength),
                                                 NSMutableAttributedString::initWithAttributedString(replaced)});
    manager->registerUndoWithTarget(Ref<NSTextView>(this),
                                    [run](const Id& target) { static_ref_cast<NSTextView>(target)->reverseRun(run); });
    manager->setActionName(actionName(kind));
    m_undoRun = coalesces(kind) ? run : nullptr;
}

void NSTextView::reverseRun(const std::shared_ptr<UndoRun>& run)
{
    auto storage = textStorage();
    if (!storage) return;
    breakUndoCoalescing();
    NSUInteger length = storage->length();
    NSRange range = NSMakeRange(std::min(run->range.location, length), 0);
    range.length = std::min(run->range.length, length - range.location);
    auto back = std::make_shared<UndoRun>(
        UndoRun{EditKind::Other, NSMakeRange(range.location, run->replaced->length()),
                NSMutableAttributedString::initWithAttributedString(storage->attributedSubstringFromRange(range))});
    if (auto manager = dynamic_ref_cast<NSUndoManager>(undoManager()); manager && m_allowsUndo)
        manager->registerUndoWithTarget(
            Ref<NSTextView>(this), [back](const Id& target) { static_ref_cast<NSTextView>(target)->reverseRun(back); });
    beginEditingIfNeeded();
    ++m_ownEdit;
    storage->replaceCharactersInRange(range, run->replaced);
    // What came back is selected, as after the edit it reverses.
    setSelectedRange(back->range);
    --m_ownEdit;
    didChangeText();
    scrollRangeToVisible(m_selection);
}

void NSTextView::undo(const Id&)
{
    auto manager = dynamic_ref_cast<NSUndoManager>(undoManager());
    if (!manager || !validateAction("undo:")) return NSBeep();
    manager->undo();
}

void NSTextView::redo(const Id&)
{
    auto manager = dynamic_ref_cast<NSUndoManager>(undoManager());
    if (!manager || !validateAction("redo:")) return NSBeep();
    manager->redo();
}

// --- Following the storage ---

void NSTextView::watchStorage()
{
    auto storage = textStorage();
    if (storage == m_watchedStorage.get()) return;
    auto center = NSNotificationCenter::defaultCenter();
    if (m_storageObserver) center->removeObserver(m_storageObserver);
    m_storageObserver = nullptr;
    m_watchedStorage = storage;
    if (!storage) return;
    Weak<NSTextView> self(this);
    m_storageObserver = center->addObserverForName(NSTextStorageDidProcessEditingNotification, storage, nullptr,
                                                   [self](const Ref<NSNotification>&) {
                                                       if (auto view = self.get()) view->storageDidProcessEditing();
                                                   });
}

void NSTextView::layoutManagerDidReplaceTextStorage(const Ref<NSTextStorage>& old,
                                                    const Ref<NSTextStorage>& replacement)
{
    if (m_ownedStorage && m_ownedStorage == old) m_ownedStorage = replacement;
    watchStorage();
    const NSUInteger length = replacement ? replacement->length() : 0;
    if (NSMaxRange(m_selection) > length) setSelectedRange(NSMakeRange(length, 0));
    setNeedsDisplay(true);
}

void NSTextView::storageDidProcessEditing()
{
    auto storage = textStorage();
    if (m_ownEdit > 0 || !storage || !(storage->editedMask() & NSTextStorageEditedCharacters)) return;
    breakUndoCoalescing();
    if (auto manager = dynamic_ref_cast<NSUndoManager>(undoManager()))
        manager->removeAllActionsWithTarget(Ref<NSTextView>(this));
}

// --- Validation ---

bool NSTextView::validateAction(const SEL& action)
{
    if (action == "undo:" || action == "redo:") {
        auto manager = dynamic_ref_cast<NSUndoManager>(undoManager());
        if (!m_allowsUndo || !m_editable || !manager) return false;
        return action == "undo:" ? manager->canUndo() : manager->canRedo();
    }
    if (action == "copy:") return m_selection.length > 0 && !m_secure;
    if (action == "cut:") return m_selection.length > 0 && !m_secure && m_editable;
    if (action == "paste:" || action == "pasteAsPlainText:") return m_editable;
    if (action == "selectAll:") return m_selectable;
    return true;
}

std::optional<bool> NSTextView::validateMenuItem(const Ref<NSMenuItem>& item)
{
    if (!item) return std::nullopt;
    bool valid = validateAction(item->action());
    if (item->action() == "undo:" || item->action() == "redo:") {
        if (auto manager = dynamic_ref_cast<NSUndoManager>(undoManager()))
            item->setTitle(item->action() == "undo:" ? manager->undoMenuItemTitle() : manager->redoMenuItemTitle());
    }
    return valid;
}
