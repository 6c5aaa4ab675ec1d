// Desktop wallpaper on Linux: a table of desktops and the commands each needs, and a small spawner (posix_spawnp,
// argument vectors, a timeout). Called by Sys_SetWallpaper; never used headless.
#include "platform/wallpaper.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kCommandTimeoutMs = 5000;

enum class Desktop { None, Gnome, Cinnamon, Mate, Kde, Xfce, Lxqt, Lxde };

struct DesktopName {
    const char* name; // lower case, as a token of XDG_CURRENT_DESKTOP
    Desktop desktop;
};
constexpr DesktopName kDesktops[] = {
    {"gnome", Desktop::Gnome},         {"unity", Desktop::Gnome},
    {"budgie", Desktop::Gnome},        {"budgie-desktop", Desktop::Gnome},
    {"pantheon", Desktop::Gnome},      {"ubuntu", Desktop::Gnome},
    {"gnome-classic", Desktop::Gnome}, {"gnome-flashback", Desktop::Gnome},
    {"x-cinnamon", Desktop::Cinnamon}, {"cinnamon", Desktop::Cinnamon},
    {"mate", Desktop::Mate},           {"kde", Desktop::Kde},
    {"xfce", Desktop::Xfce},           {"lxqt", Desktop::Lxqt},
    {"lxde", Desktop::Lxde},
};

// The first token of the colon-separated list that names a known desktop.
Desktop DesktopOf(const std::string& list) {
    std::stringstream in(list);
    std::string token;
    while (std::getline(in, token, ':')) {
        for (char& c : token)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const DesktopName& d : kDesktops)
            if (token == d.name) return d.desktop;
    }
    return Desktop::None;
}

std::string JsQuoted(const std::string& s) {
    std::string out = "'";
    for (const char c : s) {
        if (c == '\\' || c == '\'') out += '\\';
        out += c;
    }
    return out + "'";
}

int ElapsedMs(const timespec& since) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int>((now.tv_sec - since.tv_sec) * 1000 + (now.tv_nsec - since.tv_nsec) / 1000000);
}

} // namespace

std::string Wallpaper_FileUri(const std::string& absPath) {
    static const char* const hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char ch : absPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

std::vector<WallpaperCommand> Wallpaper_Plan(const WallpaperHost& host, const std::string& absPath) {
    const auto has = [&](const char* p) { return host.hasProgram && host.hasProgram(p); };
    std::vector<WallpaperCommand> plan;
    switch (DesktopOf(host.desktop)) {
    case Desktop::Gnome: {
        const std::string uri = Wallpaper_FileUri(absPath);
        plan.push_back({{"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri}});
        // The dark-style key exists from GNOME 42 on; older ones refuse it.
        plan.push_back({{"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", uri}, true});
        break;
    }
    case Desktop::Cinnamon:
        plan.push_back(
            {{"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", Wallpaper_FileUri(absPath)}});
        break;
    case Desktop::Mate:
        plan.push_back({{"gsettings", "set", "org.mate.background", "picture-filename", absPath}});
        break;
    case Desktop::Kde:
        if (has("plasma-apply-wallpaperimage")) {
            plan.push_back({{"plasma-apply-wallpaperimage", absPath}});
        } else if (has("qdbus")) {
            const std::string script = "desktops().forEach(function(d){d.wallpaperPlugin='org.kde.image';"
                                       "d.currentConfigGroup=['Wallpaper','org.kde.image','General'];"
                                       "d.writeConfig('Image'," +
                                       JsQuoted(Wallpaper_FileUri(absPath)) + ");});";
            plan.push_back(
                {{"qdbus", "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript", script}});
        }
        break;
    case Desktop::Xfce: {
        // One property per monitor and workspace; set every one that exists, or create the first screen's.
        std::vector<std::string> props;
        if (host.query) {
            std::stringstream in(host.query({"xfconf-query", "-c", "xfce4-desktop", "-l"}));
            std::string line;
            const std::string tail = "/last-image";
            while (std::getline(in, line))
                if (line.size() > tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                    props.push_back(line);
        }
        for (const std::string& p : props)
            plan.push_back({{"xfconf-query", "-c", "xfce4-desktop", "-p", p, "-s", absPath}});
        if (props.empty())
            plan.push_back({{"xfconf-query", "-c", "xfce4-desktop", "-p",
                             "/backdrop/screen0/monitor0/workspace0/last-image", "-n", "-t", "string", "-s", absPath}});
        break;
    }
    case Desktop::Lxqt:
        plan.push_back({{"pcmanfm-qt", "--set-wallpaper=" + absPath}});
        break;
    case Desktop::Lxde:
        plan.push_back({{"pcmanfm", "--set-wallpaper=" + absPath}});
        break;
    case Desktop::None:
        if (!host.display) break;
        if (has("feh"))
            plan.push_back({{"feh", "--bg-fill", absPath}});
        else if (has("xwallpaper"))
            plan.push_back({{"xwallpaper", "--zoom", absPath}});
        break;
    }
    return plan;
}

bool Process_OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path || program.empty() || program.find('/') != std::string::npos) return false;
    std::stringstream in(path);
    std::string dir;
    while (std::getline(in, dir, ':')) {
        const std::string full = (dir.empty() ? "." : dir) + "/" + program;
        struct stat st {};
        if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(full.c_str(), X_OK) == 0) return true;
    }
    return false;
}

int Process_Run(const std::vector<std::string>& argv, int timeoutMs, std::string* out) {
    if (argv.empty()) return -1;
    int pipeFd[2] = {-1, -1};
    if (out && pipe2(pipeFd, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    if (out)
        posix_spawn_file_actions_adddup2(&fa, pipeFd[1], 1);
    else
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (out) close(pipeFd[1]);
    if (rc != 0) {
        if (out) close(pipeFd[0]);
        return -1;
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    bool timedOut = false;
    if (out) {
        char buf[4096];
        for (;;) {
            const int left = timeoutMs - ElapsedMs(start);
            if (left <= 0) {
                timedOut = true;
                break;
            }
            pollfd p{pipeFd[0], POLLIN, 0};
            const int n = poll(&p, 1, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                timedOut = n == 0;
                break;
            }
            const ssize_t got = read(pipeFd[0], buf, sizeof buf);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            out->append(buf, static_cast<size_t>(got));
        }
        close(pipeFd[0]);
    }
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, timedOut ? 0 : WNOHANG);
        if (r == pid) break;
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (ElapsedMs(start) >= timeoutMs) { // still running
            kill(pid, SIGKILL);
            timedOut = true;
            continue;
        }
        const timespec nap{0, 5 * 1000000L};
        nanosleep(&nap, nullptr);
    }
    if (timedOut) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Wallpaper_Apply(const std::string& absPath) {
    WallpaperHost host;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    host.desktop = desktop ? desktop : "";
    host.display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    host.hasProgram = Process_OnPath;
    host.query = [](const std::vector<std::string>& argv) {
        std::string text;
        Process_Run(argv, kCommandTimeoutMs, &text);
        return text;
    };
    const std::vector<WallpaperCommand> plan = Wallpaper_Plan(host, absPath);
    if (plan.empty()) return false;
    bool ok = true;
    for (const WallpaperCommand& c : plan)
        if (Process_Run(c.argv, kCommandTimeoutMs) != 0 && !c.optional) ok = false;
    return ok;
}
