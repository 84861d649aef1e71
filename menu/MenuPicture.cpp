#include "menu/MenuPicture.h"

#include <algorithm>

namespace {

// How far each label is moved right when the buttons sit at the right edge, so
// that its end keeps a small margin to the picture's edge.
constexpr int32_t kRightAlignOffset[kSlotCount] = {0, 31, 0, 51};

bool AlignsRight(int32_t buttonAlign) {
    return buttonAlign % 2 > 0;
}
bool AlignsBottom(int32_t buttonAlign) {
    return buttonAlign / 2 > 0;
}

// One pixel of a label in the three looks; all arithmetic unsigned and truncating.
void ComposePixel(const uint8_t* mask, uint32_t buttonColor, uint8_t* normal, uint8_t* hot,
                  uint8_t* dim) {
    const unsigned sB = mask[0];
    const unsigned sG = mask[1];
    const unsigned sR = mask[2];
    for (int channel = 0; channel < 3; ++channel) {
        // The picture is blue, green, red; ButtonColor is 0x00BBGGRR.
        const unsigned K = (buttonColor >> (8 * (2 - channel))) & 0xFF;
        const unsigned P = normal[channel];
        const unsigned D = dim[channel];
        const unsigned t = P * (255 - sR) / 255;
        const unsigned N = ((255 - sG) * t + K * sG) / 255;
        normal[channel] = static_cast<uint8_t>(N);
        hot[channel] = static_cast<uint8_t>(((255 - sB) * N + 255 * sB) / 255);
        dim[channel] = static_cast<uint8_t>(((255 - sG) * D + (K * sG) / 2) / 255);
    }
}

}  // namespace

bool IsMenuPictureLargeEnough(const Bitmap& picture) {
    return picture.Width() >= kSlotWidth && picture.Height() >= kSlotCount * kSlotHeight;
}

void LayoutButtonSlots(int32_t width, int32_t height, int32_t buttonAlign,
                       ButtonRect (&rects)[kSlotCount]) {
    const int32_t left = AlignsRight(buttonAlign) ? width - kSlotWidth : 0;
    // At the top, slot 0 lies above the picture and slot 1 starts at its edge.
    const int32_t firstTop =
        AlignsBottom(buttonAlign) ? height - kSlotCount * kSlotHeight : -kSlotHeight;
    for (int i = 0; i < kSlotCount; ++i) {
        rects[i].left = left;
        rects[i].right = left + kSlotWidth;
        rects[i].top = firstTop + kSlotHeight * i;
        rects[i].bottom = rects[i].top + kSlotHeight;
    }
}

bool ComposeMenuPictures(const Bitmap& picture, const Bitmap& strip, const TSetupSettings& settings,
                         MenuPictures& pictures) {
    if (!pictures.PicNormal.CopyFrom(picture) || !pictures.PicHot.CopyFrom(picture) ||
        !pictures.PicDim.CopyFrom(picture)) {
        return false;
    }
    for (int32_t i = kSlotInstall; i < kSlotCount; ++i) {
        const ButtonRect& rect = settings.ButtonRects[i];
        const int32_t offset = AlignsRight(settings.ButtonAlign) ? kRightAlignOffset[i] : 0;
        const int32_t w = kSlotWidth - offset;
        for (int32_t j = 0; j < kSlotHeight; ++j) {
            const int32_t y = rect.top + j;
            const int32_t stripY = kSlotHeight * i + j;
            if (y < 0 || y >= picture.Height() || stripY >= strip.Height()) {
                continue;
            }
            for (int32_t k = 0; k < w && k < strip.Width(); ++k) {
                const int32_t x = rect.left + offset + k;
                if (x < 0 || x >= picture.Width()) {
                    continue;
                }
                ComposePixel(strip.Pixel(k, stripY), settings.ButtonColor,
                             pictures.PicNormal.Pixel(x, y), pictures.PicHot.Pixel(x, y),
                             pictures.PicDim.Pixel(x, y));
            }
        }
    }
    return true;
}

void CopySlotRect(const Bitmap& source, Bitmap& target, const ButtonRect& rect) {
    const int32_t left = std::max<int32_t>(rect.left, 0);
    const int32_t top = std::max<int32_t>(rect.top, 0);
    const int32_t right = std::min({rect.right, source.Width(), target.Width()});
    const int32_t bottom = std::min({rect.bottom, source.Height(), target.Height()});
    if (left >= right || top >= bottom) {
        return;
    }
    const size_t bytes = static_cast<size_t>(right - left) * Bitmap::kBytesPerPixel;
    for (int32_t y = top; y < bottom; ++y) {
        std::copy_n(source.Pixel(left, y), bytes, target.Pixel(left, y));
    }
}

ScreenPoint HotCursorPoint(const ButtonRect& rect, int32_t windowLeft, int32_t windowTop) {
    ScreenPoint point;
    point.x = windowLeft + (rect.left + 4 * rect.right) / 5;
    point.y = windowTop + (rect.top + 4 * rect.bottom) / 5;
    return point;
}
