// Whole small files (settings, message file, install record) read in one go.
#pragma once

#include <string>

#include "system/System.h"

// Appends the file's bytes to `bytes`; false when it cannot be opened or a read fails.
bool ReadWholeFile(System& system, const std::string& path, std::string& bytes);
