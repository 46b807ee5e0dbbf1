#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSTextField.h"
#include "AppKit/USKeyboardLayout.h"
#include "Carbon/IntlResources.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "DCSmallDateControl/DCSmallDateControl.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "WindowingFixture.h"

NS_CLASS_DEFINE(RecordingView)

namespace {

std::string str(const Ref<NSString>& s) { return s ? s->UTF8String() : "(nil)"; }

class DateControlTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        IntlSettings::inject({mdy, "/"});
    }
    void TearDown() override
    {
        IntlSettings::reset();
        if (m_observer) NSNotificationCenter::defaultCenter()->removeObserver(m_observer);
        WindowingTest::TearDown();
    }

    static Ref<DCSmallDateControl> makeControl()
    {
        return static_ref_cast<DCSmallDateControl>(
            NSObject::alloc<DCSmallDateControl>()->initWithFrame(NSMakeRect(10, 10, 10, 10)));
    }

    // The control in a key window, with a stepper beside it when asked.
    Ref<DCSmallDateControl> showControl(bool withStepper = false)
    {
        auto c = makeControl();
        // Titled, so that it takes the keys.
        m_window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 240, 80), NSTitledWindowMask,
                                                                    NSBackingStoreBuffered, false);
        m_window->setContentView(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 240, 80)));
        m_window->contentView()->addSubview(c);
        if (withStepper) {
            auto s = static_ref_cast<NSStepper>(NSObject::alloc<NSStepper>()->initWithFrame(NSMakeRect(0, 0, 15, 22)));
            m_window->contentView()->addSubview(s);
            s->setTarget(c);
            s->setAction("handleStepperClick:");
            c->setStepper(s);
            c->awakeFromNib();
        }
        m_window->makeKeyAndOrderFront(nullptr);
        pump();
        // Count the control's announced ends.
        m_observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            NSString::stringWithUTF8String(NSControlTextDidEndEditingNotification), c, nullptr,
            [this](const Ref<NSNotification>& note) {
                ++m_ends;
                m_lastEndInfo = note->userInfo();
            });
        return c;
    }

    // Clicks a point of the control.
    void clickAt(const Ref<NSView>& view, NSPoint p)
    {
        click(view->window()->convertBaseToScreen(view->convertPointToView(p, nullptr)));
    }
    void clickField(const Ref<DCSmallDateControl>& c, NSInteger index)
    {
        const NSRect r = c->rectAt(index);
        clickAt(c, NSMakePoint(NSMidX(r), NSMidY(r)));
    }

    static std::vector<std::string> shown(const Ref<DCSmallDateControl>& c)
    {
        return {str(c->cellAt(0)->stringValue()), str(c->cellAt(1)->stringValue()), str(c->cellAt(2)->stringValue())};
    }

    Ref<NSWindow> m_window;
    Id m_observer;
    int m_ends = 0;
    Ref<NSDictionary> m_lastEndInfo;
};

TEST_F(DateControlTest, NewControlShowsTheFirstOfJanuary2000InTheSystemOrder)
{
    struct Order {
        uint8_t order;
        std::vector<std::string> fields;
        std::vector<NSInteger> tags;
    };
    const std::vector<Order> orders = {
        {mdy, {"01", "01", "2000"}, {1, 0, 2}}, {dmy, {"01", "01", "2000"}, {0, 1, 2}},
        {ymd, {"2000", "01", "01"}, {2, 1, 0}}, {myd, {"01", "2000", "01"}, {1, 2, 0}},
        {dym, {"01", "2000", "01"}, {0, 2, 1}}, {ydm, {"2000", "01", "01"}, {2, 0, 1}},
        {9, {"01", "01", "2000"}, {1, 0, 2}},  // an unknown order reads as month, day, year
    };
    for (const std::string separator : {".", "/", "-", "\u2013"}) {
        for (const auto& o : orders) {
            SCOPED_TRACE(testing::Message() << "order " << int(o.order) << " separator " << separator);
            IntlSettings::inject({o.order, separator});
            auto c = makeControl();
            EXPECT_EQ(shown(c), o.fields);
            EXPECT_EQ((std::vector<NSInteger>{c->cellAt(0)->tag(), c->cellAt(1)->tag(), c->cellAt(2)->tag()}), o.tags);
            EXPECT_EQ(str(c->dateSeparator()), separator);
            // The fields and separators follow each other from x 1.
            EXPECT_EQ(c->rectAt(0).origin.x, 1.0);
            EXPECT_LT(c->rectAt(0).origin.x, c->separatorRectAt(0).origin.x);
            EXPECT_LT(c->separatorRectAt(0).origin.x, c->rectAt(1).origin.x);
            EXPECT_LT(c->rectAt(1).origin.x, c->separatorRectAt(1).origin.x);
            EXPECT_LT(c->separatorRectAt(1).origin.x, c->rectAt(2).origin.x);
        }
    }
}

