// Streams and files: the line rules, little-endian records, prefixes (nested, embedded), real-path lookup ignoring
// case and separators, open modes, text decoding, and atomic saving that keeps the old file when anything fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <sys/stat.h>

#include "platform/folders.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "common/temp_folder.h"

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
StreamPtr MemOf(const std::string& bytes) { return Stream_FromBytes(std::vector<uint8_t>(bytes.begin(), bytes.end())); }

} // namespace

TEST(Stream, ReadLineDropsEveryCarriageReturn) {
    const StreamPtr s = MemOf("a\r\nb\n\rc");
    EXPECT_EQ(Stream_ReadLine(*s), u"a");
    EXPECT_EQ(Stream_ReadLine(*s), u"b");
    EXPECT_FALSE(s->Eof());
    EXPECT_EQ(Stream_ReadLine(*s), u"c"); // the last line has no LF
    EXPECT_TRUE(s->Eof());
    EXPECT_EQ(Stream_ReadLine(*s), u""); // nothing left

    const StreamPtr t = MemOf("x\n\n\xe4\n");
    EXPECT_EQ(Stream_ReadLine(*t), u"x");
    EXPECT_EQ(Stream_ReadLine(*t), u"");       // an empty line is a line
    EXPECT_EQ(Stream_ReadLine(*t), u"\u00e4"); // Latin-1
    EXPECT_TRUE(t->Eof());
}

TEST(Stream, WriteLineEndsWithCrLfAndWritesLatin1) {
    const StreamPtr s = Stream_FromBytes({});
    Stream_WriteLine(*s, u"Gr\u00fc\u00df");
    Stream_WriteLine(*s, u"");
    s->Seek(0);
    uint8_t b[16] = {};
    ASSERT_EQ(s->Read(b, sizeof b), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 8), "Gr\xfc\xdf\r\n\r\n");
}

TEST(Stream, LittleEndianRecordsRoundTripThroughAFile) {
    TempFolder tmp;
    const Str path = Str_FromUtf8(tmp / "rec.bin");
    {
        const StreamPtr w = File_Write(u"littleendian::" + path);
        ASSERT_TRUE(w);
        Stream_WriteByte(*w, 0xAB);
        Stream_WriteShort(*w, -2);
        Stream_WriteInt(*w, 0x12345678);
        Stream_WriteInt(*w, INT32_MIN);
        Stream_WriteFloat(*w, 0.8f);
        Stream_WriteFloat(*w, -1.5e-30f);
        Stream_WriteString(*w, u"ab\u00e9");
        EXPECT_TRUE(w->Close());
    }
    const std::string raw = ReadBytes(tmp / "rec.bin");
    ASSERT_EQ(raw.size(), 1u + 2 + 4 + 4 + 4 + 4 + 3);
    EXPECT_EQ(raw.substr(0, 7), std::string("\xab\xfe\xff\x78\x56\x34\x12", 7)); // low byte first
    const StreamPtr r = File_Read(path);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Size(), int64_t(raw.size()));
    EXPECT_EQ(Stream_ReadByte(*r), 0xAB);
    EXPECT_EQ(Stream_ReadShort(*r), -2);
    EXPECT_EQ(Stream_ReadInt(*r), 0x12345678);
    EXPECT_EQ(Stream_ReadInt(*r), INT32_MIN);
    EXPECT_EQ(Stream_ReadFloat(*r), 0.8f);
    EXPECT_EQ(Stream_ReadFloat(*r), -1.5e-30f);
    EXPECT_EQ(Stream_ReadString(*r, 10), u"ab\u00e9"); // only what is there
    EXPECT_TRUE(r->Eof());
    EXPECT_EQ(Stream_ReadInt(*r), 0); // past the end: zeros, no crash
}

