#include "Preference.h"
#include "Foundation/NSClass.h"

#include "AppDefaults.h"
#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "AppNotifications.h"
#include "AppText.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(Preference)

namespace {
Ref<NSUserDefaults> defaults() { return NSUserDefaults::standardUserDefaults(); }
void post(const char* name)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(NSString::stringWithUTF8String(name), nullptr);
}
}  // namespace

void Preference::describeClass(NSClassMembers<Preference>& m)
{
    m.action("closeDialog:", &Preference::closeDialog);
    m.action("transSliderHasChanged:", &Preference::transSliderHasChanged);
    m.action("radioButtonHasChanged:", &Preference::radioButtonHasChanged);
    m.action("acceptHotKeyHasChanged:", &Preference::acceptHotKeyHasChanged);
    m.action("guidelineColorChanged:", &Preference::guidelineColorChanged);
    m.action("screenColorChanged:", &Preference::screenColorChanged);
    m.outlet("transSlider", &Preference::m_transSlider);
    m.outlet("transValue", &Preference::m_transValue);
    m.outlet("horMatrix", &Preference::m_horMatrix);
    m.outlet("verMatrix", &Preference::m_verMatrix);
    m.outlet("acceptHotKey", &Preference::m_acceptHotKey);
    m.outlet("guideColorWell", &Preference::m_guideColorWell);
    m.outlet("screenColorWell", &Preference::m_screenColorWell);
    m.outlet("keyCodeRecorder", &Preference::m_keyCodeRecorder);
}

Id Preference::init()
{
    initWithWindowNibName("Preferences"_ns);
    setWindowFrameAutosaveName("PreferenceWindow"_ns);
    return this;
}

void Preference::awakeFromNib()
{
    window()->setReleasedWhenClosed(false);
    window()->setRoleName("Preferences", WSWindowType::dialog);
    m_transSlider->setIntegerValue(defaults()->integerForKey("TransValue"_ns));
    m_transValue->setIntegerValue(m_transSlider->integerValue());
    m_horMatrix->deselectAllCells();
    m_verMatrix->deselectAllCells();
    m_horMatrix->selectCellWithTag(defaults()->integerForKey("HorGuideController"_ns));
    m_verMatrix->selectCellWithTag(defaults()->integerForKey("VerGuideController"_ns));
    m_acceptHotKey->setState(defaults()->boolForKey("AcceptHotKey"_ns) ? NSOnState : NSOffState);
    m_guideColorWell->setColor(AppDefaults::colorForKey("GuidelineColor"));
    m_screenColorWell->setColor(AppDefaults::colorForKey("ScreenColor"));
    m_keyCodeRecorder->setAnimates(true);
    m_keyCodeRecorder->setCanCaptureGlobalHotKeys(true);
    m_keyCodeRecorder->setStyle(0);
    m_keyCodeRecorder->setKeyCombo(KRMakeKeyCombo(
        static_cast<NSUInteger>(defaults()->integerForKey("GuidelineKeyModifier"_ns)), AppDefaults::hotKeyCode()));
    // Only now: filling the recorder must not register the hot key again.
    m_keyCodeRecorder->setDelegate(Id(this));
}

void Preference::closeDialog(const Id&) { close(); }

void Preference::transSliderHasChanged(const Id&)
{
    const NSInteger value = m_transSlider->integerValue();
    m_transValue->setIntegerValue(value);
    defaults()->setInteger(value, "TransValue"_ns);
    post(NewTransValueNotification);
}

void Preference::radioButtonHasChanged(const Id&)
{
    auto hor = m_horMatrix->selectedCell();
    auto ver = m_verMatrix->selectedCell();
    defaults()->setInteger(hor ? hor->tag() : 0, "HorGuideController"_ns);
    defaults()->setInteger(ver ? ver->tag() : 0, "VerGuideController"_ns);
    post(GuidelineControllerHasChangedNotification);
}

void Preference::acceptHotKeyHasChanged(const Id&)
{
    defaults()->setBool(m_acceptHotKey->state() == NSOnState, "AcceptHotKey"_ns);
}

void Preference::guidelineColorChanged(const Id&)
{
    auto color = m_guideColorWell->color();
    if (!color) return;
    NSUserDefaultsExt::setColor(defaults(), color, "GuidelineColor"_ns);
    defaults()->synchronize();
    post(GuideColorHasChangedNotification);
}

void Preference::screenColorChanged(const Id&)
{
    auto color = m_screenColorWell->color();
    if (!color) return;
    NSUserDefaultsExt::setColor(defaults(), color, "ScreenColor"_ns);
    defaults()->synchronize();
    post(ScreenColorHasChangedNotification);
}

// The application controller registers the stored combination anew.
void Preference::keyRecorderKeyComboDidChange(const Ref<KRRecorderControl>&, _KeyCombo combo)
{
    defaults()->setInteger(combo.code, "GuidelineKeyCode"_ns);
    defaults()->setInteger(static_cast<NSInteger>(combo.flags), "GuidelineKeyModifier"_ns);
    post(HotKeyHasChangedNotification);
}
