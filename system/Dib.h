// Windows bitmaps to and from 24-bit bitmaps: packed DIBs as the executable's bitmap
// resources hold them, and .bmp files. 8-bit palette and 24-bit pictures, bottom-up
// or top-down; 8-bit ones also run-length encoded, which keeps the built-in pictures
// small in the executable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "system/Bitmap.h"

// A BITMAPINFOHEADER (or a later, longer one), its colour table, then the bits.
bool DecodePackedDib(const uint8_t* data, size_t size, Bitmap& picture);
// A .bmp file: "BM", the file header, then a packed DIB with its bits at the
// file header's offset.
bool DecodeBmpFile(const std::string& bytes, Bitmap& picture);
// A 24-bit bottom-up .bmp file of `picture`.
std::string EncodeBmpFile(const Bitmap& picture);
