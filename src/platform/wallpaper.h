// Setting the desktop wallpaper on Linux desktops: which commands a desktop needs (a pure choice, tested per
// desktop) and running them without a shell. Called by Sys_SetWallpaper; the tests call the pieces directly.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct WallpaperCommand {
    std::vector<std::string> argv; // program and arguments, no shell
    bool optional = false;         // its failure does not fail the whole
};

// What the chooser may ask of the machine.
struct WallpaperHost {
    std::string desktop;                                               // XDG_CURRENT_DESKTOP, e.g. "ubuntu:GNOME"
    bool display = false;                                              // an X11 or Wayland display is there
    std::function<bool(const std::string&)> hasProgram;                // the program is found on PATH
    std::function<std::string(const std::vector<std::string>&)> query; // runs a command, returns its stdout
};

// The commands that set `absPath` as the wallpaper: GNOME-likes, Cinnamon and MATE through gsettings, XFCE through
// xfconf-query (every ".../last-image" property), KDE through plasma-apply-wallpaperimage (or qdbus), LXQt/LXDE
// through pcmanfm, another desktop with a display through feh or xwallpaper. Empty when none applies.
std::vector<WallpaperCommand> Wallpaper_Plan(const WallpaperHost& host, const std::string& absPath);
// "file://" URI of an absolute path, bytes outside the unreserved set percent-encoded.
std::string Wallpaper_FileUri(const std::string& absPath);
// Chooses for this machine (environment, PATH) and runs the commands; true when every needed one exited with 0.
bool Wallpaper_Apply(const std::string& absPath);

// Runs argv[0] (searched on PATH) with stdin and stderr on /dev/null; its stdout goes to *out when given (else to
// /dev/null). Kills it after timeoutMs. Returns its exit code, or -1 when it could not start, was killed or timed
// out.
int Process_Run(const std::vector<std::string>& argv, int timeoutMs, std::string* out = nullptr);
bool Process_OnPath(const std::string& program);