TEST(Stream, SeekPosSizeAndReadWriteMode) {
    TempFolder tmp;
    WriteBytes(tmp / "f.dat", "0123456789");
    const Str path = Str_FromUtf8(tmp / "f.dat");
    const StreamPtr s = File_Open(path);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 10);
    EXPECT_TRUE(s->Seek(4));
    EXPECT_EQ(Stream_ReadByte(*s), '4');
    EXPECT_EQ(s->Pos(), 5);
    Stream_WriteBytes(*s, "ab", 2);      // overwrite in place at 5..6
    EXPECT_EQ(Stream_ReadByte(*s), '7'); // a read after a write sees the file as written
    EXPECT_TRUE(s->Seek(10));
    EXPECT_FALSE(s->Seek(11));
    EXPECT_FALSE(s->Seek(-1));
    EXPECT_EQ(s->Pos(), 10);
    Stream_WriteBytes(*s, "Z", 1); // appending grows the file
    EXPECT_EQ(s->Size(), 11);
    EXPECT_TRUE(s->Close());
    EXPECT_EQ(ReadBytes(tmp / "f.dat"), "01234ab789Z");
    EXPECT_EQ(Stream_ReadByte(*s), 0); // closed: reads nothing
}

TEST(Stream, OpenModes) {
    TempFolder tmp;
    const Str path = Str_FromUtf8(tmp / "new.txt");
    EXPECT_FALSE(File_Open(path)); // read/write open does not create
    EXPECT_FALSE(File_Read(path));
    EXPECT_EQ(File_Type(path), 0);
    EXPECT_EQ(File_Size(path), -1);
    ASSERT_TRUE(File_Write(path)); // creates it empty (closed by the destructor)
    EXPECT_EQ(File_Type(path), 1);
    EXPECT_EQ(File_Size(path), 0);
    WriteBytes(tmp / "new.txt", "old contents");
    {
        const StreamPtr w = File_Write(path); // truncates
        Stream_WriteString(*w, u"new");
    } // flushed on destruction
    EXPECT_EQ(ReadBytes(tmp / "new.txt"), "new");
    EXPECT_FALSE(File_Read(Str_FromUtf8(tmp.path()))); // a folder is not a file
    EXPECT_EQ(File_Type(Str_FromUtf8(tmp.path())), 2);
    EXPECT_FALSE(File_Write(Str_FromUtf8(tmp / "missing/dir/x.txt")));
    EXPECT_TRUE(File_Delete(path));
    EXPECT_FALSE(File_Delete(path));
    EXPECT_EQ(File_Type(path), 0);
}

TEST(Stream, RealPathsIgnoreCaseAndBackslashes) {
    TempFolder tmp;
    ASSERT_TRUE(Dir_Create(Str_FromUtf8(tmp / "levels/Sub")));
    WriteBytes(tmp / "levels/Sub/Default.lev", "L");
    ASSERT_TRUE(Dir_Change(Str_FromUtf8(tmp.path())));
    for (const Str p : {u"\\levels\\sub\\default.LEV", u".\\LEVELS\\sub\\DEFAULT.lev", u"./levels/SUB/default.lev",
                        u"levels\\Sub\\Default.lev"}) {
        const Str rel = p[0] == u'\\' ? p.substr(1) : p; // "\levels" is relative to the program folder here
        const StreamPtr s = File_Read(rel);
        ASSERT_TRUE(s) << Str_ToUtf8(p);
        EXPECT_EQ(Stream_ReadByte(*s), 'L');
        EXPECT_EQ(File_Type(rel), 1);
        EXPECT_EQ(File_Size(rel), 1);
    }
    const Str absolute = Str_FromUtf8(tmp.path()) + u"\\LEVELS\\sub\\default.lev";
    EXPECT_TRUE(File_Read(absolute));
    // Creating keeps the last component as given but finds the existing folders.
    {
        const StreamPtr w = File_Write(u"LEVELS\\SUB\\New.Lev");
        ASSERT_TRUE(w);
    }
    EXPECT_EQ(File_Type(Str_FromUtf8(tmp / "levels/Sub/New.Lev")), 1);
    EXPECT_EQ(Path_Native(u"littleendian::LEVELS\\SUB\\none.lev"), "levels/Sub/none.lev");
    EXPECT_FALSE(File_Read(u"levels/Sub/none.lev"));
}

