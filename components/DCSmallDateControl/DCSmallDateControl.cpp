#include "DCSmallDateControl/DCSmallDateControl.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Carbon/IntlResources.h"
#include "Foundation/CFStringEncoding.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(DCSmallDateControl)

namespace {

// Field order by date order: month, day and year index.
struct Locations {
    NSInteger month, day, year;
};
constexpr Locations kLocations[6] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {0, 2, 1}, {2, 0, 1}, {2, 1, 0}};

// The layout floors in single precision, as the measurements were made.
double floorf32(double v) { return double(std::floor(float(v))); }
double minusHalf(double v) { return double(float(v) - 0.5f); }

Ref<NSFont> fieldFont()
{
    return NSFont::controlContentFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize));
}

}  // namespace

void DCSmallDateControl::describeClass(NSClassMembers<DCSmallDateControl>& m)
{
    m.action("handleStepperClick:", &DCSmallDateControl::handleStepperClick);
    m.property("stepper", &DCSmallDateControl::stepper, &DCSmallDateControl::setStepper);
    m.property("delegate", &DCSmallDateControl::delegate, &DCSmallDateControl::setDelegate);
    m.property("appearance", &DCSmallDateControl::appearance, &DCSmallDateControl::setAppearance);
}

Ref<NSView> DCSmallDateControl::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    m_flags.alignStepper = true;
    m_appearance = Automatic;
    finishInit();
    return Ref<NSView>(this);
}

DCSmallDateControl::~DCSmallDateControl()
{
    if (m_delegateToken) NSNotificationCenter::defaultCenter()->removeObserver(m_delegateToken);
    if (auto d = m_dateDelegate.get()) NSNotificationCenter::defaultCenter()->removeObserver(d, nullptr, Id(this));
}

void DCSmallDateControl::finishInit()
{
    m_flags.isUsingFieldEditor = false;
    m_flags.notReallyTheEnd = false;
    m_day = 1;
    m_month = 1;
    m_year = 2000;
    NSControl::setEnabled(true);
    determineDateFormatInfo();
}

// --- Date format ---

void DCSmallDateControl::determineDateFormatInfo()
{
    Intl0Hndl intl = GetIntlResource(0);
    const Intl0Rec settings = intl ? *intl : Intl0Rec{};
    TextEncoding encoding = kCFStringEncodingMacRoman;
    const auto script = ScriptCode(GetScriptManagerVariable(smSysScript));
    if (UpgradeScriptInfoToTextEncoding(script, kTextLanguageDontCare, kTextRegionDontCare, nullptr, &encoding) !=
        noErr)
        encoding = kCFStringEncodingMacRoman;
    m_dateSeparatorStr = NSString::stringWithBytes(settings.dateSep.data(), settings.dateSep.size(),
                                                   CFStringConvertEncodingToNSStringEncoding(encoding));
    if (!m_dateSeparatorStr) m_dateSeparatorStr = "/"_ns;
    // An order the table does not know reads as month, day, year.
    const Locations& at = kLocations[settings.dateOrder < 6 ? settings.dateOrder : 0];
    m_monthLocation = at.month;
    m_dayLocation = at.day;
    m_yearLocation = at.year;
    interiorDesign();
}

// --- Cells and layout ---

Ref<NSTextFieldCell> DCSmallDateControl::makeCell(const Ref<NSString>& text, bool field) const
{
    auto cell = static_ref_cast<NSTextFieldCell>(NSObject::alloc<NSTextFieldCell>()->initTextCell(text));
    cell->setDrawsBackground(field);
    cell->setEditable(field);
    cell->setBordered(false);
    cell->setControlSize(NSSmallControlSize);
    cell->setFont(fieldFont());
    if (field) cell->setAlignment(NSRightTextAlignment);
    return cell;
}

void DCSmallDateControl::disposeCells()
{
    for (auto& c : m_cells) c = nullptr;
    for (auto& c : m_colonCells) c = nullptr;
}

