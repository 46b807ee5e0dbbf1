#include "AppKit/NSPasteboard.h"

#include <map>

#include "AppKit/PasteboardFolderMirror.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSURL.h"

NS_CLASS_DEFINE(NSPasteboard)

// Gives the declared types' data by asking the owner.
class NSPasteboard::OwnerProvider : public NSPasteboardItemDataProvider {
public:
    explicit OwnerProvider(NSPasteboard& board)
        : m_board(board)
    { }
    void pasteboardItemProvideDataForType(const Ref<NSPasteboard>&, const Ref<NSPasteboardItem>&,
                                          const Ref<NSString>& type) override
    {
        auto owner = m_board.m_owner.get();
        if (auto* o = dynamic_cast<NSPasteboardOwner*>(owner.get()))
            o->pasteboardProvideDataForType(Ref<NSPasteboard>(&m_board), type);
    }

private:
    NSPasteboard& m_board;
};

// The first item, as the mirror reads it.
class NSPasteboard::MirrorSource : public PasteboardSource {
public:
    explicit MirrorSource(NSPasteboard& board)
        : m_board(board)
    { }
    std::vector<std::string> types() const override
    {
        std::vector<std::string> names;
        if (m_board.m_items.empty()) return names;
        auto types = m_board.m_items.front()->types();
        for (NSUInteger i = 0; i < types->count(); ++i)
            names.push_back(static_ref_cast<NSString>(types->objectAtIndex(i))->UTF8String());
        return names;
    }
    std::optional<std::string> dataForType(const std::string& type) override
    {
        if (m_board.m_items.empty()) return std::nullopt;
        return bytesOf(m_board.m_items.front()->dataForType(NSString::stringWithUTF8String(type)));
    }
    std::optional<std::string> givenDataForType(const std::string& type) const override
    {
        if (m_board.m_items.empty()) return std::nullopt;
        auto given = m_board.m_items.front()->pasteboardPropertyListForType(NSString::stringWithUTF8String(type));
        return bytesOf(dynamic_ref_cast<NSData>(given));
    }

private:
    static std::optional<std::string> bytesOf(const Ref<NSData>& data)
    {
        if (!data) return std::nullopt;
        return std::string(data->view());
    }

    NSPasteboard& m_board;
};

namespace {

using Registry = std::map<std::u16string, Ref<NSPasteboard>>;

Registry& registry()
{
    static Registry boards;
    return boards;
}

bool livesInProcess(const Ref<NSString>& name)
{
    for (const auto& n : {NSGeneralPboard, NSDragPboard, NSFindPboard, NSFontPboard, NSRulerPboard, NSSelectionPboard})
        if (n->isEqualToString(name)) return true;
    return false;
}

std::vector<Ref<NSString>> stringsOf(const Ref<NSArray>& array)
{
    std::vector<Ref<NSString>> out;
    if (!array) return out;
    for (NSUInteger i = 0; i < array->count(); ++i)
        if (auto s = dynamic_ref_cast<NSString>(array->objectAtIndex(i))) out.push_back(s);
    return out;
}

}

NSPasteboard::NSPasteboard()
    : m_ownerProvider(std::make_unique<OwnerProvider>(*this))
    , m_mirrorSource(std::make_unique<MirrorSource>(*this))
{ }

NSPasteboard::~NSPasteboard()
{
    for (auto& item : m_items) item->attachToPasteboard(nullptr);
}

Ref<NSPasteboard> NSPasteboard::generalPasteboard() { return pasteboardWithName(NSGeneralPboard); }

Ref<NSPasteboard> NSPasteboard::pasteboardWithName(const Ref<NSString>& name)
{
    if (!name) return generalPasteboard();
    auto& boards = registry();
    auto found = boards.find(name->utf16());
    if (found != boards.end()) return found->second;
    auto board = make<NSPasteboard>();
    board->m_name = static_ref_cast<NSString>(name->copy());
    if (!livesInProcess(name)) board->m_mirror = makeFolderPasteboardMirror(name->UTF8String());
    boards.emplace(name->utf16(), board);
    return board;
}

Ref<NSPasteboard> NSPasteboard::pasteboardWithUniqueName()
{
    return pasteboardWithName(NSProcessInfo::processInfo()->globallyUniqueString());
}

