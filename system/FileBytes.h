// Whole small files (settings, message file, install record) read in one go.
#pragma once

#include <cstdint>
#include <string>

#include "system/System.h"

// The most a file read whole may hold. Real ones are kilobytes, an install record of
// a hundred thousand files a few MiB; a larger file is no file of ours, and reading
// it would only take the memory of the elevated program.
inline constexpr int64_t kMaxWholeFileBytes = int64_t{16} << 20;

// Appends the file's bytes to `bytes`; false when it cannot be opened, a read fails
// or it holds more than kMaxWholeFileBytes.
bool ReadWholeFile(System& system, const std::string& path, std::string& bytes);
