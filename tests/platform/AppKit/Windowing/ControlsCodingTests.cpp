// Keyed coding of controls and cells: what one archives, the other decodes.
#include <functional>

#include "AppKit/NSButton.h"
#include "AppKit/NSColorWell.h"
#include "AppKit/NSComboBox.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

namespace {

template <class T> Ref<T> makeControl(const NSRect& frame)
{
    auto c = NSObject::alloc<T>();
    c->initWithFrame(frame);
    return c;
}

Ref<NSView> roundTrip(const Ref<NSView>& view)
{
    auto data = NSKeyedArchiver::archivedDataWithRootObject(view);
    return dynamic_ref_cast<NSView>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
}

// A container coded by the view's own keys only.
class CodedContainer : public NSView, public NSCoding {
    NS_OBJECT(CodedContainer, NSView)
protected:
    CodedContainer() = default;

public:
    void encodeWithCoder(NSCoder* coder) const override { encodeViewKeys(coder); }
    Id initWithCoder(NSCoder* coder) override
    {
        decodeViewKeys(coder);
        return Id(this);
    }
};

}  // namespace

NS_CLASS_DEFINE(CodedContainer)

// The frame, mask and hidden flag come back, and so do the subviews that can
// be archived; the others are left out.
TEST(ControlsCoding, ViewKeysKeepCodableSubviews)
{
    auto box = NSObject::alloc<CodedContainer>();
    box->initWithFrame(NSMakeRect(5, 6, 200, 100));
    box->setAutoresizingMask(NSViewWidthSizable | NSViewMaxYMargin);
    box->setHidden(true);
    box->addSubview(makeControl<NSButton>(NSMakeRect(10, 10, 80, 24)));
    box->addSubview(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 10, 10)));
    auto copy = roundTrip(box);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->frame(), NSMakeRect(5, 6, 200, 100));
    EXPECT_EQ(copy->autoresizingMask(), NSUInteger(NSViewWidthSizable | NSViewMaxYMargin));
    EXPECT_TRUE(copy->isHidden());
    ASSERT_EQ(copy->subviews().size(), 1u);
    auto button = dynamic_ref_cast<NSButton>(copy->subviews()[0]);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->superview().get(), copy.get());
    EXPECT_EQ(button->frame(), NSMakeRect(10, 10, 80, 24));
}