void NSPasteboard::resetForTesting() { registry().clear(); }

void NSPasteboard::setMirror(std::unique_ptr<PasteboardMirror> mirror) { m_mirror = std::move(mirror); }

NSInteger NSPasteboard::changeCount()
{
    refresh();
    return m_changeCount;
}

// --- Writing ---

void NSPasteboard::takeOwner(const Id& owner)
{
    auto previous = m_owner.get();
    m_owner = owner;
    if (previous && previous != owner)
        if (auto* o = dynamic_cast<NSPasteboardOwner*>(previous.get())) o->pasteboardChangedOwner(Ref(this));
}

void NSPasteboard::changed()
{
    ++m_changeCount;
    if (m_mirror) m_mirror->publish(*m_mirrorSource);
}

NSInteger NSPasteboard::clearContents()
{
    for (auto& item : m_items) item->attachToPasteboard(nullptr);
    m_items.clear();
    takeOwner(nullptr);
    changed();
    return m_changeCount;
}

NSPasteboardItem& NSPasteboard::firstItem()
{
    if (m_items.empty()) {
        auto item = make<NSPasteboardItem>();
        item->attachToPasteboard(this);
        m_items.push_back(item);
    }
    return *m_items.front();
}

NSInteger NSPasteboard::declareTypes(const Ref<NSArray>& types, const Id& owner)
{
    for (auto& item : m_items) item->attachToPasteboard(nullptr);
    m_items.clear();
    takeOwner(owner);
    auto declared = stringsOf(types);
    if (!declared.empty()) firstItem().setDataProviderForTypes(m_ownerProvider.get(), types);
    changed();
    return m_changeCount;
}

NSInteger NSPasteboard::addTypes(const Ref<NSArray>& types, const Id& owner)
{
    refresh();
    auto added = stringsOf(types);
    if (added.empty()) return m_changeCount;
    if (owner) takeOwner(owner);
    std::vector<Id> fresh;
    auto& item = firstItem();
    for (auto& type : added)
        if (!item.hasType(type)) fresh.push_back(type);
    item.setDataProviderForTypes(m_ownerProvider.get(), NSArray::arrayWithVector(std::move(fresh)));
    if (m_mirror) m_mirror->publish(*m_mirrorSource);
    return m_changeCount;
}

// Data goes only to types that were declared, as on the platform.
bool NSPasteboard::setData(const Ref<NSData>& data, const Ref<NSString>& type)
{
    refresh();
    if (m_items.empty() || !m_items.front()->hasType(type)) return false;
    return m_items.front()->setDataForType(data, type);
}

bool NSPasteboard::setString(const Ref<NSString>& string, const Ref<NSString>& type)
{
    refresh();
    if (m_items.empty() || !m_items.front()->hasType(type)) return false;
    return m_items.front()->setStringForType(string, type);
}

bool NSPasteboard::setPropertyList(const Id& propertyList, const Ref<NSString>& type)
{
    refresh();
    if (m_items.empty() || !m_items.front()->hasType(type)) return false;
    return m_items.front()->setPropertyListForType(propertyList, type);
}

bool NSPasteboard::writeObjects(const Ref<NSArray>& objects)
{
    refresh();
    if (!objects) return false;
    bool wrote = false;
    for (NSUInteger i = 0; i < objects->count(); ++i) {
        Id object = objects->objectAtIndex(i);
        Ref<NSPasteboardItem> item = dynamic_ref_cast<NSPasteboardItem>(object);
        if (!item) {
            item = make<NSPasteboardItem>();
            if (auto string = dynamic_ref_cast<NSString>(object)) {
                item->setStringForType(string, NSPasteboardTypeString);
            } else if (auto url = dynamic_ref_cast<NSURL>(object)) {
                item->setStringForType(url->absoluteString(), NSPasteboardTypeURL);
                item->setStringForType(url->absoluteString(), NSPasteboardTypeString);
            } else if (auto* writer = dynamic_cast<NSPasteboardWriting*>(object.get())) {
                for (auto& type : stringsOf(writer->writableTypesForPasteboard(Ref(this)))) {
                    Id value = writer->pasteboardPropertyListForType(type);
                    if (auto data = dynamic_ref_cast<NSData>(value)) item->setDataForType(data, type);
                    else item->setPropertyListForType(value, type);
                }
            } else {
                continue;
            }
        }
        item->attachToPasteboard(this);
        m_items.push_back(item);
        wrote = true;
    }
    if (wrote && m_mirror) m_mirror->publish(*m_mirrorSource);
    return wrote;
}

