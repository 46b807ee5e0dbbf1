#include "AppKit/NSColorPanel.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowServer/USKeyboardLayout.h"

namespace {

constexpr int kSwatchColumns = 8;
constexpr CGFloat kSwatchWidth = 28, kSwatchHeight = 20;

NSColorPanel* panelOf(const NSView* view)
{
    return view->window() ? dynamic_cast<NSColorPanel*>(view->window().get()) : nullptr;
}

// The grid of swatches: a click or the arrow keys choose a colour.
class ColorSwatchView : public NSView {
    NS_OBJECT(ColorSwatchView, NSView)
protected:
    ColorSwatchView() = default;

public:
    NSInteger current = -1;

    bool isFlipped() const override { return true; }
    bool acceptsFirstResponder() const override { return true; }
    NSRect swatchRect(NSInteger i) const
    {
        return NSMakeRect((i % kSwatchColumns) * kSwatchWidth, (i / kSwatchColumns) * kSwatchHeight, kSwatchWidth,
                          kSwatchHeight);
    }
    void drawRect(const NSRect&) override
    {
        const auto& colours = NSColorPanel::swatchColors();
        for (NSInteger i = 0; i < NSInteger(colours.size()); ++i) {
            colours[size_t(i)]->setFill();
            NSRectFill(NSInsetRect(swatchRect(i), 1, 1));
        }
        if (current >= 0) {
            NSColor::keyboardFocusIndicatorColor()->setFill();
            NSFrameRectWithWidth(swatchRect(current), 2);
        }
    }
    void choose(NSInteger i)
    {
        const auto& colours = NSColorPanel::swatchColors();
        if (i < 0 || i >= NSInteger(colours.size())) return;
        current = i;
        setNeedsDisplay(true);
        if (auto panel = panelOf(this)) panel->userChoseColor(colours[size_t(i)]);
    }
    void mouseDown(const Ref<NSEvent>& event) override
    {
        const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
        for (NSInteger i = 0; i < NSInteger(NSColorPanel::swatchColors().size()); ++i)
            if (NSPointInRect(p, swatchRect(i))) return choose(i);
    }
    void keyDown(const Ref<NSEvent>& event) override
    {
        const NSInteger from = std::max<NSInteger>(0, current);
        const NSInteger count = NSInteger(NSColorPanel::swatchColors().size());
        NSInteger to;
        switch (event->keyCode()) {
        case kVK_LeftArrow: to = from - 1; break;
        case kVK_RightArrow: to = current < 0 ? 0 : from + 1; break;
        case kVK_UpArrow: to = from - kSwatchColumns; break;
        case kVK_DownArrow: to = current < 0 ? 0 : from + kSwatchColumns; break;
        default: return NSView::keyDown(event);
        }
        if (to >= 0 && to < count) choose(to);
    }
};

NS_CLASS_DEFINE(ColorSwatchView)

// The colour being edited.
class ColorPreviewView : public NSView {
    NS_OBJECT(ColorPreviewView, NSView)
protected:
    ColorPreviewView() = default;

public:
    void drawRect(const NSRect&) override
    {
        auto panel = panelOf(this);
        (panel && panel->color() ? panel->color() : NSColor::whiteColor())->setFill();
        NSRectFill(bounds());
        NSColor::grayColor()->setFill();
        NSFrameRect(bounds());
    }
};

NS_CLASS_DEFINE(ColorPreviewView)

// Applies a field's text when its editing ends (Return, Tab or a click away).
class ColorPanelFieldDelegate : public NSObject, public NSControlTextEditingDelegate {
    NS_OBJECT(ColorPanelFieldDelegate, NSObject)
protected:
    ColorPanelFieldDelegate() = default;

public:
    void controlTextDidEndEditing(const Ref<NSNotification>& note) override
    {
        auto field = dynamic_ref_cast<NSControl>(note->object());
        if (!field) return;
        if (auto panel = panelOf(field.get())) panel->fieldChanged(field);
    }
};

NS_CLASS_DEFINE(ColorPanelFieldDelegate)

Ref<NSColorPanel>& sharedPanel()
{
    static auto* panel = new Ref<NSColorPanel>;
    return *panel;
}

int component255(CGFloat v) { return int(std::lround(std::clamp<CGFloat>(v, 0, 1) * 255)); }

}  // namespace

NS_CLASS_DEFINE(NSColorPanel)

