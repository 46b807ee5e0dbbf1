// The enabled list, the pop-ups it fills and the panel that edits it.
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingManager.h"

#include <algorithm>

#include "AppKit/CGWindowLevel.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSNib.h"
#include "AppKit/NSWindow.h"
#include "Foundation/CFStringEncoding.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "FoundationExtensions/ZAKNSObject.Extension.h"

NS_CLASS_DEFINE(ZAKEncodingManager)

Ref<NSString> ZAKEncodingsListChangedNotification() { return "EncodingsListChanged"_ns; }

namespace {

Ref<NSString> encodingsKey() { return "Encodings"_ns; }

Ref<ZAKEncodingManager>& sharedSlot()
{
    static Ref<ZAKEncodingManager> shared;
    return shared;
}

std::vector<NSStringEncoding> encodingsIn(const Ref<NSArray>& list)
{
    std::vector<NSStringEncoding> out;
    if (!list) return out;
    for (const Id& item : list->snapshot())
        if (auto number = dynamic_ref_cast<NSNumber>(item)) out.push_back(number->unsignedIntegerValue());
    return out;
}

Ref<NSMutableArray> arrayOf(const std::vector<NSStringEncoding>& encodings)
{
    auto out = NSMutableArray::array();
    for (NSStringEncoding encoding : encodings) out->addObject(NSNumber::numberWithUnsignedInteger(encoding));
    return out;
}

// Unicode first, then by script (the most compatible Mac encoding), then by
// number.
bool sortsBefore(CFStringEncoding a, CFStringEncoding b)
{
    if (a == b) return false;
    CFStringEncoding macA = CFStringGetMostCompatibleMacStringEncoding(a);
    CFStringEncoding macB = CFStringGetMostCompatibleMacStringEncoding(b);
    if (macA == macB) return a < b;
    if (macA != kCFStringEncodingUnicode && macB != kCFStringEncodingUnicode) return macA < macB;
    return macA == kCFStringEncodingUnicode;
}

}

ZAKEncodingManager::ZAKEncodingManager() = default;
ZAKEncodingManager::~ZAKEncodingManager() = default;

void ZAKEncodingManager::describeClass(NSClassMembers<ZAKEncodingManager>& m)
{
    m.property("encodingMatrix", &ZAKEncodingManager::encodingMatrix, &ZAKEncodingManager::setEncodingMatrix);
    m.action("showPanel:", &ZAKEncodingManager::showPanel);
    m.action("encodingListChanged:", &ZAKEncodingManager::encodingListChanged);
    m.action("clearAll:", &ZAKEncodingManager::clearAll);
    m.action("selectAll:", &ZAKEncodingManager::selectAll);
    m.action("revertToDefault:", &ZAKEncodingManager::revertToDefault);
}

Ref<ZAKEncodingManager> ZAKEncodingManager::sharedInstance()
{
    Ref<ZAKEncodingManager>& shared = sharedSlot();
    if (!shared) {
        shared = alloc<ZAKEncodingManager>();
        shared->NSObject::init();
    }
    return shared;
}

Id ZAKEncodingManager::init()
{
    if (sharedSlot() && sharedSlot().get() != this) return sharedSlot();
    NSObject::init();
    return Id(this);
}

Ref<NSString> ZAKEncodingManager::localized(const char* key)
{
    return NSObjectExt::bundle(ZAKEncodingManager::classRecord())
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKEncodingManager"_ns);
}

const std::vector<NSStringEncoding>& ZAKEncodingManager::allAvailableStringEncodings()
{
    static const std::vector<NSStringEncoding> all = [] {
        std::vector<CFStringEncoding> list = CFStringGetListOfAvailableEncodings();
        std::sort(list.begin(), list.end(), sortsBefore);
        std::vector<NSStringEncoding> out;
        for (CFStringEncoding encoding : list) {
            NSStringEncoding ns = CFStringConvertEncodingToNSStringEncoding(encoding);
            if (ns && ns != kCFStringEncodingInvalidId && NSString::localizedNameOfStringEncoding(ns)->length())
                out.push_back(ns);
        }
        return out;
    }();
    return all;
}

Ref<NSMutableArray> ZAKEncodingManager::defaultEncodings()
{
    static constexpr CFStringEncoding defaults[] = {
        kCFStringEncodingUnicode,        kCFStringEncodingUTF8,        kCFStringEncodingMacRoman,
        kCFStringEncodingWindowsLatin1,  kCFStringEncodingMacJapanese, kCFStringEncodingShiftJIS,
        kCFStringEncodingMacChineseTrad, kCFStringEncodingMacKorean,   kCFStringEncodingMacChineseSimp,
        kCFStringEncodingGB_18030_2000,
    };
    std::vector<NSStringEncoding> list;
    for (CFStringEncoding encoding : defaults) {
        NSStringEncoding ns = CFStringConvertEncodingToNSStringEncoding(encoding);
        if (ns != kCFStringEncodingInvalidId) list.push_back(ns);
    }
    NSStringEncoding cString = NSString::defaultCStringEncoding();
    if (std::find(list.begin(), list.end(), cString) == list.end()) list.push_back(cString);
    return arrayOf(list);
}

Ref<NSArray> ZAKEncodingManager::enabledEncodings()
{
    if (m_encodings) return m_encodings;
    Ref<NSArray> stored = NSUserDefaults::standardUserDefaults()->arrayForKey(encodingsKey());
    m_encodings = stored ? arrayOf(encodingsIn(stored)) : defaultEncodings();
    return m_encodings;
}

