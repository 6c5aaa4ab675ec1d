// Streams and files behind stream.h: typed little-endian helpers, memory streams, buffered POSIX file streams,
// atomic replacement, the "incbin::"/"littleendian::" prefixes and the case-insensitive real-path lookup.
// Called by every loader and saver of the game.
//
// [SECTION] Typed reads and writes
// [SECTION] Memory streams
// [SECTION] File streams (plain and atomic)
// [SECTION] Paths
// [SECTION] File functions
#include "platform/stream.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system.h"

#include "platform/incbin.h"

// [SECTION] Typed reads and writes ---------------------------------------------------------------------------------

namespace {
template <int N> uint64_t ReadLE(Stream& s) {
    uint8_t b[N] = {};
    s.Read(b, N); // missing bytes stay 0
    uint64_t v = 0;
    for (int i = N - 1; i >= 0; --i)
        v = (v << 8) | b[i];
    return v;
}
template <int N> void WriteLE(Stream& s, uint64_t v) {
    uint8_t b[N];
    for (int i = 0; i < N; ++i)
        b[i] = uint8_t(v >> (8 * i));
    s.Write(b, N);
}
} // namespace

uint8_t Stream_ReadByte(Stream& s) { return uint8_t(ReadLE<1>(s)); }
int16_t Stream_ReadShort(Stream& s) { return int16_t(uint16_t(ReadLE<2>(s))); }
int32_t Stream_ReadInt(Stream& s) { return int32_t(uint32_t(ReadLE<4>(s))); }
float Stream_ReadFloat(Stream& s) {
    const uint32_t bits = uint32_t(ReadLE<4>(s));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
size_t Stream_ReadBytes(Stream& s, void* dst, size_t n) { return s.Read(dst, n); }

Str Stream_ReadString(Stream& s, int n) {
    if (n <= 0) return Str();
    const int64_t left = s.Size() - s.Pos();
    std::string bytes(size_t(std::max<int64_t>(0, std::min<int64_t>(n, left))), '\0');
    bytes.resize(s.Read(bytes.data(), bytes.size()));
    return Str_FromLatin1(bytes);
}

Str Stream_ReadLine(Stream& s) {
    Str line;
    uint8_t c;
    while (s.Read(&c, 1) == 1) {
        if (c == '\n') break;
        if (c != '\r') line.push_back(char16_t(c));
    }
    return line;
}

void Stream_WriteByte(Stream& s, uint8_t v) { s.Write(&v, 1); }
void Stream_WriteShort(Stream& s, int16_t v) { WriteLE<2>(s, uint16_t(v)); }
void Stream_WriteInt(Stream& s, int32_t v) { WriteLE<4>(s, uint32_t(v)); }
void Stream_WriteFloat(Stream& s, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteLE<4>(s, bits);
}
void Stream_WriteBytes(Stream& s, const void* src, size_t n) { s.Write(src, n); }
void Stream_WriteString(Stream& s, const Str& text) {
    const std::string bytes = Str_ToLatin1(text);
    s.Write(bytes.data(), bytes.size());
}
void Stream_WriteLine(Stream& s, const Str& text) {
    Stream_WriteString(s, text);
    s.Write("\r\n", 2);
}

// [SECTION] Memory streams ------------------------------------------------------------------------------------------

namespace {

class MemStream final : public Stream {
  public:
    // Read-only view of bytes kept alive by `keep` (or living as long as the program).
    MemStream(const uint8_t* data, size_t size, std::shared_ptr<const void> keep)
        : view_(data), size_(size), keep_(std::move(keep)) {}
    // Owned, writable buffer.
    explicit MemStream(std::vector<uint8_t> bytes) : own_(std::move(bytes)), writable_(true) { size_ = own_.size(); }

    size_t Read(void* dst, size_t n) override {
        if (closed_ || pos_ >= size_) return 0;
        n = std::min(n, size_ - pos_);
        std::memcpy(dst, Data() + pos_, n);
        pos_ += n;
        return n;
    }
    size_t Write(const void* src, size_t n) override {
        if (closed_ || !writable_ || n == 0) return 0;
        if (pos_ + n > own_.size()) own_.resize(pos_ + n);
        std::memcpy(own_.data() + pos_, src, n);
        pos_ += n;
        size_ = own_.size();
        return n;
    }
    bool Seek(int64_t pos) override {
        if (pos < 0 || uint64_t(pos) > size_) return false;
        pos_ = size_t(pos);
        return true;
    }
    int64_t Pos() const override { return int64_t(pos_); }
    int64_t Size() const override { return int64_t(size_); }
    bool Close() override {
        closed_ = true;
        return true;
    }

  private:
    const uint8_t* Data() const { return writable_ ? own_.data() : view_; }

    const uint8_t* view_ = nullptr;    // read-only bytes (view mode)
    size_t size_ = 0;                  // bytes
    size_t pos_ = 0;                   // read/write position
    std::shared_ptr<const void> keep_; // owner of view_ bytes, if any
    std::vector<uint8_t> own_;         // bytes (owned mode)
    bool writable_ = false;
    bool closed_ = false;
};

} // namespace

StreamPtr Stream_FromMemory(const uint8_t* data, size_t size) {
    return std::make_shared<MemStream>(data, data ? size : 0, nullptr);
}
StreamPtr Stream_FromBytes(std::vector<uint8_t> bytes) { return std::make_shared<MemStream>(std::move(bytes)); }

// [SECTION] File streams (plain and atomic) ------------------------------------------------------------------------

namespace {

// A POSIX file with a write-back buffer (reads go straight through after flushing pending writes).
class FileStream : public Stream {
  public:
    FileStream(int fd, bool readable, bool writable) : fd_(fd), readable_(readable), writable_(writable) {
        struct stat st {};
        if (fstat(fd_, &st) == 0) size_ = st.st_size;
    }
    ~FileStream() override {
        if (fd_ >= 0) FileStream::Close();
    }

    size_t Read(void* dst, size_t n) override {
        if (fd_ < 0 || !readable_ || !Flush()) return 0;
        size_t got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd_, static_cast<uint8_t*>(dst) + got, n - got, off_t(pos_));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += size_t(r);
            pos_ += r;
        }
        return got;
    }
    size_t Write(const void* src, size_t n) override {
        if (fd_ < 0 || !writable_ || failed_) return 0;
        if (!buf_.empty() && bufStart_ + int64_t(buf_.size()) != pos_ && !Flush()) return 0;
        if (buf_.empty()) bufStart_ = pos_;
        const auto* p = static_cast<const uint8_t*>(src);
        buf_.insert(buf_.end(), p, p + n);
        pos_ += int64_t(n);
        size_ = std::max(size_, pos_);
        if (buf_.size() >= kBufferSize && !Flush()) return 0;
        return n;
    }
    bool Seek(int64_t pos) override {
        if (fd_ < 0 || pos < 0 || pos > size_) return false;
        pos_ = pos;
        return true;
    }
    int64_t Pos() const override { return pos_; }
    int64_t Size() const override { return size_; }
    bool Failed() const override { return failed_; }
    bool Close() override {
        if (fd_ < 0) return !failed_;
        Flush();
        if (::close(fd_) != 0) failed_ = true;
        fd_ = -1;
        return !failed_;
    }

  protected:
    bool Flush() {
        size_t done = 0;
        while (done < buf_.size()) {
            const ssize_t w = ::pwrite(fd_, buf_.data() + done, buf_.size() - done, off_t(bufStart_ + int64_t(done)));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                failed_ = true;
                break;
            }
            done += size_t(w);
        }
        buf_.clear();
        return !failed_;
    }
    bool Sync() { return Flush() && (fd_ < 0 || ::fsync(fd_) == 0); }

    static constexpr size_t kBufferSize = 64 * 1024;
    int fd_ = -1;
    bool readable_ = false;
    bool writable_ = false;
    bool failed_ = false;      // a write, flush or close failed
    int64_t pos_ = 0;          // bytes from the start
    int64_t size_ = 0;         // bytes, including buffered writes
    int64_t bufStart_ = 0;     // file position of buf_[0]
    std::vector<uint8_t> buf_; // pending writes
};