void DCSmallDateControl::interiorDesign()
{
    disposeCells();
    for (auto& c : m_cells) c = makeCell(""_ns, true);
    for (auto& c : m_colonCells) c = makeCell(m_dateSeparatorStr, false);
    m_cells[size_t(m_dayLocation)]->setTag(DayPart);
    m_cells[size_t(m_monthLocation)]->setTag(MonthPart);
    m_cells[size_t(m_yearLocation)]->setTag(YearPart);
    sizeToFit();
    updateCells();
    if (m_flags.alignStepper && stepper()) alignStepperBeside();
}

void DCSmallDateControl::sizeToFit()
{
    auto scratch = makeCell("99"_ns, true);
    const NSSize c2 = scratch->cellSize();
    scratch->setStringValue("9999"_ns);
    const NSSize c4 = scratch->cellSize();
    scratch->setStringValue(m_dateSeparatorStr);
    const NSSize cs = scratch->cellSize();

    const double width = (isFlatAppearance() ? 1 : 2) + 2 * c2.width + c4.width + 2 * cs.width;
    const double height = floorf32(c2.height) + 13;
    NSSize slot[3];
    for (NSInteger i = 0; i < 3; ++i) slot[i] = i == m_yearLocation ? c4 : c2;

    const double y = 9.0;
    m_rects[0] = NSMakeRect(1.0, y, slot[0].width, slot[0].height);
    m_colonRects[0] = NSMakeRect(minusHalf(floorf32(1 + slot[0].width)), y, cs.width, cs.height);
    m_rects[1] = NSMakeRect(minusHalf(floorf32(m_colonRects[0].origin.x + cs.width)), y, slot[1].width, slot[1].height);
    m_colonRects[1] = NSMakeRect(minusHalf(floorf32(m_rects[1].origin.x + slot[1].width)), y, cs.width, cs.height);
    m_rects[2] = NSMakeRect(floorf32(m_colonRects[1].origin.x + cs.width - 0.5), y, slot[2].width, slot[2].height);

    const NSRect f = frame();
    setFrame(NSMakeRect(f.origin.x, f.origin.y, floorf32(width), height));
}

Ref<NSString> DCSmallDateControl::dayString(NSInteger day) { return NSString::stringWithFormat("%02ld", long(day)); }
Ref<NSString> DCSmallDateControl::monthString(NSInteger month)
{
    return NSString::stringWithFormat("%02ld", long(month));
}
Ref<NSString> DCSmallDateControl::yearString(NSInteger year) { return NSString::stringWithFormat("%ld", long(year)); }

void DCSmallDateControl::updateCells()
{
    if (!m_cells[0]) return;
    m_cells[size_t(m_dayLocation)]->setStringValue(dayString(m_day));
    m_cells[size_t(m_monthLocation)]->setStringValue(monthString(m_month));
    m_cells[size_t(m_yearLocation)]->setStringValue(yearString(m_year));
    if (m_flags.isUsingFieldEditor) {
        if (auto editor = currentDateEditor()) {
            editor->setString(m_cells[size_t(m_selected)]->stringValue());
            editor->setSelectedRange(NSMakeRange(0, editor->string()->length()));
        }
    }
    setNeedsDisplay(true);
}

// --- The date ---

NSInteger DCSmallDateControl::daysInMonth(NSInteger month, NSInteger year)
{
    static const NSInteger days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return days[month - 1];
}

NSInteger DCSmallDateControl::minimumOfPart(Part part) const { return part == YearPart ? 1000 : 1; }

NSInteger DCSmallDateControl::maximumOfPart(Part part) const
{
    switch (part) {
    case DayPart: return daysInMonth(m_month, m_year);
    case MonthPart: return 12;
    case YearPart: return 9999;
    }
    return 0;
}

void DCSmallDateControl::setDay(NSInteger day)
{
    m_day = std::clamp<NSInteger>(day, 1, std::max<NSInteger>(1, daysInMonth(m_month, m_year)));
    setNeedsDisplay(true);
}