// Every spelling of one file has one key, the one File_Bytes reports; different files keep different keys, also two
// real files whose names differ only in case, and a real file beside an embedded one of the same name.
TEST(Stream, FileKeyIsOneNameForEverySpellingOfOneFile) {
    for (const Str p : {u"incbin::Images\\X.png", u"littleendian::INCBIN::./images/x.png",
                        u"incbin::incbin::images//x.png", u"INCBIN::.\\Images\\.\\x.PNG"})
        EXPECT_EQ(File_Key(p), u"incbin::images/x.png") << Str_ToUtf8(p);
    TempFolder tmp;
    ASSERT_TRUE(Dir_Create(Str_FromUtf8(tmp / "levels/Sub")));
    WriteBytes(tmp / "levels/Sub/Default.lev", "L");
    WriteBytes(tmp / "A.txt", "A");
    WriteBytes(tmp / "a.txt", "a");
    ASSERT_TRUE(Dir_Change(Str_FromUtf8(tmp.path())));
    const Str key = File_Key(u"levels/Sub/Default.lev");
    EXPECT_EQ(File_Key(u".\\LEVELS\\sub\\DEFAULT.lev"), key);
    EXPECT_EQ(File_Key(u"littleendian::levels\\SUB\\default.lev"), key);
    EXPECT_EQ(File_Key(u"levels//Sub/./Default.lev"), key);
    FileBytes b;
    ASSERT_TRUE(File_Bytes(u"LEVELS/SUB/DEFAULT.LEV", b));
    EXPECT_EQ(b.key, key);
    EXPECT_NE(File_Key(u"A.txt"), File_Key(u"a.txt"));
    EXPECT_NE(File_Key(u"a.txt"), File_Key(u"incbin::a.txt"));
}

TEST(Stream, EmbeddedFilesThroughPrefixes) {
    Incbin_Register(u"Levels/Test_Level.lev", {1, 0, 0, 0, 0, 0, 0x20, 0x40});
    for (const Str p : {u"incbin::levels/test_level.lev", u"littleendian::incbin::.\\Levels\\TEST_LEVEL.lev",
                        u"LittleEndian::INCBIN::./levels//test_level.LEV"}) {
        const StreamPtr s = File_Read(p);
        ASSERT_TRUE(s) << Str_ToUtf8(p);
        EXPECT_EQ(Stream_ReadInt(*s), 1);
        EXPECT_EQ(Stream_ReadFloat(*s), 2.5f);
        EXPECT_TRUE(s->Eof());
        EXPECT_EQ(File_Type(p), 1);
        EXPECT_EQ(File_Size(p), 8);
    }
    EXPECT_FALSE(File_Read(u"incbin::levels/other.lev"));
    EXPECT_EQ(File_Type(u"incbin::levels/other.lev"), 0);
    // Embedded files are read-only.
    EXPECT_FALSE(File_Write(u"incbin::levels/test_level.lev"));
    EXPECT_FALSE(File_Open(u"incbin::levels/test_level.lev"));
    EXPECT_FALSE(File_Delete(u"incbin::levels/test_level.lev"));
    const StreamPtr s = File_Read(u"incbin::levels/test_level.lev");
    EXPECT_EQ(s->Write("x", 1), 0u);
    // A stream keeps its bytes even when the file is registered anew meanwhile.
    Incbin_Register(u"levels/test_level.lev", {9});
    EXPECT_EQ(Stream_ReadInt(*s), 1);
    std::vector<uint8_t> all;
    EXPECT_TRUE(File_ReadAll(u"incbin::LEVELS/test_level.lev", all));
    EXPECT_EQ(all, std::vector<uint8_t>{9});
    EXPECT_TRUE(Path_IsEmbedded(u"littleendian::INCBIN::x"));
    EXPECT_FALSE(Path_IsEmbedded(u"levels/test_level.lev"));

    // A stream over memory reads what is there and no further.
    const uint8_t bytes[6] = {0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB};
    const StreamPtr mem = Stream_FromMemory(bytes, sizeof bytes);
    ASSERT_TRUE(mem);
    EXPECT_EQ(Stream_ReadInt(*mem), 0x12345678);
    uint8_t out[4] = {};
    EXPECT_EQ(Stream_ReadBytes(*mem, out, 4), 2u);
    EXPECT_EQ(out[0], 0xAA);
    EXPECT_EQ(out[1], 0xBB);
    EXPECT_TRUE(mem->Eof());
    EXPECT_EQ(mem->Write("x", 1), 0u);
}