// Writes a temporary file beside the target; Close renames it over the target when every write succeeded.
class AtomicFileStream final : public FileStream {
  public:
    AtomicFileStream(int fd, std::string tmp, std::string target)
        : FileStream(fd, true, true), tmp_(std::move(tmp)), target_(std::move(target)) {}
    ~AtomicFileStream() override {
        if (fd_ >= 0) {
            // Destroyed without Close: the writer gave up or died half way. Keep the old file.
            ::close(fd_);
            fd_ = -1;
            ::unlink(tmp_.c_str());
        }
    }
    bool Close() override {
        if (fd_ < 0) return done_;
        const bool ok = Sync() && FileStream::Close();
        if (ok && ::rename(tmp_.c_str(), target_.c_str()) == 0) {
            done_ = true;
        } else {
            ::unlink(tmp_.c_str());
            failed_ = true;
        }
        return done_;
    }

  private:
    std::string tmp_;    // temporary file in the target's folder
    std::string target_; // file replaced on a successful Close
    bool done_ = false;  // renamed into place
};

} // namespace

// [SECTION] Paths ---------------------------------------------------------------------------------------------------

namespace {

const Str kIncbin = u"incbin::";
const Str kLittleEndian = u"littleendian::";

// Strips "littleendian::" (any number of times, any case); tells whether "incbin::" follows.
Str StripPrefixes(const Str& path, bool& embedded) {
    Str s = path;
    embedded = false;
    for (;;) {
        if (Str_StartsWithNoCase(s, kLittleEndian))
            s.erase(0, kLittleEndian.size());
        else if (Str_StartsWithNoCase(s, kIncbin))
            s.erase(0, kIncbin.size()), embedded = true;
        else
            break;
    }
    return s;
}

bool Exists(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

// Name in folder `dir` that equals `name` ignoring ASCII case (the first in byte order), or "" when none.
std::string MatchNoCase(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::string();
    const Str want = Str_FromUtf8(name);
    std::string best;
    while (const dirent* e = ::readdir(d)) {
        const std::string cand = e->d_name;
        if (Str_EqualsNoCase(Str_FromUtf8(cand), want) && (best.empty() || cand < best)) best = cand;
    }
    ::closedir(d);
    return best;
}

} // namespace

bool Path_IsEmbedded(const Str& path) {
    bool embedded = false;
    StripPrefixes(path, embedded);
    return embedded;
}

namespace {

// A path parsed once: its prefixes stripped, whether it names the embedded archive, and for a real file its native
// spelling. Every file function starts here, so the prefixes are read once per call.
struct Located {
    Str name;           // without "littleendian::" and "incbin::"
    bool embedded;      // "incbin::" was given
    std::string native; // real files: the native spelling ("" for embedded names)
};

std::string NativeOf(const Str& stripped) {
    std::string p = Str_ToUtf8(stripped);
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty() || Exists(p)) return p;
    // Walk the components, replacing each missing one by an existing one that differs only in case.
    std::string out = p[0] == '/' ? "/" : "";
    size_t i = p[0] == '/' ? 1 : 0;
    bool matching = true; // false once a component does not exist: the rest is kept as given
    while (i <= p.size()) {
        const size_t slash = std::min(p.find('/', i), p.size());
        std::string part = p.substr(i, slash - i);
        if (matching && !part.empty() && part != "." && part != "..") {
            const std::string exact = out + part;
            if (!Exists(exact)) {
                const std::string folder = out.empty() ? "." : out;
                const std::string found = MatchNoCase(folder, part);
                if (found.empty())
                    matching = false;
                else
                    part = found;
            }
        }
        out += part;
        if (slash < p.size()) out += '/';
        i = slash + 1;
    }
    return out;
}

Located Locate(const Str& path) {
    Located at;
    at.name = StripPrefixes(path, at.embedded);
    if (!at.embedded) at.native = NativeOf(at.name);
    return at;
}

// A real file's key: its native spelling without "." and empty components (which name no other file); a leading
// "/" stays, so an absolute path never meets a relative one. ".." stays too: through a link it may lead elsewhere.
Str RealKey(const std::string& native) {
    std::string key = !native.empty() && native[0] == '/' ? "/" : "";
    size_t i = 0;
    while (i <= native.size()) {
        const size_t slash = std::min(native.find('/', i), native.size());
        const std::string_view part(native.data() + i, slash - i);
        if (!part.empty() && part != ".") {
            if (!key.empty() && key.back() != '/') key += '/';
            key += part;
        }
        i = slash + 1;
    }
    return Str_FromUtf8(key);
}

Str KeyOf(const Located& at) { return at.embedded ? kIncbin + Path_Key(at.name) : RealKey(at.native); }

} // namespace

