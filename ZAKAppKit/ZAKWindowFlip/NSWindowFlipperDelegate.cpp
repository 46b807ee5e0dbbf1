#include "ZAKAppKit/ZAKWindowFlip/NSWindowFlipperDelegate.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSGraphics.h"
#include "AppKit/NSViewLayer.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSWindowFlipperDelegate)

NSWindowFlipperDelegate::~NSWindowFlipperDelegate() { stopObserving(); }

Ref<NSWindowFlipperDelegate> NSWindowFlipperDelegate::initWithFromWindow(const Ref<NSWindow>& fromWindow,
                                                                         const Ref<NSWindow>& toWindow,
                                                                         const Ref<NSWindow>& fromFlipWindow,
                                                                         const Ref<NSWindow>& toFlipWindow)
{
    m_fromWindow = fromWindow;
    m_toWindow = toWindow;
    m_fromFlipWindow = fromFlipWindow;
    m_toFlipWindow = toFlipWindow;
    Weak<NSWindowFlipperDelegate> self(this);
    for (const auto& window : {fromWindow, toWindow}) {
        if (!window) continue;
        m_observers.push_back(NSNotificationCenter::defaultCenter()->addObserverForName(
            NSString::stringWithUTF8String(NSWindowWillCloseNotification), window, nullptr,
            [self](const Ref<NSNotification>& note) {
                if (auto d = self.get()) d->windowWillClose(dynamic_ref_cast<NSWindow>(note->object()));
            }));
    }
    return this;
}

void NSWindowFlipperDelegate::stopObserving()
{
    for (const auto& token : m_observers) NSNotificationCenter::defaultCenter()->removeObserver(token);
    m_observers.clear();
}

// The pictures' layers go with their views, and with the target's layer the
// animation that holds this delegate.
void NSWindowFlipperDelegate::closeFlipWindows()
{
    for (const auto& w : {m_fromFlipWindow.get(), m_toFlipWindow.get()}) {
        if (!w) continue;
        if (auto view = w->contentView()) NSViewExt::setLayer(view, nullptr);
        w->close();
    }
}

void NSWindowFlipperDelegate::animationDidStop(CAAnimation*, bool)
{
    if (m_ended) return;
    m_ended = true;
    Ref<NSWindowFlipperDelegate> keep(this);
    stopObserving();
    NSDisableScreenUpdates();
    closeFlipWindows();
    if (auto target = m_toWindow.get()) {
        target->setAlphaValue(1);
        target->makeKeyWindow();
    }
    NSEnableScreenUpdates();
}

void NSWindowFlipperDelegate::windowWillClose(const Ref<NSWindow>& closing)
{
    if (m_ended) return;
    m_ended = true;
    Ref<NSWindowFlipperDelegate> keep(this);
    stopObserving();
    // The target left over is shown as it is; the flip pictures go, and with
    // their layers the animations that hold this delegate.
    if (auto target = m_toWindow.get(); target && target != closing) target->setAlphaValue(1);
    for (const auto& w : {m_fromFlipWindow.get(), m_toFlipWindow.get()})
        if (w)
            if (auto layer = NSViewExt::layer(w->contentView().get())) layer->removeAllAnimations();
    closeFlipWindows();
}
