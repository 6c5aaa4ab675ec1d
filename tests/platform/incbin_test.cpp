// The embedded archive: the packer's output read back by the reader, every spelling of a name, determinism,
// the build's own archive, and corrupt archives rejected whole without crashing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "platform/folders.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "common/temp_folder.h"

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the build's packer (it sits beside the test executable) and returns its exit status.
int Pack(const std::string& folder, const std::string& out) {
    const std::string cmd =
        "'" + Str_ToUtf8(Sys_AppFolder()) + "/bq_pack' '" + folder + "' '" + out + "' >/dev/null 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// A small asset tree packed by the real packer.
std::vector<uint8_t> PackSample(const TempFolder& tmp, const std::string& sub) {
    const std::string root = tmp / sub;
    std::filesystem::create_directories(root + "/Images/MainMenu");
    std::filesystem::create_directories(root + "/sounds");
    WriteBytes(root + "/Images/MainMenu/Mm_00.JPG", "jpeg bytes");
    WriteBytes(root + "/sounds/sfx_swap.wav", "wave");
    WriteBytes(root + "/paneo.fon", std::string("\0\1\2", 3));
    WriteBytes(root + "/empty.txt", "");
    EXPECT_EQ(Pack(root, tmp / (sub + ".pak")), 0);
    return ReadBytes(tmp / (sub + ".pak"));
}

std::string Contents(const Str& name) {
    const uint8_t* d = nullptr;
    size_t n = 0;
    if (!Incbin_Find(name, d, n)) return "<missing>";
    return std::string(reinterpret_cast<const char*>(d), n);
}

// Starts from an empty registry and leaves the build's archive registered again for whatever runs next.
class Incbin : public ::testing::Test {
  protected:
    void SetUp() override { Incbin_Clear(); }
    void TearDown() override {
        Incbin_Clear();
        Incbin_RegisterBuiltin();
    }
};

} // namespace

TEST(IncbinNames, OddSpellingsShareOneKey) {
    for (const char16_t* spelling :
         {u"images/effects/b.png", u".\\Images\\Effects\\B.PNG", u"incbin::./images/effects/b.png",
          u"INCBIN::/images//effects/./b.PNG", u"incbin::incbin::Images\\\\effects\\.\\b.png",
          u"././images/effects/b.png", u"/images/effects/b.png/", u"images\\effects/./b.png"})
        EXPECT_EQ(Path_Key(spelling), Str(u"images/effects/b.png")) << Str_ToUtf8(spelling);
    EXPECT_EQ(Path_Key(u"Gr\u00fc\u00dfe.TXT"), Str(u"gr\u00fc\u00dfe.txt")); // only ASCII is lowered
    EXPECT_EQ(Path_Key(u"../levels/a.lev"), Str(u"../levels/a.lev"));         // ".." is a name, not resolved
    EXPECT_EQ(Path_Key(u"incbin::"), Str());
    EXPECT_EQ(Path_Key(u"./"), Str());
    // The embedded archive and the image cache use the same key: a file registered under one spelling is found
    // under every other.
    Incbin_Register(u".\\Images\\Odd\\Name.PNG", {1, 2, 3});
    EXPECT_TRUE(Incbin_Exists(u"incbin::images//odd/./name.png"));
    Incbin_Clear();
    Incbin_RegisterBuiltin();
}

TEST_F(Incbin, PackedArchiveIsFoundByAnySpelling) {
    TempFolder tmp;
    static std::vector<uint8_t> blob; // the reader keeps pointers into it
    blob = PackSample(tmp, "a");
    ASSERT_TRUE(Incbin_RegisterArchive(blob.data(), blob.size()));
    EXPECT_EQ(Incbin_Count(), 4u);
    EXPECT_EQ(Contents(u".\\Images\\MainMenu\\mm_00.jpg"), "jpeg bytes");
    EXPECT_EQ(Contents(u"incbin::images/mainmenu/MM_00.jpg"), "jpeg bytes");
    EXPECT_EQ(Contents(u"./sounds/SFX_SWAP.wav"), "wave");
    EXPECT_EQ(Contents(u"incbin::paneo.fon"), std::string("\0\1\2", 3));
    EXPECT_EQ(Contents(u"empty.txt"), "");
    EXPECT_EQ(Contents(u"images/mainmenu"), "<missing>"); // folders are not files
    // The stream layer reaches it too.
    const StreamPtr s = File_Read(u"littleendian::incbin::.\\Sounds\\sfx_swap.WAV");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 4);
    // A later registration replaces a file of the same name.
    Incbin_Register(u"SOUNDS/sfx_swap.wav", {'n', 'e', 'w'});
    EXPECT_EQ(Contents(u"sounds/sfx_swap.wav"), "new");
}

