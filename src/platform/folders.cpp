// Folders behind folders.h: current folder, sorted listings, creation with parents, the program folder and the
// per-user data folder. Called by the runtime's start-up, the file requester and tests.
#include "platform/folders.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/stream.h"

struct DirListing {
    std::vector<std::string> names; // ".", "..", then the entries in byte order
    size_t next = 0;                // index of the name Dir_NextFile returns next
};

namespace {

// Drops trailing "/" except for the root itself.
std::string NoTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

bool IsFolder(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool Dir_Change(const Str& path) {
    const std::string native = Path_Native(path);
    return !native.empty() && ::chdir(native.c_str()) == 0;
}

Str Dir_Current() {
    std::vector<char> buf(PATH_MAX);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE || buf.size() > (1u << 20)) return Str();
        buf.resize(buf.size() * 2);
    }
    return Str_FromUtf8(NoTrailingSlash(buf.data()));
}

bool Dir_Create(const Str& path) {
    const std::string native = NoTrailingSlash(Path_Native(path));
    if (native.empty()) return false;
    if (IsFolder(native)) return true;
    // Create every missing component from the top.
    for (size_t i = 1; i <= native.size(); ++i) {
        if (i < native.size() && native[i] != '/') continue;
        const std::string part = native.substr(0, i);
        if (!IsFolder(part) && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(native);
}

DirPtr Dir_Open(const Str& path) {
    const std::string native = Path_Native(path.empty() ? Str(u".") : path);
    DIR* d = ::opendir(native.c_str());
    if (!d) return nullptr;
    auto listing = std::make_shared<DirListing>();
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") listing->names.push_back(name);
    }
    ::closedir(d);
    std::sort(listing->names.begin(), listing->names.end());
    listing->names.insert(listing->names.begin(), {".", ".."});
    return listing;
}

Str Dir_NextFile(const DirPtr& dir) {
    if (!dir || dir->next >= dir->names.size()) return Str();
    return Str_FromUtf8(dir->names[dir->next++]);
}

void Dir_Close(const DirPtr& dir) {
    if (!dir) return;
    dir->names.clear();
    dir->next = 0;
}

Str Sys_AppFolder() {
    if (const char* env = std::getenv("BQ_APP_FOLDER"); env && *env) return Str_FromUtf8(NoTrailingSlash(env));
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return Dir_Current();
    std::string exe(buf.data(), size_t(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return Dir_Current();
    return Str_FromUtf8(slash == 0 ? std::string("/") : exe.substr(0, slash));
}

Str Sys_AppDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return Str_FromUtf8(NoTrailingSlash(xdg));
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.empty()) return Sys_AppFolder();
    return Str_FromUtf8(NoTrailingSlash(home) + "/.local/share");
}

int Sys_DriveType(const Str& root) { return 1; }
