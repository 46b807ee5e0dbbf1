#include "AppKit/NSObjectController.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"

NS_CLASS_DEFINE(NSObjectController)

void NSObjectController::describeClass(NSClassMembers<NSObjectController>& m)
{
    m.property("content", &NSObjectController::content, &NSObjectController::setContent);
    m.property("contentObject", &NSObjectController::content, &NSObjectController::setContent);
    m.property("selectedObjects", &NSObjectController::selectedObjects);
    m.property("canAdd", &NSObjectController::canAdd);
    m.property("canRemove", &NSObjectController::canRemove);
    m.action("add:", &NSObjectController::addObject);
    m.action("remove:", &NSObjectController::removeObject);
}

Id NSObjectController::init() { return initWithContent(nullptr); }

Id NSObjectController::initWithContent(const Id& content)
{
    m_editable = true;
    setContent(content);
    return Id(this);
}

void NSObjectController::setContent(const Id& content) { m_content = content; }

Id NSObjectController::newObject()
{
    if (m_objectClass) return m_objectClass->newInstance();
    return NSMutableDictionary::dictionary();
}

bool NSObjectController::canRemove() const { return m_editable && m_content; }

Ref<NSArray> NSObjectController::selectedObjects() const
{
    return m_content ? NSArray::arrayWithObject(m_content) : NSArray::array();
}

void NSObjectController::addObject(const Id& object)
{
    if (!m_editable) return;
    willChangeValueForKey("selectedObjects"_ns);
    setContent(object);
    didChangeValueForKey("selectedObjects"_ns);
}

void NSObjectController::removeObject(const Id& object)
{
    if (!m_editable || object.get() != m_content.get()) return;
    willChangeValueForKey("selectedObjects"_ns);
    setContent(nullptr);
    didChangeValueForKey("selectedObjects"_ns);
}