void ZAKEncodingManager::setupPopUp(const Ref<NSPopUpButton>& popUp, NSStringEncoding selectedEncoding,
                                    bool withDefaultEntry)
{
    if (!popUp) return;
    std::vector<NSStringEncoding> encodings = encodingsIn(enabledEncodings());
    popUp->removeAllItems();
    Ref<NSMenu> menu = popUp->menu();
    auto addItem = [&](const Ref<NSString>& title, NSInteger tag) {
        auto item = NSMenuItem::itemWithTitle(title, {}, ""_ns);
        item->setTag(tag);
        item->setEnabled(true);
        menu->addItem(item);
        return item;
    };
    if (withDefaultEntry) {
        addItem(localized("Automatic"), ZAKNoStringEncoding);
    } else if (selectedEncoding != ZAKNoStringEncoding &&
               std::find(encodings.begin(), encodings.end(), selectedEncoding) == encodings.end()) {
        encodings.push_back(selectedEncoding);
    }
    NSInteger selectedIndex = 0;
    for (NSStringEncoding encoding : encodings) {
        addItem(NSString::localizedNameOfStringEncoding(encoding), static_cast<NSInteger>(encoding));
        if (encoding == selectedEncoding) selectedIndex = menu->numberOfItems() - 1;
    }
    if (menu->numberOfItems() > 0) {
        auto separator = NSMenuItem::separatorItem();
        separator->setTag(ZAKNoStringEncoding);
        menu->addItem(separator);
    }
    auto customise = addItem(localized("Customize Encodings List\\U2026"), ZAKNoStringEncoding);
    customise->setAction("showPanel:");
    customise->setTarget(Id(this));
    popUp->selectItemAtIndex(selectedIndex);
    popUp->performSelector("setHasDefaultEntry:", NSNumber::numberWithBool(withDefaultEntry));
}

void ZAKEncodingManager::setupEncodingsList()
{
    if (!m_encodingMatrix) return;
    const auto& all = allAvailableStringEncodings();
    for (size_t i = 0; i < all.size(); ++i) {
        auto row = static_cast<NSInteger>(i);
        if (row >= m_encodingMatrix->numberOfRows()) m_encodingMatrix->addRow();
        Ref<NSCell> cell = m_encodingMatrix->cellAtRow(row, 0);
        if (!cell) continue;
        cell->setTitle(NSString::localizedNameOfStringEncoding(all[i]));
        cell->setTag(static_cast<NSInteger>(all[i]));
    }
    m_encodingMatrix->sizeToCells();
    noteEncodingListChange(false, true, false);
}

void ZAKEncodingManager::noteEncodingListChange(bool writeDefaults, bool updateList, bool postNotification)
{
    std::vector<NSStringEncoding> enabled = encodingsIn(enabledEncodings());
    if (writeDefaults) NSUserDefaults::standardUserDefaults()->setObject(arrayOf(enabled)->copy(), encodingsKey());
    if (updateList && m_encodingMatrix) {
        for (const Id& object : m_encodingMatrix->cells()->snapshot()) {
            auto cell = static_ref_cast<NSCell>(object);
            auto tag = static_cast<NSStringEncoding>(cell->tag());
            bool on = std::find(enabled.begin(), enabled.end(), tag) != enabled.end();
            cell->setState(on ? NSOnState : NSOffState);
        }
        m_encodingMatrix->setNeedsDisplay(true);
    }
    if (postNotification)
        NSNotificationCenter::defaultCenter()->postNotificationName(ZAKEncodingsListChangedNotification(), nullptr);
}

void ZAKEncodingManager::showPanel(const Id&)
{
    if (!m_panelLoaded) {
        Ref<NSNib> nib = NSNib::alloc<NSNib>()->initWithNibNamed("ZAKSelectEncodingsPanel"_ns, nullptr);
        Ref<NSArray> objects;
        if (!nib || !nib->instantiateWithOwner(Id(this), &objects) || !m_encodingMatrix ||
            !m_encodingMatrix->window()) {
            NSLog("Failed to load ZAKSelectEncodingsPanel");
            return;
        }
        m_panelObjects = objects;
        m_panelLoaded = true;
        Ref<NSWindow> panel = m_encodingMatrix->window();
        panel->setWorksWhenModal(true);
        panel->setLevel(CGWindowLevelForKey(kCGModalPanelWindowLevelKey));
        setupEncodingsList();
    }
    m_encodingMatrix->window()->makeKeyAndOrderFront(nullptr);
}

void ZAKEncodingManager::encodingListChanged(const Id&)
{
    std::vector<NSStringEncoding> enabled;
    if (m_encodingMatrix) {
        for (NSInteger row = 0; row < m_encodingMatrix->numberOfRows(); ++row) {
            Ref<NSCell> cell = m_encodingMatrix->cellAtRow(row, 0);
            if (!cell || cell->state() != NSOnState) continue;
            auto tag = static_cast<NSStringEncoding>(cell->tag());
            if (tag != ZAKNoStringEncoding) enabled.push_back(tag);
        }
    }
    m_encodings = arrayOf(enabled);
    noteEncodingListChange(true, false, true);
}

void ZAKEncodingManager::clearAll(const Id&)
{
    m_encodings = NSMutableArray::array();
    noteEncodingListChange(true, true, true);
}

void ZAKEncodingManager::selectAll(const Id&)
{
    m_encodings = arrayOf(allAvailableStringEncodings());
    noteEncodingListChange(true, true, true);
}

void ZAKEncodingManager::revertToDefault(const Id&)
{
    m_encodings = nullptr;
    NSUserDefaults::standardUserDefaults()->removeObjectForKey(encodingsKey());
    m_encodings = defaultEncodings();
    noteEncodingListChange(false, true, true);
}
