// The sound manager over real sound folders, and sounds played through ALSA's
// file device, which records the frames that reach it.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "AppKit/AudioOutput.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSSound.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/SoundLocations.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"
#include "WaitUntil.h"
#include "ZAKAppKit/ZAKSoundManager/ZAKSoundManager.h"

using namespace std::chrono_literals;

namespace {

// A 16-bit mono tone of `frames` frames in the format the extension names.
void writeTone(const std::string& path, int frames)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string extension = std::filesystem::path(path).extension().string();
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    const int container = lower == ".wav"                       ? SF_FORMAT_WAV
                          : (lower == ".au" || lower == ".snd") ? SF_FORMAT_AU
                                                                : SF_FORMAT_AIFF;
    info.format = container | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) samples[static_cast<size_t>(i)] = static_cast<short>(8000 * std::sin(i * 0.06));
    sf_writef_short(file, samples.data(), frames);
    sf_close(file);
}

// The user's sound folder in a temporary data home, holding the files given.
class SoundFolders : public ::testing::Test {
protected:
    TemporaryFolder home;
    ScopedEnvironment dataHome{"XDG_DATA_HOME", home.path()};

    std::string userSounds() const { return home / "sounds"; }
};

std::vector<std::string> soundNames(const Ref<ZAKSoundManager>& manager)
{
    std::vector<std::string> names;
    for (NSUInteger i = 0; i < manager->count(); ++i) names.push_back(manager->getSoundNameAtIndex(i)->UTF8String());
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST_F(SoundFolders, PlatformFoldersMapOntoTheBundleAndTheDataHome)
{
    const std::string bundleSounds = std::string(NSBundle::mainBundle()->resourcePath()->UTF8String()) + "/Sounds";
    const std::string home = NSHomeDirectory()->UTF8String();
    const std::pair<std::string, std::string> cases[] = {
        {"/System/Library/Sounds", bundleSounds},
        {"/System/Library/Sounds/", bundleSounds},
        {"/System/Library/Sounds/Glint.aiff", bundleSounds + "/Glint.aiff"},
        {"~/Library/Sounds", userSounds()},
        {home + "/Library/Sounds/Ping.WAV", userSounds() + "/Ping.WAV"},
        {"/System/Library/SoundsExtra", "/System/Library/SoundsExtra"},
        {"/usr/share/sounds", "/usr/share/sounds"},
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(PathForPlatformSoundPath(NSString::stringWithUTF8String(given))->UTF8String(), expected) << given;
}

TEST_F(SoundFolders, TheManagerListsAcceptedFilesOfBothFoldersAndAnswersByNameAndIndex)
{
    writeTone(userSounds() + "/Basso.aiff", 100);
    writeFile(userSounds() + "/Notes.txt", "not a sound");
    writeTone(userSounds() + "/Ping.WAV", 100);
    writeTone(userSounds() + "/Tink.aif", 100);
    writeTone(userSounds() + "/Glint.aiff", 100);  // named like a system sound

    auto manager = ZAKSoundManager::getSharedSoundManager();
    auto names = soundNames(manager);
    // The system folder comes first: the sounds the bundle ships.
    ASSERT_GE(names.size(), 3u);
    std::vector<std::string> system(names.begin(), names.begin() + 3);
    std::sort(system.begin(), system.end());
    EXPECT_EQ(system, (std::vector<std::string>{"Chime", "Glint", "Knock"}));
    std::vector<std::string> user(names.begin() + 3, names.end());
    std::sort(user.begin(), user.end());
    EXPECT_EQ(user, (std::vector<std::string>{"Basso", "Glint", "Ping"}));
    EXPECT_FALSE(contains(names, "Tink"));
    EXPECT_FALSE(contains(names, "Notes"));

    const NSInteger ping = manager->indexOfSound("Ping"_ns);
    ASSERT_GE(ping, 0);
    EXPECT_EQ(manager->getSoundNameAtIndex(static_cast<NSUInteger>(ping))->UTF8String(), "Ping");
    EXPECT_LT(manager->indexOfSound("Glint"_ns), 3) << "the first entry of a repeated name";
    EXPECT_EQ(manager->indexOfSound("Sosumi"_ns), -1);
    EXPECT_EQ(manager->getSoundNameAtIndex(manager->count()), nullptr);

    auto menu = manager->getSoundMenu();
    ASSERT_EQ(menu->numberOfItems(), static_cast<NSInteger>(manager->count()));
    EXPECT_EQ(menu->itemAtIndex(2)->tag(), 2);
    EXPECT_EQ(menu->itemAtIndex(2)->title()->UTF8String(), names[2]);
    EXPECT_TRUE(menu->itemAtIndex(2)->action().empty());

    // One instance: a second init answers it.
    auto again = NSObject::alloc<ZAKSoundManager>()->init();
    EXPECT_EQ(again.get(), manager.get());
}

TEST_F(SoundFolders, UnknownNamesAndIndexesPlayNothing)
{
    auto manager = ZAKSoundManager::getSharedSoundManager();
    manager->playSoundWithName("Sosumi"_ns);
    manager->playSoundAtIndex(-1);
    manager->playSoundAtIndex(static_cast<NSInteger>(manager->count()));
    EXPECT_EQ(manager->sound(), nullptr);
    // A folder that is not there adds nothing.
    const NSUInteger before = manager->count();
    manager->addSoundsFromPath(home.ns("missing"));
    EXPECT_EQ(manager->count(), before);
}

TEST_F(SoundFolders, SoundsAreFoundByNameWithAnyOfTheirExtensions)
{
    writeTone(userSounds() + "/Tink.aif", 100);
    writeTone(userSounds() + "/Pop.AU", 100);
    writeFile(userSounds() + "/Broken.wav", "RIFF but nothing else");
    for (const char* name : {"Tink", "Pop", "Chime", "Knock"}) {
        auto sound = NSSound::soundNamed(NSString::stringWithUTF8String(name));
        ASSERT_NE(sound, nullptr) << name;
        EXPECT_EQ(sound->name()->UTF8String(), name);
    }
    EXPECT_EQ(NSSound::soundNamed("Broken"_ns), nullptr);
    EXPECT_EQ(NSSound::soundNamed("Sosumi"_ns), nullptr);
    EXPECT_NEAR(NSSound::soundNamed("Tink"_ns)->duration(), 100.0 / 44100, 1e-9);
}

TEST_F(SoundFolders, AnEntryPlaysItsFramesThroughTheDevice)
{
    const std::string recording = home / "played.raw";
    ScopedEnvironment device("PLUMBLINE_AUDIO_DEVICE", "file:FILE=" + recording + ",FORMAT=raw");
    writeTone(userSounds() + "/Tone.wav", 4410);

    auto manager = ZAKSoundManager::getSharedSoundManager();
    manager->playSoundWithName("Tone"_ns);
    auto sound = manager->sound();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->name()->UTF8String(), "Tone");
    ASSERT_TRUE(test_support::waitUntil([&] { return !sound->isPlaying(); }, 10s));
    auto bytes = readFile(recording);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 4410u * 2);
}

