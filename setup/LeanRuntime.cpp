// Replacements for parts of the C++ library and of libjpeg that would bring more into the
// executables than a window program uses. Linked into each executable directly, so
// that they are found before the library's own.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// What the library throws for a misuse such as a string beyond its longest length.
// Its own classes carry a copy-on-write string, whose code is some 40 KB; this one
// keeps the library's text, and Application::Guard shows it all the same.
class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* text) : text_(text) {}
    const char* what() const noexcept override { return text_; }

private:
    const char* text_;
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_domain_error(const char* text) { throw LibraryError(text); }
void __throw_invalid_argument(const char* text) { throw LibraryError(text); }
void __throw_length_error(const char* text) { throw LibraryError(text); }
void __throw_logic_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range(const char* text) { throw LibraryError(text); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_overflow_error(const char* text) { throw LibraryError(text); }
void __throw_range_error(const char* text) { throw LibraryError(text); }
void __throw_runtime_error(const char* text) { throw LibraryError(text); }
void __throw_underflow_error(const char* text) { throw LibraryError(text); }

}  // namespace std

namespace __gnu_cxx {

// For an exception that nobody catches. The library's own prints the exception's type
// to the standard error, which a window program does not have, and brings a 46 KB
// name demangler to do it.
void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

// libjpeg's colour quantizers and its merged upsampler serve only options that the picture
// decoder never sets (quantize_colors on, do_fancy_upsampling off), but the library refers
// to them, so with its SIMD versions they came to 41 KB. Reached all the same, each fails
// the decoding as a libjpeg built without that part does.
extern "C" {

void jinit_1pass_quantizer(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_NOT_COMPILED);
}

void jinit_2pass_quantizer(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_NOT_COMPILED);
}

void jinit_merged_upsampler(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_NOT_COMPILED);
}

}  // extern "C"
