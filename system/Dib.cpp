#include "system/Dib.h"

#include <cstring>
#include <limits>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint32_t kRunLength8 = 1;    // BI_RLE8

uint32_t Read32(const uint8_t* p) {
    return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}
void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

// Paints `count` pixels of one row of the picture from colour indexes.
bool PaintIndexes(const uint8_t* indexes, size_t count, const uint8_t* palette,
                  uint32_t paletteEntries, uint8_t* out) {
    for (size_t i = 0; i < count; ++i, out += 3) {
        if (indexes[i] >= paletteEntries) {
            return false;
        }
        std::memcpy(out, palette + 4 * indexes[i], 3);  // blue, green, red, reserved
    }
    return true;
}

// Decodes run-length encoded 8-bit bits (bottom-up) into the allocated picture. Pixels
// that the runs skip keep colour 0. False for runs that leave the picture, colours
// beyond the table, or data that ends before the end-of-picture mark.
bool DecodeRunLength8(const uint8_t* bits, size_t size, const uint8_t* palette,
                      uint32_t paletteEntries, Bitmap& picture) {
    const size_t w = static_cast<size_t>(picture.Width());
    const size_t h = static_cast<size_t>(picture.Height());
    for (size_t y = 0; y < h; ++y) {
        uint8_t* out = picture.Row(static_cast<int32_t>(y));
        for (size_t x = 0; x < w; ++x) {
            std::memcpy(out + 3 * x, palette, 3);  // the table has at least one colour
        }
    }
    size_t i = 0, x = 0, y = 0;  // y counts from the bottom row
    while (i + 2 <= size) {
        const uint8_t count = bits[i], value = bits[i + 1];
        i += 2;
        if (count > 0) {  // `count` pixels of colour `value`
            if (y >= h || count > w - x || value >= paletteEntries) {
                return false;
            }
            uint8_t* out = picture.Row(static_cast<int32_t>(h - 1 - y)) + 3 * x;
            for (size_t n = 0; n < count; ++n) {
                std::memcpy(out + 3 * n, palette + 4 * value, 3);
            }
            x += count;
        } else if (value >= 3) {  // `value` literal pixels, padded to an even count
            const size_t padded = (value + 1u) & ~size_t{1};
            if (y >= h || value > w - x || padded > size - i ||
                !PaintIndexes(bits + i, value, palette, paletteEntries,
                              picture.Row(static_cast<int32_t>(h - 1 - y)) + 3 * x)) {
                return false;
            }
            x += value;
            i += padded;
        } else if (value == 0) {  // end of row
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return true;
        } else {  // move right and up
            if (i + 2 > size || bits[i] > w - x || bits[i + 1] > h - y) {
                return false;
            }
            x += bits[i];
            y += bits[i + 1];
            i += 2;
        }
    }
    return false;
}

// The header at `info`; the colour table follows it, the bits are given apart.
bool DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
               Bitmap& picture) {
    if (infoSize < kInfoHeaderSize) {
        return false;
    }
    const uint32_t headerSize = Read32(info);
    const int32_t width = static_cast<int32_t>(Read32(info + 4));
    const int32_t rawHeight = static_cast<int32_t>(Read32(info + 8));
    const uint16_t bitCount = Read16(info + 14);
    const uint32_t compression = Read32(info + 16);
    const uint32_t coloursUsed = Read32(info + 32);
    const bool runLength = compression == kRunLength8 && bitCount == 8 && rawHeight > 0;
    if (headerSize < kInfoHeaderSize || headerSize > infoSize ||
        (compression != kUncompressed && !runLength) || (bitCount != 8 && bitCount != 24) ||
        width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<int32_t>::min()) {
        return false;
    }
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    const uint8_t* palette = info + headerSize;
    const uint32_t paletteEntries = bitCount == 8 ? (coloursUsed == 0 ? 256 : coloursUsed) : 0;
    if (paletteEntries > 256 || (infoSize - headerSize) / 4 < paletteEntries) {
        return false;
    }
    // Rows of the file are padded to 4 bytes, like ours.
    const size_t rowBytes =
        bitCount == 8 ? ((static_cast<size_t>(width) + 3) & ~size_t{3}) : Bitmap::StrideFor(width);
    if (runLength) {
        if (!picture.Allocate(width, height) ||
            !DecodeRunLength8(bits, bitsSize, palette, paletteEntries, picture)) {
            picture.Release();
            return false;
        }
        return true;
    }
    if (rowBytes == 0 || bitsSize / rowBytes < static_cast<size_t>(height)) {
        return false;
    }
    if (!picture.Allocate(width, height)) {
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = bits + rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y);
        uint8_t* out = picture.Row(y);
        if (bitCount == 24) {
            std::memcpy(out, in, static_cast<size_t>(width) * 3);
            continue;
        }
        if (!PaintIndexes(in, static_cast<size_t>(width), palette, paletteEntries, out)) {
            picture.Release();
            return false;
        }
    }
    return true;
}

}  // namespace

bool DecodePackedDib(const uint8_t* data, size_t size, Bitmap& picture) {
    picture.Release();
    if (size < kInfoHeaderSize) {
        return false;
    }
    const uint32_t headerSize = Read32(data);
    const uint16_t bitCount = Read16(data + 14);
    const uint32_t coloursUsed = Read32(data + 32);
    // A 24-bit picture may carry a colour table too; the bits follow it.
    const uint64_t tableEntries = bitCount == 8 && coloursUsed == 0 ? 256 : coloursUsed;
    const uint64_t bitsOffset = uint64_t{headerSize} + 4 * tableEntries;
    if (bitsOffset > size) {
        return false;
    }
    const size_t offset = static_cast<size_t>(bitsOffset);
    return DecodeDib(data, offset, data + offset, size - offset, picture);
}

bool DecodeBmpFile(const std::string& bytes, Bitmap& picture) {
    picture.Release();
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint32_t bitsOffset = Read32(data + 10);
    if (bitsOffset < kFileHeaderSize + kInfoHeaderSize || bitsOffset > bytes.size()) {
        return false;
    }
    return DecodeDib(data + kFileHeaderSize, bitsOffset - kFileHeaderSize, data + bitsOffset,
                     bytes.size() - bitsOffset, picture);
}

std::string EncodeBmpFile(const Bitmap& picture) {
    const uint32_t bitsSize = static_cast<uint32_t>(picture.SizeBytes());
    std::string out;
    out += "BM";
    Put32(out, static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize) + bitsSize);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize));
    Put32(out, static_cast<uint32_t>(kInfoHeaderSize));
    Put32(out, static_cast<uint32_t>(picture.Width()));
    Put32(out, static_cast<uint32_t>(picture.Height()));
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, kUncompressed);
    Put32(out, bitsSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t y = picture.Height() - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(picture.Row(y)), picture.Stride());
    }
    return out;
}
