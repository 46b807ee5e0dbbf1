#pragma once
// A ruler marker that belongs to a line of a line-number ruler rather than
// to a place on the ruler: it remembers the 1-based line number, and the
// ruler draws its image beside that line.
#include "AppKit/NSRulerMarker.h"

class ZAKLineNumberRulerMarker : public NSRulerMarker {
    NS_OBJECT(ZAKLineNumberRulerMarker, NSRulerMarker)
protected:
    ZAKLineNumberRulerMarker() = default;

public:
    // The marker location is 0. A line number that is negative, not a
    // number or beyond the unsigned range becomes 0.
    Ref<ZAKLineNumberRulerMarker> initWithRulerView(const Ref<NSRulerView>& ruler, double lineNumber,
                                                    const Ref<NSImage>& image, NSPoint imageOrigin);

    NSUInteger lineNumber() const { return m_lineNumber; }
    void setLineNumber(NSUInteger line) { m_lineNumber = line; }

    // The marker's keys, then "line" (a number); the sequential form appends
    // the line number as a 64-bit value.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSRulerMarker& other) override;

private:
    NSUInteger m_lineNumber = 0;
};