void DCSmallDateControl::setMonth(NSInteger month)
{
    m_month = std::clamp<NSInteger>(month, 1, 12);
    const NSInteger days = daysInMonth(m_month, m_year);
    if (m_day > days) {
        m_day = days;
        setNeedsDisplay(true);
    }
}

void DCSmallDateControl::setYear(NSInteger year)
{
    m_year = year;
    const NSInteger days = daysInMonth(m_month, m_year);
    if (m_day > days) {
        m_day = days;
        setNeedsDisplay(true);
    }
}

Ref<NSCalendarDate> DCSmallDateControl::date() const
{
    auto zone = NSCalendarDate::calendarDate()->timeZone();
    return NSCalendarDate::dateWithYear(m_year, NSUInteger(m_month), NSUInteger(m_day), 0, 0, 0, zone);
}

void DCSmallDateControl::setDate(const Ref<NSDate>& date)
{
    if (!date) return;
    auto calendarDate = NSCalendarDate::dateWithDate(date, NSTimeZone::defaultTimeZone());
    // The year first, so that 29 February of a leap year survives a control
    // that showed another year.
    setYear(calendarDate->yearOfCommonEra());
    setMonth(calendarDate->monthOfYear());
    setDay(calendarDate->dayOfMonth());
    updateCells();
}

NSInteger DCSmallDateControl::valueOfPart(NSInteger part) const
{
    return part == DayPart ? m_day : part == MonthPart ? m_month : m_year;
}

void DCSmallDateControl::setValueOfPart(NSInteger part, NSInteger value)
{
    if (part == DayPart) setDay(value);
    else if (part == MonthPart) setMonth(value);
    else setYear(value);
}

// --- Selection, stepper, delegate ---

void DCSmallDateControl::setSelected(NSInteger index)
{
    if (index == m_selected) return;
    m_selected = index;
    updateStepperValue();
    setNeedsDisplay(true);
}

void DCSmallDateControl::updateStepperValue()
{
    auto s = stepper();
    if (!s || !m_cells[0]) return;
    const auto part = Part(partOf(m_selected));
    s->setMinValue(double(minimumOfPart(part)));
    s->setMaxValue(double(maximumOfPart(part)));
    s->setIntegerValue(valueOfPart(part));
    m_stepperMidValue = s->doubleValue();
}

void DCSmallDateControl::handleStepperClick(const Id& sender)
{
    auto s = dynamic_ref_cast<NSControl>(sender);
    if (!s) s = stepper();
    if (!s || !m_cells[0]) return;
    setValueOfPart(partOf(m_selected), s->integerValue());
    updateCells();
}

void DCSmallDateControl::setAlignStepper(bool flag)
{
    if (flag == m_flags.alignStepper) return;
    m_flags.alignStepper = flag;
    if (flag && stepper()) alignStepperBeside();
}

void DCSmallDateControl::alignStepperBeside()
{
    auto s = stepper();
    if (!s) return;
    const NSRect f = frame();
    const NSSize size = s->frame().size;
    s->setFrameOrigin(NSMakePoint(std::floor(NSMaxX(f) + 2), std::floor(NSMaxY(f) - size.height)));
}

void DCSmallDateControl::setAppearance(NSInteger appearance)
{
    if (appearance == m_appearance) return;
    m_appearance = appearance;
    interiorDesign();
    setNeedsDisplay(true);
}

bool DCSmallDateControl::isFlatAppearance() const
{
    if (m_appearance == Flat) return true;
    return m_appearance == Automatic && std::floor(NSAppKitVersionNumber) >= 743;
}

