#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "system/Dib.h"

namespace {

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// A packed 8-bit DIB of 3 x 2 pixels with a two-colour table; its bits the rows
// 0 1 0 / 1 1 1 unless given.
std::string PackedDib(int32_t height, uint32_t compression = 0,
                      const std::string& bits = std::string("\x00\x01\x00\x00\x01\x01\x01\x00", 8)) {
    std::string dib;
    Put32(dib, 40);
    Put32(dib, 3);
    Put32(dib, static_cast<uint32_t>(height));
    dib += std::string("\x01\x00\x08\x00", 4);  // planes, bits per pixel
    Put32(dib, compression);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 2);  // colours used
    Put32(dib, 0);
    dib += std::string("\x10\x20\x30\x00\x40\x50\x60\x00", 8);  // blue, green, red, 0
    return dib + bits;
}

std::string Pixel(const Bitmap& picture, int32_t x, int32_t y) {
    const uint8_t* p = picture.Pixel(x, y);
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

TEST(Dib, PaletteDibsBottomUpAndTopDown) {
    struct Case {
        int32_t height;
        const char* topLeft;
        const char* topMiddle;
    } cases[] = {
        {2, "64,80,96", "64,80,96"},   // bottom-up: the first data row is the bottom one
        {-2, "16,32,48", "64,80,96"},  // top-down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        const std::string dib = PackedDib(c.height);
        Bitmap picture;
        ASSERT_TRUE(
            DecodePackedDib(reinterpret_cast<const uint8_t*>(dib.data()), dib.size(), picture));
        EXPECT_EQ(3, picture.Width());
        EXPECT_EQ(2, picture.Height());
        EXPECT_EQ(c.topLeft, Pixel(picture, 0, 0));
        EXPECT_EQ(c.topMiddle, Pixel(picture, 1, 0));
    }
}

TEST(Dib, DamagedOrUnsupportedDibsAreRefused) {
    std::string badIndex = PackedDib(2);
    badIndex[40 + 8] = 2;  // beyond the two colours
    struct Case {
        const char* name;
        std::string dib;
    } cases[] = {
        {"empty", ""},
        {"header only", PackedDib(2).substr(0, 40)},
        {"bits cut short", PackedDib(2).substr(0, 40 + 8 + 6)},
        {"colour index beyond the table", badIndex},
        {"no rows", PackedDib(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap picture;
        EXPECT_FALSE(
            DecodePackedDib(reinterpret_cast<const uint8_t*>(c.dib.data()), c.dib.size(), picture));
        EXPECT_TRUE(picture.Empty());
    }
}

// The rows of a decoded 3 x 2 picture as colour indexes, top row first ("-" for a
// colour of neither).
std::string Indexes(const Bitmap& picture) {
    std::string rows;
    for (int32_t y = 0; y < picture.Height(); ++y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const std::string pixel = Pixel(picture, x, y);
            rows += pixel == "16,32,48" ? '0' : pixel == "64,80,96" ? '1' : '-';
        }
        rows += y + 1 < picture.Height() ? "/" : "";
    }
    return rows;
}

TEST(Dib, RunLengthEncodedDibs) {
    const std::string end("\x00\x01", 2);
    struct Case {
        const char* name;
        int32_t height;
        std::string bits;
        const char* rows;  // top row first; null: refused
    } cases[] = {
        {"runs, end of row, literal pixels padded to an even count", 2,
         std::string("\x02\x01\x01\x00\x00\x00\x00\x03\x01\x00\x01\x00", 12) + end,
         "101/110"},
        {"a move right and up skips pixels, which keep colour 0", 2,
         std::string("\x00\x02\x01\x01\x01\x01", 6) + end, "010/000"},
        {"the end mark alone", 2, end, "000/000"},
        {"a run beyond the row", 2, std::string("\x04\x01", 2) + end, nullptr},
        {"literal pixels beyond the row", 2, std::string("\x00\x04\x01\x01\x01\x01", 6) + end,
         nullptr},
        {"literal pixels cut short", 2, std::string("\x00\x03\x01", 3), nullptr},
        {"a colour beyond the table", 2, std::string("\x01\x02", 2) + end, nullptr},
        {"a move beyond the picture", 2, std::string("\x00\x02\x00\x03", 4) + end, nullptr},
        {"rows beyond the picture", 2, std::string("\x00\x00\x00\x00\x01\x01", 6) + end,
         nullptr},
        {"no end mark", 2, std::string("\x03\x01", 2), nullptr},
        {"top-down, which run-length bits cannot be", -2, end, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dib = PackedDib(c.height, 1, c.bits);
        Bitmap picture;
        const bool decoded =
            DecodePackedDib(reinterpret_cast<const uint8_t*>(dib.data()), dib.size(), picture);
        EXPECT_EQ(c.rows != nullptr, decoded);
        EXPECT_EQ(c.rows != nullptr ? c.rows : "", decoded ? Indexes(picture) : "");
        EXPECT_EQ(!decoded, picture.Empty());
    }
}

TEST(Dib, BmpFilesRoundTrip) {
    Bitmap picture;
    ASSERT_TRUE(picture.Allocate(5, 3));  // 15 bytes of pixels in rows of 16
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            uint8_t* p = picture.Pixel(x, y);
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(10 * x + y);
        }
    }
    const std::string file = EncodeBmpFile(picture);
    EXPECT_EQ(54u + 3 * 16, file.size());
    Bitmap back;
    ASSERT_TRUE(DecodeBmpFile(file, back));
    ASSERT_EQ(5, back.Width());
    ASSERT_EQ(3, back.Height());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(picture.Bits()), picture.SizeBytes()),
              std::string(reinterpret_cast<const char*>(back.Bits()), back.SizeBytes()));
    EXPECT_FALSE(DecodeBmpFile("XX" + file.substr(2), back));
    EXPECT_FALSE(DecodeBmpFile(file.substr(0, 60), back));
}

}  // namespace
