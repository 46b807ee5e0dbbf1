#pragma once
// The one window that shows the application's licence agreement: the rich
// text "ZAKLicense.rtf" of the framework's bundle in a link text view, its web
// and mail addresses made links, under the title "ZAKLWCWindowTitle" of the
// string table "ZAKLicenseWindowController" filled with the application's
// name. Made once per process and never destroyed.
#include "AppKit/NSWindowController.h"
#include "ZAKAppKit/URLTextView/URLTextView.h"

class ZAKLicenseWindowController : public NSWindowController {
    NS_OBJECT(ZAKLicenseWindowController, NSWindowController)
protected:
    ZAKLicenseWindowController() = default;

public:
    static void describeClass(NSClassMembers<ZAKLicenseWindowController>& m);

    // The shared controller, made under a lock on first use.
    static Ref<ZAKLicenseWindowController> sharedLicenseWindow();
    // Loads the interface file "ZAKLicense".
    Id init() override;

    // Centres the shared controller's window and shows it.
    void showLicenseWindow(const Id& sender);
    // Reads the document into the text view and sets the window title.
    void awakeFromNib() override;

    Ref<URLTextView> textView() const { return m_textView; }

private:
    Ref<URLTextView> m_textView;
};