void DCSmallDateControl::setDelegate(const Id& delegate)
{
    auto centre = NSNotificationCenter::defaultCenter();
    if (m_delegateToken) centre->removeObserver(m_delegateToken);
    m_delegateToken = nullptr;
    if (auto old = m_dateDelegate.get()) centre->removeObserver(old, nullptr, Id(this));
    m_dateDelegate = delegate;
    if (!delegate) return;
    const auto name = NSString::stringWithUTF8String(NSControlTextDidEndEditingNotification);
    if (delegate->respondsToSelector("controlTextDidEndEditing:")) {
        centre->addObserver(delegate, "controlTextDidEndEditing:", name, Id(this));
    } else if (dynamic_cast<NSControlTextEditingDelegate*>(delegate.get())) {
        Weak<NSObject> weak = delegate;
        m_delegateToken = centre->addObserverForName(name, Id(this), nullptr, [weak](const Ref<NSNotification>& note) {
            if (auto d = dynamic_cast<NSControlTextEditingDelegate*>(weak.get().get()))
                d->controlTextDidEndEditing(note);
        });
    }
}

void DCSmallDateControl::setEnabled(bool flag)
{
    if (flag == isEnabled()) return NSControl::setEnabled(flag);
    if (!flag) editOff();
    for (auto& c : m_cells)
        if (c) c->setEnabled(flag);
    if (auto s = stepper()) s->setEnabled(flag);
    NSControl::setEnabled(flag);
}

void DCSmallDateControl::awakeFromNib()
{
    m_selected = -1;
    setSelected(0);
    if (m_flags.alignStepper && stepper()) alignStepperBeside();
}

// --- Editing ---

Ref<NSText> DCSmallDateControl::currentDateEditor() const
{
    auto w = window();
    auto editor = w ? dynamic_ref_cast<NSText>(w->fieldEditor(false, nullptr)) : nullptr;
    return editor && editor->delegate().get() == this ? editor : nullptr;
}

void DCSmallDateControl::editCell(NSInteger index)
{
    auto w = window();
    if (!w || index < 0 || index > 2) return;
    // A switch made here announces nothing; the old field's text is kept.
    if (m_flags.isUsingFieldEditor) {
        m_flags.notReallyTheEnd = true;
        editOff();
    }
    auto editor = dynamic_ref_cast<NSText>(w->fieldEditor(true, Id(this)));
    if (!editor) return;
    auto cell = m_cells[size_t(index)];
    cell->selectWithFrame(m_rects[size_t(index)], Ref<NSView>(this), editor, Id(this), 0,
                          NSInteger(cell->stringValue()->length()));
    m_flags.isUsingFieldEditor = true;
    setSelected(index);
}

void DCSmallDateControl::editOff()
{
    if (!m_flags.isUsingFieldEditor) return;
    auto editor = currentDateEditor();
    auto w = window();
    // Ending through the editor runs the same end as a key would (the value
    // is taken, observers hear of it unless it is only a switch).
    if (editor && w && w->firstResponder() == Ref<NSResponder>(editor)) w->makeFirstResponder(nullptr);
    if (!m_flags.isUsingFieldEditor) return;
    if (editor) m_cells[size_t(m_selected)]->endEditing(editor);
    m_flags.isUsingFieldEditor = false;
    m_flags.notReallyTheEnd = false;
}

bool DCSmallDateControl::becomeFirstResponder()
{
    if (!NSControl::becomeFirstResponder()) return false;
    auto w = window();
    const bool backwards = w && w->keyViewSelectionDirection() == NSSelectingPrevious;
    // The window is still switching responders: take a field up once it has,
    // unless a click took one up meanwhile.
    Weak<DCSmallDateControl> weak(this);
    NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode},
                                           [weak, backwards] {
                                               auto self = weak.get();
                                               if (!self || !self->window()) return;
                                               if (self->window()->firstResponder().get() != self.get()) return;
                                               self->editCell(backwards ? self->m_cellsCount - 1 : 0);
                                           });
    return true;
}

