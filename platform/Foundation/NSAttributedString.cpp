#include "Foundation/NSAttributedString.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSAttributedString)
NS_CLASS_DEFINE(NSMutableAttributedString)

namespace {
Ref<NSDictionary> orEmpty(const Ref<NSDictionary>& d)
{
    return d ? static_ref_cast<NSDictionary>(d->copy()) : NSDictionary::dictionary();
}

bool sameValue(const Id& a, const Id& b) { return a == b || (a && b && a->isEqual(b.get())); }

// Puts the text with its runs in place of the range of a text and its runs.
void replaceIn(std::u16string& text, std::vector<NSAttributedString::Run>& runs, NSRange range,
               const std::u16string& with, const std::vector<NSAttributedString::Run>& withRuns)
{
    std::vector<NSAttributedString::Run> out;
    NSUInteger start = 0;
    bool done = false;
    auto insert = [&] {
        if (done) return;
        out.insert(out.end(), withRuns.begin(), withRuns.end());
        done = true;
    };
    for (const auto& r : runs) {
        NSUInteger end = start + r.length;
        if (start < range.location) out.push_back({std::min(end, range.location) - start, r.attributes});
        if (end >= range.location) insert();
        if (end > NSMaxRange(range)) out.push_back({end - std::max(start, NSMaxRange(range)), r.attributes});
        start = end;
    }
    insert();
    text.replace(range.location, range.length, with);
    runs = std::move(out);
}
}

Ref<NSAttributedString> NSAttributedString::initWithString(const Ref<NSString>& string,
                                                           const Ref<NSDictionary>& attributes)
{
    auto s = alloc<NSAttributedString>();
    if (string) s->m_text = string->utf16();
    if (!s->m_text.empty()) s->m_runs.push_back({s->m_text.size(), orEmpty(attributes)});
    return s;
}

Ref<NSAttributedString> NSAttributedString::initWithAttributedString(const Ref<NSAttributedString>& other)
{
    auto s = alloc<NSAttributedString>();
    if (other) s->m_text = other->m_text, s->m_runs = other->m_runs;
    return s;
}

Ref<NSString> NSAttributedString::string() const { return NSString::stringWithUTF16(m_text); }

void NSAttributedString::checkRange(NSRange range, const char* method) const
{
    if (range.location > m_text.size() || range.length > m_text.size() - range.location)
        NSException::raise(NSRangeException, std::string(method) + ": range out of bounds");
}

void NSAttributedString::normalize()
{
    std::vector<Run> merged;
    for (Run& r : m_runs) {
        if (r.length == 0) continue;
        if (!merged.empty() && merged.back().attributes->isEqual(r.attributes.get())) merged.back().length += r.length;
        else merged.push_back(std::move(r));
    }
    m_runs = std::move(merged);
}

Ref<NSDictionary> NSAttributedString::attributesAtIndex(NSUInteger index, NSRange* effectiveRange) const
{
    if (index >= m_text.size())
        NSException::raise(NSRangeException, "attributesAtIndex:effectiveRange: index out of bounds");
    NSUInteger start = 0;
    for (const Run& r : m_runs) {
        if (index < start + r.length) {
            if (effectiveRange) *effectiveRange = {start, r.length};
            return r.attributes;
        }
        start += r.length;
    }
    return NSDictionary::dictionary();
}

Id NSAttributedString::attributeAtIndex(const Ref<NSString>& name, NSUInteger index, NSRange* effectiveRange) const
{
    return attributesAtIndex(index, effectiveRange)->objectForKey(name);
}

Id NSAttributedString::attributeAtIndexLongestEffectiveRange(const Ref<NSString>& name, NSUInteger index,
                                                             NSRange* range, NSRange within) const
{
    checkRange(within, "attribute:atIndex:longestEffectiveRange:inRange:");
    Id value = attributeAtIndex(name, index, nullptr);
    if (!range) return value;
    NSUInteger start = index, end = index + 1;
    NSRange run;
    while (start > within.location) {
        Id v = attributeAtIndex(name, start - 1, &run);
        if (!sameValue(v, value)) break;
        start = std::max(run.location, within.location);
    }
    while (end < NSMaxRange(within)) {
        Id v = attributeAtIndex(name, end, &run);
        if (!sameValue(v, value)) break;
        end = std::min(NSMaxRange(run), NSMaxRange(within));
    }
    *range = {start, end - start};
    return value;
}

