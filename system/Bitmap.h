// A 24-bit picture laid out like a top-down device-independent bitmap: rows of
// blue, green, red bytes, each row padded to a multiple of 4 bytes, so that the
// Windows side can hand the bytes to the system as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class Bitmap {
public:
    static constexpr int kBytesPerPixel = 3;

    // Replaces the contents with a black width x height picture. False, leaving
    // the bitmap empty, when a size is negative, the byte count overflows or the
    // memory cannot be had. A width or height of 0 gives an empty picture.
    bool Allocate(int32_t width, int32_t height);
    // Replaces the contents with a copy of `other`; false (and empty) without memory.
    bool CopyFrom(const Bitmap& other);
    void Release();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Bytes per row, padding included.
    size_t Stride() const { return stride_; }
    size_t SizeBytes() const { return stride_ * static_cast<size_t>(height_); }
    uint8_t* Bits() { return bits_.get(); }
    const uint8_t* Bits() const { return bits_.get(); }
    uint8_t* Row(int32_t y) { return bits_.get() + stride_ * static_cast<size_t>(y); }
    const uint8_t* Row(int32_t y) const { return bits_.get() + stride_ * static_cast<size_t>(y); }
    // Blue, green and red byte of one pixel.
    uint8_t* Pixel(int32_t x, int32_t y) { return Row(y) + kBytesPerPixel * x; }
    const uint8_t* Pixel(int32_t x, int32_t y) const { return Row(y) + kBytesPerPixel * x; }

    // Bytes per row for a width, 0 when the width is negative or the count overflows.
    static size_t StrideFor(int32_t width);

private:
    struct FreeBits {
        void operator()(uint8_t* bits) const;
    };
    int32_t width_ = 0;
    int32_t height_ = 0;
    size_t stride_ = 0;
    std::unique_ptr<uint8_t[], FreeBits> bits_;
};
