#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressWindowController.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSApplicationSheets.h"
#include "Foundation/DispatchQueue.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKProgressWindowController/NSNotificationCenter+KQProgressWindowController.h"

NS_CLASS_DEFINE(ZAKProgressWindowController)

namespace {

constexpr char kSourcePath[] = "ZAKAppKit/ZAKProgressWindowController/ZAKProgressWindowController";
const Ref<NSString> kCurrentKey = "currentProgressDescriptor"_ns;

}  // namespace

void ZAKProgressWindowController::describeClass(NSClassMembers<ZAKProgressWindowController>& m)
{
    using C = ZAKProgressWindowController;
    m.outlet("imageView", &C::m_imageView);
    m.outlet("infoTextField", &C::m_infoTextField);
    m.outlet("progressDescriptionTextField", &C::m_progressDescriptionTextField);
    m.outlet("progressIndicator", &C::m_progressIndicator);
    m.outlet("cancelButton", &C::m_cancelButton);
    m.action("cancel:", &C::cancelAction);
    m.property("currentProgressDescriptor", &C::currentProgressDescriptor);
    m.property("operationQueue", &C::operationQueue);
    m.property("closeWindowOnCompletion", &C::closeWindowOnCompletion);
}

ZAKProgressWindowController::~ZAKProgressWindowController()
{
    // Tokens only: a report that comes later finds no observer.
    auto center = NSNotificationCenter::defaultCenter();
    for (const Id& token : {m_beginObserver, m_updateObserver, m_endObserver})
        if (token) center->removeObserver(token);
}

Id ZAKProgressWindowController::init()
{
    NSWindowController::initWithWindowNibName("ZAKProgressWindow"_ns);
    commonInit();
    return Id(this);
}

Ref<ZAKProgressWindowController> ZAKProgressWindowController::initWithWindow(const Ref<NSWindow>& window)
{
    NSWindowController::initWithWindow(window);
    commonInit();
    return Ref<ZAKProgressWindowController>(this);
}

void ZAKProgressWindowController::commonInit()
{
    m_shouldProcessNotfications = false;
    m_closeWindowOnCompletion = true;
    m_defaultProgressIndicatorWidth = 0;
    m_progressDescriptors = NSMutableArray::array();
    m_opQueue = make<NSOperationQueue>();
    m_opQueue->addObserver(Id(this), "operationCount"_ns, 0, nullptr);
    m_observingQueue = true;
    m_progressDescriptors->addObject(alloc<ZAKProgressDescriptor>()->initWithTitle(defaultTitle(), nullptr, false));
}

Ref<NSString> ZAKProgressWindowController::defaultTitle() const
{
    return NSBundle::bundleForClass(classObject())
        ->localizedStringForKey("DefaultTitle"_ns, ""_ns, "ZAKProgressWindow"_ns);
}

void ZAKProgressWindowController::windowDidLoad()
{
    NSWindowController::windowDidLoad();
    if (m_progressIndicator) {
        m_defaultProgressIndicatorWidth = m_progressIndicator->frame().size.width;
        m_progressIndicator->setUsesThreadedAnimation(true);
        auto current = currentProgressDescriptor();
        if (current && current->isIndeterminate() && m_progressIndicator->isIndeterminate())
            m_progressIndicator->startAnimation(nullptr);
    }
    updateGUI();
}

// --- Setting up ---

Ref<ZAKProgressDescriptor> ZAKProgressWindowController::setUp(const Ref<ZAKProgressDescriptor>& descriptor)
{
    removeAllProgressDescriptors();
    addProgressDescriptor(descriptor);
    return descriptor;
}

Ref<ZAKProgressDescriptor> ZAKProgressWindowController::setupAsIndeterminateWithTitle(const Ref<NSString>& title,
                                                                                      bool allowCancel)
{
    m_isCancelled = false;
    m_closeWindowOnCompletion = true;
    auto shown = title ? title : defaultTitle();
    return setUp(alloc<ZAKProgressDescriptor>()->initWithTitle(shown, shown->stringByAppendingString(u"\u2026"_ns),
                                                               allowCancel));
}

Ref<ZAKProgressDescriptor> ZAKProgressWindowController::setupAsDeterminateWithTitle(const Ref<NSString>& title,
                                                                                    double minValue, double maxValue,
                                                                                    double initialValue,
                                                                                    bool allowCancel)
{
    m_isCancelled = false;
    m_closeWindowOnCompletion = true;
    auto shown = title ? title : defaultTitle();
    auto descriptor = alloc<ZAKProgressDescriptor>()->initWithTitle(shown, shown->stringByAppendingString(u"\u2026"_ns),
                                                                    minValue, maxValue, allowCancel);
    if (initialValue != minValue) descriptor->setCurrentValue(initialValue);
    return setUp(descriptor);
}

// --- Presenting ---

bool ZAKProgressWindowController::onMainQueueOrLog(const char* message) const
{
    if (DispatchQueue::currentIsMain()) return true;
    NSLog("%@", NSString::stringWithUTF8String(message));
    return false;
}