std::optional<bool> DCSmallDateControl::textViewShouldChangeTextInRangeReplacementString(const Ref<NSTextView>& view,
                                                                                         NSRange range,
                                                                                         const Ref<NSString>& text)
{
    const NSInteger part = partOf(m_selected);
    const NSUInteger lastLocation = part == YearPart ? 3 : 1, longest = part == YearPart ? 4 : 2;
    if (range.location > lastLocation || range.length > longest) return false;
    auto digits = NSCharacterSet::decimalDigitCharacterSet();
    const NSUInteger n = text ? text->length() : 0;
    for (NSUInteger i = 0; i < n; ++i)
        if (!digits->characterIsMember(text->characterAtIndex(i))) return false;
    if (auto s = stepper()) {
        auto before = view->string();
        const NSUInteger end = std::min<NSUInteger>(before->length(), range.location + range.length);
        auto after = before->substringToIndex(std::min<NSUInteger>(range.location, before->length()))
                         ->stringByAppendingString(text ? text : ""_ns)
                         ->stringByAppendingString(before->substringFromIndex(end));
        const NSInteger value = after->integerValue();
        const bool inRange = value >= minimumOfPart(Part(part)) && value <= maximumOfPart(Part(part));
        s->setDoubleValue(inRange ? double(value) : m_stepperMidValue);
    }
    return true;
}

void DCSmallDateControl::acceptNewValueInSelectedCell(const Ref<NSText>& editor)
{
    const auto part = Part(partOf(m_selected));
    const NSInteger value = editor->string()->integerValue();
    if (value < minimumOfPart(part) || value > maximumOfPart(part)) return;
    setValueOfPart(part, value);
    updateCells();
}

void DCSmallDateControl::textDidEndEditing(const Ref<NSNotification>& note)
{
    Ref<DCSmallDateControl> self(this);
    auto editor = dynamic_ref_cast<NSText>(note->object());
    if (!editor) return;
    // Taking the value refreshes the editor's text too: end the edit after.
    acceptNewValueInSelectedCell(editor);
    m_cells[size_t(m_selected)]->endEditing(editor);
    auto w = window();
    if (w && w->firstResponder() == Ref<NSResponder>(editor)) w->makeFirstResponder(nullptr);

    if (!m_flags.notReallyTheEnd) {
        auto info = NSMutableDictionary::dictionary();
        if (auto incoming = note->userInfo()) info->addEntriesFromDictionary(incoming);
        info->setObject(editor, "NSFieldEditor"_ns);
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSString::stringWithUTF8String(NSControlTextDidEndEditingNotification), Id(this), info);
    }
    m_flags.notReallyTheEnd = false;
    m_flags.isUsingFieldEditor = false;

    auto info = note->userInfo();
    auto movement = info ? dynamic_ref_cast<NSNumber>(info->objectForKey("NSTextMovement"_ns)) : nullptr;
    if (!movement || !w) return;
    switch (movement->integerValue()) {
    case NSTabTextMovement:
        if (m_selected + 1 < m_cellsCount) return editCell(m_selected + 1);
        w->selectKeyViewFollowingView(Ref<NSView>(this));
        if (w->firstResponder() == Ref<NSResponder>(w)) editCell(0);
        return;
    case NSBacktabTextMovement:
        if (m_selected > 0) return editCell(m_selected - 1);
        w->selectKeyViewPrecedingView(Ref<NSView>(this));
        if (w->firstResponder() == Ref<NSResponder>(w)) editCell(m_cellsCount - 1);
        return;
    case NSReturnTextMovement:
        if (sendAction(action(), target())) return;
        if (auto event = NSApp ? NSApp->currentEvent() : nullptr) {
            if (!performKeyEquivalent(event)) w->performKeyEquivalent(event);
        }
        return;
    default: return;
    }
}

// --- Mouse ---

