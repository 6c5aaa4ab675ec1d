// Sound loading and the audio device behind sound.h: picks the decoder by the file's header and opens SDL's audio
// device, whose callback runs the mixer (mixer.cpp). Called by the runtime's sound manager and the toolkit.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/system.h"
#include "platform/sound.h"
#include "platform/incbin.h"
#include "platform/sound_codecs.h"
#include "platform/stream.h"

namespace {
SDL_AudioDeviceID g_audioDevice = 0; // open output device, 0 when silent
bool g_audioOwnsSubsystem = false;   // we started SDL's audio subsystem and stop it on shutdown

void SDLCALL AudioCallback(void*, Uint8* stream, int len) {
    Mixer_Render(reinterpret_cast<float*>(stream), len / int(2 * sizeof(float)));
}
} // namespace

bool Audio_Init() {
    if (g_audioDevice) return true;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            Log_Print(std::string("no audio: ") + SDL_GetError());
            return false;
        }
        g_audioOwnsSubsystem = true;
    }
    SDL_AudioSpec want{};
    want.freq = kMixerRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    SDL_AudioSpec have{};
    g_audioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0); // SDL converts to the device's format
    if (!g_audioDevice) {
        Log_Print(std::string("no audio device: ") + SDL_GetError());
        return false;
    }
    SDL_PauseAudioDevice(g_audioDevice, 0);
    // A process that ends without Audio_Shutdown (a test, an early exit) must stop the audio thread before the
    // mixer's voices are destroyed with the other statics: handlers registered now run before those destructors.
    static const bool closeAtExit = std::atexit(Audio_Shutdown) == 0;
    (void)closeAtExit;
    return true;
}

void Audio_Shutdown() {
    if (g_audioDevice) SDL_CloseAudioDevice(g_audioDevice);
    g_audioDevice = 0;
    Mixer_StopAll();
    if (g_audioOwnsSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_audioOwnsSubsystem = false;
}

bool Audio_HasDevice() { return g_audioDevice != 0; }

SoundPtr Sound_Decode(const uint8_t* data, size_t size, int flags) {
    SoundPtr s;
    if (data && size >= 4 && std::memcmp(data, "RIFF", 4) == 0)
        s = Wav_Decode(data, size);
    else if (data && size >= 4 && std::memcmp(data, "OggS", 4) == 0)
        s = Ogg_Decode(data, size);
    else
        Log_Print("sound not loaded: neither WAV nor Ogg");
    if (s) s->loop = (flags & SOUND_LOOP) != 0;
    return s;
}

SoundPtr Sound_Load(const Str& path, int flags) {
    // Embedded bytes are used where they lie; a real file's are kept only when the sound streams.
    auto bytes = std::make_shared<SoundStream>();
    if (!File_Bytes(path, bytes->file)) return nullptr; // the caller reports the missing file
    const uint8_t* const data = bytes->file.data;
    const size_t size = bytes->file.size;
    SoundPtr s;
    if (size < 4 || std::memcmp(data, "OggS", 4) != 0) {
        s = Sound_Decode(data, size, flags);
    } else {
        s = Ogg_Load(std::move(bytes), kStreamMinSeconds);
        if (s) s->loop = (flags & SOUND_LOOP) != 0;
    }
    // An embedded file's pages go back once read: a decoded sound is not read again, and a streamed one was measured
    // from end to end but is read again only as far as it plays.
    Incbin_Release(data, size);
    return s;
}
