#include "AppKit/AudioOutput.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "Foundation/NSLog.h"

namespace {

// Frames written per call: about 23 ms at 44.1 kHz, so a stop is heard at once.
constexpr snd_pcm_uframes_t kChunkFrames = 1024;
constexpr unsigned kLatencyMicroseconds = 100000;

std::string deviceName()
{
    const char* named = std::getenv("PLUMBLINE_AUDIO_DEVICE");
    return named && *named ? named : "default";
}

// ALSA prints its complaints to stderr; ours go through the log.
void logAlsaError(const char* file, int line, const char* function, int err, const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    (void)file;
    (void)line;
    if (err) NSLog("ALSA: %s: %s (%s)", function ? function : "", text, snd_strerror(err));
    else NSLog("ALSA: %s: %s", function ? function : "", text);
}

class Workers {
public:
    static Workers& shared()
    {
        // Never destroyed: threads are joined in stopAll at exit instead.
        static auto* workers = new Workers;
        return *workers;
    }

    void start(const std::shared_ptr<SoundPlayback>& playback)
    {
        std::lock_guard lock(m_mutex);
        reapFinished();
        m_running.push_back({playback, std::thread([playback] { play(*playback); })});
    }

    void stopAll()
    {
        std::vector<Running> running;
        {
            std::lock_guard lock(m_mutex);
            running.swap(m_running);
        }
        for (Running& r : running) r.playback->stopRequested = true;
        for (Running& r : running) r.thread.join();
    }

private:
    struct Running {
        std::shared_ptr<SoundPlayback> playback;
        std::thread thread;
    };

    Workers()
    {
        snd_lib_error_set_handler(logAlsaError);
        std::atexit([] {
            Workers::shared().stopAll();
            // The configuration ALSA caches would otherwise show as a leak.
            snd_config_update_free_global();
        });
    }

    void reapFinished()
    {
        for (auto it = m_running.begin(); it != m_running.end();) {
            if (it->playback->playing) {
                ++it;
                continue;
            }
            it->thread.join();
            it = m_running.erase(it);
        }
    }

    static snd_pcm_t* openDevice(const SoundSamples& samples)
    {
        const std::string name = deviceName();
        snd_pcm_t* pcm = nullptr;
        int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
        if (err >= 0)
            err = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, samples.channels,
                                     samples.sampleRate, 1, kLatencyMicroseconds);
        if (err >= 0) return pcm;
        if (pcm) snd_pcm_close(pcm);
        static std::once_flag logged;
        std::call_once(logged, [&] {
            NSLog("No audio output on device \"%s\" (%s): sounds play silently", name.c_str(), snd_strerror(err));
        });
        return nullptr;
    }

    // No device: the sound lasts its duration without being heard, so
    // isPlaying means the same either way.
    static void playSilently(SoundPlayback& playback)
    {
        using namespace std::chrono;
        const auto end = steady_clock::now() + duration<double>(playback.samples->duration());
        while (!playback.stopRequested && steady_clock::now() < end) std::this_thread::sleep_for(milliseconds(10));
    }

    static void play(SoundPlayback& playback)
    {
        const SoundSamples& samples = *playback.samples;
        snd_pcm_t* pcm = openDevice(samples);
        if (!pcm) {
            playSilently(playback);
            playback.playing = false;
            return;
        }
        const size_t frames = samples.frameCount();
        size_t done = 0;
        while (done < frames && !playback.stopRequested) {
            const auto count = static_cast<snd_pcm_uframes_t>(std::min<size_t>(kChunkFrames, frames - done));
            snd_pcm_sframes_t written =
                snd_pcm_writei(pcm, samples.interleaved.data() + done * samples.channels, count);
            if (written < 0) written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            if (written < 0) {
                NSLog("Sound output failed: %s", snd_strerror(static_cast<int>(written)));
                break;
            }
            done += static_cast<size_t>(written);
        }
        if (playback.stopRequested) snd_pcm_drop(pcm);
        else snd_pcm_drain(pcm);
        snd_pcm_close(pcm);
        playback.playing = false;
    }

    std::mutex m_mutex;
    std::vector<Running> m_running;
};

}  // namespace

namespace AudioOutput {

void start(const std::shared_ptr<SoundPlayback>& playback) { Workers::shared().start(playback); }

void stopAll() { Workers::shared().stopAll(); }

}  // namespace AudioOutput
