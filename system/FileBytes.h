// Whole small files (settings, message file, install record) read in one go, and
// the lines of their text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/System.h"

// The most a file read whole may hold. Real ones are kilobytes, an install record of
// a hundred thousand files a few MiB; a larger file is no file of ours, and reading
// it would only take the memory of the elevated program.
inline constexpr int64_t kMaxWholeFileBytes = int64_t{16} << 20;

// Appends the file's bytes to `bytes`; false when it cannot be opened, a read fails
// or it holds more than kMaxWholeFileBytes.
bool ReadWholeFile(System& system, const std::string& path, std::string& bytes);
// The same of a file in its own right (System::OpenPlainFileForRead): false for a link
// or a file with further names.
bool ReadWholePlainFile(System& system, const std::string& path, std::string& bytes);

// Lines of a text that ends its lines in CR LF, LF or CR, as a text box shows
// them: a line break at the very end adds no empty line, and a NUL byte ends the
// text. Code page 932 trail bytes are never CR, LF or NUL, so bytes are split as
// they are.
std::vector<std::string> SplitTextLines(const std::string& text);
