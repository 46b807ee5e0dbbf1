#pragma once
// Reads numbers and runs of text from a string, left to right. Before each
// scan the characters to be skipped (white space and newlines unless set
// otherwise) are passed over; a failed scan leaves the location unchanged.
// Result pointers may be null.
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSString.h"

class NSScanner : public NSObject {
    NS_OBJECT(NSScanner, NSObject)
protected:
    NSScanner() = default;

public:
    static Ref<NSScanner> scannerWithString(const Ref<NSString>& string);
    // A scanner that reads numbers with the current locale's decimal separator.
    static Ref<NSScanner> localizedScannerWithString(const Ref<NSString>& string);

    Ref<NSString> string() const { return m_string; }
    NSUInteger scanLocation() const { return m_location; }
    // Raises NSRangeException past the end of the string.
    void setScanLocation(NSUInteger location);
    Ref<NSCharacterSet> charactersToBeSkipped() const { return m_skip; }
    void setCharactersToBeSkipped(const Ref<NSCharacterSet>& set) { m_skip = set; }
    // Not case-sensitive unless set.
    bool caseSensitive() const { return m_caseSensitive; }
    void setCaseSensitive(bool flag) { m_caseSensitive = flag; }
    // The locale whose decimal separator scanFloat/scanDouble accept; "."
    // without one.
    Ref<NSLocale> locale() const { return m_locale; }
    void setLocale(const Ref<NSLocale>& locale) { m_locale = locale; }

    // Decimal integers with an optional sign; out-of-range values saturate.
    bool scanInteger(NSInteger* result);
    bool scanInt(int32_t* result);
    bool scanLongLong(long long* result);
    // Decimal numbers with an optional fraction and exponent.
    bool scanDouble(double* result);
    bool scanFloat(float* result);
    bool scanString(const Ref<NSString>& text, Ref<NSString>* result);
    bool scanCharactersFromSet(const Ref<NSCharacterSet>& set, Ref<NSString>* result);
    // Scan up to (not including) the text or a member of the set, or to the
    // end; fails when nothing was scanned.
    bool scanUpToString(const Ref<NSString>& stop, Ref<NSString>* result);
    bool scanUpToCharactersFromSet(const Ref<NSCharacterSet>& set, Ref<NSString>* result);
    // YES when only skipped characters remain.
    bool isAtEnd() const;

private:
    // The location after the characters to be skipped.
    NSUInteger skipped(NSUInteger from) const;
    bool scanNumber(std::string& ascii, bool fraction);

    Ref<NSString> m_string;
    NSUInteger m_location = 0;
    Ref<NSCharacterSet> m_skip;
    Ref<NSLocale> m_locale;
    bool m_caseSensitive = false;
};