Ref<NSAttributedString> NSAttributedString::attributedSubstringFromRange(NSRange range) const
{
    checkRange(range, "attributedSubstringFromRange:");
    auto s = alloc<NSAttributedString>();
    s->m_text = m_text.substr(range.location, range.length);
    NSUInteger start = 0;
    for (const Run& r : m_runs) {
        NSUInteger a = std::max(start, range.location), b = std::min(start + r.length, NSMaxRange(range));
        if (a < b) s->m_runs.push_back({b - a, r.attributes});
        start += r.length;
    }
    return s;
}

bool NSAttributedString::isEqualToAttributedString(const Ref<NSAttributedString>& other) const
{
    if (!other || other->m_text != m_text || other->m_runs.size() != m_runs.size()) return false;
    for (size_t i = 0; i < m_runs.size(); ++i)
        if (m_runs[i].length != other->m_runs[i].length ||
            !m_runs[i].attributes->isEqual(other->m_runs[i].attributes.get()))
            return false;
    return true;
}

bool NSAttributedString::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSAttributedString*>(other);
    return o && isEqualToAttributedString(const_cast<NSAttributedString*>(o));
}

Ref<NSString> NSAttributedString::description() const
{
    std::string text;
    NSUInteger start = 0;
    for (const Run& r : m_runs) {
        text += ConvertUTF16ToUTF8(std::u16string_view(m_text).substr(start, r.length));
        text += r.attributes->description()->UTF8String();
        start += r.length;
    }
    return NSString::stringWithUTF8String(text);
}

Id NSAttributedString::copy() const { return initWithAttributedString(const_cast<NSAttributedString*>(this)); }

Id NSAttributedString::mutableCopy() const
{
    return NSMutableAttributedString::initWithAttributedString(const_cast<NSAttributedString*>(this));
}

Ref<NSMutableAttributedString> NSMutableAttributedString::initWithString(const Ref<NSString>& string,
                                                                         const Ref<NSDictionary>& attributes)
{
    auto s = alloc<NSMutableAttributedString>();
    if (string) s->m_text = string->utf16();
    if (!s->m_text.empty()) s->m_runs.push_back({s->m_text.size(), orEmpty(attributes)});
    return s;
}

Ref<NSMutableAttributedString> NSMutableAttributedString::initWithAttributedString(const Ref<NSAttributedString>& other)
{
    auto s = alloc<NSMutableAttributedString>();
    if (other) s->m_text = other->utf16(), s->m_runs = other->runs();
    return s;
}

Id NSMutableAttributedString::copy() const
{
    return NSAttributedString::initWithAttributedString(const_cast<NSMutableAttributedString*>(this));
}

void NSMutableAttributedString::replaceCharactersInRange(NSRange range, const Ref<NSString>& string)
{
    checkRange(range, "replaceCharactersInRange:withString:");
    Ref<NSDictionary> attributes;
    if (range.length > 0) attributes = attributesAtIndex(range.location, nullptr);
    else if (range.location > 0) attributes = attributesAtIndex(range.location - 1, nullptr);
    else if (!m_text.empty()) attributes = attributesAtIndex(0, nullptr);
    // The characters go in once, without an attributed piece in between.
    static const std::u16string none;
    const std::u16string& text = string ? string->utf16() : none;
    std::vector<Run> runs;
    if (!text.empty()) runs.push_back({text.size(), orEmpty(attributes)});
    replaceIn(m_text, m_runs, range, text, runs);
    normalize();
}

void NSMutableAttributedString::replaceCharactersInRange(NSRange range, const Ref<NSAttributedString>& string)
{
    checkRange(range, "replaceCharactersInRange:withAttributedString:");
    if (string) replaceIn(m_text, m_runs, range, string->utf16(), string->runs());
    else replaceIn(m_text, m_runs, range, {}, {});
    normalize();
}

