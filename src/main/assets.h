// Asset loading: images through the asset prefix with the "failed loading " diagnostic, the shared image cache for
// images that are named by path and owned by no module (effect sparks, dialog skin buttons), full-screen
// backgrounds, and the start-up step that loads the game's images. Used by every subsystem's loaders.
#pragma once

#include <array>
#include <cstdint>

#include "platform/image.h"
#include "platform/strings.h"

// ---- State owned by this module -------------------------------------------------------------------------------
extern const Str Asset_Prefix; // "incbin::": prepended to every asset path
extern const Str Lang_Suffix;  // "_german": suffix of localised image names

// Writes the diagnostic line "failed loading " + path (every loader of assets reports through it).
void Asset_ReportMissing(const Str& path);

// Loads Asset_Prefix + path as a new image the caller owns; on failure writes "failed loading " + path and
// returns null.
ImagePtr Asset_LoadImage(const Str& path, int flags = kImageDefaultFlags);
// The same for an animation strip of `count` frames of fw x fh, starting at frame 0.
ImagePtr Asset_LoadAnimImage(const Str& path, int fw, int fh, int count, int flags = kImageDefaultFlags);

// The shared cached image of a path (with or without the prefix), loaded on first use; the same object for every
// caller asking with the same path, frame layout and flags. Callers must not change it (handle, pixels): whoever
// wants to, takes Images_GetCopy. A missing file gives null, and its "failed loading " line is written once.
ImagePtr Images_Get(const Str& path, int flags = kImageDefaultFlags);
ImagePtr Images_GetAnim(const Str& path, int fw, int fh, int count, int flags = kImageDefaultFlags);
// A private copy of the cached image (frames, pixels, handle), which the caller may change freely.
ImagePtr Images_GetCopy(const Str& path, int flags = kImageDefaultFlags);
ImagePtr Images_GetAnimCopy(const Str& path, int fw, int fh, int count, int flags = kImageDefaultFlags);
// A copy of any image: same frames, pixels, handle and flags.
ImagePtr Image_Copy(const ImagePtr& img);
void Images_ClearCache(); // drops every cached image (tests)
int Images_CacheSize();   // entries cached, failures included

// Draws the image at (0, 0), stretched to the screen when the screen is not 800 pixels wide.
void Background_DrawFullscreen(const ImagePtr& img);

// Start-up step: loads the effect images into the cache, then calls EffectImages_Load.
void Images_LoadAll();
// The effect images Images_LoadAll caches (paths with the prefix).
extern const std::array<const char16_t*, 13> Images_EffectPaths;
