#pragma once
// Shows the progress of work on an operation queue, as an application-modal
// window or as a sheet. The work reports through the notification centre
// (NSNotificationCenter+KQProgressWindowController.h); the controller keeps a
// stack of descriptors and shows the topmost. When its queue runs empty it
// ends the sheet or its modal session, closes the window and calls the
// completion block with whether the user cancelled.
//
// Reports are applied on the main thread; the observers are registered while
// the queue holds operations and removed on cancel, at completion and at
// destruction, so each report takes effect once.
#include <functional>
#include <mutex>

#include "AppKit/NSButton.h"
#include "AppKit/NSImageView.h"
#include "AppKit/NSProgressIndicator.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindowController.h"
#include "Foundation/NSOperationQueue.h"
#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressDescriptor.h"

class ZAKProgressWindowController : public NSWindowController {
    NS_OBJECT(ZAKProgressWindowController, NSWindowController)
protected:
    ZAKProgressWindowController() = default;

public:
    using CompletionBlock = std::function<void(bool cancelled)>;

    ~ZAKProgressWindowController() override;
    static void describeClass(NSClassMembers<ZAKProgressWindowController>& m);

    // From the interface file "ZAKProgressWindow".
    Id init() override;
    Ref<ZAKProgressWindowController> initWithWindow(const Ref<NSWindow>& window);
    void windowDidLoad() override;

    // A nil title means the localized "DefaultTitle"; the info text is the
    // title and "…". The stack then holds only the new descriptor.
    Ref<ZAKProgressDescriptor> setupAsIndeterminateWithTitle(const Ref<NSString>& title, bool allowCancel);
    Ref<ZAKProgressDescriptor> setupAsDeterminateWithTitle(const Ref<NSString>& title, double minValue, double maxValue,
                                                           double initialValue, bool allowCancel);

    // Main thread only. With operations queued: the window as a sheet on the
    // given window, or run modally (returning at completion). With none: a
    // warning in the log and the block called at once with NO.
    void beginProgressSheetForWindow(const Ref<NSWindow>& window, const CompletionBlock& completionHandler);
    void showProgressWindowWithCompletionHandler(const CompletionBlock& completionHandler);
    // A plain window that observes the reports.
    void showProgressWindow();
    void hideProgressWindow();

    // Marks every descriptor cancelled, cancels the queue's operations and
    // disables the cancel button; completion follows when the queue is empty.
    void cancel();
    void cancelAction(const Id& sender);

    void addProgressDescriptor(const Ref<ZAKProgressDescriptor>& descriptor);
    // Every occurrence of that very descriptor.
    void removeProgressDescriptor(const Ref<ZAKProgressDescriptor>& descriptor);
    void removeAllProgressDescriptors();
    Ref<ZAKProgressDescriptor> currentProgressDescriptor() const;
    // The descriptors, bottom first (a copy).
    Ref<NSArray> progressDescriptors() const;

    // Brings the indicator and the cancel button in line with the current descriptor.
    void updateGUI();

    Ref<NSOperationQueue> operationQueue() const { return m_opQueue; }
    CompletionBlock completionBlock() const { return m_completionBlock; }
    void setCompletionBlock(const CompletionBlock& block) { m_completionBlock = block; }
    bool closeWindowOnCompletion() const { return m_closeWindowOnCompletion; }
    // Whether the report observers are registered.
    bool isObservingNotifications() const;

    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                     const Ref<NSDictionary>& change, void* context) override;

    // Outlets of the interface file.
    Ref<NSImageView> imageView() const { return m_imageView; }
    Ref<NSTextField> infoTextField() const { return m_infoTextField; }
    Ref<NSTextField> progressDescriptionTextField() const { return m_progressDescriptionTextField; }
    Ref<NSProgressIndicator> progressIndicator() const { return m_progressIndicator; }
    Ref<NSButton> cancelButton() const { return m_cancelButton; }

private:
    void commonInit();
    Ref<NSString> defaultTitle() const;
    Ref<ZAKProgressDescriptor> setUp(const Ref<ZAKProgressDescriptor>& descriptor);
    bool onMainQueueOrLog(const char* message) const;
    void changeStack(const std::function<void()>& change);
    void startObservingNotifications();
    void stopObservingNotifications();
    void handleCompletion();

    Ref<NSImageView> m_imageView;
    Ref<NSTextField> m_infoTextField;
    Ref<NSTextField> m_progressDescriptionTextField;
    Ref<NSProgressIndicator> m_progressIndicator;
    Ref<NSButton> m_cancelButton;

    Ref<NSMutableArray> m_progressDescriptors;
    Ref<NSOperationQueue> m_opQueue;
    bool m_closeWindowOnCompletion = true;
    bool m_isCancelled = false;
    CompletionBlock m_completionBlock;
    double m_defaultProgressIndicatorWidth = 0;
    // The observer tokens; the count's notices come on worker threads, so
    // registering and removing them is serialised.
    mutable std::mutex m_observerLock;
    bool m_shouldProcessNotfications = false;
    Id m_beginObserver, m_updateObserver, m_endObserver;
    bool m_observingQueue = false;
};
