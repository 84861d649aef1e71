#include "install/Background.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Copies `source`, or the part of it that fits, to (left, top) of `target`.
void DrawAt(const Bitmap& source, Bitmap& target, int32_t left, int32_t top) {
    const int32_t x0 = std::max<int32_t>(left, 0);
    const int32_t y0 = std::max<int32_t>(top, 0);
    const int32_t x1 = std::min<int64_t>(int64_t{left} + source.Width(), target.Width());
    const int32_t y1 = std::min<int64_t>(int64_t{top} + source.Height(), target.Height());
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const size_t bytes = static_cast<size_t>(x1 - x0) * Bitmap::kBytesPerPixel;
    for (int32_t y = y0; y < y1; ++y) {
        std::memcpy(target.Pixel(x0, y), source.Pixel(x0 - left, y - top), bytes);
    }
}

// The interpolation step; `>>` on a negative int is the arithmetic shift (floor)
// with every compiler we build with.
int Lerp(int a, int b, int weight) {
    return a - ((weight * (a - b)) >> 8);
}

}  // namespace

void StretchBitmap(const Bitmap& source, Bitmap& target) {
    const int32_t w = source.Width();
    const int32_t h = source.Height();
    const int32_t tw = target.Width();
    const int32_t th = target.Height();
    if (w <= 0 || h <= 0 || tw <= 0 || th <= 0) {
        return;
    }
    // Per target column, computed once: the byte offset of its left source pixel, the
    // step to the right neighbour (none at the last source column) and the weight.
    struct Column {
        size_t offset;
        size_t step;
        int weight;
    };
    std::unique_ptr<Column[]> columns(new (std::nothrow) Column[tw]);
    if (!columns) {
        return;
    }
    int64_t acc = 0;
    for (int32_t j = 0; j < tw; ++j, acc += w) {
        const int32_t sx = static_cast<int32_t>(acc / tw);
        columns[j].offset = static_cast<size_t>(sx) * Bitmap::kBytesPerPixel;
        columns[j].step = sx < w - 1 ? Bitmap::kBytesPerPixel : 0;
        columns[j].weight = static_cast<int>((acc % tw) * 256 / tw);
    }
    acc = 0;
    for (int32_t i = 0; i < th; ++i, acc += h) {
        const int32_t sy = static_cast<int32_t>(acc / th);
        const int fy = static_cast<int>((acc % th) * 256 / th);
        const uint8_t* rowA = source.Row(sy);
        const uint8_t* rowB = sy < h - 1 ? source.Row(sy + 1) : rowA;
        uint8_t* out = target.Row(i);
        for (int32_t j = 0; j < tw; ++j, out += Bitmap::kBytesPerPixel) {
            const Column& column = columns[j];
            const uint8_t* a = rowA + column.offset;
            const uint8_t* b = rowB + column.offset;
            const size_t step = column.step;
            const int fx = column.weight;
            for (int c = 0; c < Bitmap::kBytesPerPixel; ++c) {
                const int top = Lerp(a[c], a[c + step], fx);
                const int bottom = Lerp(b[c], b[c + step], fx);
                out[c] = static_cast<uint8_t>(Lerp(top, bottom, fy));
            }
        }
    }
}

bool FitPictureToScreen(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight,
                        PicturePlacement& placement) {
    if (width < 1 || height < 1) {
        return false;
    }
    int64_t fittedWidth = screenWidth;
    int64_t fittedHeight = int64_t{height} * screenWidth / width;
    if (fittedHeight > screenHeight) {
        fittedWidth = int64_t{width} * screenHeight / height;
        fittedHeight = screenHeight;
    }
    placement.width = static_cast<int32_t>(fittedWidth);
    placement.height = static_cast<int32_t>(fittedHeight);
    placement.left = (screenWidth - placement.width) / 2;
    placement.top = (screenHeight - placement.height) / 2;
    return true;
}

bool DrawStretchedBackground(const Bitmap& picture, Bitmap& screen) {
    PicturePlacement placement;
    if (!FitPictureToScreen(picture.Width(), picture.Height(), screen.Width(), screen.Height(),
                            placement)) {
        return false;
    }
    Bitmap fitted;
    if (!fitted.Allocate(placement.width, placement.height)) {
        return false;
    }
    StretchBitmap(picture, fitted);
    if (!screen.Empty()) {
        std::memset(screen.Bits(), 0, screen.SizeBytes());
    }
    DrawAt(fitted, screen, placement.left, placement.top);
    return true;
}

void DrawTiledBackground(const Bitmap& picture, Bitmap& screen) {
    if (picture.Empty()) {
        return;
    }
    for (int64_t x = 0; x < screen.Width(); x += picture.Width()) {
        for (int64_t y = 0; y < screen.Height(); y += picture.Height()) {
            DrawAt(picture, screen, static_cast<int32_t>(x), static_cast<int32_t>(y));
        }
    }
}

uint8_t GradientBlue(int32_t row, int32_t height) {
    if (height <= 0) {
        return 0;
    }
    return static_cast<uint8_t>(int64_t{height - row} * 255 / height);
}

void DrawGradientBackground(Bitmap& screen) {
    for (int32_t i = 0; i < screen.Height(); ++i) {
        uint8_t* pixel = screen.Row(i);
        const uint8_t blue = GradientBlue(i, screen.Height());
        for (int32_t x = 0; x < screen.Width(); ++x, pixel += Bitmap::kBytesPerPixel) {
            pixel[0] = blue;
            pixel[1] = 0;
            pixel[2] = 0;
        }
    }
}
