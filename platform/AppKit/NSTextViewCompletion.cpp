// Completion of the word before the caret: the candidates come from the
// delegate, else from the words of the text itself, and are offered in the
// pop-up list under the word.
#include <algorithm>
#include <set>

#include "AppKit/NSApplication.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "AppKit/PopUpList.h"
#include "AppKit/TextCharacters.h"

using TextCharacters::isWordCharacter;

namespace {

std::u16string lowered(const std::u16string& text)
{
    return NSString::stringWithUTF16(text)->lowercaseString()->utf16();
}

}

NSRange NSTextView::rangeForUserCompletion() const
{
    const NSRange selection = selectedRange();
    if (selection.location == NSNotFound) return NSMakeRange(NSNotFound, 0);
    if (selection.length > 0) return NSMakeRange(selection.location, 0);
    const std::u16string text = string()->utf16();
    NSUInteger start = std::min<NSUInteger>(selection.location, text.size());
    const NSUInteger end = start;
    while (start > 0 && isWordCharacter(text[start - 1])) --start;
    return NSMakeRange(start, end - start);
}

Ref<NSArray> NSTextView::completionsForPartialWordRange(NSRange range, NSInteger* index)
{
    if (index) *index = -1;
    const std::u16string text = string()->utf16();
    if (range.location == NSNotFound || NSMaxRange(range) > text.size()) return NSArray::array();
    const std::u16string partial = lowered(text.substr(range.location, range.length));
    std::set<std::u16string> seen;
    std::vector<std::u16string> words;
    for (size_t i = 0; i < text.size();) {
        if (!isWordCharacter(text[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && isWordCharacter(text[j])) ++j;
        // The partial word itself is no completion.
        const std::u16string word = text.substr(i, j - i);
        if (i != range.location && word.size() > partial.size() && lowered(word).starts_with(partial) &&
            seen.insert(word).second)
            words.push_back(word);
        i = j;
    }
    std::sort(words.begin(), words.end(), [](const std::u16string& a, const std::u16string& b) {
        return NSString::stringWithUTF16(a)->caseInsensitiveCompare(NSString::stringWithUTF16(b)) == NSOrderedAscending;
    });
    auto own = NSMutableArray::array();
    for (const auto& word : words) own->addObject(NSString::stringWithUTF16(word));
    if (auto* d = viewDelegate()) {
        NSInteger chosen = -1;
        if (auto answer = d->textViewCompletionsForPartialWordRangeIndexOfSelectedItem(Ref<NSTextView>(this), own,
                                                                                       range, &chosen)) {
            if (index) *index = chosen;
            return *answer ? *answer : NSArray::array();
        }
    }
    return own;
}

void NSTextView::insertCompletion(const Ref<NSString>& word, NSRange range, NSInteger, bool isFinal)
{
    if (!word || range.location == NSNotFound) return;
    if (!userReplace(range, word)) return;
    if (isFinal) setSelectedRange(NSMakeRange(range.location + word->length(), 0));
}

void NSTextView::complete(const Id&)
{
    if (!isEditable()) return NSBeep();
    const NSRange range = rangeForUserCompletion();
    NSInteger index = -1;
    auto completions = completionsForPartialWordRange(range, &index);
    if (!completions || completions->count() == 0) return NSBeep();

    PopUpList::Options options;
    for (const auto& object : completions->snapshot())
        if (auto word = dynamic_ref_cast<NSString>(object)) options.titles.push_back(word->utf16());
    if (options.titles.empty()) return NSBeep();
    options.highlighted = index >= 0 && index < NSInteger(options.titles.size()) ? index : 0;
    options.belowControl = true;
    if (auto f = font()) options.style.size = f->pointSize();
    // The word (or the caret) in global points: the list hangs below it.
    NSRect word = NSMakeRect(0, 0, 1, 16);
    if (auto layout = layoutManager()) {
        const auto rects = layout->rectArrayForCharacterRange(range, NSMakeRange(NSNotFound, 0), textContainer());
        if (!rects.empty()) word = rects.front();
    }
    word = NSOffsetRect(word, textContainerOrigin().x, textContainerOrigin().y);
    word.size.width = std::max<CGFloat>(word.size.width, 1);
    if (auto w = window()) options.controlRectOnScreen = w->convertRectToScreen(convertRectToView(word, nullptr));

    const NSInteger chosen = PopUpList::run(options, nullptr);
    if (chosen < 0) return;
    insertCompletion(NSString::stringWithUTF16(options.titles[size_t(chosen)]), range, 0, true);
}
