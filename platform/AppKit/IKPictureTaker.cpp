#include "AppKit/IKPictureTaker.h"

#include "Foundation/NSClass.h"

#include <cstring>

#include "AppKit/NSApplicationSheets.h"
#include "AppKit/NSColor.h"
#include "Foundation/NSData.h"

NS_CLASS_DEFINE(IKPictureTaker)

namespace {

Ref<IKPictureTaker>& sharedTaker()
{
    static auto* taker = new Ref<IKPictureTaker>;  // kept until exit
    return *taker;
}

bool isPNG(const Ref<NSData>& data)
{
    static const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return data && data->length() >= sizeof signature && std::memcmp(data->bytes(), signature, sizeof signature) == 0;
}

}

void IKPictureTaker::describeClass(NSClassMembers<IKPictureTaker>& m)
{
    m.action("setPicture:", &IKPictureTaker::setPicture);
    m.action("cancelPicture:", &IKPictureTaker::cancelPicture);
    m.action("pathEntered:", &IKPictureTaker::pathEntered);
}

Ref<IKPictureTaker> IKPictureTaker::pictureTaker()
{
    auto& taker = sharedTaker();
    if (taker) return taker;
    taker = alloc<IKPictureTaker>();
    taker->initWithContentRect(NSMakeRect(0, 0, 320, 330), NSTitledWindowMask, NSBackingStoreBuffered, false);
    taker->setReleasedWhenClosed(false);
    taker->build();
    return taker;
}

void IKPictureTaker::build()
{
    auto content = contentView();
    m_preview = alloc<NSImageView>();
    m_preview->initWithFrame(NSMakeRect(60, 110, 200, 200));
    m_preview->setImageFrameStyle(NSImageFrameGrayBezel);
    m_preview->setImageScaling(NSImageScaleProportionallyUpOrDown);
    content->addSubview(m_preview);

    auto label = NSTextField::labelWithString("PNG file:"_ns);
    label->setFrameOrigin(NSMakePoint(20, 78));
    content->addSubview(label);
    m_pathField = alloc<NSTextField>();
    m_pathField->initWithFrame(NSMakeRect(90, 75, 210, 22));
    m_pathField->setTarget(Id(this));
    m_pathField->setAction("pathEntered:");
    content->addSubview(m_pathField);

    m_message = NSTextField::labelWithString(""_ns);
    m_message->setFrame(NSMakeRect(20, 50, 280, 17));
    m_message->setTextColor(NSColor::redColor());
    content->addSubview(m_message);

    m_cancelButton = alloc<NSButton>();
    m_cancelButton->initWithFrame(NSMakeRect(130, 12, 80, 28));
    m_cancelButton->setTitle("Cancel"_ns);
    m_cancelButton->setKeyEquivalent("\x1b"_ns);
    m_cancelButton->setTarget(Id(this));
    m_cancelButton->setAction("cancelPicture:");
    content->addSubview(m_cancelButton);

    m_setButton = alloc<NSButton>();
    m_setButton->initWithFrame(NSMakeRect(220, 12, 80, 28));
    m_setButton->setTitle("Set"_ns);
    m_setButton->setKeyEquivalent("\r"_ns);
    m_setButton->setTarget(Id(this));
    m_setButton->setAction("setPicture:");
    content->addSubview(m_setButton);
    setInitialFirstResponder(m_pathField);
}

void IKPictureTaker::setInputImage(const Ref<NSImage>& image) { m_inputImage = image; }

void IKPictureTaker::setValueForKey(const Id& value, const Ref<NSString>& key)
{
    if (key && key->hasPrefix("IKPictureTaker"_ns)) {
        if (value) m_options->setObject(value, key);
        else m_options->removeObjectForKey(key);
        return;
    }
    NSPanel::setValueForKey(value, key);
}

Id IKPictureTaker::valueForKey(const Ref<NSString>& key)
{
    if (key && key->hasPrefix("IKPictureTaker"_ns)) return m_options->objectForKey(key);
    return NSPanel::valueForKey(key);
}

void IKPictureTaker::beginPictureTakerSheetForWindow(const Ref<NSWindow>& window, const Id& delegate,
                                                     const SEL& didEndSelector, void* contextInfo)
{
    if (!window) return;
    m_preview->setImage(m_inputImage);
    m_pathField->setStringValue(""_ns);
    m_message->setStringValue(""_ns);
    NSApplicationExt::beginSheet(NSApp, this, window, delegate, didEndSelector, contextInfo);
}

bool IKPictureTaker::loadPictureAtPath(const Ref<NSString>& path)
{
    auto data = path && path->length() > 0 ? NSData::dataWithContentsOfFile(path) : nullptr;
    auto image = isPNG(data) ? NSImage::initWithData(data) : nullptr;
    if (!image) {
        m_message->setStringValue(
            NSString::stringWithFormat("\"%@\" is not a readable PNG file."_ns, path ? path : ""_ns));
        return false;
    }
    m_message->setStringValue(""_ns);
    m_preview->setImage(image);
    return true;
}

void IKPictureTaker::pathEntered(const Id&) { loadPictureAtPath(m_pathField->stringValue()); }

void IKPictureTaker::setPicture(const Id&)
{
    // A path typed but not yet entered counts.
    auto typed = m_pathField->stringValue();
    if (typed && typed->length() > 0 && !loadPictureAtPath(typed)) return;
    m_outputImage = shownImage();
    end(IKPictureTakerReturnCodeSet);
}

void IKPictureTaker::cancelPicture(const Id&) { end(IKPictureTakerReturnCodeCancel); }

void IKPictureTaker::end(NSInteger code)
{
    Ref<IKPictureTaker> keep(this);
    orderOut(nullptr);
    NSApplicationExt::endSheet(NSApp, this, code);
}
