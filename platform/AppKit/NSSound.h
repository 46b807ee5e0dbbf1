#pragma once
// Sounds decoded from AIFF, WAV and AU/SND files (libsndfile) and played on a
// worker thread through ALSA (AudioOutput), never blocking the caller.
#include <memory>

#include "Foundation/NSString.h"

struct SoundPlayback;
struct SoundSamples;

class NSSound : public NSObject {
    NS_OBJECT(NSSound, NSObject)
protected:
    NSSound() = default;

public:
    ~NSSound() override;

    // The sound file of that name (without extension) in the main bundle, then
    // in the system's and the user's sound folders, with the extension aiff,
    // aif, wav, snd or au in any case; nil when there is none or it cannot be
    // decoded. A new sound each time.
    static Ref<NSSound> soundNamed(const Ref<NSString>& name);
    // nil when the file cannot be read or decoded. The whole file is decoded
    // at once (alert sounds are short).
    static Ref<NSSound> initWithContentsOfFile(const Ref<NSString>& path, bool byReference);

    Ref<NSString> name() const { return m_name; }
    double duration() const;

    // Starts playing; NO when the sound is playing already.
    bool play();
    // NO when it was not playing.
    bool stop();
    bool isPlaying() const;

private:
    std::shared_ptr<const SoundSamples> m_samples;
    std::shared_ptr<SoundPlayback> m_playback;
    Ref<NSString> m_name;
};
