#pragma once
// Plays decoded sounds through ALSA, each on a worker thread of its own, so
// that the main thread never waits for the sound card. The device is ALSA's
// "default" unless PLUMBLINE_AUDIO_DEVICE names another (tests record with
// "file:FILE=<path>,FORMAT=raw", which writes to a file in front of ALSA's null
// device). Without a usable device a sound
// still lasts its duration, silently, and the failure is logged once.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// 16-bit interleaved samples as decoded from a file.
struct SoundSamples {
    std::vector<int16_t> interleaved;
    unsigned channels = 1;
    unsigned sampleRate = 44100;

    size_t frameCount() const { return channels ? interleaved.size() / channels : 0; }
    double duration() const { return sampleRate ? static_cast<double>(frameCount()) / sampleRate : 0; }
};

// One sound on its way out; the worker clears `playing` when it has drained
// the last frame or was stopped.
struct SoundPlayback {
    std::shared_ptr<const SoundSamples> samples;
    std::atomic<bool> playing{true};
    std::atomic<bool> stopRequested{false};
};

namespace AudioOutput {

// Starts the playback on a new worker thread and returns at once.
void start(const std::shared_ptr<SoundPlayback>& playback);
// Stops every playback and waits for their threads; runs at exit too.
void stopAll();

}  // namespace AudioOutput