template <class F> void NSMutableAttributedString::editAttributes(NSRange range, F change)
{
    checkRange(range, "setAttributes:range:");
    if (range.length == 0) return;
    std::vector<Run> runs;
    NSUInteger start = 0;
    for (const Run& r : m_runs) {
        NSUInteger end = start + r.length;
        NSUInteger a = std::max(start, range.location), b = std::min(end, NSMaxRange(range));
        if (a >= b) {
            runs.push_back(r);
        } else {
            if (start < a) runs.push_back({a - start, r.attributes});
            runs.push_back({b - a, change(r.attributes)});
            if (b < end) runs.push_back({end - b, r.attributes});
        }
        start = end;
    }
    m_runs = std::move(runs);
    normalize();
}

void NSMutableAttributedString::setAttributes(const Ref<NSDictionary>& attributes, NSRange range)
{
    Ref<NSDictionary> copy =
        attributes ? static_ref_cast<NSDictionary>(attributes->copy()) : NSDictionary::dictionary();
    editAttributes(range, [&](const Ref<NSDictionary>&) { return copy; });
}

void NSMutableAttributedString::changeAttributes(
    NSRange range, const char* method, const std::function<Ref<NSDictionary>(const Ref<NSDictionary>&)>& change)
{
    checkRange(range, method);
    if (range.length == 0) return;
    // Work out every run's new dictionary first, then hand each to the
    // primitive, so that a subclass sees every edit and the run list is not
    // walked while it changes.
    std::vector<std::pair<NSRange, Ref<NSDictionary>>> edits;
    NSUInteger start = 0;
    for (const Run& r : m_runs) {
        NSUInteger end = start + r.length;
        NSUInteger a = std::max(start, range.location), b = std::min(end, NSMaxRange(range));
        if (a < b) edits.emplace_back(NSMakeRange(a, b - a), change(r.attributes));
        start = end;
    }
    beginEditing();
    try {
        for (const auto& [piece, attributes] : edits) setAttributes(attributes, piece);
    } catch (...) {
        endEditing();
        throw;
    }
    endEditing();
}

void NSMutableAttributedString::addAttributes(const Ref<NSDictionary>& attributes, NSRange range)
{
    if (!attributes) return;
    changeAttributes(range, "addAttributes:range:", [&](const Ref<NSDictionary>& old) -> Ref<NSDictionary> {
        auto d = NSMutableDictionary::dictionaryWithDictionary(old);
        d->addEntriesFromDictionary(attributes);
        return static_ref_cast<NSDictionary>(d->copy());
    });
}

void NSMutableAttributedString::addAttribute(const Ref<NSString>& name, const Id& value, NSRange range)
{
    if (!name || !value) NSException::raise(NSInvalidArgumentException, "addAttribute:value:range: nil name or value");
    changeAttributes(range, "addAttribute:value:range:", [&](const Ref<NSDictionary>& old) -> Ref<NSDictionary> {
        auto d = NSMutableDictionary::dictionaryWithDictionary(old);
        d->setObject(value, name);
        return static_ref_cast<NSDictionary>(d->copy());
    });
}

void NSMutableAttributedString::removeAttribute(const Ref<NSString>& name, NSRange range)
{
    changeAttributes(range, "removeAttribute:range:", [&](const Ref<NSDictionary>& old) -> Ref<NSDictionary> {
        auto d = NSMutableDictionary::dictionaryWithDictionary(old);
        d->removeObjectForKey(name);
        return static_ref_cast<NSDictionary>(d->copy());
    });
}

void NSMutableAttributedString::insertAttributedString(const Ref<NSAttributedString>& string, NSUInteger index)
{
    replaceCharactersInRange(NSMakeRange(index, 0), string);
}

void NSMutableAttributedString::appendAttributedString(const Ref<NSAttributedString>& string)
{
    replaceCharactersInRange(NSMakeRange(length(), 0), string);
}

void NSMutableAttributedString::deleteCharactersInRange(NSRange range)
{
    replaceCharactersInRange(range, NSAttributedString::initWithString(nullptr));
}

void NSMutableAttributedString::setAttributedString(const Ref<NSAttributedString>& string)
{
    replaceCharactersInRange(NSMakeRange(0, length()), string);
}
