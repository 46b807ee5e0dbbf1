#include "ZAKAppKit/ZAKSoundManager/ZAKSoundManager.h"

#include "AppKit/NSMenuItem.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/SoundLocations.h"

NS_CLASS_DEFINE(ZAKSoundManager)

namespace {

Ref<ZAKSoundManager>& sharedManager()
{
    static auto* manager = new Ref<ZAKSoundManager>;
    return *manager;
}

bool isAcceptedExtension(const Ref<NSString>& extension)
{
    for (const char* accepted : {"AIFF", "WAV", "SND"})
        if (extension->caseInsensitiveCompare(NSString::stringWithUTF8String(accepted)) == NSOrderedSame) return true;
    return false;
}

}  // namespace

Ref<ZAKSoundManager> ZAKSoundManager::getSharedSoundManager()
{
    if (!sharedManager()) make<ZAKSoundManager>();
    return sharedManager();
}

Id ZAKSoundManager::init()
{
    if (sharedManager()) return sharedManager();
    NSObject::init();
    sharedManager() = this;
    m_dataArray = NSMutableArray::array();
    addSoundsFromPath("/System/Library/Sounds"_ns);
    addSoundsFromPath(NSString::stringWithFormat("%@/Library/Sounds", NSHomeDirectory()));
    return this;
}

void ZAKSoundManager::addSoundsFromPath(const Ref<NSString>& path)
{
    Ref<NSError> error;
    auto names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(PathForPlatformSoundPath(path), &error);
    if (!names || error) return;
    for (NSUInteger i = 0; i < names->count(); ++i) {
        auto name = static_ref_cast<NSString>(names->objectAtIndex(i));
        if (!isAcceptedExtension(name->pathExtension())) continue;
        auto data = make<ZAKSoundManagerData>();
        data->setSoundName(name->lastPathComponent()->stringByDeletingPathExtension());
        data->setSoundFileName(name->lastPathComponent());
        m_dataArray->addObject(data);
    }
}

Ref<ZAKSoundManagerData> ZAKSoundManager::dataAtIndex(NSUInteger index) const
{
    if (index >= m_dataArray->count()) return nullptr;
    return static_ref_cast<ZAKSoundManagerData>(m_dataArray->objectAtIndex(index));
}

Ref<NSString> ZAKSoundManager::getSoundNameAtIndex(NSUInteger index) const
{
    auto data = dataAtIndex(index);
    return data ? data->soundName() : nullptr;
}

NSInteger ZAKSoundManager::indexOfSound(const Ref<NSString>& name) const
{
    if (!name) return -1;
    for (NSUInteger i = 0; i < m_dataArray->count(); ++i)
        if (dataAtIndex(i)->soundName()->isEqualToString(name)) return static_cast<NSInteger>(i);
    return -1;
}

void ZAKSoundManager::playSoundAtIndex(NSInteger index)
{
    if (index < 0) return;
    auto data = dataAtIndex(static_cast<NSUInteger>(index));
    if (!data) return;
    m_sound = NSSound::soundNamed(data->soundName());
    if (m_sound) m_sound->play();
}

void ZAKSoundManager::playSoundWithName(const Ref<NSString>& name) { playSoundAtIndex(indexOfSound(name)); }

Ref<NSMenu> ZAKSoundManager::getSoundMenu() const
{
    auto menu = alloc<NSMenu>()->initWithTitle(""_ns);
    for (NSUInteger i = 0; i < m_dataArray->count(); ++i) {
        auto item = alloc<NSMenuItem>()->initWithTitle(dataAtIndex(i)->soundName(), {}, ""_ns);
        item->setTag(static_cast<NSInteger>(i));
        menu->addItem(item);
    }
    return menu;
}
