// Folders and the program's places on disk: current folder, listings, creation, the program folder and the
// per-user data folder. Used by the runtime (data folder), the file requester and tests; implemented in folders.cpp.
#pragma once

#include <memory>

#include "platform/strings.h"

struct DirListing; // one open listing (folders.cpp)
using DirPtr = std::shared_ptr<DirListing>;

// Changes the current folder ("\" or "/", case-insensitive fallback as for files); false when it does not exist.
bool Dir_Change(const Str& path);
// The current folder with "/" separators and no trailing "/" (except the root "/" itself).
Str Dir_Current();
// Creates the folder and any missing parents; true when it exists afterwards.
bool Dir_Create(const Str& path);
// Opens a listing: ".", "..", then every entry sorted by byte order. Null when the folder does not exist.
DirPtr Dir_Open(const Str& path);
// Next name of the listing; "" at the end (and for a null listing).
Str Dir_NextFile(const DirPtr& dir);
void Dir_Close(const DirPtr& dir);

// Folder of the running executable (from /proc/self/exe) without trailing "/"; the environment variable
// BQ_APP_FOLDER overrides it.
Str Sys_AppFolder();
// Per-user data base folder: $XDG_DATA_HOME when set and absolute, else $HOME/.local/share (home from the password
// database when HOME is unset). The game appends "/Brisquel2" itself. No trailing "/".
Str Sys_AppDataFolder();
// Drive type of a drive root such as "C:/". Linux has no drive letters: every root answers 1 (no such drive), so
// callers that list drives A..Z find none and stay on the folder tree below "/".
int Sys_DriveType(const Str& root);
