#pragma once
// A representation drawn on demand, at any size, by a handler or by a
// delegate's selector (which receives the representation).
#include <functional>

#include "AppKit/NSImageRep.h"
#include "Foundation/NSString.h"

class NSCustomImageRep : public NSImageRep {
    NS_OBJECT(NSCustomImageRep, NSImageRep)
protected:
    NSCustomImageRep() = default;

public:
    using Handler = std::function<bool(NSRect)>;

    static Ref<NSCustomImageRep> initWithSize(NSSize size, bool flipped, Handler handler);
    // The delegate is not retained, as on the platform.
    static Ref<NSCustomImageRep> initWithDrawSelector(const SEL& selector, const Id& delegate);

    const SEL& drawSelector() const { return m_selector; }
    Id delegate() const { return m_delegate.get(); }
    bool isFlipped() const { return m_flipped; }
    // Draws into the current context, in the rectangle (0, 0, size).
    void drawContent() const;
    Ref<::CGImage> imageForDrawing(NSInteger pixelsWide, NSInteger pixelsHigh) const override;
    Id copy() const override { return const_cast<NSCustomImageRep*>(this); }

private:
    Handler m_handler;
    SEL m_selector;
    Weak<NSObject> m_delegate;
    bool m_flipped = false;
};
