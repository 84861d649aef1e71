// Any bytes as "SETUP.jpg" and "SetupBk.jpg": loaded through a fake system with
// libjpeg, then as the program uses them: the menu's three looks composed with the
// real label strip, and the background fitted to a screen (StretchBitmap) or tiled.
// Blocks above SETUP_MAX_ALLOCATION_MB cannot be had, as in a crowded 32-bit address
// space: a picture that declares a size too large for them goes through libjpeg's
// own checks and our failed-allocation paths. Pictures of a size between
// kMaxDecodedPixels and that limit would decode for real but slowly, even from a few
// bytes (arithmetic-coded data runs on without data); they are left out.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "config/SetupSettings.h"
#include "install/Background.h"
#include "menu/MenuPicture.h"
#include "system/Dib.h"
#include "system/Jpeg.h"
#include "tests/fakes/FakeSystem.h"

#define SETUP_STRINGIFY2(x) #x
#define SETUP_STRINGIFY(x) SETUP_STRINGIFY2(x)

extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=" SETUP_STRINGIFY(
        SETUP_MAX_ALLOCATION_MB);
}

namespace {

constexpr uint64_t kMaxDecodedPixels = uint64_t{1} << 20;
constexpr uint64_t kMaxAllocationBytes = uint64_t{SETUP_MAX_ALLOCATION_MB} << 20;

// Whether a frame header the decoder might read declares a picture that would be
// allocated and decoded but has more than kMaxDecodedPixels. Every byte pair that
// could start a frame header counts, wherever it lies.
bool DeclaresSlowSize(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 8 < size; ++i) {
        const uint8_t marker = data[i + 1];
        if (data[i] != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 ||
            marker == 0xCC) {
            continue;
        }
        const uint32_t height = static_cast<uint32_t>(data[i + 5] << 8 | data[i + 6]);
        const uint32_t width = static_cast<uint32_t>(data[i + 7] << 8 | data[i + 8]);
        const uint64_t bytes = Bitmap::StrideFor(static_cast<int32_t>(width)) * uint64_t{height};
        if (uint64_t{width} * height > kMaxDecodedPixels && bytes <= kMaxAllocationBytes) {
            return true;
        }
    }
    return false;
}

const Bitmap& LabelStrip() {
    static Bitmap strip;
    static bool loaded = false;
    if (!loaded) {
        std::ifstream file(SETUP_RESOURCES "/SETUP_BTN.bmp", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        FUZZ_CHECK(DecodeBmpFile(bytes, strip));
        loaded = true;
    }
    return strip;
}

void CheckSameSize(const Bitmap& a, const Bitmap& b) {
    FUZZ_CHECK(a.Width() == b.Width() && a.Height() == b.Height());
}

void ComposeMenu(const Bitmap& picture, uint8_t options) {
    if (!IsMenuPictureLargeEnough(picture)) {
        return;  // the program shows its built-in picture instead
    }
    TSetupSettings settings;
    settings.ButtonAlign = options & 3;
    settings.ButtonColor = options & 4 ? 0xFFFF : 0x123456;
    LayoutButtonSlots(picture.Width(), picture.Height(), settings.ButtonAlign,
                      settings.ButtonRects);
    MenuPictures looks;
    if (!ComposeMenuPictures(picture, LabelStrip(), settings, looks)) {
        return;  // out of memory: the program falls back as well
    }
    CheckSameSize(picture, looks.PicNormal);
    CheckSameSize(picture, looks.PicHot);
    CheckSameSize(picture, looks.PicDim);
    Bitmap shown;
    if (shown.CopyFrom(looks.PicNormal)) {
        for (int slot = kSlotInstall; slot < kSlotCount; ++slot) {
            CopySlotRect(looks.PicHot, shown, settings.ButtonRects[slot]);
        }
    }
}

void DrawBackground(const Bitmap& picture, uint8_t options) {
    // Screens from tiny to larger than the picture, of either shape.
    const int32_t width = 1 + (options >> 3) * 23;
    const int32_t height = 1 + (options & 7) * 37;
    Bitmap screen;
    if (!screen.Allocate(width, height)) {
        return;
    }
    if (options & 0x80) {
        DrawTiledBackground(picture, screen);
    } else if (DrawStretchedBackground(picture, screen)) {
        Bitmap whole;
        if (whole.Allocate(width, height)) {
            StretchBitmap(picture, whole);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaresSlowSize(data, size)) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Bytes after the picture's end are ignored by the decoder: the last one picks the
    // layout, the colour and the screen.
    const uint8_t options = size > 0 ? data[size - 1] : 0;
    // A second picture, when the input holds one after the first, is the background;
    // otherwise the one picture serves as both.
    const size_t second = bytes.rfind("\xFF\xD8\xFF");
    const bool twoPictures = second != std::string::npos && second > 0;
    FakeSystem system;
    system.AddFile("D:\\SETUP.jpg", bytes);
    system.AddFile("D:\\SetupBk.jpg", twoPictures ? bytes.substr(second) : bytes);

    Bitmap menuPicture;
    const bool menuLoaded = LoadJpegFile(system, "D:\\SETUP.jpg", menuPicture);
    FUZZ_CHECK(menuLoaded != menuPicture.Empty());
    if (menuLoaded) {
        ComposeMenu(menuPicture, options);
    }
    Bitmap backgroundPicture;
    const bool backgroundLoaded =
        twoPictures ? LoadJpegFile(system, "D:\\SetupBk.jpg", backgroundPicture) : menuLoaded;
    if (backgroundLoaded) {
        DrawBackground(twoPictures ? backgroundPicture : menuPicture, options);
    }
    return 0;
}
