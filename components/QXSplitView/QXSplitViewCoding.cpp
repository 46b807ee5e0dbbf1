// Archives of panes and split views, keyed (as in interface files) and
// sequential. A collapsed pane is written with its last size inside its
// limits and its origin x moved by 1000000, which marks it as collapsed.
#include <cmath>

#include "AppKit/NSBitmapImageRep.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"
#include "QXSplitView/QXSplitView.h"

namespace {

constexpr double kCollapsedMark = 1000000.0;

Ref<NSString> key(const char* name) { return NSString::stringWithUTF8String(name); }

Ref<NSString> stringOrEmpty(const Id& object)
{
    auto s = dynamic_ref_cast<NSString>(object);
    return s ? s : ""_ns;
}

}

// --- Panes ---

void QXSplitSubview::encodeWithCoder(NSCoder* coder) const
{
    NSRect archived = frame();
    if (isCollapsed()) {
        archived.origin.x += kCollapsedMark;
        archived.size = m_savedSize;
    }
    encodeViewKeys(coder, archived);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeObject(m_identifier);
        coder->encodeInt64(m_tag);
        coder->encodeDouble(m_minDimension);
        coder->encodeDouble(m_maxDimension);
        coder->encodeDouble(m_fraction);
        coder->encodeChar(m_canCollapse ? 1 : 0);
        return;
    }
    coder->encodeObject(m_identifier, key("identifier"));
    coder->encodeInt64(m_tag, key("tag"));
    coder->encodeDouble(m_minDimension, key("minDimension"));
    coder->encodeDouble(m_maxDimension, key("maxDimension"));
    coder->encodeDouble(m_fraction, key("fraction"));
    coder->encodeBool(m_canCollapse, key("canCollapse"));
}

Id QXSplitSubview::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    const NSRect decoded = frame();
    setPaneDefaults(decoded.size);
    if (decoded.origin.x >= kCollapsedMark) {
        setFrameOrigin(NSMakePoint(decoded.origin.x - kCollapsedMark, decoded.origin.y));
        m_collapsedByArchive = true;
    }
    if (!coder->allowsKeyedCoding()) {
        setIdentifier(stringOrEmpty(coder->decodeObject()));
        m_tag = coder->decodeInt64();
        m_minDimension = coder->decodeDouble();
        m_maxDimension = coder->decodeDouble();
        m_fraction = coder->decodeDouble();
        m_canCollapse = coder->decodeChar() != 0;
    } else {
        setIdentifier(stringOrEmpty(coder->decodeObjectForKey(key("identifier"))));
        m_tag = coder->decodeInt64ForKey(key("tag"));
        m_minDimension = coder->decodeDoubleForKey(key("minDimension"));
        m_maxDimension = coder->decodeDoubleForKey(key("maxDimension"));
        m_fraction = coder->decodeDoubleForKey(key("fraction"));
        m_canCollapse = coder->decodeBoolForKey(key("canCollapse"));
    }
    return Ref<NSObject>(this);
}

// --- Split views ---

void QXSplitView::encodeWithCoder(NSCoder* coder) const
{
    QXSplitSubview::encodeWithCoder(coder);
    Ref<NSData> image = m_divider ? m_divider->TIFFRepresentation() : nullptr;
    if (!coder->allowsKeyedCoding()) {
        coder->encodeConditionalObject(m_delegate.get());
        coder->encodeObject(m_autosaveName);
        coder->encodeObject(image);
        coder->encodeObject(m_background);
        coder->encodeDouble(m_dividerThickness);
        coder->encodeChar(m_isHorizontal ? 1 : 0);
        coder->encodeChar(m_isCoupled ? 1 : 0);
        return;
    }
    coder->encodeConditionalObject(m_delegate.get(), key("delegate"));
    coder->encodeObject(m_autosaveName, key("autosaveName"));
    if (image) coder->encodeObject(image, key("divider"));
    coder->encodeObject(m_background, key("background"));
    coder->encodeDouble(m_dividerThickness, key("dividerThickness"));
    coder->encodeBool(m_isHorizontal, key("isHorizontal"));
    coder->encodeBool(m_isCoupled, key("isCoupled"));
}

Id QXSplitView::initWithCoder(NSCoder* coder)
{
    QXSplitSubview::initWithCoder(coder);
    m_isCoupled = true;
    m_isDragging = false;
    m_isInScrollView = false;
    m_canSaveState = false;
    Id delegate, background, imageData;
    Ref<NSString> name;
    double thickness = 0;
    if (!coder->allowsKeyedCoding()) {
        delegate = coder->decodeObject();
        name = stringOrEmpty(coder->decodeObject());
        imageData = coder->decodeObject();
        background = coder->decodeObject();
        thickness = coder->decodeDouble();
        m_isHorizontal = coder->decodeChar() != 0;
        m_isCoupled = coder->decodeChar() != 0;
    } else {
        m_isCoupled = coder->decodeBoolForKey(key("isCoupled"));
        delegate = coder->decodeObjectForKey(key("delegate"));
        name = stringOrEmpty(coder->decodeObjectForKey(key("autosaveName")));
        imageData = coder->decodeObjectForKey(key("divider"));
        background = coder->decodeObjectForKey(key("background"));
        thickness = coder->decodeDoubleForKey(key("dividerThickness"));
        m_isHorizontal = coder->decodeBoolForKey(key("isHorizontal"));
    }
    setDelegate(delegate);
    m_autosaveName = ""_ns;
    setAutosaveName(name, false);
    setBackground(dynamic_ref_cast<NSColor>(background));
    Ref<NSImage> image;
    if (auto data = dynamic_ref_cast<NSData>(imageData)) {
        if (auto rep = NSBitmapImageRep::imageRepWithData(data)) {
            image = NSImage::initWithSize(NSMakeSize(double(rep->pixelsWide()), double(rep->pixelsHigh())));
            image->addRepresentation(rep);
            image->setFlipped(true);
        }
    }
    m_divider = image;
    m_dividerThickness = std::isfinite(thickness) ? std::max(std::floor(thickness), 0.0) : 0.0;
    setMustAdjust();
    // Once the whole view tree is loaded.
    performSelectorAfterDelay("viewDidMoveToSuperview", nullptr, 0);
    performSelectorAfterDelay("QX___adjustOutermostIfNeeded", nullptr, 0);
    return Ref<NSObject>(this);
}