TEST(ControlsCoding, EachControlKeepsItsKeys)
{
    struct Case {
        const char* name;
        std::function<Ref<NSControl>()> make;
        std::function<void(const Ref<NSControl>&)> check;
    };
    const Case cases[] = {
        {"button",
         [] {
             auto b = makeControl<NSButton>(NSMakeRect(1, 2, 80, 24));
             b->setButtonType(NSSwitchButton);
             b->setTitle("Snap"_ns);
             b->setAlternateTitle("Snapped"_ns);
             b->setAllowsMixedState(true);
             b->setState(NSMixedState);
             b->setKeyEquivalent("s"_ns);
             b->setKeyEquivalentModifierMask(NSCommandKeyMask);
             b->setTag(9);
             b->setAction("snap:");
             b->setEnabled(false);
             return Ref<NSControl>(b);
         },
         [](const Ref<NSControl>& c) {
             auto b = dynamic_ref_cast<NSButton>(c);
             ASSERT_TRUE(b);
             EXPECT_EQ(b->frame(), NSMakeRect(1, 2, 80, 24));
             EXPECT_EQ(b->buttonCell()->buttonType(), NSSwitchButton);
             EXPECT_EQ(b->title()->UTF8String(), "Snap");
             EXPECT_EQ(b->alternateTitle()->UTF8String(), "Snapped");
             EXPECT_EQ(b->state(), NSMixedState);
             EXPECT_EQ(b->keyEquivalent()->UTF8String(), "s");
             EXPECT_EQ(b->keyEquivalentModifierMask(), NSUInteger(NSCommandKeyMask));
             EXPECT_EQ(b->tag(), 9);
             EXPECT_EQ(b->action(), "snap:");
             EXPECT_FALSE(b->isEnabled());
         }},
        {"text field",
         [] {
             auto f = makeControl<NSTextField>(NSMakeRect(0, 0, 120, 22));
             f->setStringValue("hello"_ns);
             f->setPlaceholderString("name"_ns);
             f->setEditable(false);
             f->setTextColor(NSColor::redColor());
             f->setBackgroundColor(NSColor::controlColor());
             f->setAlignment(NSRightTextAlignment);
             return Ref<NSControl>(f);
         },
         [](const Ref<NSControl>& c) {
             auto f = dynamic_ref_cast<NSTextField>(c);
             ASSERT_TRUE(f);
             EXPECT_EQ(f->stringValue()->UTF8String(), "hello");
             EXPECT_EQ(f->placeholderString()->UTF8String(), "name");
             EXPECT_FALSE(f->isEditable());
             EXPECT_TRUE(f->isBezeled());
             EXPECT_TRUE(f->drawsBackground());
             EXPECT_TRUE(f->textColor()->isEqual(NSColor::colorWithCalibratedRed(1, 0, 0, 1).get()));
             // A named colour stays named.
             ASSERT_TRUE(f->backgroundColor()->colorNameComponent());
             EXPECT_EQ(f->backgroundColor()->colorNameComponent()->UTF8String(), "controlColor");
             EXPECT_EQ(f->alignment(), NSRightTextAlignment);
         }},
        {"slider",
         [] {
             auto s = makeControl<NSSlider>(NSMakeRect(0, 0, 100, 20));
             s->setMinValue(-5);
             s->setMaxValue(5);
             s->setNumberOfTickMarks(11);
             s->setAllowsTickMarkValuesOnly(true);
             s->setDoubleValue(2.2);
             s->setAltIncrementValue(0.5);
             return Ref<NSControl>(s);
         },
         [](const Ref<NSControl>& c) {
             auto s = dynamic_ref_cast<NSSlider>(c);
             ASSERT_TRUE(s);
             EXPECT_EQ(s->minValue(), -5);
             EXPECT_EQ(s->maxValue(), 5);
             EXPECT_EQ(s->numberOfTickMarks(), 11);
             EXPECT_TRUE(s->allowsTickMarkValuesOnly());
             EXPECT_EQ(s->doubleValue(), 2);
             EXPECT_EQ(s->altIncrementValue(), 0.5);
             EXPECT_TRUE(s->isContinuous());
         }},
        {"radio matrix",
         [] {
             auto proto = NSObject::alloc<NSButtonCell>();
             proto->initTextCell("Choice"_ns);
             proto->setButtonType(NSRadioButton);
             auto m = NSObject::alloc<NSMatrix>();
             m->initWithFrame(NSMakeRect(0, 0, 100, 60), NSRadioModeMatrix, Ref<NSCell>(proto), 3, 1);
             m->cellAtRow(2, 0)->setTag(42);
             m->selectCellAtRow(2, 0);
             return Ref<NSControl>(m);
         },
         [](const Ref<NSControl>& c) {
             auto m = dynamic_ref_cast<NSMatrix>(c);
             ASSERT_TRUE(m);
             EXPECT_EQ(m->numberOfRows(), 3);
             EXPECT_EQ(m->numberOfColumns(), 1);
             EXPECT_EQ(m->mode(), NSRadioModeMatrix);
             EXPECT_EQ(m->selectedRow(), 2);
             EXPECT_EQ(m->selectedTag(), 42);
             EXPECT_EQ(m->cellAtRow(2, 0)->state(), NSOnState);
             EXPECT_EQ(m->cellAtRow(0, 0)->state(), NSOffState);
             EXPECT_EQ(m->cellAtRow(1, 0)->controlView().get(), m.get());
             EXPECT_EQ(m->cellAtRow(1, 0)->title()->UTF8String(), "Choice");
         }},
        {"pop-up button",
         [] {
             auto p = makeControl<NSPopUpButton>(NSMakeRect(0, 0, 120, 24));
             p->addItemsWithTitles(NSArray::arrayWithObjects({"One"_ns, "Two"_ns}));
             p->popUpCell()->setTagOfItemAtIndex(5, 1);
             p->selectItemAtIndex(1);
             return Ref<NSControl>(p);
         },
         [](const Ref<NSControl>& c) {
             auto p = dynamic_ref_cast<NSPopUpButton>(c);
             ASSERT_TRUE(p);
             EXPECT_EQ(p->numberOfItems(), 2);
             EXPECT_EQ(p->indexOfSelectedItem(), 1);
             EXPECT_EQ(p->titleOfSelectedItem()->UTF8String(), "Two");
             EXPECT_EQ(p->selectedTag(), 5);
             EXPECT_EQ(p->menu()->numberOfItems(), 2);
             EXPECT_EQ(p->itemAtIndex(1)->state(), NSOnState);
         }},
        {"combo box",
         [] {
             auto b = makeControl<NSComboBox>(NSMakeRect(0, 0, 120, 24));
             b->addItemsWithObjectValues(NSArray::arrayWithObjects({"Red"_ns, "Green"_ns}));
             b->selectItemAtIndex(1);
             b->setNumberOfVisibleItems(8);
             return Ref<NSControl>(b);
         },
         [](const Ref<NSControl>& c) {
             auto b = dynamic_ref_cast<NSComboBox>(c);
             ASSERT_TRUE(b);
             EXPECT_EQ(b->numberOfItems(), 2);
             EXPECT_EQ(b->indexOfSelectedItem(), 1);
             EXPECT_EQ(b->stringValue()->UTF8String(), "Green");
             EXPECT_EQ(b->numberOfVisibleItems(), 8);
         }},
        {"colour well",
         [] {
             auto w = makeControl<NSColorWell>(NSMakeRect(0, 0, 40, 24));
             w->setColor(NSColor::colorWithCalibratedRed(0.25, 0.5, 0.75, 1));
             w->setBordered(false);
             return Ref<NSControl>(w);
         },
         [](const Ref<NSControl>& c) {
             auto w = dynamic_ref_cast<NSColorWell>(c);
             ASSERT_TRUE(w);
             EXPECT_TRUE(w->color()->isEqual(NSColor::colorWithCalibratedRed(0.25, 0.5, 0.75, 1).get()));
             EXPECT_FALSE(w->isBordered());
             EXPECT_FALSE(w->isActive());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto original = c.make();
        auto decoded = dynamic_ref_cast<NSControl>(roundTrip(original));
        ASSERT_TRUE(decoded);
        EXPECT_NE(decoded.get(), original.get());
        EXPECT_EQ(decoded->cell()->controlView().get(), decoded.get());
        c.check(decoded);
    }
}

TEST(ControlsCoding, CellCopyOwnsItsStrings)
{
    auto cell = NSObject::alloc<NSButtonCell>();
    cell->initTextCell("Title"_ns);
    cell->setAlternateTitle("Alt"_ns);
    cell->setTag(3);
    auto copy = dynamic_ref_cast<NSButtonCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->title()->UTF8String(), "Title");
    EXPECT_NE(copy->title().get(), cell->title().get());
    EXPECT_NE(copy->alternateTitle().get(), cell->alternateTitle().get());
    EXPECT_EQ(copy->tag(), 3);
    cell->setTitle("Changed"_ns);
    EXPECT_EQ(copy->title()->UTF8String(), "Title");
}

// Older files give colours as "r g b a" strings and the font by size and weight.
TEST(ControlsCoding, TextFieldReadsColourStringsAndFontKeys)
{
    auto document = nlohmann::ordered_json::parse(R"({
      "archiver": "NSKeyedArchiver", "version": 1,
      "top": {"field": {"$ref": 1}},
      "objects": [
        {"id": 1, "class": "NSTextField", "keys": {"NSFrame": {"$rect": [0, 0, 120, 22]}, "NSContents": "x",
                                                   "NSTextColor": "0 0.5 1 1", "NSFontSize": 17, "NSBoldFont": true}}
      ]})");
    auto unarchiver = NSKeyedUnarchiver::unarchiverForReadingWithJSON(std::move(document));
    auto field = dynamic_ref_cast<NSTextField>(unarchiver->decodeObjectForKey("field"_ns));
    ASSERT_TRUE(field);
    EXPECT_TRUE(field->textColor()->isEqual(NSColor::colorWithCalibratedRed(0, 0.5, 1, 1).get()));
    auto font = field->cell()->font();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 17);
    EXPECT_TRUE(font->isEqual(NSFont::boldSystemFontOfSize(17).get()));
    field->cell()->setFont(NSFont::systemFontOfSize(11));
    EXPECT_EQ(field->cell()->fontSize(), 11);
    EXPECT_FALSE(field->cell()->isBoldFont());
}

