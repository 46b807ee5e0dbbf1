// Rulers, the resolution frame, the hot key, the preferences and damaged
// stored data, driven through the running program.
#include "PlumblineFixture.h"

#include <signal.h>
#include <sys/resource.h>

#include "AppKit/NSColorPanel.h"
#include "AppKit/NSColorWell.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSData.h"
#include "Foundation/NSGeometryStrings.h"
#include "Foundation/NSUserDefaults.h"
#include "HotKeyCenter/HKHotKeyCenter.h"
#include "LogCapture.h"
#include "Preference.h"

using namespace plumbline_test;

namespace {

constexpr int kScreenHeight = 1080;

struct Frame {
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = false;
};

Frame rulerFrame(AppDriver& d, size_t index = 0)
{
    Frame f;
    d.onMain([&] {
        auto& rulers = SharedRulerStore::getSharedRulerStore()->rulers();
        if (index >= rulers.size()) return;
        auto w = rulers[index]->window();
        const NSRect r = w->frame();
        f = {static_cast<int>(r.origin.x), static_cast<int>(r.origin.y), static_cast<int>(r.size.width),
             static_cast<int>(r.size.height), w->isVisible()};
    });
    return f;
}

bool isMarkerRed(uint32_t p) { return red(p) > 180 && green(p) < 90 && blue(p) < 90; }

TEST(Plumbline, RulerMarkersFollowThePointerEvenWhileHidden)
{
    runPlumbline([](AppDriver& d) {
        const Frame f = rulerFrame(d);
        ASSERT_GT(f.w, 0);
        // The horizontal arm is the top 40 points; its marker rises 23 points
        // from the arm's bottom edge.
        const int markerRow = kScreenHeight - (f.y + f.h - 40) - 10;
        d.moveMouse(NSMakePoint(f.x + 150, f.y - 50));  // below the ruler, over no window
        EXPECT_TRUE(isMarkerRed(d.pixel(f.x + 150, markerRow)));
        EXPECT_FALSE(isMarkerRed(d.pixel(f.x + 152, markerRow)));

        // A right-button drag is not heard: the marker stays.
        d.onMain([&] {
            server().injectMouse(NSEventTypeRightMouseDown, NSMakePoint(f.x + 150, f.y - 50));
            server().injectPointer(NSMakePoint(f.x + 200, f.y - 50));
            server().injectMouse(NSEventTypeRightMouseUp, NSMakePoint(f.x + 200, f.y - 50));
        });
        d.waitIdle();
        EXPECT_TRUE(isMarkerRed(d.pixel(f.x + 150, markerRow)));
        EXPECT_FALSE(isMarkerRed(d.pixel(f.x + 200, markerRow)));

        d.onMain([] { app()->hideAllRuler(nullptr); });
        EXPECT_FALSE(rulerFrame(d).visible);
        d.moveMouse(NSMakePoint(f.x + 250, f.y - 50));
        d.onMain([] { app()->showAllRuler(nullptr); });
        EXPECT_TRUE(rulerFrame(d).visible);
        EXPECT_TRUE(isMarkerRed(d.pixel(f.x + 250, markerRow)));
        EXPECT_FALSE(isMarkerRed(d.pixel(f.x + 150, markerRow)));

        // Menu validation follows the rulers' visibility.
        d.onMain([] {
            auto menu = app()->rulerMenu();
            auto item = [&](const char* action) {
                for (const auto& i : menu->items())
                    if (i->action() == action) return i;
                return Ref<NSMenuItem>();
            };
            EXPECT_TRUE(*app()->validateMenuItem(item("hideAllRuler:")));
            EXPECT_FALSE(*app()->validateMenuItem(item("showAllRuler:")));
            app()->closeAllRuler(nullptr);
            EXPECT_FALSE(*app()->validateMenuItem(item("closeAllRuler:")));
        });
    });
}

TEST(Plumbline, RulerRedrawsLayOutNoLabelTwice)
{
    runPlumbline([](AppDriver& d) {
        const Frame f = rulerFrame(d);
        ASSERT_GT(f.w, 0);
        const int markerRow = kScreenHeight - (f.y + f.h - 40) - 10;
        const NSPoint a = NSMakePoint(f.x + 150, f.y - 50), b = NSMakePoint(f.x + 250, f.y - 50);
        // Every label the ruler shows at either position is laid out once.
        d.moveMouse(a);
        d.moveMouse(b);
        const uint64_t layouts = NSAttributedStringExt::layoutsMade();
        const uint64_t iterators = BreakIteratorCache::iteratorsMade();
        for (int i = 0; i < 3; ++i) {
            d.moveMouse(a);
            EXPECT_TRUE(isMarkerRed(d.pixel(f.x + 150, markerRow)));
            d.moveMouse(b);
            EXPECT_TRUE(isMarkerRed(d.pixel(f.x + 250, markerRow)));
        }
        EXPECT_EQ(NSAttributedStringExt::layoutsMade(), layouts);
        EXPECT_EQ(BreakIteratorCache::iteratorsMade(), iterators);
    });
}

TEST(Plumbline, SingleRulersTurnAndResize)
{
    runPlumbline([](AppDriver& d) {
        d.onMain([] {
            app()->closeAllRuler(nullptr);
            app()->openHorRuler(nullptr);
        });
        Frame f = rulerFrame(d);
        EXPECT_EQ(f.w, 401);
        EXPECT_EQ(f.h, 50);
        const int top = f.y + f.h;
        // The rotate box: 16 x 16 from (18, 0) in the window.
        d.click(NSMakePoint(f.x + 24, f.y + 8));
        f = rulerFrame(d);
        EXPECT_EQ(f.w, 50);
        EXPECT_EQ(f.h, 401);
        EXPECT_EQ(f.y + f.h, top);
        // The close box of a vertical ruler: (0, H - 17).
        d.click(NSMakePoint(f.x + 6, f.y + f.h - 8));
        int count = -1;
        d.onMain([&] { count = SharedRulerStore::getSharedRulerStore()->numberOfRuler(); });
        EXPECT_EQ(count, 0);
    });
}

TEST(Plumbline, ScreenFramePresetsAreValidatedAndDrawnInTheFrameColour)
{
    runPlumbline([](AppDriver& d) {
        const int desktop = red(d.pixel(1900, 1075));
        d.onMain([] {
            auto menu = app()->screenMenu();
            EXPECT_FALSE(*app()->validateMenuItem(menu->itemWithTag(10)));  // 2048 x 1152
            EXPECT_FALSE(*app()->validateMenuItem(menu->itemWithTag(11)));  // 2560 x 1440
            EXPECT_TRUE(*app()->validateMenuItem(menu->itemWithTag(9)));    // 1920 x 1200: one side only
            app()->showScreen(menu->itemWithTag(3));                        // 1024 x 768
            EXPECT_EQ(menu->itemWithTag(3)->state(), 1);
            EXPECT_EQ(menu->itemWithTag(0)->state(), 0);
            const NSRect r = app()->screenController()->window()->frame();
            EXPECT_EQ(r.origin.x, 0);
            EXPECT_EQ(r.origin.y, 1080 - 768);
            EXPECT_EQ(r.size.width, 1024);
        });
        // The bottom edge (row 767) and the right edge (column 1023), black at 0.8.
        EXPECT_NEAR(red(d.pixel(500, 767)), desktop * 0.2, 2);
        EXPECT_NEAR(red(d.pixel(1023, 400)), desktop * 0.2, 2);
        EXPECT_EQ(red(d.pixel(500, 700)), desktop);
        d.onMain([] {
            auto menu = app()->screenMenu();
            app()->showScreen(menu->itemWithTag(0));
            EXPECT_FALSE(app()->screenController());
            EXPECT_EQ(menu->itemWithTag(0)->state(), 1);
        });
        EXPECT_EQ(red(d.pixel(500, 767)), desktop);
    });
}

TEST(Plumbline, TheHotKeyIsRecordedRegisteredAndTogglesOnlyWhenAccepted)
{
    KeptDefaults kept;
    LogCapture log;
    runPlumbline(
        [](AppDriver& d) {
            NSPoint recorder{};
            d.onMain([&] {
                app()->newGuidline(itemWithTag(app()->guidelineMenu(), 0));
                app()->showPreferences(nullptr);
                auto control = app()->preferenceWindow()->keyCodeRecorder();
                const NSRect r = control->convertRectToView(control->bounds(), nullptr);
                recorder = control->window()->convertBaseToScreen(
                    NSMakePoint(r.origin.x + 40, r.origin.y + r.size.height / 2));
            });
            // Record command-shift-G in the recorder.
            d.click(recorder);
            d.key(5, 0x120000);
            d.onMain([] {
                auto defaults = NSUserDefaults::standardUserDefaults();
                EXPECT_EQ(defaults->integerForKey("GuidelineKeyCode"_ns), 5);
                EXPECT_EQ(defaults->integerForKey("GuidelineKeyModifier"_ns), 0x120000);
            });
            auto visibleCount = [&] {
                int n = 0;
                d.onMain([&] {
                    n = SharedRulerStore::getSharedRulerStore()->numberOfVisibleRuler() +
                        (app()->guidelineController()->window()->isVisible() ? 1 : 0);
                });
                return n;
            };
            EXPECT_EQ(visibleCount(), 2);
            d.releaseHotKey(5, 0x300);  // "AcceptHotKey" is off
            EXPECT_EQ(visibleCount(), 2);
            d.onMain([] {
                auto pref = app()->preferenceWindow();
                pref->acceptHotKey()->setState(1);
                pref->acceptHotKeyHasChanged(pref->acceptHotKey());
            });
            d.releaseHotKey(5, 0x300);
            EXPECT_EQ(visibleCount(), 0);
            d.releaseHotKey(5, 0x300);
            EXPECT_EQ(visibleCount(), 2);

            // A combination the system refuses is stored, not registered.
            d.onMain([] {
                server().holdHotKeyElsewhere(6, 0x300);
                app()->preferenceWindow()->keyRecorderKeyComboDidChange(app()->preferenceWindow()->keyCodeRecorder(),
                                                                        KRMakeKeyCombo(0x120000, 6));
                EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("GuidelineKeyCode"_ns), 6);
            });
            d.releaseHotKey(6, 0x300);
            EXPECT_EQ(visibleCount(), 2);
            d.releaseHotKey(5, 0x300);  // the old key is gone
            EXPECT_EQ(visibleCount(), 2);

            // Hide with a working key, then quit.
            d.onMain([] {
                app()->preferenceWindow()->keyRecorderKeyComboDidChange(app()->preferenceWindow()->keyCodeRecorder(),
                                                                        KRMakeKeyCombo(0x120000, 5));
            });
            d.releaseHotKey(5, 0x300);
            EXPECT_EQ(visibleCount(), 0);
        },
        {.keepDefaultsIn = kept.file()});
    bool logged = false;
    for (const auto& line : log.lines()) logged |= line.find("refused") != std::string::npos;
    EXPECT_TRUE(logged);
    EXPECT_NE(kept.text().find("GuidelinesVisible = NO\n"), std::string::npos) << kept.text();
    EXPECT_NE(kept.text().find("GuidelineKeyCode = 5\n"), std::string::npos) << kept.text();
}

