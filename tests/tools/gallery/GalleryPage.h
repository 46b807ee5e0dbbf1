#pragma once
// The gallery shows the framework's controls, one page per capability, for
// screenshots and end-to-end tests. A page is a view made for a window of
// the page's size; each page file registers itself:
//
//   GALLERY_PAGE(buttons, {"buttons", "Buttons", {400, 300}, [](NSRect bounds) { ... return view; }});
//
// and is shown by `plumbline-gallery buttons`.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"

struct GalleryPage {
    std::string name;   // the command-line argument
    std::string title;  // the window's title is "Gallery: <title>"
    NSSize size;        // the window's content size
    std::function<Ref<NSView>(NSRect bounds)> makeView;
    // Runs once the window is on screen and drawn, e.g. to open a menu for a
    // screenshot; may be empty.
    std::function<void(const Ref<NSWindow>&)> afterShow = {};
};

namespace Gallery {
bool registerPage(GalleryPage page);
// In the order the pages registered.
const std::vector<GalleryPage>& pages();
const GalleryPage* pageNamed(std::string_view name);
}  // namespace Gallery

#define GALLERY_PAGE(identifier, ...)                                                                                  \
    [[maybe_unused]] static const bool galleryPage_##identifier = Gallery::registerPage(GalleryPage __VA_ARGS__)
