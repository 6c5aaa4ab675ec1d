// bq_pack <asset folder> <out.pak>: packs every file below the asset folder into one archive for embedding.
// Run by the build (cmake/Assets.cmake); the reader is src/platform/incbin.cpp. The output depends only on the
// files' names and bytes: entries are sorted by their normalised name and nothing else (no dates) is stored.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'B', 'Q', 'P', 'A', 'K', '0', '0', '1'};
constexpr size_t kHeaderSize = 16;
constexpr size_t kAlign = 16;
constexpr size_t kMaxName = 65535;

struct Entry {
    std::string name; // normalised: relative, "/" separators, ASCII lower case
    fs::path file;
    uint64_t size = 0;
    uint64_t offset = 0;
};

std::string Normalise(std::string s) {
    for (char& c : s) {
        if (c == '\\') c = '/';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return s;
}

void PutLE(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "bq_pack: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bq_pack <asset folder> <out.pak>\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path outPath = argv[2];
    std::error_code ec;
    std::vector<Entry> entries;
    if (fs::is_directory(root, ec)) {
        for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::follow_directory_symlink, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            Entry e;
            e.file = it->path();
            e.name = Normalise(fs::relative(it->path(), root, ec).generic_string());
            if (ec) return Fail("cannot name " + it->path().string());
            e.size = it->file_size(ec);
            if (ec) return Fail("cannot size " + it->path().string());
            if (e.name.empty() || e.name.size() > kMaxName) return Fail("unusable name " + e.name);
            entries.push_back(std::move(e));
        }
        if (ec) return Fail("cannot list " + root.string() + ": " + ec.message());
    } else {
        std::fprintf(stderr, "bq_pack: %s is not a folder; writing an empty archive\n", root.string().c_str());
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].name == entries[i - 1].name)
            return Fail("two files differ only in case: " + entries[i - 1].file.string() + " and " +
                        entries[i].file.string());

    size_t tableSize = 0;
    for (const Entry& e : entries)
        tableSize += 2 + e.name.size() + 8 + 8;
    uint64_t pos = kHeaderSize + tableSize;
    for (Entry& e : entries) {
        pos = (pos + kAlign - 1) / kAlign * kAlign;
        e.offset = pos;
        pos += e.size;
    }

    std::string head(kMagic, sizeof kMagic);
    PutLE(head, entries.size(), 4);
    PutLE(head, tableSize, 4);
    for (const Entry& e : entries) {
        PutLE(head, e.name.size(), 2);
        head += e.name;
        PutLE(head, e.offset, 8);
        PutLE(head, e.size, 8);
    }

    const fs::path tmp = outPath.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return Fail("cannot create " + tmp.string());
        out.write(head.data(), std::streamsize(head.size()));
        uint64_t written = head.size();
        std::vector<char> buf;
        for (const Entry& e : entries) {
            const std::string pad(size_t(e.offset - written), '\0');
            out.write(pad.data(), std::streamsize(pad.size()));
            std::ifstream in(e.file, std::ios::binary);
            buf.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) return Fail("cannot read " + e.file.string());
            if (buf.size() != e.size) return Fail("file changed while packing: " + e.file.string());
            out.write(buf.data(), std::streamsize(buf.size()));
            written = e.offset + e.size;
        }
        out.flush();
        if (!out) return Fail("cannot write " + tmp.string());
    }
    fs::rename(tmp, outPath, ec);
    if (ec) return Fail("cannot rename to " + outPath.string() + ": " + ec.message());
    std::printf("bq_pack: %zu files, %llu bytes\n", entries.size(), (unsigned long long)pos);
    return 0;
}
