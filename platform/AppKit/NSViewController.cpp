#include "AppKit/NSViewController.h"

#include "AppKit/NSNibLoading.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(NSViewController)

void NSViewController::describeClass(NSClassMembers<NSViewController>& m)
{
    // "view" is the outlet an interface file connects.
    m.property("view", &NSViewController::viewIfLoaded, &NSViewController::setView);
    m.property("representedObject", &NSViewController::representedObject, &NSViewController::storeRepresentedObject);
    m.property("title", &NSViewController::title, &NSViewController::storeTitle);
}

NSViewController::~NSViewController()
{
    if (m_view) m_view->setViewController(nullptr);
}

Ref<NSViewController> NSViewController::initWithNibName(const Ref<NSString>& nibName, const Ref<NSBundle>& bundle)
{
    m_nibName = nibName;
    m_bundle = bundle ? bundle : NSBundle::mainBundle();
    return Ref<NSViewController>(this);
}

Ref<NSView> NSViewController::view()
{
    if (m_view || m_loading) return m_view;
    m_loading = true;
    m_didLoadSent = false;
    try {
        loadView();
    } catch (...) {
        m_loading = false;
        throw;
    }
    m_loading = false;
    if (m_view) sendViewDidLoad();
    return m_view;
}

void NSViewController::sendViewDidLoad()
{
    if (m_didLoadSent) return;
    m_didLoadSent = true;
    viewDidLoad();
}

void NSViewController::setView(const Ref<NSView>& view)
{
    if (view == m_view) return;
    Ref<NSViewController> self(this);
    if (m_view) m_view->setViewController(nullptr);
    m_view = view;
    if (m_view) m_view->setViewController(self);
}

void NSViewController::loadView()
{
    if (!m_nibName) {
        setView(alloc<NSView>()->initWithFrame(NSZeroRect));
        return;
    }
    if (!NSNibLoading::loadNibNamed(m_nibName, Ref<NSViewController>(this)))
        NSLog("Could not load the interface file %@", m_nibName);
    else if (!m_view) NSLog("The interface file %@ was loaded but set no view", m_nibName);
}

void NSViewController::setRepresentedObject(const Id& object)
{
    auto key = "representedObject"_ns;
    willChangeValueForKey(key);
    m_representedObject = object;
    didChangeValueForKey(key);
}

void NSViewController::setTitle(const Ref<NSString>& title)
{
    auto key = "title"_ns;
    willChangeValueForKey(key);
    m_title = title;
    didChangeValueForKey(key);
}
