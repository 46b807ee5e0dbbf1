#pragma once
// Owns a window, loaded lazily from an interface file (the controller is the
// file's owner and its "window" outlet is set by the loader) or given at
// initialisation. The window's controller back-pointer is not retained; the
// controller keeps its window alive, also after close.
#include "AppKit/NSWindow.h"

class NSWindowController : public NSResponder {
    NS_OBJECT(NSWindowController, NSResponder)
protected:
    NSWindowController() = default;

public:
    ~NSWindowController() override;

    Ref<NSWindowController> initWithWindow(const Ref<NSWindow>& window);
    Ref<NSWindowController> initWithWindowNibName(const Ref<NSString>& nibName);
    // The owner receives the outlets; it is not retained.
    Ref<NSWindowController> initWithWindowNibName(const Ref<NSString>& nibName, const Id& owner);
    Id init() override { return initWithWindow(nullptr); }

    Ref<NSString> windowNibName() const { return m_nibName; }
    Id owner() const;

    // Loads the interface file on first use (windowWillLoad, loadWindow,
    // windowDidLoad).
    virtual Ref<NSWindow> window();
    virtual void setWindow(const Ref<NSWindow>& window);
    // The window if loaded, without loading it.
    Ref<NSWindow> loadedWindow() const;
    bool isWindowLoaded() const { return m_window != nullptr; }
    virtual void windowWillLoad() { }
    // Loads the file through NSNibLoading; a failure logs and leaves no window.
    virtual void loadWindow();
    virtual void windowDidLoad() { }

    // Orders the window front, and makes it key only when it can become key.
    virtual void showWindow(const Id& sender);
    // Orders the window out; the controller keeps it.
    virtual void close();

    Id document() const { return nullptr; }
    bool shouldCascadeWindows() const { return m_shouldCascade; }
    void setShouldCascadeWindows(bool flag) { m_shouldCascade = flag; }
    Ref<NSString> windowFrameAutosaveName() const { return m_autosaveName; }
    void setWindowFrameAutosaveName(const Ref<NSString>& name);

    static void describeClass(NSClassMembers<NSWindowController>& m);

private:
    Ref<NSWindow> m_window;
    Ref<NSString> m_nibName;
    Weak<NSObject> m_owner;
    bool m_ownerIsSelf = true;
    bool m_loading = false;
    bool m_shouldCascade = true;
    Ref<NSString> m_autosaveName;
};
