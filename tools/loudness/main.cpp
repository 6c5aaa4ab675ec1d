// bq_loudness: prints the loudness figures of recordings and sound files, one line per file. A ".raw" file is what
// SDL's "disk" audio driver and the sound recording of the end-to-end player write (32-bit float stereo at
// 44.1 kHz); a ".wav" file is 16-bit PCM, mono played on both sides as the game plays it. Run by
// tools/measure_sound.sh; see docs/audio.md.
//   bq_loudness file...
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "loudness/loudness.h"

namespace {

constexpr int kRawRate = 44100;

bool ReadFile(const char* path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// A 16-bit PCM WAV file as interleaved stereo floats (mono copied to both sides); false when it is none.
bool WavToStereo(const std::vector<uint8_t>& b, std::vector<float>& stereo, int& rate) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return false;
    int channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = Le32(&b[at + 4]);
        const size_t body = at + 8, end = std::min(b.size(), body + size_t(size));
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && end - body >= 16) {
            channels = Le16(&b[body + 2]);
            rate = int(Le32(&b[body + 4]));
            bits = Le16(&b[body + 14]);
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (bits != 16 || channels < 1 || channels > 2 || rate <= 0) return false;
            const size_t frames = (end - body) / size_t(2 * channels);
            stereo.resize(frames * 2);
            for (size_t i = 0; i < frames; ++i)
                for (int c = 0; c < 2; ++c) {
                    const size_t s = body + 2 * (i * size_t(channels) + size_t(channels == 2 ? c : 0));
                    stereo[2 * i + size_t(c)] = float(int16_t(Le16(&b[s]))) / 32768.0f;
                }
            return true;
        }
        at = body + size_t(size) + (size & 1);
    }
    return false;
}

std::string Db(double v) {
    char buf[32];
    if (v <= loudness::kSilence)
        std::snprintf(buf, sizeof buf, "%7s", "-inf");
    else
        std::snprintf(buf, sizeof buf, "%7.1f", v);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bq_loudness file.raw|file.wav...\n");
        return 2;
    }
    std::printf("%-34s %8s %8s %10s %10s %10s %10s\n", "file", "seconds", "peak dB", "fullscale", "integr.", "max mom.",
                "max short");
    int rc = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<uint8_t> bytes;
        std::vector<float> stereo;
        int rate = kRawRate;
        const std::string path = argv[a];
        const bool wav = path.size() > 4 && path.compare(path.size() - 4, 4, ".wav") == 0;
        if (!ReadFile(argv[a], bytes) || (wav && !WavToStereo(bytes, stereo, rate))) {
            std::fprintf(stderr, "%s: cannot read\n", argv[a]);
            rc = 1;
            continue;
        }
        if (!wav) {
            stereo.resize(bytes.size() / sizeof(float) / 2 * 2);
            std::memcpy(stereo.data(), bytes.data(), stereo.size() * sizeof(float));
        }
        const size_t frames = stereo.size() / 2;
        const loudness::Figures f = loudness::Measure(stereo.data(), frames, rate);
        const std::string name = path.substr(path.find_last_of('/') + 1);
        std::printf("%-34s %8.2f %8s %10zu %10s %10s %10s\n", name.c_str(), double(frames) / rate,
                    Db(f.peak > 0 ? 20.0 * std::log10(f.peak) : loudness::kSilence).c_str(), f.fullScale,
                    Db(f.integrated).c_str(), Db(f.maxMomentary).c_str(), Db(f.maxShortTerm).c_str());
    }
    return rc;
}
