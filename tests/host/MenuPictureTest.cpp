#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "menu/MenuPicture.h"
#include "system/Dib.h"

namespace {

struct Rect {
    int32_t left, top, right, bottom;
};

void ExpectRect(const Rect& expected, const ButtonRect& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

TEST(MenuPicture, SlotLayoutForEveryAlignment) {
    // left of every slot and top of slot 0 on a 320 x 240 picture.
    struct Case {
        int32_t align;
        int32_t left;
        int32_t firstTop;
    } cases[] = {
        {0, 0, -30},   {1, 200, -30}, {2, 0, 120},   {3, 200, 120},       {4, 0, 120},
        {5, 200, 120}, {6, 0, 120},   {7, 200, 120}, {-1, 0, -30},        {-2, 0, -30},
        {-3, 0, -30},  {-4, 0, -30},  {-5, 0, -30},  {INT32_MIN, 0, -30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        ButtonRect rects[kSlotCount];
        LayoutButtonSlots(320, 240, c.align, rects);
        for (int i = 0; i < kSlotCount; ++i) {
            SCOPED_TRACE(i);
            ExpectRect({c.left, c.firstTop + 30 * i, c.left + 120, c.firstTop + 30 * i + 30},
                       rects[i]);
        }
    }
}

TEST(MenuPicture, BottomRightSlotsOnTheDefaultPicture) {
    ButtonRect rects[kSlotCount];
    LayoutButtonSlots(320, 240, 3, rects);
    ExpectRect({200, 150, 320, 180}, rects[kSlotInstall]);
    ExpectRect({200, 180, 320, 210}, rects[kSlotUninstall]);
    ExpectRect({200, 210, 320, 240}, rects[kSlotExit]);

    LayoutButtonSlots(320, 240, 0, rects);
    ExpectRect({0, 0, 120, 30}, rects[kSlotInstall]);
    ExpectRect({0, 60, 120, 90}, rects[kSlotExit]);
}

TEST(MenuPicture, PictureMustHoldTheButtons) {
    struct Case {
        int32_t width, height;
        bool large;
    } cases[] = {{120, 120, true}, {320, 240, true}, {119, 400, false}, {400, 119, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Bitmap picture;
        ASSERT_TRUE(picture.Allocate(c.width, c.height));
        EXPECT_EQ(c.large, IsMenuPictureLargeEnough(picture));
    }
}

void Fill(Bitmap& picture, uint8_t b, uint8_t g, uint8_t r) {
    for (int32_t y = 0; y < picture.Height(); ++y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            uint8_t* p = picture.Pixel(x, y);
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

void Set(Bitmap& picture, int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r) {
    uint8_t* p = picture.Pixel(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

std::string Bgr(const Bitmap& picture, int32_t x, int32_t y) {
    const uint8_t* p = picture.Pixel(x, y);
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

TEST(MenuPicture, ComposesTheThreeLooksWithTruncatingArithmetic) {
    // Each case is one pixel of the Install label (align 0: strip row 1 lies on
    // picture rows 0 to 29), with the picture's colour, the strip's masks (blue =
    // glow, green = body, red = shadow) and ButtonColor (0x00BBGGRR).
    struct Case {
        const char* name;
        uint8_t picture[3];  // blue, green, red
        uint8_t mask[3];
        uint32_t color;
        const char *normal, *hot, *dim;
    } cases[] = {
        {"mixed",
         {200, 100, 50},
         {60, 150, 100},
         0x00C08040,
         "162,100,50",
         "183,136,98",
         "138,78,39"},
        {"no masks",
         {200, 100, 50},
         {0, 0, 0},
         0x00FFFFFF,
         "200,100,50",
         "200,100,50",
         "200,100,50"},
        {"full body", {10, 20, 30}, {0, 255, 255}, 0x00123456, "18,52,86", "18,52,86", "9,26,43"},
        {"glow only", {10, 20, 30}, {255, 0, 0}, 0x00FFFFFF, "10,20,30", "255,255,255", "10,20,30"},
        {"shadow only", {10, 20, 30}, {0, 0, 255}, 0x00FFFFFF, "0,0,0", "0,0,0", "10,20,30"},
        // Rounding instead of truncating gives 254 here.
        {"faint masks",
         {1, 254, 128},
         {1, 1, 1},
         0x00FFFFFF,
         "1,253,127",
         "1,253,127",
         "1,253,127"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap picture, strip;
        ASSERT_TRUE(picture.Allocate(120, 120));
        ASSERT_TRUE(strip.Allocate(120, 120));
        Fill(picture, 9, 9, 9);
        Set(picture, 17, 5, c.picture[0], c.picture[1], c.picture[2]);
        Set(strip, 17, 30 + 5, c.mask[0], c.mask[1], c.mask[2]);
        TSetupSettings settings;
        settings.ButtonColor = c.color;
        LayoutButtonSlots(120, 120, 0, settings.ButtonRects);
        MenuPictures looks;
        ASSERT_TRUE(ComposeMenuPictures(picture, strip, settings, looks));
        EXPECT_EQ(c.normal, Bgr(looks.PicNormal, 17, 5));
        EXPECT_EQ(c.hot, Bgr(looks.PicHot, 17, 5));
        EXPECT_EQ(c.dim, Bgr(looks.PicDim, 17, 5));
        // Zero masks elsewhere leave every look equal to the picture.
        EXPECT_EQ("9,9,9", Bgr(looks.PicNormal, 16, 5));
        EXPECT_EQ("9,9,9", Bgr(looks.PicHot, 17, 4));
        EXPECT_EQ("9,9,9", Bgr(looks.PicDim, 18, 5));
    }
}

TEST(MenuPicture, RightAlignedLabelsStartAtTheirOffset) {
    // One full-body mask column at the strip's left edge in every row; the label
    // colour is white on a black picture, so the composed columns show.
    Bitmap picture, strip;
    ASSERT_TRUE(picture.Allocate(320, 240));
    ASSERT_TRUE(strip.Allocate(120, 120));
    for (int32_t y = 0; y < 120; ++y) {
        Set(strip, 0, y, 0, 255, 0);
    }
    TSetupSettings settings;
    settings.ButtonColor = 0x00FFFFFF;
    settings.ButtonAlign = 3;
    LayoutButtonSlots(320, 240, 3, settings.ButtonRects);
    MenuPictures looks;
    ASSERT_TRUE(ComposeMenuPictures(picture, strip, settings, looks));
    struct Case {
        int32_t slot, x;
    } cases[] = {{kSlotInstall, 231}, {kSlotUninstall, 200}, {kSlotExit, 251}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        const int32_t y = settings.ButtonRects[c.slot].top + 3;
        EXPECT_EQ("255,255,255", Bgr(looks.PicNormal, c.x, y));
        EXPECT_EQ("0,0,0", Bgr(looks.PicNormal, c.x - 1, y));
        EXPECT_EQ("0,0,0", Bgr(looks.PicNormal, c.x + 1, y));
    }
    // Slot 0 (rows 120 to 149 here) is never drawn.
    EXPECT_EQ("0,0,0", Bgr(looks.PicNormal, 200, 130));
    EXPECT_EQ("0,0,0", Bgr(looks.PicDim, 200, 130));
}

TEST(MenuPicture, SlotsOutsideThePictureAreClipped) {
    // A picture too small for the slots and a short strip: nothing is written
    // outside either (the sanitizers watch), and what lies inside is composed.
    Bitmap picture, strip;
    ASSERT_TRUE(picture.Allocate(50, 40));
    ASSERT_TRUE(strip.Allocate(60, 45));
    Fill(strip, 0, 255, 0);
    TSetupSettings settings;
    settings.ButtonColor = 0x00FFFFFF;
    for (int32_t align : {0, 1, 2, 3}) {
        SCOPED_TRACE(align);
        settings.ButtonAlign = align;
        LayoutButtonSlots(50, 40, align, settings.ButtonRects);
        MenuPictures looks;
        ASSERT_TRUE(ComposeMenuPictures(picture, strip, settings, looks));
    }
    settings.ButtonAlign = 0;
    LayoutButtonSlots(50, 40, 0, settings.ButtonRects);
    MenuPictures looks;
    ASSERT_TRUE(ComposeMenuPictures(picture, strip, settings, looks));
    EXPECT_EQ("255,255,255", Bgr(looks.PicNormal, 49, 14));  // strip row 44, the last
    EXPECT_EQ("0,0,0", Bgr(looks.PicNormal, 49, 15));        // no strip row 45
}

TEST(MenuPicture, CopySlotRectCopiesTheVisiblePart) {
    Bitmap from, to;
    ASSERT_TRUE(from.Allocate(6, 4));
    ASSERT_TRUE(to.Allocate(6, 4));
    Fill(from, 1, 2, 3);
    CopySlotRect(from, to, ButtonRect{4, -2, 10, 2});
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(x >= 4 && y < 2 ? "1,2,3" : "0,0,0", Bgr(to, x, y));
        }
    }
}

TEST(MenuPicture, HotCursorPointIsFourFifthsIntoTheSlot) {
    struct Case {
        ButtonRect rect;
        int32_t windowLeft, windowTop, x, y;
    } cases[] = {
        {{200, 150, 320, 180}, 100, 50, 396, 224},
        {{0, 0, 120, 30}, 0, 0, 96, 24},
        // (-32 + 4 * -1) / 5 = -7.2: truncated towards zero, not floored.
        {{-32, -32, -1, -1}, 10, 10, 10 - 7, 10 - 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        const ScreenPoint point = HotCursorPoint(c.rect, c.windowLeft, c.windowTop);
        EXPECT_EQ(c.x, point.x);
        EXPECT_EQ(c.y, point.y);
    }
}

std::string ReadResource(const std::string& name) {
    std::string path = __FILE__;
    path = path.substr(0, path.rfind("tests/host/")) + "resources/" + name;
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(MenuPicture, BuiltInBitmapsHaveTheirSizesAndPalettes) {
    struct Case {
        const char* name;
        int32_t width, height;
    } cases[] = {{"SETUP_BACK.bmp", 320, 240}, {"SETUP_BTN.bmp", 120, 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = ReadResource(c.name);
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(8, file[28]);  // bits per pixel: a 256-colour palette
        Bitmap picture;
        ASSERT_TRUE(DecodeBmpFile(file, picture));
        EXPECT_EQ(c.width, picture.Width());
        EXPECT_EQ(c.height, picture.Height());
    }
}

TEST(MenuPicture, StripLabelsEndTenPixelsBeforeTheRightAlignedSlotEdge) {
    Bitmap strip;
    ASSERT_TRUE(DecodeBmpFile(ReadResource("SETUP_BTN.bmp"), strip));
    ASSERT_EQ(120, strip.Width());
    const int32_t offsets[kSlotCount] = {0, 31, 0, 51};
    for (int32_t slot = kSlotInstall; slot < kSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        int32_t bodyEnd = 0;     // one past the last column with label body
        int32_t anyMaskEnd = 0;  // one past the last column with any mask
        bool edgeRowsClear = true;
        for (int32_t j = 0; j < 30; ++j) {
            for (int32_t x = 0; x < 120; ++x) {
                const uint8_t* p = strip.Pixel(x, 30 * slot + j);
                if (p[1] > 0) {
                    bodyEnd = std::max(bodyEnd, x + 1);
                }
                if (p[0] > 0 || p[1] > 0 || p[2] > 0) {
                    anyMaskEnd = std::max(anyMaskEnd, x + 1);
                    edgeRowsClear = edgeRowsClear && j > 0 && j < 29;
                }
            }
        }
        const int32_t gap = 120 - offsets[slot] - bodyEnd;
        EXPECT_GE(gap, 8);
        EXPECT_LE(gap, 12);
        // The glow and the edge fit in the part of the row the menu uses.
        EXPECT_LE(anyMaskEnd, 120 - offsets[slot]);
        // Labels do not run into the rows of their neighbours.
        EXPECT_TRUE(edgeRowsClear);
    }
}

}  // namespace