TEST(Stream, LoadTextDecodesByByteOrderMark) {
    TempFolder tmp;
    WriteBytes(tmp / "latin1.txt", "Gr\xfc\xdf\r\n");
    WriteBytes(tmp / "utf8.txt", "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f");
    WriteBytes(tmp / "utf16le.txt", std::string("\xff\xfeG\0\xfc\0", 6));
    WriteBytes(tmp / "utf16be.txt", std::string("\xfe\xff\0G\0\xfc\0", 7));            // odd byte at the end is dropped
    EXPECT_EQ(File_LoadText(Str_FromUtf8(tmp / "latin1.txt")), u"Gr\u00fc\u00df\r\n"); // no line processing
    EXPECT_EQ(File_LoadText(Str_FromUtf8(tmp / "utf8.txt")), u"Gr\u00fc\u00df");
    EXPECT_EQ(File_LoadText(Str_FromUtf8(tmp / "utf16le.txt")), u"G\u00fc");
    EXPECT_EQ(File_LoadText(Str_FromUtf8(tmp / "utf16be.txt")), u"G\u00fc");
    EXPECT_EQ(File_LoadText(Str_FromUtf8(tmp / "missing.txt")), u"");
}

TEST(Stream, AtomicSaveReplacesOnlyOnSuccessfulClose) {
    TempFolder tmp;
    const Str path = Str_FromUtf8(tmp / "save.txt");
    WriteBytes(tmp / "save.txt", "old");
    {
        const StreamPtr w = File_WriteAtomic(path);
        ASSERT_TRUE(w);
        Stream_WriteLine(*w, u"half");
        EXPECT_EQ(ReadBytes(tmp / "save.txt"), "old"); // untouched while writing
    }                                                  // the writer dies without Close
    EXPECT_EQ(ReadBytes(tmp / "save.txt"), "old");
    {
        const StreamPtr w = File_WriteAtomic(path);
        Stream_WriteLine(*w, u"new");
        EXPECT_TRUE(w->Close());
        EXPECT_TRUE(w->Close()); // a second Close changes nothing
    }
    EXPECT_EQ(ReadBytes(tmp / "save.txt"), "new\r\n");
    // Nothing but the file itself is left in the folder.
    const DirPtr d = Dir_Open(Str_FromUtf8(tmp.path()));
    std::vector<Str> names;
    for (Str n; !(n = Dir_NextFile(d)).empty();)
        names.push_back(n);
    EXPECT_EQ(names, (std::vector<Str>{u".", u"..", u"save.txt"}));
    // A new file is created too.
    const StreamPtr w = File_WriteAtomic(Str_FromUtf8(tmp / "fresh.txt"));
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->Close());
    EXPECT_EQ(File_Size(Str_FromUtf8(tmp / "fresh.txt")), 0);
}

