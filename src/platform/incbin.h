// The archive embedded in the executable ("incbin::" files): indexing the build's packed blob, test registration
// and name lookup. Used by stream.cpp (File_Read), by the start-up code and by tests; implemented in incbin.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/strings.h"

// Symbols of the packed archive linked in by the build (object library `bq_assets`).
extern "C" const uint8_t bq_assets_begin[];
extern "C" const uint8_t bq_assets_end[];

// Indexes an archive in the packer's format (docs/file-formats.md, "Embedded archive"). The bytes are not copied
// and must live as long as the program. A corrupt archive is rejected as a whole with a diagnostic on stderr;
// returns false then. Entries of a later archive replace earlier ones with the same name. `mapped`: the bytes lie in
// the executable's read-only mapping (clean, file-backed pages), so Incbin_Release may give their pages back.
bool Incbin_RegisterArchive(const uint8_t* data, size_t size, bool mapped = false);
// Registers the build's own archive (bq_assets_begin .. bq_assets_end). Only callable from a target linking
// `bq_assets`; defined inline so that the platform library itself does not need the symbols.
inline bool Incbin_RegisterBuiltin() {
    return Incbin_RegisterArchive(bq_assets_begin, size_t(bq_assets_end - bq_assets_begin), true);
}
// Registers (or replaces) one file by name; the bytes are copied. For tests and generated content.
void Incbin_Register(const Str& name, std::vector<uint8_t> bytes);
// Forgets every registered file and archive (tests).
void Incbin_Clear();

// The one key of an asset path, for the embedded archive and the image cache alike: "incbin::" stripped (any
// number, any case), "\" -> "/", empty and "." components dropped (so leading "./" and "/", "//" and "/./" go),
// ASCII lower case. ".\Images\X.png" -> "images/x.png".
Str Path_Key(const Str& path);
// Looks a file up by any spelling of its name; on success points `data`/`size` at its bytes and returns true. The
// bytes stay valid while `keepAlive` (when given) is held, else until the registration changes.
bool Incbin_Find(const Str& name, const uint8_t*& data, size_t& size, std::shared_ptr<const void>* keepAlive = nullptr);
bool Incbin_Exists(const Str& name);
// Gives back the resident pages of [data, data + size) once a file read from the executable's archive has been
// decoded or copied: only whole pages inside an archive registered as `mapped`; the kernel reads them in again from
// the executable if they are touched later. Does nothing for any other bytes. Returns the bytes given back.
size_t Incbin_Release(const uint8_t* data, size_t size);
// Number of registered files (diagnostics, tests).
size_t Incbin_Count();
