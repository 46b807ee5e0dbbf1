#include "AppKit/NSCustomImageRep.h"

#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSCustomImageRep)

Ref<NSCustomImageRep> NSCustomImageRep::initWithSize(NSSize size, bool flipped, Handler handler)
{
    auto rep = alloc<NSCustomImageRep>();
    rep->m_size = size;
    rep->m_flipped = flipped;
    rep->m_handler = std::move(handler);
    return rep;
}

Ref<NSCustomImageRep> NSCustomImageRep::initWithDrawSelector(const SEL& selector, const Id& delegate)
{
    auto rep = alloc<NSCustomImageRep>();
    rep->m_selector = selector;
    rep->m_delegate = delegate;
    return rep;
}

void NSCustomImageRep::drawContent() const
{
    if (m_handler) {
        m_handler({NSZeroPoint, m_size});
        return;
    }
    if (auto delegate = m_delegate.get()) delegate->performSelector(m_selector, const_cast<NSCustomImageRep*>(this));
}

Ref<::CGImage> NSCustomImageRep::imageForDrawing(NSInteger pixelsWide, NSInteger pixelsHigh) const
{
    if (pixelsWide <= 0 || pixelsHigh <= 0) return nullptr;
    return NSGraphicsContext::imageByDrawing(pixelsWide, pixelsHigh, m_size, m_flipped, [this] { drawContent(); });
}