TEST_F(DateControlTest, LayoutFollowsTheMeasuredCells)
{
    auto c = makeControl();
    auto probe = NSObject::alloc<NSTextFieldCell>()->initTextCell("99"_ns);
    probe->setFont(NSFont::controlContentFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize)));
    probe->setControlSize(NSSmallControlSize);
    const NSSize c2 = probe->cellSize();
    probe->setStringValue("9999"_ns);
    const NSSize c4 = probe->cellSize();
    EXPECT_EQ(c->frame().size.height, std::floor(float(c2.height)) + 13);
    EXPECT_EQ(c->rectAt(0).size.width, c2.width);
    EXPECT_EQ(c->rectAt(2).size.width, c4.width);  // the year, last in month/day/year
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c->rectAt(i).origin.y, 9.0);
    // The separators and the middle field sit half a point off the pixel grid.
    EXPECT_EQ(c->separatorRectAt(0).origin.x - std::floor(c->separatorRectAt(0).origin.x), 0.5);
    EXPECT_EQ(c->rectAt(1).origin.x - std::floor(c->rectAt(1).origin.x), 0.5);
    EXPECT_EQ(c->rectAt(2).origin.x, std::floor(c->rectAt(2).origin.x));
}

TEST_F(DateControlTest, MonthAndYearKeepTheDayInTheMonth)
{
    struct Case {
        NSInteger year, day, month, expectedDay;
    };
    for (const Case& k : {Case{1900, 31, 2, 28}, Case{2000, 31, 2, 29}, Case{2004, 31, 4, 30}, Case{2001, 15, 2, 15}}) {
        SCOPED_TRACE(testing::Message() << k.year << "-" << k.month);
        auto c = makeControl();
        c->setYear(k.year);
        c->setDay(k.day);
        c->setMonth(k.month);
        EXPECT_EQ(c->day(), k.expectedDay);
    }
    // Day and month are held to their ranges.
    auto c = makeControl();
    c->setMonth(13);
    EXPECT_EQ(c->month(), 12);
    c->setMonth(0);
    EXPECT_EQ(c->month(), 1);
    c->setDay(40);
    EXPECT_EQ(c->day(), 31);
    c->setDay(0);
    EXPECT_EQ(c->day(), 1);
    // Each control checks days against its own month.
    auto february = makeControl(), january = makeControl();
    february->setMonth(2);
    EXPECT_EQ(january->maximumOfPart(DCSmallDateControl::DayPart), 31);
    EXPECT_EQ(february->maximumOfPart(DCSmallDateControl::DayPart), 29);
}

TEST_F(DateControlTest, DateIsMidnightInTheDefaultTimeZone)
{
    auto saved = NSTimeZone::defaultTimeZone();
    NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("Europe/Berlin"_ns));
    auto c = makeControl();
    c->setYear(2004);
    c->setMonth(2);
    c->setDay(29);
    EXPECT_EQ(c->date()->timeIntervalSince1970(), 1078012800.0 - 3600);  // 2004-02-29 00:00 +01:00
    EXPECT_EQ(c->date()->dayOfMonth(), 29);

    // 29 February survives a control that showed a year without it.
    auto other = makeControl();
    other->setYear(2001);
    other->setDate(c->date());
    EXPECT_EQ(other->year(), 2004);
    EXPECT_EQ(other->month(), 2);
    EXPECT_EQ(other->day(), 29);
    EXPECT_EQ(shown(other), (std::vector<std::string>{"02", "29", "2004"}));
    NSTimeZone::setDefaultTimeZone(saved);
}

