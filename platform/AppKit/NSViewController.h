#pragma once
// Owns a view, loaded on first use from an interface file (the controller is
// the file's owner and the loader sets its "view" outlet) or, without a file
// name, made by loadView as a plain view. The controller sits in the
// responder chain right after its view: the view's next responder is the
// controller, whose next responder is what the view's would otherwise be
// (its superview).
#include "AppKit/NSView.h"
#include "Foundation/NSBundle.h"

class NSViewController : public NSResponder {
    NS_OBJECT(NSViewController, NSResponder)
protected:
    NSViewController() = default;

public:
    ~NSViewController() override;

    // A nil bundle means the main bundle; the file is found through the
    // interface-file loader (NSNibLoading).
    Ref<NSViewController> initWithNibName(const Ref<NSString>& nibName, const Ref<NSBundle>& bundle);
    Id init() override { return initWithNibName(nullptr, nullptr); }

    Ref<NSString> nibName() const { return m_nibName; }
    Ref<NSBundle> nibBundle() const { return m_bundle; }

    // Loads the view on first use (loadView, then viewDidLoad when a view
    // came of it).
    virtual Ref<NSView> view();
    virtual void setView(const Ref<NSView>& view);
    bool isViewLoaded() const { return m_view != nullptr; }
    // The view if loaded, without loading it (what key-value coding answers
    // for "view").
    Ref<NSView> viewIfLoaded() const { return m_view; }
    // Loads the file, or makes a plain view when there is no file name. A
    // file that cannot be loaded, or that sets no view, is logged and leaves
    // no view.
    virtual void loadView();
    virtual void viewDidLoad() { }

protected:
    // Sends viewDidLoad once per load: a loadView that sends it itself
    // leaves nothing for view() to send.
    void sendViewDidLoad();

public:
    // Observable (key "representedObject"), also when set directly.
    Id representedObject() const { return m_representedObject; }
    virtual void setRepresentedObject(const Id& object);
    Ref<NSString> title() const { return m_title; }
    virtual void setTitle(const Ref<NSString>& title);

    static void describeClass(NSClassMembers<NSViewController>& m);

private:
    // The property setters KVC uses: setValueForKey already notifies.
    void storeRepresentedObject(const Id& object) { m_representedObject = object; }
    void storeTitle(const Ref<NSString>& title) { m_title = title; }

    Ref<NSView> m_view;
    Ref<NSString> m_nibName;
    Ref<NSBundle> m_bundle;
    Id m_representedObject;
    Ref<NSString> m_title;
    bool m_loading = false;
    bool m_didLoadSent = false;
};
