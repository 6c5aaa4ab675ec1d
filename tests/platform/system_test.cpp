// System services: diagnostic lines, the headless message box, the application flags from window events, the
// wallpaper commands per desktop (with fake desktop tools on PATH), and the process's end on an uncaught runtime
// error or a fatal signal. Tests src/platform/system.cpp and wallpaper.cpp.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/input.h"
#include "platform/system.h"
#include "platform/wallpaper.h"
#include "sdl_push.h"
#include "common/temp_folder.h"

namespace {

using namespace sdl_push;

TEST(SystemOutput, DiagnosticLinesAreUtf8EndingInCrLf) {
    ::testing::internal::CaptureStdout();
    Log_Print(u"failed loading Images/\u00fcber.png");
    Log_Print(u"");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed loading Images/\xC3\xBC"
                                                        "ber.png\r\n\r\n");
}

TEST(SystemOutput, HeadlessMessageBoxGoesToStderrAndReturns) {
    Fresh();
    ASSERT_TRUE(Sys_Headless());
    ::testing::internal::CaptureStderr();
    Sys_MessageBox(u"Warnung: Level-Datei unvollst\u00e4ndig");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "MESSAGE: Warnung: Level-Datei unvollst\xC3\xA4ndig\n");
}

TEST(SystemOutput, RuntimeErrorCarriesItsMessageAsUtf8) {
    EXPECT_STREQ(RuntimeError(u"cant open tiles.txt").what(), "cant open tiles.txt");
    EXPECT_STREQ(RuntimeError(u"Gr\u00f6\u00dfe").what(), "Gr\xC3\xB6\xC3\x9F"
                                                          "e");
}

TEST(SystemFlags, FocusMakesTheGameSuspendedUnlessHeadless) {
    HarnessConfig windowed; // as on a desktop
    Fresh(windowed);
    ASSERT_FALSE(Sys_Headless());
    EXPECT_FALSE(Sys_Suspended()) << "active until told otherwise";
    Key(SDL_SCANCODE_E, SDLK_e, true);
    Button(SDL_BUTTON_LEFT, true);
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_TRUE(Sys_Suspended());
    EXPECT_FALSE(Key_Down(VK::KEY_A + 4)) << "key-ups never arrive while away: nothing stays held";
    EXPECT_FALSE(Mouse_Down(1));
    Window(SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    EXPECT_FALSE(Sys_Suspended());

    Fresh(); // headless: an offscreen window never gets the focus, so it must never pause
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(Sys_Suspended());

    HarnessConfig scripted; // a real window, but run by a script: pausing would stop its frames for good
    scripted.exitAfter = 100;
    Fresh(scripted);
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(Sys_Suspended());
}

TEST(SystemFlags, QuitAndCloseRequestTermination) {
    Fresh();
    EXPECT_FALSE(Sys_CloseRequested());
    Quit();
    Pump();
    EXPECT_TRUE(Sys_CloseRequested());
    Sys_ClearCloseRequest();
    Window(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_TRUE(Sys_CloseRequested());
    Sys_ClearCloseRequest();
}

TEST(SystemStart, ProgramFolderBecomesTheCurrentFolderOnlyForTheProgram) {
    TempFolder appFolder; // restores the current folder at the end
    TempFolder elsewhere;
    setenv("BQ_APP_FOLDER", appFolder.path().c_str(), 1);
    ASSERT_EQ(chdir(elsewhere.path().c_str()), 0);
    Sys_Init(0, nullptr); // a test: stays where it is
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(elsewhere.path()));
    char name[] = "brisquel2";
    char* argv[] = {name, nullptr};
    Sys_Init(1, argv); // the program: relative paths below its own folder, as a launcher's "start in" made them
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(appFolder.path()));
    unsetenv("BQ_APP_FOLDER");
    Fresh();
}

TEST(SystemDesktop, OffscreenDesktopAllowsAWindow) {
    Fresh();
    EXPECT_GT(Sys_DesktopWidth(), 800);
    EXPECT_GT(Sys_DesktopHeight(), 600);
}

// ---- Wallpaper ------------------------------------------------------------------------------------------------

std::string Joined(const std::vector<WallpaperCommand>& plan) {
    std::string s;
    for (const WallpaperCommand& c : plan) {
        if (!s.empty()) s += "\n";
        for (const std::string& a : c.argv)
            s += (s.empty() || s.back() == '\n' ? "" : " ") + a;
        if (c.optional) s += " (optional)";
    }
    return s;
}

WallpaperHost Host(const std::string& desktop, std::vector<std::string> programs = {}, bool display = true,
                   std::string xfceList = "") {
    WallpaperHost h;
    h.desktop = desktop;
    h.display = display;
    h.hasProgram = [programs](const std::string& p) {
        for (const std::string& q : programs)
            if (q == p) return true;
        return false;
    };
    h.query = [xfceList](const std::vector<std::string>& argv) {
        return argv.size() == 4 && argv[0] == "xfconf-query" && argv[3] == "-l" ? xfceList : std::string();
    };
    return h;
}