TEST_F(SoundFolders, WithoutADeviceSoundsLastTheirDurationSilentlyAndTheFailureIsLoggedOnce)
{
    ScopedEnvironment device("PLUMBLINE_AUDIO_DEVICE", "plumbline_no_such_device");
    writeTone(userSounds() + "/Long.wav", 44100 * 20);
    LogCapture log;
    auto sound = NSSound::soundNamed("Knock"_ns);
    ASSERT_NE(sound, nullptr);
    ASSERT_TRUE(sound->play());
    ASSERT_TRUE(test_support::waitUntil([&] { return !sound->isPlaying(); }, 10s));

    // A sound plays once at a time, and stops at once.
    auto longSound = NSSound::soundNamed("Long"_ns);
    ASSERT_TRUE(longSound->play());
    EXPECT_TRUE(longSound->isPlaying());
    EXPECT_FALSE(longSound->play()) << "already playing";
    EXPECT_TRUE(longSound->stop());
    EXPECT_FALSE(longSound->isPlaying());
    EXPECT_FALSE(longSound->stop());
    AudioOutput::stopAll();
    const auto& lines = log.lines();
    const auto noOutput = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("No audio output on device \"plumbline_no_such_device\"") != std::string::npos;
    });
    EXPECT_EQ(noOutput, 1);
}
