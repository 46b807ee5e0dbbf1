#pragma once
// Scope bars in a window of the headless server, with a data source, a
// delegate that records what it hears, and cells of fixed metrics: a button
// is 10 points per title character plus 20 wide and 20 high, a pop-up 10
// per character plus 30.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "KRScopeBar/KRScopeBar.h"
#include "WindowingFixture.h"

class FixedButtonCell : public KRButtonCell {
    NS_OBJECT(FixedButtonCell, KRButtonCell)
public:
    FixedButtonCell() = default;
    NSSize cellSizeForBounds(const NSRect&) const override
    {
        return NSMakeSize(10.0 * double(title()->length()) + 20, 20);
    }
    // Counts the times any button was lit for a click.
    static inline int highlights = 0;
    void setHighlighted(bool flag) override
    {
        if (flag) ++highlights;
        KRButtonCell::setHighlighted(flag);
    }
};

class FixedPopUpCell : public KRPopUpButtonCell {
    NS_OBJECT(FixedPopUpCell, KRPopUpButtonCell)
public:
    FixedPopUpCell() = default;
    NSSize cellSizeForBounds(const NSRect&) const override
    {
        return NSMakeSize(10.0 * double(title()->length()) + 30, 20);
    }
};

// Strings per group; the very objects it hands out stay the same.
class ScopeSource : public NSObject, public KRScopeBarDataSource {
    NS_OBJECT(ScopeSource, NSObject)
public:
    ScopeSource() = default;
    std::vector<std::vector<Ref<NSString>>> groups;
    void set(std::vector<std::vector<std::string>> titles)
    {
        groups.clear();
        for (auto& g : titles) {
            groups.emplace_back();
            for (auto& t : g) groups.back().push_back(NSString::stringWithUTF8String(t.c_str()));
        }
    }
    NSUInteger scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar*, NSUInteger g) override
    {
        return g < groups.size() ? groups[g].size() : 0;
    }
    Id scopeBarValueForObjectInGroupAtIndex(KRScopeBar*, NSUInteger g, NSUInteger i) override { return groups[g][i]; }
};

class ScopeDelegate : public NSObject, public KRScopeBarDelegate {
    NS_OBJECT(ScopeDelegate, NSObject)
public:
    ScopeDelegate() = default;
    std::set<std::string> refusedObjects;
    std::set<std::string> refusedCollapse;
    std::vector<std::string> heard;  // identifiers of the changed groups
    std::vector<Id> heardFrom;
    int askedSelect = 0;
    std::optional<bool> scopeBarShouldSelectObject(KRScopeBar*, const Id& object) override
    {
        ++askedSelect;
        return !refusedObjects.count(object ? object->description()->UTF8String() : "");
    }
    std::optional<bool> scopeBarShouldCollapseGroup(KRScopeBar*, KRScopeBarGroup* g) override
    {
        return !refusedCollapse.count(g->identifier() ? g->identifier()->UTF8String() : "");
    }
    void scopeBarSelectionDidChange(const Ref<NSNotification>& note) override
    {
        auto id = note->userInfo() ? note->userInfo()->objectForKey(KRGroupIdentifierKey) : nullptr;
        heard.push_back(id ? id->description()->UTF8String() : "(none)");
        heardFrom.push_back(note->object());
    }
};

class ScopeBarTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        m_observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            KRScopeBarSelectionDidChangeNotification, nullptr, nullptr, [this](const Ref<NSNotification>& note) {
                auto id = note->userInfo() ? note->userInfo()->objectForKey(KRGroupIdentifierKey) : nullptr;
                posted.push_back(id ? id->description()->UTF8String() : "(none)");
                postedFrom.push_back(note->object());
            });
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(m_observer);
        WindowingTest::TearDown();
    }

    // A bar with fixed-metric cells.
    static Ref<KRScopeBar> makeBar(double width = 600, double height = 25)
    {
        auto bar =
            static_ref_cast<KRScopeBar>(NSObject::alloc<KRScopeBar>()->initWithFrame(NSMakeRect(0, 0, width, height)));
        auto button = bar->buttonCell();
        auto fixedButton = NSObject::alloc<FixedButtonCell>();
        fixedButton->initTextCell(""_ns);
        copyCell(button, fixedButton);
        bar->setButtonCell(fixedButton);
        auto popUp = bar->popUpButtonCell();
        auto fixedPopUp = NSObject::alloc<FixedPopUpCell>();
        fixedPopUp->initTextCell(""_ns, false);
        copyCell(popUp, fixedPopUp);
        bar->setPopUpButtonCell(fixedPopUp);
        return bar;
    }
    // Gives the fixed cell the template's settings through a keyed round trip
    // of the properties that matter here.
    static void copyCell(const Ref<NSButtonCell>& from, const Ref<NSButtonCell>& to)
    {
        to->setBezelStyle(from->bezelStyle());
        to->setButtonType(from->buttonType());
        to->setControlSize(from->controlSize());
        to->setShowsBorderOnlyWhileMouseInside(from->showsBorderOnlyWhileMouseInside());
        to->setLineBreakMode(from->lineBreakMode());
        to->setImagePosition(from->imagePosition());
    }

    // Groups of the source's objects, identified "g0", "g1"...
    Ref<KRScopeBar> barWithGroups(std::vector<std::vector<std::string>> titles, double width = 600,
                                  int32_t style = KRScopeBarGroup::SingleSelection)
    {
        auto bar = makeBar(width);
        source = NSObject::make<ScopeSource>();
        source->set(titles);
        sources.push_back(source);  // bars hold their data sources weakly
        bar->setDataSource(source);
        for (size_t i = 0; i < titles.size(); ++i) {
            auto g = bar->addGroup();
            g->setIdentifier(NSString::stringWithUTF8String(("g" + std::to_string(i)).c_str()));
            g->setGroupSelectionStyle(style);
        }
        return bar;
    }

    Ref<NSWindow> show(const Ref<KRScopeBar>& bar)
    {
        const NSRect f = bar->frame();
        m_window = makeWindow(NSMakeRect(100, 100, f.size.width, 60), NSColor::whiteColor());
        bar->setFrameOrigin(NSMakePoint(0, 10));
        m_window->contentView()->addSubview(bar);
        m_window->display();
        pump();
        return m_window;
    }

    // A point of the bar on the screen.
    static NSPoint onScreen(const Ref<NSView>& view, NSPoint p)
    {
        return view->window()->convertBaseToScreen(view->convertPointToView(p, nullptr));
    }
    static NSPoint centre(const NSRect& r) { return NSMakePoint(NSMidX(r), NSMidY(r)); }

    static std::vector<NSRect> frames(const Ref<KRScopeBar>& bar)
    {
        std::vector<NSRect> out;
        for (auto& h : bar->helpers()) out.push_back(h->frame());
        return out;
    }

    static std::vector<std::string> overflowTitles(const Ref<KRScopeBar>& bar)
    {
        std::vector<std::string> out;
        auto menu = bar->overflowPullDownCell()->menu();
        for (NSInteger i = 1; i < menu->numberOfItems(); ++i) {
            auto item = menu->itemAtIndex(i);
            out.push_back(item->isSeparatorItem() ? "-" : item->title()->UTF8String());
        }
        return out;
    }

    Ref<ScopeSource> source;
    std::vector<Ref<ScopeSource>> sources;
    std::vector<std::string> posted;
    std::vector<Id> postedFrom;
    Ref<NSWindow> m_window;
    Id m_observer;
};
