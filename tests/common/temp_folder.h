// A fresh temporary folder for one test (mkdtemp under $TMPDIR or /tmp), removed with everything in it at the end.
// The current folder is restored too, so tests may Dir_Change freely. Used by the platform, editor and toolkit tests.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "common/test_common.h"

class TempFolder {
  public:
    TempFolder() : path_(TestTemp_Make("test")) {
        std::error_code ec;
        oldCwd_ = std::filesystem::current_path(ec);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::current_path(oldCwd_, ec);
        TestTemp_Remove(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

  private:
    std::string path_;
    std::filesystem::path oldCwd_;
};
