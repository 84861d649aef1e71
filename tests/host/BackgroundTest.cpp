#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/Background.h"

namespace {

// A picture from rows of pixels, each pixel given as its three bytes.
using Pixels = std::vector<std::vector<std::vector<int>>>;

Bitmap Make(const Pixels& rows) {
    Bitmap picture;
    EXPECT_TRUE(
        picture.Allocate(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size())));
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            for (int c = 0; c < 3; ++c) {
                picture.Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y))[c] =
                    static_cast<uint8_t>(rows[y][x][c]);
            }
        }
    }
    return picture;
}

Pixels Read(const Bitmap& picture) {
    Pixels rows(picture.Height());
    for (int32_t y = 0; y < picture.Height(); ++y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const uint8_t* p = picture.Pixel(x, y);
            rows[y].push_back({p[0], p[1], p[2]});
        }
    }
    return rows;
}

Pixels Stretch(const Pixels& source, int32_t width, int32_t height) {
    Bitmap target;
    EXPECT_TRUE(target.Allocate(width, height));
    StretchBitmap(Make(source), target);
    return Read(target);
}

TEST(Background, StretchBitmapAgainstHandWorkedValues) {
    struct Case {
        const char* name;
        Pixels source;
        int32_t width, height;
        Pixels expected;
    } cases[] = {
        {"identity",
         {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {{10, 20, 30}, {40, 50, 60}, {250, 251, 252}}},
         3,
         2,
         {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {{10, 20, 30}, {40, 50, 60}, {250, 251, 252}}}},
        // Columns 0, 0 + 128/256, 1, 1 (the last column has no right neighbour).
        // 0 - ((128 * (0 - 255)) >> 8) = 0 - (-32640 >> 8) = 128: the shift floors.
        {"2x1 to 4x1",
         {{{0, 100, 200}, {255, 50, 10}}},
         4,
         1,
         {{{0, 100, 200}, {128, 75, 105}, {255, 50, 10}, {255, 50, 10}}}},
        {"1x2 to 1x4",
         {{{0, 100, 200}}, {{255, 50, 10}}},
         1,
         4,
         {{{0, 100, 200}}, {{128, 75, 105}}, {{255, 50, 10}}, {{255, 50, 10}}}},
        // Weights 170 and 85 in both directions; the last row and column clamp.
        {"2x2 to 3x3",
         {{{0, 0, 0}, {200, 0, 0}}, {{100, 0, 0}, {40, 0, 0}}},
         3,
         3,
         {{{0, 0, 0}, {133, 0, 0}, {200, 0, 0}},
          {{67, 0, 0}, {86, 0, 0}, {94, 0, 0}},
          {{100, 0, 0}, {61, 0, 0}, {40, 0, 0}}}},
        // Shrinking picks every other column, without blending.
        {"4x1 to 2x1",
         {{{0, 1, 2}, {50, 51, 52}, {100, 101, 102}, {150, 151, 152}}},
         2,
         1,
         {{{0, 1, 2}, {100, 101, 102}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, Stretch(c.source, c.width, c.height));
    }
}

TEST(Background, StretchBitmapWithAnEmptySideDoesNothing) {
    Bitmap source = Make({{{9, 9, 9}}});
    Bitmap empty;
    ASSERT_TRUE(empty.Allocate(0, 5));
    Bitmap target = Make({{{7, 7, 7}, {7, 7, 7}}});
    StretchBitmap(empty, target);
    EXPECT_EQ((Pixels{{{7, 7, 7}, {7, 7, 7}}}), Read(target));
    StretchBitmap(source, empty);  // no crash, nothing to write
    EXPECT_TRUE(empty.Empty());
}

TEST(Background, StretchBitmapEnlargesUpToTheLastSourcePixel) {
    // Odd sizes both ways: the corners are the source's corners, and the reads
    // never leave the source (the sanitizers watch).
    Bitmap source;
    ASSERT_TRUE(source.Allocate(7, 5));
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            source.Pixel(x, y)[0] = static_cast<uint8_t>(10 * x + y);
        }
    }
    for (int32_t size : {11, 64}) {
        SCOPED_TRACE(size);
        Bitmap target;
        ASSERT_TRUE(target.Allocate(size, size + 2));
        StretchBitmap(source, target);
        EXPECT_EQ(0, target.Pixel(0, 0)[0]);
        EXPECT_EQ(64, target.Pixel(size - 1, size + 1)[0]);
    }
}

TEST(Background, FitsThePictureToA1024x768Screen) {
    struct Case {
        int32_t width, height;
        PicturePlacement expected;
    } cases[] = {
        {800, 600, {0, 0, 1024, 768}},
        {800, 400, {0, 128, 1024, 512}},
        {400, 800, {320, 0, 384, 768}},
        {1000, 700, {0, 26, 1024, 716}},  // 716.8 rows, truncated; 26 of 26.
        {1, 1, {128, 0, 768, 768}},
        {65500, 1, {0, 384, 1024, 0}},  // thinner than a row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        PicturePlacement placement;
        ASSERT_TRUE(FitPictureToScreen(c.width, c.height, 1024, 768, placement));
        EXPECT_EQ(c.expected.left, placement.left);
        EXPECT_EQ(c.expected.top, placement.top);
        EXPECT_EQ(c.expected.width, placement.width);
        EXPECT_EQ(c.expected.height, placement.height);
    }
    PicturePlacement placement;
    EXPECT_FALSE(FitPictureToScreen(0, 10, 1024, 768, placement));
    EXPECT_FALSE(FitPictureToScreen(10, 0, 1024, 768, placement));
}

TEST(Background, StretchedPictureIsCentredOnBlack) {
    // 2 x 1 on a 4 x 4 screen: 4 x 2 at row 1.
    Bitmap screen = Make(Pixels(4, std::vector<std::vector<int>>(4, {5, 5, 5})));
    ASSERT_TRUE(DrawStretchedBackground(Make({{{0, 100, 200}, {255, 50, 10}}}), screen));
    const std::vector<std::vector<int>> black(4, {0, 0, 0});
    const std::vector<std::vector<int>> picture = {
        {0, 100, 200}, {128, 75, 105}, {255, 50, 10}, {255, 50, 10}};
    EXPECT_EQ((Pixels{black, picture, picture, black}), Read(screen));

    Bitmap empty;
    EXPECT_FALSE(DrawStretchedBackground(empty, screen));
}

TEST(Background, TilesRepeatFromTheTopLeftAndAreCutAtTheEdges) {
    const Pixels tile = {{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, {{4, 0, 0}, {5, 0, 0}, {6, 0, 0}}};
    Bitmap screen;
    ASSERT_TRUE(screen.Allocate(7, 5));
    DrawTiledBackground(Make(tile), screen);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(tile[y % 2][x % 3][0], screen.Pixel(x, y)[0]);
        }
    }
}

TEST(Background, GradientFromFullBlueDarkensDownwards) {
    EXPECT_EQ(255, GradientBlue(0, 768));
    EXPECT_EQ(127, GradientBlue(384, 768));
    EXPECT_EQ(0, GradientBlue(767, 768));
    Bitmap screen;
    ASSERT_TRUE(screen.Allocate(2, 4));
    DrawGradientBackground(screen);
    const Pixels expected = {{{255, 0, 0}, {255, 0, 0}},
                             {{191, 0, 0}, {191, 0, 0}},
                             {{127, 0, 0}, {127, 0, 0}},
                             {{63, 0, 0}, {63, 0, 0}}};
    EXPECT_EQ(expected, Read(screen));
}

}  // namespace
