#pragma once
// The grey of a pixel of a view as the (headless) screen shows it: column x
// and row r counted from the view's left and top edges, in points of a
// 1x screen. The red channel stands for the grey.
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "WindowingFixture.h"

inline CGFloat screenGrey(const Ref<NSView>& view, int x, int rowFromTop)
{
    const NSRect b = view->bounds();
    const CGFloat y = view->isFlipped() ? b.origin.y + rowFromTop + 0.5 : NSMaxY(b) - rowFromTop - 0.5;
    const NSPoint inWindow = view->convertPointToView(NSMakePoint(b.origin.x + x + 0.5, y), nullptr);
    const NSPoint onScreen = view->window()->convertBaseToScreen(inWindow);
    auto screen = HeadlessWindowServer::current()->screenImage();
    const auto row = size_t(CGFloat(screen->height()) - onScreen.y);
    return CGFloat((screen->pixel(size_t(onScreen.x), row) >> 16) & 0xFF) / 255;
}
