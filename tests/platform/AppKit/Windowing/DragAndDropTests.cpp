// Drag and drop inside the process, driven by injected mouse events: the
// calls a source and its destinations hear, in order; which view is the
// destination; the operations that source masks, modifier keys and
// destinations leave; the image on the screen while it is dragged; and the
// slide back of a drop that did nothing.
#include <string>

#include "AppKit/DragManager.h"
#include "AppKit/NSDragging.h"
#include "AppKit/NSViewDragging.h"
#include "WindowingFixture.h"

namespace {

const Ref<NSString> kTextType = "com.example.text"_ns;
const Ref<NSString> kOtherType = "com.example.other"_ns;
constexpr uint32_t kRed = 0xFFFF0000;

// A view that starts a drag of a 20 x 10 red image from every mouse-down,
// with its pasteboard holding "hello" as kTextType, and records what it
// hears as a source.
class DragSourceView : public NSView, public NSDraggingSource {
    NS_OBJECT(DragSourceView, NSView)
protected:
    DragSourceView() = default;

public:
    std::vector<std::string>* log = nullptr;
    std::optional<NSDragOperation> mask;
    bool slideBack = true;
    NSDragOperation endedOperation = 99;
    std::vector<NSPoint> moves;
    std::vector<uint32_t> pixelsUnderImage;

    void mouseDown(const Ref<NSEvent>& event) override
    {
        auto board = NSPasteboard::pasteboardWithName(NSDragPboard);
        board->declareTypes(NSArray::arrayWithObject(kTextType), nullptr);
        board->setString("hello"_ns, kTextType);
        auto image = NSImage::imageWithSize(NSMakeSize(20, 10), false, [](NSRect r) {
            NSColor::redColor()->setFill();
            NSRectFill(r);
            return true;
        });
        const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
        NSViewExt::dragImage(Ref<NSView>(this), image, NSMakePoint(p.x - 10, p.y - 5), NSZeroSize, event, board,
                             Ref<NSObject>(this), slideBack);
    }
    std::optional<NSDragOperation> draggingSourceOperationMaskForLocal(bool local) override
    {
        EXPECT_TRUE(local);
        return mask;
    }
    void draggedImageBeganAt(const Ref<NSImage>&, NSPoint) override { log->push_back("began"); }
    void draggedImageMovedTo(const Ref<NSImage>&, NSPoint p) override
    {
        moves.push_back(p);
        // The image's centre, as the screen shows it now.
        pixelsUnderImage.push_back(
            HeadlessWindowServer::current()->screenImage()->pixel(size_t(p.x + 10), size_t(1080 - (p.y + 5))));
    }
    void draggedImageEndedAtOperation(const Ref<NSImage>&, NSPoint, NSDragOperation op) override
    {
        endedOperation = op;
        log->push_back("source ended " + std::to_string(op));
    }
};

// A destination that answers `answer` and records every call by name.
class DropTargetView : public RecordingView, public NSDraggingDestination {
    NS_OBJECT(DropTargetView, RecordingView)
protected:
    DropTargetView() = default;

public:
    std::string name;
    std::vector<std::string>* log = nullptr;
    std::optional<NSDragOperation> answer = NSDragOperationCopy;
    bool accepts = true;
    Ref<NSDraggingInfo> lastInfo;
    Ref<NSString> dropped;

    std::optional<NSDragOperation> draggingEntered(const Ref<NSDraggingInfo>& info) override
    {
        return note("entered", info), answer;
    }
    std::optional<NSDragOperation> draggingUpdated(const Ref<NSDraggingInfo>& info) override
    {
        return note("updated", info), answer;
    }
    void draggingExited(const Ref<NSDraggingInfo>& info) override { note("exited", info); }
    std::optional<bool> prepareForDragOperation(const Ref<NSDraggingInfo>& info) override
    {
        return note("prepare", info), true;
    }
    std::optional<bool> performDragOperation(const Ref<NSDraggingInfo>& info) override
    {
        note("perform", info);
        dropped = info->draggingPasteboard()->stringForType(kTextType);
        return accepts;
    }
    void concludeDragOperation(const Ref<NSDraggingInfo>& info) override { note("conclude", info); }
    void draggingEnded(const Ref<NSDraggingInfo>& info) override { note("ended", info); }

private:
    void note(const char* call, const Ref<NSDraggingInfo>& info)
    {
        lastInfo = info;
        // Repeated updates tell nothing new.
        const std::string entry = name + " " + call;
        if (log->empty() || log->back() != entry || std::string(call) != "updated") log->push_back(entry);
    }
};

}  // namespace

NS_CLASS_DEFINE(DragSourceView)
NS_CLASS_DEFINE(DropTargetView)

class DragAndDropTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        NSPasteboard::resetForTesting();
        sourceWindow = makeWindow(NSMakeRect(100, 100, 200, 200), NSColor::whiteColor());
        source = NSObject::alloc<DragSourceView>();
        source->initWithFrame(NSMakeRect(0, 0, 100, 100));
        source->log = &log;
        sourceWindow->contentView()->addSubview(source);
        targetWindow = makeWindow(NSMakeRect(500, 100, 200, 200), NSColor::whiteColor());
        target = addTarget(targetWindow, "A", NSMakeRect(50, 50, 100, 100));
        pump();
    }

    Ref<DropTargetView> addTarget(const Ref<NSWindow>& window, const char* name, const NSRect& frame)
    {
        auto view = NSObject::alloc<DropTargetView>();
        view->initWithFrame(frame);
        view->name = name;
        view->log = &log;
        NSViewExt::registerForDraggedTypes(view, NSArray::arrayWithObject(kTextType));
        window->contentView()->addSubview(view);
        return view;
    }

    // Presses in the source at (150, 150) on the screen, moves through the
    // points, then releases at the last (or presses Escape first).
    void drag(std::vector<NSPoint> through, NSUInteger flags = 0, bool escape = false)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, NSMakePoint(150, 150), flags);
        for (auto p : through) server().injectPointer(p, flags);
        if (escape) server().injectKey(kVK_Escape, flags, true);
        server().injectMouse(NSEventTypeLeftMouseUp, through.back(), flags);
        pump();
    }

    std::vector<std::string> log;
    Ref<NSWindow> sourceWindow;
    Ref<NSWindow> targetWindow;
    Ref<DragSourceView> source;
    Ref<DropTargetView> target;
};