Str File_Key(const Str& path) { return KeyOf(Locate(path)); }

std::string Path_Native(const Str& path) {
    bool embedded = false;
    return NativeOf(StripPrefixes(path, embedded));
}

// [SECTION] File functions ------------------------------------------------------------------------------------------

namespace {

StreamPtr OpenEmbedded(const Str& name) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::shared_ptr<const void> keep;
    if (!Incbin_Find(name, data, size, &keep)) return nullptr;
    return std::make_shared<MemStream>(data, size, std::move(keep));
}

// A regular real file opened for reading (or also writing), or null. Non-blocking, so that a FIFO or a device in
// place of a file cannot stop the game in open(); only regular files are opened.
StreamPtr OpenRegular(const std::string& native, bool writable) {
    if (native.empty()) return nullptr;
    const int fd = ::open(native.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_shared<FileStream>(fd, true, writable);
}

// A regular real file for reading, or null.
StreamPtr OpenRealForReading(const std::string& native) { return OpenRegular(native, false); }

// Folder part of a native path ("" for a bare name).
std::string FolderOf(const std::string& p) {
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

// File_WriteAtomic's temporary files: "." + the target's name + ".tmp" + the six letters or digits mkstemp picks.
// File_RemoveStaleTemps recognises exactly these names.
constexpr std::string_view kTempMark = ".tmp";
constexpr size_t kTempRandom = 6; // mkstemp's "XXXXXX"

std::string TempTemplate(const std::string& target) {
    const std::string folder = FolderOf(target);
    return folder + "." + target.substr(folder.size()) + std::string(kTempMark) + std::string(kTempRandom, 'X');
}

bool IsTempName(const std::string& n) {
    const size_t suffix = kTempMark.size() + kTempRandom;
    if (n.size() < 2 + suffix || n[0] != '.' || n.compare(n.size() - suffix, kTempMark.size(), kTempMark) != 0)
        return false;
    return std::all_of(n.end() - kTempRandom, n.end(), [](char c) { return std::isalnum(uint8_t(c)) != 0; });
}

} // namespace

StreamPtr File_Read(const Str& path) {
    const Located at = Locate(path);
    return at.embedded ? OpenEmbedded(at.name) : OpenRealForReading(at.native);
}

StreamPtr File_Write(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) return nullptr;
    const std::string& native = at.native;
    if (native.empty()) return nullptr;
    const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_shared<FileStream>(fd, true, true);
}

