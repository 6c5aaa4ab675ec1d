// Sound and music of the game on the platform mixer: the effect set, delayed and grouped sounds, the music tracks
// and the ambient loop. Called by every subsystem that makes a sound; Audio_Update runs once per active pass.
#include "main/audio.h"

#include <algorithm>

#include "main/assets.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/frame_timer.h"
#include "platform/graphics.h"

const std::array<const char*, SND_COUNT> Snd_Paths = {
    "sounds/sfx_swap.wav",      "sounds/sfx_swap_back.wav", "sounds/sfx_select.wav",  "sounds/sfx_match1.wav",
    "sounds/sfx_match2.wav",    "sounds/sfx_match3.wav",    "sounds/sfx_explode.wav", "sounds/sfx_rocket.wav",
    "sounds/sfx_coin.wav",      "sounds/sfx_bottle.wav",    "sounds/sfx_freeze.wav",  "sounds/sfx_chain.wav",
    "sounds/sfx_crate.wav",     "sounds/sfx_hammer.wav",    "sounds/sfx_life.wav",    "sounds/sfx_levelwin.wav",
    "sounds/sfx_levellose.wav", "sounds/sfx_magic.wav",     "sounds/sfx_gem.wav",     "sounds/btn_hover.wav",
    "sounds/btn_click.wav",     "sounds/sfx_spell.wav",     "sounds/sfx_buy.wav",     "sounds/sfx_gamble.wav",
};
std::array<SoundPtr, SND_COUNT> Snd_Sounds;
std::array<Snd_Delayed, kDelayedSlots> Snd_DelayedList;
std::array<ManyPiecesOneSound, SND_COUNT> Snd_Grouped;
std::array<SoundPtr, kMusicTracks> Music_Sounds;
int32_t Music_Current = -1;
ChannelPtr Music_Channel;
int32_t Music_LastGameTrack = 0;
SoundPtr Ambient_Sound;
ChannelPtr Ambient_Channel;
float Ambient_Volume = 0;
float Ambient_Target = 0;
int32_t Snd_PitchTurn = 0;

namespace {

const char* const kAmbientPath = "sounds/ambient_castle.ogg";

// Loads a sound through the asset prefix; a missing file is reported once and leaves the game silent.
SoundPtr LoadSound(const char* path, int flags) {
    const Str p = S(path);
    SoundPtr s = Sound_Load(Asset_Prefix + p, flags);
    if (!s) Asset_ReportMissing(p);
    return s;
}

float PlayerVolume(const std::array<float, 10>& vols) {
    const int32_t p = Player_Current;
    return (p >= 0 && p < 10) ? vols[size_t(p)] : 0.0f;
}

// Plays an effect sound at the current player's effects volume, its own rate times `pitch`.
ChannelPtr PlayAt(const SoundPtr& sound, float pan, float pitch) {
    if (!sound) return nullptr;
    ChannelPtr ch = Sound_Cue(sound);
    if (pitch != 1.0f) Channel_SetRate(ch, float(sound->rate) * pitch);
    Channel_SetVolume(ch, PlayerVolume(Vol_Fx));
    Channel_SetPan(ch, pan);
    Channel_Resume(ch);
    return ch;
}

Str TrackPath(int32_t n) { return u"sounds/bq2_0" + Str_FromInt(n + 1) + u".ogg"; }

ImagePtr g_notice; // the loading notice's background

} // namespace

void Audio_LoadSounds() {
    for (int i = 0; i < SND_COUNT; ++i)
        Snd_Sounds[size_t(i)] = LoadSound(Snd_Paths[size_t(i)], 0);
    for (int i = 0; i < SND_COUNT; ++i)
        Snd_Grouped[size_t(i)] = ManyPiecesOneSound{i, 0, 0};
    Ambient_Sound = LoadSound(kAmbientPath, SOUND_LOOP);
}

void Audio_Reset() {
    Mixer_StopAll();
    Snd_Sounds.fill(nullptr);
    Snd_DelayedList.fill(Snd_Delayed{});
    for (int i = 0; i < SND_COUNT; ++i)
        Snd_Grouped[size_t(i)] = ManyPiecesOneSound{i, 0, 0};
    Music_Sounds.fill(nullptr);
    Music_Current = -1;
    Music_Channel.reset();
    Music_LastGameTrack = 0;
    Ambient_Sound.reset();
    Ambient_Channel.reset();
    Ambient_Volume = Ambient_Target = 0;
    Snd_PitchTurn = 0;
    g_notice.reset();
}

ChannelPtr Snd_Play(const SoundPtr& sound, float pan) { return PlayAt(sound, pan, 1.0f); }

ChannelPtr Snd_PlayIndex(int32_t id, float pan) {
    if (id < 0 || id >= SND_COUNT) return nullptr;
    float pitch = 1.0f;
    if (id == SND_GEM && Snd_Sounds[size_t(id)])
        pitch = kSndPitchSteps[size_t(Snd_PitchTurn++) % kSndPitchSteps.size()];
    return PlayAt(Snd_Sounds[size_t(id)], pan, pitch);
}

