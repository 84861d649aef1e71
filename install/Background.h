// The pictures of the full-screen background behind the install dialogs: the
// resampler, the picture fitted to the screen or tiled over it, and the gradient.
#pragma once

#include <cstdint>

#include "system/Bitmap.h"

// Resamples `source` into `target` at the target's size, bilinear with 8-bit
// weights, anchored at the top-left corner. Nothing happens when either is empty.
void StretchBitmap(const Bitmap& source, Bitmap& target);

struct PicturePlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The picture's size fitted to the screen with its aspect kept, centred. False for
// a picture with a width or height below 1.
bool FitPictureToScreen(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight,
                        PicturePlacement& placement);

// Fills `screen` with black and draws `picture` fitted and centred on it. False
// when the picture has no size (nothing drawn) or memory runs out.
bool DrawStretchedBackground(const Bitmap& picture, Bitmap& screen);

// Repeats `picture` unscaled from the top-left corner; the last tiles are cut
// at the screen's edges.
void DrawTiledBackground(const Bitmap& picture, Bitmap& screen);

// Blue of the gradient's row `row` of `height`: full blue at the top, darkening
// towards black at the bottom.
uint8_t GradientBlue(int32_t row, int32_t height);
void DrawGradientBackground(Bitmap& screen);