TEST(Stream, AtomicSaveKeepsTheOldFileWhenWritingFails) {
    TempFolder tmp;
    const Str path = Str_FromUtf8(tmp / "save.txt");
    WriteBytes(tmp / "save.txt", "precious");
    // A file size limit makes the writes fail the way a full disk would.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool closed = true;
    bool failed = false;
    {
        const StreamPtr w = File_WriteAtomic(path);
        if (w) {
            const std::string chunk(4096, 'x');
            for (int i = 0; i < 64; ++i)
                Stream_WriteBytes(*w, chunk.data(), chunk.size());
            failed = w->Failed();
            closed = w->Close();
        }
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(closed); // failure is reported, not hidden
    EXPECT_EQ(ReadBytes(tmp / "save.txt"), "precious");
    const DirPtr d = Dir_Open(Str_FromUtf8(tmp.path()));
    int count = 0;
    while (!Dir_NextFile(d).empty())
        ++count;
    EXPECT_EQ(count, 3); // ".", ".." and save.txt: the temporary file is gone
}

TEST(Stream, AtomicSaveIntoAMissingFolderFailsCleanly) {
    TempFolder tmp;
    EXPECT_FALSE(File_WriteAtomic(Str_FromUtf8(tmp / "no/such/folder/x.txt")));
    EXPECT_FALSE(File_WriteAtomic(u"incbin::x.txt"));
}

// A saver killed at any moment leaves the file as one complete save or the next, never a mix or a torn file: a
// child saves two different 256 KB contents in turn with File_SaveAtomic and is killed while it still saves.
TEST(Stream, SaveAtomicSurvivesAKilledWriter) {
    TempFolder tmp;
    const Str path = Str_FromUtf8(tmp / "progress.bin");
    const std::string a(256 * 1024, 'a'), b(256 * 1024, 'b');
    ASSERT_TRUE(File_SaveAtomic(path, a.data(), a.size()));
    for (int round = 0; round < 3; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            for (int i = 0;; ++i) {
                const std::string& next = i % 2 ? a : b;
                File_SaveAtomic(path, next.data(), next.size());
                if (i == 4 + round) { // a few saves done: tell the parent, then keep saving until killed
                    const char c = 1;
                    ssize_t ignored = write(ready[1], &c, 1);
                    (void)ignored;
                }
            }
        }
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = ReadBytes(tmp / "progress.bin");
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes, a torn file";
    }
    // A temporary file the killed writer left behind does not stop the next save.
    EXPECT_TRUE(File_SaveAtomic(path, b.data(), b.size()));
    EXPECT_EQ(ReadBytes(tmp / "progress.bin"), b);
    // A writer that dies before Close() leaves its temporary file; the clean-up knows its name and removes it and
    // every other one the killed writers left, and nothing else.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const StreamPtr s = File_WriteAtomic(path);
        if (s) Stream_WriteBytes(*s, a.data(), a.size());
        _exit(s && !s->Failed() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GE(File_RemoveStaleTemps(Str_FromUtf8(tmp.path())), 1);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(tmp.path()))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"progress.bin"});
    EXPECT_EQ(ReadBytes(tmp / "progress.bin"), b);
}

TEST(Stream, SaveAtomicReportsAFailureWithOneLine) {
    TempFolder tmp;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(File_SaveAtomic(Str_FromUtf8(tmp / "no/folder/x.txt"), "x", 1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "cant write " + (tmp / "no/folder/x.txt") + "\r\n");
}

TEST(Stream, OddFilesNeverBlockAndSavesStayReadable) {
    TempFolder tmp;
    alarm(20); // a blocking open would otherwise hang the test run
    // A FIFO in place of a file: no reader or writer is there, so a blocking open would wait for ever.
    ASSERT_EQ(mkfifo((tmp / "fifo").c_str(), 0644), 0);
    const Str fifo = Str_FromUtf8(tmp / "fifo");
    EXPECT_EQ(File_Type(fifo), 3);
    EXPECT_FALSE(File_Read(fifo));
    EXPECT_FALSE(File_Open(fifo));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(File_ReadAll(fifo, bytes));
    EXPECT_EQ(File_LoadText(fifo), u"");
    // A device that never ends and a folder are no files either.
    EXPECT_FALSE(File_ReadAll(u"/dev/zero", bytes));
    EXPECT_FALSE(File_ReadAll(Str_FromUtf8(tmp.path()), bytes));
    alarm(0);
    // Reads are bounded.
    WriteBytes(tmp / "ten.txt", "0123456789");
    EXPECT_FALSE(File_ReadAll(Str_FromUtf8(tmp / "ten.txt"), bytes, 9));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(File_ReadAll(Str_FromUtf8(tmp / "ten.txt"), bytes, 10));
    EXPECT_EQ(bytes.size(), 10u);
    // Saving over a file its owner cannot read leaves a file the owner can read and write; other bits are kept.
    chmod((tmp / "ten.txt").c_str(), 0044);
    ASSERT_TRUE(File_SaveAtomic(Str_FromUtf8(tmp / "ten.txt"), "x\r\n", 3));
    struct stat st {};
    ASSERT_EQ(stat((tmp / "ten.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    // A file that cannot be used is set aside under ".bad", replacing an older one.
    WriteBytes(tmp / "ten.txt.bad", "older");
    EXPECT_TRUE(File_SetAside(Str_FromUtf8(tmp / "ten.txt")));
    EXPECT_EQ(ReadBytes(tmp / "ten.txt.bad"), "x\r\n");
    EXPECT_EQ(File_Type(Str_FromUtf8(tmp / "ten.txt")), 0);
}
