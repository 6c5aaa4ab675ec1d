// A fresh temporary folder for one test (mkdtemp under $TMPDIR or /tmp), removed with everything in it at the end.
// The current folder is restored too, so tests may Dir_Change freely. Used by the platform tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

class TempFolder {
  public:
    TempFolder() {
        std::error_code ec;
        oldCwd_ = std::filesystem::current_path(ec);
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/bq_test_XXXXXX";
        if (mkdtemp(templ.data())) path_ = templ;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::current_path(oldCwd_, ec);
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

  private:
    std::string path_;
    std::filesystem::path oldCwd_;
};