TEST(Plumbline, PreferencesApplyAtOnce)
{
    KeptDefaults kept;
    runPlumbline(
        [](AppDriver& d) {
            const Frame f = rulerFrame(d);
            const int x = f.x + 60, row = kScreenHeight - (f.y + f.h) + 10;
            d.onMain([] {
                server().setDesktopColor(0xFF000000);
                app()->showPreferences(nullptr);
                auto pref = app()->preferenceWindow();
                pref->transSlider()->setIntegerValue(35);
                pref->transSliderHasChanged(pref->transSlider());
                EXPECT_EQ(pref->transValue()->integerValue(), 35);
                app()->preferenceWindow()->window()->orderOut(nullptr);
            });
            EXPECT_EQ(red(d.pixel(x, row)), 89);

            d.onMain([] {
                app()->newGuidline(itemWithTag(app()->guidelineMenu(), 1));  // vertical, at x = 80
                auto pref = app()->preferenceWindow();
                pref->guideColorWell()->setColor(NSColor::colorWithCalibratedRed(1, 0, 0, 1));
                pref->guidelineColorChanged(pref->guideColorWell());
                pref->screenColorWell()->setColor(NSColor::colorWithCalibratedRed(0, 0, 1, 1));
                pref->screenColorChanged(pref->screenColorWell());
                // Handles of vertical lines to the bottom edge.
                pref->verMatrix()->selectCellWithTag(1);
                pref->radioButtonHasChanged(pref->verMatrix());
                EXPECT_EQ(app()->guidelineController()->getView()->verControllerPos(), 1056 - 24);
            });
            const uint32_t line = d.pixel(80, 500);
            EXPECT_EQ(red(line), 204);
            EXPECT_EQ(blue(line), 0);
        },
        {.keepDefaultsIn = kept.file()});
    const std::string text = kept.text();
    EXPECT_NE(text.find("TransValue = 35\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GuidelineColor = RGBA(1, 0, 0, 1)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ScreenColor = RGBA(0, 0, 1, 1)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("VerGuideController = 1\n"), std::string::npos) << text;
}

TEST(Plumbline, TheColourPanelOpensBesideThePreferencesWithinTheScreen)
{
    runPlumbline([](AppDriver& d) {
        NSPoint well{};
        d.onMain([&] {
            app()->showPreferences(nullptr);
            auto control = app()->preferenceWindow()->screenColorWell();
            const NSRect r = control->convertRectToView(control->bounds(), nullptr);
            well = control->window()->convertBaseToScreen(NSMakePoint(NSMidX(r), NSMidY(r)));
        });
        d.click(well);
        d.onMain([] {
            auto panel = NSColorPanel::sharedColorPanel();
            ASSERT_TRUE(panel->isVisible());
            const NSRect prefs = app()->preferenceWindow()->window()->frame();
            const NSRect frame = panel->frame();
            EXPECT_FALSE(NSIntersectsRect(frame, prefs)) << NSStringFromRect(frame)->UTF8String();
            EXPECT_TRUE(NSContainsRect(NSScreen::mainScreen()->visibleFrame(), frame));
            EXPECT_EQ(NSMaxY(frame), NSMaxY(prefs));
            panel->orderOut(nullptr);
        });
    });
}

TEST(Plumbline, AStoredKeyCodeOutsideSixteenBitsIsRefusedNotCutDown)
{
    LogCapture log;
    runPlumbline(
        [&](AppDriver& d) {
            d.onMain([] {
                auto center = dynamic_ref_cast<HKHotKeyCenter>(NSObject::make<HKHotKeyCenter>());
                // 0x10005 cut to 16 bits would be key 5.
                EXPECT_FALSE(center->hasRegisteredHotKeyWithKeyCode(5, 0x120000));
                auto defaults = NSUserDefaults::standardUserDefaults();
                EXPECT_EQ(defaults->stringForKey("UpdateDate"_ns)->UTF8String(), "-");
            });
        },
        {.before = [] {
            auto defaults = NSUserDefaults::standardUserDefaults();
            defaults->setInteger(0x10005, "GuidelineKeyCode"_ns);
            defaults->setInteger(0x120000, "GuidelineKeyModifier"_ns);
        }});
    bool logged = false;
    for (const auto& line : log.lines()) logged |= line.find("65541") != std::string::npos;
    EXPECT_TRUE(logged);
}

TEST(Plumbline, DamagedStoredSetsStartTheDefaultListAndAreKeptAside)
{
    struct Case {
        const char* what;
        std::function<void()> store;
        std::string expectedSets;
        bool keepsCopy;
        // Files may not grow past a few kilobytes, as on a full disk.
        bool fullDisk = false;
    };
    const Case cases[] = {
        {"garbage bytes",
         [] {
             const char junk[] = "NSAR\x01\0\0\0garbage";
             NSUserDefaults::standardUserDefaults()->setObject(NSData::dataWithBytes(junk, sizeof junk),
                                                               "GuidelineSets"_ns);
         },
         "GuidelineSets = [\"Default\":]\n", true},
        {"an index of 7 with one set",
         [] {
             auto set = GuidelineSet::create("Mine"_ns);
             set->addGuideline(Guidelines::create(1, 42.5f));
             auto defaults = NSUserDefaults::standardUserDefaults();
             defaults->setObject(NSArchiver::archivedDataWithRootObject(NSArray::arrayWithObjects({Id(set)})),
                                 "GuidelineSets"_ns);
             defaults->setInteger(7, "CurrentGuidelineSet"_ns);
         },
         "GuidelineSets = [\"Mine\": (1, 42.5)]\n", false},
        {"garbage bytes that do not fit on the disk",
         [] {
             std::string junk = "NSAR\x01";
             junk.resize(64 * 1024, 'x');
             NSUserDefaults::standardUserDefaults()->setObject(NSData::dataWithBytes(junk.data(), junk.size()),
                                                               "GuidelineSets"_ns);
             NSUserDefaults::standardUserDefaults()->synchronize();
             ::signal(SIGXFSZ, SIG_IGN);
             const rlimit small{16 * 1024, RLIM_INFINITY};
             ::setrlimit(RLIMIT_FSIZE, &small);
         },
         "GuidelineSets = [\"Default\":]\n", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KeptDefaults kept;
        LogCapture log;
        bool copyKept = false;
        runPlumbline(
            [&](AppDriver& d) {
                if (c.fullDisk) {
                    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
                    ::setrlimit(RLIMIT_FSIZE, &unlimited);
                }
                const auto folder = std::filesystem::path(d.defaultsFile()).parent_path();
                for (const auto& entry : std::filesystem::directory_iterator(folder))
                    copyKept |= entry.path().string().find("GuidelineSets.damaged") != std::string::npos;
                d.onMain([] {
                    EXPECT_EQ(GuidelineStore::getSharedGuidelineStore()->currentSetIndex(), 0);
                    app()->newGuidline(itemWithTag(app()->guidelineMenu(), 0));
                });
            },
            {.before = c.store, .keepDefaultsIn = kept.file()});
        EXPECT_EQ(copyKept, c.keepsCopy);
        EXPECT_FALSE(log.lines().empty());
        const std::string text = kept.text();
        const std::string withLine = c.expectedSets.substr(0, c.expectedSets.size() - 2) + " (0, 80)]\n";
        EXPECT_NE(text.find(withLine), std::string::npos) << text;
        EXPECT_NE(text.find("CurrentGuidelineSet = 0\n"), std::string::npos) << text;
    }
}

}  // namespace