void NSColorPanel::describeClass(NSClassMembers<NSColorPanel>& m)
{
    m.action("componentChanged:", &NSColorPanel::componentChanged);
    m.action("fieldChanged:", &NSColorPanel::fieldChanged);
    m.action("selectNextKeyView:", &NSColorPanel::selectNextKeyView);
    m.action("selectPreviousKeyView:", &NSColorPanel::selectPreviousKeyView);
}

const std::vector<Ref<NSColor>>& NSColorPanel::swatchColors()
{
    static const std::vector<Ref<NSColor>> colours = [] {
        const uint32_t rgb[] = {0x000000, 0x404040, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x800000, 0xFF0000, 0xFF8000,
                                0xFFFF00, 0x00FF00, 0x008000, 0x00FFFF, 0x0000FF, 0x000080, 0xFF00FF, 0x800080};
        std::vector<Ref<NSColor>> list;
        for (uint32_t c : rgb)
            list.push_back(NSColor::colorWithCalibratedRed(((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                                           (c & 0xFF) / 255.0, 1));
        return list;
    }();
    return colours;
}

bool NSColorPanel::sharedColorPanelExists() { return sharedPanel() != nullptr; }

Ref<NSColorPanel> NSColorPanel::sharedColorPanel()
{
    auto& panel = sharedPanel();
    if (panel) return panel;
    panel = alloc<NSColorPanel>();
    panel->initWithContentRect(NSMakeRect(100, 300, 260, 250),
                               NSTitledWindowMask | NSClosableWindowMask | NSUtilityWindowMask, NSBackingStoreBuffered,
                               false);
    panel->setTitle("Colors"_ns);
    panel->setReleasedWhenClosed(false);
    panel->setLevel(NSFloatingWindowLevel);
    panel->build();
    panel->setColor(NSColor::whiteColor());
    return panel;
}

void NSColorPanel::build()
{
    auto content = contentView();
    auto preview = alloc<ColorPreviewView>();
    preview->initWithFrame(NSMakeRect(10, 205, 240, 35));
    content->addSubview(preview);
    m_preview = preview;

    auto swatches = alloc<ColorSwatchView>();
    swatches->initWithFrame(NSMakeRect(18, 155, kSwatchColumns * kSwatchWidth, 2 * kSwatchHeight));
    content->addSubview(swatches);
    m_swatches = swatches;

    m_fieldDelegate = make<ColorPanelFieldDelegate>();
    const char* labels[] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        const CGFloat y = 120 - i * 30;
        auto label = NSTextField::labelWithString(NSString::stringWithUTF8String(labels[i]));
        label->setFrameOrigin(NSMakePoint(10, y + 2));
        content->addSubview(label);
        auto slider = alloc<NSSlider>();
        slider->initWithFrame(NSMakeRect(30, y, 160, 22));
        slider->setMaxValue(255);
        slider->setTarget(Id(this));
        slider->setAction("componentChanged:");
        slider->setTag(i);
        content->addSubview(slider);
        m_sliders[i] = slider;
        auto field = alloc<NSTextField>();
        field->initWithFrame(NSMakeRect(200, y, 50, 22));
        field->setTag(i);
        field->setDelegate(m_fieldDelegate);
        content->addSubview(field);
        m_fields[i] = field;
    }
    auto hexLabel = NSTextField::labelWithString("Hex"_ns);
    hexLabel->setFrameOrigin(NSMakePoint(10, 17));
    content->addSubview(hexLabel);
    auto hex = alloc<NSTextField>();
    hex->initWithFrame(NSMakeRect(50, 15, 100, 22));
    hex->setTag(3);
    hex->setDelegate(m_fieldDelegate);
    content->addSubview(hex);
    m_hexField = hex;
    setInitialFirstResponder(swatches);
}

Ref<NSString> NSColorPanel::hexStringForColor(const Ref<NSColor>& colour)
{
    if (!colour) return "#000000"_ns;
    CGFloat c[4];
    getRGBA(colour, c);
    char text[8];
    snprintf(text, sizeof text, "#%02X%02X%02X", component255(c[0]), component255(c[1]), component255(c[2]));
    return NSString::stringWithUTF8String(text);
}

void NSColorPanel::getRGBA(const Ref<NSColor>& colour, CGFloat rgba[4])
{
    rgba[0] = rgba[1] = rgba[2] = 0;
    rgba[3] = 1;
    auto rgb = colour ? colour->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    if (rgb) rgb->getRed(&rgba[0], &rgba[1], &rgba[2], &rgba[3]);
}

Ref<NSColor> NSColorPanel::colorFromHexString(const Ref<NSString>& text)
{
    if (!text) return nullptr;
    std::string s = text->UTF8String();
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
            s.end());
    if (!s.empty() && s[0] == '#') s.erase(0, 1);
    if (s.size() == 3) s = {s[0], s[0], s[1], s[1], s[2], s[2]};
    if (s.size() != 6 ||
        !std::all_of(s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return nullptr;
    const unsigned long v = std::stoul(s, nullptr, 16);
    return NSColor::colorWithCalibratedRed(((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0,
                                           1);
}

void NSColorPanel::showColorInControls()
{
    CGFloat c[4];
    getRGBA(m_color, c);
    for (int i = 0; i < 3; ++i) {
        if (m_sliders[i]) m_sliders[i]->setDoubleValue(component255(c[i]));
        if (m_fields[i] && !m_fields[i]->currentEditor()) m_fields[i]->setIntegerValue(component255(c[i]));
    }
    if (m_hexField && !m_hexField->currentEditor()) m_hexField->setStringValue(hexStringForColor(m_color));
    if (m_preview) m_preview->setNeedsDisplay(true);
}

void NSColorPanel::setColor(const Ref<NSColor>& colour)
{
    m_color = colour ? colour : NSColor::blackColor();
    showColorInControls();
}

void NSColorPanel::userChoseColor(const Ref<NSColor>& colour)
{
    Ref<NSColorPanel> self(this);
    setColor(colour);
    if (!m_action.empty() && NSApp) NSApp->sendAction(m_action, m_target.get(), self);
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(NSColorPanelColorDidChangeNotification), self);
}

void NSColorPanel::componentChanged(const Id&)
{
    CGFloat c[4];
    getRGBA(m_color, c);
    for (int i = 0; i < 3; ++i) c[i] = m_sliders[i]->doubleValue() / 255.0;
    userChoseColor(NSColor::colorWithCalibratedRed(c[0], c[1], c[2], c[3]));
}

void NSColorPanel::fieldChanged(const Id& sender)
{
    auto field = dynamic_ref_cast<NSTextField>(sender);
    if (!field) return;
    if (field == m_hexField) {
        auto colour = colorFromHexString(field->stringValue());
        if (!colour) return showColorInControls();  // not a colour: show the current one again
        if (!colour->isEqual(m_color.get())) userChoseColor(colour);
        return;
    }
    const int i = int(field->tag());
    if (i < 0 || i > 2) return;
    CGFloat c[4];
    getRGBA(m_color, c);
    const int value = std::clamp(int(field->integerValue()), 0, 255);
    if (value == component255(c[i])) return showColorInControls();
    c[i] = value / 255.0;
    userChoseColor(NSColor::colorWithCalibratedRed(c[0], c[1], c[2], c[3]));
}

// --- Key-view loop ---

std::vector<Ref<NSView>> NSColorPanel::keyViews() const
{
    std::vector<Ref<NSView>> views{m_swatches};
    for (int i = 0; i < 3; ++i) {
        views.push_back(m_sliders[i]);
        views.push_back(m_fields[i]);
    }
    views.push_back(m_hexField);
    return views;
}

void NSColorPanel::moveFocus(int direction)
{
    const auto views = keyViews();
    auto first = firstResponder();
    // The field editor stands for the field it edits.
    NSInteger at = -1;
    for (size_t i = 0; i < views.size(); ++i) {
        auto control = dynamic_ref_cast<NSControl>(views[i]);
        if (first.get() == views[i].get() || (control && control->currentEditor() && control->currentEditor() == first))
            at = NSInteger(i);
    }
    const NSInteger n = NSInteger(views.size());
    const NSInteger next = at < 0 ? 0 : ((at + direction) % n + n) % n;
    makeFirstResponder(views[size_t(next)]);
}

void NSColorPanel::selectNextKeyView(const Id&) { moveFocus(+1); }

void NSColorPanel::selectPreviousKeyView(const Id&) { moveFocus(-1); }

void NSColorPanel::keyDown(const Ref<NSEvent>& event)
{
    if (event->keyCode() == kVK_Tab) return moveFocus(event->modifierFlags() & NSShiftKeyMask ? -1 : +1);
    NSPanel::keyDown(event);
}
