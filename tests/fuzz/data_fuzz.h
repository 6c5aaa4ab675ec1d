// Shared by the fuzz targets of the data files (config_fuzz.cpp, progress_fuzz.cpp): a data folder of their own, the
// input written as the file under test, and the check that stops the run at a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/config.h"
#include "platform/stream.h"

// Makes Data_Folder a fresh folder (in memory when possible: every save syncs its file) and silences the diagnostic
// lines. For LLVMFuzzerInitialize.
inline void DataFuzz_UseOwnFolder(const char* target) {
    std::string shm = std::string("/dev/shm/bq_") + target + "_XXXXXX";
    std::string tmp = std::string("/tmp/bq_") + target + "_XXXXXX";
    const char* dir = mkdtemp(shm.data()) ? shm.c_str() : mkdtemp(tmp.data());
    if (!dir) std::abort();
    Data_Folder = Str_FromUtf8(dir);
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}

// The fuzzer's bytes as the file at `path`, as a player's disk would hold them.
inline void DataFuzz_WriteFile(const Str& path, const uint8_t* data, size_t size) {
    const StreamPtr s = File_Write(path);
    if (!s) std::abort();
    Stream_WriteBytes(*s, data, size);
    s->Close();
}

inline void DataFuzz_Check(bool ok) {
    if (!ok) __builtin_trap();
}