StreamPtr File_Open(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) return nullptr;
    return OpenRegular(at.native, true);
}

StreamPtr File_WriteAtomic(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) return nullptr;
    const std::string& target = at.native;
    if (target.empty() || target.back() == '/') return nullptr;
    std::string tmp = TempTemplate(target);
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return nullptr;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // Keep the old file's permissions, but always readable and writable by its owner (a file saved unreadable
    // would be lost at the next start); a new file gets the usual rw-r--r--.
    struct stat st {};
    ::fchmod(fd, ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? ((st.st_mode & 07777) | 0600) : 0644);
    return std::make_shared<AtomicFileStream>(fd, tmp, target);
}

bool File_SaveAtomic(const Str& path, const void* data, size_t size) {
    const StreamPtr s = File_WriteAtomic(path);
    if (s) Stream_WriteBytes(*s, data, size);
    if (s && s->Close()) return true;
    Log_Print(u"cant write " + path);
    return false;
}

namespace {

// The one reading of a whole real file: a regular file only, never more than maxBytes.
bool ReadRealFile(const std::string& native, std::vector<uint8_t>& out, size_t maxBytes) {
    out.clear();
    const StreamPtr s = OpenRealForReading(native);
    if (!s || uint64_t(s->Size()) > maxBytes) return false;
    out.resize(size_t(s->Size()));
    out.resize(s->Read(out.data(), out.size()));
    // A file that grows while it is read (a log, say) is read to its end, but never past maxBytes.
    uint8_t chunk[4096];
    for (size_t n; (n = s->Read(chunk, sizeof chunk)) > 0;) {
        if (n > maxBytes - out.size()) {
            out.clear();
            return false;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    return true;
}

} // namespace

bool File_Bytes(const Str& path, FileBytes& out, size_t maxBytes) {
    out = FileBytes{};
    const Located at = Locate(path);
    if (at.embedded) {
        out.key = KeyOf(at);
        if (Incbin_Find(at.name, out.data, out.size, &out.keep) && out.size <= maxBytes) return true;
    } else {
        out.key = KeyOf(at);
        if (ReadRealFile(at.native, out.copy, maxBytes)) {
            out.data = out.copy.data();
            out.size = out.copy.size();
            return true;
        }
    }
    out = FileBytes{};
    return false;
}

bool File_ReadAll(const Str& path, std::vector<uint8_t>& out, size_t maxBytes) {
    FileBytes b;
    const bool ok = File_Bytes(path, b, maxBytes);
    if (!b.copy.empty() || !ok) {
        out = std::move(b.copy);
    } else {
        out.assign(b.data, b.data + b.size);
        Incbin_Release(b.data, b.size); // the copy is what is read from now on
    }
    return ok;
}

Str File_LoadText(const Str& path) {
    std::vector<uint8_t> b;
    if (!File_ReadAll(path, b)) return Str();
    return File_DecodeText(b);
}

Str File_DecodeText(const std::vector<uint8_t>& b) {
    if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return Str_FromUtf8(std::string_view(reinterpret_cast<const char*>(b.data()) + 3, b.size() - 3));
    if (b.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        const bool little = b[0] == 0xFF;
        Str out;
        out.reserve((b.size() - 2) / 2);
        for (size_t i = 2; i + 1 < b.size(); i += 2)
            out.push_back(little ? char16_t(b[i] | (b[i + 1] << 8)) : char16_t((b[i] << 8) | b[i + 1]));
        return out;
    }
    return Str_FromLatin1(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

bool File_Delete(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) return false;
    const std::string& native = at.native;
    return !native.empty() && ::unlink(native.c_str()) == 0;
}

int File_Type(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) return Incbin_Exists(at.name) ? 1 : 0;
    const std::string& native = at.native;
    struct stat st {};
    if (native.empty() || ::stat(native.c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return 2;
    return S_ISREG(st.st_mode) ? 1 : 3;
}

int64_t File_Size(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded) {
        const uint8_t* data = nullptr;
        size_t size = 0;
        return Incbin_Find(at.name, data, size) ? int64_t(size) : -1;
    }
    const std::string& native = at.native;
    struct stat st {};
    if (native.empty() || ::stat(native.c_str(), &st) != 0) return -1;
    return int64_t(st.st_size);
}

bool File_SetAside(const Str& path) {
    const Located at = Locate(path);
    if (at.embedded || at.native.empty()) return false;
    const std::string bad = at.native + ".bad";
    struct stat st {};
    if (::lstat(bad.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(bad.c_str()); // an older copy
    return ::rename(at.native.c_str(), bad.c_str()) == 0;
}

int File_RemoveStaleTemps(const Str& folder) {
    const Located at = Locate(folder);
    if (at.embedded) return 0;
    const std::string& dir = at.native;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        struct stat st {};
        const std::string full = (dir.empty() ? std::string() : dir + "/") + name;
        if (IsTempName(name) && ::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(full.c_str()) == 0)
            ++removed;
    }
    ::closedir(d);
    return removed;
}