void DCSmallDateControl::mouseDown(const Ref<NSEvent>& event)
{
    if (!isEnabled()) return;
    Ref<DCSmallDateControl> self(this);
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    const double separatorWidth = m_colonRects[0].size.width;
    for (NSInteger i = 0; i < m_cellsCount; ++i) {
        const NSRect& r = m_rects[size_t(i)];
        const NSRect caretZone = NSMakeRect(r.origin.x - separatorWidth * 0.5, 0, r.size.width + separatorWidth, 9.0);
        if (!mouse(p, caretZone)) continue;
        // Taking the same field up again is no end of its edit.
        if (i == m_selected && m_flags.isUsingFieldEditor) m_flags.notReallyTheEnd = true;
        editOff();
        if (!window()) return;
        if (window()->firstResponder() != Ref<NSResponder>(this)) window()->makeFirstResponder(Ref<NSResponder>(this));
        editCell(i);
        return;
    }
    for (NSInteger i = 0; i < m_cellsCount; ++i) {
        if (!mouse(p, m_rects[size_t(i)])) continue;
        if (m_flags.isUsingFieldEditor && i == m_selected) return;
        auto w = window();
        if (!w) return;
        if (m_flags.isUsingFieldEditor) {
            editOff();
        } else {
            w->endEditingFor(nullptr);
            w->makeFirstResponder(Ref<NSResponder>(this));
        }
        editCell(i);
        return;
    }
}

// --- Drawing ---

void DCSmallDateControl::drawRect(const NSRect&)
{
    const NSRect b = bounds();
    const bool flat = isFlatAppearance();
    const NSRect white = flat ? NSMakeRect(b.origin.x, 8.0, b.size.width, b.size.height - 10)
                              : NSMakeRect(b.origin.x, 6.0, b.size.width, b.size.height - 6);
    NSColor::whiteColor()->set();
    NSRectFill(white);

    const double x = white.origin.x, y = white.origin.y, w = white.size.width, h = white.size.height;
    if (flat) {
        NSColor::colorWithCalibratedRed(0.6196078, 0.6196078, 0.6196078, 1.0)->set();
        NSFrameRect(white);
    } else {
        auto line = [](double x0, double y0, double x1, double y1) {
            NSBezierPath::strokeLineFromPoint(NSMakePoint(x0, y0), NSMakePoint(x1, y1));
        };
        NSColor::colorWithDeviceWhite(0.3333, 1.0)->set();
        line(x + 0.5, y + 1, x + 0.5, y + h);
        line(x, y + h - 0.5, x + w, y + h - 0.5);
        line(x + 1.5, y + 2, x + 1.5, y + h - 1);
        line(x + 1, y + h - 1.5, x + w - 1, y + h - 1.5);
        NSColor::colorWithDeviceWhite(0.6667, 1.0)->set();
        line(x + 1, y + 1.5, x + w - 1, y + 1.5);
        line(x + w - 1.5, y + 1, x + w - 1.5, y + h - 2);
    }

    if (isEnabled() && m_selected >= 0 && m_selected < m_cellsCount) {
        NSColor::colorWithDeviceWhite(0.5765, 1.0)->set();
        const CGFloat previous = NSBezierPath::defaultLineWidth();
        NSBezierPath::setDefaultLineWidth(2.0);
        const NSRect& r = m_rects[size_t(m_selected)];
        const double m = std::floor(r.origin.x + r.size.width * 0.5);
        NSBezierPath::strokeLineFromPoint(NSMakePoint(m - 4, 1), NSMakePoint(m, 5));
        NSBezierPath::strokeLineFromPoint(NSMakePoint(m, 5), NSMakePoint(m + 4, 1));
        NSBezierPath::setDefaultLineWidth(previous);
    }

    for (NSInteger i = 0; i < m_colonCellsCount; ++i)
        m_colonCells[size_t(i)]->drawWithFrame(m_colonRects[size_t(i)], Ref<NSView>(this));
    for (NSInteger i = 0; i < m_cellsCount; ++i)
        m_cells[size_t(i)]->drawWithFrame(m_rects[size_t(i)], Ref<NSView>(this));
}
