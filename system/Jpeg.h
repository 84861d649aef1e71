// JPEG pictures into 24-bit bitmaps, with libjpeg. A file that cannot be decoded
// (empty, truncated, not a JPEG, too large for memory) is a failed result: libjpeg's
// own error handling, which ends the process, is never used.
#pragma once

#include <cstdint>
#include <string>

#include "system/Bitmap.h"
#include "system/System.h"

// The most pixels a picture may declare: twice the largest camera pictures (about
// 100 megapixels), where a menu or background picture is a screen or two. A larger
// one is refused from its header alone: its bitmap and the menu's three looks of it
// would take gigabytes, and decoding it minutes.
inline constexpr uint64_t kMaxJpegPixels = 200000000;

// Decodes the whole of `file` at full size. On failure `picture` is left empty.
bool DecodeJpeg(InputFile& file, Bitmap& picture);
// Opens `path` through `system` and decodes it; false when it cannot be opened.
bool LoadJpegFile(System& system, const std::string& path, Bitmap& picture);
