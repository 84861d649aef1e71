#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "system/Jpeg.h"
#include "tests/fakes/FakeSystem.h"

namespace {

struct Image {
    int width;
    int height;
    int components;
    J_COLOR_SPACE space;
    std::vector<uint8_t> samples;  // rows of `components` bytes per pixel
};

// A flat-coloured picture; colour pictures have two 8 px wide halves.
Image Flat(int width, int height, J_COLOR_SPACE space, std::vector<uint8_t> left,
           std::vector<uint8_t> right) {
    Image image{width, height, static_cast<int>(left.size()), space, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::vector<uint8_t>& pixel = x < 8 ? left : right;
            image.samples.insert(image.samples.end(), pixel.begin(), pixel.end());
        }
    }
    return image;
}

std::string Encode(const Image& image, bool progressive = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = image.width;
    cinfo.image_height = image.height;
    cinfo.input_components = image.components;
    cinfo.in_color_space = image.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;  // no chroma subsampling: exact flat colours
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(image.width) * image.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&image.samples[cinfo.next_scanline * rowBytes]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return bytes;
}

bool Decode(const std::string& bytes, Bitmap& picture) {
    FakeSystem system;
    system.AddFile("D:\\SETUP.jpg", bytes);
    return LoadJpegFile(system, "D:\\SETUP.jpg", picture);
}

// Blue, green and red of a pixel within `tolerance` of the wanted values.
void ExpectBgr(const Bitmap& picture, int32_t x, int32_t y, std::vector<int> bgr,
               int tolerance = 3) {
    const uint8_t* p = picture.Pixel(x, y);
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        EXPECT_NEAR(bgr[c], p[c], tolerance);
    }
}