TEST_F(DateControlTest, OnlyDigitsAtTheirPlacesAreTyped)
{
    auto c = showControl();
    struct Case {
        NSInteger field;  // visual index: 0 month, 1 day, 2 year
        NSRange range;
        std::string text;
        bool accepted;
    };
    for (const Case& k : {Case{0, {0, 2}, "1", true}, Case{0, {0, 0}, "a", false}, Case{1, {1, 0}, "3", true},
                          Case{1, {2, 0}, "3", false}, Case{1, {0, 3}, "3", false}, Case{2, {3, 0}, "9", true},
                          Case{2, {4, 0}, "9", false}, Case{2, {0, 4}, "2010", true}, Case{2, {0, 4}, "2O10", false},
                          Case{2, {0, 4}, "", true}}) {
        SCOPED_TRACE(testing::Message() << "field " << k.field << " at " << k.range.location << " '" << k.text << "'");
        c->editCell(k.field);
        auto editor = dynamic_ref_cast<NSTextView>(m_window->fieldEditor(false, nullptr));
        ASSERT_TRUE(editor);
        EXPECT_EQ(editor->delegate().get(), Id(c).get());
        EXPECT_EQ(c->textViewShouldChangeTextInRangeReplacementString(editor, k.range,
                                                                      NSString::stringWithUTF8String(k.text.c_str())),
                  k.accepted);
    }
}

TEST_F(DateControlTest, TypingAndTabMoveThroughTheFields)
{
    auto c = showControl();
    clickField(c, 0);  // the month
    ASSERT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(c->selected(), 0);
    type(u"13");
    key(kVK_Tab);
    EXPECT_EQ(c->month(), 1);  // out of range: dropped
    EXPECT_EQ(c->selected(), 1);
    EXPECT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(m_ends, 1);
    ASSERT_TRUE(m_lastEndInfo);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(m_lastEndInfo->objectForKey("NSTextMovement"_ns))->integerValue(),
              NSTabTextMovement);
    EXPECT_TRUE(m_lastEndInfo->objectForKey("NSFieldEditor"_ns));

    type(u"7");
    key(kVK_Tab);
    EXPECT_EQ(c->day(), 7);
    EXPECT_EQ(c->selected(), 2);
    type(u"1999");
    key(kVK_Tab);  // no other key view: back to the first field
    EXPECT_EQ(c->year(), 1999);
    EXPECT_EQ(c->selected(), 0);
    EXPECT_TRUE(c->isUsingFieldEditor());
    key(kVK_Tab, NSShiftKeyMask);  // backwards from the first: the last
    EXPECT_EQ(c->selected(), 2);
    EXPECT_EQ(shown(c), (std::vector<std::string>{"01", "07", "1999"}));
    EXPECT_EQ(m_ends, 4);
}

// Records the control's action.
class DateTarget : public NSObject {
    NS_OBJECT(DateTarget, NSObject)
public:
    DateTarget() = default;
    int actions = 0;
    void dateChosen(const Id&) { ++actions; }
    static void describeClass(NSClassMembers<DateTarget>& m) { m.action("dateChosen:", &DateTarget::dateChosen); }
};
NS_CLASS_DEFINE(DateTarget)

TEST_F(DateControlTest, KeyViewLoopEntersFromEitherSideAndReturnSendsTheAction)
{
    auto c = showControl();
    auto field = [&](double x) {
        auto f = static_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(x, 50, 40, 20)));
        m_window->contentView()->addSubview(f);
        return f;
    };
    auto before = field(10), after = field(150);
    before->setNextKeyView(c);
    c->setNextKeyView(after);
    pump();

    // Backwards from the following field: the last field is taken up.
    m_window->makeFirstResponder(after);
    pump();
    key(kVK_Tab, NSShiftKeyMask);
    EXPECT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(c->selected(), 2);
    // Forwards past the last field: on to the following key view.
    key(kVK_Tab);
    EXPECT_FALSE(c->isUsingFieldEditor());
    EXPECT_TRUE(after->currentEditor());
    // Forwards from the preceding field: the first field.
    m_window->makeFirstResponder(before);
    pump();
    key(kVK_Tab);
    EXPECT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(c->selected(), 0);

    auto target = NSObject::make<DateTarget>();
    c->setTarget(target);
    c->setAction("dateChosen:");
    type(u"7");
    key(kVK_Return);
    EXPECT_EQ(target->actions, 1);
    EXPECT_EQ(c->month(), 7);
}

