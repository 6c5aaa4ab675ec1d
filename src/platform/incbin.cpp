// The embedded archive behind incbin.h: validates and indexes the packed blob the build links in, keeps files
// registered by tests, and answers lookups by any spelling of a name. Called by stream.cpp and the start-up code.
#include "platform/system.h"
#include "platform/incbin.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct EmbeddedFile {
    const uint8_t* data = nullptr;               // start of the bytes (archive or `owned`)
    size_t size = 0;                             // bytes
    std::shared_ptr<std::vector<uint8_t>> owned; // set for files registered by Incbin_Register
};

// Archive layout (docs/file-formats.md, "Embedded archive").
constexpr char kMagic[8] = {'B', 'Q', 'P', 'A', 'K', '0', '0', '1'};
constexpr size_t kHeaderSize = 16;

std::mutex g_incbinMutex;                                // guards g_incbinFiles
std::unordered_map<Str, EmbeddedFile> g_incbinFiles;     // Path_Key of the name -> bytes
std::vector<std::pair<const uint8_t*, size_t>> g_mapped; // archives in the executable's read-only mapping

uint64_t ReadLE(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool Reject(const char* why) {
    Log_Print(std::string("embedded archive rejected: ") + why);
    return false;
}

} // namespace

Str Path_Key(const Str& path) {
    Str s = path;
    while (Str_StartsWithNoCase(s, u"incbin::"))
        s.erase(0, 8);
    // Components between "/" or "\", lower-cased (ASCII); empty ones and "." dropped.
    Str key;
    key.reserve(s.size());
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find_first_of(u"/\\", start);
        if (end == Str::npos) end = s.size();
        if (end > start && !(end - start == 1 && s[start] == u'.')) {
            if (!key.empty()) key.push_back(u'/');
            for (size_t k = start; k < end; ++k) {
                const char16_t c = s[k];
                key.push_back(c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c);
            }
        }
        start = end + 1;
    }
    return key;
}

bool Incbin_RegisterArchive(const uint8_t* data, size_t size, bool mapped) {
    if (!data || size < kHeaderSize) return Reject("shorter than its header");
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0) return Reject("wrong magic");
    const uint64_t count = ReadLE(data + 8, 4);
    const uint64_t tableSize = ReadLE(data + 12, 4);
    if (tableSize > size - kHeaderSize) return Reject("table beyond the end");
    if (count > tableSize / 18) return Reject("more entries than the table holds");
    const uint8_t* p = data + kHeaderSize;
    const uint8_t* const tableEnd = p + tableSize;
    const uint64_t dataStart = kHeaderSize + tableSize;
    std::vector<std::pair<Str, EmbeddedFile>> entries;
    entries.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        if (tableEnd - p < 2) return Reject("truncated table");
        const size_t nameLen = size_t(ReadLE(p, 2));
        p += 2;
        if (nameLen == 0 || size_t(tableEnd - p) < nameLen + 16) return Reject("truncated table entry");
        const std::string name(reinterpret_cast<const char*>(p), nameLen);
        p += nameLen;
        const uint64_t offset = ReadLE(p, 8);
        const uint64_t length = ReadLE(p + 8, 8);
        p += 16;
        if (offset < dataStart || offset > size || length > size - offset) return Reject("entry outside the data");
        EmbeddedFile f;
        f.data = data + offset;
        f.size = size_t(length);
        entries.emplace_back(Path_Key(Str_FromUtf8(name)), std::move(f));
    }
    if (p != tableEnd) return Reject("table size does not match its entries");
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    for (auto& e : entries)
        g_incbinFiles[e.first] = std::move(e.second);
    if (mapped) g_mapped.emplace_back(data, size);
    return true;
}

size_t Incbin_Release(const uint8_t* data, size_t size) {
    static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    if (!data || size == 0 || page == 0) return 0;
    const uintptr_t begin = uintptr_t(data), end = begin + size;
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    for (const auto& [archive, length] : g_mapped) {
        const uintptr_t a = uintptr_t(archive), b = a + length;
        if (begin < a || end > b) continue;
        // Whole pages of the archive only: a page shared with the program's own data is left alone.
        const uintptr_t from = (std::max(begin, a) + page - 1) / page * page, to = std::min(end, b) / page * page;
        if (from >= to) return 0;
        return madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED) == 0 ? to - from : 0;
    }
    return 0;
}

void Incbin_Register(const Str& name, std::vector<uint8_t> bytes) {
    EmbeddedFile f;
    f.owned = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
    f.data = f.owned->data();
    f.size = f.owned->size();
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    g_incbinFiles[Path_Key(name)] = std::move(f);
}

void Incbin_Clear() {
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    g_incbinFiles.clear();
    g_mapped.clear();
}

bool Incbin_Find(const Str& name, const uint8_t*& data, size_t& size, std::shared_ptr<const void>* keepAlive) {
    const Str key = Path_Key(name);
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    const auto it = g_incbinFiles.find(key);
    if (it == g_incbinFiles.end()) return false;
    data = it->second.data;
    size = it->second.size;
    if (keepAlive) *keepAlive = it->second.owned; // archive bytes live as long as the program
    return true;
}

bool Incbin_Exists(const Str& name) {
    const uint8_t* d = nullptr;
    size_t n = 0;
    return Incbin_Find(name, d, n);
}

size_t Incbin_Count() {
    std::lock_guard<std::mutex> lock(g_incbinMutex);
    return g_incbinFiles.size();
}
