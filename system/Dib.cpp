#include "system/Dib.h"

#include <cstring>
#include <limits>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;  // BI_RGB

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
    if (headerSize < kInfoHeaderSize || headerSize > infoSize || compression != kUncompressed ||
        (bitCount != 8 && bitCount != 24) || width <= 0 || rawHeight == 0 ||
        rawHeight == std::numeric_limits<int32_t>::min()) {
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
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const uint32_t index = in[x];
            if (index >= paletteEntries) {
                picture.Release();
                return false;
            }
            std::memcpy(out, palette + 4 * index, 3);  // blue, green, red, reserved
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