TEST_F(DateControlTest, ClickInTheCaretZoneRestartsTheEditSilently)
{
    auto c = showControl();
    clickField(c, 1);
    ASSERT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(c->selected(), 1);
    type(u"5");
    const NSRect r = c->rectAt(1);
    clickAt(c, NSMakePoint(NSMidX(r), 4));
    EXPECT_EQ(m_ends, 0);
    EXPECT_TRUE(c->isUsingFieldEditor());
    EXPECT_EQ(c->selected(), 1);
    EXPECT_EQ(c->day(), 5);  // the typed day was kept
    // The next real end is announced again.
    key(kVK_Tab);
    EXPECT_EQ(m_ends, 1);
    // A caret click on a field while nothing is edited leaves no silent end behind.
    c->editOff();
    EXPECT_EQ(m_ends, 2);
    clickAt(c, NSMakePoint(NSMidX(c->rectAt(2)), 4));
    key(kVK_Tab);
    EXPECT_EQ(m_ends, 3);
}

TEST_F(DateControlTest, WhiteAreaAndCaretDependOnTheAppearance)
{
    auto c = makeControl();
    struct Case {
        NSInteger appearance;
        double y, heightLoss;
    };
    for (const Case& k : {Case{DCSmallDateControl::Flat, 8, 10}, Case{DCSmallDateControl::Automatic, 8, 10},
                          Case{DCSmallDateControl::Bevelled, 6, 6}}) {
        SCOPED_TRACE(k.appearance);
        c->setAppearance(k.appearance);
        auto rec = CGRecordingContext::create({200, 60});
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, false));
        c->drawRect(c->bounds());
        NSGraphicsContext::restoreGraphicsState();
        const auto& ops = rec->operations();
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops[0].kind, CGRecordedOperation::Kind::Fill);
        EXPECT_EQ(ops[0].paint.color, (CGRGBA{1, 1, 1, 1}));
        double minY = 1e9, maxY = -1e9;
        for (const auto& e : ops[0].path.elements)
            if (e.pointCount()) minY = std::min(minY, e.points[0].y), maxY = std::max(maxY, e.points[0].y);
        EXPECT_EQ(minY, k.y);
        EXPECT_EQ(maxY - minY, c->bounds().size.height - k.heightLoss);
        // The caret under the selected field: grey lines two points wide.
        bool caret = false;
        for (const auto& op : ops)
            if (op.kind == CGRecordedOperation::Kind::Stroke && op.strokeStyle.lineWidth == 2.0) caret = true;
        EXPECT_TRUE(caret);
    }
}

TEST_F(DateControlTest, StepperFollowsTheSelectedField)
{
    auto c = showControl(true);
    auto s = c->stepper();
    c->setYear(2004);
    c->setMonth(2);
    c->setDay(10);
    c->updateCells();
    // Two points right of the control, top edges aligned.
    EXPECT_EQ(s->frame().origin.x, std::floor(NSMaxX(c->frame()) + 2));
    EXPECT_EQ(NSMaxY(s->frame()), std::floor(NSMaxY(c->frame())));
    struct Case {
        NSInteger field;
        double min, max, value;
    };
    for (const Case& k : {Case{1, 1, 29, 10}, Case{0, 1, 12, 2}, Case{2, 1000, 9999, 2004}}) {
        SCOPED_TRACE(k.field);
        c->setSelected(k.field);
        EXPECT_EQ(s->minValue(), k.min);
        EXPECT_EQ(s->maxValue(), k.max);
        EXPECT_EQ(s->doubleValue(), k.value);
    }
    // A click on its upper arrow raises the year.
    const NSRect sf = s->bounds();
    clickAt(s, NSMakePoint(NSMidX(sf), 4));  // flipped: near the top
    EXPECT_EQ(c->year(), 2005);
    EXPECT_EQ(str(c->cellAt(2)->stringValue()), "2005");
    // Typing out of range puts the stepper back to where the field started.
    clickField(c, 0);
    type(u"4");
    EXPECT_EQ(s->integerValue(), 4);
    type(u"7");
    EXPECT_EQ(s->integerValue(), 2);
}

TEST_F(DateControlTest, DisablingEndsTheEditAndRefusesClicks)
{
    auto c = showControl(true);
    clickField(c, 2);
    ASSERT_TRUE(c->isUsingFieldEditor());
    c->setEnabled(false);
    EXPECT_FALSE(c->isUsingFieldEditor());
    EXPECT_FALSE(c->stepper()->isEnabled());
    EXPECT_FALSE(c->cellAt(0)->isEnabled());
    clickField(c, 1);
    EXPECT_FALSE(c->isUsingFieldEditor());
    EXPECT_FALSE(c->acceptsFirstResponder());
}

}  // namespace
