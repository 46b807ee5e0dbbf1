#pragma once
// The about window: version and copyright lines and a mail button.
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindowController.h"

class AboutBox : public NSWindowController {
    NS_OBJECT(AboutBox, NSWindowController)
protected:
    AboutBox() = default;

public:
    Id init() override;
    void awakeFromNib() override;
    void closeDialog(const Id& sender);
    void writeeMail(const Id& sender);
    Ref<NSTextField> versionString()
    {
        window();
        return m_versionString;
    }
    Ref<NSTextField> copyrightString()
    {
        window();
        return m_copyrightString;
    }

    static constexpr const char* kSupportAddress = "mailto:support@plumbline.org";
    static void describeClass(NSClassMembers<AboutBox>& m);

private:
    Ref<NSTextField> m_versionString, m_copyrightString;
};
