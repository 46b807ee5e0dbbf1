#pragma once
// The values of one progress report: title, texts, image, range and value,
// whether the user may cancel and whether the user did. The property names
// are also the keys of an update notification's user information
// (progressDescriptorKeys), applied by key-value coding, so every key is
// settable by name, also the two read-only ones.
#include "AppKit/NSImage.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSString.h"

class ZAKProgressDescriptor : public NSObject {
    NS_OBJECT(ZAKProgressDescriptor, NSObject)
protected:
    ZAKProgressDescriptor() = default;

public:
    static void describeClass(NSClassMembers<ZAKProgressDescriptor>& m);
    // "allowCancel", "isIndeterminate", "image", "title", "infoText",
    // "progressDescription", "minValue", "maxValue", "currentValue", "isCancelled".
    static Ref<NSArray> progressDescriptorKeys();

    // Indeterminate; range and value 0.
    Ref<ZAKProgressDescriptor> initWithTitle(const Ref<NSString>& title, const Ref<NSString>& infoText,
                                             bool allowCancel);
    // Determinate; the value starts at the minimum.
    Ref<ZAKProgressDescriptor> initWithTitle(const Ref<NSString>& title, const Ref<NSString>& infoText, double minValue,
                                             double maxValue, bool allowCancel);

    bool allowCancel() const { return m_allowCancel; }
    bool isIndeterminate() const { return m_isIndeterminate; }
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image);
    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& title);
    Ref<NSString> infoText() const { return m_infoText; }
    void setInfoText(const Ref<NSString>& text);
    Ref<NSString> progressDescription() const { return m_progressDescription; }
    void setProgressDescription(const Ref<NSString>& text);
    double minValue() const { return m_minValue; }
    void setMinValue(double value) { m_minValue = value; }
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value) { m_maxValue = value; }
    double currentValue() const { return m_currentValue; }
    void setCurrentValue(double value) { m_currentValue = value; }
    bool isCancelled() const { return m_isCancelled; }
    void setIsCancelled(bool flag) { m_isCancelled = flag; }

private:
    // Reached only by key-value coding (an update naming these keys).
    void setAllowCancel(bool flag) { m_allowCancel = flag; }
    void setIsIndeterminate(bool flag) { m_isIndeterminate = flag; }

    bool m_allowCancel = false;
    bool m_isIndeterminate = true;
    Ref<NSImage> m_image;
    Ref<NSString> m_title;
    Ref<NSString> m_infoText;
    Ref<NSString> m_progressDescription;
    double m_minValue = 0;
    double m_maxValue = 0;
    double m_currentValue = 0;
    bool m_isCancelled = false;
};
