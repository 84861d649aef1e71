// JPEG pictures into 24-bit bitmaps, with libjpeg. A file that cannot be decoded
// (empty, truncated, not a JPEG, too large for memory) is a failed result: libjpeg's
// own error handling, which ends the process, is never used.
#pragma once

#include <string>

#include "system/Bitmap.h"
#include "system/System.h"

// Decodes the whole of `file` at full size. On failure `picture` is left empty.
bool DecodeJpeg(InputFile& file, Bitmap& picture);
// Opens `path` through `system` and decodes it; false when it cannot be opened.
bool LoadJpegFile(System& system, const std::string& path, Bitmap& picture);
