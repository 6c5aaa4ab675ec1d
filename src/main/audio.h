// Sound and music of the game: the effect sound set played by index, delayed sounds, one sound for many removed
// pieces, the five music tracks and the ambient loop, all at the current player's volumes. Called by buttons,
// the board, castles and menus; the main loop runs Audio_Update once per active pass.
#pragma once

#include <array>
#include <cstdint>

#include "platform/sound.h"
#include "platform/strings.h"

// The game's effect sounds, in the order of Snd_Paths.
enum SndId {
    SND_SWAP,
    SND_SWAP_BACK,
    SND_SELECT,
    SND_MATCH1,
    SND_MATCH2,
    SND_MATCH3,
    SND_EXPLODE,
    SND_ROCKET,
    SND_COIN,
    SND_BOTTLE,
    SND_FREEZE,
    SND_CHAIN,
    SND_CRATE,
    SND_HAMMER,
    SND_LIFE,
    SND_LEVELWIN,
    SND_LEVELLOSE,
    SND_MAGIC,
    SND_GEM,
    SND_BTN_HOVER,
    SND_BTN_CLICK,
    SND_SPELL,  // a spell is cast
    SND_BUY,    // the shop sells an item
    SND_GAMBLE, // the gamble box opens
    SND_COUNT
};
constexpr int kMusicTracks = 5;
constexpr int kDelayedSlots = 64;      // delayed sounds waiting at once; more are played at once instead
constexpr float kMusicFadeMs = 250.0f; // a track change: the old track fades out and the new one in over this

// A sound waiting to be played.
struct Snd_Delayed {
    int32_t id = -1;   // SndId, -1 free
    float delayMs = 0; // left to wait
    float pan = 0;     // -1 .. 1
};

// One sound for many removed pieces: requests of a frame are gathered and the sound plays once.
struct ManyPiecesOneSound {
    int32_t id = -1;      // SndId played
    int32_t requests = 0; // asked for since the last update
    float panSum = 0;     // sum of the requests' pans (the sound plays at their mean)
};

// ---- State owned here ------------------------------------------------------------------------------------------
extern const std::array<const char*, SND_COUNT> Snd_Paths;     // archive paths of the effect sounds
extern std::array<SoundPtr, SND_COUNT> Snd_Sounds;             // loaded effect sounds (null when missing)
extern std::array<Snd_Delayed, kDelayedSlots> Snd_DelayedList; // waiting sounds
extern std::array<ManyPiecesOneSound, SND_COUNT> Snd_Grouped;  // one slot per effect sound
extern std::array<SoundPtr, kMusicTracks> Music_Sounds;        // tracks 0..4 once loaded
extern int32_t Music_Current;                                  // current track 0..4, -1 none
extern ChannelPtr Music_Channel;                               // the playing track
extern int32_t Music_LastGameTrack;                            // last track chosen for play (1..4), 0 before the first
extern SoundPtr Ambient_Sound;                                 // the ambient loop
extern ChannelPtr Ambient_Channel;                             // its channel while it plays
extern float Ambient_Volume;                                   // the loop's volume now, 0..1
extern float Ambient_Target;  // the volume it moves to, 0..1 (0 outside the castle screens)
extern int32_t Snd_PitchTurn; // plays so far of the sounds whose pitch varies (picks the next step of kSndPitchSteps)

// ---- Set-up ------------------------------------------------------------------------------------------------------
void Audio_LoadSounds(); // loads the effect set and the ambient loop; a missing file: "failed loading " + path
void Audio_Reset();      // stops everything and forgets the loaded sounds (tests, shutdown)

// ---- Effects -----------------------------------------------------------------------------------------------------
// The pitch of each play of a gem sound (one per removed piece, many in a row) steps through these rate factors, so
// that a big clear rings as a shimmer of close notes rather than one tone stacked (within a semitone either way).
constexpr std::array<float, 7> kSndPitchSteps = {1.0f, 1.03f, 0.97f, 1.05f, 0.985f, 1.015f, 0.955f};
// Plays a sound at the current player's effects volume; pan -1..1. Null plays nothing.
ChannelPtr Snd_Play(const SoundPtr& sound, float pan = 0);
ChannelPtr Snd_PlayIndex(int32_t id, float pan = 0);
float Snd_PanAt(int32_t x); // pan for a screen x position (-0.5 at the left edge .. 0.5 at the right)
// Plays the sound after delayMs of game time.
void Snd_PlayDelayed(int32_t id, float delayMs, float pan = 0);
// Asks for the grouped sound of id; it plays once at the next update however often it was asked.
void Snd_PlayGrouped(int32_t id, float pan = 0);

// ---- Music -------------------------------------------------------------------------------------------------------
// Loads track n (sounds/bq2_01.ogg .. bq2_05.ogg) unless loaded, first drawing the loading notice when notice is 1.
void Music_LoadTrack(int32_t n, int32_t notice);
// Switches the music to track n (loading it when needed) and keeps it as the current track.
void Music_SwitchTo(int32_t n);
// The track for a new round of play: tracks 1..4 in turn. Used by Game_Start.
int32_t Music_NextGameTrack();
void Music_ApplyVolume(); // current player's music volume onto the playing track

// ---- Per frame ---------------------------------------------------------------------------------------------------
// Delayed and grouped sounds, the music (restarted if it ended) and the ambient loop (plays in the build menu and the
// level map, fades in and out at kAmbientFadePerSec).
void Audio_Update();
constexpr float kAmbientFadePerSec = 0.5f;
void Ambient_SetVolume(float v); // options dialog: both current values := v
