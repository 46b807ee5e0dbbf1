#pragma once
// One item on a pasteboard: its types in the order written, each with data
// or with a promise that a provider keeps (asked on first read).
// Strings are kept as UTF-8 and property lists as XML property lists, so
// every value reads back in each of the three forms.
#include <optional>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

class NSPasteboard;
class NSPasteboardItem;

// What an object written with writeObjects: offers.
class NSPasteboardWriting {
public:
    virtual ~NSPasteboardWriting() = default;
    virtual Ref<NSArray> writableTypesForPasteboard(const Ref<NSPasteboard>& pasteboard) const = 0;
    // A string, data or a property list for the type.
    virtual Id pasteboardPropertyListForType(const Ref<NSString>& type) const = 0;
};

// Gives the data of promised types when they are first read.
class NSPasteboardItemDataProvider {
public:
    virtual ~NSPasteboardItemDataProvider() = default;
    virtual void pasteboardItemProvideDataForType(const Ref<NSPasteboard>& pasteboard,
                                                  const Ref<NSPasteboardItem>& item, const Ref<NSString>& type) = 0;
    virtual void pasteboardFinishedWithDataProvider(const Ref<NSPasteboard>&) { }
};

class NSPasteboardItem : public NSObject, public NSPasteboardWriting {
    NS_OBJECT(NSPasteboardItem, NSObject)
protected:
    NSPasteboardItem() = default;

public:
    Ref<NSArray> types() const;
    Ref<NSString> availableTypeFromArray(const Ref<NSArray>& types) const;
    bool hasType(const Ref<NSString>& type) const;

    // Each adds the type (or replaces its value). NO for nil arguments or a
    // value that is not a property list.
    bool setDataForType(const Ref<NSData>& data, const Ref<NSString>& type);
    bool setStringForType(const Ref<NSString>& string, const Ref<NSString>& type);
    bool setPropertyListForType(const Id& propertyList, const Ref<NSString>& type);
    // Promises the types; the provider (not retained) is asked on first read.
    bool setDataProviderForTypes(NSPasteboardItemDataProvider* provider, const Ref<NSArray>& types);

    // nil when the type is absent or its promise was not kept.
    Ref<NSData> dataForType(const Ref<NSString>& type);
    // Invalid UTF-8 reads as U+FFFD.
    Ref<NSString> stringForType(const Ref<NSString>& type);
    Id propertyListForType(const Ref<NSString>& type);

    // NSPasteboardWriting: an item writes itself.
    Ref<NSArray> writableTypesForPasteboard(const Ref<NSPasteboard>&) const override { return types(); }
    Id pasteboardPropertyListForType(const Ref<NSString>& type) const override;

    // The pasteboard the item is on (set by the pasteboard; not retained).
    void attachToPasteboard(NSPasteboard* pasteboard);

    // A property list as the bytes stored for it, and back.
    static Ref<NSData> dataForPropertyList(const Id& propertyList);
    static Id propertyListFromData(const Ref<NSData>& data);
    // UTF-8 to a string, replacing invalid sequences and lone surrogates by
    // U+FFFD.
    static Ref<NSString> stringFromUTF8(const Ref<NSData>& data);

private:
    struct Entry {
        Ref<NSString> type;
        Ref<NSData> data;
        NSPasteboardItemDataProvider* provider = nullptr;
    };
    Entry* find(const Ref<NSString>& type);
    const Entry* find(const Ref<NSString>& type) const;
    Entry& entryFor(const Ref<NSString>& type);

    std::vector<Entry> m_entries;
    Weak<NSPasteboard> m_pasteboard;
};