TEST(ControlsCoding, InterfaceFileEntriesWithTheCellKeysOnTheControl)
{
    auto document = nlohmann::ordered_json::parse(R"({
      "archiver": "NSKeyedArchiver", "version": 1,
      "top": {"button": {"$ref": 1}, "combo": {"$ref": 2}},
      "objects": [
        {"id": 1, "class": "NSButton", "keys": {"NSFrame": {"$rect": [10, 10, 80, 24]}, "NSTitle": "OK",
                                                "NSButtonType": 3, "NSState": 1, "NSAction": "ok:"}},
        {"id": 2, "class": "NSComboBox", "keys": {"NSFrame": {"$rect": [0, 0, 120, 24]}, "NSEditable": true,
                                                  "NSComboBoxItems": ["Red", "Green", "Blue"], "NSContents": "Green"}}
      ]})");
    auto unarchiver = NSKeyedUnarchiver::unarchiverForReadingWithJSON(std::move(document));
    auto button = dynamic_ref_cast<NSButton>(unarchiver->decodeObjectForKey("button"_ns));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->title()->UTF8String(), "OK");
    EXPECT_EQ(button->state(), NSOnState);
    EXPECT_EQ(button->buttonCell()->buttonType(), NSSwitchButton);
    EXPECT_EQ(button->action(), "ok:");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->cell()->controlView().get(), button.get());

    auto combo = dynamic_ref_cast<NSComboBox>(unarchiver->decodeObjectForKey("combo"_ns));
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->numberOfItems(), 3);
    EXPECT_EQ(combo->itemObjectValueAtIndex(2)->description()->UTF8String(), "Blue");
    EXPECT_EQ(combo->stringValue()->UTF8String(), "Green");
    EXPECT_EQ(combo->indexOfSelectedItem(), 1);
    EXPECT_TRUE(combo->isEditable());

    // Action connections go through key-value coding.
    auto target = NSObject::make<NSObject>();
    button->setValueForKey(target, "target"_ns);
    button->setValueForKey("done:"_ns, "action"_ns);
    EXPECT_EQ(button->target().get(), target.get());
    EXPECT_EQ(button->action(), "done:");
    EXPECT_EQ(button->valueForKey("action"_ns)->description()->UTF8String(), "done:");
}
