// Times StretchBitmap alone in the native build, for the benchmark suite: a patterned
// source of the given size stretched to the target size, `runs` times. Prints the
// milliseconds of each run on one line. Under callgrind, run it once.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "install/Background.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: StretchBench <src-w> <src-h> <dst-w> <dst-h> <runs>\n", stderr);
        return 2;
    }
    Bitmap source, target;
    if (!source.Allocate(std::atoi(argv[1]), std::atoi(argv[2])) ||
        !target.Allocate(std::atoi(argv[3]), std::atoi(argv[4]))) {
        return 1;
    }
    // The work does not depend on the content; a pattern stands in for a picture.
    for (size_t i = 0; i < source.SizeBytes(); ++i) {
        source.Bits()[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
    }
    for (int run = std::atoi(argv[5]); run > 0; --run) {
        const auto start = std::chrono::steady_clock::now();
        StretchBitmap(source, target);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("%.2f%s", took.count(), run > 1 ? " " : "\n");
    }
    return 0;
}