TEST(Wallpaper, CommandsChosenPerDesktop) {
    const std::string img = "/home/m/.local/share/Brisquel2/wallpaper_3.bmp";
    const std::string uri = "file://" + img;
    const std::map<std::string, std::string> want = {
        {"GNOME", "gsettings set org.gnome.desktop.background picture-uri " + uri +
                      "\ngsettings set org.gnome.desktop.background picture-uri-dark " + uri + " (optional)"},
        {"ubuntu:GNOME", "gsettings set org.gnome.desktop.background picture-uri " + uri +
                             "\ngsettings set org.gnome.desktop.background picture-uri-dark " + uri + " (optional)"},
        {"X-Cinnamon", "gsettings set org.cinnamon.desktop.background picture-uri " + uri},
        {"mate", "gsettings set org.mate.background picture-filename " + img},
        {"LXQt", "pcmanfm-qt --set-wallpaper=" + img},
        {"LXDE", "pcmanfm --set-wallpaper=" + img},
        {"Hyprland", ""}, // unknown, and neither feh nor xwallpaper installed
        {"", ""},
    };
    for (const auto& [desktop, commands] : want)
        EXPECT_EQ(Joined(Wallpaper_Plan(Host(desktop), img)), commands) << "desktop \"" << desktop << "\"";

    EXPECT_EQ(Joined(Wallpaper_Plan(Host("KDE", {"plasma-apply-wallpaperimage", "qdbus"}), img)),
              "plasma-apply-wallpaperimage " + img);
    const std::vector<WallpaperCommand> qdbus = Wallpaper_Plan(Host("KDE", {"qdbus"}), img);
    ASSERT_EQ(qdbus.size(), 1u);
    EXPECT_EQ(qdbus[0].argv[0], "qdbus");
    EXPECT_NE(qdbus[0].argv.back().find("'" + uri + "'"), std::string::npos);
    EXPECT_TRUE(Wallpaper_Plan(Host("KDE"), img).empty());

    EXPECT_EQ(Joined(Wallpaper_Plan(Host("i3", {"xwallpaper", "feh"}), img)), "feh --bg-fill " + img);
    EXPECT_EQ(Joined(Wallpaper_Plan(Host("i3", {"xwallpaper"}), img)), "xwallpaper --zoom " + img);
    EXPECT_TRUE(Wallpaper_Plan(Host("i3", {"feh"}, /*display=*/false), img).empty());
}

