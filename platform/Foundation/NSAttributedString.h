#pragma once
// Text with attributes: the string and runs of attribute dictionaries. A run
// is a stretch of characters whose attribute dictionaries are all equal;
// adjacent equal runs are always merged. Values compare with isEqual.
#include <functional>
#include <vector>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

class NSAttributedString : public NSObject {
    NS_OBJECT(NSAttributedString, NSObject)
protected:
    NSAttributedString() = default;

public:
    static Ref<NSAttributedString> initWithString(const Ref<NSString>& string,
                                                  const Ref<NSDictionary>& attributes = nullptr);
    static Ref<NSAttributedString> initWithAttributedString(const Ref<NSAttributedString>& other);

    Ref<NSString> string() const;
    const std::u16string& utf16() const { return m_text; }
    NSUInteger length() const { return m_text.size(); }

    // The attributes at an index (an empty dictionary when there are none)
    // and the run they hold over. An index at or past the end raises
    // NSRangeException.
    Ref<NSDictionary> attributesAtIndex(NSUInteger index, NSRange* effectiveRange) const;
    Id attributeAtIndex(const Ref<NSString>& name, NSUInteger index, NSRange* effectiveRange) const;
    // The longest stretch within the range over which one attribute keeps
    // the value it has at the index.
    Id attributeAtIndexLongestEffectiveRange(const Ref<NSString>& name, NSUInteger index, NSRange* range,
                                             NSRange within) const;
    Ref<NSAttributedString> attributedSubstringFromRange(NSRange range) const;
    bool isEqualToAttributedString(const Ref<NSAttributedString>& other) const;

    struct Run {
        NSUInteger length;
        Ref<NSDictionary> attributes;  // never nil
    };
    const std::vector<Run>& runs() const { return m_runs; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_text.size(); }
    Ref<NSString> description() const override;
    Id copy() const override;
    Id mutableCopy() const override;

protected:
    void checkRange(NSRange range, const char* method) const;
    // Merges equal neighbours and drops empty runs.
    void normalize();
    std::u16string m_text;
    std::vector<Run> m_runs;
};

class NSMutableAttributedString : public NSAttributedString {
    NS_OBJECT(NSMutableAttributedString, NSAttributedString)
protected:
    NSMutableAttributedString() = default;

public:
    static Ref<NSMutableAttributedString> initWithString(const Ref<NSString>& string,
                                                         const Ref<NSDictionary>& attributes = nullptr);
    static Ref<NSMutableAttributedString> initWithAttributedString(const Ref<NSAttributedString>& other);

    // New characters take the attributes of the first replaced character, or
    // of the one before them when nothing is replaced.
    virtual void replaceCharactersInRange(NSRange range, const Ref<NSString>& string);
    virtual void replaceCharactersInRange(NSRange range, const Ref<NSAttributedString>& string);
    virtual void setAttributes(const Ref<NSDictionary>& attributes, NSRange range);
    // These edit through setAttributes:range: (one call per run, between
    // beginEditing and endEditing), so a subclass overriding the primitives
    // sees them.
    void addAttribute(const Ref<NSString>& name, const Id& value, NSRange range);
    void addAttributes(const Ref<NSDictionary>& attributes, NSRange range);
    void removeAttribute(const Ref<NSString>& name, NSRange range);
    void insertAttributedString(const Ref<NSAttributedString>& string, NSUInteger index);
    void appendAttributedString(const Ref<NSAttributedString>& string);
    void deleteCharactersInRange(NSRange range);
    void setAttributedString(const Ref<NSAttributedString>& string);
    // Hooks for subclasses that gather edits (text storage).
    virtual void beginEditing() { }
    virtual void endEditing() { }

    Id copy() const override;

protected:
    // Hands each run's changed dictionary over the range to setAttributes.
    void changeAttributes(NSRange range, const char* method,
                          const std::function<Ref<NSDictionary>(const Ref<NSDictionary>&)>& change);

private:
    // Applies a change to the dictionaries over the range, run by run.
    template <class F> void editAttributes(NSRange range, F change);
};
