#pragma once
// The alert sounds installed on the machine, for a preference that lets the
// user pick one: the sound files of the system's and the user's sound folders
// (AIFF, WAV and SND by extension, in any case), collected once, offered as a
// menu whose item tags are list indexes, and played by index or name. One
// instance per process, used on the main thread.
#include "AppKit/NSMenu.h"
#include "AppKit/NSSound.h"
#include "Foundation/NSArray.h"
#include "ZAKAppKit/ZAKSoundManager/ZAKSoundManagerData.h"

class ZAKSoundManager : public NSObject {
    NS_OBJECT(ZAKSoundManager, NSObject)
protected:
    ZAKSoundManager() = default;

public:
    static Ref<ZAKSoundManager> getSharedSoundManager();
    // The shared instance: a second init answers the first object. The first
    // collects "/System/Library/Sounds", then "<home>/Library/Sounds".
    Id init() override;

    // Appends the accepted files of the folder in the order the file manager
    // lists them; an unreadable folder adds nothing.
    void addSoundsFromPath(const Ref<NSString>& path);

    NSUInteger count() const { return m_dataArray->count(); }
    // nil for an index at or past count.
    Ref<NSString> getSoundNameAtIndex(NSUInteger index) const;
    // The first entry of that name; -1 when there is none.
    NSInteger indexOfSound(const Ref<NSString>& name) const;
    // Plays the entry's sound by name, letting go of the sound played last; a
    // negative index, or one at or past count, plays nothing.
    void playSoundAtIndex(NSInteger index);
    void playSoundWithName(const Ref<NSString>& name);
    // One item per entry titled with its name and tagged with its index, with
    // no action or target.
    Ref<NSMenu> getSoundMenu() const;

    // The sound played last; nil before the first.
    Ref<NSSound> sound() const { return m_sound; }

private:
    Ref<ZAKSoundManagerData> dataAtIndex(NSUInteger index) const;

    Ref<NSMutableArray> m_dataArray;
    Ref<NSSound> m_sound;
};
