// Writes Plumbline's short alert sounds into the folder given as the only
// argument (the build's `alert-sounds` target writes into resources/Sounds).
// Each is a few decaying sine partials, mono 16-bit at 44.1 kHz: small enough
// to check in, distinct enough to tell apart in a preference menu.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

struct Partial {
    double frequency;
    double amplitude;
    double decayPerSecond;
};

struct AlertSound {
    const char* fileName;
    int format;
    double seconds;
    std::vector<Partial> partials;
};

std::vector<short> synthesize(const AlertSound& sound)
{
    const auto frames = static_cast<size_t>(sound.seconds * kRate);
    std::vector<short> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double value = 0;
        for (const Partial& p : sound.partials)
            value += p.amplitude * std::exp(-p.decayPerSecond * t) * std::sin(2 * M_PI * p.frequency * t);
        // A 5 ms attack keeps the start from clicking.
        value *= std::min(1.0, t / 0.005);
        samples[i] = static_cast<short>(std::lround(std::clamp(value, -1.0, 1.0) * 32000));
    }
    return samples;
}

bool write(const std::string& folder, const AlertSound& sound)
{
    const std::string path = folder + "/" + sound.fileName;
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = sound.format | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "could not write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const std::vector<short> samples = synthesize(sound);
    const auto written = sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return written == static_cast<sf_count_t>(samples.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const AlertSound sounds[] = {
        {"Chime.wav", SF_FORMAT_WAV, 0.6, {{880, 0.5, 6}, {1320, 0.25, 9}, {1760, 0.1, 12}}},
        {"Glint.aiff", SF_FORMAT_AIFF, 0.25, {{2093, 0.45, 18}, {3136, 0.2, 25}}},
        {"Knock.aiff", SF_FORMAT_AIFF, 0.15, {{180, 0.7, 40}, {360, 0.3, 55}}},
    };
    bool ok = true;
    for (const AlertSound& sound : sounds) ok = write(argv[1], sound) && ok;
    return ok ? 0 : 1;
}
