#include "system/win32/BitmapResource.h"

#include <windows.h>

#include "system/Dib.h"

bool LoadBitmapResource(const wchar_t* name, Bitmap& picture) {
    picture.Release();
    // Resources stay mapped with the module: nothing to release.
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, name, RT_BITMAP);
    if (resource == nullptr) {
        return false;
    }
    const HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    return DecodePackedDib(static_cast<const uint8_t*>(data), SizeofResource(module, resource),
                           picture);
}
