#pragma once
// One installed alert sound: its name (the file name without extension) and
// its file name.
#include "Foundation/NSString.h"

class ZAKSoundManagerData : public NSObject {
    NS_OBJECT(ZAKSoundManagerData, NSObject)
protected:
    ZAKSoundManagerData() = default;

public:
    // Both names empty.
    Id init() override;

    Ref<NSString> soundName() const { return m_soundName; }
    void setSoundName(const Ref<NSString>& name) { m_soundName = name; }
    Ref<NSString> soundFileName() const { return m_soundFileName; }
    void setSoundFileName(const Ref<NSString>& fileName) { m_soundFileName = fileName; }

private:
    Ref<NSString> m_soundName;
    Ref<NSString> m_soundFileName;
};
