// Folders: the current folder's spelling, listing order, creation with parents, relative file types, and where
// the program and data folders come from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/folders.h"
#include "platform/stream.h"
#include "common/temp_folder.h"

namespace {

std::vector<Str> List(const Str& path) {
    std::vector<Str> names;
    const DirPtr d = Dir_Open(path);
    for (Str n; !(n = Dir_NextFile(d)).empty();)
        names.push_back(n);
    Dir_Close(d);
    return names;
}

// Sets an environment variable for one scope.
class EnvVar {
  public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) had_ = true, old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace

TEST(Folders, ChangeCurrentAndRelativeTypes) {
    TempFolder tmp;
    ASSERT_TRUE(Dir_Create(Str_FromUtf8(tmp / "Images/Editor")));
    std::ofstream(tmp / "Images/a.png") << "x";
    ASSERT_TRUE(Dir_Change(Str_FromUtf8(tmp.path() + "/")));
    EXPECT_EQ(Dir_Current(), Str_FromUtf8(std::filesystem::canonical(tmp.path()).string()));
    EXPECT_NE(Dir_Current().back(), u'/');
    EXPECT_EQ(File_Type(u"images"), 2); // relative and case-insensitive
    EXPECT_EQ(File_Type(u"Images\\A.PNG"), 1);
    EXPECT_EQ(File_Type(u"Images/b.png"), 0);
    ASSERT_TRUE(Dir_Change(u".\\IMAGES\\editor"));
    EXPECT_EQ(Str_Right(Dir_Current(), 14), u"/Images/Editor");
    ASSERT_TRUE(Dir_Change(u".."));
    EXPECT_EQ(Str_Right(Dir_Current(), 7), u"/Images");
    EXPECT_FALSE(Dir_Change(u"no_such_folder"));
    ASSERT_TRUE(Dir_Change(u"/"));
    EXPECT_EQ(Dir_Current(), u"/"); // the root keeps its slash
}

TEST(Folders, ListingStartsWithDotsThenSortedNames) {
    TempFolder tmp;
    for (const char* n : {"b.txt", "B.txt", "a", "_x", "10.lev", "9.lev"})
        std::ofstream(tmp / n) << n;
    Dir_Create(Str_FromUtf8(tmp / "sub"));
    EXPECT_EQ(List(Str_FromUtf8(tmp.path())),
              (std::vector<Str>{u".", u"..", u"10.lev", u"9.lev", u"B.txt", u"_x", u"a", u"b.txt", u"sub"}));
    EXPECT_EQ(List(Str_FromUtf8(tmp / "sub")), (std::vector<Str>{u".", u".."}));
    EXPECT_FALSE(Dir_Open(Str_FromUtf8(tmp / "missing")));
    EXPECT_EQ(Dir_NextFile(nullptr), u"");
    Dir_Close(nullptr);
    // After the end the listing keeps answering "".
    const DirPtr d = Dir_Open(Str_FromUtf8(tmp / "sub"));
    Dir_NextFile(d), Dir_NextFile(d);
    EXPECT_EQ(Dir_NextFile(d), u"");
    EXPECT_EQ(Dir_NextFile(d), u"");
}

TEST(Folders, CreateMakesParentsAndRefusesFiles) {
    TempFolder tmp;
    EXPECT_TRUE(Dir_Create(Str_FromUtf8(tmp.path()) + u"\\data\\Brisquel2\\"));
    EXPECT_EQ(File_Type(Str_FromUtf8(tmp / "data/Brisquel2")), 2);
    EXPECT_TRUE(Dir_Create(Str_FromUtf8(tmp / "data/Brisquel2"))); // already there
    std::ofstream(tmp / "file") << "x";
    EXPECT_FALSE(Dir_Create(Str_FromUtf8(tmp / "file")));
    EXPECT_FALSE(Dir_Create(Str_FromUtf8(tmp / "file/below")));
}

TEST(Folders, DataFolderFollowsXdgThenHome) {
    {
        EnvVar xdg("XDG_DATA_HOME", "/tmp/bq xdg/");
        EXPECT_EQ(Sys_AppDataFolder(), u"/tmp/bq xdg");
    }
    {
        EnvVar xdg("XDG_DATA_HOME", "relative/ignored");
        EnvVar home("HOME", "/home/tester");
        EXPECT_EQ(Sys_AppDataFolder(), u"/home/tester/.local/share");
    }
    {
        EnvVar xdg("XDG_DATA_HOME", nullptr);
        EnvVar home("HOME", nullptr);
        const Str fromPasswd = Sys_AppDataFolder(); // from the password database
        EXPECT_FALSE(fromPasswd.empty());
        EXPECT_EQ(Str_Right(fromPasswd, 13), u"/.local/share");
    }
}

TEST(Folders, ProgramFolderAndDrives) {
    {
        EnvVar none("BQ_APP_FOLDER", nullptr);
        const Str app = Sys_AppFolder();
        const std::string exe = std::filesystem::read_symlink("/proc/self/exe").filename().string();
        EXPECT_EQ(File_Type(app + u"/" + Str_FromUtf8(exe)), 1); // this test executable's own folder
        EXPECT_NE(app.back(), u'/');
    }
    {
        EnvVar over("BQ_APP_FOLDER", "/opt/brisquel/");
        EXPECT_EQ(Sys_AppFolder(), u"/opt/brisquel");
    }
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
        EXPECT_EQ(Sys_DriveType(Str(1, letter) + u":/"), 1);
}
