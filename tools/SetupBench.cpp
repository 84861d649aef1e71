// Times the program's own scan and background picture work on the real system, for
// the benchmark suite (tools/bench/). Paths are plain ASCII.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "install/Background.h"
#include "install/FolderScan.h"
#include "system/Jpeg.h"
#include "system/win32/Win32System.h"

namespace {

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

int Usage() {
    std::fputs(
        "usage: SetupBench scan <folder>\n"
        "         ScanFolderTree over the folder; prints \"files folders bytes ms\"\n"
        "       SetupBench picture <jpeg> <width> <height>\n"
        "         decodes the picture and stretches it to width x height;\n"
        "         prints \"decode_ms stretch_ms\"\n",
        stderr);
    return 2;
}

int Scan(const char* folder) {
    Win32System system;
    PathList folders, files;
    int64_t total = 0;
    const double start = NowMs();
    ScanFolderTree(system, folder, folders, files, &total);
    const double end = NowMs();
    std::printf("%u %u %lld %.1f\n", unsigned(files.size()), unsigned(folders.size()),
                static_cast<long long>(total), end - start);
    return files.empty() ? 1 : 0;
}

int Picture(const char* path, int width, int height) {
    Win32System system;
    Bitmap picture, screen;
    const double start = NowMs();
    if (!LoadJpegFile(system, path, picture)) {
        std::fprintf(stderr, "SetupBench: cannot decode %s\n", path);
        return 1;
    }
    const double decoded = NowMs();
    if (!screen.Allocate(width, height)) {
        return 1;
    }
    StretchBitmap(picture, screen);
    const double end = NowMs();
    std::printf("%.1f %.1f\n", decoded - start, end - decoded);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0) {
        return Scan(argv[2]);
    }
    if (argc == 5 && std::strcmp(argv[1], "picture") == 0) {
        return Picture(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    return Usage();
}