float Snd_PanAt(int32_t x) { return (float(x) / float(Screen_Width) - 0.5f); }

void Snd_PlayDelayed(int32_t id, float delayMs, float pan) {
    if (id < 0 || id >= SND_COUNT) return;
    for (auto& d : Snd_DelayedList) {
        if (d.id < 0) {
            d = Snd_Delayed{id, delayMs, pan};
            return;
        }
    }
    Snd_PlayIndex(id, pan); // every slot is waiting: play it now rather than lose it
}

void Snd_PlayGrouped(int32_t id, float pan) {
    if (id < 0 || id >= SND_COUNT) return;
    ++Snd_Grouped[size_t(id)].requests;
    Snd_Grouped[size_t(id)].panSum += pan;
}

void Music_LoadTrack(int32_t n, int32_t notice) {
    if (n < 0 || n >= kMusicTracks || Music_Sounds[size_t(n)]) return;
    if (notice == 1 && Graphics_IsOpen()) {
        if (!g_notice) g_notice = Asset_LoadImage(u"Images/Start/loading.jpg");
        Draw_Cls();
        Background_DrawFullscreen(g_notice);
        Graphics_Flip(0);
        Image_DropTexture(g_notice); // shown once until the next track is loaded: not kept meanwhile
    }
    const std::string path = Str_ToLatin1(TrackPath(n));
    Music_Sounds[size_t(n)] = LoadSound(path.c_str(), SOUND_LOOP);
}

void Music_SwitchTo(int32_t n) {
    if (n < 0 || n >= kMusicTracks) return;
    if (n == Music_Current && Channel_Playing(Music_Channel)) return;
    Music_LoadTrack(n, 0);
    Channel_FadeOut(Music_Channel, kMusicFadeMs); // goes on sounding a moment, falling silent, then ends
    Music_Channel.reset();
    Music_Current = n;
    if (Music_Sounds[size_t(n)]) {
        Music_Channel = Sound_Cue(Music_Sounds[size_t(n)]);
        Music_ApplyVolume();
        Channel_FadeIn(Music_Channel, kMusicFadeMs);
        Channel_Resume(Music_Channel);
    }
}

int32_t Music_NextGameTrack() {
    Music_LastGameTrack = Music_LastGameTrack % (kMusicTracks - 1) + 1;
    Music_LoadTrack(Music_LastGameTrack, 1);
    return Music_LastGameTrack;
}

void Music_ApplyVolume() { Channel_SetVolume(Music_Channel, PlayerVolume(Vol_Music)); }

void Ambient_SetVolume(float v) {
    Ambient_Volume = v;
    Ambient_Target = v;
    Channel_SetVolume(Ambient_Channel, v);
}

void Audio_Update() {
    // Delayed sounds wait in game time.
    for (auto& d : Snd_DelayedList) {
        if (d.id < 0) continue;
        d.delayMs -= Frame_DeltaMs;
        if (d.delayMs <= 0) {
            Snd_PlayIndex(d.id, d.pan);
            d.id = -1;
        }
    }
    // Grouped sounds: once each, at the mean pan of their requests.
    for (auto& g : Snd_Grouped) {
        if (g.requests <= 0) continue;
        Snd_PlayIndex(g.id, g.panSum / float(g.requests));
        g.requests = 0;
        g.panSum = 0;
    }
    // Music: the current track goes on (a looped track that a device reset ended starts again).
    if (Music_Current >= 0 && Music_Sounds[size_t(Music_Current)]) {
        if (!Channel_Playing(Music_Channel)) {
            const int32_t n = Music_Current;
            Music_Current = -1;
            Music_SwitchTo(n);
        }
        Music_ApplyVolume();
    }
    // Ambient loop: sounds in the castle screens (build menu, level map), silent elsewhere.
    const bool castle = Screen_Current == kScreenBuildMenu || Screen_Current == kScreenLevelMap;
    Ambient_Target = castle ? PlayerVolume(Vol_Ambient) : 0.0f;
    const float step = kAmbientFadePerSec * Frame_DeltaMs / 1000.0f;
    if (Ambient_Volume < Ambient_Target) Ambient_Volume = std::min(Ambient_Target, Ambient_Volume + step);
    if (Ambient_Volume > Ambient_Target) Ambient_Volume = std::max(Ambient_Target, Ambient_Volume - step);
    if (Ambient_Volume > 0 && Ambient_Sound && !Channel_Playing(Ambient_Channel)) {
        Ambient_Channel = Sound_Cue(Ambient_Sound);
        Channel_SetVolume(Ambient_Channel, Ambient_Volume);
        Channel_Resume(Ambient_Channel);
    } else if (Ambient_Volume <= 0 && Ambient_Channel) {
        Channel_Stop(Ambient_Channel);
        Ambient_Channel.reset();
    }
    Channel_SetVolume(Ambient_Channel, Ambient_Volume);
}