TEST(Jpeg, DecodesColourGreyAndCmykIntoBlueGreenRed) {
    const Image colour = Flat(16, 8, JCS_RGB, {220, 30, 40}, {20, 40, 200});
    struct Case {
        const char* name;
        std::string file;
        std::vector<int> left, right;  // blue, green, red
    } cases[] = {
        {"baseline", Encode(colour), {40, 30, 220}, {200, 40, 20}},
        {"progressive", Encode(colour, true), {40, 30, 220}, {200, 40, 20}},
        {"grey", Encode(Flat(16, 8, JCS_GRAYSCALE, {77}, {200})), {77, 77, 77}, {200, 200, 200}},
        // Adobe CMYK is stored inverted: red = C * K / 255 and so on.
        {"cmyk",
         Encode(Flat(16, 8, JCS_CMYK, {255, 128, 0, 200}, {0, 255, 255, 255})),
         {0, 100, 200},
         {255, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap picture;
        ASSERT_TRUE(Decode(c.file, picture));
        EXPECT_EQ(16, picture.Width());
        EXPECT_EQ(8, picture.Height());
        ExpectBgr(picture, 2, 3, c.left);
        ExpectBgr(picture, 13, 7, c.right);
    }
}

TEST(Jpeg, RowsOfAnOddWidthArePaddedWithZeros) {
    Bitmap picture;
    ASSERT_TRUE(Decode(Encode(Flat(13, 5, JCS_RGB, {250, 250, 250}, {250, 250, 250})), picture));
    EXPECT_EQ(13, picture.Width());
    EXPECT_EQ(5, picture.Height());
    ASSERT_EQ(40u, picture.Stride());
    for (int32_t y = 0; y < 5; ++y) {
        SCOPED_TRACE(y);
        ExpectBgr(picture, 12, y, {250, 250, 250});
        EXPECT_EQ(0, picture.Row(y)[39]);
    }
}

// The two size fields of the first SOF marker set to `height` and `width`.
std::string WithDeclaredSize(std::string file, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 8 < file.size(); ++i) {
        const unsigned char marker = static_cast<unsigned char>(file[i + 1]);
        if (static_cast<unsigned char>(file[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            file[i + 5] = static_cast<char>(height >> 8);
            file[i + 6] = static_cast<char>(height & 0xFF);
            file[i + 7] = static_cast<char>(width >> 8);
            file[i + 8] = static_cast<char>(width & 0xFF);
            return file;
        }
    }
    ADD_FAILURE() << "no SOF marker";
    return file;
}

TEST(Jpeg, UndecodableFilesFailCleanly) {
    const Image grey = Flat(16, 16, JCS_GRAYSCALE, {90}, {180});
    const std::string good = Encode(grey);
    const std::string goodProgressive = Encode(grey, true);
    struct Case {
        const char* name;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"not a JPEG", "This is a text file, not a picture.\r\n"},
        {"a PNG signature", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"},
        {"start of image only", "\xFF\xD8"},
        {"cut after the header", good.substr(0, good.size() / 2)},
        {"cut before the end marker", good.substr(0, good.size() - 2)},
        {"progressive, cut", goodProgressive.substr(0, goodProgressive.size() * 2 / 3)},
        // Far more pixels than the data holds: fails when the memory cannot be had
        // (12 GB here), or else when the data runs out.
        {"65500 x 65500", WithDeclaredSize(good, 65500, 65500)},
        {"20000 x 20000", WithDeclaredSize(good, 20000, 20000)},
        {"65500 x 65500, progressive", WithDeclaredSize(goodProgressive, 65500, 65500)},
        {"0 x 16", WithDeclaredSize(good, 0, 16)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap picture;
        ASSERT_TRUE(picture.Allocate(4, 4));  // what was there before is released
        EXPECT_FALSE(Decode(c.file, picture));
        EXPECT_TRUE(picture.Empty());
    }
}

TEST(Jpeg, APictureDeclaringTooManyPixelsIsRefusedFromItsHeader) {
    // Noise, so that the data runs well beyond the first read of the decoder.
    Image noise{300, 300, 3, JCS_RGB, {}};
    uint32_t seed = 7;
    for (int i = 0; i < 300 * 300 * 3; ++i) {
        seed = seed * 1103515245 + 12345;
        noise.samples.push_back(static_cast<uint8_t>(seed >> 16));
    }
    const std::string good = Encode(noise);
    const std::string goodProgressive = Encode(noise, true);
    ASSERT_GT(good.size(), 100000u);
    struct Case {
        const char* name;
        std::string file;
        bool refusedFromHeader;
    } cases[] = {
        {"20000 x 10001", WithDeclaredSize(good, 20000, 10001), true},
        {"10001 x 20000, progressive", WithDeclaredSize(goodProgressive, 10001, 20000), true},
        {"65500 x 65500", WithDeclaredSize(good, 65500, 65500), true},
        // Within the limit: decoded until the data runs out.
        {"4000 x 3000", WithDeclaredSize(good, 4000, 3000), false},
    };
    ASSERT_GT(uint64_t{20000} * 10001, kMaxJpegPixels);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFile("D:\\SETUP.jpg", c.file);
        Bitmap picture;
        EXPECT_FALSE(LoadJpegFile(system, "D:\\SETUP.jpg", picture));
        EXPECT_TRUE(picture.Empty());
        const auto reads = std::count(system.operationLog.begin(), system.operationLog.end(),
                                      "Read D:\\SETUP.jpg");
        if (c.refusedFromHeader) {
            EXPECT_EQ(reads, 1);
        } else {
            EXPECT_GT(reads, 5);
        }
    }
}

TEST(Jpeg, MissingOrUnreadableFilesFail) {
    const std::string good = Encode(Flat(8, 8, JCS_GRAYSCALE, {1}, {1}));
    FakeSystem system;
    system.AddFile("D:\\SETUP.jpg", good);
    Bitmap picture;
    EXPECT_FALSE(LoadJpegFile(system, "D:\\SetupBk.jpg", picture));
    system.failIf = [](FakeOperation op, const std::string&) { return op == FakeOperation::Read; };
    EXPECT_FALSE(LoadJpegFile(system, "D:\\SETUP.jpg", picture));
    EXPECT_TRUE(picture.Empty());
    system.failIf = nullptr;
    EXPECT_TRUE(LoadJpegFile(system, "D:\\SETUP.jpg", picture));
    EXPECT_EQ(8, picture.Width());
}

}  // namespace
