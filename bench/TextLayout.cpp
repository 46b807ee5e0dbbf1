// The text system at scale. Texts of 1,000 and 100,000 lines (lengths 0 to
// 120 characters) in an 800 x 600 text view of a headless window:
//   Baseline     ICU line breaking plus HarfBuzz shaping of every paragraph
//   FullLayout   laying out the whole 100,000-line text
//   FirstDisplay a new view with the text, displaying its top
//   Keystroke    one character typed at line 500 (1,000) or 50,000 (100,000),
//                the view redrawn
//   Scroll       scrolling to line 900 (1,000) or 90,000 (100,000), displayed
// Run with
//   bench_TextLayout --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <unicode/ubrk.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSAutoreleasePool.h"

namespace {

const std::u16string& text(int lines)
{
    static std::map<int, std::u16string> texts;
    auto& t = texts[lines];
    if (!t.empty()) return t;
    std::mt19937 random(7);
    static const char16_t words[][12] = {u"the",  u"layout", u"of",  u"a",    u"long",    u"text", u"paragraph",
                                         u"with", u"words",  u"and", u"some", u"numbers", u"1234", u"lines"};
    for (int line = 0; line < lines; ++line) {
        size_t length = std::uniform_int_distribution<size_t>(0, 120)(random);
        std::u16string l;
        while (l.size() < length) {
            l += words[random() % std::size(words)];
            l += u' ';
        }
        l.resize(length);
        t += l;
        t += u'\n';
    }
    return t;
}

// The same text as a string object, made once outside the timings.
Ref<NSString> string(int lines)
{
    static std::map<int, Ref<NSString>> strings;
    auto& s = strings[lines];
    if (!s) s = NSString::stringWithUTF16(text(lines));
    return s;
}

Ref<NSFont> font() { return NSFont::fontWithName("DejaVu Sans"_ns, 12); }

struct View {
    Ref<NSWindow> window;
    Ref<NSScrollView> scroll;
    Ref<NSTextView> textView;

    explicit View(int lines)
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        NSApplication::sharedApplication();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 800, 600), NSBorderlessWindowMask,
                                                                  NSBackingStoreBuffered, false);
        scroll = NSObject::alloc<NSScrollView>();
        scroll->initWithFrame(NSMakeRect(0, 0, 800, 600));
        scroll->setHasVerticalScroller(true);
        window->contentView()->addSubview(scroll);
        NSSize size = scroll->contentView()->bounds().size;
        textView = NSObject::alloc<NSTextView>();
        textView->initWithFrame(NSMakeRect(0, 0, size.width, size.height));
        textView->layoutManager()->setAllowsNonContiguousLayout(true);
        textView->setFont(font());
        scroll->setDocumentView(textView);
        textView->setString(string(lines));
        window->orderFront(nullptr);
        window->display();
    }
    ~View() { window->orderOut(nullptr); }
    NSUInteger startOfLine(int line) const
    {
        const auto& t = textView->textStorage()->utf16();
        NSUInteger at = 0;
        for (int l = 0; l < line; ++l) at = t.find(u'\n', at) + 1;
        return at;
    }
};

void Baseline(benchmark::State& state)
{
    const std::u16string& t = text(100000);
    auto cg = font()->cgFont();
    for (auto _ : state) {
        size_t breaks = 0;
        for (size_t p = 0; p < t.size();) {
            size_t end = t.find(u'\n', p);
            if (end > p) {
                UBreakIterator* it = BreakIteratorCache::forCurrentThread().iterator(UBRK_LINE, t.data() + p, end - p);
                for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it)) ++breaks;
                benchmark::DoNotOptimize(cg->shape(t.substr(p, end - p), 12));
            }
            p = end + 1;
        }
        benchmark::DoNotOptimize(breaks);
    }
}
BENCHMARK(Baseline)->Unit(benchmark::kMillisecond);

void FullLayout(benchmark::State& state)
{
    auto storage = NSTextStorage::initWithString(NSString::stringWithUTF16(text(100000)),
                                                 NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font()}}));
    for (auto _ : state) {
        auto manager = NSObject::make<NSLayoutManager>();
        auto container = NSTextContainer::initWithContainerSize(NSMakeSize(790, 1e9));
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
        manager->ensureLayoutForTextContainer(container);
        benchmark::DoNotOptimize(manager->usedRectForTextContainer(container));
        storage->removeLayoutManager(manager);
    }
}
BENCHMARK(FullLayout)->Unit(benchmark::kMillisecond);

void FirstDisplay(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    string(lines);
    for (auto _ : state) {
        // What the window server keeps until the end of an event goes with
        // the pool, as after each event of a running program; taking the
        // view down is not part of showing it.
        auto pool = std::make_unique<NSAutoreleasePool>();
        auto view = std::make_unique<View>(lines);
        benchmark::DoNotOptimize(view->textView->layoutManager()->firstUnlaidCharacterIndex());
        state.PauseTiming();
        view.reset();
        pool.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstDisplay)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void Keystroke(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    View view(lines);
    NSUInteger at = view.startOfLine(lines / 2) + 3;
    view.textView->setSelectedRange(NSMakeRange(at, 0));
    view.textView->scrollRangeToVisible(NSMakeRange(at, 0));
    view.window->display();
    bool insert = true;
    for (auto _ : state) {
        NSAutoreleasePool pool;
        // Typing one character and taking it back again keep the text as it was.
        if (insert) view.textView->insertText("x"_ns);
        else view.textView->deleteBackward(nullptr);
        insert = !insert;
        view.window->display();
    }
}
BENCHMARK(Keystroke)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void Scroll(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    string(lines);
    for (auto _ : state) {
        state.PauseTiming();
        auto pool = std::make_unique<NSAutoreleasePool>();
        auto view = std::make_unique<View>(lines);
        NSUInteger at = view->startOfLine(lines * 9 / 10);
        state.ResumeTiming();
        view->textView->scrollRangeToVisible(NSMakeRange(at, 0));
        view->window->display();
        state.PauseTiming();
        view.reset();
        pool.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(Scroll)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}
