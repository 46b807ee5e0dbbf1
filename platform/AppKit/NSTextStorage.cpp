#include "AppKit/NSTextStorage.h"

#include <algorithm>

#include "AppKit/NSLayoutManager.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSTextStorage)

Ref<NSTextStorage> NSTextStorage::initWithString(const Ref<NSString>& string, const Ref<NSDictionary>& attributes)
{
    auto s = alloc<NSTextStorage>();
    if (string && string->length() > 0)
        s->NSMutableAttributedString::replaceCharactersInRange(NSMakeRange(0, 0),
                                                               NSAttributedString::initWithString(string, attributes));
    return s;
}

Ref<NSTextStorage> NSTextStorage::initWithAttributedString(const Ref<NSAttributedString>& other)
{
    auto s = alloc<NSTextStorage>();
    if (other) s->NSMutableAttributedString::replaceCharactersInRange(NSMakeRange(0, 0), other);
    return s;
}

void NSTextStorage::addLayoutManager(const Ref<NSLayoutManager>& manager)
{
    if (!manager || std::find(m_layoutManagers.begin(), m_layoutManagers.end(), manager) != m_layoutManagers.end())
        return;
    m_layoutManagers.push_back(manager);
    manager->setTextStorage(Ref<NSTextStorage>(this));
}

void NSTextStorage::removeLayoutManager(const Ref<NSLayoutManager>& manager)
{
    auto it = std::find(m_layoutManagers.begin(), m_layoutManagers.end(), manager);
    if (it == m_layoutManagers.end()) return;
    Ref<NSLayoutManager> keep = *it;
    m_layoutManagers.erase(it);
    keep->setTextStorage(nullptr);
}

void NSTextStorage::replaceCharactersInRange(NSRange range, const Ref<NSString>& string)
{
    NSUInteger inserted = string ? string->length() : 0;
    NSMutableAttributedString::replaceCharactersInRange(range, string);
    edited(NSTextStorageEditedCharacters | NSTextStorageEditedAttributes, range,
           static_cast<NSInteger>(inserted) - static_cast<NSInteger>(range.length));
}

void NSTextStorage::replaceCharactersInRange(NSRange range, const Ref<NSAttributedString>& string)
{
    NSUInteger inserted = string ? string->length() : 0;
    NSMutableAttributedString::replaceCharactersInRange(range, string);
    edited(NSTextStorageEditedCharacters | NSTextStorageEditedAttributes, range,
           static_cast<NSInteger>(inserted) - static_cast<NSInteger>(range.length));
}

void NSTextStorage::setAttributes(const Ref<NSDictionary>& attributes, NSRange range)
{
    NSMutableAttributedString::setAttributes(attributes, range);
    edited(NSTextStorageEditedAttributes, range, 0);
}

void NSTextStorage::edited(NSUInteger mask, NSRange range, NSInteger delta)
{
    // The range after this edit, in the text as it now is.
    NSRange after = NSMakeRange(range.location, static_cast<NSUInteger>(static_cast<NSInteger>(range.length) + delta));
    if (m_editedRange.location == NSNotFound) {
        m_editedRange = after;
    } else {
        // Earlier edits past this one move with it.
        NSUInteger start = std::min(m_editedRange.location, after.location);
        NSInteger oldEnd = static_cast<NSInteger>(NSMaxRange(m_editedRange));
        if (oldEnd > static_cast<NSInteger>(range.location)) oldEnd += delta;
        NSUInteger end =
            std::max<NSUInteger>(static_cast<NSUInteger>(std::max<NSInteger>(oldEnd, 0)), NSMaxRange(after));
        m_editedRange = NSMakeRange(start, end - start);
    }
    m_editedRange.location = std::min<NSUInteger>(m_editedRange.location, length());
    m_editedRange.length = std::min<NSUInteger>(m_editedRange.length, length() - m_editedRange.location);
    m_editedMask |= mask;
    m_changeInLength += delta;
    if (m_editingDepth == 0) processEditing();
}

void NSTextStorage::endEditing()
{
    if (m_editingDepth == 0) return;
    if (--m_editingDepth == 0 && m_editedMask != 0) processEditing();
}

void NSTextStorage::processEditing()
{
    Ref<NSTextStorage> self(this);
    auto center = NSNotificationCenter::defaultCenter();
    auto* delegate = dynamic_cast<NSTextStorageDelegate*>(m_delegate.get().get());
    auto will = NSNotification::notificationWithName(NSTextStorageWillProcessEditingNotification, self);
    if (delegate) delegate->textStorageWillProcessEditing(will);
    center->postNotification(will);
    auto did = NSNotification::notificationWithName(NSTextStorageDidProcessEditingNotification, self);
    if (delegate) delegate->textStorageDidProcessEditing(did);
    center->postNotification(did);

    NSUInteger mask = m_editedMask;
    NSRange range = m_editedRange;
    NSInteger delta = m_changeInLength;
    m_editedMask = 0;
    m_editedRange = NSMakeRange(NSNotFound, 0);
    m_changeInLength = 0;
    auto managers = m_layoutManagers;  // a manager may leave while told
    for (const auto& manager : managers) manager->textStorageEdited(self, mask, range, delta, range);
}
