// Byte streams and files: the Stream interface, typed little-endian helpers, lines, and the file functions with the
// "incbin::" (embedded archive) and "littleendian::" prefixes. Used by every loader and saver; implemented in
// stream.cpp (real files, memory streams, path lookup).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/strings.h"

// A readable and/or writable sequence of bytes with a position. Every multi-byte value is little-endian.
class Stream {
  public:
    virtual ~Stream() = default;
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Reads up to n bytes; returns how many were read (0 at the end or after an error).
    virtual size_t Read(void* dst, size_t n) = 0;
    // Writes n bytes; returns how many were written (0 on a read-only stream).
    virtual size_t Write(const void* src, size_t n) = 0;
    // Moves to an absolute position in 0..Size(); false (position unchanged) outside it.
    virtual bool Seek(int64_t pos) = 0;
    virtual int64_t Pos() const = 0;
    virtual int64_t Size() const = 0;
    // True once the position has reached the end.
    virtual bool Eof() const { return Pos() >= Size(); }
    // Flushes and closes; true when everything written reached its file. Further reads/writes do nothing.
    virtual bool Close() = 0;
    // True when a write or flush failed since opening.
    virtual bool Failed() const { return false; }
};
using StreamPtr = std::shared_ptr<Stream>;

// Typed reads: at the end of the stream the missing bytes read as 0.
uint8_t Stream_ReadByte(Stream& s);
int16_t Stream_ReadShort(Stream& s);
int32_t Stream_ReadInt(Stream& s);
float Stream_ReadFloat(Stream& s); // IEEE 754 binary32
size_t Stream_ReadBytes(Stream& s, void* dst, size_t n);
// n bytes as Latin-1 characters (fewer at the end of the stream; NUL bytes are kept).
Str Stream_ReadString(Stream& s, int n);
// Bytes up to LF or the end; the LF is not part of the line and every CR byte is dropped.
Str Stream_ReadLine(Stream& s);

void Stream_WriteByte(Stream& s, uint8_t v);
void Stream_WriteShort(Stream& s, int16_t v);
void Stream_WriteInt(Stream& s, int32_t v);
void Stream_WriteFloat(Stream& s, float v);
void Stream_WriteBytes(Stream& s, const void* src, size_t n);
void Stream_WriteString(Stream& s, const Str& text); // Latin-1: the low 8 bits of each character
void Stream_WriteLine(Stream& s, const Str& text);   // text + CR LF

// Stream over bytes in memory (read-only view, or an owned writable buffer).
StreamPtr Stream_FromMemory(const uint8_t* data, size_t size); // read-only; the bytes must outlive the stream
StreamPtr Stream_FromBytes(std::vector<uint8_t> bytes);        // owned, readable and writable

// Paths: "incbin::name" is an embedded file (read-only); "littleendian::" is accepted and stripped, and may be
// followed by "incbin::". Real paths take "\" or "/", are relative to the current folder, and when the exact
// spelling does not exist each component is matched ignoring ASCII case.
StreamPtr File_Read(const Str& path);  // read-only; null when missing
StreamPtr File_Write(const Str& path); // created or truncated; null when it cannot be created
StreamPtr File_Open(const Str& path);  // existing file for reading and writing; null when missing
// Writes into a temporary file beside `path`; a successful Close() renames it over `path`. A stream destroyed
// without Close(), or one whose writes failed, removes the temporary file and leaves the old file whole.
StreamPtr File_WriteAtomic(const Str& path);
// The one way to save a whole file: the bytes through File_WriteAtomic, so a failed or interrupted save keeps the
// old file whole. On failure the diagnostic line "cant write " + path, and false.
bool File_SaveAtomic(const Str& path, const void* data, size_t size);
// Whole file as text: a UTF-8 BOM means UTF-8, FF FE / FE FF mean UTF-16, otherwise Latin-1. "" when missing.
Str File_LoadText(const Str& path);
Str File_DecodeText(const std::vector<uint8_t>& bytes); // File_LoadText's decoding of bytes already read
// Any prefix; false when missing, not a regular file, unreadable or larger than maxBytes (out is then empty).
bool File_ReadAll(const Str& path, std::vector<uint8_t>& out, size_t maxBytes = SIZE_MAX);
// A file's bytes to keep and read: an embedded file where it lies (no copy; `keep` holds a registered one alive),
// a real file read into `copy`. `data`/`size` point at them; moving the struct keeps them valid.
struct FileBytes {
    std::vector<uint8_t> copy;        // a real file's bytes (empty for an embedded file)
    std::shared_ptr<const void> keep; // keeps a registered embedded file's bytes alive
    const uint8_t* data = nullptr;    // the file's first byte
    size_t size = 0;                  // bytes
    Str key; // one name for every spelling of the file: "incbin::" + Path_Key, or a real file's native spelling
};
// File_ReadAll without the copy of an embedded file; the same checks and cap. On failure `out` is empty.
bool File_Bytes(const Str& path, FileBytes& out, size_t maxBytes = SIZE_MAX);
// Renames a file the game cannot use to path + ".bad" (an older ".bad" file is replaced). False when it cannot.
bool File_SetAside(const Str& path);
// Removes the temporary files File_WriteAtomic leaves in `folder` when the program is killed during a save
// (".name.tmpXXXXXX"); called once at start-up. Returns how many were removed.
int File_RemoveStaleTemps(const Str& folder);
bool File_Delete(const Str& path);
int File_Type(const Str& path);     // 0 none, 1 file, 2 folder, 3 anything else (FIFO, device); embedded: 1
int64_t File_Size(const Str& path); // -1 when missing

// The native spelling of a real path: prefixes stripped, "\" -> "/", and existing components matched ignoring
// case (the last component kept as given when it does not exist).
std::string Path_Native(const Str& path);
// True when the path (after "littleendian::") names the embedded archive.
bool Path_IsEmbedded(const Str& path);
// The one name of a file for every spelling of its path, as File_Bytes gives it (FileBytes::key): "incbin::" +
// Path_Key for an embedded file, the native spelling (Path_Native) of a real one. Caches of loaded files key by it.
Str File_Key(const Str& path);
