#pragma once
// The abstract formatter: turns object values into text for display and
// editing and reads edited text back into objects. Controls and cells show
// their value through it (AppKit/NSCell.h). The base class formats nothing:
// stringForObjectValue answers nil and getObjectValue refuses. Formatters are
// copied by class and settings (copySettingsFrom), and archive only what
// their subclasses write.
#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class NSAttributedString;
class NSDictionary;

class NSFormatter : public NSObject, public NSCoding {
    NS_OBJECT(NSFormatter, NSObject)
protected:
    NSFormatter() = default;

public:
    // The text shown for a value; nil when the value cannot be shown.
    virtual Ref<NSString> stringForObjectValue(const Id& object);
    // The text an editor starts with; stringForObjectValue unless overridden.
    virtual Ref<NSString> editingStringForObjectValue(const Id& object);
    // Styled text for a value; nil means "use stringForObjectValue".
    virtual Ref<NSAttributedString> attributedStringForObjectValue(const Id& object,
                                                                   const Ref<NSDictionary>& defaultAttributes);
    // Reads a value from text. On failure answers NO and, when error is
    // given, a description of what was wrong. Out pointers may be null.
    virtual bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error);

    // A new formatter of the same class with the same settings.
    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override { }
    Id initWithCoder(NSCoder* coder) override { return this; }

protected:
    // Subclasses copy their own settings after the superclass's.
    virtual void copySettingsFrom(const NSFormatter& other) { }
};
