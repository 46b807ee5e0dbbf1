#pragma once
// A compact date entry: day, month and year as three small numeric fields,
// in the order and with the separator of the system's date settings. A
// click (or Tab) takes a field up in the window's field editor; digits are
// typed and reach the date when the edit ends; an optional stepper beside
// the control steps the selected field. A small caret under the fields
// marks the selected one. It draws with text-field cells, not subviews.
#include <array>

#include "AppKit/NSControl.h"
#include "AppKit/NSStepper.h"
#include "AppKit/NSTextFieldCell.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSCalendarDate.h"

class DCSmallDateControl : public NSControl, public NSTextViewDelegate {
    NS_OBJECT(DCSmallDateControl, NSControl)
public:
    DCSmallDateControl() = default;
    ~DCSmallDateControl() override;

    enum Appearance : NSInteger { Automatic = 0, Bevelled = 1, Flat = 2 };
    // A field's part of the date (its cell's tag).
    enum Part : NSInteger { DayPart = 0, MonthPart = 1, YearPart = 2 };

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // --- The date ---
    // The control's day at midnight in the default time zone.
    Ref<NSCalendarDate> date() const;
    // Takes the date's calendar fields in the default time zone.
    void setDate(const Ref<NSDate>& date);
    NSInteger day() const { return m_day; }
    NSInteger month() const { return m_month; }
    NSInteger year() const { return m_year; }
    // Day and month are held to their ranges; a month or year that shortens
    // the month lowers the day.
    void setDay(NSInteger day);
    void setMonth(NSInteger month);
    void setYear(NSInteger year);
    static NSInteger daysInMonth(NSInteger month, NSInteger year);
    // The range of a part for this control's month and year.
    NSInteger minimumOfPart(Part part) const;
    NSInteger maximumOfPart(Part part) const;

    // --- Fields ---
    NSInteger selected() const { return m_selected; }
    void setSelected(NSInteger index);
    bool isUsingFieldEditor() const { return m_flags.isUsingFieldEditor; }
    // Visual index of each part; the separator between the fields.
    NSInteger dayLocation() const { return m_dayLocation; }
    NSInteger monthLocation() const { return m_monthLocation; }
    NSInteger yearLocation() const { return m_yearLocation; }
    Ref<NSString> dateSeparator() const { return m_dateSeparatorStr; }
    // The field cells in visual order and their frames in the control.
    Ref<NSTextFieldCell> cellAt(NSInteger index) const { return m_cells[size_t(index)]; }
    NSRect rectAt(NSInteger index) const { return m_rects[size_t(index)]; }
    NSRect separatorRectAt(NSInteger index) const { return m_colonRects[size_t(index)]; }
    // Reads the system's date order and separator again and rebuilds.
    void determineDateFormatInfo();
    void updateCells();
    void editCell(NSInteger index);
    void editOff();

    // --- Appearance ---
    NSInteger appearance() const { return m_appearance; }
    void setAppearance(NSInteger appearance);
    bool isFlatAppearance() const;
    bool alignStepper() const { return m_flags.alignStepper; }
    void setAlignStepper(bool flag);

    // --- Stepper and delegate ---
    Ref<NSStepper> stepper() const { return m_stepper.get(); }
    void setStepper(const Ref<NSStepper>& stepper) { m_stepper = stepper; }
    void updateStepperValue();
    void handleStepperClick(const Id& sender);
    Id delegate() const { return m_dateDelegate.get(); }
    // The delegate hears the end of every edit through the control-text
    // notification of this control.
    void setDelegate(const Id& delegate);

    // --- Control ---
    void setEnabled(bool flag) override;
    void sizeToFit() override;
    bool isFlipped() const override { return false; }
    bool isOpaque() const override { return false; }
    bool needsPanelToBecomeKey() const override { return true; }
    bool acceptsFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void awakeFromNib() override;

    // --- Field editor delegate ---
    std::optional<bool> textViewShouldChangeTextInRangeReplacementString(const Ref<NSTextView>& view, NSRange range,
                                                                         const Ref<NSString>& replacement) override;
    void textDidEndEditing(const Ref<NSNotification>& note) override;
    void textDidBeginEditing(const Ref<NSNotification>&) override { }
    void textDidChange(const Ref<NSNotification>&) override { }
    std::optional<bool> textShouldEndEditing(const Ref<NSText>&) override { return true; }

    static Ref<NSString> dayString(NSInteger day);
    static Ref<NSString> monthString(NSInteger month);
    static Ref<NSString> yearString(NSInteger year);

    static void describeClass(NSClassMembers<DCSmallDateControl>& m);

private:
    void finishInit();
    void interiorDesign();
    void disposeCells();
    void alignStepperBeside();
    NSInteger partOf(NSInteger index) const { return m_cells[size_t(index)]->tag(); }
    NSInteger valueOfPart(NSInteger part) const;
    void setValueOfPart(NSInteger part, NSInteger value);
    void acceptNewValueInSelectedCell(const Ref<NSText>& editor);
    // The window's field editor while it edits one of the fields.
    Ref<NSText> currentDateEditor() const;
    Ref<NSTextFieldCell> makeCell(const Ref<NSString>& text, bool field) const;

    struct {
        bool alignStepper = false;
        bool notReallyTheEnd = false;
        bool isUsingFieldEditor = false;
    } m_flags;
    NSInteger m_appearance = Automatic;
    NSInteger m_day = 1, m_month = 1, m_year = 2000;
    std::array<Ref<NSTextFieldCell>, 3> m_cells;
    std::array<NSRect, 3> m_rects{};
    std::array<Ref<NSTextFieldCell>, 2> m_colonCells;
    std::array<NSRect, 2> m_colonRects{};
    NSInteger m_colonCellsCount = 2;
    NSInteger m_cellsCount = 3;
    NSInteger m_selected = 0;
    Weak<NSObject> m_dateDelegate;
    Id m_delegateToken;
    Weak<NSStepper> m_stepper;
    double m_stepperMidValue = 0;
    NSInteger m_dayLocation = 1, m_monthLocation = 0, m_yearLocation = 2;
    Ref<NSString> m_dateSeparatorStr;
};
