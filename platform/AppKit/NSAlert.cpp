#include "AppKit/NSAlert.h"

#include <algorithm>

#include "AppKit/AlertLog.h"
#include "AppKit/ControlText.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSApplicationSheets.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSPanel.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"

namespace {

constexpr CGFloat kWidth = 420, kMargin = 20, kIcon = 48, kTextLeft = kMargin + kIcon + 16;
constexpr CGFloat kButtonHeight = 28, kMessageSize = 13, kInfoSize = 11;
constexpr CGFloat kCheckBoxHeight = 18, kCheckBoxGap = 12;

// Word-wrapped lines of a text for a width.
std::vector<std::u16string> wrap(const std::u16string& text, CGFloat width, ControlText::Style style)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t newline = text.find(u'\n', start);
        std::u16string paragraph =
            text.substr(start, newline == std::u16string::npos ? std::u16string::npos : newline - start);
        std::u16string line;
        size_t i = 0;
        while (i < paragraph.size()) {
            size_t space = paragraph.find(u' ', i);
            std::u16string word = paragraph.substr(i, space == std::u16string::npos ? std::u16string::npos : space - i);
            std::u16string candidate = line.empty() ? word : line + u" " + word;
            if (!line.empty() && ControlText::width(candidate, style) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            if (space == std::u16string::npos) break;
            i = space + 1;
        }
        lines.push_back(line);
        if (newline == std::u16string::npos) break;
        start = newline + 1;
    }
    return lines;
}

// The icon and the two texts.
class AlertContentView : public NSView {
    NS_OBJECT(AlertContentView, NSView)
protected:
    AlertContentView() = default;

public:
    NSAlertStyle style = NSWarningAlertStyle;
    std::vector<std::u16string> message, informative;

    bool isFlipped() const override { return true; }
    static CGFloat lineHeight(CGFloat size) { return std::ceil(ControlText::lineHeight({size, false})) + 2; }
    CGFloat textHeight() const
    {
        return message.size() * lineHeight(kMessageSize) + (informative.empty() ? 0 : 8) +
               informative.size() * lineHeight(kInfoSize);
    }
    void drawRect(const NSRect&) override
    {
        NSColor::windowBackgroundColor()->setFill();
        NSRectFill(bounds());
        const NSRect icon = NSMakeRect(kMargin, kMargin, kIcon, kIcon);
        auto colour = style == NSCriticalAlertStyle        ? NSColor::colorWithCalibratedRed(0.85, 0.2, 0.15, 1)
                      : style == NSInformationalAlertStyle ? NSColor::colorWithCalibratedRed(0.2, 0.45, 0.85, 1)
                                                           : NSColor::colorWithCalibratedRed(0.95, 0.7, 0.1, 1);
        colour->setFill();
        NSBezierPath::bezierPathWithOvalInRect(icon)->fill();
        ControlText::drawInRect(style == NSInformationalAlertStyle ? u"i" : u"!", icon, {28, true},
                                NSColor::whiteColor(), 2);
        CGFloat y = kMargin;
        for (const auto& line : message) {
            ControlText::drawInRect(
                line, NSMakeRect(kTextLeft, y, bounds().size.width - kTextLeft - kMargin, lineHeight(kMessageSize)),
                {kMessageSize, true}, NSColor::controlTextColor(), 0);
            y += lineHeight(kMessageSize);
        }
        y += 8;
        for (const auto& line : informative) {
            ControlText::drawInRect(
                line, NSMakeRect(kTextLeft, y, bounds().size.width - kTextLeft - kMargin, lineHeight(kInfoSize)),
                {kInfoSize, false}, NSColor::controlTextColor(), 0);
            y += lineHeight(kInfoSize);
        }
    }
};

NS_CLASS_DEFINE(AlertContentView)

}  // namespace

NS_CLASS_DEFINE(NSAlert)

void NSAlert::describeClass(NSClassMembers<NSAlert>& m) { m.action("buttonPressed:", &NSAlert::buttonPressed); }

NSAlert::~NSAlert() = default;

Ref<NSAlert> NSAlert::alertWithMessageText(const Ref<NSString>& message, const Ref<NSString>& defaultButton,
                                           const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                                           const Ref<NSString>& informativeText)
{
    auto alert = make<NSAlert>();
    alert->setMessageText(message);
    alert->setInformativeText(informativeText);
    alert->makeButton(defaultButton ? defaultButton : "OK"_ns, NSAlertDefaultReturn);
    if (alternateButton) alert->makeButton(alternateButton, NSAlertAlternateReturn);
    if (otherButton) alert->makeButton(otherButton, NSAlertOtherReturn);
    return alert;
}