TEST_F(DragAndDropTest, DropOnAnotherWindowCallsSourceAndDestinationInOrder)
{
    drag({NSMakePoint(300, 150), NSMakePoint(600, 200), NSMakePoint(610, 210)});
    const std::vector<std::string> expected = {"began",     "A entered",  "A updated", "A prepare",
                                               "A perform", "A conclude", "A ended",   "source ended 1"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(target->dropped && target->dropped->isEqualToString("hello"_ns));
    ASSERT_TRUE(target->lastInfo);
    // The real source object; the pointer in the target window's coordinates.
    EXPECT_EQ(target->lastInfo->draggingSource().get(), source.get());
    EXPECT_EQ(target->lastInfo->draggingDestinationWindow().get(), targetWindow.get());
    EXPECT_EQ(target->lastInfo->draggingLocation().x, 110);
    EXPECT_EQ(target->lastInfo->draggingLocation().y, 110);
    EXPECT_EQ(target->lastInfo->draggedImageLocation().x, 100);
    EXPECT_EQ(target->lastInfo->draggedImageLocation().y, 105);
    EXPECT_EQ(target->lastInfo->draggingPasteboard()->name()->isEqualToString(NSDragPboard), true);
    EXPECT_TRUE(source->endedOperation == NSDragOperationCopy);
    EXPECT_FALSE(DragManager::shared().isDragging());
    EXPECT_TRUE(DragManager::shared().lastSlideBack().empty());
}

TEST_F(DragAndDropTest, ImageFollowsThePointerOnTheScreenAndLeavesWithTheDrop)
{
    drag({NSMakePoint(300, 400), NSMakePoint(900, 700)});
    // Two moves and the release.
    ASSERT_EQ(source->moves.size(), 3u);
    // The image keeps its place under the pointer: centred on it here.
    EXPECT_EQ(source->moves[1].x, 890);
    EXPECT_EQ(source->moves[1].y, 695);
    EXPECT_EQ(source->pixelsUnderImage, (std::vector<uint32_t>{kRed, kRed, kRed}));
    EXPECT_NE(screenPixel(900, 1080 - 700), kRed);
    EXPECT_FALSE(DragManager::shared().imageWindow());
}

TEST_F(DragAndDropTest, PointerMovingBetweenDestinationsExitsOneAndEntersTheOther)
{
    auto other = addTarget(sourceWindow, "B", NSMakeRect(120, 0, 80, 200));
    pump();
    // B in the source window, then A, then over nothing: the drop refused.
    drag({NSMakePoint(250, 150), NSMakePoint(600, 200), NSMakePoint(800, 800)});
    const std::vector<std::string> expected = {"began",     "B entered", "B exited",
                                               "A entered", "A exited",  "source ended 0"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(other->dropped);
}

TEST_F(DragAndDropTest, RefusedDropsSlideTheImageBack)
{
    struct Case {
        const char* name;
        std::optional<NSDragOperation> sourceMask;
        std::optional<NSDragOperation> answer;
        bool accepts;
        NSUInteger flags;
        bool escape;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"destination answers none",
         std::nullopt,
         NSDragOperationNone,
         true,
         0,
         false,
         {"began", "A entered", "A updated", "A exited", "A ended", "source ended 0"}},
        {"answer outside the source's mask",
         NSDragOperationMove,
         NSDragOperationCopy,
         true,
         0,
         false,
         {"began", "A entered", "A updated", "A exited", "A ended", "source ended 0"}},
        {"Option narrows a move-only source to nothing",
         NSDragOperationMove,
         std::nullopt,
         true,
         NSAlternateKeyMask,
         false,
         {"began", "A entered", "A updated", "A exited", "A ended", "source ended 0"}},
        {"perform answers NO",
         std::nullopt,
         NSDragOperationCopy,
         false,
         0,
         false,
         {"began", "A entered", "A updated", "A prepare", "A perform", "A ended", "source ended 0"}},
        {"Escape cancels",
         std::nullopt,
         NSDragOperationCopy,
         true,
         0,
         true,
         {"began", "A entered", "A updated", "A exited", "A ended", "source ended 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        source->mask = c.sourceMask;
        target->answer = c.answer;
        target->accepts = c.accepts;
        drag({NSMakePoint(600, 200), NSMakePoint(610, 210)}, c.flags, c.escape);
        EXPECT_EQ(log, c.expected);
        const auto& path = DragManager::shared().lastSlideBack();
        ASSERT_FALSE(path.empty());
        // Back where the image started: centred on the mouse-down.
        EXPECT_EQ(path.back().x, 140);
        EXPECT_EQ(path.back().y, 145);
        EXPECT_GT(path.front().x, path.back().x);
    }
    // Without slide back the image simply goes.
    source->slideBack = false;
    target->answer = NSDragOperationNone;
    drag({NSMakePoint(600, 200)});
    EXPECT_TRUE(DragManager::shared().lastSlideBack().empty());
}

TEST_F(DragAndDropTest, OperationsFollowTheSourceMaskModifiersAndDestination)
{
    struct Case {
        const char* name;
        std::optional<NSDragOperation> sourceMask;
        std::optional<NSDragOperation> answer;
        NSUInteger flags;
        NSDragOperation expected;
    };
    const Case cases[] = {
        {"a local move", NSDragOperationMove, NSDragOperationMove, 0, NSDragOperationMove},
        {"a destination that does not say takes what the source allows", NSDragOperationMove, std::nullopt, 0,
         NSDragOperationMove},
        {"Option asks for a copy", NSDragOperationEvery, std::nullopt, NSAlternateKeyMask, NSDragOperationCopy},
        {"Control asks for a link", NSDragOperationEvery, NSDragOperationEvery, NSControlKeyMask, NSDragOperationLink},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        source->mask = c.sourceMask;
        target->answer = c.answer;
        drag({NSMakePoint(600, 200)}, c.flags);
        EXPECT_EQ(source->endedOperation, c.expected);
        ASSERT_TRUE(target->lastInfo);
        EXPECT_EQ(target->lastInfo->draggingSourceOperationMask() & c.expected, c.expected);
    }
}

TEST_F(DragAndDropTest, DestinationIsTheInnermostViewRegisteredForAPasteboardType)
{
    // An unregistered view inside A passes the drop to A.
    auto inner = NSObject::alloc<RecordingView>();
    inner->initWithFrame(NSMakeRect(10, 10, 30, 30));
    target->addSubview(inner);
    // A view registered for another type only is no destination.
    auto otherType = addTarget(targetWindow, "C", NSMakeRect(0, 0, 40, 40));
    NSViewExt::unregisterDraggedTypes(otherType);
    NSViewExt::registerForDraggedTypes(otherType, NSArray::arrayWithObject(kOtherType));
    NSViewExt::registerForDraggedTypes(otherType, nullptr);
    EXPECT_EQ(NSViewExt::registeredDraggedTypes(otherType)->count(), 1u);
    pump();

    Ref<NSWindow> window;
    auto types = NSArray::arrayWithObject(kTextType);
    EXPECT_EQ(DragManager::destinationAt(NSMakePoint(570, 170), types, window).get(), target.get());
    EXPECT_EQ(window.get(), targetWindow.get());
    EXPECT_FALSE(DragManager::destinationAt(NSMakePoint(510, 110), types, window));
    EXPECT_EQ(DragManager::destinationAt(NSMakePoint(510, 110), NSArray::arrayWithObject(kOtherType), window).get(),
              otherType.get());

    // Unregistered, A takes nothing.
    NSViewExt::unregisterDraggedTypes(target);
    EXPECT_FALSE(NSViewExt::registeredDraggedTypes(target));
    drag({NSMakePoint(570, 170)});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "source ended 0"}));
}
