// Bitmap resources of the running executable.
#pragma once

#include "system/Bitmap.h"

// Decodes the bitmap resource `name` (an RT_BITMAP, a packed DIB) into `picture`.
// False, leaving it empty, when there is no such resource or it cannot be decoded.
bool LoadBitmapResource(const wchar_t* name, Bitmap& picture);
