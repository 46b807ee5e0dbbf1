#pragma once
// The picture taker: a panel, shown as a sheet on a window, that offers a
// picture for the caller to take. It shows the input image; a path field
// loads a PNG file in its place; "Set" ends the sheet with code 1 and makes
// the shown picture the output image, "Cancel" ends it with code 0 and leaves
// the output image as it was. There is no camera here; the options are kept
// for callers that set them.
//
// The did-end selector (pictureTakerDidEnd:returnCode:contextInfo:) reaches
// the delegate as a sheet's does (NSApplicationSheets.h): through a method
// registered with NSApplicationExt::registerDidEndSelector, with the picture
// taker as the sheet.
#include "AppKit/NSButton.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSImageView.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSDictionary.h"

inline const Ref<NSString> IKPictureTakerAllowsVideoCaptureKey = "IKPictureTakerAllowsVideoCaptureKey"_ns;
inline const Ref<NSString> IKPictureTakerShowEffectsKey = "IKPictureTakerShowEffectsKey"_ns;
inline const Ref<NSString> IKPictureTakerAllowsEditingKey = "IKPictureTakerAllowsEditingKey"_ns;

enum : NSInteger { IKPictureTakerReturnCodeCancel = 0, IKPictureTakerReturnCodeSet = 1 };

class IKPictureTaker : public NSPanel {
    NS_OBJECT(IKPictureTaker, NSPanel)
protected:
    IKPictureTaker() = default;

public:
    static Ref<IKPictureTaker> pictureTaker();

    Ref<NSImage> inputImage() const { return m_inputImage; }
    void setInputImage(const Ref<NSImage>& image);
    Ref<NSImage> outputImage() const { return m_outputImage; }

    // Options are set by key-value coding with the IKPictureTaker...Key names;
    // other keys go to the panel.
    void setValueForKey(const Id& value, const Ref<NSString>& key) override;
    Id valueForKey(const Ref<NSString>& key) override;
    Ref<NSDictionary> options() const { return NSDictionary::dictionaryWithDictionary(m_options); }

    // Attaches the picture taker to the window as a sheet, showing the input
    // image. A window that already has a sheet beeps and keeps it.
    void beginPictureTakerSheetForWindow(const Ref<NSWindow>& window, const Id& delegate, const SEL& didEndSelector,
                                         void* contextInfo);

    // Loads the picture at a path into the sheet; false (and a message in the
    // sheet, the shown picture unchanged) when it is not a readable PNG file.
    bool loadPictureAtPath(const Ref<NSString>& path);
    // The picture "Set" would hand over.
    Ref<NSImage> shownImage() const { return m_preview ? m_preview->image() : nullptr; }

    // The sheet's parts (tests and the keyboard).
    Ref<NSTextField> pathField() const { return m_pathField; }
    Ref<NSButton> setButton() const { return m_setButton; }
    Ref<NSButton> cancelButton() const { return m_cancelButton; }
    Ref<NSTextField> messageField() const { return m_message; }

    void setPicture(const Id& sender);
    void cancelPicture(const Id& sender);
    void pathEntered(const Id& sender);

    static void describeClass(NSClassMembers<IKPictureTaker>& m);

private:
    void build();
    void end(NSInteger code);

    Ref<NSImage> m_inputImage;
    Ref<NSImage> m_outputImage;
    Ref<NSMutableDictionary> m_options = NSMutableDictionary::dictionary();
    Ref<NSImageView> m_preview;
    Ref<NSTextField> m_pathField;
    Ref<NSTextField> m_message;
    Ref<NSButton> m_setButton;
    Ref<NSButton> m_cancelButton;
};
