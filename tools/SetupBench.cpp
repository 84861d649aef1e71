// Times the program's own scan, copy loop and background picture work on the real
// system, for the benchmark suite (tools/bench/). Paths are plain ASCII.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "install/Background.h"
#include "install/FileCopy.h"
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
        "       SetupBench copy <folder> <new folder>\n"
        "         copies the tree with the installation's own copy loop, without its\n"
        "         windows; prints \"ms\"\n"
        "       SetupBench picture <jpeg> <width> <height>\n"
        "         decodes the picture and stretches it to width x height;\n"
        "         prints \"decode_ms stretch_ms first_touch_ms\", the last for memory\n"
        "         of the picture's size\n",
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

// The copy's user interface without windows: a failure prompt ends the copy.
class NoWindows : public Ui {
public:
    bool ShowMessage(const std::string&, const std::string&, MessageButtons, MessageIcon) override {
        return false;
    }
    void PumpMessages() override {}
    void SetStatus(const std::string&) override {}
    void SetBarMax(int) override {}
    void SetBarPosition(int) override {}
};

int Copy(const char* from, const char* to) {
    Win32System system;
    NoWindows ui;
    PathList folders, files, targetFolders, targetFiles;
    ScanFolderTree(system, from, folders, files);
    MapToDestination(from, to, folders, files, targetFolders, targetFiles);
    const double start = NowMs();
    if (!system.CreateFolderTree(to)) {
        return 1;
    }
    for (const std::string& folder : targetFolders) {
        if (!system.CreateFolderTree(folder)) {
            return 1;
        }
    }
    FileCopyJob job;
    for (size_t i = 0; i < files.size(); ++i) {
        int64_t skipped = 0;
        if (BeginFileCopy(system, ui, job, files[i], targetFiles[i], skipped) !=
            CopyStart::Copying) {
            return 1;
        }
        uint32_t bytes = 0;
        if (CopyFileChunks(job, bytes, [](uint32_t) { return true; }) !=
            ChunkResult::Finished) {
            return 1;
        }
    }
    std::printf("%.1f\n", NowMs() - start);
    return 0;
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
    // What the decode spends on first touching the picture's fresh memory, which a
    // decoder that streams its rows out never has.
    Bitmap fresh;
    if (!fresh.Allocate(picture.Width(), picture.Height())) {
        return 1;
    }
    const double touch = NowMs();
    std::memset(fresh.Bits(), 1, fresh.SizeBytes());
    const double touched = NowMs();
    std::printf("%.1f %.1f %.1f\n", decoded - start, end - decoded, touched - touch);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0) {
        return Scan(argv[2]);
    }
    if (argc == 4 && std::strcmp(argv[1], "copy") == 0) {
        return Copy(argv[2], argv[3]);
    }
    if (argc == 5 && std::strcmp(argv[1], "picture") == 0) {
        return Picture(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    return Usage();
}
