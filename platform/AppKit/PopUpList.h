#pragma once
// The list a combo box drops down (pop-up buttons use their menu): a
// borderless window at the pop-up menu level showing one row per title,
// tracked in the event-tracking run-loop mode until the user chooses a row
// or cancels.
//
// Mouse: a press and release on the control leaves the list open; a release
// over a row (after a drag, or a click in the list) chooses it; a press
// outside the list cancels. Keys: Up and Down move the highlight, Return or
// Space choose, Escape cancels.
#include <string>
#include <vector>

#include "AppKit/ControlText.h"
#include "AppKit/NSEvent.h"
#include "Foundation/NSGeometry.h"

class NSWindow;

class PopUpList {
public:
    static constexpr CGFloat kRowHeight = 20;

    struct Options {
        std::vector<std::u16string> titles;
        std::vector<bool> enabled;   // empty: all enabled
        NSInteger highlighted = -1;  // the row shown as current
        NSRect controlRectOnScreen;  // the control, in global points
        bool belowControl = false;   // combo boxes: the list hangs below
        ControlText::Style style;
    };

    // Shows the list, tracks the user's choice and closes it. Answers the
    // chosen row, or -1 when cancelled. The start event is the mouse-down on
    // the control (nil when opened from the keyboard).
    static NSInteger run(const Options& options, const Ref<NSEvent>& startEvent);

    // The frame the list takes for the options, in global points.
    static NSRect listFrame(const Options& options);
    // The list window being shown, if any (tests, diagnostics).
    static Ref<NSWindow> currentListWindow();
};