void ZAKProgressWindowController::beginProgressSheetForWindow(const Ref<NSWindow>& parent,
                                                              const CompletionBlock& completionHandler)
{
    if (!parent) {
        NSAssertionHandler::currentHandler()->handleFailureInMethod(
            "beginProgressSheetForWindow:completionHandler:", this, NSString::stringWithUTF8String(kSourcePath),
            __LINE__, NSString::stringWithFormat("Invalid parameter not satisfying: %@", "aWindow != nil"_ns));
        return;
    }
    if (!onMainQueueOrLog("-beginProgressSheetForWindow:completionHandler: It is not allowed to invoke this method "
                          "from a concurrent thread."))
        return;
    if (m_opQueue->operationCount() == 0) {
        NSLog("Warning: ZAKProgressWindowController no operations in queue");
        if (completionHandler) completionHandler(false);
        return;
    }
    setCompletionBlock(completionHandler);
    NSApplicationExt::beginSheet(NSApp, window(), parent, nullptr, SEL(), nullptr);
}

void ZAKProgressWindowController::showProgressWindowWithCompletionHandler(const CompletionBlock& completionHandler)
{
    if (!onMainQueueOrLog("-showProgressWindowWithCompletionHandler: It is not allowed to invoke this method from a "
                          "concurrent thread."))
        return;
    if (m_opQueue->operationCount() == 0) {
        NSLog("Warning: ZAKProgressWindowController no operations in queue");
        if (completionHandler) completionHandler(false);
        return;
    }
    setCompletionBlock(completionHandler);
    Ref<ZAKProgressWindowController> self(this);
    if (auto w = window(); w && NSApp) {
        w->center();
        NSApp->runModalForWindow(w);
    }
}

void ZAKProgressWindowController::showProgressWindow()
{
    if (!onMainQueueOrLog("-showProgressWindow: It is not allowed to invoke this method from a concurrent thread."))
        return;
    showWindow(nullptr);
    if (!isObservingNotifications()) startObservingNotifications();
}

void ZAKProgressWindowController::hideProgressWindow()
{
    if (!onMainQueueOrLog("-hideProgressWindow: It is not allowed to invoke this method from a concurrent thread."))
        return;
    if (isObservingNotifications()) stopObservingNotifications();
    close();
}

// --- Cancelling ---

void ZAKProgressWindowController::cancel()
{
    m_progressDescriptors->setValueForKey(NSNumber::numberWithBool(true), "isCancelled"_ns);
    m_opQueue->cancelAllOperations();
    // The observers go too: the next count change registers them once again.
    stopObservingNotifications();
    if (m_cancelButton) m_cancelButton->setEnabled(false);
    m_isCancelled = true;
}

void ZAKProgressWindowController::cancelAction(const Id&) { cancel(); }

// --- The stack ---

void ZAKProgressWindowController::changeStack(const std::function<void()>& change)
{
    willChangeValueForKey(kCurrentKey);
    change();
    didChangeValueForKey(kCurrentKey);
    if (isWindowLoaded()) updateGUI();
}

void ZAKProgressWindowController::addProgressDescriptor(const Ref<ZAKProgressDescriptor>& descriptor)
{
    if (!descriptor) return;
    changeStack([&] {
        if (auto current = currentProgressDescriptor()) {
            if (!descriptor->title()) descriptor->setTitle(current->title());
            if (!descriptor->infoText()) descriptor->setInfoText(current->infoText());
        }
        m_progressDescriptors->addObject(descriptor);
    });
}

void ZAKProgressWindowController::removeProgressDescriptor(const Ref<ZAKProgressDescriptor>& descriptor)
{
    changeStack([&] { m_progressDescriptors->removeObjectIdenticalTo(descriptor); });
}

void ZAKProgressWindowController::removeAllProgressDescriptors()
{
    changeStack([&] { m_progressDescriptors->removeAllObjects(); });
}

Ref<ZAKProgressDescriptor> ZAKProgressWindowController::currentProgressDescriptor() const
{
    return m_progressDescriptors ? dynamic_ref_cast<ZAKProgressDescriptor>(m_progressDescriptors->lastObject())
                                 : nullptr;
}

Ref<NSArray> ZAKProgressWindowController::progressDescriptors() const
{
    return NSArray::arrayWithArray(m_progressDescriptors);
}

