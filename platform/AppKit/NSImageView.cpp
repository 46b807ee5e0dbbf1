#include "AppKit/NSImageView.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSImageView)

const NSClass& NSImageView::cellClass() { return NSImageCell::staticClass(); }

void NSImageView::describeClass(NSClassMembers<NSImageView>& m)
{
    m.property("image", &NSImageView::image, &NSImageView::setImage);
    // An image view's value binding is its image.
    m.property("value", &NSImageView::image, &NSImageView::setImage);
}

Ref<NSImage> NSImageView::image() const
{
    auto c = imageCell();
    return c ? c->image() : nullptr;
}

void NSImageView::setImage(const Ref<NSImage>& image)
{
    if (auto c = imageCell()) c->setImage(image);
    setNeedsDisplay(true);
}

NSImageScaling NSImageView::imageScaling() const
{
    auto c = imageCell();
    return c ? c->imageScaling() : NSImageScaleProportionallyDown;
}

void NSImageView::setImageScaling(NSImageScaling scaling)
{
    if (auto c = imageCell()) c->setImageScaling(scaling);
    setNeedsDisplay(true);
}

NSImageAlignment NSImageView::imageAlignment() const
{
    auto c = imageCell();
    return c ? c->imageAlignment() : NSImageAlignCenter;
}

void NSImageView::setImageAlignment(NSImageAlignment alignment)
{
    if (auto c = imageCell()) c->setImageAlignment(alignment);
    setNeedsDisplay(true);
}

NSImageFrameStyle NSImageView::imageFrameStyle() const
{
    auto c = imageCell();
    return c ? c->imageFrameStyle() : NSImageFrameNone;
}

void NSImageView::setImageFrameStyle(NSImageFrameStyle style)
{
    if (auto c = imageCell()) c->setImageFrameStyle(style);
    setNeedsDisplay(true);
}

void NSImageView::mouseDown(const Ref<NSEvent>& event)
{
    // An image view tracks nothing; a click goes on to the next responder.
    NSView::mouseDown(event);
}

void NSImageView::encodeWithCoder(NSCoder* coder) const
{
    NSControl::encodeWithCoder(coder);
    coder->encodeBool(m_editable, "NSEditable"_ns);
}

Id NSImageView::initWithCoder(NSCoder* coder)
{
    NSControl::initWithCoder(coder);
    m_editable = coder->decodeBoolForKey("NSEditable"_ns);
    return this;
}
