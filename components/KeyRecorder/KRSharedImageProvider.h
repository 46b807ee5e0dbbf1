#pragma once
// The recorder's button images, drawn in code on demand at any size and
// kept for the life of the process: "KRSnapback" (a white curved arrow),
// "KRRemoveShortcut", "KRRemoveShortcutRollover" and
// "KRRemoveShortcutPressed" (a cross in a circle), each 14 x 14 points.
#include "AppKit/NSImage.h"

class KRSharedImageProvider : public NSObject {
    NS_OBJECT(KRSharedImageProvider, NSObject)
protected:
    KRSharedImageProvider() = default;

public:
    // nil for a name it does not draw.
    static Ref<NSImage> supportingImageWithName(const Ref<NSString>& name);
};

// Eases a transition's progress t in [0, 1]: slow at both ends.
double KRTransitionEase(double t);
