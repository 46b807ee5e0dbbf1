#pragma once
// A titled key window with controls in it, driven by injected events.
#include <string>
#include <vector>

#include "AppKit/NSControl.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowingFixture.h"

// Counts the actions it receives and remembers the last sender.
class ActionRecorder : public NSObject {
    NS_OBJECT(ActionRecorder, NSObject)
protected:
    ActionRecorder() = default;

public:
    int count = 0;
    Id lastSender;
    void act(const Id& sender)
    {
        ++count;
        lastSender = sender;
    }
    static void describeClass(NSClassMembers<ActionRecorder>& m) { m.action("act:", &ActionRecorder::act); }
};

class ControlsTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 400, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        window->makeKeyAndOrderFront(nullptr);
        recorder = NSObject::make<ActionRecorder>();
        pump();
    }

    void TearDown() override
    {
        window = nullptr;
        WindowingTest::TearDown();
    }

    template <class T> Ref<T> add(const NSRect& frame)
    {
        auto control = NSObject::alloc<T>();
        control->initWithFrame(frame);
        window->contentView()->addSubview(control);
        if (auto c = dynamic_ref_cast<NSControl>(Ref<NSView>(control))) {
            c->setTarget(recorder);
            c->setAction("act:");
        }
        return control;
    }

    // A point of a view (its own coordinates) on the screen.
    NSPoint onScreen(const Ref<NSView>& view, NSPoint local) const
    {
        return window->convertBaseToScreen(view->convertPointToView(local, nullptr));
    }
    NSPoint centreOf(const Ref<NSView>& view) const
    {
        const NSRect b = view->bounds();
        return onScreen(view, NSMakePoint(NSMidX(b), NSMidY(b)));
    }

    void clickAt(NSPoint p) { click(p); }

    Ref<NSWindow> window;
    Ref<ActionRecorder> recorder;
};

// Records the notifications of one name.
class NoteCounter {
public:
    NoteCounter(const char* name, const Id& object)
    {
        m_token = NSNotificationCenter::defaultCenter()->addObserverForName(
            NSString::stringWithUTF8String(name), object, nullptr,
            [this](const Ref<NSNotification>& n) { notes.push_back(n); });
    }
    ~NoteCounter() { NSNotificationCenter::defaultCenter()->removeObserver(m_token); }
    std::vector<Ref<NSNotification>> notes;

private:
    Id m_token;
};