TEST(Wallpaper, XfceSetsEveryMonitorsImage) {
    const std::string list = "/backdrop/screen0/monitor0/workspace0/last-image\n"
                             "/backdrop/screen0/monitor0/workspace0/image-style\n"
                             "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n";
    EXPECT_EQ(Joined(Wallpaper_Plan(Host("XFCE", {}, true, list), "/w.bmp")),
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitor0/workspace0/last-image -s /w.bmp\n"
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitorHDMI-1/workspace0/last-image -s /w.bmp");
    // A fresh session lists nothing yet: the first screen's property is created.
    EXPECT_EQ(Joined(Wallpaper_Plan(Host("XFCE"), "/w.bmp")),
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitor0/workspace0/last-image -n -t string -s "
              "/w.bmp");
}

TEST(Wallpaper, UriEscapesSpacesQuotesAndUmlauts) {
    EXPECT_EQ(Wallpaper_FileUri("/home/J\xC3\xBCrgen/my 'pics'/a#1.bmp"),
              "file:///home/J%C3%BCrgen/my%20%27pics%27/a%231.bmp");
}

// Fake desktop tools on PATH that record their arguments, one line per call.
class FakeToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        const char* d = std::getenv("XDG_CURRENT_DESKTOP");
        oldDesktop_ = d ? d : "";
        hadDesktop_ = d != nullptr;
        setenv("PATH", (tmp_.path() + ":" + oldPath_).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        if (hadDesktop_)
            setenv("XDG_CURRENT_DESKTOP", oldDesktop_.c_str(), 1);
        else
            unsetenv("XDG_CURRENT_DESKTOP");
        Fresh();
    }
    // A tool that appends its arguments to log.txt and exits with `code` (or with failCode when an argument
    // matches failOn).
    void Tool(const std::string& name, int code = 0, const std::string& failOn = "", int failCode = 1) {
        const std::string file = tmp_ / name;
        std::ofstream(file) << "#!/bin/sh\n"
                            << "echo \"" << name << " $*\" >> '" << (tmp_ / "log.txt") << "'\n"
                            << (failOn.empty() ? ""
                                               : "for a in \"$@\"; do [ \"$a\" = '" + failOn + "' ] && exit " +
                                                     std::to_string(failCode) + "; done\n")
                            << "exit " << code << "\n";
        chmod(file.c_str(), 0755);
    }
    std::string Log() {
        std::ifstream f(tmp_ / "log.txt");
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    TempFolder tmp_;
    std::string oldPath_, oldDesktop_;
    bool hadDesktop_ = false;
};

TEST_F(FakeToolsTest, GnomeRunsGsettingsWithTheImageUri) {
    Tool("gsettings");
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    EXPECT_TRUE(Wallpaper_Apply("/data/wall paper.bmp"));
    EXPECT_EQ(Log(), "gsettings set org.gnome.desktop.background picture-uri file:///data/wall%20paper.bmp\n"
                     "gsettings set org.gnome.desktop.background picture-uri-dark file:///data/wall%20paper.bmp\n");
}

TEST_F(FakeToolsTest, OlderGnomeWithoutTheDarkKeyStillSucceeds) {
    Tool("gsettings", 0, "picture-uri-dark");
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    EXPECT_TRUE(Wallpaper_Apply("/w.bmp"));
}

TEST_F(FakeToolsTest, FailingToolIsReportedAsFailure) {
    Tool("gsettings", 1);
    setenv("XDG_CURRENT_DESKTOP", "X-Cinnamon", 1);
    EXPECT_FALSE(Wallpaper_Apply("/w.bmp"));
    setenv("XDG_CURRENT_DESKTOP", "MATE", 1);
    unlink((tmp_ / "gsettings").c_str());
    EXPECT_FALSE(Wallpaper_Apply("/w.bmp")) << "tool missing";
}

TEST_F(FakeToolsTest, XfceListsThePropertiesThenSetsThem) {
    const std::string file = tmp_ / "xfconf-query";
    std::ofstream(file) << "#!/bin/sh\n"
                        << "echo \"xfconf-query $*\" >> '" << (tmp_ / "log.txt") << "'\n"
                        << "[ \"$3\" = -l ] && echo /backdrop/screen0/monitorDP-2/workspace1/last-image\n"
                        << "exit 0\n";
    chmod(file.c_str(), 0755);
    setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    EXPECT_TRUE(Wallpaper_Apply("/w.bmp"));
    EXPECT_EQ(Log(),
              "xfconf-query -c xfce4-desktop -l\n"
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitorDP-2/workspace1/last-image -s /w.bmp\n");
}

TEST_F(FakeToolsTest, HeadlessNeverChangesTheWallpaper) {
    Tool("gsettings");
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    Fresh();
    ASSERT_TRUE(Sys_Headless());
    EXPECT_FALSE(Sys_SetWallpaper(u"wallpaper_1.bmp"));
    EXPECT_EQ(Log(), "") << "nothing was run";
}

TEST_F(FakeToolsTest, RelativeAndBackslashPathsBecomeAbsolute) {
    Tool("gsettings");
    setenv("XDG_CURRENT_DESKTOP", "MATE", 1);
    HarnessConfig desktop; // not headless
    Fresh(desktop);
    ASSERT_EQ(chdir(tmp_.path().c_str()), 0);
    EXPECT_TRUE(Sys_SetWallpaper(u".\\data\\wallpaper_2.bmp"));
    EXPECT_EQ(Log(), "gsettings set org.mate.background picture-filename " + tmp_.path() + "/data/wallpaper_2.bmp\n");
}

TEST(Process, ExitCodesAndOutput) {
    std::string out;
    EXPECT_EQ(Process_Run({"sh", "-c", "echo one; echo two"}, 5000, &out), 0);
    EXPECT_EQ(out, "one\ntwo\n");
    EXPECT_EQ(Process_Run({"sh", "-c", "exit 3"}, 5000), 3);
    EXPECT_EQ(Process_Run({"no-such-program-anywhere"}, 5000), -1);
    EXPECT_EQ(Process_Run({}, 5000), -1);
    EXPECT_TRUE(Process_OnPath("sh"));
    EXPECT_FALSE(Process_OnPath("no-such-program-anywhere"));
}

// ---- How the process ends -------------------------------------------------------------------------------------

// What escaping main looks like: nothing catches the error on its way out.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wterminate"
[[noreturn]] void ThrowPastEveryHandler(const Str& message) noexcept { throw RuntimeError(message); }
#pragma GCC diagnostic pop

TEST(SystemDeathTest, UncaughtRuntimeErrorPrintsItsMessageAndExits255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Sys_Init(0, nullptr);
            ThrowPastEveryHandler(u"cant create match file!");
        },
        ::testing::ExitedWithCode(255), "^cant create match file!\n$");
}

TEST(SystemDeathTest, FatalSignalsPrintTheSignalAndExit255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<int, const char*> signals[] = {
        {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"}, {SIGFPE, "SIGFPE"}, {SIGILL, "SIGILL"}, {SIGABRT, "SIGABRT"}};
    for (const auto& [sig, name] : signals) {
        EXPECT_EXIT(
            {
                Sys_Init(0, nullptr);
                raise(sig);
            },
            ::testing::ExitedWithCode(255), std::string("fatal signal ") + name);
    }
}

} // namespace