void NSAlert::setMessageText(const Ref<NSString>& text)
{
    m_messageText = text ? NSString::stringWithString(text) : nullptr;
}

void NSAlert::setInformativeText(const Ref<NSString>& text)
{
    m_informativeText = text ? NSString::stringWithString(text) : nullptr;
}

Ref<NSButton> NSAlert::makeButton(const Ref<NSString>& title, NSInteger code)
{
    auto button = alloc<NSButton>();
    button->initWithFrame(NSMakeRect(0, 0, 90, kButtonHeight));
    button->setTitle(title);
    button->setTag(code);
    button->setTarget(Id(this));
    button->setAction("buttonPressed:");
    if (m_buttons.empty()) button->setKeyEquivalent("\r"_ns);
    else if (title && title->isEqualToString("Cancel"_ns)) button->setKeyEquivalent("\x1b"_ns);
    m_buttons.push_back(button);
    return button;
}

Ref<NSButton> NSAlert::addButtonWithTitle(const Ref<NSString>& title)
{
    return makeButton(title ? title : ""_ns, NSAlertFirstButtonReturn + NSInteger(m_buttons.size()));
}

Ref<NSButton> NSAlert::suppressionButton()
{
    if (!m_suppressionButton) {
        auto box = alloc<NSButton>();
        box->initWithFrame(NSMakeRect(0, 0, kWidth - kTextLeft - kMargin, kCheckBoxHeight));
        box->setButtonType(NSSwitchButton);
        box->setTitle("Do not show this message again"_ns);
        box->setState(NSOffState);
        m_suppressionButton = box;
    }
    return m_suppressionButton;
}

Ref<NSWindow> NSAlert::window()
{
    if (!m_window) {
        auto panel = alloc<NSPanel>();
        panel->initWithContentRect(NSMakeRect(0, 0, kWidth, 150), NSTitledWindowMask, NSBackingStoreBuffered, false);
        panel->setLevel(NSModalPanelWindowLevel);
        panel->setReleasedWhenClosed(false);
        panel->setTitle(""_ns);
        m_window = panel;
    }
    return m_window;
}

void NSAlert::layout()
{
    if (m_buttons.empty()) makeButton("OK"_ns, NSAlertFirstButtonReturn);
    auto w = window();
    auto content = alloc<AlertContentView>();
    content->style = m_style;
    const CGFloat textWidth = kWidth - kTextLeft - kMargin;
    content->message = wrap(m_messageText ? m_messageText->utf16() : u"", textWidth, {kMessageSize, true});
    if (m_informativeText && m_informativeText->length())
        content->informative = wrap(m_informativeText->utf16(), textWidth, {kInfoSize, false});
    const CGFloat textBottom = std::max(kMargin + kIcon, kMargin + content->textHeight());
    const CGFloat boxRoom = m_showsSuppressionButton ? kCheckBoxGap + kCheckBoxHeight : 0;
    const CGFloat height = textBottom + boxRoom + 20 + kButtonHeight + kMargin;
    content->initWithFrame(NSMakeRect(0, 0, kWidth, height));
    if (m_showsSuppressionButton) {
        auto box = suppressionButton();
        box->setFrame(NSMakeRect(kTextLeft, textBottom + kCheckBoxGap, kWidth - kTextLeft - kMargin, kCheckBoxHeight));
        content->addSubview(box);
    }
    // The first button at the right, the others to its left.
    CGFloat right = kWidth - kMargin;
    for (const auto& button : m_buttons) {
        const CGFloat width = std::max<CGFloat>(90, button->cell()->cellSize().width);
        button->setFrame(NSMakeRect(right - width, height - kMargin - kButtonHeight, width, kButtonHeight));
        right -= width + 12;
        content->addSubview(button);
    }
    NSRect frame = w->frame();
    frame.size = w->frameRectForContentRect(NSMakeRect(0, 0, kWidth, height)).size;
    w->setFrame(frame, false);
    w->setContentView(content);
}

size_t NSAlert::recordShown()
{
    AlertRecord record;
    record.style = m_style;
    record.messageText = m_messageText ? m_messageText->UTF8String() : "";
    record.informativeText = m_informativeText ? m_informativeText->UTF8String() : "";
    for (const auto& b : m_buttons) record.buttons.push_back(b->title()->UTF8String());
    record.showsSuppressionButton = m_showsSuppressionButton;
    return AlertLog::record(record);
}

void NSAlert::recordSuppressionButtonFrame(size_t index)
{
    if (!m_showsSuppressionButton || !m_window) return;
    auto box = suppressionButton();
    AlertLog::setSuppressionButton(index,
                                   m_window->convertRectToScreen(box->convertRectToView(box->bounds(), nullptr)));
}