void NSPasteboard::itemChanged(const Ref<NSPasteboardItem>&, const Ref<NSString>&)
{
    if (m_mirror) m_mirror->publish(*m_mirrorSource);
}

// --- Reading ---

void NSPasteboard::refresh()
{
    if (!m_mirror) return;
    auto outside = m_mirror->fetch();
    if (!outside) return;
    std::vector<Ref<NSPasteboardItem>> items;
    for (const auto& flavors : *outside) {
        auto item = make<NSPasteboardItem>();
        for (const auto& [type, bytes] : flavors)
            item->setDataForType(NSData::dataWithBytes(bytes.data(), bytes.size()),
                                 NSString::stringWithUTF8String(type));
        items.push_back(item);
    }
    takeOutsideContents(std::move(items));
}

void NSPasteboard::takeOutsideContents(std::vector<Ref<NSPasteboardItem>> items)
{
    for (auto& item : m_items) item->attachToPasteboard(nullptr);
    m_items = std::move(items);
    for (auto& item : m_items) item->attachToPasteboard(this);
    takeOwner(nullptr);
    ++m_changeCount;
}

Ref<NSArray> NSPasteboard::types()
{
    refresh();
    return m_items.empty() ? NSArray::array() : m_items.front()->types();
}

Ref<NSString> NSPasteboard::availableTypeFromArray(const Ref<NSArray>& types)
{
    refresh();
    return m_items.empty() ? nullptr : m_items.front()->availableTypeFromArray(types);
}

Ref<NSData> NSPasteboard::dataForType(const Ref<NSString>& type)
{
    refresh();
    return m_items.empty() ? nullptr : m_items.front()->dataForType(type);
}

Ref<NSString> NSPasteboard::stringForType(const Ref<NSString>& type)
{
    refresh();
    return m_items.empty() ? nullptr : m_items.front()->stringForType(type);
}

Id NSPasteboard::propertyListForType(const Ref<NSString>& type)
{
    refresh();
    return m_items.empty() ? nullptr : m_items.front()->propertyListForType(type);
}

Ref<NSArray> NSPasteboard::pasteboardItems()
{
    refresh();
    std::vector<Id> items(m_items.begin(), m_items.end());
    return NSArray::arrayWithVector(std::move(items));
}

namespace {

Id objectOfClass(const Ref<NSPasteboardItem>& item, const NSClass& cls)
{
    if (cls.isSubclassOf(NSPasteboardItem::staticClass())) return item->isKindOfClass(cls) ? Id(item) : nullptr;
    if (cls.isSubclassOf(NSURL::staticClass())) {
        auto text = item->stringForType(NSPasteboardTypeURL);
        if (!text) text = item->stringForType(NSURLPboardType);
        return text ? Id(NSURL::URLWithString(text)) : nullptr;
    }
    if (cls.isSubclassOf(NSString::staticClass())) return item->stringForType(NSPasteboardTypeString);
    return nullptr;
}

}

Ref<NSArray> NSPasteboard::readObjectsForClasses(const std::vector<const NSClass*>& classes, const Ref<NSDictionary>&)
{
    refresh();
    std::vector<Id> objects;
    for (auto& item : m_items) {
        for (const NSClass* cls : classes) {
            if (!cls) continue;
            if (Id object = objectOfClass(item, *cls)) {
                objects.push_back(object);
                break;
            }
        }
    }
    return NSArray::arrayWithVector(std::move(objects));
}

bool NSPasteboard::canReadObjectForClasses(const std::vector<const NSClass*>& classes, const Ref<NSDictionary>& options)
{
    return readObjectsForClasses(classes, options)->count() > 0;
}

bool NSPasteboard::canReadItemWithDataConformingToTypes(const Ref<NSArray>& types)
{
    refresh();
    for (auto& item : m_items)
        if (item->availableTypeFromArray(types)) return true;
    return false;
}

void NSPasteboard::releaseGlobally()
{
    if (m_mirror) m_mirror->releaseGlobally();
    Ref<NSPasteboard> keep(this);
    registry().erase(m_name->utf16());
}
