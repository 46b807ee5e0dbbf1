#include "AppKit/NSPasteboardItem.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "AppKit/NSPasteboard.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSPropertyListSerialization.h"

NS_CLASS_DEFINE(NSPasteboardItem)

NSPasteboardItem::Entry* NSPasteboardItem::find(const Ref<NSString>& type)
{
    if (!type) return nullptr;
    for (auto& e : m_entries)
        if (e.type->isEqualToString(type)) return &e;
    return nullptr;
}

const NSPasteboardItem::Entry* NSPasteboardItem::find(const Ref<NSString>& type) const
{
    return const_cast<NSPasteboardItem*>(this)->find(type);
}

NSPasteboardItem::Entry& NSPasteboardItem::entryFor(const Ref<NSString>& type)
{
    if (auto* e = find(type)) return *e;
    m_entries.push_back({static_ref_cast<NSString>(type->copy()), nullptr, nullptr});
    return m_entries.back();
}

Ref<NSArray> NSPasteboardItem::types() const
{
    std::vector<Id> list;
    for (const auto& e : m_entries) list.push_back(e.type);
    return NSArray::arrayWithVector(std::move(list));
}

bool NSPasteboardItem::hasType(const Ref<NSString>& type) const { return find(type) != nullptr; }

Ref<NSString> NSPasteboardItem::availableTypeFromArray(const Ref<NSArray>& types) const
{
    if (!types) return nullptr;
    for (NSUInteger i = 0; i < types->count(); ++i) {
        auto type = dynamic_ref_cast<NSString>(types->objectAtIndex(i));
        if (type && hasType(type)) return type;
    }
    return nullptr;
}

bool NSPasteboardItem::setDataForType(const Ref<NSData>& data, const Ref<NSString>& type)
{
    if (!data || !type) return false;
    auto& e = entryFor(type);
    e.data = static_ref_cast<NSData>(data->copy());
    e.provider = nullptr;
    if (auto board = m_pasteboard.get()) board->itemChanged(Ref<NSPasteboardItem>(this), type);
    return true;
}

bool NSPasteboardItem::setStringForType(const Ref<NSString>& string, const Ref<NSString>& type)
{
    if (!string) return false;
    std::string utf8 = string->UTF8String();
    return setDataForType(NSData::dataWithBytes(utf8.data(), utf8.size()), type);
}

bool NSPasteboardItem::setPropertyListForType(const Id& propertyList, const Ref<NSString>& type)
{
    // A string stays text, so that stringForType reads it back as written.
    if (auto string = dynamic_ref_cast<NSString>(propertyList)) return setStringForType(string, type);
    auto data = dataForPropertyList(propertyList);
    return data && setDataForType(data, type);
}

bool NSPasteboardItem::setDataProviderForTypes(NSPasteboardItemDataProvider* provider, const Ref<NSArray>& types)
{
    if (!provider || !types) return false;
    for (NSUInteger i = 0; i < types->count(); ++i) {
        auto type = dynamic_ref_cast<NSString>(types->objectAtIndex(i));
        if (!type) continue;
        auto& e = entryFor(type);
        e.data = nullptr;
        e.provider = provider;
    }
    return true;
}

Ref<NSData> NSPasteboardItem::dataForType(const Ref<NSString>& type)
{
    auto* e = find(type);
    if (!e) return nullptr;
    if (!e->data && e->provider) {
        auto* provider = e->provider;
        // A provider is asked once; what it does not put there stays absent.
        e->provider = nullptr;
        provider->pasteboardItemProvideDataForType(m_pasteboard.get(), Ref<NSPasteboardItem>(this), type);
        e = find(type);
    }
    return e ? e->data : nullptr;
}

Ref<NSString> NSPasteboardItem::stringForType(const Ref<NSString>& type)
{
    auto data = dataForType(type);
    return data ? stringFromUTF8(data) : nullptr;
}

Id NSPasteboardItem::propertyListForType(const Ref<NSString>& type)
{
    auto data = dataForType(type);
    if (!data) return nullptr;
    if (auto plist = propertyListFromData(data)) return plist;
    // Plain text (a string written as such, or another client's text).
    return stringFromUTF8(data);
}

Id NSPasteboardItem::pasteboardPropertyListForType(const Ref<NSString>& type) const
{
    auto* e = find(type);
    return e ? e->data : nullptr;
}

void NSPasteboardItem::attachToPasteboard(NSPasteboard* pasteboard) { m_pasteboard = pasteboard; }

Ref<NSData> NSPasteboardItem::dataForPropertyList(const Id& propertyList)
{
    if (!propertyList) return nullptr;
    return NSPropertyListSerialization::dataWithPropertyList(propertyList, NSPropertyListXMLFormat_v1_0, 0, nullptr);
}

Id NSPasteboardItem::propertyListFromData(const Ref<NSData>& data)
{
    if (!data || data->view().find("<plist") == std::string_view::npos) return nullptr;
    return NSPropertyListSerialization::propertyListWithData(data, 0, nullptr, nullptr);
}

Ref<NSString> NSPasteboardItem::stringFromUTF8(const Ref<NSData>& data)
{
    std::u16string text;
    const uint8_t* bytes = data->bytes();
    const int32_t length = static_cast<int32_t>(std::min<NSUInteger>(data->length(), INT32_MAX));
    text.reserve(static_cast<size_t>(length));
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        // U8_NEXT rejects overlong forms, surrogates and values past U+10FFFF.
        if (c < 0) c = 0xFFFD;
        if (U_IS_BMP(c)) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text.push_back(U16_LEAD(c));
            text.push_back(U16_TRAIL(c));
        }
    }
    return NSString::stringWithUTF16(std::move(text));
}
