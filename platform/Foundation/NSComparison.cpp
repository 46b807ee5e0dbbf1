#include "Foundation/NSComparison.h"

#include <mutex>
#include <string_view>
#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include "Foundation/NSBoxing.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

static int sign(int32_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

static const UChar* icuText(const NSString& s) { return reinterpret_cast<const UChar*>(s.utf16().data()); }

static int compareStrings(const NSString& a, const NSString& b, const SEL& selector)
{
    int32_t la = static_cast<int32_t>(a.utf16().size()), lb = static_cast<int32_t>(b.utf16().size());
    if (selector == "compare:") return sign(u_strCompare(icuText(a), la, icuText(b), lb, true));
    if (selector == "caseInsensitiveCompare:") {
        UErrorCode status = U_ZERO_ERROR;
        return sign(u_strCaseCompare(icuText(a), la, icuText(b), lb, U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER, &status));
    }
    // localizedCaseInsensitiveCompare: collation of the default locale at
    // secondary strength (accents count, case does not). The collator is
    // opened once and kept for the life of the process.
    static std::mutex lock;
    static UCollator* collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        // The POSIX locale's tailoring orders case apart (code-point order);
        // for "C" the root collation is the meaningful one.
        const char* locale = uloc_getDefault();
        if (std::string_view(locale) == "en_US_POSIX") locale = "";
        UCollator* c = ucol_open(locale, &status);
        if (U_FAILURE(status)) return static_cast<UCollator*>(nullptr);
        ucol_setStrength(c, UCOL_SECONDARY);
        return c;
    }();
    if (!collator) return sign(u_strCaseCompare(icuText(a), la, icuText(b), lb, U_FOLD_CASE_DEFAULT, nullptr));
    std::lock_guard guard(lock);
    return ucol_strcoll(collator, icuText(a), la, icuText(b), lb);
}

[[noreturn]] static void raiseMismatch(const Id& a, const Id& b, const SEL& selector)
{
    NSException::raise(NSInvalidArgumentException, "-[" + a->realClass().name() + " " + selector + "]: cannot compare with an instance of " +
                                                       (b ? b->realClass().name() : std::string("nil")));
}

int NSCompareObjects(const Id& a, const Id& b, const SEL& selector)
{
    if (!a) return 0;
    bool stringSelector = selector == "compare:" || selector == "caseInsensitiveCompare:" || selector == "localizedCaseInsensitiveCompare:";
    if (auto* s = dynamic_cast<NSString*>(a.get()); s && stringSelector) {
        if (!b) return 1;
        auto* t = dynamic_cast<NSString*>(b.get());
        if (!t) raiseMismatch(a, b, selector);
        return compareStrings(*s, *t, selector);
    }
    if (selector == "compare:") {
        if (auto* n = dynamic_cast<NSNumber*>(a.get())) {
            auto other = dynamic_ref_cast<NSNumber>(b);
            if (b && !other) raiseMismatch(a, b, selector);
            return n->compare(other);
        }
        if (auto* d = dynamic_cast<NSDate*>(a.get())) {
            auto other = dynamic_ref_cast<NSDate>(b);
            if (b && !other) raiseMismatch(a, b, selector);
            return d->compare(other);
        }
    }
    // Any other class answers through its action table, which raises for an
    // unknown selector.
    Id result = a->performSelector(selector, b);
    NSInteger r = result ? NSUnboxInteger(result) : 0;
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void NSStableSort(std::vector<Id>& objects, const NSComparator& comparator)
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
