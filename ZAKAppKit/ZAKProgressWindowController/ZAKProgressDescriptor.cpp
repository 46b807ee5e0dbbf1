#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressDescriptor.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKProgressDescriptor)

namespace {

Ref<NSString> copied(const Ref<NSString>& text) { return text ? NSString::stringWithString(text) : nullptr; }

}  // namespace

void ZAKProgressDescriptor::describeClass(NSClassMembers<ZAKProgressDescriptor>& m)
{
    using D = ZAKProgressDescriptor;
    m.property("allowCancel", &D::allowCancel, &D::setAllowCancel);
    m.property("isIndeterminate", &D::isIndeterminate, &D::setIsIndeterminate);
    m.property("image", &D::image, &D::setImage);
    m.property("title", &D::title, &D::setTitle);
    m.property("infoText", &D::infoText, &D::setInfoText);
    m.property("progressDescription", &D::progressDescription, &D::setProgressDescription);
    m.property("minValue", &D::minValue, &D::setMinValue);
    m.property("maxValue", &D::maxValue, &D::setMaxValue);
    m.property("currentValue", &D::currentValue, &D::setCurrentValue);
    m.property("isCancelled", &D::isCancelled, &D::setIsCancelled);
}

Ref<NSArray> ZAKProgressDescriptor::progressDescriptorKeys()
{
    static const Ref<NSArray> keys = NSArray::arrayWithObjects(
        {"allowCancel"_ns, "isIndeterminate"_ns, "image"_ns, "title"_ns, "infoText"_ns, "progressDescription"_ns,
         "minValue"_ns, "maxValue"_ns, "currentValue"_ns, "isCancelled"_ns});
    return keys;
}

Ref<ZAKProgressDescriptor> ZAKProgressDescriptor::initWithTitle(const Ref<NSString>& title,
                                                                const Ref<NSString>& infoText, bool allowCancel)
{
    m_isIndeterminate = true;
    m_allowCancel = allowCancel;
    m_title = copied(title);
    m_infoText = copied(infoText);
    return Ref<ZAKProgressDescriptor>(this);
}

Ref<ZAKProgressDescriptor> ZAKProgressDescriptor::initWithTitle(const Ref<NSString>& title,
                                                                const Ref<NSString>& infoText, double minValue,
                                                                double maxValue, bool allowCancel)
{
    initWithTitle(title, infoText, allowCancel);
    m_isIndeterminate = false;
    m_minValue = minValue;
    m_maxValue = maxValue;
    m_currentValue = minValue;
    return Ref<ZAKProgressDescriptor>(this);
}

void ZAKProgressDescriptor::setImage(const Ref<NSImage>& image)
{
    m_image = image ? dynamic_ref_cast<NSImage>(image->copy()) : nullptr;
}

void ZAKProgressDescriptor::setTitle(const Ref<NSString>& title) { m_title = copied(title); }

void ZAKProgressDescriptor::setInfoText(const Ref<NSString>& text) { m_infoText = copied(text); }

void ZAKProgressDescriptor::setProgressDescription(const Ref<NSString>& text) { m_progressDescription = copied(text); }
