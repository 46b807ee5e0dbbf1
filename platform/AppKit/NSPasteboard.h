#pragma once
// Pasteboards: named stores of typed data that copy and paste, drags and
// other programs exchange.
//
// The general pasteboard is the clipboard: on X11 it is mirrored to the
// CLIPBOARD selection, so other clients paste what the program copied and
// the program pastes what they copied; headless it lives in the process,
// where tests read and fill it. The drag, find, font and ruler pasteboards
// live in the process and keep live objects; so does the selection
// pasteboard, mirrored to PRIMARY on X11. Every other name (and each
// unique pasteboard) is shared between processes as a folder under
// $XDG_RUNTIME_DIR, one file per type, written atomically.
//
// The classic calls (declareTypes:owner:, setData:forType:, ...) work on the
// first item; writeObjects: adds items.
#include <memory>
#include <vector>

#include "AppKit/NSPasteboardItem.h"
#include "Foundation/NSArray.h"

class NSClass;
class PasteboardMirror;

inline const Ref<NSString> NSGeneralPboard = "Apple CFPasteboard general"_ns;
inline const Ref<NSString> NSDragPboard = "Apple CFPasteboard drag"_ns;
inline const Ref<NSString> NSFindPboard = "Apple CFPasteboard find"_ns;
inline const Ref<NSString> NSFontPboard = "Apple CFPasteboard font"_ns;
inline const Ref<NSString> NSRulerPboard = "Apple CFPasteboard ruler"_ns;
// The text selected last (the X11 PRIMARY selection); in the process like
// the general pasteboard.
inline const Ref<NSString> NSSelectionPboard = "PRIMARY"_ns;

inline const Ref<NSString> NSPasteboardTypeString = "public.utf8-plain-text"_ns;
inline const Ref<NSString> NSStringPboardType = NSPasteboardTypeString;
inline const Ref<NSString> NSPasteboardTypeURL = "public.url"_ns;
inline const Ref<NSString> NSURLPboardType = "Apple URL pasteboard type"_ns;
inline const Ref<NSString> NSPasteboardTypeRTF = "public.rtf"_ns;
inline const Ref<NSString> NSPasteboardTypeTabularText = "public.utf8-tab-separated-values-text"_ns;

// The owner named in declareTypes:owner: (not retained) gives the data of
// the declared types on first read, and hears when it lost the pasteboard.
class NSPasteboardOwner {
public:
    virtual ~NSPasteboardOwner() = default;
    virtual void pasteboardProvideDataForType(const Ref<class NSPasteboard>&, const Ref<NSString>&) { }
    virtual void pasteboardChangedOwner(const Ref<class NSPasteboard>&) { }
};

class NSPasteboard : public NSObject {
    NS_OBJECT(NSPasteboard, NSObject)
protected:
    NSPasteboard();

public:
    ~NSPasteboard() override;

    static Ref<NSPasteboard> generalPasteboard();
    // The same object for the same name while it lives.
    static Ref<NSPasteboard> pasteboardWithName(const Ref<NSString>& name);
    // A new shared pasteboard with a name no other has.
    static Ref<NSPasteboard> pasteboardWithUniqueName();

    Ref<NSString> name() const { return m_name; }
    // Grows with every change of owner or contents, here or outside.
    NSInteger changeCount();

    // --- Writing ---
    // Empties the pasteboard; answers the new change count.
    NSInteger clearContents();
    // Empties it and declares the types (data to follow, or from the owner).
    NSInteger declareTypes(const Ref<NSArray>& types, const Id& owner);
    // Adds types to the first item; answers the change count (0 when there
    // is nothing to add to).
    NSInteger addTypes(const Ref<NSArray>& types, const Id& owner);
    bool setData(const Ref<NSData>& data, const Ref<NSString>& type);
    bool setString(const Ref<NSString>& string, const Ref<NSString>& type);
    bool setPropertyList(const Id& propertyList, const Ref<NSString>& type);
    // Adds one item per object: NSPasteboardItem (kept as the same object in
    // the process), NSString, or any NSPasteboardWriting.
    bool writeObjects(const Ref<NSArray>& objects);

    // --- Reading ---
    Ref<NSArray> types();
    Ref<NSString> availableTypeFromArray(const Ref<NSArray>& types);
    Ref<NSData> dataForType(const Ref<NSString>& type);
    Ref<NSString> stringForType(const Ref<NSString>& type);
    Id propertyListForType(const Ref<NSString>& type);
    // NSPasteboardItem objects, in order.
    Ref<NSArray> pasteboardItems();
    // Objects of the first class each item can become: the item itself for
    // NSPasteboardItem (or its subclass it is), a string for NSString.
    Ref<NSArray> readObjectsForClasses(const std::vector<const NSClass*>& classes, const Ref<NSDictionary>& options);
    bool canReadObjectForClasses(const std::vector<const NSClass*>& classes, const Ref<NSDictionary>& options);
    bool canReadItemWithDataConformingToTypes(const Ref<NSArray>& types);

    // Removes a shared pasteboard's folder; the name is free again.
    void releaseGlobally();

    // --- For the pasteboard's mirrors and items ---
    void itemChanged(const Ref<NSPasteboardItem>& item, const Ref<NSString>& type);
    // Replaces the contents by what came from outside (another program).
    void takeOutsideContents(std::vector<Ref<NSPasteboardItem>> items);
    const std::vector<Ref<NSPasteboardItem>>& itemsWithoutRefresh() const { return m_items; }
    // Installs the mirror of the general pasteboard (the X11 backend does).
    void setMirror(std::unique_ptr<PasteboardMirror> mirror);
    // The in-process pasteboards are made anew (tests start clean).
    static void resetForTesting();

private:
    class OwnerProvider;
    class MirrorSource;

    void refresh();
    void changed();
    NSPasteboardItem& firstItem();
    void takeOwner(const Id& owner);

    Ref<NSString> m_name;
    std::vector<Ref<NSPasteboardItem>> m_items;
    NSInteger m_changeCount = 0;
    Weak<NSObject> m_owner;
    std::unique_ptr<OwnerProvider> m_ownerProvider;
    // Before the mirror, which may keep it until it goes.
    std::unique_ptr<MirrorSource> m_mirrorSource;
    std::unique_ptr<PasteboardMirror> m_mirror;
};