TEST_F(Incbin, PackerIsDeterministicAndRefusesCaseClashes) {
    TempFolder tmp;
    const std::vector<uint8_t> a = PackSample(tmp, "a");
    const std::vector<uint8_t> b = PackSample(tmp, "b"); // same tree, made again at another time
    EXPECT_EQ(a, b);
    // Entries are sorted by name: the first one in the table is "empty.txt".
    ASSERT_GT(a.size(), 27u);
    EXPECT_EQ(std::string(a.begin() + 18, a.begin() + 27), "empty.txt");
    WriteBytes(tmp / "a/Paneo.FON", "clash");
    EXPECT_NE(Pack(tmp / "a", tmp / "c.pak"), 0);
    // A missing asset folder gives an empty, valid archive.
    ASSERT_EQ(Pack(tmp / "nothing", tmp / "e.pak"), 0);
    static std::vector<uint8_t> empty;
    empty = ReadBytes(tmp / "e.pak");
    EXPECT_TRUE(Incbin_RegisterArchive(empty.data(), empty.size()));
    EXPECT_EQ(Incbin_Count(), 0u);
}

TEST_F(Incbin, TheBuildsOwnArchiveIsValid) { EXPECT_TRUE(Incbin_RegisterBuiltin()); }

TEST_F(Incbin, CorruptArchivesAreRejectedWhole) {
    TempFolder tmp;
    static std::vector<uint8_t> good;
    good = PackSample(tmp, "a");
    // Every truncation inside the table or data is refused and registers nothing.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        EXPECT_FALSE(Incbin_RegisterArchive(cut.data(), cut.size())) << "length " << n;
        ASSERT_EQ(Incbin_Count(), 0u);
    }
    auto broken = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = good;
        b[at] = value;
        return b;
    };
    std::vector<uint8_t> b = broken(0, 'X'); // magic
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    b = broken(8, 0xFF); // entry count far beyond the table
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    b = broken(12, uint8_t(good[12] + 1)); // table size does not match its entries
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    b = broken(16, 0xFF); // first name length runs past the table
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    b = broken(16 + 2 + 9 + 7, 0x80); // first entry's offset (top byte) far past the end
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    b = broken(16 + 2 + 9 + 8 + 7, 0xFF); // first entry's size wraps around
    EXPECT_FALSE(Incbin_RegisterArchive(b.data(), b.size()));
    EXPECT_EQ(Incbin_Count(), 0u);
    EXPECT_FALSE(Incbin_RegisterArchive(nullptr, 100));
    // Any single-byte damage never crashes (the sanitizers watch the reads).
    for (size_t at = 0; at < good.size(); ++at) {
        for (const uint8_t v : {uint8_t(0), uint8_t(0xFF), uint8_t(good[at] ^ 0x10)}) {
            b = broken(at, v);
            Incbin_RegisterArchive(b.data(), b.size());
            Incbin_Clear();
        }
    }
}

// Pages given back after a file was decoded are read in again from the executable, unchanged; an archive that is
// not the executable's own mapping (a copy on the heap) is never touched.
TEST_F(Incbin, GivenBackPagesReadTheSameAndOnlyTheExecutablesAreGivenBack) {
    const Str name = u"sounds/bq2_01.ogg"; // one of the largest files: many whole pages
    ASSERT_TRUE(Incbin_RegisterBuiltin());
    const std::string before = Contents(name);
    ASSERT_GT(before.size(), size_t(64 * 1024));
    const uint8_t* d = nullptr;
    size_t n = 0;
    ASSERT_TRUE(Incbin_Find(name, d, n));
    EXPECT_GT(Incbin_Release(d, n), size_t(0));
    EXPECT_EQ(Contents(name), before);
    EXPECT_EQ(Incbin_Release(d, n + (size_t(1) << 30)), size_t(0)) << "a span reaching past the archive";

    const std::vector<uint8_t> copy(bq_assets_begin, bq_assets_end);
    Incbin_Clear();
    ASSERT_TRUE(Incbin_RegisterArchive(copy.data(), copy.size()));
    ASSERT_TRUE(Incbin_Find(name, d, n));
    EXPECT_EQ(Incbin_Release(d, n), size_t(0));
    EXPECT_EQ(Contents(name), before);
}
