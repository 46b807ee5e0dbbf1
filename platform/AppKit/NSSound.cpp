#include "AppKit/NSSound.h"

#include <sndfile.h>

#include "AppKit/AudioOutput.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/SoundLocations.h"

NS_CLASS_DEFINE(NSSound)

namespace {

constexpr const char* kSoundExtensions[] = {"aiff", "aif", "wav", "snd", "au"};

std::shared_ptr<const SoundSamples> decode(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return nullptr;
    auto samples = std::make_shared<SoundSamples>();
    samples->channels = static_cast<unsigned>(info.channels);
    samples->sampleRate = static_cast<unsigned>(info.samplerate);
    if (info.channels > 0 && info.frames > 0) {
        samples->interleaved.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
        const sf_count_t read = sf_readf_short(file, samples->interleaved.data(), info.frames);
        samples->interleaved.resize(static_cast<size_t>(std::max<sf_count_t>(read, 0)) *
                                    static_cast<size_t>(info.channels));
    }
    sf_close(file);
    if (samples->channels == 0 || samples->sampleRate == 0) return nullptr;
    return samples;
}

// "<folder>/<name>.<ext>" for the first extension that a file in the folder
// carries, compared without regard to case.
Ref<NSString> soundFileInFolder(const Ref<NSString>& folder, const Ref<NSString>& name)
{
    auto names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder, nullptr);
    if (!names) return nullptr;
    for (const char* extension : kSoundExtensions) {
        for (NSUInteger i = 0; i < names->count(); ++i) {
            auto file = static_ref_cast<NSString>(names->objectAtIndex(i));
            if (file->stringByDeletingPathExtension()->isEqualToString(name) &&
                file->pathExtension()->caseInsensitiveCompare(NSString::stringWithUTF8String(extension)) ==
                    NSOrderedSame)
                return folder->stringByAppendingPathComponent(file);
        }
    }
    return nullptr;
}

}  // namespace

// A sound let go of while playing plays to its end: the playback shares the
// samples.
NSSound::~NSSound() = default;

Ref<NSSound> NSSound::soundNamed(const Ref<NSString>& name)
{
    if (!name || name->length() == 0) return nullptr;
    auto folders = NSMutableArray::arrayWithObjects({NSBundle::mainBundle()->resourcePath()});
    folders->addObjectsFromArray(PlatformSoundFolders());
    for (NSUInteger i = 0; i < folders->count(); ++i) {
        auto path = soundFileInFolder(static_ref_cast<NSString>(folders->objectAtIndex(i)), name);
        if (!path) continue;
        auto sound = initWithContentsOfFile(path, true);
        if (!sound) continue;
        sound->m_name = NSString::stringWithString(name);
        return sound;
    }
    return nullptr;
}

Ref<NSSound> NSSound::initWithContentsOfFile(const Ref<NSString>& path, bool)
{
    if (!path) return nullptr;
    auto samples = decode(path->UTF8String());
    if (!samples) return nullptr;
    auto sound = make<NSSound>();
    sound->m_samples = std::move(samples);
    return sound;
}

double NSSound::duration() const { return m_samples ? m_samples->duration() : 0; }

bool NSSound::play()
{
    if (!m_samples || isPlaying()) return false;
    m_playback = std::make_shared<SoundPlayback>();
    m_playback->samples = m_samples;
    AudioOutput::start(m_playback);
    return true;
}

bool NSSound::stop()
{
    if (!isPlaying()) return false;
    m_playback->stopRequested = true;
    return true;
}

bool NSSound::isPlaying() const { return m_playback && m_playback->playing && !m_playback->stopRequested; }
