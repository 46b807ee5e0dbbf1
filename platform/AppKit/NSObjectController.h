#pragma once
// A controller of one content object: what a binding shows and edits. It
// answers the selected objects (the content itself) and whether an object
// can be added or removed; array controllers extend it to a list.
//
// Binding names the controllers and the controls bound to them use.
#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

inline const Ref<NSString> NSContentBinding = "content"_ns;
inline const Ref<NSString> NSContentArrayBinding = "contentArray"_ns;
inline const Ref<NSString> NSContentValuesBinding = "contentValues"_ns;
inline const Ref<NSString> NSContentObjectBinding = "contentObject"_ns;
inline const Ref<NSString> NSImageBinding = "image"_ns;
inline const Ref<NSString> NSSelectionIndexesBinding = "selectionIndexes"_ns;
inline const Ref<NSString> NSSelectedIndexBinding = "selectedIndex"_ns;

class NSClass;

class NSObjectController : public NSObject {
    NS_OBJECT(NSObjectController, NSObject)
public:
    NSObjectController() = default;

    Id init() override;
    // initWithContent:
    virtual Id initWithContent(const Id& content);

    Id content() const { return m_content; }
    virtual void setContent(const Id& content);

    // The class newObject makes (NSMutableDictionary unless set).
    const NSClass* objectClass() const { return m_objectClass; }
    void setObjectClass(const NSClass* cls) { m_objectClass = cls; }
    // Kept for callers that hand it on; the controller does not use it.
    Id managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(const Id& context) { m_managedObjectContext = context; }

    // A new instance of objectClass.
    virtual Id newObject();
    virtual bool canAdd() const { return m_editable; }
    virtual bool canRemove() const;
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }
    // The content for an object controller, the selected elements for an
    // array controller.
    virtual Ref<NSArray> selectedObjects() const;
    virtual void addObject(const Id& object);
    virtual void removeObject(const Id& object);

    static void describeClass(NSClassMembers<NSObjectController>& m);

protected:
    Id m_content;
    const NSClass* m_objectClass = nullptr;
    Id m_managedObjectContext;
    bool m_editable = true;
};
