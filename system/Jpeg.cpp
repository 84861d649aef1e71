#include "system/Jpeg.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void AbandonDecoding(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings about damaged data are shrugged off, except those for data that runs
// out: libjpeg would go on with made-up rows to the declared height, and a
// truncated picture is a failed picture.
void OnMessage(j_common_ptr cinfo, int level) {
    const int code = cinfo->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
        AbandonDecoding(cinfo);
    }
}

void IgnoreOutput(j_common_ptr) {}

constexpr uint32_t kReadChunk = 16384;

struct FileSource {
    jpeg_source_mgr base;
    InputFile* file;
    JOCTET buffer[kReadChunk];
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    FileSource* source = reinterpret_cast<FileSource*>(cinfo->src);
    uint32_t got = 0;
    if (!source->file->Read(source->buffer, kReadChunk, got)) {
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (got == 0) {
        ERREXIT(cinfo, JERR_INPUT_EOF);
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = got;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* source = cinfo->src;
    while (count > 0) {
        if (source->bytes_in_buffer == 0) {
            FillInputBuffer(cinfo);
        }
        const size_t step = static_cast<unsigned long>(count) < source->bytes_in_buffer
                                ? static_cast<size_t>(count)
                                : source->bytes_in_buffer;
        source->next_input_byte += step;
        source->bytes_in_buffer -= step;
        count -= static_cast<long>(step);
    }
}

void TermSource(j_decompress_ptr) {}

// CMYK rows to blue, green, red. Adobe's writers store the inks inverted.
void ConvertCmykRow(const JSAMPLE* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const unsigned ink = inverted ? cmyk[2 - channel] : 255u - cmyk[2 - channel];
            bgr[channel] = static_cast<uint8_t>(ink * k / 255);
        }
    }
}

// Every libjpeg error lands back in this frame through longjmp, so it holds no
// object with a destructor; `picture` and the decompressor live in the caller.
bool DecodeWithRecovery(jpeg_decompress_struct& cinfo, ErrorManager& errors, FileSource& source,
                        Bitmap& picture) {
    if (setjmp(errors.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.src = &source.base;
    jpeg_read_header(&cinfo, TRUE);
    if (uint64_t{cinfo.image_width} * cinfo.image_height > kMaxJpegPixels) {
        return false;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk) {
        cinfo.out_color_space = JCS_CMYK;
    } else if (cinfo.jpeg_color_space == JCS_GRAYSCALE || cinfo.jpeg_color_space == JCS_YCbCr ||
               cinfo.jpeg_color_space == JCS_RGB) {
        cinfo.out_color_space = JCS_EXT_BGR;
    } else {
        return false;
    }
    // A multi-scan file is read in full here, so a truncated one fails before
    // the picture's memory is taken.
    jpeg_start_decompress(&cinfo);
    const JDIMENSION width = cinfo.output_width;
    if (!picture.Allocate(static_cast<int32_t>(width), static_cast<int32_t>(cinfo.output_height))) {
        return false;
    }
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk) {
        // From libjpeg's pool: freed with the decompressor, however decoding ends.
        cmykRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             width * 4, 1);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* row = picture.Row(static_cast<int32_t>(cinfo.output_scanline));
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            ConvertCmykRow(cmykRow[0], row, width, cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&cinfo, rows, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

bool DecodeJpeg(InputFile& file, Bitmap& picture) {
    picture.Release();
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = AbandonDecoding;
    errors.base.emit_message = OnMessage;
    errors.base.output_message = IgnoreOutput;

    FileSource source{};
    source.base.init_source = InitSource;
    source.base.fill_input_buffer = FillInputBuffer;
    source.base.skip_input_data = SkipInputData;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = TermSource;
    source.file = &file;

    const bool decoded = DecodeWithRecovery(cinfo, errors, source, picture);
    jpeg_destroy_decompress(&cinfo);
    if (!decoded) {
        picture.Release();
    }
    return decoded;
}

bool LoadJpegFile(System& system, const std::string& path, Bitmap& picture) {
    picture.Release();
    std::unique_ptr<InputFile> file = system.OpenForRead(path);
    return file != nullptr && DecodeJpeg(*file, picture);
}
