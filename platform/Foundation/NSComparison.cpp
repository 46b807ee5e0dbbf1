#include "Foundation/NSComparison.h"

#include "Foundation/Boxing.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

// The string comparisons are NSString's own, so sorting by selector and
// calling the method directly can never disagree.
static NSComparisonResult compareStrings(const NSString& a, const Ref<NSString>& b, const SEL& selector)
{
    if (selector == "compare:") return a.compare(b);
    if (selector == "caseInsensitiveCompare:") return a.caseInsensitiveCompare(b);
    return a.localizedCaseInsensitiveCompare(b);
}

[[noreturn]] static void raiseMismatch(const Id& a, const Id& b, const SEL& selector)
{
    NSException::raise(NSInvalidArgumentException, "-[" + a->realClass().name() + " " + selector +
                                                       "]: cannot compare with an instance of " +
                                                       (b ? b->realClass().name() : std::string("nil")));
}

NSComparisonResult CompareObjects(const Id& a, const Id& b, const SEL& selector)
{
    if (!a) return NSOrderedSame;
    bool stringSelector = selector == "compare:" || selector == "caseInsensitiveCompare:" ||
                          selector == "localizedCaseInsensitiveCompare:";
    if (auto* s = dynamic_cast<NSString*>(a.get()); s && stringSelector) {
        if (!b) return NSOrderedDescending;
        auto t = dynamic_ref_cast<NSString>(b);
        if (!t) raiseMismatch(a, b, selector);
        return compareStrings(*s, t, selector);
    }
    if (selector == "compare:") {
        if (auto* n = dynamic_cast<NSNumber*>(a.get())) {
            auto other = dynamic_ref_cast<NSNumber>(b);
            if (b && !other) raiseMismatch(a, b, selector);
            return static_cast<NSComparisonResult>(n->compare(other));
        }
        if (auto* d = dynamic_cast<NSDate*>(a.get())) {
            auto other = dynamic_ref_cast<NSDate>(b);
            if (b && !other) raiseMismatch(a, b, selector);
            return static_cast<NSComparisonResult>(d->compare(other));
        }
    }
    // Any other class answers through its action table, which raises for an
    // unknown selector.
    Id result = a->performSelector(selector, b);
    NSInteger r = result ? NSUnboxInteger(result) : 0;
    return r < 0 ? NSOrderedAscending : (r > 0 ? NSOrderedDescending : NSOrderedSame);
}

void StableSort(std::vector<Id>& objects, const NSComparator& comparator)
{
    size_t n = objects.size();
    if (n < 2) return;
    // Bottom-up merge sort on copies; the input is replaced only at the end.
    std::vector<Id> from = objects, to(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            // Take from the right run only when it is strictly smaller, so
            // equal elements keep their order.
            while (i < mid && j < hi) to[k++] = comparator(from[j], from[i]) < 0 ? from[j++] : from[i++];
            while (i < mid) to[k++] = from[i++];
            while (j < hi) to[k++] = from[j++];
        }
        std::swap(from, to);
    }
    objects = std::move(from);
}