void ZAKProgressWindowController::updateGUI()
{
    auto descriptor = currentProgressDescriptor();
    auto w = loadedWindow();
    if (!descriptor || !w) return;
    if (auto indicator = m_progressIndicator) {
        if (!descriptor->isIndeterminate()) {
            if (indicator->isIndeterminate()) {
                indicator->stopAnimation(nullptr);
                indicator->setIndeterminate(false);
            }
            const double minimum = descriptor->minValue(), maximum = descriptor->maxValue();
            indicator->setMinValue(minimum);
            indicator->setMaxValue(maximum);
            indicator->setDoubleValue(std::max(minimum, std::min(maximum, descriptor->currentValue())));
        } else if (!indicator->isIndeterminate()) {
            indicator->setDoubleValue(100);
            indicator->setIndeterminate(true);
            indicator->startAnimation(nullptr);
        }
        NSRect frame = indicator->frame();
        if (descriptor->allowCancel()) {
            frame.size.width = m_defaultProgressIndicatorWidth;
        } else if (m_cancelButton) {
            const NSRect button = m_cancelButton->frame();
            frame.size.width = button.origin.x + button.size.width - frame.origin.x;
        }
        indicator->setFrame(frame);
    }
    if (m_cancelButton) {
        m_cancelButton->setHidden(!descriptor->allowCancel());
        m_cancelButton->setEnabled(descriptor->allowCancel());
    }
    w->displayIfNeeded();
}

// --- Observing the work ---

bool ZAKProgressWindowController::isObservingNotifications() const
{
    std::lock_guard guard(m_observerLock);
    return m_shouldProcessNotfications;
}

void ZAKProgressWindowController::startObservingNotifications()
{
    auto center = NSNotificationCenter::defaultCenter();
    auto main = NSOperationQueue::mainQueue();
    Weak<ZAKProgressWindowController> weak(this);
    std::lock_guard guard(m_observerLock);
    if (m_shouldProcessNotfications) return;
    m_shouldProcessNotfications = true;
    m_beginObserver =
        center->addObserverForName(NSString::stringWithUTF8String(KQWillBeginProcessingWithProgressDescriptor), nullptr,
                                   main, [weak](const Ref<NSNotification>& note) {
                                       auto self = weak.get();
                                       auto descriptor = dynamic_ref_cast<ZAKProgressDescriptor>(note->object());
                                       if (self && descriptor) self->addProgressDescriptor(descriptor);
                                   });
    m_updateObserver =
        center->addObserverForName(NSString::stringWithUTF8String(KQUpdateProcessingWithProgressDescriptor), nullptr,
                                   main, [weak](const Ref<NSNotification>& note) {
                                       auto self = weak.get();
                                       if (!self) return;
                                       auto descriptor = dynamic_ref_cast<ZAKProgressDescriptor>(note->object());
                                       if (descriptor && note->userInfo())
                                           descriptor->setValuesForKeysWithDictionary(note->userInfo());
                                       if (self->isWindowLoaded()) self->updateGUI();
                                   });
    m_endObserver = center->addObserverForName(NSString::stringWithUTF8String(KQDidEndProcessingWithProgressDescriptor),
                                               nullptr, main, [weak](const Ref<NSNotification>& note) {
                                                   auto self = weak.get();
                                                   auto descriptor =
                                                       dynamic_ref_cast<ZAKProgressDescriptor>(note->object());
                                                   if (self && descriptor) self->removeProgressDescriptor(descriptor);
                                               });
}

void ZAKProgressWindowController::stopObservingNotifications()
{
    Id tokens[3];
    {
        std::lock_guard guard(m_observerLock);
        m_shouldProcessNotfications = false;
        tokens[0] = std::move(m_beginObserver);
        tokens[1] = std::move(m_updateObserver);
        tokens[2] = std::move(m_endObserver);
    }
    auto center = NSNotificationCenter::defaultCenter();
    for (const Id& token : tokens)
        if (token) center->removeObserver(token);
}

void ZAKProgressWindowController::observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath,
                                                                              const Id& object,
                                                                              const Ref<NSDictionary>& change,
                                                                              void* context)
{
    if (object != Id(m_opQueue) || !keyPath || !keyPath->isEqualToString("operationCount"_ns))
        return NSWindowController::observeValueForKeyPathOfObjectChangeContext(keyPath, object, change, context);
    if (m_opQueue->operationCount() > 0) {
        if (!isObservingNotifications()) startObservingNotifications();
        return;
    }
    if (DispatchQueue::currentIsMain()) return handleCompletion();
    Ref<ZAKProgressWindowController> self(this);
    DispatchQueue::main()->sync([self] { self->handleCompletion(); });
}

void ZAKProgressWindowController::handleCompletion()
{
    if (!DispatchQueue::currentIsMain()) {
        NSAssertionHandler::currentHandler()->handleFailureInMethod(
            "_handleCompletion", this, NSString::stringWithUTF8String(kSourcePath), __LINE__,
            "it is not allowd to call this on secondary thread!"_ns);
        return;
    }
    Ref<ZAKProgressWindowController> self(this);
    stopObservingNotifications();
    if (m_closeWindowOnCompletion) {
        if (auto w = loadedWindow()) {
            if (NSApplicationExt::isSheet(w)) NSApplicationExt::endSheet(NSApp, w);
            // Only the session of this very window: another modal window
            // running above or below it is none of the progress window's business.
            else if (NSApp && NSApp->modalWindow() == w) NSApp->abortModal();
            close();
        }
    }
    if (m_completionBlock) {
        auto block = std::move(m_completionBlock);
        m_completionBlock = nullptr;
        block(m_isCancelled);
    }
    removeAllProgressDescriptors();
}
