#include "AppKitExtensions/NSScreen+ZAKExtension.h"

#include "AppKit/CGDirectDisplay.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

constexpr CGFloat kMillimetresPerInch = 25.4;
constexpr CGFloat kPointsPerInch = 72;

}

namespace NSScreenExt {

NSUInteger displayID(const Ref<NSScreen>& screen)
{
    if (!screen) return 0;
    auto number = dynamic_ref_cast<NSNumber>(screen->deviceDescription()->objectForKey("NSScreenNumber"_ns));
    return number ? number->unsignedIntegerValue() : 0;
}

NSSize effectiveScreenResolution(const Ref<NSScreen>& screen)
{
    const auto display = static_cast<CGDirectDisplayID>(displayID(screen));
    const CGSize millimetres = CGDisplayScreenSize(display);
    // An unknown size is reported as 0 x 0.
    if (!(millimetres.width > 0) || !(millimetres.height > 0)) return NSMakeSize(kPointsPerInch, kPointsPerInch);
    return NSMakeSize(static_cast<CGFloat>(CGDisplayPixelsWide(display)) / (millimetres.width / kMillimetresPerInch),
                      static_cast<CGFloat>(CGDisplayPixelsHigh(display)) / (millimetres.height / kMillimetresPerInch));
}

NSSize effectiveScreenResolutionScaleFactor(const Ref<NSScreen>& screen)
{
    const NSSize dpi = effectiveScreenResolution(screen);
    return NSMakeSize(dpi.width / kPointsPerInch, dpi.height / kPointsPerInch);
}

}
