#pragma once
// What NSWindow's topic files share: the process's windows (by number, on
// screen, key and main) and the rule for usable frame sizes.
#include <map>
#include <mutex>
#include <vector>

#include "AppKit/NSWindow.h"

struct WindowRegistry {
    std::mutex lock;
    std::map<NSInteger, Weak<NSWindow>> byNumber;
    // Ordered-in windows stay alive while on screen.
    std::vector<Ref<NSWindow>> onScreen;
    Weak<NSWindow> key;
    Weak<NSWindow> main;
    // Windows that were key before the current one, the latest last: the
    // keyboard goes back to them when the key window leaves the screen.
    std::vector<Weak<NSWindow>> previousKeys;
    bool observerInstalled = false;

    static WindowRegistry& shared();
};

// At least one point each way; what is not a number becomes one.
NSRect clampWindowSize(NSRect frame);
