#include "system/Bitmap.h"

#include <cstdlib>
#include <cstring>
#include <limits>

size_t Bitmap::StrideFor(int32_t width) {
    if (width < 0) {
        return 0;
    }
    const size_t bytes = static_cast<size_t>(width);
    if (bytes > (std::numeric_limits<size_t>::max() - 3) / kBytesPerPixel) {
        return 0;
    }
    return (bytes * kBytesPerPixel + 3) & ~static_cast<size_t>(3);
}

bool Bitmap::Allocate(int32_t width, int32_t height) {
    Release();
    if (width < 0 || height < 0) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;
    }
    const size_t stride = StrideFor(width);
    // Offsets into the bits must fit a ptrdiff_t.
    const size_t limit = static_cast<size_t>(std::numeric_limits<ptrdiff_t>::max());
    if (stride == 0 || stride > limit / static_cast<size_t>(height)) {
        return false;
    }
    const size_t size = stride * static_cast<size_t>(height);
    // calloc: a large block comes zeroed from the system without being touched,
    // so a picture that fails early in decoding costs no real memory.
    bits_.reset(static_cast<uint8_t*>(std::calloc(size, 1)));
    if (!bits_) {
        return false;
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    return true;
}

bool Bitmap::CopyFrom(const Bitmap& other) {
    if (this == &other) {
        return true;
    }
    if (!Allocate(other.width_, other.height_)) {
        return false;
    }
    if (!Empty()) {
        std::memcpy(bits_.get(), other.bits_.get(), SizeBytes());
    }
    return true;
}

void Bitmap::FreeBits::operator()(uint8_t* bits) const {
    std::free(bits);
}

void Bitmap::Release() {
    bits_.reset();
    width_ = 0;
    height_ = 0;
    stride_ = 0;
}