void NSAlert::recordEnd(size_t index, NSInteger code)
{
    AlertLog::setResult(index, code);
    AlertLog::setSuppressed(index, m_showsSuppressionButton && suppressionButton()->state() == NSOnState);
}

NSModalResponse NSAlert::runWindow()
{
    Ref<NSAlert> self(this);
    const size_t index = recordShown();
    NSModalResponse code = NSModalResponseAbort;
    if (NSApp) {
        m_window->makeKeyAndOrderFront(nullptr);
        recordSuppressionButtonFrame(index);
        code = NSApp->runModalForWindow(m_window);
    }
    m_window->orderOut(nullptr);
    recordEnd(index, code);
    return code;
}

NSModalResponse NSAlert::runModal()
{
    Ref<NSAlert> self(this);
    layout();
    window()->center();
    return runWindow();
}

namespace {
constexpr char kSheetDidEnd[] = "alertSheetDidEnd:returnCode:contextInfo:";
}

void NSAlert::initialize() { NSApplicationExt::registerDidEndSelector<NSAlert>(kSheetDidEnd, &NSAlert::sheetDidEnd); }

void NSAlert::beginSheetModalForWindow(const Ref<NSWindow>& parent, const Id& delegate, const SEL& didEndSelector,
                                       void* contextInfo)
{
    if (!parent) {
        // No window to attach to: run it as a modal alert.
        const NSModalResponse code = runModal();
        m_contextInfo = contextInfo;
        if (delegate && !didEndSelector.empty() && delegate->respondsToSelector(didEndSelector))
            delegate->performSelector(didEndSelector, Id(this), NSNumber::numberWithInteger(code));
        m_contextInfo = nullptr;
        return;
    }
    if (m_selfWhileSheet) return;
    layout();
    m_sheetDelegate = delegate;
    m_sheetDidEnd = didEndSelector;
    m_contextInfo = contextInfo;
    m_logIndex = recordShown();
    m_selfWhileSheet = this;
    NSApplicationExt::beginSheet(NSApp, window(), parent, Id(this), kSheetDidEnd, contextInfo);
    recordSuppressionButtonFrame(m_logIndex);
    if (!NSApplicationExt::isSheet(window())) {
        // The window already has a sheet: nothing was shown.
        AlertLog::setResult(m_logIndex, NSModalResponseAbort);
        m_selfWhileSheet = nullptr;
    }
}

void NSAlert::sheetDidEnd(const Ref<NSWindow>& sheet, NSInteger code, void*)
{
    Ref<NSAlert> self = m_selfWhileSheet ? m_selfWhileSheet : Ref<NSAlert>(this);
    m_selfWhileSheet = nullptr;
    if (sheet) sheet->orderOut(nullptr);
    recordEnd(m_logIndex, code);
    auto delegate = m_sheetDelegate.get();
    if (delegate && !m_sheetDidEnd.empty() && delegate->respondsToSelector(m_sheetDidEnd))
        delegate->performSelector(m_sheetDidEnd, self, NSNumber::numberWithInteger(code));
    m_contextInfo = nullptr;
}

void NSAlert::buttonPressed(const Id& sender)
{
    auto button = dynamic_ref_cast<NSButton>(sender);
    if (!button || !NSApp) return;
    if (m_selfWhileSheet) return NSApplicationExt::endSheet(NSApp, window(), button->tag());
    NSApp->stopModalWithCode(button->tag());
}

namespace {

NSInteger runPanel(NSAlertStyle style, const Ref<NSString>& title, const Ref<NSString>& message,
                   const Ref<NSString>& defaultButton, const Ref<NSString>& alternateButton,
                   const Ref<NSString>& otherButton)
{
    auto alert = NSAlert::alertWithMessageText(title, defaultButton, alternateButton, otherButton, message);
    alert->setAlertStyle(style);
    return alert->runModal();
}

}  // namespace

NSInteger NSRunAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& defaultButton,
                          const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton)
{
    return runPanel(NSWarningAlertStyle, title, message, defaultButton, alternateButton, otherButton);
}

NSInteger NSRunCriticalAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message,
                                  const Ref<NSString>& defaultButton, const Ref<NSString>& alternateButton,
                                  const Ref<NSString>& otherButton)
{
    return runPanel(NSCriticalAlertStyle, title, message, defaultButton, alternateButton, otherButton);
}

NSInteger NSRunInformationalAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message,
                                       const Ref<NSString>& defaultButton, const Ref<NSString>& alternateButton,
                                       const Ref<NSString>& otherButton)
{
    return runPanel(NSInformationalAlertStyle, title, message, defaultButton, alternateButton, otherButton);
}
